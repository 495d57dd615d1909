// SPDX-License-Identifier: MIT
// Printing end to end: the real message box answered with a click, the real printer service, and a private
// CUPS spooler whose default queue writes PDF files (tests/gui/print/cupssandbox.sh starts it and sets
// CUPS_SERVER and TARVELIN_TEST_PDF_DIR). What arrives is checked as paper would be: one page, rasterised at
// 96 dpi, with what is drawn where and how large.
#include "gui/print/shopsheetprintout.h"
#include "gui/runtime/cupsprinter.h"
#include "gui/runtime/qtmessagebox.h"
#include "gui/windows/main/captionlabel.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/main/form2.h"

#include "support/modalbox.h"
#include "support/runprocess.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <csignal>
#include <sys/mount.h>
#include <unistd.h>

using namespace tarvelin;

namespace {

bool isDark(QRgb p)
{
    return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80;
}

bool isFrameRed(QRgb p)
{
    return qAbs(qRed(p) - 0x84) < 40 && qGreen(p) < 50 && qBlue(p) < 50;
}

} // namespace

class TestPrintEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void mainWindowOnPaper();
    void chartOnPaper();
    void refusedJob();
    void stalledBeforeConfirmation();
    void stalledAfterYes();
    void readOnlyWorkingDirectory();
    void shopSheetOnPaper();
    void noSpooler();

private:
    void requireSandbox();
    void stallSpooler(bool stalled);
    QString waitForPdf(int timeoutMs = 90000);
    // The names of every job the spooler has had, done or not; none where it could not be asked.
    [[nodiscard]] static std::optional<QStringList> spoolerJobs();
    QImage rasterise(const QString &pdf);

    // A shorter wait for the spooler than the program's own, so the stall tests do not take that long.
    static constexpr std::chrono::milliseconds kAnswerLimit{4000};

    QtMessageBoxService m_messages;
    CupsPrinterService m_printer{m_messages, kAnswerLimit};
    std::unique_ptr<Form1> m_form;
    QDir m_pdfDir;
    QStringList m_seen;
};

void TestPrintEndToEnd::initTestCase()
{
    loadBundledFonts();
}

void TestPrintEndToEnd::init()
{
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QByteArray dir = qgetenv("TARVELIN_TEST_PDF_DIR");
    if (!dir.isEmpty()) {
        m_pdfDir = QDir(QString::fromLocal8Bit(dir));
        m_seen = m_pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }
}

void TestPrintEndToEnd::cleanup()
{
    m_form.reset();
}

void TestPrintEndToEnd::requireSandbox()
{
    if (qEnvironmentVariableIsEmpty("TARVELIN_TEST_PDF_DIR"))
        QSKIP("needs the private spooler of tests/gui/print/cupssandbox.sh");
}

// The first PDF file the queue writes after the test began, once it is complete.
QString TestPrintEndToEnd::waitForPdf(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QStringList now = m_pdfDir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        for (const QString &name : now) {
            if (m_seen.contains(name))
                continue;
            const QString path = m_pdfDir.filePath(name);
            if (standardOutputOf(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("Pages:")))
                return path;
        }
        QTest::qWait(200);
    }
    return {};
}

std::optional<QStringList> TestPrintEndToEnd::spoolerJobs()
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    if (!lpstat.waitForFinished(60000) || lpstat.exitStatus() != QProcess::NormalExit || lpstat.exitCode() != 0)
        return std::nullopt;
    QStringList jobs;
    for (const QString &line : QString::fromUtf8(lpstat.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            jobs << line.section(QLatin1Char(' '), 0, 0);
    return jobs;
}

QImage TestPrintEndToEnd::rasterise(const QString &pdf)
{
    const QString stem = QDir::temp().filePath(QStringLiteral("tarvelin-e2e-page"));
    standardOutputOf(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), pdf, stem});
    QImage page(stem + QStringLiteral(".png"));
    QFile::remove(stem + QStringLiteral(".png"));
    return page.convertToFormat(QImage::Format_RGB32);
}

void TestPrintEndToEnd::mainWindowOnPaper()
{
    requireSandbox();
    QTest::keyClicks(m_form->frequencyBox(), QStringLiteral("28.5"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);

    QString question;
    whenBoxIsUp([&](QMessageBox &box) {
        question = box.text();
        QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
    });
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    QCOMPARE(question, QStringLiteral("Ok to send to tarvelin-pdf ?"));
    QCOMPARE(m_form->size(), QSize(730, 245)); // back in its screen layout at once

    const QString pdf = waitForPdf();
    QVERIFY2(!pdf.isEmpty(), "no PDF arrived from the queue");
    QVERIFY(standardOutputOf(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));

    // On paper the window's client area is 730 by 210 pixels at 96 dpi (10950 by 3150 twips): the strip
    // with the frequency box and the buttons stays off the page.
    const QImage page = rasterise(pdf);
    QVERIFY(!page.isNull());
    QRect ground;
    bool buttonFace = false;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (qRed(p) < 40 && qAbs(qGreen(p) - 128) < 30 && qBlue(p) < 40)
                ground |= QRect(x, y, 1, 1);
            if (qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 60)
                buttonFace = true;
        }
    QVERIFY2(qAbs(ground.width() - 730) <= 2 && qAbs(ground.height() - 210) <= 2,
             qPrintable(QStringLiteral("%1 x %2").arg(ground.width()).arg(ground.height())));
    QVERIFY(!buttonFace);

    // The grid's black frame is 10845 twips wide: 7.53 inches, 723 pixels at 96 dpi, on paper as on screen.
    int longestDarkRun = 0;
    for (int y = ground.top(); y <= ground.bottom(); ++y) {
        int run = 0;
        for (int x = ground.left(); x <= ground.right(); ++x) {
            run = isDark(page.pixel(x, y)) ? run + 1 : 0;
            longestDarkRun = std::max(longestDarkRun, run);
        }
    }
    QVERIFY2(qAbs(longestDarkRun - 723) <= 3, qPrintable(QString::number(longestDarkRun)));

    // The frequency line's light ground in the top left corner instead of the credits line, and no white
    // text left on the green: the headings and the boom line are black.
    const QPoint origin = ground.topLeft();
    const QRgb corner = page.pixel(origin + QPoint(100, 34));
    QVERIFY(qRed(corner) > 200 && qAbs(qRed(corner) - qGreen(corner)) < 12 && qAbs(qRed(corner) - qBlue(corner)) < 12);
    const auto nearWhiteIn = [&](const QRect &region) {
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x) {
                const QRgb p = page.pixel(origin + QPoint(x, y));
                if (qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230)
                    return true;
            }
        return false;
    };
    QVERIFY(!nearWhiteIn(QRect(115, 4, 610, 50)));  // column and unit headings
    QVERIFY(!nearWhiteIn(QRect(40, 190, 500, 19))); // the boom line
    QVERIFY(!nearWhiteIn(QRect(5, 40, 80, 13)));    // "Elements"
}

void TestPrintEndToEnd::chartOnPaper()
{
    requireSandbox();
    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    Form2 *chart = m_form->chartWindow();
    QVERIFY(chart && QTest::qWaitForWindowExposed(chart));

    whenBoxIsUp([](QMessageBox &box) { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); });
    QTest::mouseClick(chart->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!chart->printing(), 60000);
    QCOMPARE(chart->size(), QSize(189, 524));

    const QString pdf = waitForPdf();
    QVERIFY2(!pdf.isEmpty(), "no PDF arrived from the queue");
    QVERIFY(standardOutputOf(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));

    // The whole chart, 176 by 489 pixels at 96 dpi inside its dark red frame, and no button under it.
    const QImage page = rasterise(pdf);
    QRect frame;
    bool buttonFace = false;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (isFrameRed(p))
                frame |= QRect(x, y, 1, 1);
            if (qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 60)
                buttonFace = true;
        }
    QVERIFY2(qAbs(frame.width() - 176) <= 3 && qAbs(frame.height() - 489) <= 3,
             qPrintable(QStringLiteral("%1 x %2").arg(frame.width()).arg(frame.height())));
    QVERIFY(!buttonFace);
}

// A queue that refuses jobs: the user is told why, and the window is back in its screen layout.
void TestPrintEndToEnd::refusedJob()
{
    requireSandbox();
    QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), {QStringLiteral("tarvelin-pdf")}), 0);
    QString report;
    whenBoxIsUp([&](QMessageBox &box) {
        QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
        whenBoxIsUp([&](QMessageBox &failure) {
            report = failure.text();
            QTest::keyClick(&failure, Qt::Key_Return);
        });
    });
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    QProcess::execute(QStringLiteral("cupsaccept"), {QStringLiteral("tarvelin-pdf")});

    // The report is raised without waiting, so it may come a moment after the print has ended.
    QTRY_VERIFY2(report.startsWith(QStringLiteral("The printout failed")), qPrintable(report));
    QCOMPARE(m_form->size(), QSize(730, 245));
    QVERIFY(!m_form->label("Label9")->isHidden());
    QVERIFY(m_form->label("Label32")->isHidden());
    QCOMPARE(m_form->label("Label26")->foreColor(), QColor(255, 255, 255));
    QVERIFY(m_form->isVisible());
}

void TestPrintEndToEnd::stallSpooler(bool stalled)
{
    const pid_t cupsd = qEnvironmentVariableIntValue("TARVELIN_TEST_CUPSD_PID");
    QVERIFY(cupsd > 0);
    QCOMPARE(::kill(cupsd, stalled ? SIGSTOP : SIGCONT), 0);
}

// Watches the event loop while Print waits: a timer that only ticks while events are handled, and what the
// window looked like at each tick.
struct EventLoopWatch
{
    explicit EventLoopWatch(Form1 &form)
    {
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [this, &form] {
            ++ticks;
            if (form.size() != QSize(730, 245) || !form.label("Label32")->isHidden())
                ++ticksInPrintLayout;
        });
        timer.start();
    }
    QTimer timer;
    int ticks = 0;
    int ticksInPrintLayout = 0;
};

// The spooler stopped before Print is pressed: the window keeps handling events while Tarvelin waits for the
// printer's name, then says the spooler did not answer; nothing is asked, nothing printed, nothing changed.
void TestPrintEndToEnd::stalledBeforeConfirmation()
{
    requireSandbox();
    const std::optional<QStringList> jobs = spoolerJobs();
    QVERIFY(jobs);
    stallSpooler(true);
    QStringList boxes;
    whenBoxIsUp([&](QMessageBox &box) {
        boxes << box.text();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EventLoopWatch watch(*m_form);
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    stallSpooler(false);

    QTRY_COMPARE(boxes.size(), 1);
    QVERIFY2(boxes.front().startsWith(QStringLiteral("The print spooler did not answer")), qPrintable(boxes.front()));
    // About 80 ticks in the four seconds of waiting; a frozen loop gives none.
    QVERIFY2(watch.ticks >= 20, qPrintable(QString::number(watch.ticks)));
    QCOMPARE(watch.ticksInPrintLayout, 0);
    QCOMPARE(m_form->label("Label17")->foreColor(), QColor(255, 255, 255));
    // No job was sent: the spooler, going on, has none it did not have before.
    QCOMPARE(spoolerJobs(), jobs);
}

// The spooler stopped after Yes: the page is drawn, the window is back in its screen layout at once and keeps
// handling events, the user is told the spooler did not answer; when the spooler goes on and takes the page,
// the user is told that too, and the page arrives.
void TestPrintEndToEnd::stalledAfterYes()
{
    requireSandbox();
    QString noAnswer;
    whenBoxIsUp([&](QMessageBox &box) {
        stallSpooler(true);
        QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
        whenBoxIsUp([&](QMessageBox &report) {
            noAnswer = report.text();
            QTest::keyClick(&report, Qt::Key_Return);
        });
    });
    EventLoopWatch watch(*m_form);
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    QTRY_VERIFY2(noAnswer.startsWith(QStringLiteral("The print spooler did not answer")), qPrintable(noAnswer));
    QVERIFY2(watch.ticks >= 20, qPrintable(QString::number(watch.ticks)));
    QCOMPARE(watch.ticksInPrintLayout, 0);

    QString late;
    whenBoxIsUp([&](QMessageBox &box) {
        late = box.text();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    stallSpooler(false);
    QVERIFY(QTest::qWaitFor([&] { return !late.isEmpty(); }, 60000));
    QCOMPARE(late, QStringLiteral("The print spooler has answered after all: the page went to tarvelin-pdf."));
    QVERIFY2(!waitForPdf().isEmpty(), "no PDF arrived from the queue");
}

// Started from a folder nobody may write to, Tarvelin still prints: the page never touches the disk.
void TestPrintEndToEnd::readOnlyWorkingDirectory()
{
    requireSandbox();
    const QString folder = QDir::temp().filePath(QStringLiteral("tarvelin-e2e-readonly"));
    QDir().mkpath(folder);
    QCOMPARE(::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", MS_RDONLY, nullptr), 0);
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder));

    QString report;
    QPointer<QTimer> failureWatch;
    whenBoxIsUp([&](QMessageBox &box) {
        failureWatch = whenBoxIsUp([&](QMessageBox &failure) {
            report = failure.text();
            QTest::keyClick(&failure, Qt::Key_Return);
        });
        QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
    });
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    // A failure would be on the screen by now: it is raised before the print is over.
    QVERIFY(!qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
    delete failureWatch.data();
    QDir::setCurrent(before);
    ::umount(folder.toLocal8Bit().constData());
    QDir().rmdir(folder);

    QVERIFY2(report.isEmpty(), qPrintable(report));
    QVERIFY2(!waitForPdf().isEmpty(), "no PDF arrived from the queue");
}

// A document of its own pages, the shop sheet, goes to the queue as one job and arrives whole.
void TestPrintEndToEnd::shopSheetOnPaper()
{
    requireSandbox();
    auto made = shop::makeShopSheet("14.2", {});
    QVERIFY(std::holds_alternative<shop::ShopSheet>(made));
    const QByteArray pdf = shopSheetPdf(std::get<shop::ShopSheet>(made), localPaperLayout(), QDateTime());
    std::optional<PrintOutcome> outcome;
    m_printer.printDocument("tarvelin-pdf", "Tarvelin shop sheet", pdf, 1,
                            [&outcome](const PrintOutcome &answered) { outcome = answered; });
    QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 30000);
    QCOMPARE(outcome->status, PrintOutcome::Status::Accepted);
    const QString arrived = waitForPdf();
    QVERIFY2(!arrived.isEmpty(), "no PDF arrived from the queue");
    // Every page that was sent: the tables and the drawing.
    QTemporaryDir folder;
    QFile sent(folder.filePath(QStringLiteral("sent.pdf")));
    QVERIFY(sent.open(QIODevice::WriteOnly) && sent.write(pdf) == pdf.size());
    sent.close();
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)\\n"));
    const QString sentPages = pages.match(standardOutputOf(QStringLiteral("pdfinfo"), {sent.fileName()})).captured(1);
    QVERIFY(sentPages.toInt() >= 2);
    QCOMPARE(pages.match(standardOutputOf(QStringLiteral("pdfinfo"), {arrived})).captured(1), sentPages);
}

// Run with CUPS_SERVER pointing where no spooler runs: the no-printer message, and nothing else.
void TestPrintEndToEnd::noSpooler()
{
    if (!qEnvironmentVariableIsEmpty("TARVELIN_TEST_PDF_DIR"))
        QSKIP("runs only where no spooler answers");
    QString report;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxIsUp([&](QMessageBox &box) {
        report = box.text();
        icon = box.icon();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    const QColor headingBefore = m_form->label("Label17")->foreColor();
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->printing(), 60000);
    QTRY_VERIFY2(report.startsWith(QStringLiteral("No printer is available")), qPrintable(report));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(m_form->size(), QSize(730, 245));
    QCOMPARE(m_form->label("Label17")->foreColor(), headingBefore);
    QVERIFY(m_form->label("Label32")->isHidden());
    QVERIFY(m_form->isVisible());
}

QTEST_MAIN(TestPrintEndToEnd)
#include "tst_printe2e.moc"
