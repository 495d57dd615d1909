// SPDX-License-Identifier: MIT
// The writers every result table goes through: what each format keeps of a column, a number and a text.
#include "core/format/resulttable.h"

#include <QTest>

#include <limits>

using namespace tarvelin;

class TestResultTable : public QObject
{
    Q_OBJECT

private slots:
    void formats();
};

// A hidden column goes to files only; numbers stay numbers in CSV and texts get their guard there; HTML
// escapes what it is given; the terminal aligns by the characters it shows, not by bytes.
void TestResultTable::formats()
{
    ResultTable table;
    table.columns = {{"frequency", "Design", false}, {"swr", "SWR"}, {"note", "Note <x>"}};
    table.rows = {
        {{"14.200", std::nullopt}, {"\u221e", std::numeric_limits<double>::infinity()}, {"-5/16\"", std::nullopt}},
        {{"14.200", std::nullopt}, {"1.615", 1.61538}, {"a&b", std::nullopt}}};

    std::string csv;
    appendCsvTable(csv, table, true);
    QCOMPARE(csv, std::string("frequency,swr,note\r\n"
                              "14.200,inf,\"'-5/16\"\"\"\r\n"
                              "14.200,1.61538,a&b\r\n"));

    const std::string html = htmlTable(table);
    QVERIFY(html.find("Design") == std::string::npos);
    QVERIFY(html.find("<th>Note &lt;x&gt;</th>") != std::string::npos);
    QVERIFY(html.find(">a&amp;b<") != std::string::npos);
    QVERIFY(html.find(">1.615<") != std::string::npos);

    std::string terminal;
    appendTerminalTable(terminal, table);
    QCOMPARE(terminal, std::string("  SWR  Note <x>\n"
                                   "    \u221e    -5/16\"\n"
                                   "1.615       a&b\n"));
}

QTEST_APPLESS_MAIN(TestResultTable)
#include "tst_resulttable.moc"
