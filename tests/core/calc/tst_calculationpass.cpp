// SPDX-License-Identifier: MIT
// The calculation pass: the worked grids, the rounding that carries from each displayed cell into the
// next, the boom totals, the order the display is written in, and what a refused frequency leaves behind.
#include "core/calc/calculationpass.h"
#include "core/calc/referencepass.h"
#include "core/calc/memorygrid.h"
#include "core/runtime/runtimeerror.h"
#include "support/exhaustive.h"
#include "support/workedexamples.h"

#include <QDir>
#include <QFile>
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
class RecordingGrid final : public calc::ResultGrid
{
public:
    explicit RecordingGrid(std::string frequency) : m_inner(std::move(frequency)) {}

    std::string frequencyText() const override { return m_inner.frequencyText(); }
    std::string cellText(calc::ElementRow row, int c) const override { return m_inner.cellText(row, c); }
    void setCellText(calc::ElementRow row, int c, const std::string &text) override
    {
        writes << QStringLiteral("%1/%2").arg(calc::rowIndex(row)).arg(c);
        m_inner.setCellText(row, c, text);
    }
    std::string boomText(calc::BoomTotal total) const override { return m_inner.boomText(total); }
    void setBoomText(calc::BoomTotal total, const std::string &text) override
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
    calc::MemoryGrid m_inner;
};

QStringList rowTexts(const calc::MemoryGrid &grid, calc::ElementRow row)
{
    QStringList texts;
    for (int c = 0; c < calc::columnCount(row); ++c)
        texts << QString::fromStdString(grid.cellText(row, c));
    return texts;
}

// Fills a grid with texts no pass writes, so that a test can see which texts a pass replaced.
calc::MemoryGrid staleGrid(const std::string &frequency)
{
    calc::MemoryGrid grid(frequency);
    for (const calc::ElementRow row : calc::kElementRows)
        for (int c = 0; c < calc::columnCount(row); ++c)
            grid.setCellText(row, c, "old");
    grid.setBoomText(calc::BoomTotal::Feet, "old FT.");
    grid.setBoomText(calc::BoomTotal::Inches, "old IN.");
    grid.setBoomText(calc::BoomTotal::Centimetres, "old CM.");
    return grid;
}

void requireSameDisplay(const calc::MemoryGrid &actual, const calc::MemoryGrid &expected)
{
    for (const calc::ElementRow row : calc::kElementRows)
        QCOMPARE(rowTexts(actual, row), rowTexts(expected, row));
    for (const calc::BoomTotal total : {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
        QCOMPARE(actual.boomText(total), expected.boomText(total));
    QCOMPARE(actual.boomCaptionVisible(), expected.boomCaptionVisible());
}

} // namespace

Q_DECLARE_METATYPE(tarvelin::calc::ElementRow)

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
    void matchesTheTextByTextPassExhaustively();
};

void TestCalculationPass::workedGrid_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<calc::ElementRow>("row");
    QTest::addColumn<QStringList>("cells");

    for (const WorkedExample *example : {&tenMetres(), &twentyMetres()})
        for (const calc::ElementRow row : calc::kElementRows)
            QTest::addRow("%s %s", example->frequency, calc::elementRowName(row).data())
                << QString::fromLatin1(example->frequency) << row
                << example->rows[static_cast<std::size_t>(calc::rowIndex(row))];
}

void TestCalculationPass::workedGrid()
{
    QFETCH(QString, frequency);
    QFETCH(calc::ElementRow, row);
    QFETCH(QStringList, cells);

    calc::MemoryGrid grid(frequency.toStdString());
    QVERIFY(calc::runCalculationPass(grid));
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

    calc::MemoryGrid grid(frequency.toStdString());
    QVERIFY(calc::runCalculationPass(grid));
    QCOMPARE(QString::fromStdString(grid.boomText(calc::BoomTotal::Feet)), feet);
    QCOMPARE(QString::fromStdString(grid.boomText(calc::BoomTotal::Inches)), inches);
    QCOMPARE(QString::fromStdString(grid.boomText(calc::BoomTotal::Centimetres)), centimetres);
    QVERIFY(grid.boomCaptionVisible());
}

void TestCalculationPass::roundingEdgeCases_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<calc::ElementRow>("row");
    QTest::addColumn<int>("gridColumn");
    QTest::addColumn<QString>("expected");

    using enum calc::ElementRow;
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
    QFETCH(calc::ElementRow, row);
    QFETCH(int, gridColumn);
    QFETCH(QString, expected);

    calc::MemoryGrid grid(frequency.toStdString());
    QVERIFY(calc::runCalculationPass(grid));
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

    calc::MemoryGrid grid = staleGrid(frequency.toStdString());
    const calc::MemoryGrid before = grid;
    QVERIFY(!calc::runCalculationPass(grid));
    requireSameDisplay(grid, before);
}

void TestCalculationPass::refusedFrequencyKeepsAnEarlierResult()
{
    calc::MemoryGrid grid("28.5");
    QVERIFY(calc::runCalculationPass(grid));
    const calc::MemoryGrid calculated = grid;

    grid.setFrequencyText("abc");
    QVERIFY(!calc::runCalculationPass(grid));
    grid.setFrequencyText("28.5");
    requireSameDisplay(grid, calculated);
    QVERIFY(grid.boomCaptionVisible());
}

// 1.3e-304 MHz gives a reflector loop near the top of the double range: the inches are written, then the
// centimetres overflow. Nothing of that half-finished pass may reach the display.
void TestCalculationPass::failureAfterTheFirstStepChangesNothing()
{
    calc::MemoryGrid scratch("1.3e-304");
    try {
        calc::calculateInto(scratch);
        QFAIL("the steps did not fail");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), ErrorNumber::Overflow);
    }
    QVERIFY(!scratch.cellText(calc::ElementRow::Reflector, 0).empty()); // proof that a later step failed
    QVERIFY(scratch.cellText(calc::ElementRow::Reflector, 1).empty());

    RecordingGrid grid("1.3e-304");
    QVERIFY(!calc::runCalculationPass(grid));
    QCOMPARE(grid.writes, QStringList());
    QVERIFY(!grid.boomCaptionVisible());
}

// Column by column, top row first; spacing from the driven row down; boom inches, feet, centimetres; the
// caption last of all.
void TestCalculationPass::writesInStepOrder()
{
    RecordingGrid grid("28.5");
    QVERIFY(calc::runCalculationPass(grid));

    QStringList expected;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 7; ++r)
            expected << QStringLiteral("%1/%2").arg(r).arg(c);
    for (int c = 8; c < 10; ++c)
        for (int r = 1; r < 7; ++r)
            expected << QStringLiteral("%1/%2").arg(r).arg(c);
    expected << QStringLiteral("boom%1").arg(int(calc::BoomTotal::Inches))
             << QStringLiteral("boom%1").arg(int(calc::BoomTotal::Feet))
             << QStringLiteral("boom%1").arg(int(calc::BoomTotal::Centimetres)) << QStringLiteral("caption1");
    QCOMPARE(grid.writes, expected);
}

void TestCalculationPass::sameTextSameResultWhateverWasShown()
{
    calc::MemoryGrid fresh("7.15");
    calc::MemoryGrid stale = staleGrid("7.15");
    stale.setBoomCaptionVisible(true);
    QVERIFY(calc::runCalculationPass(fresh));
    QVERIFY(calc::runCalculationPass(stale));
    requireSameDisplay(stale, fresh);

    const calc::MemoryGrid first = fresh;
    QVERIFY(calc::runCalculationPass(fresh));
    requireSameDisplay(fresh, first);
}

void TestCalculationPass::reflectorHasNoSpacingCells()
{
    calc::MemoryGrid grid;
    for (const int c : {8, 9, -1, 10}) {
        try {
            (void)grid.cellText(calc::ElementRow::Reflector, c);
            QFAIL("reached a cell that does not exist");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::NoSuchMember);
        }
    }
    QVERIFY_THROWS_EXCEPTION(RuntimeError, grid.setCellText(calc::ElementRow::Reflector, 8, "x"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, (void)grid.cellText(calc::ElementRow::Director5, 10));
    grid.setCellText(calc::ElementRow::Driven, 9, "x");
    QCOMPARE(grid.cellText(calc::ElementRow::Driven, 9), std::string("x"));
}

namespace {

// Frequency texts of every kind a user or a script types: plain decimals with 0 to 7 places, with a unit,
// negative, in scientific notation and zero, over seven decades.
class RandomFrequencies
{
public:
    std::string next()
    {
        std::array<char, 64> text{};
        const double f = std::pow(10.0, m_logFrequency(m_random));
        switch (m_kind(m_random)) {
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
            const int length = std::snprintf(text.data(), text.size(), "%.*f", m_decimals(m_random), f);
            return std::string(text.data(), static_cast<std::size_t>(length));
        }
        }
    }

private:
    std::mt19937_64 m_random{20261208};
    std::uniform_real_distribution<double> m_logFrequency{-3.0, 4.0};
    std::uniform_int_distribution<int> m_decimals{0, 7};
    std::uniform_int_distribution<int> m_kind{0, 19};
};

std::string shortest(double value)
{
    std::array<char, 64> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), end.ptr);
}

// The texts where the two passes could part: every sixteenth of a megahertz to 100 MHz (exact binary
// values, whose lengths land on the halves the rounding decides), each loop constant's powers of ten and
// the doubles either side (where a text gains or loses a digit, or its leading zero), the edge of the
// double range where a later step overflows, and the fuzzer's corpus.
std::vector<std::string> chosenFrequencies()
{
    std::vector<std::string> texts;
    for (int sixteenths = 1; sixteenths <= 1600; ++sixteenths)
        texts.push_back(shortest(sixteenths / 16.0));
    for (const double feetMHz : {1055.0, 1030.0, 1000.0, 747.8, 614.7}) {
        for (int power = -6; power <= 12; ++power) {
            const double f = feetMHz * 12.0 / std::pow(10.0, power);
            for (const double near : {std::nextafter(f, 0.0), f, std::nextafter(f, 1e308)})
                texts.push_back(shortest(near));
        }
    }
    for (int exponent = -310; exponent <= -295; ++exponent)
        for (const char *mantissa : {"1", "1.3", "5", "9.99"})
            texts.push_back(std::string(mantissa) + "e" + std::to_string(exponent));
    for (const char *text : {"1e300", "1.7976931348623157e308", "4.9e-324", "-0", "  28.5", "14.2 MHz", ".5", "5."})
        texts.emplace_back(text);
    const QDir corpus(QStringLiteral(TARVELIN_FUZZ_CORPUS));
    for (const QFileInfo &entry : corpus.entryInfoList(QDir::Files)) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly))
            texts.push_back(file.readAll().toStdString());
    }
    return texts;
}

} // namespace

// The pass carries each shown number on instead of reading its text back; over the chosen texts and two
// thousand random ones it gives exactly the texts, and fails exactly where, the pass that reads every text
// back does.
void TestCalculationPass::matchesTheTextByTextPass()
{
    std::vector<std::string> texts = chosenFrequencies();
    QVERIFY(texts.size() > 1700); // the corpus was found
    RandomFrequencies random;
    for (int i = 0; i < 2000; ++i)
        texts.push_back(random.next());
    for (const std::string &frequency : texts) {
        const std::string problem = reference::disagreement(frequency);
        QVERIFY2(problem.empty(), problem.c_str());
    }
}

// The same over a million random texts.
void TestCalculationPass::matchesTheTextByTextPassExhaustively()
{
    TARVELIN_EXHAUSTIVE_ONLY();
    RandomFrequencies random;
    for (int i = 0; i < 1'000'000; ++i) {
        const std::string problem = reference::disagreement(random.next());
        QVERIFY2(problem.empty(), problem.c_str());
    }
}

QTEST_APPLESS_MAIN(TestCalculationPass)
#include "tst_calculationpass.moc"
