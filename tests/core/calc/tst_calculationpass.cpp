// SPDX-License-Identifier: MIT
// The calculation pass: the worked grids, the rounding that carries from each displayed cell into the
// next, the boom totals, the order the display is written in, and what a refused frequency leaves behind.
#include "core/calc/calculationpass.h"
#include "core/calc/referencepass.h"
#include "core/calc/memorygrid.h"
#include "core/runtime/messagebox.h"
#include "core/runtime/runtimeerror.h"
#include "support/scriptedmessages.h"
#include "support/workedexamples.h"

#include <QTest>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace tarvelin;

namespace {

// A grid that records every write in order, to check the order of the steps and that no step reaches
// into a cell the reflector does not have.
class RecordingGrid final : public ResultGrid
{
public:
    explicit RecordingGrid(std::string frequency) : m_inner(std::move(frequency)) {}

    std::string frequencyText() const override { return m_inner.frequencyText(); }
    std::string cellText(ElementRow row, int c) const override { return m_inner.cellText(row, c); }
    void setCellText(ElementRow row, int c, const std::string &text) override
    {
        writes << QStringLiteral("%1/%2").arg(rowIndex(row)).arg(c);
        m_inner.setCellText(row, c, text);
    }
    std::string boomText(BoomTotal total) const override { return m_inner.boomText(total); }
    void setBoomText(BoomTotal total, const std::string &text) override
    {
        writes << QStringLiteral("boom%1").arg(int(total));
        m_inner.setBoomText(total, text);
    }
    bool boomCaptionVisible() const override { return m_inner.boomCaptionVisible(); }
    void setBoomCaptionVisible(bool visible) override
    {
        writes << QStringLiteral("caption%1").arg(visible);
        m_inner.setBoomCaptionVisible(visible);
    }

    QStringList writes;

private:
    MemoryGrid m_inner;
};

QStringList rowTexts(const MemoryGrid &grid, ElementRow row)
{
    QStringList texts;
    for (int c = 0; c < columnCount(row); ++c)
        texts << QString::fromStdString(grid.cellText(row, c));
    return texts;
}

// Fills a grid with texts no pass writes, so that a test can see which texts a pass replaced.
MemoryGrid staleGrid(const std::string &frequency)
{
    MemoryGrid grid(frequency);
    for (const ElementRow row : kElementRows)
        for (int c = 0; c < columnCount(row); ++c)
            grid.setCellText(row, c, "old");
    grid.setBoomText(BoomTotal::Feet, "old FT.");
    grid.setBoomText(BoomTotal::Inches, "old IN.");
    grid.setBoomText(BoomTotal::Centimetres, "old CM.");
    return grid;
}

void requireSameDisplay(const MemoryGrid &actual, const MemoryGrid &expected)
{
    for (const ElementRow row : kElementRows)
        QCOMPARE(rowTexts(actual, row), rowTexts(expected, row));
    for (const BoomTotal total : {BoomTotal::Feet, BoomTotal::Inches, BoomTotal::Centimetres})
        QCOMPARE(actual.boomText(total), expected.boomText(total));
    QCOMPARE(actual.boomCaptionVisible(), expected.boomCaptionVisible());
}

} // namespace

Q_DECLARE_METATYPE(tarvelin::ElementRow)

class TestCalculationPass : public QObject
{
    Q_OBJECT

private slots:
    void workedGrid_data();
    void workedGrid();
    void boomTotals_data();
    void boomTotals();
    void roundingEdgeCases_data();
    void roundingEdgeCases();
    void refusedFrequency_data();
    void refusedFrequency();
    void refusedFrequencyKeepsAnEarlierResult();
    void failureAfterTheFirstStepChangesNothing();
    void writesInStepOrder();
    void sameTextSameResultWhateverWasShown();
    void reflectorHasNoSpacingCells();
    void matchesTheTextByTextPass();
};

void TestCalculationPass::workedGrid_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<ElementRow>("row");
    QTest::addColumn<QStringList>("cells");

    for (const WorkedExample *example : {&tenMetres(), &twentyMetres()})
        for (const ElementRow row : kElementRows)
            QTest::addRow("%s %s", example->frequency, elementRowName(row).data())
                << QString::fromLatin1(example->frequency) << row
                << example->rows[static_cast<std::size_t>(rowIndex(row))];
}

void TestCalculationPass::workedGrid()
{
    QFETCH(QString, frequency);
    QFETCH(ElementRow, row);
    QFETCH(QStringList, cells);

    MemoryGrid grid(frequency.toStdString());
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(grid, messages));
    QVERIFY(messages.requests.empty());
    QCOMPARE(rowTexts(grid, row), cells);
}

void TestCalculationPass::boomTotals_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("feet");
    QTest::addColumn<QString>("inches");
    QTest::addColumn<QString>("centimetres");

    // The centimetres add up the displayed centimetre cells (not inches x 2.54, which would give 1021.692),
    // and the feet come from the displayed inches total.
    QTest::newRow("28.5") << "28.5"
                          << "33.52 FT."
                          << "402.241 IN."
                          << "1021.694 CM.";
    QTest::newRow("14.2") << "14.2"
                          << "67.276 FT."
                          << "807.316 IN."
                          << "2050.584 CM.";
    QTest::newRow("trailing unit") << "14.2 MHz"
                                   << "67.276 FT."
                                   << "807.316 IN."
                                   << "2050.584 CM.";
    QTest::newRow("leading blanks") << "   28.5"
                                    << "33.52 FT."
                                    << "402.241 IN."
                                    << "1021.694 CM.";
}

void TestCalculationPass::boomTotals()
{
    QFETCH(QString, frequency);
    QFETCH(QString, feet);
    QFETCH(QString, inches);
    QFETCH(QString, centimetres);

    MemoryGrid grid(frequency.toStdString());
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(grid, messages));
    QCOMPARE(QString::fromStdString(grid.boomText(BoomTotal::Feet)), feet);
    QCOMPARE(QString::fromStdString(grid.boomText(BoomTotal::Inches)), inches);
    QCOMPARE(QString::fromStdString(grid.boomText(BoomTotal::Centimetres)), centimetres);
    QVERIFY(grid.boomCaptionVisible());
}

void TestCalculationPass::roundingEdgeCases_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<ElementRow>("row");
    QTest::addColumn<int>("gridColumn");
    QTest::addColumn<QString>("expected");

    using enum ElementRow;
    QTest::newRow("centimetres from the displayed inches") << "28.5" << Reflector << 1 << "1128.296";
    QTest::newRow("column 3 from column 0, not column 2") << "28.5" << Reflector << 3 << "282.074";
    QTest::newRow("director taper from the displayed length") << "28.5" << Director2 << 0 << "408.421";
    QTest::newRow("decimal half rounds up, Director 2") << "14.2" << Director2 << 2 << "204.93";
    QTest::newRow("decimal half rounds up, Director 3") << "14.2" << Director3 << 2 << "198.782";
    QTest::newRow("spreader built on the rounded side") << "14.2" << Director3 << 4 << "140.56";
    QTest::newRow("whole number keeps its point") << "1" << Reflector << 0 << "12660.";
    QTest::newRow("below one has no leading digit") << "20000" << Reflector << 0 << ".633";
    QTest::newRow("unit after the number") << "14.2 MHz" << Director2 << 2 << "204.93";
}

void TestCalculationPass::roundingEdgeCases()
{
    QFETCH(QString, frequency);
    QFETCH(ElementRow, row);
    QFETCH(int, gridColumn);
    QFETCH(QString, expected);

    MemoryGrid grid(frequency.toStdString());
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(grid, messages));
    QCOMPARE(QString::fromStdString(grid.cellText(row, gridColumn)), expected);
}

void TestCalculationPass::refusedFrequency_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   ";
    QTest::newRow("word") << "abc";
    QTest::newRow("unit before number") << "MHz 14.2";
    QTest::newRow("zero") << "0";
    QTest::newRow("zero point zero") << "0.0";
    QTest::newRow("negative zero") << "-0";
    QTest::newRow("negative") << "-14.2";
    QTest::newRow("negative with unit") << "-28.5 MHz";
    QTest::newRow("beyond the double range") << "1e400";
    QTest::newRow("too small for a double") << "1e-400";
    QTest::newRow("first division overflows") << "1e-306";
}

// The message is shown once, as an information box without a title, and the display is untouched: a
// grid that was clear stays clear, with the boom caption hidden.
void TestCalculationPass::refusedFrequency()
{
    QFETCH(QString, frequency);

    MemoryGrid grid = staleGrid(frequency.toStdString());
    const MemoryGrid before = grid;
    ScriptedMessages messages;
    QVERIFY(!runCalculationPass(grid, messages));

    QCOMPARE(messages.requests.size(), std::size_t(1));
    const MessageBoxRequest &box = messages.requests.front();
    QCOMPARE(box.prompt, std::string("You must enter an integer value."));
    QCOMPARE(box.buttons, 64);
    QVERIFY(!box.title);
    QVERIFY(!box.helpFile);
    QVERIFY(!box.helpContext);
    requireSameDisplay(grid, before);
}

void TestCalculationPass::refusedFrequencyKeepsAnEarlierResult()
{
    MemoryGrid grid("28.5");
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(grid, messages));
    const MemoryGrid calculated = grid;

    grid.setFrequencyText("abc");
    QVERIFY(!runCalculationPass(grid, messages));
    grid.setFrequencyText("28.5");
    requireSameDisplay(grid, calculated);
    QVERIFY(grid.boomCaptionVisible());
}

// 1.3e-304 MHz gives a reflector loop near the top of the double range: the inches are written, then the
// centimetres overflow. Nothing of that half-finished pass may reach the display.
void TestCalculationPass::failureAfterTheFirstStepChangesNothing()
{
    MemoryGrid scratch("1.3e-304");
    try {
        calculateInto(scratch);
        QFAIL("the steps did not fail");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), ErrorNumber::Overflow);
    }
    QVERIFY(!scratch.cellText(ElementRow::Reflector, 0).empty()); // proof that a later step failed
    QVERIFY(scratch.cellText(ElementRow::Reflector, 1).empty());

    RecordingGrid grid("1.3e-304");
    ScriptedMessages messages;
    QVERIFY(!runCalculationPass(grid, messages));
    QCOMPARE(messages.requests.size(), std::size_t(1));
    QCOMPARE(grid.writes, QStringList());
    QVERIFY(!grid.boomCaptionVisible());
}

// Column by column, top row first; spacing from the driven row down; boom inches, feet, centimetres; the
// caption last of all.
void TestCalculationPass::writesInStepOrder()
{
    RecordingGrid grid("28.5");
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(grid, messages));

    QStringList expected;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 7; ++r)
            expected << QStringLiteral("%1/%2").arg(r).arg(c);
    for (int c = 8; c < 10; ++c)
        for (int r = 1; r < 7; ++r)
            expected << QStringLiteral("%1/%2").arg(r).arg(c);
    expected << QStringLiteral("boom%1").arg(int(BoomTotal::Inches))
             << QStringLiteral("boom%1").arg(int(BoomTotal::Feet))
             << QStringLiteral("boom%1").arg(int(BoomTotal::Centimetres)) << QStringLiteral("caption1");
    QCOMPARE(grid.writes, expected);
}

void TestCalculationPass::sameTextSameResultWhateverWasShown()
{
    MemoryGrid fresh("7.15");
    MemoryGrid stale = staleGrid("7.15");
    stale.setBoomCaptionVisible(true);
    ScriptedMessages messages;
    QVERIFY(runCalculationPass(fresh, messages));
    QVERIFY(runCalculationPass(stale, messages));
    requireSameDisplay(stale, fresh);

    const MemoryGrid first = fresh;
    QVERIFY(runCalculationPass(fresh, messages));
    requireSameDisplay(fresh, first);
}

void TestCalculationPass::reflectorHasNoSpacingCells()
{
    MemoryGrid grid;
    for (const int c : {8, 9, -1, 10}) {
        try {
            (void)grid.cellText(ElementRow::Reflector, c);
            QFAIL("reached a cell that does not exist");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::NoSuchMember);
        }
    }
    QVERIFY_THROWS_EXCEPTION(RuntimeError, grid.setCellText(ElementRow::Reflector, 8, "x"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, (void)grid.cellText(ElementRow::Director5, 10));
    grid.setCellText(ElementRow::Driven, 9, "x");
    QCOMPARE(grid.cellText(ElementRow::Driven, 9), std::string("x"));
}

// The pass carries each shown number on instead of reading its text back; over a million frequency texts of
// every kind it gives exactly the texts, and fails exactly where, the pass that reads every text back does.
void TestCalculationPass::matchesTheTextByTextPass()
{
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> logFrequency(-3.0, 4.0);
    std::uniform_int_distribution<int> decimals(0, 7);
    std::uniform_int_distribution<int> kind(0, 19);
    const auto textFor = [&]() -> std::string {
        std::array<char, 64> text{};
        const double f = std::pow(10.0, logFrequency(random));
        switch (kind(random)) {
        case 0:
            return std::to_string(f) + " MHz";
        case 1:
            return "-" + std::to_string(f);
        case 2: {
            const auto end = std::to_chars(text.data(), text.data() + text.size(), f, std::chars_format::scientific);
            return std::string(text.data(), end.ptr);
        }
        case 3:
            return "0";
        default: {
            const int length = std::snprintf(text.data(), text.size(), "%.*f", decimals(random), f);
            return std::string(text.data(), static_cast<std::size_t>(length));
        }
        }
    };
    for (int i = 0; i < 1'000'000; ++i) {
        const std::string frequency = textFor();
        MemoryGrid fast(frequency);
        MemoryGrid reference(frequency);
        std::optional<ErrorNumber> fastError;
        std::optional<ErrorNumber> referenceError;
        try {
            calculateInto(fast);
        } catch (const RuntimeError &error) {
            fastError = error.number();
        }
        try {
            reference::calculateInto(reference);
        } catch (const RuntimeError &error) {
            referenceError = error.number();
        }
        if (fastError != referenceError)
            QFAIL(
                qPrintable(QStringLiteral("'%1': the passes fail differently").arg(QString::fromStdString(frequency))));
        for (const ElementRow row : kElementRows)
            for (int c = 0; c < columnCount(row); ++c)
                if (fast.cell(row, c) != reference.cell(row, c))
                    QFAIL(qPrintable(QStringLiteral("'%1': %2 against %3")
                                         .arg(QString::fromStdString(frequency),
                                              QString::fromStdString(fast.cell(row, c)),
                                              QString::fromStdString(reference.cell(row, c)))));
        for (const BoomTotal total : {BoomTotal::Feet, BoomTotal::Inches, BoomTotal::Centimetres})
            if (fast.boom(total) != reference.boom(total))
                QFAIL(qPrintable(QStringLiteral("'%1': boom %2 against %3")
                                     .arg(QString::fromStdString(frequency), QString::fromStdString(fast.boom(total)),
                                          QString::fromStdString(reference.boom(total)))));
    }
}

QTEST_APPLESS_MAIN(TestCalculationPass)
#include "tst_calculationpass.moc"
