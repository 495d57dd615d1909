// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/resultgrid.h"
#include "gui/print/printablewindow.h"
#include "gui/windows/main/controlarray.h"

#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class QAction;
class QContextMenuEvent;
class QLineEdit;
class QMenu;

namespace tarvelin {

class CaptionLabel;
class FaceButton;
class Form2;
class MessageBoxService;
class PrinterService;
class ShopSheetWindow;
class AntennaCheckWindow;

// The main window: the frequency box, the four buttons, the result grid with its headings and the boom line,
// laid out from the twips table of form1layout. Its labels are the display and the store of every result:
// the window is the result grid the calculation pass writes to.
class Form1 : public QWidget, public calc::ResultGrid, public MainWindowPrintControls
{
    Q_OBJECT

public:
    Form1(MessageBoxService &messages, PrinterService &printer, QWidget *parent = nullptr);
    ~Form1() override;

    // The public fraction operation of the main window; nothing in the windows calls it. Errors go to the
    // caller.
    [[nodiscard]] std::string Dec2Frac(double value) const;

    // ResultGrid: the frequency box, the grid cells, the boom totals and the boom caption.
    [[nodiscard]] std::string frequencyText() const override;
    [[nodiscard]] std::string cellText(calc::ElementRow row, int gridColumn) const override;
    void setCellText(calc::ElementRow row, int gridColumn, const std::string &text) override;
    [[nodiscard]] std::string boomText(calc::BoomTotal total) const override;
    void setBoomText(calc::BoomTotal total, const std::string &text) override;
    [[nodiscard]] bool boomCaptionVisible() const override;
    void setBoomCaptionVisible(bool visible) override;

    // Controls by what they are for.
    [[nodiscard]] CaptionLabel *cell(calc::ElementRow row, int gridColumn) const; // raises NoSuchMember
    [[nodiscard]] CaptionLabel *boomCaption() const { return label("Label24"); }
    [[nodiscard]] CaptionLabel *boomTotal(calc::BoomTotal total) const;
    [[nodiscard]] CaptionLabel *label(std::string_view name, int index = -1) const;
    [[nodiscard]] QLineEdit *frequencyBox() const { return m_text1; }
    [[nodiscard]] FaceButton *calculateButton() const { return m_command1; }
    [[nodiscard]] FaceButton *resetButton() const { return m_command2; }
    [[nodiscard]] FaceButton *printButton() const { return m_command3; }
    // Whether a Print is under way: asking the spooler, waiting for the user, or handing on the page.
    [[nodiscard]] bool printing() const { return m_printing; }
    [[nodiscard]] FaceButton *conversionButton() const { return m_command4; }
    [[nodiscard]] Form2 *chartWindow() const { return m_chart; }

    // MainWindowPrintControls: the window's height, given as an outer height in twips like the layout's,
    // and its labels by name.
    [[nodiscard]] QWidget &printedWindow() override { return *this; }
    void setOuterHeightTwips(int outerHeightTwips) override;
    void setLabelVisible(std::string_view name, bool visible) override;
    void setLabelForeColor(std::string_view name, int index, std::uint32_t bgr) override;
    void setLabelCaption(std::string_view name, const QString &caption) override;
    [[nodiscard]] QString frequencyBoxText() const override;

    // The event handlers, one per event as the buttons and the frequency box raise them.
    void calculate();  // Calculate, and Enter in the frequency box
    void reset();      // Reset
    void conversion(); // Conversion
    void print();      // Print

    // What the window offers beyond its buttons, from its context menu and their shortcuts: the grid as text
    // for a spreadsheet (only once something is calculated), the printed page as a PDF file, and who made it.
    [[nodiscard]] QMenu &contextMenu();
    [[nodiscard]] QAction *copyResultsAction() const { return m_copyResults; }
    [[nodiscard]] QAction *saveAsPdfAction() const { return m_saveAsPdf; }
    [[nodiscard]] QAction *aboutAction() const { return m_about; }
    [[nodiscard]] QAction *shopSheetAction() const { return m_shopSheetAction; }
    [[nodiscard]] QAction *antennaCheckAction() const { return m_antennaCheckAction; }
    void copyResults();
    void saveAsPdf(const QString &path); // without asking where; the menu entry asks
    void about();
    // Ends the program: the main window closes, and the other windows with it.
    void quit();
    // As quit(), without asking about a running or unsaved tune: the program was told to end.
    void closeWithoutAsking();
    // The Shop Sheet window, in front, for the frequency last calculated here.
    void openShopSheet();
    [[nodiscard]] ShopSheetWindow *shopSheet() const { return m_shopSheet; }
    // The Antenna Check window, in front, for the frequency last calculated here.
    void openAntennaCheck();
    [[nodiscard]] AntennaCheckWindow *antennaCheck() const { return m_antennaCheck; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    [[nodiscard]] QString gridFrequencyText() const;
    void buildControls();
    void clearingPass();
    // The refused frequency's message, as Calculate gives it.
    void tellRefused();
    void centreOnScreen();
    void buildMenu();
    void popUpMenu(const QPoint &globalPos);
    void chooseAndSavePdf();

    MessageBoxService &m_messages;
    PrinterService &m_printer;
    std::array<ControlArray<CaptionLabel>, calc::kElementRowCount> m_grid;
    std::map<std::pair<std::string_view, int>, CaptionLabel *> m_labels;
    QLineEdit *m_text1 = nullptr;
    FaceButton *m_command1 = nullptr;
    FaceButton *m_command2 = nullptr;
    FaceButton *m_command3 = nullptr;
    FaceButton *m_command4 = nullptr;
    Form2 *m_chart = nullptr; // created on the first press of Conversion, kept until the end
    bool m_printing = false;
    bool m_placed = false; // placed again by its frame after the first show
    bool m_asking = true;  // closing asks about a tune that would be lost
    // The menu is a pop-up of its own, not a control of the window: the window keeps exactly its controls.
    std::unique_ptr<QMenu> m_menu;
    QAction *m_copyResults = nullptr;
    QAction *m_saveAsPdf = nullptr;
    QAction *m_about = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_shopSheetAction = nullptr;
    QAction *m_antennaCheckAction = nullptr;
    ShopSheetWindow *m_shopSheet = nullptr; // made on first use, kept with the window
    AntennaCheckWindow *m_antennaCheck = nullptr;
    QString m_lastCalculatedFrequency; // the frequency box's text at the last successful pass
};

} // namespace tarvelin
