// SPDX-License-Identifier: MIT
// The main window as a person uses it: start-up, typing and Enter, Calculate, Reset, Conversion, the tab
// order, the layout where it matters to the eye, and what the grabbed window shows.
#include "core/runtime/runtimeerror.h"
#include "gui/runtime/unhandlederror.h"
#include "support/capturingprinter.h"
#include "support/scriptedmessages.h"
#include "support/workedexamples.h"
#include "gui/windows/main/captionlabel.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/main/fixedwindow.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1.h"
#include "gui/windows/main/form2.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tarvelin;

Q_DECLARE_METATYPE(const WorkedExample *)

namespace {

// The layout's twips, converted here independently of the program: 15 twips to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QStringList captionsOfRow(const Form1 &form, calc::ElementRow row)
{
    QStringList captions;
    for (int c = 0; c < calc::columnCount(row); ++c)
        captions << form.cell(row, c)->caption();
    return captions;
}

// Every text the window shows that a calculation or Reset may change.
QStringList displayedTexts(const Form1 &form)
{
    QStringList texts;
    for (const calc::ElementRow row : calc::kElementRows)
        texts << captionsOfRow(form, row);
    for (const calc::BoomTotal total : {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
        texts << form.boomTotal(total)->caption();
    texts << form.frequencyBox()->text() << (form.boomCaptionVisible() ? "boom shown" : "boom hidden");
    return texts;
}

void requireCleared(const Form1 &form)
{
    for (const calc::ElementRow row : calc::kElementRows)
        for (int c = 0; c < calc::columnCount(row); ++c)
            QVERIFY2(form.cell(row, c)->caption().isEmpty(), qPrintable(form.cell(row, c)->objectName()));
    for (const calc::BoomTotal total : {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
        QVERIFY(form.boomTotal(total)->caption().isEmpty());
    QVERIFY(form.frequencyBox()->text().isEmpty());
    QVERIFY(form.boomCaption()->isHidden());
}

QColor pixelAt(const QImage &image, QPoint p)
{
    return image.pixelColor(p);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpState();
    void everyControlIsThere();
    void tabOrder();
    void enterCalculates_data();
    void enterCalculates();
    void calculateFillsTheWindow_data();
    void calculateFillsTheWindow();
    void refusedFrequencyChangesNothing_data();
    void refusedFrequencyChangesNothing();
    void resetAfterCalculation();
    void resetOnAClearWindow();
    void resetKeepsColours();
    void conversionOpensOneOwnedChartWindow();
    void closingTheMainWindowClosesTheChart();
    void cellGeometry();
    void windowIsFixed();
    void framePosition_data();
    void framePosition();
    void startsCentred();
    void stacking();
    void pixelProbes();
    void longNumbersAreNeverCut();
    void numbersThatFitKeepTheirFont_data();
    void numbersThatFitKeepTheirFont();
    void bundledFaces_data();
    void bundledFaces();
    void unhandledErrorEndsTheProgram();

private:
    ScriptedMessages *m_messages = nullptr;
    std::unique_ptr<ScriptedMessages> m_messagesOwner;
    CapturingPrinter m_printer;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::initTestCase()
{
    loadBundledFonts();
}

void TestForm1::init()
{
    m_messagesOwner = std::make_unique<ScriptedMessages>();
    m_messages = m_messagesOwner.get();
    m_form = std::make_unique<Form1>(*m_messages, m_printer);
    m_form->show();
    // The virtual display has no window manager to activate a new window, so the test asks for it.
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm1::cleanup()
{
    m_form.reset();
    m_messagesOwner.reset();
}

void TestForm1::startUpState()
{
    requireCleared(*m_form);
    QCOMPARE(QApplication::focusWidget(), m_form->frequencyBox());
    QCOMPARE(m_form->chartWindow(), nullptr);
    QVERIFY(m_form->findChildren<Form2 *>().isEmpty());
    QVERIFY(m_form->label("Label32")->isHidden());
    QVERIFY(!m_form->label("Label9")->isHidden());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Tarvelin"));
    QVERIFY(m_messages->requests.empty());

    // Typing goes into the frequency box.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7.1"));
    QCOMPARE(m_form->frequencyBox()->text(), QStringLiteral("7.1"));
}

void TestForm1::everyControlIsThere()
{
    QStringList names;
    for (const QWidget *child : m_form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        names << child->objectName();
    QCOMPARE(names.size(), 102);
    QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^Label1\\(\\d\\)$"))).size(), 8);
    for (int r = 2; r <= 7; ++r)
        QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^Label%1\\(\\d\\)$").arg(r))).size(), 10);
    QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^LABEL23\\([0-4]\\)$"))).size(), 5);
    for (const char *name : {"Label8",  "Label9",   "Label10",  "Label11",  "Label12", "Label13", "Label14", "Label15",
                             "Label16", "Label17",  "Label18",  "Label19",  "Label20", "Label21", "Label22", "Label24",
                             "Label25", "Label26",  "Label27",  "Label28",  "Label29", "Label30", "Label31", "Label32",
                             "Text1",   "Command1", "Command2", "Command3", "Command4"})
        QVERIFY2(names.contains(QLatin1StringView(name)), name);

    QCOMPARE(m_form->calculateButton()->text(), QStringLiteral("Calculate"));
    QCOMPARE(m_form->printButton()->text(), QStringLiteral("Print"));
    QCOMPARE(m_form->resetButton()->text(), QStringLiteral("Reset"));
    QCOMPARE(m_form->conversionButton()->text(), QStringLiteral("Conversion"));
    QCOMPARE(m_form->label("Label17")->caption(), QStringLiteral("    Element  Total Length"));
    QCOMPARE(m_form->label("Label18")->caption(), QStringLiteral("    Wire - One           Side"));
    QCOMPARE(m_form->label("LABEL23", 2)->caption(), QStringLiteral("IN              CM"));
    QCOMPARE(m_form->label("LABEL23", 4)->caption(), QStringLiteral("IN             CM"));
    QCOMPARE(m_form->label("Label8")->caption(), QStringLiteral("Center Frequency:"));
    QCOMPARE(m_form->label("Label24")->caption(), QStringLiteral("Total Boom Length ="));
}

// Text1, Calculate, Reset, Print, Conversion and back: not the buttons' order on screen.
void TestForm1::tabOrder()
{
    const QList<QWidget *> expected{m_form->calculateButton(), m_form->resetButton(), m_form->printButton(),
                                    m_form->conversionButton(), m_form->frequencyBox()};
    QCOMPARE(QApplication::focusWidget(), m_form->frequencyBox());
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestForm1::enterCalculates_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestForm1::enterCalculates()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QLineEdit *box = m_form->frequencyBox();
    QTest::keyClicks(box, QStringLiteral("28.5"));
    QTest::keyClick(box, Qt::Key(key), modifiers);
    QCOMPARE(captionsOfRow(*m_form, calc::ElementRow::Reflector), tenMetres().rows[0]);
    QVERIFY(!m_form->boomCaption()->isHidden());
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->text(), QStringLiteral("28.5"));
    QVERIFY(m_messages->requests.empty());
}

void TestForm1::calculateFillsTheWindow_data()
{
    QTest::addColumn<const WorkedExample *>("example");
    QTest::newRow("28.5") << &tenMetres();
    QTest::newRow("14.2") << &twentyMetres();
}

void TestForm1::calculateFillsTheWindow()
{
    QFETCH(const WorkedExample *, example);
    QTest::keyClicks(m_form->frequencyBox(), QString::fromLatin1(example->frequency));
    QTest::mouseClick(m_form->calculateButton(), Qt::LeftButton);
    for (const calc::ElementRow row : calc::kElementRows)
        QCOMPARE(captionsOfRow(*m_form, row), example->rows[static_cast<std::size_t>(calc::rowIndex(row))]);
    QCOMPARE((QStringList{m_form->boomTotal(calc::BoomTotal::Feet)->caption(),
                          m_form->boomTotal(calc::BoomTotal::Inches)->caption(),
                          m_form->boomTotal(calc::BoomTotal::Centimetres)->caption()}),
             example->boom);
    QVERIFY(!m_form->boomCaption()->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_form->calculateButton()); // a click takes the focus
    QVERIFY(m_messages->requests.empty());
}

void TestForm1::refusedFrequencyChangesNothing_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("refused");
    QTest::newRow("empty, on a clear window") << QString() << QString();
    QTest::newRow("word, on a clear window") << QString() << QStringLiteral("abc");
    QTest::newRow("empty, after 28.5") << QStringLiteral("28.5") << QString();
    QTest::newRow("word, after 28.5") << QStringLiteral("28.5") << QStringLiteral("abc");
    QTest::newRow("negative, after 28.5") << QStringLiteral("28.5") << QStringLiteral("-28.5");
}

void TestForm1::refusedFrequencyChangesNothing()
{
    QFETCH(QString, earlier);
    QFETCH(QString, refused);

    if (!earlier.isEmpty()) {
        QTest::keyClicks(m_form->frequencyBox(), earlier);
        QTest::mouseClick(m_form->calculateButton(), Qt::LeftButton);
    }
    m_form->frequencyBox()->setText(refused);
    const QStringList before = displayedTexts(*m_form);
    QTest::mouseClick(m_form->calculateButton(), Qt::LeftButton);

    QCOMPARE(m_messages->requests.size(), std::size_t(1));
    QCOMPARE(m_messages->requests.front().prompt, std::string("You must enter an integer value."));
    QCOMPARE(m_messages->requests.front().buttons, 64);
    QVERIFY(!m_messages->requests.front().title);
    QCOMPARE(displayedTexts(*m_form), before);
}

void TestForm1::resetAfterCalculation()
{
    QTest::keyClicks(m_form->frequencyBox(), QStringLiteral("28.5"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    QVERIFY(!m_form->boomCaption()->isHidden());

    QTest::mouseClick(m_form->resetButton(), Qt::LeftButton);
    requireCleared(*m_form);
    QCOMPARE(QApplication::focusWidget(), m_form->frequencyBox());
    QVERIFY(m_messages->requests.empty());
}

void TestForm1::resetOnAClearWindow()
{
    const QStringList before = displayedTexts(*m_form);
    QTest::mouseClick(m_form->resetButton(), Qt::LeftButton);
    QCOMPARE(displayedTexts(*m_form), before);
    QCOMPARE(QApplication::focusWidget(), m_form->frequencyBox());
    QVERIFY(m_messages->requests.empty());
}

// Reset clears texts only: a colour some other handler set stays.
void TestForm1::resetKeepsColours()
{
    CaptionLabel *heading = m_form->label("Label17");
    heading->setForeColor(QColor(128, 255, 128));
    QTest::mouseClick(m_form->resetButton(), Qt::LeftButton);
    QCOMPARE(heading->foreColor(), QColor(128, 255, 128));
    QCOMPARE(m_form->cell(calc::ElementRow::Driven, 0)->backColor(), QColor(224, 224, 224));
}

void TestForm1::conversionOpensOneOwnedChartWindow()
{
    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    Form2 *chart = m_form->chartWindow();
    QVERIFY(chart);
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    QCOMPARE(chart->loadCount(), 1);
    QCOMPARE(chart->parentWidget(), m_form.get()); // owned: stays in front of the main window
    QVERIFY(chart->isWindow());
    QVERIFY(m_form->isEnabled()); // modeless: the main window stays usable
    QVERIFY(!chart->isModal());
    // The window system must know the owner, or it neither keeps the chart in front nor minimizes it along.
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(chart->winId()), QStringLiteral("WM_TRANSIENT_FOR")});
    QVERIFY(xprop.waitForFinished(10000));
    const QString transientFor = QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
    QCOMPARE(transientFor.section(QLatin1Char('#'), 1).trimmed().toULongLong(nullptr, 16),
             static_cast<qulonglong>(m_form->winId()));

    chart->showMinimized();
    QTRY_VERIFY(chart->isMinimized());
    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    QTRY_VERIFY(!chart->isMinimized());
    QCOMPARE(m_form->chartWindow(), chart);
    QCOMPARE(m_form->findChildren<Form2 *>().size(), 1);
    QCOMPARE(chart->loadCount(), 1);
    QVERIFY(chart->isVisible());

    chart->close();
    QVERIFY(!chart->isVisible());
    QCOMPARE(m_form->chartWindow(), chart); // the object is kept

    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->loadCount(), 2);
    QVERIFY(m_messages->requests.empty());
}

void TestForm1::closingTheMainWindowClosesTheChart()
{
    QTest::mouseClick(m_form->conversionButton(), Qt::LeftButton);
    Form2 *chart = m_form->chartWindow();
    QVERIFY(QTest::qWaitForWindowExposed(chart));
    QVERIFY(m_form->close());
    QVERIFY(!chart->isVisible());
    QVERIFY(!m_form->isVisible());
}

// left = 1320 + 960 x column, top = 840 + 285 x row, 930 by 255 twips; 30 twips between neighbours.
void TestForm1::cellGeometry()
{
    for (const calc::ElementRow row : calc::kElementRows) {
        const int r = calc::rowIndex(row);
        for (int c = 0; c < calc::columnCount(row); ++c) {
            const QRect cell = m_form->cell(row, c)->geometry();
            QCOMPARE(cell, twips(1320 + 960 * c, 840 + 285 * r, 930, 255));
            if (c > 0)
                QCOMPARE(cell.left() - m_form->cell(row, c - 1)->geometry().right() - 1, 2);
            if (r > 1 || (r == 1 && c < 8))
                QCOMPARE(cell.top() - m_form->cell(calc::kElementRows[r - 1], c)->geometry().bottom() - 1, 2);
        }
    }
}

void TestForm1::windowIsFixed()
{
    QCOMPARE(m_form->size(), QSize(730, 245));
    QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!m_form->windowIcon().isNull());
}

void TestForm1::framePosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QPoint>("topLeft");
    // A 730 by 245 client area under a 22-pixel title bar and a 3-pixel border below.
    QTest::newRow("framed") << QRect(0, 0, 1280, 1024) << QSize(730, 270) << QPoint(275, 377);
    QTest::newRow("no frame") << QRect(0, 0, 1280, 1024) << QSize(730, 245) << QPoint(275, 389);
    QTest::newRow("panel on top") << QRect(0, 30, 1280, 994) << QSize(730, 270) << QPoint(275, 392);
    // Twice the size on a 1280 by 800 screen: wider and taller than the screen, so it starts in the corner.
    QTest::newRow("too large") << QRect(0, 24, 1280, 776) << QSize(1460, 540) << QPoint(0, 142);
    QTest::newRow("too wide and tall") << QRect(10, 24, 1270, 500) << QSize(1460, 540) << QPoint(10, 24);
}

void TestForm1::framePosition()
{
    QFETCH(QRect, available);
    QFETCH(QSize, frame);
    QFETCH(QPoint, topLeft);
    QCOMPARE(centredFramePosition(available, frame), topLeft);
}

// The virtual display has no window manager, so no frame: the client area itself is centred.
void TestForm1::startsCentred()
{
    const QRect available = m_form->screen()->availableGeometry();
    QTRY_VERIFY(qAbs(m_form->frameGeometry().center().x() - available.center().x()) <= 1);
    QVERIFY(qAbs(m_form->frameGeometry().center().y() - available.center().y()) <= 1);
}

// Where boxes overlap, the one named first in the layout lies on top, and the windowed controls lie above
// every label.
void TestForm1::stacking()
{
    const auto topAt = [&](int xTwips, int yTwips) { return m_form->childAt(xTwips / 15, yTwips / 15); };
    QCOMPARE(topAt(9300, 840), m_form->label("Label22"));            // the foot of LABEL23(4), 840 to 855
    QCOMPARE(topAt(1710 + 7, 200), m_form->label("Label9"));         // left edge of Label17
    QCOMPARE(topAt(1500, 3420 + 30), m_form->label("Label30"));      // over Label8
    QCOMPARE(topAt(5370 + 7, 3420 + 30), m_form->calculateButton()); // right edge of Label31
    QCOMPARE(topAt(1320 + 930 + 15, 900), m_form->label("Label29")); // the black line between cells
    const QObjectList children = m_form->children();
    QVERIFY(children.indexOf(m_form->label("Label32")) > children.indexOf(m_form->label("Label9")));
}

void TestForm1::pixelProbes()
{
    QTest::keyClicks(m_form->frequencyBox(), QStringLiteral("28.5"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    const QImage image = m_form->grab().toImage();
    QCOMPARE(image.size(), QSize(730, 245));

    const QColor black(0, 0, 0), grey(128, 128, 128), lightGrey(224, 224, 224), darkGreen(0, 128, 0),
        darkYellow(192, 192, 0);
    const auto at = [&](int xTwips, int yTwips) { return pixelAt(image, QPoint(xTwips / 15, yTwips / 15)); };

    QCOMPARE(at(1320 + 930 + 15, 1200), black);     // between Driven columns 0 and 1
    QCOMPARE(at(3000, 1125 - 15), black);           // between the Reflector and Driven rows
    QCOMPARE(at(3000, 810 + 15), black);            // above the Reflector row
    QCOMPARE(at(3000, 2805 + 15), black);           // below the Director 5 row
    QCOMPARE(at(60, 1500), black);                  // the outer left edge
    QCOMPARE(at(10890, 1500), black);               // the outer right edge
    QCOMPARE(at(1320 + 900, 840 + 225), lightGrey); // a cell's ground, clear of its text
    QCOMPARE(at(75 + 15, 840 + 240), grey);         // a row name's ground
    for (int x = 9000; x < 10890; x += 15)          // the filler: grey right through, no line in it
        QCOMPARE(at(x, 840 + 240), grey);
    QCOMPARE(at(5370 + 90, 3210 + 60), darkYellow);         // Calculate's face
    QCOMPARE(at(9555 + 1365 - 90, 3210 + 360), darkYellow); // Conversion's face
    QCOMPARE(at(600, 3000 + 200), darkGreen);               // the window's ground below the boom line
    QCOMPARE(at(5000, 20), darkGreen);                      // above the headings
}

// At 1.8 MHz the Reflector's loop is "17864.666" cm, wider than its cell in the window's font: it is drawn
// smaller, whole, with ground left on both sides, never cut to "7864.66".
void TestForm1::longNumbersAreNeverCut()
{
    QTest::keyClicks(m_form->frequencyBox(), QStringLiteral("1.8"));
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    CaptionLabel *cell = m_form->cell(calc::ElementRow::Reflector, 1);
    QCOMPARE(cell->caption(), QStringLiteral("17864.666"));
    QVERIFY(QFontMetricsF(fontFor(FontRole::Control)).horizontalAdvance(cell->caption()) > cell->width());

    const QImage image = cell->grab().toImage();
    const QColor lightGrey(224, 224, 224);
    int firstInk = image.width();
    int lastInk = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y) != lightGrey) {
                firstInk = std::min(firstInk, x);
                lastInk = std::max(lastInk, x);
            }
    QVERIFY2(firstInk > 0 && lastInk < image.width() - 1,
             qPrintable(QStringLiteral("%1..%2").arg(firstInk).arg(lastInk)));
    QVERIFY(lastInk - firstInk > image.width() / 2); // all nine characters, not a sliver

    // The same on paper: the page is drawn by the same labels.
    m_messages->answers = {answer::kYes};
    QTest::mouseClick(m_form->printButton(), Qt::LeftButton);
    QCOMPARE(m_printer.pages.size(), std::size_t(1));
    const QRect onPage = cell->geometry();
    for (int y = onPage.top(); y <= onPage.bottom(); ++y) {
        QCOMPARE(m_printer.pages.front().pixelColor(onPage.left(), y), lightGrey);
        QCOMPARE(m_printer.pages.front().pixelColor(onPage.right(), y), lightGrey);
    }
}

void TestForm1::numbersThatFitKeepTheirFont_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::newRow("20 m") << QStringLiteral("14.2");
    QTest::newRow("10 m") << QStringLiteral("28.5");
}

// Where every number fits, each cell is drawn exactly as a plain centred caption in the window's font.
void TestForm1::numbersThatFitKeepTheirFont()
{
    QFETCH(QString, frequency);
    QTest::keyClicks(m_form->frequencyBox(), frequency);
    QTest::keyClick(m_form->frequencyBox(), Qt::Key_Return);
    for (const calc::ElementRow row : calc::kElementRows)
        for (int c = 0; c < calc::columnCount(row); ++c) {
            CaptionLabel *cell = m_form->cell(row, c);
            QImage expected(cell->size() * cell->devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
            expected.setDevicePixelRatio(cell->devicePixelRatio());
            expected.fill(QColor(224, 224, 224));
            {
                QPainter painter(&expected);
                painter.setFont(fontFor(FontRole::Control));
                painter.setPen(Qt::black);
                painter.drawText(QRect(QPoint(), cell->size()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                                 cell->caption());
            }
            QCOMPARE(cell->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);
        }
}

void TestForm1::bundledFaces_data()
{
    QTest::addColumn<FontRole>("role");
    QTest::addColumn<QString>("family");
    QTest::newRow("controls") << FontRole::Control << QStringLiteral("Tahoma");
    QTest::newRow("credits") << FontRole::Credits << QStringLiteral("Small Fonts");
    QTest::newRow("backdrop") << FontRole::Backdrop << QStringLiteral("MS Sans Serif");
}

// Each role is drawn in its own face, and a character none of the bundled faces has (a right arrow) still comes from a
// stand-in instead of an empty box.
void TestForm1::bundledFaces()
{
    QFETCH(FontRole, role);
    QFETCH(QString, family);
    const QFont font = fontFor(role);
    QCOMPARE(QFontInfo(font).family(), family);
    QFontMetrics metrics(font);
    QVERIFY(metrics.inFontUcs4(U'A'));
    QVERIFY(metrics.inFontUcs4(U'\u2192'));
}

void TestForm1::unhandledErrorEndsTheProgram()
{
    QTimer::singleShot(0, m_form.get(),
                       [this] { runHandler(*m_messages, [] { throw RuntimeError(ErrorNumber::Overflow); }); });
    const int status = QCoreApplication::exec();
    QCOMPARE(status, kExitUnhandledError);
    QCOMPARE(m_messages->requests.size(), std::size_t(1));
    QVERIFY(m_messages->requests.front().prompt.find("Overflow") != std::string::npos);
    QVERIFY(!m_form->isVisible());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
