// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/sheetsource.h"
#include "core/shop/nestedsheet.h"
#include "core/shop/shopsheet.h"
#include "core/tune/tunedbands.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTextBrowser;

namespace tarvelin {

class SheetSettingsPanel;
class MessageBoxService;
class DocumentPrint;
class PrinterService;
class ResultTableModel;
class NestedDrawing;
class ShopDrawing;

// The Shop Sheet window: the whole antenna as a cut list in feet, inches and fractions and in millimetres,
// with a dimensioned drawing, for the frequency the main window last calculated or any other. The settings
// are kept between runs. A setting that cannot be used is named under the settings, and what is shown stays
// as it was. The sheet prints through the print dialog and saves as PDF and CSV, or goes to the clipboard.
class ShopSheetWindow final : public QWidget
{
    Q_OBJECT

public:
    ShopSheetWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer);
    ~ShopSheetWindow() override;

    // The frequency the sheet is for, as the main window's frequency box had it, taken as committed.
    void setFrequencyText(const QString &text);
    // The design of another window: its frequency as typed and its array.
    void setDesign(const QString &frequencyText, int elements);
    // The sheet of the specified design, as the menu's Shop Sheet opens it: no tuned loops, no prediction.
    void showSpecified();
    // The sheet for this frequency trimmed by the resonance the antenna check predicts, at full precision: a
    // prediction, kept apart from a measurement and never stored as one.
    void setPredictedResonance(const QString &frequencyText, int elements, double resonanceMHz,
                               const QString &modelNote = {});
    // The tuned design's sheet for this frequency: each loop's factor against the specified one. Another
    // design frequency, typed or sent from the main window, brings back the specified design.
    // A tuned quad of several bands: its bands, layout and elements shown, its loops cut until they change.
    void openTunedBands(tune::TunedBands saved);
    void setTunedDesign(const QString &frequencyText, const shop::TunedCut &tuned,
                        std::optional<shop::SheetTuning> tuning = std::nullopt);
    [[nodiscard]] bool tuned() const { return m_source.tuned(); }
    [[nodiscard]] bool predicted() const { return m_source.predicted(); }

    [[nodiscard]] const std::optional<shop::ShopSheet> &sheet() const { return m_sheet; }
    [[nodiscard]] QString problem() const;
    // A note on what the window changed by itself, such as a measured resonance cleared.
    [[nodiscard]] QString note() const;

    // What the buttons do, without the file dialogs.
    void copyToClipboard();
    [[nodiscard]] bool saveCsv(const QString &path);
    [[nodiscard]] bool savePdf(const QString &path);
    // The sheet of a tuned design saved by Tune Loops or tarvelin-calc --tune --save; a file that is none is
    // refused with a message naming what is wrong.
    bool openTunedDesign(const QString &path);
    // The measured resonance from an analyser's sweep of the built antenna: its lowest SWR on the line the
    // Antenna Check uses, the file named on the sheet. A file that cannot be read leaves the field as it was.
    bool measuredFromSweep(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildWidgets();
    [[nodiscard]] QWidget *buildSheetView();
    [[nodiscard]] QDialogButtonBox *buildButtons();
    // The tables of this sheet, or their columns alone.
    void setModelsFor(const std::optional<shop::ShopSheet> &sheet);
    void restoreSettings();
    void saveSettings() const;
    void recalculate();
    // With several bands typed, the sheet is their nested quad's: gives whether it is, shown or refused.
    [[nodiscard]] bool recalculateBands(std::optional<QString> &oneBand);
    void showNested(bool shown);

    [[nodiscard]] QString tunedBandsKey() const;
    QWidget *buildNestedPage();
    void frequencyCommitted();
    void measuredEdited();
    void updateTitle();
    void showNote(const QString &text);
    bool saved(bool done, const QString &what, const QString &path);
    void showStale(bool stale);
    void markRefused(const QLineEdit *field);
    void showSheet(const shop::ShopSheet &sheet);
    void print();
    void chooseAndSaveCsv();
    void chooseAndOpenTunedDesign();
    void chooseAndSavePdf();
    [[nodiscard]] QString suggestedName(const QString &suffix) const;

    MessageBoxService &m_messages;
    std::optional<shop::ShopSheet> m_sheet; // the last sheet the settings allowed

    SheetSettingsPanel *m_settings = nullptr;
    void followTunedFeed();
    QLabel *m_problem = nullptr;
    QLabel *m_note = nullptr;
    QLabel *m_reading = nullptr; // how the frequency text was read, where it is more than its number
    shop::SheetSource m_source;  // which design the sheet is cut from, and which resonance trims it
    void apply(const shop::SheetSource::Change &change);
    void setElements(int elements);
    QLabel *m_summary = nullptr;
    QTabWidget *m_tabs = nullptr;
    // Loops, corner marks, spreaders and boom, trims, trimmed marks, and a tuned sheet's figures.
    std::array<ResultTableModel *, 6> m_models{};
    QTableView *m_loops = nullptr;
    QTableView *m_marks = nullptr;
    QTableView *m_boom = nullptr;
    QTableView *m_trims = nullptr;
    QTableView *m_trimmedMarks = nullptr;
    QTableView *m_tuningFigures = nullptr;
    ShopDrawing *m_drawing = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_pdfButton = nullptr;
    QPushButton *m_csvButton = nullptr;
    QPushButton *m_copyButton = nullptr;
    DocumentPrint *m_print;
    bool m_sized = false; // the opening size is set once, at the first show
    std::optional<shop::NestedSheet> m_nested; // the nested quad's sheet, with several bands typed
    std::optional<tune::TunedBands> m_tunedBands; // opened, and still the bands, layout and elements shown
    QString m_tunedBandsKey;
    QWidget *m_nestedPage = nullptr;
    QTextBrowser *m_nestedText = nullptr;
    NestedDrawing *m_nestedDrawing = nullptr;
    QWidget *m_drawingPane = nullptr;

public:
    [[nodiscard]] const std::optional<shop::NestedSheet> &nestedSheet() const { return m_nested; }
};

} // namespace tarvelin
