// SPDX-License-Identifier: MIT
// The calculation pass: the worked grids, the rounding that carries from each displayed cell into the
// next, the boom totals, the order the display is written in, and what a refused frequency leaves behind.
#include "calc/calculationpass.h"
#include "calc/memorygrid.h"
#include "runtime/messagebox.h"
#include "runtime/runtimeerror.h"

#include <QTest>

#include <vector>

using namespace tarvelin;

namespace {

// Answers every box with OK and keeps what it was asked, so a test can see the message and count it.
class ScriptedMessages final : public MessageBoxService
{
public:
    int MessageBox(const MessageBoxRequest &request) override
    {
        requests.push_back(request);
        return answer::kOk;
    }
    std::vector<MessageBoxRequest> requests;
};

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
};

void TestCalculationPass::workedGrid_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<ElementRow>("row");
    QTest::addColumn<QStringList>("cells");

    using enum ElementRow;
    const QString ten = QStringLiteral("28.5");
    QTest::newRow("28.5 Reflector") << ten << Reflector << QStringList{"444.211", "1128.296", "111.053", "282.074",
                                                                       "78.526",  "199.456",  "157.052", "398.912"};
    QTest::newRow("28.5 Driven") << ten << Driven
                                 << QStringList{"433.684", "1101.557", "108.421", "275.389", "76.665",
                                                "194.729", "153.33",   "389.458", "78.716",  "199.939"};
    QTest::newRow("28.5 Director 1") << ten << Director1
                                     << QStringList{"421.053", "1069.475", "105.263", "267.369", "74.432",
                                                    "189.057", "148.864",  "378.115", "64.705",  "164.351"};
    QTest::newRow("28.5 Director 2") << ten << Director2
                                     << QStringList{"408.421", "1037.389", "102.105", "259.347", "72.199",
                                                    "183.385", "144.398",  "366.771", "64.705",  "164.351"};
    QTest::newRow("28.5 Director 3") << ten << Director3
                                     << QStringList{"396.168", "1006.267", "99.042",  "251.567", "70.033",
                                                    "177.884", "140.066",  "355.768", "64.705",  "164.351"};
    QTest::newRow("28.5 Director 4") << ten << Director4
                                     << QStringList{"384.283", "976.079", "96.071",  "244.02", "67.932",
                                                    "172.547", "135.864", "345.095", "64.705", "164.351"};
    QTest::newRow("28.5 Director 5") << ten << Director5
                                     << QStringList{"372.755", "946.798", "93.189",  "236.699", "65.895",
                                                    "167.373", "131.79",  "334.747", "64.705",  "164.351"};

    const QString twenty = QStringLiteral("14.2");
    QTest::newRow("14.2 Reflector") << twenty << Reflector << QStringList{"891.549", "2264.534", "222.887", "566.134",
                                                                          "157.605", "400.317",  "315.21",  "800.633"};
    QTest::newRow("14.2 Driven") << twenty << Driven
                                 << QStringList{"870.423", "2210.874", "217.606", "552.719", "153.871",
                                                "390.832", "307.742",  "781.665", "157.986", "401.284"};
    QTest::newRow("14.2 Director 1") << twenty << Director1
                                     << QStringList{"845.07",  "2146.478", "211.268", "536.619", "149.389",
                                                    "379.448", "298.778",  "758.896", "129.866", "329.86"};
    QTest::newRow("14.2 Director 2") << twenty << Director2
                                     << QStringList{"819.718", "2082.084", "204.93",  "520.521", "144.907",
                                                    "368.064", "289.814",  "736.128", "129.866", "329.86"};
    QTest::newRow("14.2 Director 3") << twenty << Director3
                                     << QStringList{"795.126", "2019.62", "198.782", "504.905", "140.56",
                                                    "357.022", "281.12",  "714.045", "129.866", "329.86"};
    QTest::newRow("14.2 Director 4") << twenty << Director4
                                     << QStringList{"771.272", "1959.031", "192.818", "489.758", "136.343",
                                                    "346.311", "272.686",  "692.622", "129.866", "329.86"};
    QTest::newRow("14.2 Director 5") << twenty << Director5
                                     << QStringList{"748.134", "1900.26", "187.034", "475.065", "132.253",
                                                    "335.923", "264.506", "671.845", "129.866", "329.86"};
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

QTEST_APPLESS_MAIN(TestCalculationPass)
#include "tst_calculationpass.moc"
