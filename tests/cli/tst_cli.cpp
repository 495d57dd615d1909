// SPDX-License-Identifier: MIT
// tarvelin-calc end to end: the real program run as a process, its output, its exit codes and batch mode.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QProcess>

#include "support/badsettings.h"
#include "core/calc/resultgrid.h"
#include "support/runcalc.h"
#include "support/sweepfile.h"
#include "cli/mode.h"
#include "cli/resultwriter.h"
#include "core/design/designlengths.h"
#include "core/tune/tuneddesign.h"
#include "core/tune/tuner.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <complex>
#include <csignal>

#include <sys/types.h>

using namespace tarvelin::test;

namespace {

// The records of CSV in its one dialect, RFC 4180 with CRLF line ends; none when a line ends otherwise.
QList<QByteArray> csvRecords(const QByteArray &text)
{
    if (!text.endsWith("\r\n") || QByteArray(text).replace("\r\n", "").contains('\n'))
        return {};
    QList<QByteArray> result = text.split('\n');
    result.removeLast();
    for (QByteArray &record : result)
        record.chop(1);
    return result;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void tableLaysOutTheWindow();
    void jsonObjectPerFrequency();
    void jsonFailureAndExitCode();
    void batchFromStandardInput();
    void endlessLineInBoundedMemory();
    void csvHasOneLinePerFrequency();
    void fractions_data();
    void fractions();
    void fractionsAsJson();
    void usageErrors_data();
    void usageErrors();
    void badSettingsAsTheWindowsRefuse_data();
    void badSettingsAsTheWindowsRefuse();
    void lengthsAsTheSheetWritesThem();
    void helpExplains();
    void version();
    void oneBandIsTheMonobandDesign();
    void inputOutputErrors_data();
    void inputOutputErrors();
    void wideCellsStaySeparated();
    void controlCharactersAreEscaped();
    void sweepsTheSheetCannotTrimBy_data();
    void sweepsTheSheetCannotTrimBy();
    void shopSheet();
    void shopSheetBadInput_data();
    void shopSheetBadInput();
    void cablesFromTheTable();
    void tunedDesignKeepsItsOwnLine();
    void sweepReadForTheFrequencyAsTheSheetReadsIt();
    void csvCellsCannotStartAFormula_data();
    void csvCellsCannotStartAFormula();
};

void TestCli::tableLaysOutTheWindow()
{
    const Run run = runCalc({QStringLiteral("28.5")});
    QCOMPARE(run.exitCode, 0);
    const QString out = QString::fromUtf8(run.out);
    QVERIFY(out.startsWith(QStringLiteral("Frequency: 28.5 mhz.\n")));
    for (const char *heading : {"Element Total Length", "Wire - One Side", "Spreader Half Length",
                                "Spreader Total Length", "Element Spacing"})
        QVERIFY2(out.contains(QLatin1StringView(heading)), heading);
    static const QRegularExpression reflector(QStringLiteral(
        "\\nReflector +444\\.211 +1128\\.296 +111\\.053 +282\\.074 +78\\.526 +199\\.456 +157\\.052 +398\\.912\\n"));
    QVERIFY2(reflector.match(out).hasMatch(), qPrintable(out));
    static const QRegularExpression director5(
        QStringLiteral("\\nDirector 5 +372\\.755 +946\\.798 +93\\.189 +236\\.699 +65\\.895 +167\\.373 +131\\.79 "
                       "+334\\.747 +64\\.705 +164\\.351\\n"));
    QVERIFY2(director5.match(out).hasMatch(), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("Total Boom Length =  33.52 FT.  402.241 IN.  1021.694 CM.\n")));
    QVERIFY(run.err.isEmpty());
}

void TestCli::jsonObjectPerFrequency()
{
    const Run run =
        runCalc({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("14.2"), QStringLiteral("1")});
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> objects = lines(run.out);
    QCOMPARE(objects.size(), 2);

    QJsonParseError error{};
    const QJsonObject first = QJsonDocument::fromJson(objects[0], &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(first.value(QStringLiteral("frequency")).toString(), QStringLiteral("14.2"));
    const QJsonArray cells = first.value(QStringLiteral("cells")).toArray();
    QCOMPARE(cells.size(), 7);
    QCOMPARE(cells[0].toArray().size(), 8);
    for (int r = 1; r < 7; ++r)
        QCOMPARE(cells[r].toArray().size(), 10);
    QCOMPARE(cells[3].toArray()[2].toString(), QStringLiteral("204.93"));
    QCOMPARE(cells[4].toArray()[2].toString(), QStringLiteral("198.782"));
    QCOMPARE(cells[6].toArray()[9].toString(), QStringLiteral("329.86"));
    const QJsonObject boom = first.value(QStringLiteral("boom")).toObject();
    QCOMPARE(boom.value(QStringLiteral("feet")).toString(), QStringLiteral("67.276 FT."));
    QCOMPARE(boom.value(QStringLiteral("inches")).toString(), QStringLiteral("807.316 IN."));
    QCOMPARE(boom.value(QStringLiteral("centimetres")).toString(), QStringLiteral("2050.584 CM."));

    const QJsonObject second = QJsonDocument::fromJson(objects[1]).object();
    QCOMPARE(second.value(QStringLiteral("cells")).toArray()[0].toArray()[0].toString(), QStringLiteral("12660."));
}

void TestCli::jsonFailureAndExitCode()
{
    const Run run =
        runCalc({QStringLiteral("--format=json"), QStringLiteral("abc"), QStringLiteral("-7"), QStringLiteral("28.5")});
    QCOMPARE(run.exitCode, 1);
    const QList<QByteArray> objects = lines(run.out);
    QCOMPARE(objects.size(), 3);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject failed = QJsonDocument::fromJson(objects[i]).object();
        QCOMPARE(failed.value(QStringLiteral("error")).toString(), QStringLiteral("You must enter an integer value."));
        QVERIFY(!failed.contains(QStringLiteral("cells")));
    }
    QCOMPARE(QJsonDocument::fromJson(objects[1]).object().value(QStringLiteral("frequency")).toString(),
             QStringLiteral("-7"));
    QVERIFY(QJsonDocument::fromJson(objects[2]).object().contains(QStringLiteral("cells")));
}

void TestCli::batchFromStandardInput()
{
    // Quotes, a carriage return and a byte that is not UTF-8 must all still give valid JSON. A line of 64 KiB
    // is still read; a longer one is refused by its number, and reading goes on.
    const QByteArray input("28.5\r\n14.2 MHz\n\nsay \"hi\"\xff\n" + QByteArray(64 * 1024, 'x') + "\n" +
                           QByteArray(64 * 1024 + 1, 'x') + "\n7.1");
    const Run run = runCalc({QStringLiteral("--format"), QStringLiteral("json")}, input);
    QCOMPARE(run.exitCode, 1);
    QList<QByteArray> objects = lines(run.out);
    QCOMPARE(objects.size(), 7);
    const QByteArray last = objects.takeLast(); // without a line end
    QVERIFY2(last.startsWith(R"({"frequency": "7.1", "cells": )"), last.left(80).constData());
    QCOMPARE(objects.takeLast(),
             R"({"frequency": "line 6", "error": "Longer than 64 KiB, so it was not read as a value"})");
    QVERIFY(objects.takeLast().startsWith(R"({"frequency": "xxxx)"));
    QStringList frequencies;
    QStringList errors;
    for (const QByteArray &line : objects) {
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        frequencies << object.value(QStringLiteral("frequency")).toString();
        errors << object.value(QStringLiteral("error")).toString();
    }
    QCOMPARE(frequencies, (QStringList{"28.5", "14.2 MHz", "", u"say \"hi\"\uFFFD"_qs}));
    QCOMPARE(errors, (QStringList{"", "", "You must enter an integer value.", "You must enter an integer value."}));
}

// Input without line ends (here 150 MB of zero bytes) is refused a line at a time, in a bounded memory: the
// program may not reserve more than 100 MB, which a sanitizer's shadow memory alone exceeds.
void TestCli::endlessLineInBoundedMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer reserves more memory than the bound");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    QSKIP("the sanitizer reserves more memory than the bound");
#endif
#endif
    const Run run = runShell(QStringLiteral("ulimit -v 100000; head -c 150000000 /dev/zero | \"$CALC\" --fraction"));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "tarvelin-calc: 'line 1': Longer than 64 KiB, so it was not read as a value\n");
}

void TestCli::csvHasOneLinePerFrequency()
{
    // "0,5" is not one half: the comma ends the number after the 0, so the frequency is refused.
    const Run run =
        runCalc({QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("28.5"), QStringLiteral("0,5")});
    QCOMPARE(run.exitCode, 1);
    const QList<QByteArray> records = csvRecords(run.out);
    QCOMPARE(records.size(), 3);
    const QList<QByteArray> header = records[0].split(',');
    QCOMPARE(header.size(), 1 + 68 + 3 + 1);
    QCOMPARE(header.first(), QByteArray("frequency"));
    QCOMPARE(header[1], QByteArray("reflector_total_in"));
    QCOMPARE(header[9], QByteArray("driven_total_in"));
    QCOMPARE(header.last(), QByteArray("error"));

    const QList<QByteArray> calculated = records[1].split(',');
    QCOMPARE(calculated.size(), header.size());
    QCOMPARE(calculated[1], QByteArray("444.211"));
    QCOMPARE(calculated[header.indexOf("director_5_spacing_cm")], QByteArray("164.351"));
    QCOMPARE(calculated[header.indexOf("boom_ft")], QByteArray("33.52")); // a number; the unit is in the name
    QCOMPARE(calculated.last(), QByteArray());

    QVERIFY(records[2].startsWith("\"0,5\","));
    QVERIFY(records[2].endsWith(",You must enter an integer value."));
}

void TestCli::fractions_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("simple fractions") << QStringList{"0.375", "-0.75", "1", "3", "0"}
                                      << QByteArray("3/8\n-3/4\n1/1\n3/1\n0/2\n") << 0;
    QTest::newRow("exponent form") << QStringList{"6.25e-2", "2.5E0"} << QByteArray("1/16\n5/2\n") << 0;
    QTest::newRow("not a number still prints the others") << QStringList{"half", "0.5"} << QByteArray("1/2\n") << 1;
    QTest::newRow("overflow") << QStringList{"-3e9", "0.2"} << QByteArray("1/5\n") << 1;
}

void TestCli::fractions()
{
    QFETCH(QStringList, values);
    QFETCH(QByteArray, expected);
    QFETCH(int, exitCode);

    const Run run = runCalc(QStringList{QStringLiteral("--fraction")} + values);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.isEmpty(), exitCode == 0);
}

void TestCli::fractionsAsJson()
{
    const Run run = runCalc({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--fraction")},
                            QByteArray("0.0625\n-1e400\n0.30000000000000004\n-3e9\n"));
    QCOMPARE(run.exitCode, 1);
    const QList<QByteArray> objects = lines(run.out);
    QCOMPARE(objects.size(), 4);
    const QJsonObject ok = QJsonDocument::fromJson(objects[0]).object();
    QCOMPARE(ok.value(QStringLiteral("value")).toString(), QStringLiteral("0.0625"));
    QCOMPARE(ok.value(QStringLiteral("fraction")).toString(), QStringLiteral("1/16"));
    // Overflow, and what it means for that value.
    const auto error = [&objects](int i) {
        return QJsonDocument::fromJson(objects[i]).object().value(QStringLiteral("error")).toString();
    };
    QCOMPARE(error(1), "Overflow: the value is beyond the largest number held (about 1.8e308), and has no fraction");
    QCOMPARE(error(2), "Overflow: no fraction was found before its denominator passed 2147483647, the largest the "
                       "search counts to");
    QCOMPARE(error(3), "Overflow: no fraction was found before its numerator passed 2147483647, the largest the "
                       "search counts to");
}

// Every usage error names its option in one style, and nothing is silently ignored: modes exclude each
// other, and an option outside its mode is refused.
void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--metric"} << "--metric: Unknown option.";
    QTest::newRow("unknown format") << QStringList{"--format", "xml", "28.5"}
                                    << "--format: Unknown format 'xml': table, csv, json or, with --analyse, s1p.";
    QTest::newRow("s1p outside a check") << QStringList{"--format", "s1p", "--shop", "14.2"}
                                         << "--format: s1p is the check's sweep: it belongs to --analyse.";
    QTest::newRow("s1p of two checks") << QStringList{"--analyse", "--format", "s1p", "14.2", "7.1"}
                                       << "--format: s1p holds one sweep: give one FREQUENCY.";
    QTest::newRow("sweep without a check")
        << QStringList{"--sweep", "a.s1p", "14.2"} << "--sweep: Belongs to --analyse.";
    QTest::newRow("resonance given twice")
        << QStringList{"--shop", "--measured", "14.1", "--measured-sweep", "a.s1p", "14.2"}
        << "--measured-sweep: Cannot be used with --measured: give the resonance one way.";
    QTest::newRow("insulation too thick") << QStringList{"--analyse", "--insulation", "6", "14.2"}
                                          << "--insulation: The insulation must be a thickness in millimetres from 0 "
                                             "(bare wire) to 5.";
    QTest::newRow("permittivity below air")
        << QStringList{"--nec", "--insulation", "0.4", "--permittivity", "0.5", "14.2"}
        << "--permittivity: The insulation's permittivity must be a number from 1 to 10, such as 3.5 for PVC.";
    QTest::newRow("format without name") << QStringList{"28.5", "--format"} << "--format: Needs a value.";
    QTest::newRow("format twice") << QStringList{"--format", "csv", "--format=json", "28.5"}
                                  << "--format: Given twice; give it once.";
    QTest::newRow("band three times") << QStringList{"--tune", "--band", "1", "--band", "1", "--band", "2", "14.2"}
                                      << "--band: Given 3 times; give it once.";
    QTest::newRow("two modes") << QStringList{"--shop", "--analyse", "14.2"}
                               << "--analyse: Cannot be used with --shop.";
    QTest::newRow("fraction and shop") << QStringList{"--fraction", "--shop"}
                                       << "--shop: Cannot be used with --fraction.";
    QTest::newRow("allowance without --shop")
        << QStringList{"--allowance", "2", "14.2"} << "--allowance: Belongs to --shop.";
    QTest::newRow("gauge without a check")
        << QStringList{"--awg", "12", "14.2"} << "--awg: Belongs to --nec, --analyse, --tune or --measured model.";
    QTest::newRow("band without --tune") << QStringList{"--analyse", "--band", "1", "14.2"}
                                         << "--band: Belongs to --tune.";
    QTest::newRow("band too wide") << QStringList{"--tune", "--band", "7", "14.2"}
                                   << "--band: The band must be 0.1 to 5.0 % either side of the design frequency.";
    QTest::newRow("designs not whole") << QStringList{"--tune", "--max-designs", "2.5", "14.2"}
                                       << "--max-designs: The most designs to try must be a whole number from 2 to "
                                          "1000000.";
    QTest::newRow("eight elements") << QStringList{"--shop", "--elements", "8", "14.2"}
                                    << "--elements: The elements must be a whole number from 2 to 7.";
    QTest::newRow("elements in the grid")
        << QStringList{"--elements", "3", "14.2"} << "--elements: Belongs to --shop, --nec, --analyse or --tune.";
    QTest::newRow("a tuned sheet saved") << QStringList{"--shop", "--tune", "--save", "quad.json", "14.2"}
                                         << "--save: Belongs to --tune.";
    QTest::newRow("a goal without a check")
        << QStringList{"--nec", "--goal-fb", "10", "14.2"} << "--goal-fb: Belongs to --analyse or --tune.";
    QTest::newRow("SWR goal below reach")
        << QStringList{"--tune", "--goal-swr", "1.05", "14.2"} << "--goal-swr: The SWR goal must be 1.1 to 3.0.";
    QTest::newRow("F/B goal beyond reach")
        << QStringList{"--tune", "--goal-fb", "41dB", "14.2"} << "--goal-fb: The F/B goal must be 0 to 40 dB.";
    QTest::newRow("gauge and diameter") << QStringList{"--analyse", "--awg", "12", "--wire-mm", "3", "14.2"}
                                        << "--awg: Give the wire as a diameter or as an AWG gauge, not both.";
    QTest::newRow("even points") << QStringList{"--analyse", "--points", "4", "14.2"}
                                 << "--points: The number of points must be an odd number from 3 to 101.";
    // An empty value is no value, whichever option it is given to.
    for (const char *option : {"--save", "--tuned", "--sweep", "--measured-sweep", "--z0", "--points", "--wire-mm",
                               "--insulation", "--allowance"})
        QTest::addRow("empty %s", option)
            << QStringList{"--analyse", option, "", "14.2"} << QString::fromLatin1(option) + ": Needs a value.";
    QTest::newRow("an unknown match") << QStringList{"--shop", "--match", "gamma", "28.5"}
                                      << "--match: The match must be direct, balun4 or quarter-wave.";
    QTest::newRow("a section without its line") << QStringList{"--shop", "--match", "quarter-wave", "28.5"}
                                                << "--match-line: A quarter-wave section needs its line: a cable "
                                                   "from the table, such as RG-11, or its impedance and velocity "
                                                   "factor.";
    QTest::newRow("a balun with a line") << QStringList{"--shop", "--match", "balun4", "--match-vf", "0.8", "28.5"}
                                         << "--match-vf: A line's cable, impedance and velocity factor belong to a "
                                            "quarter-wave section.";
    QTest::newRow("a cable not in the table")
        << QStringList{"--shop", "--match", "quarter-wave", "--match-line", "RG-8/U", "28.5"}
        << "--match-line: There is no cable 'RG-8/U' in the table: give RG-213, RG-8X, RG-58, LMR-400, RG-6, RG-11, "
           "RG-11 foam, RG-59 or RG-62, or the line's impedance and velocity factor.";
    QTest::newRow("a line's bare length")
        << QStringList{"--analyse", "--sweep", "x.s1p", "--through", "7:75/0.82/1.5", "14.2"}
        << "--through: The line's length needs its unit, m or ft, such as 7 m or "
           "23 ft.";
    QTest::newRow("a cut for a lone sweep")
        << QStringList{"--shop", "--measured-sweep", "a.s1p", "--cut", "3in", "14.2"}
        << "--cut: Give one for each sweep after the first, oldest first: 0 here, not 1.";
    QTest::newRow("a cut that is no length")
        << QStringList{"--shop", "--measured-sweep", "a.s1p", "--measured-sweep", "b.s1p", "--cut", "some", "14.2"}
        << "--cut: What was cut from the driven loop must be a length, such as 3-1/4 (inches) or 82 mm, a wire "
           "added as a negative one, or advised for the trim the sheet advised.";
    QTest::newRow("a permittivity on bare wire") << QStringList{"--nec", "--permittivity", "2.3", "14.2"}
                                                 << "--permittivity: The permittivity is the jacket's: give the "
                                                    "insulation's thickness too.";
    QTest::newRow("no engines") << QStringList{"--tune", "--processes", "0", "14.2"}
                                << "--processes: The engine processes must be a whole number from 1 to 256.";
    QTest::newRow("processes for a deck") << QStringList{"--nec", "--processes", "2", "14.2"}
                                          << "--processes: Belongs to --analyse, --tune or --measured model.";
    QTest::newRow("a stub without its length") << QStringList{"--stub-sweep", "piece.s1p"}
                                               << "--stub-sweep: Give the piece's length: --stub-length LEN, such "
                                                  "as 1m.";
    QTest::newRow("a stub with a frequency") << QStringList{"--stub-sweep", "piece.s1p", "--stub-length", "1m", "14.2"}
                                             << "--stub-sweep: Takes no FREQUENCY: the piece's sweep is its input.";
    QTest::newRow("bands outside the modes that model them")
        << QStringList{"--fraction", "--bands", "20m,15m"} << "--bands: Belongs to --shop, --nec, --analyse or --tune.";
    QTest::newRow("a match by band without bands")
        << QStringList{"--analyse", "--match", "20m=balun4", "14.2"}
        << "--match: A match by band is for a quad of several bands: give one --match KIND.";
    QTest::newRow("a match for a band not in the quad")
        << QStringList{"--analyse", "--bands", "20m,15m", "--match", "10m=balun4"}
        << "--match: 10m is not one of the --bands.";
    QTest::newRow("one match for several bands")
        << QStringList{"--tune", "--bands", "20m,15m", "--match", "balun4"}
        << "--match: Give each band's match as BAND=KIND[:CABLE], as 20m=quarter-wave:RG-11.";
    QTest::newRow("a band's match twice")
        << QStringList{"--shop", "--bands", "20m,15m", "--match", "20m=balun4", "--match", "20m=direct"}
        << "--match: Give each band's match once, one band to each.";
    QTest::newRow("a boom for several bands' tune")
        << QStringList{"--tune", "--bands", "20m,15m", "--boom", "5m"}
        << "--boom: A quad of several bands stands where its layout and spacing put it.";
    QTest::newRow("an idle ending of one band")
        << QStringList{"--analyse", "--bands", "20m", "--idle", "open"}
        << "--idle: One band is that band's own design, with no loops nested in it.";
    QTest::newRow("several bands as CSV") << QStringList{"--analyse", "--bands", "20m,15m", "--format", "csv"}
                                          << "--format: A quad of several bands is checked as a table or JSON.";
    QTest::newRow("bands with a frequency") << QStringList{"--nec", "--bands", "20m,15m", "14.2"}
                                            << "--bands: Takes no FREQUENCY: the bands are the design.";
    QTest::newRow("a layout without bands") << QStringList{"--nec", "--layout", "spider", "14.2"}
                                            << "--layout: Describes a quad of several bands: give its --bands.";
    QTest::newRow("five elements on several bands")
        << QStringList{"--nec", "--bands", "20m,15m", "--elements", "5"}
        << "--elements: A quad of several bands has 2 to 4 elements on every band.";
    QTest::newRow("a frequency between bands")
        << QStringList{"--nec", "--bands", "20m,16"}
        << "--bands: 16 MHz is in none of the bands a quad of several bands is built for: 40m, 30m, 20m, 17m, 15m, "
           "12m, 10m or 6m.";
    QTest::newRow("several bands over ground") << QStringList{"--nec", "--bands", "20m,15m", "--ground-height", "10m"}
                                               << "--ground-height: A quad of several bands is modelled in free space.";
    QTest::newRow("an unknown shape") << QStringList{"--nec", "--bands", "20m,15m", "--shape", "round"}
                                      << "--shape: Give square or diamond, not 'round'.";
    QStringList nine{"--analyse"};
    for (int i = 0; i < 9; ++i)
        nine << "--sweep" << QStringLiteral("s%1.s1p").arg(i);
    QTest::newRow("nine sweeps") << (nine << "14.2") << "--sweep: Give at most 8 sweeps, oldest first, not 9.";
    QTest::newRow("sweep into a CSV") << QStringList{"--analyse", "--format", "csv", "--sweep", "a.s1p", "14.2"}
                                      << "--sweep: Cannot be used with --format csv, which holds the model's sweep "
                                         "alone: give the table or --format json.";
    QTest::newRow("wire past the window's limit") << QStringList{"--nec", "--wire-mm", "50", "14.2"}
                                                  << "--wire-mm: The wire diameter must be a number of millimetres "
                                                     "from 0.1 to 20.";
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QString::fromUtf8(lines(run.err).value(0)), QStringLiteral("tarvelin-calc: ") + message);
    QVERIFY(run.err.contains("usage: tarvelin-calc"));
}

// The refusals the windows give for the same settings (the windows' tests run the same table).
void TestCli::badSettingsAsTheWindowsRefuse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal");
    for (const BadSetting &bad : kBadSettings)
        QTest::addRow("%s %s", bad.option, bad.text)
            << QStringList{QString::fromLatin1(bad.mode), QString::fromLatin1(bad.option), QString::fromUtf8(bad.text),
                           QStringLiteral("14.2")}
            << QString::fromUtf8(bad.refusal);
}

void TestCli::badSettingsAsTheWindowsRefuse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    const Run run = runCalc(arguments);
    QVERIFY(run.exitCode == 1 || run.exitCode == 2);
    // Refused for every frequency, or for this one: the option is named, or the frequency.
    const QString first = QString::fromUtf8(lines(run.err).value(0));
    QVERIFY2(first == "tarvelin-calc: " + arguments[1] + ": " + refusal || first == "tarvelin-calc: '14.2': " + refusal,
             qPrintable(first));
}

// A length of zero is the default, however it is written; lengths are read in the sheet's own notation.
void TestCli::lengthsAsTheSheetWritesThem()
{
    const Run plain =
        runCalc({QStringLiteral("--shop"), QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("14.2")});
    QCOMPARE(plain.exitCode, 0);
    for (const QStringList &zero : {QStringList{"--allowance", "0"}, QStringList{"--hub-offset", "0"},
                                    QStringList{"--allowance", "0.0004 in"}, QStringList{"--hub-offset=0 mm"}}) {
        const Run run = runCalc(QStringList{"--shop", "--format", "json"} + zero + QStringList{"14.2"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, plain.out);
    }
    const Run decimal = runCalc({"--shop", "--format", "json", "--allowance", "14.5", "14.2"});
    for (const char *written : {"1' 2-1/2\"", "14-1/2\"", "14 1/2", "29/2", "1 ft 2.5 in"}) {
        const Run run = runCalc({"--shop", "--format", "json", "--allowance", QString::fromUtf8(written), "14.2"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, decimal.out);
    }
}

void TestCli::helpExplains()
{
    const Run run = runCalc({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    for (const char *word : {"--format", "--fraction", "Exit status", "standard input"})
        QVERIFY2(run.out.contains(word), word);
    // Every option a mode takes is explained, and every mode's usage is given.
    for (const tarvelin::cli::ModeDeclaration *mode : tarvelin::cli::modeDeclarations()) {
        QVERIFY2(run.out.contains(QByteArray(mode->usage.data(), static_cast<qsizetype>(mode->usage.size()))),
                 mode->usage.data());
        for (const tarvelin::cli::OptionUse &option : mode->options) {
            const QByteArray name(option.name.data(), static_cast<qsizetype>(option.name.size()));
            QVERIFY2(run.out.contains(" " + name + ' '), name.constData());
        }
    }
    // Every limit the help gives is filled in, and is the one the option's refusal names.
    QVERIFY(!run.out.contains('{'));
    const std::initializer_list<std::array<const char *, 3>> limits{
        {"--shop --elements 9", "2 to 7", "2 to 7"},
        {"--analyse --wire-mm 25", "0.1 to 20", "0.1 to 20"},
        {"--analyse --segments 99", "5 to 51", "5 to 51"},
        {"--tune --processes 0", "1 to 256", "1 to 256"},
        {"--tune --max-designs 1", "2 to 1000000", "2 to 1000000"},
        {"--shop --allowance 2000", "to\n                   1000 in", "to 1000 in"}};
    for (const auto &[command, helpSays, refusalSays] : limits) {
        QVERIFY2(run.out.contains(helpSays), helpSays);
        QStringList arguments = QString::fromUtf8(command).split(QLatin1Char(' '));
        arguments << QStringLiteral("14.2");
        QVERIFY2(runCalc(arguments).err.contains(refusalSays), command);
    }
}

// --bands of one band is that band's design, the deck byte for byte the one of its design frequency.
void TestCli::oneBandIsTheMonobandDesign()
{
    const Run band = runCalc({"--nec", "--bands", "15m", "--elements", "3"});
    QCOMPARE(band.exitCode, 0);
    QCOMPARE(band.out, runCalc({"--nec", "--elements", "3", "21.225"}).out);
}

void TestCli::version()
{
    const Run run = runCalc({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("tarvelin-calc " TARVELIN_VERSION "\n"));
}

void TestCli::inputOutputErrors_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("full disk") << "$CALC 14.2 >/dev/full" << 3
                               << "tarvelin-calc: Cannot write the output: No space left on device.\n";
    QTest::newRow("help onto a full disk")
        << "$CALC --help >/dev/full" << 3 << "tarvelin-calc: Cannot write the output: No space left on device.\n";
    QTest::newRow("version onto a full disk")
        << "$CALC --version >/dev/full" << 3 << "tarvelin-calc: Cannot write the output: No space left on device.\n";
    QTest::newRow("closed output") << "$CALC 14.2 >&-" << 3
                                   << "tarvelin-calc: Cannot write the output: Bad file descriptor.\n";
    // The reader takes ten bytes and goes. Even with SIGPIPE ignored, so that the writes fail with EPIPE,
    // the program ends quietly of SIGPIPE, as any filter does.
    QTest::newRow("reader gone") << "trap '' PIPE; yes 14.2 2>/dev/null | head -n 200000 2>/dev/null | $CALC --format "
                                    "json | head -c 10 >/dev/null; "
                                    "exit ${PIPESTATUS[2]}"
                                 << 128 + 13 << "";
    QTest::newRow("input is a folder") << "$CALC --format json </" << 3
                                       << "tarvelin-calc: Cannot read the input: Is a directory.\n";
    QTest::newRow("closed input") << "$CALC <&-" << 3 << "tarvelin-calc: Cannot read the input: Bad file descriptor.\n";
    QTest::newRow("sweep is a folder") << "$CALC --analyse --sweep / 14.2" << 3
                                       << "tarvelin-calc: --sweep: Cannot read /: Is a directory.\n";
    QTest::newRow("endless sweep") << "$CALC --shop --measured-sweep /dev/zero 14.2" << 1
                                   << "tarvelin-calc: --measured-sweep: /dev/zero is larger than 64 MiB, which no "
                                      "analyser's sweep or tuned design is.\n";
    QTest::newRow("endless tuned design") << "$CALC --shop --tuned /dev/zero" << 1
                                          << "tarvelin-calc: --tuned: /dev/zero is larger than 64 MiB, which no "
                                             "analyser's sweep or tuned design is.\n";
    QTest::newRow("no such sweep") << "$CALC --shop --measured-sweep /nonexistent.s1p 14.2" << 3
                                   << "tarvelin-calc: --measured-sweep: Cannot read /nonexistent.s1p: No such file or "
                                      "directory.\n";
}

// An output nobody can read, or an input that cannot be read, is an error of its own: one line on stderr,
// exit status 3, never success. A reader that goes away is no error.
void TestCli::inputOutputErrors()
{
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run run = runShell(command);
    QCOMPARE(run.exitCode, status);
    QCOMPARE(QString::fromUtf8(run.err), message);
}

// At 0.001 MHz cells reach 11 characters; in the table each still stands apart, as the JSON gives it.
void TestCli::wideCellsStaySeparated()
{
    const Run table = runCalc({QStringLiteral("0.001")});
    const Run json = runCalc({QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("0.001")});
    QCOMPARE(table.exitCode, 0);
    const QJsonArray rows = QJsonDocument::fromJson(json.out).object().value(QStringLiteral("cells")).toArray();
    const QStringList names{QStringLiteral("Reflector"),  QStringLiteral("Driven"),     QStringLiteral("Director 1"),
                            QStringLiteral("Director 2"), QStringLiteral("Director 3"), QStringLiteral("Director 4"),
                            QStringLiteral("Director 5")};
    QCOMPARE(rows.size(), names.size());
    const QString out = QString::fromUtf8(table.out);
    for (qsizetype r = 0; r < names.size(); ++r) {
        const qsizetype start = out.indexOf(QLatin1Char('\n') + names[r] + QLatin1Char(' ')) + names[r].size() + 1;
        const QString line = out.mid(start, out.indexOf(QLatin1Char('\n'), start) - start);
        QStringList expected;
        for (const QJsonValue cell : rows[r].toArray())
            expected << cell.toString();
        QVERIFY(expected.size() >= 8);
        QCOMPARE(line.split(QLatin1Char(' '), Qt::SkipEmptyParts), expected);
    }
}

// Escape sequences typed or fed in never reach the terminal raw: not in the table, not in a message.
void TestCli::controlCharactersAreEscaped()
{
    const Run table = runCalc({QString::fromUtf8("14.2\x1b]0;X\x07"), QString::fromUtf8("0\x1b[2J\xc2\x9b")});
    QCOMPARE(table.exitCode, 1);
    QVERIFY2(table.out.startsWith("Frequency: 14.2\\x1b]0;X\\x07 mhz.\n"), table.out.left(40).constData());
    QCOMPARE(table.err, QByteArray("tarvelin-calc: '0\\x1b[2J\\xc2\\x9b': You must enter an integer value.\n"));
    for (const QByteArray &text : {table.out, table.err})
        for (const char c : text)
            QVERIFY(c == '\n' || static_cast<unsigned char>(c) >= 0x20);

    // A file's name too, on the sheet it trims.
    QTemporaryDir folder;
    const QString sweep = folder.filePath(QString::fromUtf8("a\x1b[31mb.s1p"));
    QFile file(sweep);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("# MHz S RI R 50\n13.0 0.5 0\n13.9 0.1 0\n14.6 0.5 0\n") > 0);
    file.close();
    const Run sheet = runCalc({"--shop", "--measured-sweep", sweep, "14.2"});
    QCOMPARE(sheet.exitCode, 0);
    QVERIFY2(sheet.out.contains("(where the reactance of " + folder.path().toUtf8() +
                                "/a\\x1b[31mb.s1p passes zero at the feed point)"),
             sheet.out.constData());
    QVERIFY(!sheet.out.contains('\x1b'));
}

// A sweep a sheet cannot be trimmed by is refused, naming the file: an input that failed, not a usage error.
void TestCli::sweepsTheSheetCannotTrimBy_data()
{
    QTest::addColumn<QByteArray>("sweep");
    QTest::addColumn<QString>("message"); // %1: the sweep's path
    const QByteArray head = "# MHz S RI R 50\n";
    QTest::newRow("broken") << head + "14.1 0.1 0.2\n14.2 nan 0.2\n"
                            << "tarvelin-calc: --measured-sweep: %1, line 3: 'nan' is not a number.";
    const QByteArray ohms = "# MHz Z RI R 50\n"; // normalised to 50 ohms
    QTest::newRow("resonant above the sweep")
        << ohms + "14.0 1 -0.8\n14.1 1 -0.5\n14.2 1 -0.2\n"
        << "tarvelin-calc: '14.2': The reactance of %1 at the feed point stays capacitive across the sweep: the "
           "resonance lies above it, so it gives no trim. Sweep higher to find it.";
    QTest::newRow("another band") << ohms + "7.0 1 -0.3\n7.1 1 0\n7.2 1 0.3\n"
                                  << "tarvelin-calc: '14.2': The resonance of %1, at 7.1000 MHz, lies more than 10 % "
                                     "from the design frequency, 14.200 MHz: the sweep is not of this design, so it "
                                     "gives no trim.";
}

void TestCli::sweepsTheSheetCannotTrimBy()
{
    QFETCH(QByteArray, sweep);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("built.s1p"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(sweep) == sweep.size());
    file.close();
    const Run run = runCalc({"--shop", "--measured-sweep", path, "14.2"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QString::fromUtf8(lines(run.err).value(0)), message.arg(path));
}

void TestCli::shopSheet()
{
    const Run json = runCalc({QStringLiteral("--shop"), QStringLiteral("--format=json"), QStringLiteral("--step"),
                              QStringLiteral("32"), QStringLiteral("--allowance"), QStringLiteral("60 mm"),
                              QStringLiteral("--hub-offset=25mm"), QStringLiteral("--measured"), QStringLiteral("28.9"),
                              QStringLiteral("28.5"), QStringLiteral("abc")});
    QCOMPARE(json.exitCode, 1);
    const QList<QByteArray> objects = lines(json.out);
    QCOMPARE(objects.size(), 2);
    const QJsonObject sheet = QJsonDocument::fromJson(objects[0]).object();
    QCOMPARE(sheet.value(QStringLiteral("step")).toInt(), 32);
    // 60 mm is 2.362 in: the reflector's 444.211 in is cut at 446.573 in, 37' 2-9/16".
    QCOMPARE(sheet.value(QStringLiteral("loops")).toArray().at(0).toObject().value(QStringLiteral("cut")).toString(),
             QStringLiteral("37' 2-9/16\""));
    QCOMPARE(sheet.value(QStringLiteral("trims")).toArray().size(), 7);
    QCOMPARE(QJsonDocument::fromJson(objects[1]).object().value(QStringLiteral("error")).toString(),
             QStringLiteral("Enter the centre frequency in MHz, such as 14.2."));

    const Run csv =
        runCalc({QStringLiteral("--shop"), QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("14.2")});
    QCOMPARE(csv.exitCode, 0);
    QCOMPARE(lines(csv.out).size(), 8); // one header, seven elements
    // Lengths as numbers, exact; the sheet's feet and inches beside them.
    QVERIFY(csv.out.startsWith("frequency,element,loop_in,loop_mm,loop_text,"));
    QVERIFY(csv.out.contains("\n14.2,Reflector,891.549,22645.3446,\"74' 3-9/16\"\"\","));

    const Run table = runCalc({QStringLiteral("--shop"), QStringLiteral("14.2")});
    QCOMPARE(table.exitCode, 0);
    QVERIFY(table.out.startsWith("Shop sheet for 14.200 MHz. Fractions to 1/16 in"));
    // The element names to the left of their row, each length right-aligned under its heading.
    QVERIFY(table.out.contains("Loops               Loop  Loop (mm)           Cut  Cut (mm)"));
    QVERIFY(table.out.contains(
        "\nDirector 2  68' 3-11/16\"    20820.8  68' 3-11/16\"   20820.8  17' 0-15/16\"     5205.2\n"));
    QVERIFY(table.out.contains("Boom: 67' 3-5/16\" (20505.8 mm); the window shows 807.316 IN."));
}

void TestCli::shopSheetBadInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("step") << QStringList{"--shop", "--step", "12", "14.2"} << 2 << "--step: The fraction step";
    QTest::newRow("measured zero") << QStringList{"--shop", "--measured", "0", "14.2"} << 2
                                   << "--measured: The measured resonance";
    QTest::newRow("hub offset too long") << QStringList{"--shop", "--hub-offset", "200", "14.2"} << 1
                                         << "'14.2': The hub offset";
}

// A bad setting is named; one that is bad for the frequency is that frequency's failure.
void TestCli::shopSheetBadInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = runCalc(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.startsWith(("tarvelin-calc: " + message).toUtf8()), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

// A section cut from a cable of the table, by its nominal velocity factor or one measured from a sweep of a
// cut piece: 1.000 m of cable of VF 0.66, open at its far end, swept across its quarter wave.
void TestCli::cablesFromTheTable()
{
    const Run sheet = runCalc({"--shop", "--format", "json", "--elements", "2", "--match", "quarter-wave",
                               "--match-line", "rg-11/u", "28.5"});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject match = QJsonDocument::fromJson(sheet.out).object().value(QStringLiteral("match")).toObject();
    QCOMPARE(match.value(QStringLiteral("line")).toString(), QStringLiteral("RG-11"));
    QCOMPARE(match.value(QStringLiteral("z0")).toDouble(), 75.0);
    QCOMPARE(match.value(QStringLiteral("length_mm")).toDouble(), 1735.6); // 0.66 x c / (4 x 28.5 MHz)
    QVERIFY(runCalc({"--shop", "--elements", "2", "--match", "quarter-wave", "--match-line", "RG-11", "28.5"})
                .out.contains("RG-11 (75 \xce\xa9, velocity factor 0.66 nominal)"));

    QTemporaryDir folder;
    QFile piece(folder.filePath(QStringLiteral("piece.s1p")));
    QVERIFY(writeOpenStubSweep(piece.fileName(), 1.0, 50.0, 0.66, 10.0, 80.0));
    const Run measured = runCalc({"--stub-sweep", piece.fileName(), "--stub-length", "1m", "--format", "json"});
    QCOMPARE(measured.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(measured.out).object().value(QStringLiteral("velocity_factor")).toDouble(), 0.66);
    // The same sweep said to be of a 3 m piece gives a factor no cable has: refused, the file named, an input
    // that failed.
    const Run wrongLength = runCalc({"--stub-sweep", piece.fileName(), "--stub-length", "3m"});
    QCOMPARE(wrongLength.exitCode, 1);
    QVERIFY2(wrongLength.err.contains("piece.s1p': Its series resonance at 49.466 MHz gives a velocity factor of "
                                      "1.980 for 3.000 m, which no cable has"),
             wrongLength.err.constData());
}

// A sweep is read against a tuned design on the line and through the match it was tuned for, not the
// command line's defaults: a feed of 600 ohms at resonance is an SWR of 8 on its 75 ohm line, which a sweep
// of an antenna may show, where 12 on 50 ohms would be no antenna's. A direct feed has no match to take out.
void TestCli::tunedDesignKeepsItsOwnLine()
{
    tarvelin::tune::TunedDesign design;
    design.frequencyText = "14.2";
    design.check.z0Ohms = 75.0;
    design.result.factors = {0.98, 0.977, 0.988, 0.99, 1.0, 1.0, 0.95};
    design.result.before.design.swr = 1.3;
    design.result.after.design.swr = 1.1;
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("tuned.json"));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(tarvelin::tune::tunedDesignText(
        design, std::get<tarvelin::design::Design>(tarvelin::design::specifiedDesign("14.2")).lengths)));
    file.close();
    const QString sweep = folder.filePath(QStringLiteral("built.s1p"));
    QFile swept(sweep);
    QVERIFY(swept.open(QIODevice::WriteOnly));
    swept.write("# MHz Z RI R 1\n");
    for (int i = 0; i <= 40; ++i) {
        const double mhz = 13.9 + 0.01 * i;
        swept.write(QStringLiteral("%1 600 %2\n").arg(mhz).arg(600.0 * 20.0 * (mhz / 14.1 - 14.1 / mhz)).toLatin1());
    }
    swept.close();
    const Run sheet = runCalc({"--shop", "--format", "json", "--tuned", saved, "--measured-sweep", sweep});
    QCOMPARE(sheet.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(sheet.out).object().value(QStringLiteral("measured_mhz")).toDouble(), 14.1);
    const Run matched = runCalc({"--shop", "--tuned", saved, "--measured-sweep", sweep, "--through-match"});
    QCOMPARE(matched.exitCode, 2);
    QVERIFY2(matched.err.contains("--through-match: The tuned design in " + saved.toUtf8() + " is fed direct"),
             matched.err.constData());
}

// "14,2" is read by the sheet as the window reads it, 14 MHz: a sweep trims that sheet, never an untrimmed one.
void TestCli::sweepReadForTheFrequencyAsTheSheetReadsIt()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("built.s1p"));
    QVERIFY(writeResonantSweep(path, 13.5, 13.3, 40));
    const Run sheet = runCalc({"--shop", "--format", "json", "--measured-sweep", path, "14,2"});
    QCOMPARE(sheet.exitCode, 0);
    const QJsonObject read = QJsonDocument::fromJson(sheet.out).object();
    QCOMPARE(read.value(QStringLiteral("measured_mhz")).toDouble(), 13.5);
    QCOMPARE(read.value(QStringLiteral("corrected_frequency")).toString(), QStringLiteral("14.519")); // 14 x 14 / 13.5
}

// Text a spreadsheet would run as a formula gets an apostrophe, in every mode; numbers stay numbers.
void TestCli::csvCellsCannotStartAFormula_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("row");
    QTest::newRow("grid") << QStringList{"--", "+14.2+HYPERLINK(\"http://x\",\"y\")"}
                          << QByteArray("\"'+14.2+HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",891.549,");
    QTest::newRow("refused grid") << QStringList{"--", "=1+1"} << QByteArray("'=1+1,,");
    QTest::newRow("refused shop sheet") << QStringList{"--shop", "--", "@SUM(1+1)"} << QByteArray("'@SUM(1+1),,");
    QTest::newRow("fraction") << QStringList{"--fraction", "--", "-0.75"}
                              << QByteArray("-0.75,'-3/4,"); // the fraction stays text
    QTest::newRow("refused fraction") << QStringList{"--fraction", "--", "-x"} << QByteArray("'-x,,Not a number");
    // A trim is a text with a sign of its own.
    QTest::newRow("shortening trim") << QStringList{"--shop", "--measured", "14.1", "14.2"} << QByteArray("'-");
}

void TestCli::csvCellsCannotStartAFormula()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, row);
    const Run run = runCalc(QStringList{QStringLiteral("--format"), QStringLiteral("csv")} + arguments);
    const QList<QByteArray> rows = lines(run.out);
    QVERIFY(rows.size() >= 2);
    if (row == "'-")
        QVERIFY2(rows[1].contains(",\"'-"), rows[1].constData());
    else
        QVERIFY2(rows[1].startsWith(row), rows[1].constData());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
