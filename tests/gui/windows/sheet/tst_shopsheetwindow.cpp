// SPDX-License-Identifier: MIT
// The Shop Sheet window as a builder uses it: opened from the main window's menu with the frequency just
// calculated, settings that are refused by name, and the sheet saved as CSV and PDF and read back.
#include "support/badsettings.h"
#include "support/capturingprinter.h"
#include "support/runprocess.h"
#include "support/sweepfile.h"
#include "support/accessibility.h"
#include "support/mnemonics.h"
#include "support/scriptedmessages.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/check/antennacheckwindow.h"
#include "core/tune/tunedbands.h"
#include "core/design/designlengths.h"
#include "core/shop/shopsheettext.h"
#include "gui/windows/sheet/shopsheetwindow.h"
#include "gui/windows/userfiles.h"
#include "core/tune/tuneddesign.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QPushButton>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"
#include "gui/runtime/settingsstore.h"
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <cmath>
#include <QDialog>
#include <QDialogButtonBox>
#include <QScrollArea>
#include <QDoubleSpinBox>

#include <complex>

#include <memory>

using namespace tarvelin;
using tarvelin::test::accessibleText;
using tarvelin::test::mnemonicClashes;
using tarvelin::test::unnamedControls;

class TestShopSheetWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensFromTheMenuWithTheLastFrequency();
    void keyboard();
    void opensWholeAndRemembersItsSize();
    void refusedSettingsAreNamed_data();
    void refusedSettingsAreNamed();
    void badSettingsAsTarvelinCalcRefuses();
    void measuredResonanceBelongsToItsDesign();
    void predictionIsNoMeasurement();
    void handEditedSettingsFallBack();
    void settingsAreRemembered();
    void csvAndPdfReadBack();
    void saveDialogsStartInTheLastFolder();
    void opensASavedTunedDesign();
    void tunedSheetTakesItsOwnMeasurement();
    void measuredResonanceFromASweep();
    void sweepReadOnTheSheetsOwnLine();
    void quarterWaveSectionOnTheSheet();
    void nestedQuadOfSeveralBands();

private:
    ShopSheetWindow *openSheet(const QString &frequency);

    ScriptedMessages m_messages;
    CapturingPrinter m_printer;
    std::unique_ptr<Form1> m_form;
};

void TestShopSheetWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // settings go to a test folder, not the user's
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvelin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvelin"));
    loadBundledFonts();
}

void TestShopSheetWindow::init()
{
    QSettings().clear();
    m_messages = ScriptedMessages();
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestShopSheetWindow::cleanup()
{
    m_form.reset();
}

ShopSheetWindow *TestShopSheetWindow::openSheet(const QString &frequency)
{
    QTest::keyClicks(m_form->frequencyBox(), frequency);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_L, Qt::ControlModifier);
    ShopSheetWindow *sheet = m_form->shopSheet();
    return sheet && QTest::qWaitForWindowExposed(sheet) ? sheet : nullptr;
}

void TestShopSheetWindow::opensFromTheMenuWithTheLastFrequency()
{
    QCOMPARE(m_form->shopSheetAction()->text(), QStringLiteral("S&hop Sheet\u2026"));
    QCOMPARE(m_form->shopSheetAction()->shortcut().toString(), QStringLiteral("Ctrl+L"));
    QVERIFY(m_form->contextMenu().actions().contains(m_form->shopSheetAction()));

    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Shop Sheet \u2013 Tarvelin"));
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("frequency"))->text(), QStringLiteral("14.2"));
    QVERIFY(sheet->sheet());
    const QAbstractItemModel *loops = sheet->findChild<QTableView *>(QStringLiteral("loops"))->model();
    QCOMPARE(loops->index(0, 0).data().toString(), QStringLiteral("74' 3-9/16\""));
    QCOMPARE(loops->index(0, 1).data().toString(), QStringLiteral("22645.3"));
    QCOMPARE(loops->headerData(6, Qt::Vertical).toString(), QStringLiteral("Director 5"));
    // Resizable, unlike the main window.
    QVERIFY(sheet->minimumSize() != sheet->maximumSize());

    // A text that is more than its number says how it was read.
    auto *reading = sheet->findChild<QLabel *>(QStringLiteral("frequencyReading"));
    QVERIFY(reading->isHidden());
    sheet->setFrequencyText(QStringLiteral("14.214.2"));
    QVERIFY2(!reading->isHidden() && reading->text().startsWith(QStringLiteral("Read as 14.214 MHz")),
             qPrintable(reading->text()));
    sheet->setFrequencyText(QStringLiteral("14.2"));
    QVERIFY(reading->isHidden());

    // A refused frequency in the main window does not change the sheet's frequency.
    m_form->frequencyBox()->setText(QStringLiteral("abc"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    m_form->openShopSheet();
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("frequency"))->text(), QStringLiteral("14.2"));
}

// Every Alt+letter is the window's only one; Ctrl+R opens the check from here as from the main window, and
// Ctrl+W and Esc close the sheet.
// The lowest band trimmed has the longest texts: every tab title and every cell shows whole at the opening
// size, on a 1366 by 768 screen; a size the user chose comes back the next time.
void TestShopSheetWindow::opensWholeAndRemembersItsSize()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("1.8"));
    QVERIFY(sheet);
    sheet->findChild<QLineEdit *>(QStringLiteral("measured"))->setText(QStringLiteral("1.79"));
    QVERIFY2(sheet->frameGeometry().width() <= 1366 && sheet->frameGeometry().height() <= 768,
             qPrintable(QStringLiteral("%1 x %2").arg(sheet->width()).arg(sheet->height())));
    auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("tables"));
    int lastShown = tabs->count() - 1; // the nested quad's tab stands hidden without several bands
    while (!tabs->isTabVisible(lastShown))
        --lastShown;
    QVERIFY(tabs->tabBar()->tabRect(lastShown).right() < tabs->tabBar()->width());
    for (int i = 0; i <= lastShown; ++i) {
        tabs->setCurrentIndex(i);
        auto *table = qobject_cast<QTableView *>(tabs->widget(i));
        QTRY_COMPARE(table->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(table->verticalScrollBar()->maximum(), 0);
    }
    // The drawing has at least the room that keeps its labels apart, unscrolled.
    const QWidget *drawing = sheet->findChild<QWidget *>(QStringLiteral("shopDrawing"));
    QTRY_VERIFY(drawing->width() >= drawing->minimumSizeHint().width());
    QVERIFY(drawing->height() >= drawing->minimumSizeHint().height());

    // A 1366 by 768 screen at twice the scale: the window fits it, what it cannot show scrolls, the frequency
    // box keeps the room of a frequency written out, and the buttons stay in view under what scrolls.
    const QSize least = sheet->minimumSizeHint().expandedTo(sheet->minimumSize());
    QVERIFY2(least.width() <= 660 && least.height() <= 330,
             qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    sheet->resize(660, 330);
    auto *area = sheet->findChild<QScrollArea *>(QStringLiteral("windowScrollArea"));
    QVERIFY(area);
    QTRY_VERIFY(area->horizontalScrollBar()->maximum() > 0 && area->verticalScrollBar()->maximum() > 0);
    auto *frequency = sheet->findChild<QLineEdit *>(QStringLiteral("frequency"));
    QVERIFY(frequency->width() >= frequency->fontMetrics().horizontalAdvance(QStringLiteral("1296.12345")));
    auto *close = sheet->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close);
    QVERIFY(!area->isAncestorOf(close));
    QVERIFY(sheet->rect().contains(QRect(close->mapTo(sheet, QPoint(0, 0)), close->size())));

    // Still open as the program ends, with the main window.
    sheet->resize(1000, 640);
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    QCOMPARE(sheet->size(), QSize(1000, 640));
}

void TestShopSheetWindow::keyboard()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    QVERIFY2(mnemonicClashes(*sheet).isEmpty(), qPrintable(mnemonicClashes(*sheet).join(QStringLiteral("; "))));
    // Screen readers: every control named, the drawing described by its values.
    QVERIFY2(unnamedControls(*sheet).isEmpty(), qPrintable(unnamedControls(*sheet).join(QStringLiteral("; "))));
    const QString drawing =
        accessibleText(sheet->findChild<QWidget *>(QStringLiteral("shopDrawing")), QAccessible::Description);
    QVERIFY2(drawing.contains(QStringLiteral("side 18' 1-5/8\"")) &&
                 drawing.contains(QStringLiteral("D5 at 67' 3-5/16\"")),
             qPrintable(drawing));
    // Tab leaves a table in one step; the arrow keys move inside it.
    QTableView *loops = sheet->findChild<QTableView *>(QStringLiteral("loops"));
    QVERIFY(QTest::qWaitForWindowActive(sheet));
    loops->setFocus();
    loops->setCurrentIndex(loops->model()->index(0, 0));
    QTest::keyClick(loops, Qt::Key_Down);
    QCOMPARE(loops->currentIndex().row(), 1);
    QTest::keyClick(loops, Qt::Key_Tab);
    QVERIFY(!loops->hasFocus());
    QWidget *field = sheet->findChild<QLineEdit *>(QStringLiteral("allowance"));
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY(m_form->antennaCheck() && m_form->antennaCheck()->isVisible());
    // The check's window may still be taking the focus; a window shortcut only reaches the active window.
    m_form->antennaCheck()->close();
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_W, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}}) {
        m_form->openShopSheet();
        sheet->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), sheet);
        QTest::keyClick(field, key, modifiers);
        QTRY_VERIFY(!sheet->isVisible());
    }
}

void TestShopSheetWindow::refusedSettingsAreNamed_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    QTest::newRow("measured zero") << "measured"
                                   << "0"
                                   << "measured resonance";
    QTest::newRow("frequency") << "frequency"
                               << "abc"
                               << "centre frequency in MHz, such as 14.2";
    QTest::newRow("frequency out of range") << "frequency"
                                            << "3e7"
                                            << "30000000 MHz is outside";
    QTest::newRow("half-typed allowance") << "allowance"
                                          << "1e9"
                                          << "wire allowance";
}

// A setting that cannot be used is named and its field marked. The sheet shown stays in view, dimmed, but
// nothing can print, save or copy it until the settings are good again.
void TestShopSheetWindow::refusedSettingsAreNamed()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    const auto *loops = sheet->findChild<QTableView *>(QStringLiteral("loops"));
    const QString before = loops->model()->index(0, 2).data().toString();
    auto *edit = sheet->findChild<QLineEdit *>(field);
    const QString good = edit->text();
    edit->setText(typed);
    QVERIFY2(sheet->problem().contains(named), qPrintable(sheet->problem()));
    QCOMPARE(loops->model()->index(0, 2).data().toString(), before);
    QVERIFY(!loops->isEnabled());
    QVERIFY(!sheet->sheet());
    for (const char *action : {"print", "savePdf", "saveCsv", "copy"})
        QVERIFY2(!sheet->findChild<QPushButton *>(QLatin1StringView(action))->isEnabled(), action);
    QVERIFY(!sheet->saveCsv(QDir::temp().filePath(QStringLiteral("never.csv"))));
    QCOMPARE(edit->actions().size(), 1); // the warning sign at the field's end
    QCOMPARE(edit->accessibleDescription(), sheet->problem());

    edit->setText(good);
    QVERIFY(sheet->problem().isEmpty());
    QVERIFY(sheet->sheet());
    QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("saveCsv"))->isEnabled());
    QVERIFY(edit->actions().isEmpty());
}

// The refusals tarvelin-calc gives for the same settings (its test runs the same table).
void TestShopSheetWindow::badSettingsAsTarvelinCalcRefuses()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    for (const BadSetting &bad : kBadSettings) {
        if (QLatin1StringView(bad.mode) != QLatin1StringView("--shop"))
            continue;
        auto *field = sheet->findChild<QLineEdit *>(QLatin1StringView(bad.field));
        field->setText(QString::fromUtf8(bad.text));
        QCOMPARE(sheet->problem(), QString::fromUtf8(bad.refusal));
        field->clear();
        QVERIFY(sheet->problem().isEmpty());
    }
}

// A measured resonance belongs to the design it was measured on. Typing another frequency trims nothing
// while it is typed; once it is entered the measurement is set aside with a note, and comes back with its
// frequency. It is kept between runs with the frequency it belongs to.
void TestShopSheetWindow::measuredResonanceBelongsToItsDesign()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    auto *measured = sheet->findChild<QLineEdit *>(QStringLiteral("measured"));
    measured->setText(QStringLiteral("14.0"));
    QCOMPARE(QString::fromStdString(sheet->sheet()->correctedFrequencyText), QStringLiteral("14.403"));
    // The drawing shows the driven loop as trimmed, as the trims table gives it.
    const shop::Trim &trim = *sheet->sheet()->elements[1].trim;
    const QString drawing =
        accessibleText(sheet->findChild<QWidget *>(QStringLiteral("shopDrawing")), QAccessible::Description);
    QVERIFY2(drawing.startsWith(QStringLiteral("Driven element as trimmed, front view: side %1, arm %2;")
                                    .arg(QString::fromStdString(shop::feetInchesText(trim.side, 16)),
                                         QString::fromStdString(shop::feetInchesText(trim.arm, 16)))),
             qPrintable(drawing));
    m_form.reset();

    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->openShopSheet();
    sheet = m_form->shopSheet();
    measured = sheet->findChild<QLineEdit *>(QStringLiteral("measured"));
    QCOMPARE(measured->text(), QStringLiteral("14.0"));
    auto *frequency = sheet->findChild<QLineEdit *>(QStringLiteral("frequency"));
    frequency->selectAll();
    QTest::keyClicks(frequency, QStringLiteral("2"));
    QCOMPARE(measured->text(), QStringLiteral("14.0")); // not judged on the first keystroke
    QVERIFY(sheet->sheet() && sheet->sheet()->correctedFrequencyText.empty());
    QTest::keyClicks(frequency, QStringLiteral("1.2"));
    QTest::keyClick(frequency, Qt::Key_Return);
    QVERIFY(measured->text().isEmpty());
    QVERIFY(sheet->sheet()->correctedFrequencyText.empty());
    QCOMPARE(sheet->note(), QStringLiteral("The measured resonance 14.0 MHz is for the design at 14.200 MHz: it is set "
                                           "aside, and comes back if the design returns to 14.200 MHz."));

    sheet->setFrequencyText(QStringLiteral("14.20"));
    QCOMPARE(measured->text(), QStringLiteral("14.0"));
    QCOMPARE(QString::fromStdString(sheet->sheet()->correctedFrequencyText), QStringLiteral("14.403"));
}

// The check's predicted resonance trims the sheet as a prediction: said in the title and the note, and never
// kept as a measurement. The menu's Shop Sheet brings back the plain sheet.
void TestShopSheetWindow::predictionIsNoMeasurement()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    sheet->setPredictedResonance(QStringLiteral("14.2"), 7, 13.8754577);
    QVERIFY(sheet->predicted());
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Shop Sheet Trimmed by the Model \u2013 Tarvelin"));
    QVERIFY(sheet->note().contains(QStringLiteral("13.875 MHz: a prediction, not a measurement")));
    QVERIFY(sheet->findChild<QLineEdit *>(QStringLiteral("measured"))->text().isEmpty());
    QVERIFY(sheet->sheet() && sheet->sheet()->settings.predicted);
    QCOMPARE(QString::fromStdString(sheet->sheet()->correctedFrequencyText),
             QString::fromStdString(design::frequencyLabel(14.2 * 14.2 / 13.8754577)));
    QVERIFY(QString::fromStdString(shop::trimsNote(*sheet->sheet())).contains(QStringLiteral("a prediction")));

    m_form->openShopSheet();
    QVERIFY(!sheet->predicted());
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Shop Sheet \u2013 Tarvelin"));
    QVERIFY(sheet->sheet()->correctedFrequencyText.empty());
    m_form.reset();
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->openShopSheet();
    QVERIFY(m_form->shopSheet()->findChild<QLineEdit *>(QStringLiteral("measured"))->text().isEmpty());
}

// A step that is no fraction step, left in the settings file, gives the default of 1/16 inch.
void TestShopSheetWindow::handEditedSettingsFallBack()
{
    QSettings().setValue(QStringLiteral("shopSheet/step"), 999999999);
    m_form->openShopSheet();
    QCOMPARE(m_form->shopSheet()->findChild<QComboBox *>(QStringLiteral("step"))->currentData().toInt(), 16);

    // A measurement for a design no sheet is made for is no measurement, and no note names that design.
    for (const char *design : {"inf", "1e-300", "-14.2", "abc"}) {
        m_form.reset();
        QSettings().setValue(QStringLiteral("shopSheet/measured"), QStringLiteral("14.0"));
        QSettings().setValue(QStringLiteral("shopSheet/measuredFor"), QString::fromLatin1(design));
        m_form = std::make_unique<Form1>(m_messages, m_printer);
        m_form->openShopSheet();
        ShopSheetWindow *sheet = m_form->shopSheet();
        sheet->setFrequencyText(QStringLiteral("7.1"));
        QVERIFY2(sheet->findChild<QLineEdit *>(QStringLiteral("measured"))->text().isEmpty(), design);
        QVERIFY2(sheet->note().isEmpty(), qPrintable(sheet->note()));
    }
}

void TestShopSheetWindow::settingsAreRemembered()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("28.5"));
    QVERIFY(sheet);
    sheet->findChild<QComboBox *>(QStringLiteral("step"))->setCurrentIndex(2); // 1/32
    sheet->findChild<QLineEdit *>(QStringLiteral("allowance"))->setText(QStringLiteral("60 mm"));
    m_form.reset();

    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->openShopSheet();
    sheet = m_form->shopSheet();
    QCOMPARE(sheet->findChild<QComboBox *>(QStringLiteral("step"))->currentData().toInt(), 32);
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("allowance"))->text(), QStringLiteral("60 mm"));
    // The sheet last made comes back with it, though the main window starts empty.
    QCOMPARE(m_form->frequencyBox()->text(), QString());
    QVERIFY(sheet->sheet());
    QCOMPARE(QString::fromStdString(sheet->sheet()->frequencyText), QStringLiteral("28.5"));
}

void TestShopSheetWindow::csvAndPdfReadBack()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    sheet->findChild<QLineEdit *>(QStringLiteral("allowance"))->setText(QStringLiteral("2.5 in"));
    QTemporaryDir folder;

    QVERIFY(sheet->saveCsv(folder.filePath(QStringLiteral("sheet.csv"))));
    QCOMPARE(sheet->note(),
             QStringLiteral("Saved the CSV file as %1.").arg(folder.filePath(QStringLiteral("sheet.csv"))));
    QFile csv(folder.filePath(QStringLiteral("sheet.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    QCOMPARE(rows.size(), 9); // header, seven elements, and the last line end
    QVERIFY(rows[0].startsWith("frequency,element,loop_in,loop_mm,loop_text,cut_in,cut_mm,cut_text,"));
    QVERIFY2(rows[1].startsWith("14.2,Reflector,891.549,22645.3446,\"74' 3-9/16\"\"\",894.049,22708.8446,\"74' "
                                "6-1/16\"\"\","),
             rows[1].constData());
    QVERIFY(rows[1].endsWith("\r"));

    QVERIFY(sheet->savePdf(folder.filePath(QStringLiteral("sheet.pdf"))));
    const QString text = standardOutputOf(QStringLiteral("pdftotext"),
                                          {folder.filePath(QStringLiteral("sheet.pdf")), QStringLiteral("-")});
    for (const char *shown : {"Shop sheet for 14.200 MHz", "Tarvelin, ", "74' 6-1/16\"", "22708.8", "Corner marks",
                              "Spreaders and boom", "Fractions to 1/16 in", "feed point"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);

    sheet->copyToClipboard();
    // What the terminal shows, each table and each line of the materials in cells of their own.
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("Shop sheet for 14.200 MHz. Fractions to 1/16 in")));
    QVERIFY(copied.contains(QStringLiteral("\n\nLoops\tLoop\tLoop (mm)\t")));
    QVERIFY(copied.contains(QStringLiteral("\nWire in all\t")));
    QVERIFY(m_messages.requests.empty());

    QVERIFY(!sheet->saveCsv(folder.filePath(QStringLiteral("missing/sheet.csv"))));
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY(m_messages.requests.front().prompt.starts_with("The CSV file could not be saved"));
}

// A save dialog opens in the folder the last file was saved to, not the home folder each time.
void TestShopSheetWindow::saveDialogsStartInTheLastFolder()
{
    QTemporaryDir folder;
    QStringList opened;
    // Answers the dialog once it is up: the first time with a file in `folder`, the second time not at all.
    const auto answer = [&opened, &folder](bool accept) {
        QTimer::singleShot(0, [&opened, &folder, accept] {
            QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            opened << dialog->directory().absolutePath();
            if (accept) {
                dialog->selectFile(folder.filePath(QStringLiteral("quad")));
                static_cast<QDialog *>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
    };
    answer(true);
    const QString saved = chooseSavePath(nullptr, QStringLiteral("Save CSV"), QStringLiteral("sheet.csv"),
                                         QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"));
    QCOMPARE(saved, folder.filePath(QStringLiteral("quad.csv")));
    answer(false);
    QVERIFY(chooseSavePath(nullptr, QStringLiteral("Save PDF"), QStringLiteral("sheet.pdf"),
                           QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"))
                .isEmpty());
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened[1], QDir(folder.path()).absolutePath());
}

// Open Tuned Design... makes the sheet of exactly the loops saved; a file that is no tuned design is named as
// such, and the sheet stays as it was.
// An analyser's sweep gives the measured resonance at its lowest SWR, the sheet naming the file, exactly as
// that frequency typed; typing over it forgets the file, and a broken file changes nothing.
void TestShopSheetWindow::measuredResonanceFromASweep()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("built.s2p")));
    // A two-port analyser's file in hertz, S11 first: a feed of 50 ohms resonant at `resonanceMHz`, with a Q of 10.
    const auto writeSweep = [&file](double resonanceMHz) {
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write("! two-port analyser\r\n# HZ S RI R 50\r\n");
        for (int i = 0; i <= 40; ++i) {
            const double mhz = 13.85 + 0.01 * i;
            const std::complex<double> z(50.0, 500.0 * (mhz / resonanceMHz - resonanceMHz / mhz));
            const std::complex<double> reflection = (z - 50.0) / (z + 50.0);
            file.write(QStringLiteral("%1 %2 %3 0 0 0 0 0 0\r\n")
                           .arg(qRound64(mhz * 1e6))
                           .arg(reflection.real(), 0, 'g', 12)
                           .arg(reflection.imag(), 0, 'g', 12)
                           .toLatin1());
        }
        file.close();
        return file.error() == QFile::NoError;
    };
    QVERIFY(writeSweep(14.05));
    QVERIFY(sheet->measuredFromSweep(file.fileName()));
    auto *measured = sheet->findChild<QLineEdit *>(QStringLiteral("measured"));
    QCOMPARE(measured->text(), QStringLiteral("14.0500"));
    QCOMPARE(*sheet->sheet()->settings.measuredMHz, 14.05);
    QCOMPARE(sheet->sheet()->settings.sweepFile, std::string("built.s2p"));
    QVERIFY2(sheet->note().contains(QStringLiteral("where the reactance of built.s2p passes zero")),
             qPrintable(sheet->note()));
    const auto trims = sheet->sheet()->elements;

    // Trimmed by it and swept again: the second sweep trims the loops as the first left them, 80 % of that
    // trim having showed up.
    QVERIFY(writeSweep(14.17));
    QVERIFY(sheet->measuredFromSweep(file.fileName()));
    QVERIFY(sheet->sheet()->settings.earlierTrim);
    QCOMPARE(sheet->sheet()->settings.earlierTrim->measuredMHz, 14.05);
    QVERIFY(std::fabs(*sheet->sheet()->lastTrimShowedPercent - 80.0) < 1e-6);
    // The builder says what was really cut: half the trim advised, so all of it showed up, and the loops are
    // trimmed from what that cut left.
    auto *cut = sheet->findChild<QLineEdit *>(QStringLiteral("cutSince"));
    QVERIFY(cut->isVisible());
    const double advised = -static_cast<double>(trims[1].trim->change) / 2000.0;
    const double halfTrim = advised * 0.6;
    cut->setText(QString::number(halfTrim, 'f', 3));
    emit cut->editingFinished();
    QCOMPARE(sheet->sheet()->settings.earlierTrim->how, shop::EarlierTrim::Cut::Given);
    QVERIFY2(std::fabs(*sheet->sheet()->lastTrimShowedPercent -
                       100.0 * 0.12 / (14.05 / (1.0 - 0.6 * (1.0 - 14.05 / 14.2)) - 14.05)) < 0.5,
             qPrintable(QString::number(*sheet->sheet()->lastTrimShowedPercent)));
    cut->setText(QStringLiteral("a lot"));
    emit cut->editingFinished();
    QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("problem"))
                ->text()
                .startsWith(QStringLiteral("What was cut from the driven loop must be a length")));
    QVERIFY(!sheet->findChild<QPushButton *>(QStringLiteral("print"))->isEnabled());
    cut->clear();
    emit cut->editingFinished();

    measured->setText(QStringLiteral("14.05"));
    QVERIFY(sheet->sheet()->settings.sweepFile.empty());
    for (std::size_t i = 0; i < trims.size(); ++i)
        QCOMPARE(sheet->sheet()->elements[i].trim->change, trims[i].trim->change);

    QFile broken(folder.filePath(QStringLiteral("broken.s1p")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("# MHz S RI R 50\n14.0 0.1 0.1\n");
    broken.close();
    QVERIFY(!sheet->measuredFromSweep(broken.fileName()));
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY(
        QString::fromStdString(m_messages.requests.back().prompt).contains("broken.s1p, line 2: the file holds one"));
    QCOMPARE(measured->text(), QStringLiteral("14.05"));
}

void TestShopSheetWindow::opensASavedTunedDesign()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("7.1"));
    QVERIFY(sheet);
    tune::TunedDesign saved;
    saved.frequencyText = "14.2";
    saved.result.factors = {0.9821449072039303, 0.97714490720393, 0.98, 0.99, 1.01, 1.0, 0.95};
    saved.result.before.design.swr = 1.3;
    saved.result.after.design.swr = 1.1;
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("quad.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(
        tune::tunedDesignText(saved, std::get<design::Design>(design::specifiedDesign(saved.frequencyText)).lengths)));
    file.close();

    QVERIFY(sheet->openTunedDesign(file.fileName()));
    QVERIFY(sheet->tuned());
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("frequency"))->text(), QStringLiteral("14.2"));
    QCOMPARE(*sheet->sheet()->loopFactors, saved.result.factors);
    // With what the tune said of them: its figures on a tab of their own, its outcome in the note.
    auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("tables"));
    auto *figures = sheet->findChild<QTableView *>(QStringLiteral("tuningFigures"));
    QVERIFY(tabs->isTabEnabled(tabs->indexOf(figures)));
    QCOMPARE(figures->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("SWR at 14.200 MHz"));
    QVERIFY2(sheet->note().contains(QStringLiteral("the stations are as designed. SWR goal")),
             qPrintable(sheet->note()));

    QFile notADesign(folder.filePath(QStringLiteral("notes.json")));
    QVERIFY(notADesign.open(QIODevice::WriteOnly));
    notADesign.write("{\"wire\": \"14 AWG\"}");
    notADesign.close();
    QVERIFY(!sheet->openTunedDesign(notADesign.fileName()));
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY2(m_messages.requests.front().prompt.find("It is not a tuned design") != std::string::npos,
             m_messages.requests.front().prompt.c_str());
    QCOMPARE(*sheet->sheet()->loopFactors, saved.result.factors);

    // A design tuned through a quarter-wave section for a 75 ohm line is cut with its section and read on its
    // line, both shown and locked while its loops are; the builder's own come back with the specified design.
    saved.check.z0Ohms = 75.0;
    saved.check.match = design::Match{design::MatchKind::QuarterWave, 75.0, 0.66, "RG-11"};
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray::fromStdString(
        tune::tunedDesignText(saved, std::get<design::Design>(design::specifiedDesign(saved.frequencyText)).lengths)));
    file.close();
    QVERIFY(sheet->openTunedDesign(file.fileName()));
    QVERIFY(sheet->sheet()->section);
    QCOMPARE(sheet->sheet()->settings.match.line, std::string("RG-11"));
    auto *kind = sheet->findChild<QComboBox *>(QStringLiteral("match"));
    auto *line = sheet->findChild<QComboBox *>(QStringLiteral("line"));
    QCOMPARE(kind->currentData().toInt(), static_cast<int>(design::MatchKind::QuarterWave));
    QVERIFY(!kind->isEnabled());
    QCOMPARE(line->currentData().toDouble(), 75.0);
    QCOMPARE(SettingsStore().shopWindow().match.kind, design::MatchKind::Direct);
    sheet->showSpecified();
    QVERIFY(!sheet->tuned());
    QCOMPARE(kind->currentData().toInt(), static_cast<int>(design::MatchKind::Direct));
    QVERIFY(kind->isEnabled());
    QCOMPARE(line->currentData().toDouble(), 50.0);
    QVERIFY(!sheet->sheet()->section);
}

// A builder who cut the tuned loops measures them next: the tuned sheet takes its own measurement and trims
// its own loops, while what the specified loops measured waits for them. Back on the specified sheet nothing
// said of the tuned loops stays.
void TestShopSheetWindow::tunedSheetTakesItsOwnMeasurement()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    auto *measured = sheet->findChild<QLineEdit *>(QStringLiteral("measured"));
    measured->setText(QStringLiteral("14.0"));
    const shop::TunedCut factors{{0.98, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0}, {}};
    sheet->setTunedDesign(QStringLiteral("14.2"), factors);
    QVERIFY(sheet->tuned());
    QVERIFY(measured->isEnabled());
    QVERIFY(sheet->findChild<QPushButton *>(QStringLiteral("fromSweep"))->isEnabled());
    QVERIFY(measured->text().isEmpty());
    QVERIFY2(sheet->note().contains(QStringLiteral("The measured resonance 14.0 MHz is of the specified loops: it "
                                                   "is set aside")),
             qPrintable(sheet->note()));
    measured->setText(QStringLiteral("14.1"));
    QVERIFY(sheet->sheet()->loopFactors && sheet->sheet()->elements[0].trim);
    QCOMPARE(*sheet->sheet()->settings.measuredMHz, 14.1);

    m_form->openShopSheet();
    QVERIFY(!sheet->tuned());
    QVERIFY2(!sheet->note().contains(QStringLiteral("Tuned loops")) &&
                 !sheet->note().contains(QStringLiteral("tuned with the model")),
             qPrintable(sheet->note()));
    QCOMPARE(measured->text(), QStringLiteral("14.0"));
    QCOMPARE(*sheet->sheet()->settings.measuredMHz, 14.0);

    sheet->setTunedDesign(QStringLiteral("14.2"), factors);
    QCOMPARE(measured->text(), QStringLiteral("14.1"));
}

// A sweep's resonance is the loop's own, where its reactance passes zero at the feed point, whatever feed
// line the sheet or the Antenna Check is set to: a feed whose resistance climbs through resonance has its
// lowest SWR at another frequency on each line, but one resonance, 14.05 MHz.
void TestShopSheetWindow::sweepReadOnTheSheetsOwnLine()
{
    QSettings().setValue(QStringLiteral("antennaCheck/z0"), 50.0);
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("climbing.s1p")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# MHZ Z RI R 50\n");
    for (int i = 0; i <= 40; ++i) {
        const double mhz = 13.85 + 0.01 * i;
        file.write(QStringLiteral("%1 %2 %3\n")
                       .arg(mhz, 0, 'f', 2)
                       .arg((40.0 + 100.0 * (mhz - 13.85)) / 50.0, 0, 'g', 12)
                       .arg(300.0 * (mhz / 14.05 - 14.05 / mhz) / 50.0, 0, 'g', 12)
                       .toLatin1());
    }
    file.close();
    auto *line = sheet->findChild<QComboBox *>(QStringLiteral("line"));
    auto *measured = sheet->findChild<QLineEdit *>(QStringLiteral("measured"));
    QVERIFY(sheet->measuredFromSweep(file.fileName()));
    QCOMPARE(measured->text(), QStringLiteral("14.0500"));
    line->setCurrentIndex(line->findData(75.0));
    QVERIFY(sheet->measuredFromSweep(file.fileName()));
    QCOMPARE(measured->text(), QStringLiteral("14.0500"));
    QFile read(file.fileName());
    QVERIFY(read.open(QIODevice::ReadOnly));
    const auto sweep = touchstone::readSweep(read.readAll().toStdString(), "climbing.s1p");
    QVERIFY(std::holds_alternative<touchstone::Sweep>(sweep));
    QCOMPARE(measured->text().toStdString(),
             std::get<measure::SheetSweep>(measure::sheetSweepOf(std::get<touchstone::Sweep>(sweep), "climbing.s1p",
                                                                 measure::SweepReading{.z0Ohms = 75.0}))
                 .resonanceText);
}

// A quarter-wave section chosen on the sheet is cut with it and named in its summary, and the choice is kept.
void TestShopSheetWindow::quarterWaveSectionOnTheSheet()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("28.5"));
    QVERIFY(sheet);
    QVERIFY(!sheet->sheet()->section);
    auto *kind = sheet->findChild<QComboBox *>(QStringLiteral("match"));
    kind->setCurrentIndex(kind->findData(static_cast<int>(design::MatchKind::QuarterWave)));
    QVERIFY(sheet->sheet() && sheet->sheet()->section);
    QCOMPARE(sheet->sheet()->settings.match.z0Ohms, 75.0);
    QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("summary"))->text().contains(QStringLiteral("Matching section")));
    QCOMPARE(SettingsStore().shopWindow().match, sheet->sheet()->settings.match);

    // Cut from a cable of the table: its impedance and nominal velocity factor, which the sheet names.
    auto *cable = sheet->findChild<QComboBox *>(QStringLiteral("matchCable"));
    cable->setCurrentIndex(cable->findText(QStringLiteral("RG-62")));
    QCOMPARE(sheet->sheet()->settings.match.line, std::string("RG-62"));
    QCOMPARE(sheet->sheet()->settings.match.z0Ohms, 93.0);
    QCOMPARE(sheet->sheet()->settings.match.velocityFactor, 0.84);
    QVERIFY(!sheet->findChild<QDoubleSpinBox *>(QStringLiteral("matchZ0"))->isEnabled());
    QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("summary"))
                ->text()
                .contains(QStringLiteral("velocity factor 0.84 nominal")));

    // Measure…: a sweep of 1.000 m of the cable, open at its far end, resonant at 48.717 MHz (VF 0.650).
    QTemporaryDir folder;
    const QString piece = folder.filePath(QStringLiteral("piece.s1p"));
    QVERIFY(writeOpenStubSweep(piece, 1.0, 93.0, 0.65, 30.0, 70.0));
    QTest::mouseClick(sheet->findChild<QPushButton *>(QStringLiteral("measureMatchVf")), Qt::LeftButton);
    QDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = sheet->findChild<QDialog *>(QStringLiteral("velocityFactorDialog"))));
    auto *use = dialog->findChild<QPushButton *>(QStringLiteral("useVelocityFactor"));
    QVERIFY(!use->isEnabled());
    auto *length = dialog->findChild<QLineEdit *>(QStringLiteral("pieceLength"));
    QTest::keyClicks(length, QStringLiteral("1"));
    auto *sweep = dialog->findChild<QLineEdit *>(QStringLiteral("pieceSweep"));
    QTest::keyClicks(sweep, piece);
    QTest::keyClick(sweep, Qt::Key_Return);
    // A bare number could be any unit: said, and nothing to use.
    QVERIFY(
        dialog->findChild<QLabel *>(QStringLiteral("pieceReading"))->text().contains(QStringLiteral("needs its unit")));
    QVERIFY(!use->isEnabled());
    QTest::keyClicks(length, QStringLiteral(" m"));
    QTest::keyClick(length, Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QTRY_VERIFY(use->isEnabled());
    QCOMPARE(use->text(), QStringLiteral("&Use 0.650"));
    QTest::mouseClick(use, Qt::LeftButton);
    QCOMPARE(sheet->sheet()->settings.match.velocityFactor, 0.65);
    QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("summary"))
                ->text()
                .contains(QStringLiteral("velocity factor 0.65 as measured")));
    QCOMPARE(SettingsStore().shopWindow().match.line, std::string("RG-62"));
    QCOMPARE(SettingsStore().shopWindow().match.velocityFactor, 0.65);
}

// Bands typed under the frequency cut their nested quad: its own tab in place of one band's tables, every loop
// in the CSV and the PDF with its marks on its arms; a band that is none is named, and clearing the bands
// brings the frequency's sheet back.
void TestShopSheetWindow::nestedQuadOfSeveralBands()
{
    ShopSheetWindow *sheet = openSheet(QStringLiteral("14.2"));
    QVERIFY(sheet);
    sheet->findChild<QSpinBox *>(QStringLiteral("elements"))->setValue(2);
    auto *bands = sheet->findChild<QLineEdit *>(QStringLiteral("bands"));
    QTest::keyClicks(bands, QStringLiteral("20m, 15m, 10m"));
    QTRY_VERIFY(sheet->nestedSheet());
    QCOMPARE(sheet->nestedSheet()->loops.size(), std::size_t(6));
    auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("tables"));
    QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("nestedQuad"));
    QVERIFY(!tabs->isTabVisible(0));
    QVERIFY(sheet->findChild<QTextBrowser *>(QStringLiteral("nestedSheet"))->toPlainText().contains(QStringLiteral("On the arm")));

    QTemporaryDir folder;
    QVERIFY(sheet->saveCsv(folder.filePath(QStringLiteral("quad.csv"))));
    QFile csv(folder.filePath(QStringLiteral("quad.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    QCOMPARE(rows.size(), 8); // header, six loops, and the last line end
    QVERIFY(rows[1].startsWith("20m,Reflector,"));
    QVERIFY(sheet->savePdf(folder.filePath(QStringLiteral("quad.pdf"))));
    const QString text = standardOutputOf(QStringLiteral("pdftotext"),
                                          {folder.filePath(QStringLiteral("quad.pdf")), QStringLiteral("-")});
    for (const char *shown : {"Shop sheet for a quad of 20m, 15m and 10m", "Spreader arms", "From the side"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);

    // A saved tuned quad opens as its bands and cuts its own loops, until its bands change.
    const QString saved = folder.filePath(QStringLiteral("quad.json"));
    {
        auto bandsRead = std::get<std::vector<tarvelin::design::Band>>(tarvelin::design::readBands("20m,15m"));
        tarvelin::tune::TunedBands quad;
        quad.bands = bandsRead;
        quad.nested.layout = tarvelin::design::NestedLayout::Boom;
        quad.factors = {0.98, 0.96, 0.99, 0.97};
        const auto geometry = std::get<tarvelin::design::NestedGeometry>(
            tarvelin::tune::tunedBandsGeometry(quad));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const std::string contents = tarvelin::tune::tunedBandsText(quad, geometry);
        QVERIFY(file.write(contents.data(), static_cast<qint64>(contents.size())) ==
                static_cast<qint64>(contents.size()));
    }
    QVERIFY(sheet->openTunedDesign(saved));
    QTRY_VERIFY(sheet->nestedSheet() && sheet->nestedSheet()->tuned);
    QCOMPARE(bands->text(), QStringLiteral("20m, 15m"));
    QCOMPARE(sheet->nestedSheet()->loops[1].factor, 0.96);
    bands->setText(QStringLiteral("20m, 15m, 10m"));
    QTRY_VERIFY(sheet->nestedSheet() && !sheet->nestedSheet()->tuned);

    bands->setText(QStringLiteral("20m, 11m"));
    QTRY_VERIFY(!sheet->nestedSheet());
    QVERIFY(sheet->problem().contains(QStringLiteral("11m")));
    bands->clear();
    QTRY_VERIFY(sheet->sheet());
    QVERIFY(tabs->isTabVisible(0));
    QCOMPARE(sheet->sheet()->frequencyText, std::string("14.2"));
}

QTEST_MAIN(TestShopSheetWindow)
#include "tst_shopsheetwindow.moc"
