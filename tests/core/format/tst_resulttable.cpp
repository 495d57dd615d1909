// SPDX-License-Identifier: MIT
// The writers every result table goes through: what each format keeps of a column, a number and a text.
#include "core/format/document.h"
#include "core/format/jsonwriter.h"
#include "core/format/resulttable.h"

#include <QTest>

#include <limits>

using namespace tarvelin;

class TestResultTable : public QObject
{
    Q_OBJECT

private slots:
    void formats();
    void jsonWritesFiguresAsCsvDoes_data();
    void jsonWritesFiguresAsCsvDoes();
    void documentLaidOutForEachMedium();
};

// A hidden column goes to files only; numbers stay numbers in CSV and texts get their guard there; HTML
// escapes what it is given; the terminal aligns by the characters it shows, not by bytes.
void TestResultTable::formats()
{
    format::ResultTable table;
    table.columns = {{"frequency", "Design", false}, {"swr", "SWR"}, {"note", "Note <x>"}};
    table.columns[1].figure = format::Figure::Ratio;
    table.rows = {
        {{"14.200", std::nullopt}, {"\u221e", std::numeric_limits<double>::infinity()}, {"-5/16\"", std::nullopt}},
        {{"14.200", std::nullopt}, {"1.615", 1.615384615}, {"a&b", std::nullopt}}};

    // An SWR written as its kind is, an infinite one left empty rather than a word in a column of numbers.
    std::string csv;
    format::appendCsvTable(csv, table, true);
    QCOMPARE(csv, std::string("frequency,swr,note\r\n"
                              "14.200,,\"'-5/16\"\"\"\r\n"
                              "14.200,1.61538,a&b\r\n"));

    const std::string html = format::htmlTable(table);
    QVERIFY(html.find("Design") == std::string::npos);
    QVERIFY(html.find("<th>Note &lt;x&gt;</th>") != std::string::npos);
    QVERIFY(html.find(">a&amp;b<") != std::string::npos);
    QVERIFY(html.find(">1.615<") != std::string::npos);

    std::string terminal;
    format::appendTerminalTable(terminal, table);
    QCOMPARE(terminal, std::string("  SWR  Note <x>\n"
                                   "    \u221e    -5/16\"\n"
                                   "1.615       a&b\n"));
}

Q_DECLARE_METATYPE(tarvelin::format::Figure)

void TestResultTable::jsonWritesFiguresAsCsvDoes_data()
{
    QTest::addColumn<format::Figure>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("a frequency to the hertz") << format::Figure::Megahertz << 144.2123456789 << "144.212346";
    QTest::newRow("a length in thousandths, whole") << format::Figure::Exact << 444.211 << "444.211";
    QTest::newRow("a loop factor, every digit") << format::Figure::Exact << 0.97712345678901 << "0.97712345678901";
    QTest::newRow("an impedance") << format::Figure::Ohms << 46.4791234 << "46.47912";
    QTest::newRow("a gain") << format::Figure::Decibels << 10.8123456 << "10.8123";
    QTest::newRow("no number") << format::Figure::Ratio << std::numeric_limits<double>::quiet_NaN() << "";
}

// One format per kind of figure, the same in CSV as in JSON, which writes what is no number as null.
void TestResultTable::jsonWritesFiguresAsCsvDoes()
{
    QFETCH(format::Figure, kind);
    QFETCH(double, value);
    QFETCH(QString, text);
    format::ResultTable table;
    table.columns = {{"figure", "Figure"}};
    table.columns[0].figure = kind;
    table.rows = {{{"", value}}};
    std::string csv;
    format::appendCsvTable(csv, table, false);
    QCOMPARE(QString::fromStdString(csv), text + "\r\n");
    std::string json;
    format::JsonWriter(json).beginRecord().number("figure", value, kind).endRecord();
    QCOMPARE(QString::fromStdString(json), "{\"figure\": " + (text.isEmpty() ? QStringLiteral("null") : text) + "}");
}

// One document, as the terminal, the clipboard and a printed page lay it out: each keeps every word and no
// medium adds its own; only a page shows the headings, the colophon and the warnings.
void TestResultTable::documentLaidOutForEachMedium()
{
    format::Document document;
    document.title = "Sheet for <1>";
    document.titleRunsIn = true;
    document.preface = {{"First & only."}, {"Second."}};
    document.colophon = {{"Modelled so."}};
    document.warnings = {"Check the wire."};
    format::ResultTable table;
    table.columns = {{"a", "A", true, true}, {"b", "B"}};
    table.rows = {{{"x", std::nullopt}, {"1", 1.0}}};
    format::Section first;
    first.heading = "Loops";
    first.before = {{"Along the wire."}};
    first.table = table;
    format::Section last;
    last.heading = "Materials";
    last.facts = {{"Wire", "10 m"}, {"Boom", "3 m"}};
    last.keepWithEnd = true;
    document.sections = {first, last};

    std::string terminalTable;
    format::appendTerminalTable(terminalTable, table);
    QCOMPARE(format::documentText(document), "Sheet for <1>. First & only.\nSecond.\n\nAlong the wire.\n" +
                                                 terminalTable + "\nWire: 10 m\nBoom: 3 m\n");
    QCOMPARE(
        format::documentTabSeparated(document),
        std::string("Sheet for <1>. First & only.\nSecond.\n\nAlong the wire.\nA\tB\nx\t1\n\nWire\t10 m\nBoom\t3 m\n"));
    QCOMPARE(format::documentProse(document),
             std::string("First & only. Second. Along the wire. Wire: 10 m. Boom: 3 m."));

    const std::string html = format::documentHtml(document, "Printed today");
    for (const char *part :
         {"<h2>Sheet for &lt;1&gt;</h2><p>Printed today</p><p>Modelled so.</p><p>First &amp; only.</p>",
          "<p><b>Check the wire.</b></p><h3>Loops</h3><p>Along the wire.</p><table",
          "<h3><a name=\"keep-with-end\"></a>Materials</h3><p>Wire: 10 m<br>Boom: 3 m</p>"})
        QVERIFY2(html.find(part) != std::string::npos, html.c_str());
    QCOMPARE(html.find(format::kKeepWithEnd), html.rfind(format::kKeepWithEnd)); // the one section kept
}

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
