// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/measured.h"
#include "core/nec/study.h"
#include "core/touchstone/touchstone.h"
#include "core/shop/shopsheet.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace tarvelin {

class EngineRun;
class StudyRun;
class MessageBoxService;
class PlotView;
class ResultTableModel;
class ResultView;
class PrinterService;

// The Antenna Check window: the design on the main window modelled with the NEC-2 engine, run as child
// processes, one per core, while the window stays usable. It shows the feed impedance, SWR, forward gain and
// front-to-back across the band as a table and plots, with the resonance, the lowest SWR, the 2:1 band and
// the efficiency. A run that fails shows why and no numbers; a new run clears the last one's first. The deck,
// the table and a report can be saved or printed.
class AntennaCheckWindow final : public QWidget
{
    Q_OBJECT

public:
    AntennaCheckWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer);
    ~AntennaCheckWindow() override;

    void setFrequencyText(const QString &text);

    void run();
    void cancel();
    [[nodiscard]] bool running() const;
    [[nodiscard]] const std::optional<nec::CheckSummary> &summary() const { return m_summary; }
    [[nodiscard]] QString status() const;
    // Why the settings or the frequency as typed cannot be modelled; empty when they can.
    [[nodiscard]] QString problem() const;
    [[nodiscard]] EngineRun *engineRun() const;

    // What the buttons do, without the file dialogs.
    [[nodiscard]] bool saveDeck(const QString &path);
    [[nodiscard]] bool saveCsv(const QString &path);
    [[nodiscard]] bool savePdf(const QString &path);
    // The model's sweep as an analyser's reference trace.
    [[nodiscard]] bool saveTouchstone(const QString &path);

    // An analyser's sweep of the built antenna, laid over the model's curves and beside its verdict until
    // cleared; a new check is compared with it again. A file that cannot be read leaves the one shown.
    bool loadMeasuredSweep(const QString &path);
    void clearMeasuredSweep();
    [[nodiscard]] const std::optional<nec::MeasuredSweep> &measured() const { return m_measured; }

    // What "Shop Sheet for This Check" does: the sheet with the predicted resonance as the measured one, or
    // a message saying why the prediction gives no trim.
    void openShopSheetForCheck();

    // Tunes the loop lengths of the design last checked, for its wire and ground; the tuned design shows
    // beside the specified one.
    void tune();
    [[nodiscard]] bool tuning() const;
    [[nodiscard]] const std::optional<nec::TuneResult> &tuned() const { return m_tuned; }
    [[nodiscard]] bool saveTunedDeck(const QString &path);
    [[nodiscard]] bool saveTunedDesign(const QString &path);
    void openTunedShopSheet();

signals:
    void checkEnded();
    // The shop sheet for the design checked, as its frequency was typed, trimmed by the resonance the check
    // predicts, at full precision.
    // `modelNote`: what the model behind the prediction can get wrong, if anything.
    void shopSheetRequested(const QString &frequencyText, int elements, double predictedMHz, const QString &modelNote);
    // The shop sheet of the tuned design: each loop's factor against the specified one, reflector first, and
    // the stations where the tune moved them.
    void tunedShopSheetRequested(const QString &frequencyText, const tarvelin::shop::TunedCut &tuned,
                                 const tarvelin::shop::SheetTuning &tuning);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildWidgets();
    void restoreSettings();
    void saveSettings() const;
    [[nodiscard]] std::optional<nec::CheckSettings> readSettings(QString &problem) const;
    [[nodiscard]] static int engineCount();
    void startStudy(std::unique_ptr<nec::Study> study);
    void studyEnded();
    void showCheck(const nec::CheckSummary &summary);
    void showFailure(const QString &message);
    void clearResults();
    void showMeasured();
    void showVerdict();
    void showTuned(const nec::Study &study);
    [[nodiscard]] QWidget *buildTunedPage();
    void setRunning(bool running);
    void validate();
    void showWhetherCurrent();
    void print();
    void choose(const QString &title, const QString &filter, const QString &suffix,
                bool (AntennaCheckWindow::*save)(const QString &));
    [[nodiscard]] bool writeFile(const QString &path, const QByteArray &contents, const QString &what,
                                 const QString &whyEmpty = {});

    MessageBoxService &m_messages;
    PrinterService &m_printer;
    StudyRun *m_study = nullptr;
    std::optional<nec::ArrayGeometry> m_checkedGeometry; // of the check last run
    nec::CheckSettings m_runSettings;
    std::string m_runFrequency; // as read, for labels: "14.200", "1.8125"
    QString m_runFrequencyText; // as typed, which every sheet of the check is made from
    QString m_warnings;         // what the model of the last run may get wrong
    std::optional<nec::CheckSummary> m_summary;
    std::optional<nec::TuneResult> m_tuned;
    std::optional<nec::CheckSummary> m_tunedCheck; // the tuned loops over the check's sweep, when the tune ran out
    std::optional<touchstone::Sweep> m_sweep;      // as read; its figures depend on the line and the check
    QString m_sweepName;
    std::optional<nec::MeasuredSweep> m_measured;
    nec::TuneSettings m_tuneSettings;   // the tune shown's
    nec::TuneSettings m_tuningSettings; // the tune under way's

    QLineEdit *m_frequency = nullptr;
    QSpinBox *m_elements = nullptr;
    QDoubleSpinBox *m_wireMm = nullptr;
    QComboBox *m_awg = nullptr;
    QSpinBox *m_segments = nullptr;
    QDoubleSpinBox *m_span = nullptr;
    QSpinBox *m_points = nullptr;
    QComboBox *m_z0 = nullptr;
    QCheckBox *m_copper = nullptr;
    QComboBox *m_jacket = nullptr;
    QDoubleSpinBox *m_insulationMm = nullptr;
    QDoubleSpinBox *m_permittivity = nullptr;
    QLabel *m_sweepLabel = nullptr;
    QPushButton *m_clearSweepButton = nullptr;
    QLabel *m_verdictNote = nullptr;
    ResultView *m_verdict = nullptr;
    QCheckBox *m_overGround = nullptr;
    QLineEdit *m_height = nullptr;
    QPushButton *m_runButton = nullptr;
    QPushButton *m_deckButton = nullptr;
    QPushButton *m_printButton = nullptr;
    bool m_printing = false; // a job is with the spooler
    QLabel *m_problem = nullptr;
    QLabel *m_reading = nullptr; // how the frequency text was read, where it is more than its number
    QString m_resultStatus;      // what the status line said when the results shown came in
    bool m_staleShown = false;   // the results shown are marked as out of date
    bool m_ready = false;        // the settings and the frequency can be modelled
    bool m_checkShown = false;   // the check shown is of the settings and the frequency as they stand
    bool m_sized = false;        // the opening size is set once, at the first show
    QPushButton *m_cancelButton = nullptr;
    QPointer<QWidget> m_focusAfterRun; // the button that started the run under way
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QTabWidget *m_tabs = nullptr;
    ResultView *m_table = nullptr;
    ResultTableModel *m_tableModel = nullptr;
    ResultTableModel *m_verdictModel = nullptr;
    QPushButton *m_tuneButton = nullptr;
    QDoubleSpinBox *m_tuneBand = nullptr;
    QWidget *m_tunedPage = nullptr;
    ResultTableModel *m_tunedModel = nullptr;
    ResultTableModel *m_tuneVerdictModel = nullptr;
    QLabel *m_tuneNote = nullptr;
    std::vector<QPushButton *> m_tunedButtons;
    std::vector<PlotView *> m_plots;
    std::vector<QWidget *> m_plotPages; // each plot in its scrolled page, in the same order
    std::vector<QPushButton *> m_resultButtons;
};

} // namespace tarvelin
