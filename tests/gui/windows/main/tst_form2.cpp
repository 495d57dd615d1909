// SPDX-License-Identifier: MIT
// The chart window: its fixed frame, the chart at its own size, the Print button under it, and what the
// grabbed window shows.
#include "support/capturingprinter.h"
#include "support/scriptedmessages.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form2.h"
#include "gui/windows/main/picturebox.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace tarvelin;

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { loadBundledFonts(); }
    void init();
    void cleanup();
    void windowAndControls();
    void loadStepShowsTheWindow();
    void pixelProbes();

private:
    ScriptedMessages m_messages;
    CapturingPrinter m_printer;
    std::unique_ptr<QWidget> m_owner;
    Form2 *m_chart = nullptr;
};

void TestForm2::init()
{
    m_owner = std::make_unique<QWidget>();
    m_owner->show();
    m_chart = new Form2(m_owner.get(), m_messages, m_printer);
}

void TestForm2::cleanup()
{
    m_owner.reset();
}

void TestForm2::windowAndControls()
{
    QCOMPARE(m_chart->windowTitle(), QStringLiteral("Decimal Conversion"));
    QVERIFY(!m_chart->windowIcon().isNull());
    QCOMPARE(m_chart->size(), QSize(2835 / 15, 7860 / 15));
    QCOMPARE(m_chart->minimumSize(), m_chart->maximumSize());
    QVERIFY(!(m_chart->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_chart->picture()->objectName(), QStringLiteral("Image1"));
    QCOMPARE(m_chart->picture()->geometry(), QRect(105 / 15, 60 / 15, 2640 / 15, 7335 / 15));
    QCOMPARE(m_chart->picture()->picture().size(), QSize(176, 489)); // shown at its own size, not stretched
    QCOMPARE(m_chart->printButton()->objectName(), QStringLiteral("Command1"));
    QCOMPARE(m_chart->printButton()->text(), QStringLiteral("Print"));
    QCOMPARE(m_chart->printButton()->geometry(), QRect(525 / 15, 7470 / 15, 1785 / 15, 345 / 15));
    QVERIFY(!m_chart->isVisible()); // created, not loaded
    QCOMPARE(m_chart->loadCount(), 0);
}

void TestForm2::loadStepShowsTheWindow()
{
    m_chart->showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart));
    QCOMPARE(m_chart->loadCount(), 1);
    m_chart->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_chart));
    QCOMPARE(QApplication::focusWidget(), m_chart->printButton()); // the only control that takes the focus
}

void TestForm2::pixelProbes()
{
    m_chart->showModeless();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart));
    const QImage image = m_chart->grab().toImage();
    QCOMPARE(image.size(), QSize(189, 524));

    const QColor green(0, 192, 0), frame(0x84, 0x02, 0x04), ground(0xFC, 0xFE, 0xFC), darkYellow(192, 192, 0);
    QCOMPARE(image.pixelColor(3, 200), green);               // the margin left of the chart
    QCOMPARE(image.pixelColor(186, 200), green);             // and right of it
    QCOMPARE(image.pixelColor(7, 4), frame);                 // the chart's top left corner
    QCOMPARE(image.pixelColor(7 + 175, 4 + 488), frame);     // and its bottom right one
    QCOMPARE(image.pixelColor(7 + 85, 4 + 300), frame);      // the divider
    QCOMPARE(image.pixelColor(7 + 8, 4 + 8), ground);        // inside the frame
    QCOMPARE(image.pixelColor(35 + 6, 498 + 6), darkYellow); // the Print button's face
    QCOMPARE(image.pixelColor(100, 4 + 489 + 2), green);     // between the chart and the button
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
