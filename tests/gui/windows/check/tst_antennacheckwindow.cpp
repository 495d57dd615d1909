// SPDX-License-Identifier: MIT
// The Antenna Check window on the virtual display, with the real nec2c: opened from the menu, a run that ends
// in figures, a cancelled run that leaves no process and no folder behind, and a missing engine.
#include "support/sweepfile.h"
#include "support/badsettings.h"
#include "support/capturingprinter.h"
#include "support/runprocess.h"
#include "support/accessibility.h"
#include "gui/runtime/settingsstore.h"
#include "support/mnemonics.h"
#include "support/scriptedmessages.h"
#include "core/design/designlengths.h"
#include "gui/print/checkplots.h"
#include "gui/windows/check/antennacheckwindow.h"
#include "core/tune/tuneddesign.h"
#include "gui/windows/sheet/shopsheetwindow.h"
#include "gui/windows/check/enginerun.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QLineEdit>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QUrl>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTabBar>
#include <QTabWidget>
#include <QHeaderView>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarvelin;
using tarvelin::test::accessibleText;
using tarvelin::test::mnemonicClashes;
using tarvelin::test::unnamedControls;

namespace {

// Child processes of this test named nec2c, from /proc.
int nec2cChildren()
{
    int found = 0;
    const QString self = QString::number(::getpid());
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(stat.readAll());
        const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
        if (text.contains(QStringLiteral("(nec2c)")) && fields.size() > 1 && fields[1] == self)
            ++found;
    }
    return found;
}

} // namespace

class TestAntennaCheckWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void runsFromTheMenu();
    void sheetsAndTuneFollowTheCheck();
    void measuredSweepBesideTheVerdict();
    void sweepsInTurn();
    void sweepThatIsNoFileIsRefusedAtOnce_data();
    void sweepThatIsNoFileIsRefusedAtOnce();
    void cancelLeavesNothingBehind();
    void keyboard();
    void fitsASmallScreenAtALargeScale();
    void tuneCancelledKeepsTheBestSoFar();
    void missingEngineIsNamed();
    void refusedSettingsStopRunAndDeck();
    void badSettingsAsTarvelinCalcRefuses();
    void corruptSettingsFallBackToDefaults();
    void severalBands();

private:
    AntennaCheckWindow *open(const QString &frequency);

    ScriptedMessages m_messages;
    CapturingPrinter m_printer;
    std::unique_ptr<Form1> m_form;
};

void TestAntennaCheckWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvelin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarvelin"));
    loadBundledFonts();
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
}

void TestAntennaCheckWindow::init()
{
    QSettings().clear();
    m_messages = ScriptedMessages();
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestAntennaCheckWindow::cleanup()
{
    m_form.reset();
}

AntennaCheckWindow *TestAntennaCheckWindow::open(const QString &frequency)
{
    QTest::keyClicks(m_form->frequencyBox(), frequency);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_R, Qt::ControlModifier);
    AntennaCheckWindow *check = m_form->antennaCheck();
    return check && QTest::qWaitForWindowExposed(check) ? check : nullptr;
}

// Every Alt+letter is the window's only one, tabs reached with Ctrl+Tab; no count before a run; Esc closes.
void TestAntennaCheckWindow::keyboard()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    QVERIFY2(mnemonicClashes(*check).isEmpty(), qPrintable(mnemonicClashes(*check).join(QStringLiteral("; "))));
    QVERIFY2(unnamedControls(*check).isEmpty(), qPrintable(unnamedControls(*check).join(QStringLiteral("; "))));
    // It opens on a 1366 by 768 screen with every tab title whole and room for the 13 points of a sweep.
    QVERIFY(check->frameGeometry().width() <= 1366 && check->frameGeometry().height() <= 768);
    auto *tabs = check->findChild<QTabWidget *>(QStringLiteral("results"));
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY(!tabs->isTabVisible(i) || tabs->tabBar()->tabRect(i).right() < tabs->tabBar()->width());
    auto *table = check->findChild<QTableView *>(QStringLiteral("table"));
    tabs->setCurrentWidget(table);
    QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    QCOMPARE(check->findChild<QProgressBar *>()->text(), QString());
    // Tab reads the settings a column at a time, then the run row as it stands; what is disabled (the height
    // on the ground, Tune Loops before a check) is passed over.
    QVERIFY(QTest::qWaitForWindowActive(check));
    check->findChild<QLineEdit *>(QStringLiteral("frequency"))->setFocus();
    QStringList stops;
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(stops,
             QStringList({"elements", "bands", "wireMm", "awg", "copper", "segments", "jacket", "span", "points", "z0",
                          "overGround", "match", "run", "tuneBand", "goalSwr", "goalFb", "moveStations", "loadSweep"}));
    // Ctrl+Tab turns the tabs from anywhere in the window, the frequency box among it, and back round the ends;
    // the focus stays where it was.
    auto *frequency = check->findChild<QLineEdit *>(QStringLiteral("frequency"));
    frequency->setFocus();
    QCOMPARE(tabs->currentIndex(), tabs->indexOf(table));
    QTest::keyClick(frequency, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("SWR"));
    QTest::keyClick(frequency, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(frequency, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QTest::keyClick(frequency, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("Azimuth")); // the elevation and tuned tabs hidden
    QCOMPARE(QApplication::focusWidget(), frequency);
    // Enter in a setting runs the check, as in the frequency box; Enter on a button is the button's.
    auto *points = check->findChild<QSpinBox *>(QStringLiteral("points"));
    points->setFocus();
    QTest::keyClick(points, Qt::Key_Return);
    QVERIFY(check->running());
    check->cancel();
    QTRY_VERIFY(!check->running());
    QTest::keyClick(check->findChild<QLineEdit *>(QStringLiteral("frequency")), Qt::Key_Escape);
    QTRY_VERIFY(!check->isVisible());
    // The next time the program starts, the check comes back with the frequency it ran, though the main
    // window starts empty.
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->openAntennaCheck();
    QCOMPARE(m_form->frequencyBox()->text(), QString());
    QCOMPARE(m_form->antennaCheck()->frequencyText(), QStringLiteral("14.2"));
}

void TestAntennaCheckWindow::runsFromTheMenu()
{
    QVERIFY(m_form->contextMenu().actions().contains(m_form->antennaCheckAction()));
    QCOMPARE(m_form->antennaCheckAction()->shortcut().toString(), QStringLiteral("Ctrl+R"));
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    QCOMPARE(check->windowTitle(), QStringLiteral("Antenna Check \u2013 Tarvelin"));
    QCOMPARE(check->findChild<QLineEdit *>(QStringLiteral("frequency"))->text(), QStringLiteral("14.2"));
    // Before any run the verdict says how to get one, and Tune Loops why it waits.
    QVERIFY(check->findChild<QLabel *>(QStringLiteral("verdictNote"))->text().startsWith(QStringLiteral("Run ")));
    QVERIFY(check->findChild<QPushButton *>(QStringLiteral("tune"))
                ->toolTip()
                .startsWith(QStringLiteral("Run the check first")));

    // The tabs stay where they are as the status line fills.
    auto *results = check->findChild<QTabWidget *>(QStringLiteral("results"));
    const int tabsAt = results->mapTo(check, QPoint(0, 0)).y();
    check->run();
    QVERIFY(check->running());
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->summary(), qPrintable(check->status()));
    QVERIFY(check->status().size() > 150); // more than a line
    QCOMPARE(results->mapTo(check, QPoint(0, 0)).y(), tabsAt);
    const QAbstractItemModel *table = check->findChild<QTableView *>(QStringLiteral("table"))->model();
    // The sweep's 13 and the wider sweep that finds the 2:1 band's low edge, its rows marked as the second
    // round's; the window opened with room for the sweep's 13.
    auto *tableView = check->findChild<QTableView *>(QStringLiteral("table"));
    check->findChild<QTabWidget *>(QStringLiteral("results"))->setCurrentWidget(tableView);
    QTRY_VERIFY(tableView->rowViewportPosition(12) + tableView->rowHeight(12) <= tableView->viewport()->height());
    const int count = table->rowCount();
    QVERIFY(count > 13);
    QCOMPARE(table->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Sweep"));
    QCOMPARE(table->index(0, 7).data().toString(), QStringLiteral("wider"));
    QCOMPARE(table->index(count - 1, 7).data().toString(), QString());
    QCOMPARE(table->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Gain (dBi)"));
    // A frequency reads as the verdict writes it, so the two never show one frequency two ways.
    QCOMPARE(table->index(count - 7, 0).data().toString(), QStringLiteral("14.200"));
    const double gain = table->index(count - 7, 4).data().toDouble();
    QVERIFY2(gain > 9.0 && gain < 13.0, qPrintable(table->index(count - 7, 4).data().toString()));
    // The fixed design resonates about 2 % low: the verdict says so and gives the cut that would not.
    const QAbstractItemModel *verdict = check->findChild<QTableView *>(QStringLiteral("verdict"))->model();
    QCOMPARE(verdict->headerData(0, Qt::Vertical).toString(), QStringLiteral("SWR at 14.200 MHz"));
    QVERIFY2(check->status().startsWith(QStringLiteral("The model resonates 2.")), qPrintable(check->status()));
    QVERIFY(qAbs(*check->summary()->resonanceMHz - 14.2) < 14.2 * 0.05);

    QTemporaryDir folder;
    QVERIFY(check->saveDeck(folder.filePath(QStringLiteral("quad.nec"))));
    QFile deck(folder.filePath(QStringLiteral("quad.nec")));
    QVERIFY(deck.open(QIODevice::ReadOnly));
    QVERIFY(deck.readAll().startsWith("CM Tarvelin"));
    // The CSV tarvelin-calc writes, less its error column: one dialect, CRLF, numbers in number columns.
    QVERIFY(check->saveCsv(folder.filePath(QStringLiteral("check.csv"))));
    QFile csv(folder.filePath(QStringLiteral("check.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().split('\n');
    QCOMPARE(rows.size(), 1 + count + 1);
    QCOMPARE(rows[0], QByteArray("frequency,mhz,r,x,swr,gain_dbi,fb_db,fr_db,takeoff_deg,round,note\r"));
    QVERIFY2(rows[count - 6].startsWith("14.200,14.2,") && rows[count - 6].endsWith('\r'), rows[count - 6].constData());
    QVERIFY(check->savePdf(folder.filePath(QStringLiteral("check.pdf"))));
    const QString report = standardOutputOf(QStringLiteral("pdftotext"),
                                            {folder.filePath(QStringLiteral("check.pdf")), QStringLiteral("-")});
    QVERIFY(report.contains(QStringLiteral("Antenna check for 14.200 MHz")));
    QVERIFY(report.contains(QStringLiteral("Tarvelin, ")));
    // What ran: the sweep's 13, and the verdict's round after, its wider sweep's the table's other rows.
    const QString ran = report.simplified();
    QVERIFY2(ran.contains(QStringLiteral("Modelled 13 frequencies across the sweep, then ")) &&
                 ran.contains(QStringLiteral(" more for the verdict: %1 beyond the sweep's ends, for what it missed; ")
                                  .arg(count - 13)),
             qPrintable(report));
    QVERIFY2(ran.contains(QStringLiteral("to resonate at 14.200 MHz, cut the loops of the design for ")),
             qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("SWR, with the 2:1 line")));
    // The plots describe their key values for screen readers, in the verdict's words.
    const QString swr =
        accessibleText(check->findChild<QWidget *>(QStringLiteral("SWR plot")), QAccessible::Description);
    QVERIFY2(swr.contains(QStringLiteral("SWR at 14.200 MHz: ")) && swr.contains(QStringLiteral("2:1 SWR: ")),
             qPrintable(swr));
    // Every page renders and reads without a complaint from the PDF tools.
    const QString pdf = folder.filePath(QStringLiteral("check.pdf"));
    const QString rendering = standardErrorOf(
        QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("30"), pdf, folder.filePath("page")});
    QVERIFY2(rendering.isEmpty(), qPrintable(rendering));
    const QString reading = standardErrorOf(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY2(reading.isEmpty(), qPrintable(reading));
    QVERIFY(m_messages.requests.empty());

    // The predicted resonance, at full precision, trims the sheet as a prediction: cut as for the frequency
    // the verdict names.
    check->findChild<QPushButton *>(QStringLiteral("shopSheetForCheck"))->click();
    ShopSheetWindow *sheet = m_form->shopSheet();
    QVERIFY(sheet && sheet->predicted());
    QVERIFY(sheet->findChild<QLineEdit *>(QStringLiteral("measured"))->text().isEmpty());
    QVERIFY2(sheet->sheet() && sheet->sheet()->elements[0].trim, qPrintable(sheet->problem()));
    QCOMPARE(*sheet->sheet()->settings.measuredMHz, *check->summary()->resonanceMHz);
    QCOMPARE(QString::fromStdString(sheet->sheet()->correctedFrequencyText),
             QString::fromStdString(design::frequencyLabel(*check->summary()->cutAsForMHz)));
}

// A 1366 x 768 screen at twice the scale leaves 683 x 384 for the window, less its frame: the window may be
// that small, its contents scrolled both ways.
void TestAntennaCheckWindow::fitsASmallScreenAtALargeScale()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    const QSize least = check->minimumSizeHint().expandedTo(check->minimumSize());
    QVERIFY2(least.width() <= 660 && least.height() <= 330,
             qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
    auto *area = check->findChild<QScrollArea *>(QStringLiteral("windowScrollArea"));
    QVERIFY(area);
    // Lower than its tables would like but with room for the least its contents need, the window shows
    // everything without scrolling: the tables give up rows, the window does not.
    const QSize contents = area->widget()->minimumSizeHint();
    const int buttons = check->height() - area->height(); // the row under what scrolls
    check->resize(std::max(check->width(), contents.width()), check->height());
    QTest::qWait(50); // laid out at the new width, whose wrapped lines the least height counts
    const int lowest =
        std::max(contents.height(), area->widget()->layout()->totalMinimumHeightForWidth(area->viewport()->width()));
    check->resize(check->width(), lowest + buttons);
    QTRY_COMPARE(area->verticalScrollBar()->maximum(), 0);
    QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
    check->resize(660, 330);
    QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
    // The buttons stay in view under what scrolls.
    auto *close = check->findChild<QPushButton *>(QStringLiteral("close"));
    QVERIFY(close && !area->isAncestorOf(close));
    QTRY_VERIFY(close->isVisible() && check->rect().contains(QRect(close->mapTo(check, QPoint(0, 0)), close->size())));
}

// A tune runs off the event loop; Cancel ends it with the best design so far, whose shop sheet is titled as
// tuned and gives way to the specified design for another frequency.
void TestAntennaCheckWindow::tuneCancelledKeepsTheBestSoFar()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    // The focus waits on Cancel while a button's run goes on, and comes back to the button after it, never
    // jumping into the band box.
    auto *run = check->findChild<QPushButton *>(QStringLiteral("run"));
    auto *tune = check->findChild<QPushButton *>(QStringLiteral("tune"));
    auto *cancel = check->findChild<QPushButton *>(QStringLiteral("cancel"));
    QTest::mouseClick(run, Qt::LeftButton);
    QVERIFY(check->running());
    QCOMPARE(check->focusWidget(), cancel);
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QCOMPARE(check->focusWidget(), run);
    QVERIFY(check->summary());
    auto *ideal = check->findChild<QLabel *>(QStringLiteral("idealSection"));
    QVERIFY2(ideal->text().startsWith(QStringLiteral("ideal ")), qPrintable(ideal->text()));
    check->resize(640, 480); // as a builder may leave it
    QTest::mouseClick(tune, Qt::LeftButton);
    QVERIFY(check->tuning());
    QCOMPARE(check->focusWidget(), cancel);
    // Past the specified design and the one-factor start, a design of the searches' own; the bar is busy, with
    // no end it could fill towards, and the status line says how far the tune has come.
    auto *bar = check->findChild<QProgressBar *>();
    QTRY_VERIFY_WITH_TIMEOUT(bar->accessibleDescription().section(QLatin1Char(' '), 0, 0).toInt() >= 3, 60000);
    QCOMPARE(bar->maximum(), 0);
    QVERIFY2(check->status().contains(QStringLiteral(" designs tried in ")) &&
                 check->status().contains(QStringLiteral("; best so far ")),
             qPrintable(check->status()));
    // Esc during a tune asks before it stops minutes of work; No goes on with it.
    QTest::keyClick(check, Qt::Key_Escape);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY2(m_messages.requests.back().prompt.starts_with("A tune is running: "),
             m_messages.requests.back().prompt.c_str());
    QVERIFY(check->isVisible() && check->tuning());
    m_messages.requests.clear();
    check->cancel();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 30000);
    QCOMPARE(check->focusWidget(), tune);
    QVERIFY2(check->tuned(), qPrintable(check->status()));
    QCOMPARE(check->tuned()->end, tune::TuneEnd::Cancelled);
    // The section would be cut for the tuned loops, whose feed a cut-off tune never swept: no ideal line rather
    // than the specified design's.
    QCOMPARE(ideal->text(), QString());
    const QAbstractItemModel *loops = check->findChild<QTableView *>(QStringLiteral("tunedLoops"))->model();
    QCOMPARE(loops->rowCount(), 7);
    // The window grew, within the screen, to show the tuned loops and what to do with them without scrolling.
    QVERIFY(check->screen()->availableGeometry().contains(check->frameGeometry()));
    for (const char *name : {"tunedShopSheet", "saveTunedDesign"}) {
        const auto *button = check->findChild<QPushButton *>(QString::fromLatin1(name));
        QTRY_COMPARE(button->visibleRegion().boundingRect(), button->rect());
    }
    // Not yet saved, the tune is asked about before a new run or the end of the program drops it; No keeps it.
    QTest::mouseClick(run, Qt::LeftButton);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY2(m_messages.requests.back().prompt.starts_with("The tuned design on the Tuned tab is not saved: A new "
                                                           "run clears it. Run the check anyway?"),
             m_messages.requests.back().prompt.c_str());
    QVERIFY(!check->running() && check->tuned());
    QVERIFY(!m_form->close());
    QCOMPARE(m_messages.requests.size(), std::size_t(2));
    QVERIFY(m_messages.requests.back().prompt.find("quitting loses it. Quit anyway?") != std::string::npos);
    QVERIFY(m_form->isVisible() && check->tuned());
    m_messages.requests.clear();
    // Its file is offered under a name that says tuned, not as the check's.
    QString offered;
    QTimer::singleShot(0, [&offered] {
        QTRY_VERIFY(qobject_cast<QFileDialog *>(QApplication::activeModalWidget()));
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->reject();
    });
    check->findChild<QPushButton *>(QStringLiteral("saveTunedDesign"))->click();
    QCOMPARE(offered, QStringLiteral("Tuned design 14.200 MHz.json"));
    // Saved, the design reads back loop for loop, for the settings it was tuned for.
    QTemporaryDir folder;
    QVERIFY(check->saveTunedDesign(folder.filePath(QStringLiteral("quad.json"))));
    QFile saved(folder.filePath(QStringLiteral("quad.json")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const auto read = tune::readTunedDesign(saved.readAll().toStdString());
    QVERIFY(std::holds_alternative<tune::TunedDesign>(read));
    QCOMPARE(std::get<tune::TunedDesign>(read).result.factors, check->tuned()->factors);
    QCOMPARE(std::get<tune::TunedDesign>(read).frequencyText, std::string("14.2"));

    check->findChild<QPushButton *>(QStringLiteral("tunedShopSheet"))->click();
    ShopSheetWindow *sheet = m_form->shopSheet();
    QVERIFY(sheet && sheet->tuned());
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Tuned Shop Sheet \u2013 Tarvelin"));
    QVERIFY(sheet->sheet() && sheet->sheet()->loopFactors);
    // The plain sheet is one keystroke away, as the menu's Shop Sheet (Ctrl+L).
    QTest::keyClick(sheet, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(!sheet->tuned());
    QCOMPARE(sheet->windowTitle(), QStringLiteral("Shop Sheet \u2013 Tarvelin"));
    check->findChild<QPushButton *>(QStringLiteral("tunedShopSheet"))->click();
    QVERIFY(sheet->tuned());
    sheet->setFrequencyText(QStringLiteral("28.5"));
    QVERIFY(!sheet->tuned());
    QVERIFY(sheet->sheet() && !sheet->sheet()->loopFactors);
    QVERIFY(m_messages.requests.empty());

    // Told to end (a signal), the program asks nothing, though a tune is running: it stops, and every window
    // closes.
    QTest::mouseClick(tune, Qt::LeftButton);
    QVERIFY(check->tuning());
    QTRY_VERIFY(nec2cChildren() > 0);
    m_form->closeWithoutAsking();
    QVERIFY(m_messages.requests.empty());
    QVERIFY(!check->tuning());
    QVERIFY(!m_form->isVisible() && !check->isVisible() && !sheet->isVisible());
    QTRY_COMPARE(nec2cChildren(), 0);
}

// The sheets of a check are made from its frequency as it was typed, never from its label: after 1.8125 the
// sheet is for 1.8125, not 1.813, a couple of inches on the reflector. Tune Loops tunes the check shown: a
// changed wire or frequency asks for Run first.
void TestAntennaCheckWindow::sheetsAndTuneFollowTheCheck()
{
    AntennaCheckWindow *check = open(QStringLiteral("1.8125"));
    QVERIFY(check);
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->summary(), qPrintable(check->status()));
    auto *tune = check->findChild<QPushButton *>(QStringLiteral("tune"));
    QVERIFY(tune->isEnabled());

    check->findChild<QPushButton *>(QStringLiteral("shopSheetForCheck"))->click();
    ShopSheetWindow *sheet = m_form->shopSheet();
    QVERIFY(sheet && sheet->sheet());
    QCOMPARE(QString::fromStdString(sheet->sheet()->frequencyText), QStringLiteral("1.8125"));
    QCOMPARE(QString::fromStdString(sheet->sheet()->frequencyLabel), QStringLiteral("1.8125"));

    // Results that no longer match the settings say so, and Tune Loops says why it waits; put back, they are
    // the check's again.
    auto *wire = check->findChild<QDoubleSpinBox *>(QStringLiteral("wireMm"));
    auto *bar = check->findChild<QProgressBar *>(QStringLiteral("progress"));
    const QString done = check->status();
    const double checkedWire = wire->value();
    wire->setValue(checkedWire + 0.5);
    QVERIFY(!tune->isEnabled());
    QVERIFY(tune->toolTip().startsWith(QStringLiteral("The settings or the frequency changed since the check")));
    QCOMPARE(bar->text(), QStringLiteral("Out of date"));
    QVERIFY2(check->status().startsWith(QStringLiteral("The results below are of the check run before the settings")),
             qPrintable(check->status()));
    wire->setValue(checkedWire);
    QVERIFY(tune->isEnabled());
    QCOMPARE(bar->text(), QStringLiteral("Done"));
    QCOMPARE(check->status(), done);
    check->setFrequencyText(QStringLiteral("1.8126"));
    QVERIFY(!tune->isEnabled());
    check->setFrequencyText(QStringLiteral("1.81250"));
    QVERIFY(tune->isEnabled());

    // A text that is more than its number says how it was read.
    auto *reading = check->findChild<QLabel *>(QStringLiteral("frequencyReading"));
    QVERIFY(reading->isHidden());
    check->setFrequencyText(QStringLiteral("1,8125"));
    QVERIFY(!reading->isHidden());
    QVERIFY2(reading->text().startsWith(QStringLiteral("Read as 1.0000 MHz")), qPrintable(reading->text()));

    // A save says where the file went.
    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("check.csv"));
    QVERIFY(check->saveCsv(csv));
    QCOMPARE(check->status(), QStringLiteral("Saved the CSV file as %1.").arg(csv));

    // Ctrl+L in the check opens the sheet of the check's design, not of the main window's: its array too.
    check->setFrequencyText(QStringLiteral("21.2"));
    check->findChild<QSpinBox *>(QStringLiteral("elements"))->setValue(3);
    check->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(check));
    QTest::keyClick(check->findChild<QLineEdit *>(QStringLiteral("frequency")), Qt::Key_L, Qt::ControlModifier);
    QVERIFY(sheet->sheet());
    QCOMPARE(QString::fromStdString(sheet->sheet()->frequencyText), QStringLiteral("21.2"));
    QCOMPARE(sheet->sheet()->elements.size(), std::size_t(3));
}

// The model's sweep saved as an analyser's file and laid back over the model: a Measured column beside the
// verdict; a jacket then lowers the model, and the same sweep lies above it. A broken file dropped on the
// window is refused by its line and leaves the sweep shown.
void TestAntennaCheckWindow::measuredSweepBesideTheVerdict()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->summary(), qPrintable(check->status()));
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("built.s1p"));
    QVERIFY(check->saveTouchstone(file));
    const QAbstractItemModel *verdict = check->findChild<QTableView *>(QStringLiteral("verdict"))->model();
    QCOMPARE(verdict->columnCount(), 1); // the figure names are the rows' headings
    QVERIFY(check->loadMeasuredSweep(file));
    QCOMPARE(verdict->columnCount(), 2);
    QCOMPARE(verdict->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Measured"));
    int lowest = 0;
    while (lowest < verdict->rowCount() && verdict->headerData(lowest, Qt::Vertical).toString() != "Lowest SWR")
        ++lowest;
    QCOMPARE(verdict->index(lowest, 1).data().toString(), verdict->index(lowest, 0).data().toString());
    auto *note = check->findChild<QLabel *>(QStringLiteral("verdictNote"));
    // The model's own sweep: its trim is the model's, against the design; the model holds for it.
    QVERIFY2(
        note->text().startsWith(QStringLiteral(
            "The built antenna resonates (its reactance at the feed point passes zero) at 13.875 MHz, 2.29 % below "
            "the design frequency, 14.200 MHz: shorten the loops")),
        qPrintable(note->text()));
    QVERIFY2(note->text().contains(QStringLiteral("where the built antenna does: the model holds")),
             qPrintable(note->text()));
    QVERIFY(note->text().contains(QStringLiteral("1:1 current (choke) balun")));

    const QString broken = folder.filePath(QStringLiteral("broken.s1p"));
    QFile brokenFile(broken);
    QVERIFY(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("# MHz S RI R 50\n14.1 0.1 0.2\n14.2 nan 0.2\n");
    brokenFile.close();
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(broken)});
    // As the desktop delivers a drop: the window takes the file when it enters, then the drop itself.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(check, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(check, &drop);
    QTRY_COMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY2(QString::fromStdString(m_messages.requests.back().prompt).contains("broken.s1p, line 3: 'nan' is not"),
             m_messages.requests.back().prompt.c_str());
    QCOMPARE(check->measured()->file, std::string("built.s1p"));

    auto *jacket = check->findChild<QComboBox *>(QStringLiteral("jacket"));
    jacket->setCurrentIndex(jacket->findText(QStringLiteral("PVC")));
    QVERIFY(check->findChild<QDoubleSpinBox *>(QStringLiteral("insulationMm"))->isEnabled());
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->status().contains(QStringLiteral("an estimate on a closed loop")), qPrintable(check->status()));
    // The jacket moves the model, not the built antenna: the trim stays; only how far the model is off moves.
    QVERIFY2(
        note->text().startsWith(QStringLiteral(
            "The built antenna resonates (its reactance at the feed point passes zero) at 13.875 MHz, 2.29 % below "
            "the design frequency")) &&
            note->text().contains(QStringLiteral("the built antenna's lies 1.")) &&
            note->text().contains(QStringLiteral("above the model's")),
        qPrintable(note->text()));

    check->findChild<QPushButton *>(QStringLiteral("clearSweep"))->click();
    QVERIFY(!check->measured());
    QCOMPARE(verdict->columnCount(), 1);
}

// A FIFO with no writer or an endless device never holds the window up: it is refused at once, named.
void TestAntennaCheckWindow::sweepThatIsNoFileIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a FIFO with no writer") << "fifo.s1p"
                                           << "fifo.s1p is a FIFO, not a file: save the analyser's sweep";
    QTest::newRow("an endless device") << "/dev/zero"
                                       << "/dev/zero is a device, not a file";
}

void TestAntennaCheckWindow::sweepThatIsNoFileIsRefusedAtOnce()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    QCOMPARE(::mkfifo(folder.filePath(QStringLiteral("fifo.s1p")).toLocal8Bit().constData(), 0600), 0);
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    QVERIFY(!check->loadMeasuredSweep(path.startsWith('/') ? path : folder.filePath(path)));
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY2(QString::fromStdString(m_messages.requests.back().prompt).contains(expected),
             m_messages.requests.back().prompt.c_str());
    QVERIFY(!check->measured());
}

void TestAntennaCheckWindow::cancelLeavesNothingBehind()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    check->run();
    QVERIFY(check->running());
    // Nothing saved mid-run: the deck as typed may not be the deck that is running.
    QVERIFY(!check->findChild<QPushButton *>(QStringLiteral("saveDeck"))->isEnabled());
    const QString folder = check->engineRun()->folder();
    QVERIFY(QDir(folder).exists());
    QTRY_VERIFY(nec2cChildren() > 0);
    check->cancel();
    QVERIFY(!check->running());
    QTRY_COMPARE(nec2cChildren(), 0); // killed at once, reaped as their ends come
    QVERIFY(!QDir(folder).exists());
    QVERIFY(!check->summary());
    QCOMPARE(check->findChild<QTableView *>(QStringLiteral("table"))->model()->rowCount(), 0);
    QVERIFY(check->status().startsWith(QStringLiteral("Cancelled")));
}

void TestAntennaCheckWindow::missingEngineIsNamed()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 30000);
    qputenv("PATH", path);
    QVERIFY2(check->status().contains(QStringLiteral("sudo apt install nec2c")), qPrintable(check->status()));
    QVERIFY(!check->summary());
    QCOMPARE(check->findChild<QTableView *>(QStringLiteral("table"))->model()->rowCount(), 0);
}

// What cannot be modelled is named as it is typed, and neither a run nor a deck starts from it.
void TestAntennaCheckWindow::refusedSettingsStopRunAndDeck()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    auto *run = check->findChild<QPushButton *>(QStringLiteral("run"));
    auto *deck = check->findChild<QPushButton *>(QStringLiteral("saveDeck"));
    auto *height = check->findChild<QLineEdit *>(QStringLiteral("height"));
    QVERIFY(run->isEnabled() && deck->isEnabled());

    check->findChild<QCheckBox *>(QStringLiteral("overGround"))->setChecked(true);
    QVERIFY2(check->problem().startsWith(QStringLiteral("The boom height")), qPrintable(check->problem()));
    QVERIFY(!run->isEnabled() && !deck->isEnabled());
    QCOMPARE(height->actions().size(), 1);
    // Saving the deck now says why there is none, rather than that there is nothing.
    QTemporaryDir folder;
    QVERIFY(!check->saveDeck(folder.filePath(QStringLiteral("deck.nec"))));
    QVERIFY(QString::fromStdString(m_messages.requests.back().prompt).contains(QStringLiteral("boom height")));

    height->setText(QStringLiteral("1 m"));
    QVERIFY2(check->problem().contains(QStringLiteral("more than half the reflector's side (2.83 m)")),
             qPrintable(check->problem()));
    QVERIFY(!run->isEnabled());
    height->setText(QStringLiteral("15 m"));
    QVERIFY(check->problem().isEmpty());
    QVERIFY(run->isEnabled() && deck->isEnabled());
    QVERIFY(height->actions().isEmpty());

    check->setFrequencyText(QStringLiteral("3e7"));
    QVERIFY(check->problem().startsWith(QStringLiteral("30000000 MHz is outside")));
    QVERIFY(!run->isEnabled());
}

// The refusals tarvelin-calc gives for the same settings (its test runs the same table).
void TestAntennaCheckWindow::badSettingsAsTarvelinCalcRefuses()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    check->findChild<QCheckBox *>(QStringLiteral("overGround"))->setChecked(true);
    check->findChild<QLineEdit *>(QStringLiteral("height"))->setText(QStringLiteral("15 m"));
    check->findChild<QCheckBox *>(QStringLiteral("moveStations"))->setChecked(true);
    check->findChild<QLineEdit *>(QStringLiteral("boom"))->setText(QStringLiteral("7.5 m"));
    for (const BadSetting &bad : kBadSettings) {
        if (QLatin1StringView(bad.mode) != QLatin1StringView("--analyse") &&
            QLatin1StringView(bad.mode) != QLatin1StringView("--tune"))
            continue;
        auto *field = check->findChild<QLineEdit *>(QLatin1StringView(bad.field));
        const QString before = field->text();
        field->setText(QString::fromUtf8(bad.text));
        QCOMPARE(check->problem(), QString::fromUtf8(bad.refusal));
        field->setText(before);
    }
    // A boom the tune cannot use keeps Tune Loops from starting, and says why on the button.
    check->findChild<QLineEdit *>(QStringLiteral("boom"))->setText(QStringLiteral("long"));
    QVERIFY(!check->findChild<QPushButton *>(QStringLiteral("tune"))->isEnabled());
}

// Values of the wrong type or out of range in the settings file give the documented defaults, not the ends
// of the controls' ranges.
void TestAntennaCheckWindow::corruptSettingsFallBackToDefaults()
{
    QSettings settings;
    settings.setValue(QStringLiteral("antennaCheck/wireMm"), QStringLiteral("thick"));
    settings.setValue(QStringLiteral("antennaCheck/segments"), QStringLiteral("many"));
    settings.setValue(QStringLiteral("antennaCheck/points"), 4);
    settings.setValue(QStringLiteral("antennaCheck/span"), 99.0);
    settings.setValue(QStringLiteral("antennaCheck/copper"), QStringLiteral("perhaps"));
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    QCOMPARE(check->findChild<QDoubleSpinBox *>(QStringLiteral("wireMm"))->value(), 2.05);
    QCOMPARE(check->findChild<QSpinBox *>(QStringLiteral("segments"))->value(), 11);
    QCOMPARE(check->findChild<QSpinBox *>(QStringLiteral("points"))->value(), 13);
    QCOMPARE(check->findChild<QDoubleSpinBox *>(QStringLiteral("span"))->value(), 3.0);
    QVERIFY(check->findChild<QCheckBox *>(QStringLiteral("copper"))->isChecked());
}

// A builder trims and sweeps again: each sweep is kept in turn, the verdict gives each one's move since the
// one before, and past eight the oldest gives way, said so.
void TestAntennaCheckWindow::sweepsInTurn()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->summary(), qPrintable(check->status()));
    QTemporaryDir folder;
    // Each sweep after the loops were trimmed 0.5 % shorter, the first resonant at 13.9 MHz.
    double resonance = 13.9;
    for (int sweep = 1; sweep <= 9; ++sweep, resonance /= 0.995) {
        const QString path = folder.filePath(QStringLiteral("sweep%1.s1p").arg(sweep));
        QVERIFY(writeResonantSweep(path, resonance, 13.6, 120));
        QVERIFY(check->loadMeasuredSweep(path));
        if (sweep == 2) {
            const QString note = check->findChild<QLabel *>(QStringLiteral("verdictNote"))->text();
            QVERIFY2(note.contains(QStringLiteral("Sweeps in turn, oldest first: sweep1.s1p, resonance at 13.900 MHz; "
                                                  "sweep2.s1p, resonance at 13.970 MHz (+70 kHz, +0.50 % since the "
                                                  "last sweep)")),
                     qPrintable(note));
        }
    }
    QCOMPARE(check->sweeps().size(), measure::kMostSweeps);
    QCOMPARE(check->sweeps().front().file, std::string("sweep2.s1p"));
    QCOMPARE(check->measured()->file, std::string("sweep9.s1p"));
    QVERIFY2(check->findChild<QLabel *>(QStringLiteral("sweepLabel"))
                 ->text()
                 .contains(QStringLiteral("the oldest, sweep1.s1p, gave way")),
             qPrintable(check->findChild<QLabel *>(QStringLiteral("sweepLabel"))->text()));
    const std::vector<PlotSeries> lines = checkPlotSeries(CheckPlot::Swr, *check->summary(), check->sweeps());
    QCOMPARE(lines.size(), std::size_t(1 + measure::kMostSweeps));
    // The legend reads each sweep's resonance beside its file and time.
    QVERIFY2(lines.back().name.startsWith(QStringLiteral("SWR sweep9.s1p, ")) &&
                 lines.back().name.endsWith(QStringLiteral(", resonance at 14.469 MHz")),
             qPrintable(lines.back().name));

    // What was cut before the latest: the verdict trims from the loops as that cut left them, as the sheet does.
    auto *cut = check->findChild<QLineEdit *>(QStringLiteral("cutSince"));
    QVERIFY(cut->isVisible());
    const double advisedCutFor = *check->measured()->cutAsForMHz;
    cut->setText(QStringLiteral("0"));
    emit cut->editingFinished();
    QVERIFY(*check->measured()->cutAsForMHz != advisedCutFor);

    // Declared as measured through a line, every sweep is read at the feed point, and the plots can draw both;
    // a length that is none leaves them as measured, saying why.
    const double asMeasured = check->measured()->minSwrMHz;
    auto *lineGiven = check->findChild<QCheckBox *>(QStringLiteral("throughLine"));
    auto *length = check->findChild<QLineEdit *>(QStringLiteral("throughLength"));
    check->findChild<QDoubleSpinBox *>(QStringLiteral("throughZ0"))->setValue(75.0);
    length->setText(QStringLiteral("7 m"));
    lineGiven->setChecked(true);
    for (const measure::MeasuredSweep &sweep : check->sweeps()) {
        QVERIFY(sweep.through.run);
        QCOMPARE(sweep.through.run->metres, 7.0);
        QCOMPARE(sweep.through.run->z0Ohms, 75.0);
        QCOMPARE(sweep.asMeasured.size(), sweep.points.size());
    }
    QVERIFY(check->measured()->minSwrMHz != asMeasured); // read anew, at the feed point
    // Fed direct, the design has no match to take out of the path.
    auto *matchInPath = check->findChild<QCheckBox *>(QStringLiteral("throughMatch"));
    QVERIFY(!matchInPath->isEnabled());
    matchInPath->setChecked(true);
    QVERIFY(!check->measured()->through.match);
    const std::vector<PlotSeries> both =
        checkPlotSeries(CheckPlot::Swr, *check->summary(), check->sweeps(), nullptr, SweepShown::Both);
    QCOMPARE(both.size(), std::size_t(1 + 2 * measure::kMostSweeps));
    QVERIFY(both.back().name.endsWith(QStringLiteral(" as measured")));
    length->setText(QStringLiteral("seven"));
    emit length->editingFinished();
    QVERIFY(!check->measured()->through.run);
    QVERIFY2(check->findChild<QLabel *>(QStringLiteral("sweepLabel"))
                 ->text()
                 .contains(QStringLiteral("Read as measured: The line's length must be")),
             qPrintable(check->findChild<QLabel *>(QStringLiteral("sweepLabel"))->text()));
    // The line is kept as declared, for the next sweep of the same antenna.
    const ThroughSettings kept = SettingsStore().checkWindow().through;
    QVERIFY(kept.line);
    QCOMPARE(kept.length, QStringLiteral("seven"));
    QCOMPARE(kept.z0Ohms, 75.0);

    // A cable of the table: its impedance, its nominal velocity factor and its own loss, its name kept.
    length->setText(QStringLiteral("30 m"));
    emit length->editingFinished();
    auto *cable = check->findChild<QComboBox *>(QStringLiteral("throughCable"));
    cable->setCurrentIndex(cable->findText(QStringLiteral("RG-58")));
    QVERIFY(check->measured()->through.run);
    QCOMPARE(check->measured()->through.run->cable, std::string("RG-58"));
    QCOMPARE(check->measured()->through.run->z0Ohms, 50.0);
    QCOMPARE(check->measured()->through.run->velocityFactor, 0.66);
    QVERIFY(!check->findChild<QDoubleSpinBox *>(QStringLiteral("throughLoss"))->isVisible());
    QCOMPARE(SettingsStore().checkWindow().through.cable, QStringLiteral("RG-58"));
}

// Bands typed under the frequency are checked together, every loop present: Band shows each band's check in the
// tabs, and the status line says what nesting did. One band is its own design; a band that is none is named.
void TestAntennaCheckWindow::severalBands()
{
    AntennaCheckWindow *check = open(QStringLiteral("14.2"));
    QVERIFY(check);
    check->findChild<QSpinBox *>(QStringLiteral("elements"))->setValue(2);
    auto *bands = check->findChild<QLineEdit *>(QStringLiteral("bands"));
    QTest::keyClicks(bands, QStringLiteral("20m, 15m"));
    check->run();
    QVERIFY(check->running());
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QCOMPARE(check->bandChecks().size(), std::size_t(2));
    auto *choice = check->findChild<QComboBox *>(QStringLiteral("bandChoice"));
    QVERIFY(choice->isVisible());
    QCOMPARE(choice->count(), 2);
    QVERIFY(check->summary());
    QCOMPARE(check->summary()->design.mhz, 14.175);
    QVERIFY2(check->status().startsWith(QStringLiteral("20m, with every band's loops: ")), qPrintable(check->status()));
    check->showBand(1);
    QCOMPARE(check->summary()->design.mhz, 21.225);
    QVERIFY(check->status().startsWith(QStringLiteral("15m")));
    // One sweep across both bands, a dip in each: the band shown reads its own dip.
    QTemporaryDir folder;
    const QString across = folder.filePath(QStringLiteral("across.s1p"));
    {
        QFile file(across);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray text = "# MHz Z RI R 50\n";
        for (double mhz = 13.0; mhz <= 22.5; mhz += 0.01) {
            const double dip = mhz < 17.5 ? 14.10 : 21.30;
            text += QByteArray::number(mhz, 'f', 4) + " 1.2 " + QByteArray::number(20.0 * (mhz - dip) / dip, 'f', 6) +
                    '\n';
        }
        QVERIFY(file.write(text) == text.size());
    }
    QVERIFY(check->loadMeasuredSweep(across));
    QVERIFY(check->measured());
    QVERIFY2(std::fabs(check->measured()->minSwrMHz - 21.30) < 0.005, qPrintable(QString::number(check->measured()->minSwrMHz)));
    check->showBand(0);
    QVERIFY(std::fabs(check->measured()->minSwrMHz - 14.10) < 0.005);
    check->clearMeasuredSweep();
    // The sheet of the check waits for a tuned quad; Tune Loops tunes the bands, band by band, and the tuned quad
    // is checked and cut.
    check->openShopSheetForCheck();
    QVERIFY(!m_form->shopSheet() || !m_form->shopSheet()->isVisible());
    QVERIFY(check->findChild<QPushButton *>(QStringLiteral("tune"))->isEnabled());
    check->tune();
    QVERIFY(check->running());
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY2(check->status().startsWith(QStringLiteral("The tune converged")), qPrintable(check->status()));
    QCOMPARE(check->bandChecks().size(), std::size_t(2));
    for (const tarvelin::check::BandCheck &band : check->bandChecks())
        QVERIFY(band.summary.resonanceMHz && std::fabs(*band.summary.resonanceMHz / band.band.designMHz - 1) < 0.002);
    check->openShopSheetForCheck();
    QVERIFY(m_form->shopSheet() && m_form->shopSheet()->nestedSheet() && m_form->shopSheet()->nestedSheet()->tuned);
    check->activateWindow();

    bands->setText(QStringLiteral("20m, 11m"));
    check->run();
    QVERIFY(!check->running());
    QVERIFY2(check->status().contains(QStringLiteral("11m")), qPrintable(check->status()));
    QVERIFY(!choice->isVisible());

    bands->setText(QStringLiteral("15m")); // that band's own design
    check->run();
    QTRY_VERIFY_WITH_TIMEOUT(!check->running(), 120000);
    QVERIFY(check->bandChecks().empty());
    QVERIFY(check->summary());
    QCOMPARE(check->summary()->design.mhz, 21.225);
}

QTEST_MAIN(TestAntennaCheckWindow)
#include "tst_antennacheckwindow.moc"
