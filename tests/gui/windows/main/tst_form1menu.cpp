// SPDX-License-Identifier: MIT
// The main window's context menu: its entries and shortcuts, the results on the clipboard, the page saved as
// PDF, and a window that looks exactly as before once the menu has been used.
#include "support/capturingprinter.h"
#include "support/runprocess.h"
#include "support/scriptedmessages.h"
#include "gui/windows/main/captionlabel.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

#include <unistd.h>

#include <memory>

using namespace tarvelin;

class TestForm1Menu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadBundledFonts(); }
    void init();
    void cleanup();

    void entriesAndShortcuts();
    void opensFromMouseAndKeyboard();
    void copyResultsAsTable();
    void ctrlCKeepsCopyingASelection();
    void pdfIsThePrintedPage();
    void unwritablePdfTarget();
    void windowUnchangedByTheMenu();

private:
    void calculate(const QString &frequency);

    ScriptedMessages m_messages;
    CapturingPrinter m_printer;
    std::unique_ptr<Form1> m_form;
};

void TestForm1Menu::init()
{
    m_messages = ScriptedMessages();
    m_form = std::make_unique<Form1>(m_messages, m_printer);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm1Menu::cleanup()
{
    m_form.reset();
}

void TestForm1Menu::calculate(const QString &frequency)
{
    QTest::keyClicks(m_form->frequencyBox(), frequency);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
}

void TestForm1Menu::entriesAndShortcuts()
{
    const QList<QAction *> entries = m_form->contextMenu().actions();
    QStringList shown;
    for (const QAction *entry : entries)
        if (!entry->isSeparator())
            shown << entry->text() + QLatin1Char('|') + entry->shortcut().toString();
    QCOMPARE(shown,
             (QStringList{QStringLiteral("&Copy Results|Ctrl+C"), QStringLiteral("Save as &PDF\u2026|Ctrl+S"),
                          QStringLiteral("S&hop Sheet\u2026|Ctrl+L"), QStringLiteral("Antenna Chec&k\u2026|Ctrl+R"),
                          QStringLiteral("&About Tarvelin|F1"), QStringLiteral("&Quit|Ctrl+Q")}));

    QTest::keyClick(m_form.get(), Qt::Key_F1);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QCOMPARE(m_messages.requests.front().title, std::optional<std::string>("About Tarvelin"));
    QVERIFY(m_messages.requests.front().prompt.starts_with("Tarvelin " TARVELIN_VERSION "\n"));
    QVERIFY(m_messages.requests.front().prompt.find("MIT") != std::string::npos);

    // Ctrl+Q ends the program from the keyboard, as closing the window does.
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!m_form->isVisible());
}

// A right click on a label or on the ground, or Shift+F10 from the frequency box, opens the menu; Copy Results
// is offered only once there are results.
void TestForm1Menu::opensFromMouseAndKeyboard()
{
    QContextMenuEvent onLabel(QContextMenuEvent::Mouse, QPoint(5, 5),
                              m_form->label("Label17")->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(m_form->label("Label17"), &onLabel);
    QTRY_VERIFY(m_form->contextMenu().isVisible());
    QVERIFY(!m_form->copyResultsAction()->isEnabled());
    m_form->contextMenu().close();

    calculate(QStringLiteral("14.2"));
    m_form->frequencyBox()->setFocus();
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(m_form->contextMenu().isVisible());
    QVERIFY(m_form->copyResultsAction()->isEnabled());
    m_form->contextMenu().close();

    m_form->resetButton()->click();
    QContextMenuEvent onGround(QContextMenuEvent::Mouse, QPoint(600, 5), m_form->mapToGlobal(QPoint(600, 5)));
    QApplication::sendEvent(m_form.get(), &onGround);
    QTRY_VERIFY(m_form->contextMenu().isVisible());
    QVERIFY(!m_form->copyResultsAction()->isEnabled());
    m_form->contextMenu().close();
}

void TestForm1Menu::copyResultsAsTable()
{
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before")); // nothing calculated, nothing copied

    calculate(QStringLiteral("14.2"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_C, Qt::ControlModifier);
    const QString expected = QStringLiteral(
        "Element\tElement Total Length (in)\tElement Total Length (cm)\tWire - One Side (in)\t"
        "Wire - One Side (cm)\t"
        "Spreader Half Length (in)\tSpreader Half Length (cm)\tSpreader Total Length (in)\t"
        "Spreader Total Length (cm)\tElement Spacing (in)\tElement Spacing (cm)\n"
        "Reflector\t891.549\t2264.534\t222.887\t566.134\t157.605\t400.317\t315.21\t800.633\t\t\n"
        "Driven\t870.423\t2210.874\t217.606\t552.719\t153.871\t390.832\t307.742\t781.665\t157.986\t401.284\n"
        "Director 1\t845.07\t2146.478\t211.268\t536.619\t149.389\t379.448\t298.778\t758.896\t129.866\t329.86\n"
        "Director 2\t819.718\t2082.084\t204.93\t520.521\t144.907\t368.064\t289.814\t736.128\t129.866\t329.86\n"
        "Director 3\t795.126\t2019.62\t198.782\t504.905\t140.56\t357.022\t281.12\t714.045\t129.866\t329.86\n"
        "Director 4\t771.272\t1959.031\t192.818\t489.758\t136.343\t346.311\t272.686\t692.622\t129.866\t329.86\n"
        "Director 5\t748.134\t1900.26\t187.034\t475.065\t132.253\t335.923\t264.506\t671.845\t129.866\t329.86\n"
        "Total Boom Length (ft)\t67.276\n"
        "Total Boom Length (in)\t807.316\n"
        "Total Boom Length (cm)\t2050.584\n");
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void TestForm1Menu::ctrlCKeepsCopyingASelection()
{
    // With the focus on a button, Ctrl+C is the window's shortcut for Copy Results.
    calculate(QStringLiteral("14.2"));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    m_form->resetButton()->setFocus();
    QTest::keyClick(m_form->resetButton(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("Element\t")));
    m_form->frequencyBox()->clear();

    calculate(QStringLiteral("28.5"));
    m_form->frequencyBox()->selectAll();
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("28.5"));
}

// The saved file is the printed page: one page with the grid's texts and the frequency line, and the window
// ends with the colours a printout leaves.
void TestForm1Menu::pdfIsThePrintedPage()
{
    calculate(QStringLiteral("28.5"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quad.pdf"));
    m_form->saveAsPdf(path);
    QVERIFY(m_messages.requests.empty());
    QVERIFY(standardOutputOf(QStringLiteral("pdfinfo"), {path})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QString text = standardOutputOf(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const char *shown : {"Frequency:", "28.5 mhz.", "444.211", "1128.296", "164.351", "402.241 IN."})
        QVERIFY2(text.contains(QLatin1StringView(shown)), shown);
    QVERIFY(!text.contains(QStringLiteral("Calculate"))); // the buttons stay off the page
    QCOMPARE(m_form->size(), QSize(730, 245));
    QCOMPARE(m_form->label("Label17")->foreColor(), QColor(128, 255, 128));
    QVERIFY(m_form->label("Label32")->isHidden());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("quad.pdf")});

    // The page keeps the frequency of the grid it shows, whatever the box holds since.
    m_form->frequencyBox()->clear();
    const QString again = folder.filePath(QStringLiteral("again.pdf"));
    m_form->saveAsPdf(again);
    QVERIFY(standardOutputOf(QStringLiteral("pdftotext"), {again, QStringLiteral("-")})
                .contains(QStringLiteral("28.5 mhz.")));
}

void TestForm1Menu::unwritablePdfTarget()
{
    calculate(QStringLiteral("28.5"));
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    const QString path = folder.filePath(QStringLiteral("quad.pdf"));
    const bool root = ::geteuid() == 0; // root writes anywhere; a missing folder stops it all the same
    const QString target = root ? folder.filePath(QStringLiteral("missing/quad.pdf")) : path;
    m_form->saveAsPdf(target);
    QCOMPARE(m_messages.requests.size(), std::size_t(1));
    QVERIFY(m_messages.requests.front().prompt.starts_with("The PDF could not be saved: "));
    QCOMPARE(m_messages.requests.front().buttons, 48);
    QVERIFY(QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    QCOMPARE(m_form->size(), QSize(730, 245));
    QVERIFY(m_form->label("Label32")->isHidden());
    QVERIFY(!m_form->label("Label9")->isHidden());
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestForm1Menu::windowUnchangedByTheMenu()
{
    calculate(QStringLiteral("14.2"));
    const QImage before = m_form->grab().toImage();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 100), m_form->mapToGlobal(QPoint(300, 100)));
    QApplication::sendEvent(m_form.get(), &click);
    QTRY_VERIFY(m_form->contextMenu().isVisible());
    m_form->contextMenu().close();
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(m_form->grab().toImage(), before);
    QCOMPARE(m_form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 102);
}

QTEST_MAIN(TestForm1Menu)
#include "tst_form1menu.moc"
