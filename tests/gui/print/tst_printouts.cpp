// SPDX-License-Identifier: MIT
// Print confirmation and both printouts, with the printer and the message box substituted: the question
// word for word, what the page looks like at the moment of printing, and the window afterwards, also when
// there is no printer or the printout fails.
#include "gui/print/confirmprint.h"
#include "support/capturingprinter.h"
#include "support/scriptedmessages.h"
#include "gui/windows/main/captionlabel.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/main/form2.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace tarvelin;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kLightGreen(128, 255, 128);

struct LabelRef
{
    const char *name;
    int index = -1;
};

const std::vector<LabelRef> kHeadings{{"Label17"},    {"Label18"},    {"Label19"},    {"Label20"},
                                      {"Label21"},    {"Label28"},    {"LABEL23", 0}, {"LABEL23", 1},
                                      {"LABEL23", 2}, {"LABEL23", 3}, {"LABEL23", 4}};
const std::vector<LabelRef> kBoomLine{{"Label24"}, {"Label25"}, {"Label26"}, {"Label27"}};

// What the main window shows that a printout may change.
struct MainWindowLook
{
    QSize size;
    bool creditsShown;
    bool frequencyLineShown;
    QList<QColor> colours;
    bool operator==(const MainWindowLook &) const = default;
};

MainWindowLook lookOf(const Form1 &form)
{
    MainWindowLook look{form.size(), !form.label("Label9")->isHidden(), !form.label("Label32")->isHidden(), {}};
    for (const auto *group : {&kHeadings, &kBoomLine})
        for (const LabelRef &ref : *group)
            look.colours << form.label(ref.name, ref.index)->foreColor();
    return look;
}

// Whether any pixel of a region of the page has the colour.
bool regionHas(const QImage &page, const QRect &region, const QColor &colour)
{
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (page.pixelColor(x, y) == colour)
                return true;
    return false;
}

// The screen layout a printout returns to, whether or not its page reached the printer.
void requireScreenLayoutAfterPrintout(const Form1 &form)
{
    QCOMPARE(form.size(), QSize(730, 245));
    QVERIFY(!form.label("Label9")->isHidden());
    QVERIFY(form.label("Label32")->isHidden());
    for (const LabelRef &ref : kHeadings)
        QCOMPARE(form.label(ref.name, ref.index)->foreColor(), kLightGreen);
    for (const LabelRef &ref : kBoomLine)
        QCOMPARE(form.label(ref.name, ref.index)->foreColor(), kWhite);
}

QRect pixelsOf(const Form1 &form, const char *name, int index = -1)
{
    return form.label(name, index)->geometry();
}

} // namespace

class TestPrintouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadBundledFonts(); }
    void init();
    void cleanup();

    void question_data();
    void question();
    void deviceNameIsReadAfresh();
    void answeringNoChangesNothing();
    void pageOfTheMainWindow();
    void frequencyLineWithAnEmptyBox();
    void screenLayoutAfterPrinting();
    void printingBeforeAnyCalculation();
    void chartPage();
    void chartAnsweringNo();
    void noPrinterAvailable();
    void failedPrintoutRestoresTheWindow();
    void failedChartPrintoutRestoresTheWindow();
    void unansweredSpooler();
    void printWaitsWithoutHoldingTheLoop();

private:
    Form2 *openChart();

    ScriptedMessages m_messages;
    CapturingPrinter m_printer;
    std::unique_ptr<Form1> m_form;
};

void TestPrintouts::init()
{
    m_messages = ScriptedMessages();
    m_printer = CapturingPrinter();
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestPrintouts::cleanup()
{
    m_form.reset();
}

Form2 *TestPrintouts::openChart()
{
    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    Form2 *chart = m_form->chartWindow();
    return chart && QTest::qWaitForWindowExposed(chart) ? chart : nullptr;
}

void TestPrintouts::question_data()
{
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("Yes") << "Office Laser" << 6 << "Ok to send to Office Laser ?" << true;
    QTest::newRow("No") << "Office Laser" << 7 << "Ok to send to Office Laser ?" << false;
    QTest::newRow("name with blanks, whole")
        << " HP LaserJet 4 (upstairs) " << 6 << "Ok to send to  HP LaserJet 4 (upstairs)  ?" << true;
    QTest::newRow("empty name: two blanks") << "" << 6 << "Ok to send to  ?" << true;
    QTest::newRow("closed without an answer") << "pdf" << 2 << "Ok to send to pdf ?" << false;
}

void TestPrintouts::question()
{
    QFETCH(QString, deviceName);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    QFETCH(bool, confirmed);

    m_printer.name = deviceName.toStdString();
    m_messages.answers = {answer};
    std::optional<bool> answered;
    ConfirmPrint(m_messages, m_printer, [&answered](bool yes) { answered = yes; });
    QCOMPARE(answered, std::optional<bool>(confirmed));
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    const MessageBoxRequest &box = m_messages.requests.front();
    QCOMPARE(QString::fromStdString(box.prompt), prompt);
    QCOMPARE(box.buttons, 292);
    QCOMPARE(box.title, std::optional<std::string>("Tarvelin"));
    QCOMPARE(box.helpFile, std::optional<std::string>("DEMO.HLP"));
    QCOMPARE(box.helpContext, std::optional<int>(1000));
    QVERIFY(m_printer.pages.empty());
}

void TestPrintouts::deviceNameIsReadAfresh()
{
    m_messages.answers = {7, 7};
    ConfirmPrint(m_messages, m_printer, [](bool) {});
    m_printer.name = std::string("Workshop");
    ConfirmPrint(m_messages, m_printer, [](bool) {});
    QCOMPARE(m_printer.deviceNameReads, 2);
    QCOMPARE(m_messages.requests.back().prompt, std::string("Ok to send to Workshop ?"));
}

void TestPrintouts::answeringNoChangesNothing()
{
    const MainWindowLook before = lookOf(*m_form);
    m_messages.answers = {7};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY(m_printer.pages.empty());
    QVERIFY(lookOf(*m_form) == before);
    QVERIFY(m_form->label("Label32")->caption().isEmpty());
}

void TestPrintouts::pageOfTheMainWindow()
{
    QTest::keyClicks(m_form->frequencyBox(), QStringLiteral("28.5"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    m_messages.answers = {6};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);

    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    const QImage page = m_printer.pages.front();
    // Client area 3150 twips high: the boom line is on the page, the buttons (top 3210) and the frequency
    // row (top 3330) are not.
    QCOMPARE(page.size(), QSize(730, 210));
    QCOMPARE(m_form->label("Label32")->caption(), QStringLiteral("Frequency:        28.5 mhz."));

    // The frequency line's ground in the top left corner, where the credits line would be.
    const QColor buttonFace = m_form->palette().color(QPalette::Button);
    QCOMPARE(page.pixelColor(100, 35), buttonFace);
    QVERIFY(!regionHas(page, QRect(0, 0, 115, 35), QColor(255, 255, 128))); // no pale yellow credits
    QVERIFY(regionHas(page, QRect(0, 0, 103, 37), kBlack) ||
            regionHas(page, QRect(0, 0, 103, 37), m_form->palette().color(QPalette::ButtonText)));

    // Headings and the boom line in black, none of them white.
    for (const auto *group : {&kHeadings, &kBoomLine})
        for (const LabelRef &ref : *group) {
            const QRect region = pixelsOf(*m_form, ref.name, ref.index).intersected(QRect(0, 0, 730, 54));
            if (region.isEmpty())
                continue;
            QVERIFY2(regionHas(page, region, kBlack), ref.name);
            QVERIFY2(!regionHas(page, region, kWhite), ref.name);
        }
    const QRect boomInches = pixelsOf(*m_form, "Label26");
    QVERIFY(regionHas(page, boomInches, kBlack));
    QVERIFY(!regionHas(page, boomInches, kWhite));
    QVERIFY(!regionHas(page, page.rect(), QColor(Qt::magenta))); // the window covers the whole page
}

void TestPrintouts::frequencyLineWithAnEmptyBox()
{
    m_messages.answers = {6};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_form->label("Label32")->caption(), QStringLiteral("Frequency:         mhz."));
}

void TestPrintouts::screenLayoutAfterPrinting()
{
    for (int round = 1; round <= 2; ++round) {
        m_messages.answers = {6};
        QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
        QCOMPARE(m_printer.pages.size(), std::size_t(round));
        requireScreenLayoutAfterPrintout(*m_form);
        if (QTest::currentTestFailed())
            return;
    }
    // The frequency line keeps its caption, hidden.
    QCOMPARE(m_form->label("Label32")->caption(), QStringLiteral("Frequency:         mhz."));
    // Reset leaves the colours of the printout.
    QTest::mouseClick(m_form->resetButton(), Qt::LeftButton);
    QCOMPARE(m_form->label("Label17")->foreColor(), kLightGreen);
}

void TestPrintouts::printingBeforeAnyCalculation()
{
    m_messages.answers = {6};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    const QImage page = m_printer.pages.at(0);
    // Empty light grey cells, and no boom line: its caption is hidden and its totals are empty.
    QVERIFY(!regionHas(page, m_form->cell(calc::ElementRow::Reflector, 0)->geometry().adjusted(2, 2, -2, -2), kBlack));
    QVERIFY(!regionHas(page, pixelsOf(*m_form, "Label24"), kBlack));
}

void TestPrintouts::chartPage()
{
    Form2 *chart = openChart();
    QVERIFY(chart);
    m_messages.answers = {6};
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);

    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    const QImage page = m_printer.pages.front();
    QCOMPARE(page.size(), QSize(189, 7455 / 15)); // the button, at 7470 twips, is off the page
    const QColor frame(0x84, 0x02, 0x04);
    QCOMPARE(page.pixelColor(7, 4), frame);
    QCOMPARE(page.pixelColor(7 + 175, 4 + 488), frame);
    QVERIFY(!regionHas(page, QRect(0, 4 + 489, 189, page.height() - 493), QColor(192, 192, 0)));
    QCOMPARE(chart->size(), QSize(189, 524));
    QCOMPARE(m_form->size(), QSize(730, 245)); // the main window plays no part
    QCOMPARE(m_form->label("Label17")->foreColor(), kWhite);
}

void TestPrintouts::chartAnsweringNo()
{
    Form2 *chart = openChart();
    QVERIFY(chart);
    m_messages.answers = {7};
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);
    QVERIFY(m_printer.pages.empty());
    QCOMPARE(chart->size(), QSize(189, 524));
}

// No default queue, or no spooler: a clear message instead of the question, nothing printed, nothing
// changed, and the program goes on.
void TestPrintouts::noPrinterAvailable()
{
    m_printer.name.reset();
    const MainWindowLook before = lookOf(*m_form);
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    const MessageBoxRequest &box = m_messages.requests.front();
    QVERIFY(box.prompt.find("No printer is available") != std::string::npos);
    QCOMPARE(box.buttons, 48);
    QCOMPARE(box.title, std::optional<std::string>("Tarvelin"));
    QVERIFY(m_printer.pages.empty());
    QVERIFY(lookOf(*m_form) == before);
    QVERIFY(m_form->isVisible());

    Form2 *chart = openChart();
    QVERIFY(chart);
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);
    QCOMPARE(m_messages.requests.size(), std::size_t(2));
    QCOMPARE(m_messages.requests.back().buttons, 48);
    QCOMPARE(chart->size(), QSize(189, 524));
    QVERIFY(chart->isVisible());
}

void TestPrintouts::failedPrintoutRestoresTheWindow()
{
    m_printer.failure = std::string("The printer or class is not accepting jobs.");
    m_messages.answers = {6};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);

    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    QCOMPARE(m_messages.requests.size(), std::size_t(2));
    const MessageBoxRequest &box = m_messages.requests.back();
    QVERIFY(box.prompt.find("The printout failed") != std::string::npos);
    QVERIFY(box.prompt.find("not accepting jobs") != std::string::npos);
    QCOMPARE(box.buttons, 48);
    // Exactly as after a printout that went through.
    requireScreenLayoutAfterPrintout(*m_form);
    QVERIFY(m_form->isVisible());
}

void TestPrintouts::failedChartPrintoutRestoresTheWindow()
{
    Form2 *chart = openChart();
    QVERIFY(chart);
    m_printer.failure = std::string("Unable to connect to the printer.");
    m_messages.answers = {6};
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);
    QCOMPARE(chart->size(), QSize(189, 524));
    QVERIFY(m_messages.requests.back().prompt.find("Unable to connect") != std::string::npos);
    QVERIFY(chart->isVisible());
}

// A spooler that does not answer: before the question nothing is printed and nothing changes; after Yes the
// page goes to the spooler only once each window is back in its screen layout, and the user is told.
void TestPrintouts::unansweredSpooler()
{
    const auto before = lookOf(*m_form);
    m_printer.lookupUnanswered = true;
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY(m_messages.requests.back().prompt.starts_with("The print spooler did not answer"));
    QCOMPARE(m_messages.requests.back().buttons, 48);
    QVERIFY(m_printer.pages.empty());
    QVERIFY(lookOf(*m_form) == before);

    m_printer.lookupUnanswered = false;
    m_printer.submissionUnanswered = true;
    m_messages.answers = {6};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    QCOMPARE(m_printer.pages.front().size(), QSize(730, 210));
    QCOMPARE(m_printer.sizesWhenSubmitted.front(), QSize(730, 245));
    QVERIFY(m_messages.requests.back().prompt.starts_with("The print spooler did not answer"));
    requireScreenLayoutAfterPrintout(*m_form);

    Form2 *chart = openChart();
    QVERIFY(chart);
    m_messages.answers = {6};
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.sizesWhenSubmitted.back(), QSize(189, 524));
    QVERIFY(m_messages.requests.back().prompt.starts_with("The print spooler did not answer"));
}

// While the spooler takes its time, Print has returned to the event loop and nothing waits inside it; a
// second Print meanwhile does nothing, and the first ends when the spooler answers.
void TestPrintouts::printWaitsWithoutHoldingTheLoop()
{
    m_printer.holdAnswers = true;
    m_messages.answers = {answer::kYes};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    QVERIFY(m_form->printing());
    QCOMPARE(m_form->size(), QSize(730, 245)); // back in its screen layout once the page is drawn

    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.deviceNameReads, 1);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));

    QCOMPARE(m_printer.held.size(), std::size_t(1));
    m_printer.held.front()();
    QVERIFY(!m_form->printing());
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.deviceNameReads, 2);
}

QTEST_MAIN(TestPrintouts)
#include "tst_printouts.moc"
