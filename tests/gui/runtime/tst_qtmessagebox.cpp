// SPDX-License-Identifier: MIT
// The windows' real message box: buttons, icon, default button, title and help, answered by keys and
// clicks as a person would.
#include "gui/runtime/qtmessagebox.h"

#include "support/modalbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tarvelin;

namespace {

// Runs `act` on the next modal box once it is up.

QAbstractButton *buttonOf(QMessageBox &box, QMessageBox::StandardButton which)
{
    return box.button(which);
}

} // namespace

class TestQtMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void enterAnswersNoOnAConfirmation();
    void yesClicked();
    void informationBox();
    void helpThenAnswer();
    void shownBoxAnswersLater();
    void closeKeys_data();
    void closeKeys();
};

void TestQtMessageBox::enterAnswersNoOnAConfirmation()
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    whenBoxIsUp([&](QMessageBox &box) {
        icon = box.icon();
        title = box.windowTitle();
        QCOMPARE(box.text(), QStringLiteral("Ok to send to pdf ?"));
        QTest::keyClick(&box, Qt::Key_Return);
    });
    QtMessageBoxService service;
    const int answer = service.MessageBox({"Ok to send to pdf ?", 292, "Tarvelin", std::nullopt, std::nullopt});
    QCOMPARE(answer, 7);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(title, QStringLiteral("Tarvelin"));
}

void TestQtMessageBox::yesClicked()
{
    whenBoxIsUp([](QMessageBox &box) { QTest::mouseClick(buttonOf(box, QMessageBox::Yes), Qt::LeftButton); });
    QtMessageBoxService service;
    QCOMPARE(service.MessageBox({"Print?", 292, std::nullopt, std::nullopt, std::nullopt}), 6);
}

// 64: an information icon and OK alone; no title of its own, so it carries the application's.
void TestQtMessageBox::informationBox()
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    int buttons = 0;
    whenBoxIsUp([&](QMessageBox &box) {
        icon = box.icon();
        title = box.windowTitle();
        buttons = static_cast<int>(box.buttons().size());
        QTest::keyClick(&box, Qt::Key_Return);
    });
    QtMessageBoxService service;
    QCOMPARE(service.MessageBox({"You must enter an integer value.", 64, std::nullopt, std::nullopt, std::nullopt}), 1);
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(title, QStringLiteral("Tarvelin"));
    QCOMPARE(buttons, 1);
}

void TestQtMessageBox::helpThenAnswer()
{
    QString helpText;
    whenBoxIsUp([&](QMessageBox &question) {
        whenBoxIsUp([&](QMessageBox &help) {
            helpText = help.text();
            QTest::keyClick(&help, Qt::Key_Return);
            whenBoxIsUp(
                [](QMessageBox &again) { QTest::mouseClick(buttonOf(again, QMessageBox::Yes), Qt::LeftButton); });
        });
        QTest::mouseClick(buttonOf(question, QMessageBox::Help), Qt::LeftButton);
    });
    QtMessageBoxService service;
    QCOMPARE(service.MessageBox({"Ok to send to pdf ?", 292, "Tarvelin", "DEMO.HLP", 1000}), 6);
    QVERIFY(helpText.contains(QStringLiteral("DEMO.HLP")));
    QVERIFY(helpText.contains(QStringLiteral("1000")));
}

// A box raised from a callback returns at once, with no event loop of its own; its answer comes when the user
// gives it, after a visit to help too.
void TestQtMessageBox::shownBoxAnswersLater()
{
    QtMessageBoxService service;
    QList<int> answers;
    service.show({"Ok to send to pdf ?", 292, "Tarvelin", "DEMO.HLP", 1000}, [&answers](int code) { answers << code; });
    auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    QVERIFY(question);
    QVERIFY(answers.isEmpty());
    // Help too comes without an event loop of its own: the click returns with the help box up. Were it to wait,
    // the help box would be closed for it after a while, and the click return with the question up instead.
    bool clickReturned = false;
    QTimer::singleShot(3000, [&clickReturned, question] {
        if (QWidget *up = QApplication::activeModalWidget(); !clickReturned && up && up != question)
            up->close();
    });
    QTest::mouseClick(buttonOf(*question, QMessageBox::Help), Qt::LeftButton);
    clickReturned = true;
    auto *help = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    QVERIFY2(help && help != question, "the help box is up once the click has returned");
    QVERIFY(help->text().contains(QStringLiteral("DEMO.HLP")));
    QTest::keyClick(help, Qt::Key_Return);
    QTRY_VERIFY(QApplication::activeModalWidget() == question);
    QVERIFY(answers.isEmpty());
    QTest::mouseClick(buttonOf(*question, QMessageBox::Yes), Qt::LeftButton);
    QTRY_COMPARE(answers, QList<int>{6});
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

// Esc and Ctrl+W close a box, such as About, as its close box does: the box's escape answer.
void TestQtMessageBox::closeKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("Esc, information") << QKeySequence(Qt::Key_Escape) << 64 << 1;
    QTest::newRow("Ctrl+W, information") << QKeySequence(QKeySequence::Close) << 64 << 1;
    QTest::newRow("Ctrl+W, confirmation") << QKeySequence(QKeySequence::Close) << 292 << 7;
}

void TestQtMessageBox::closeKeys()
{
    QFETCH(QKeySequence, keys);
    QFETCH(int, buttons);
    QFETCH(int, answer);
    bool leftOpen = false;
    whenBoxIsUp([keys, &leftOpen](QMessageBox &box) {
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QTest::keySequence(&box, keys);
        // A box the keys left open is closed here, so that the test fails rather than waits.
        QTimer::singleShot(2000, &box, [&box, &leftOpen] {
            leftOpen = true;
            box.reject();
        });
    });
    QtMessageBoxService service;
    QCOMPARE(service.MessageBox({"Tarvelin 0.2.0", buttons, "About Tarvelin", std::nullopt, std::nullopt}), answer);
    QVERIFY(!leftOpen);
}

QTEST_MAIN(TestQtMessageBox)
#include "tst_qtmessagebox.moc"
