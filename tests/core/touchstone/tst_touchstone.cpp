// SPDX-License-Identifier: MIT
// An analyser's sweep read from every form its file may take, the files refused and where, and the model's
// sweep written and read back.
#include "core/document/checktable.h"
#include "core/measure/measured.h"
#include "core/touchstone/touchstone.h"

#include <QTest>

#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>
#include <numbers>

using namespace tarvelin;

namespace {

// A built antenna's feed: 62 ohms at its resonance, 14.25 MHz, with a loaded Q of 12.
constexpr double kResonanceMHz = 14.25;

std::complex<double> feedAt(double mhz)
{
    return {62.0, 62.0 * 12.0 * (mhz / kResonanceMHz - kResonanceMHz / mhz)};
}

struct Form
{
    const char *unit = "MHz";
    const char *parameter = "S";
    const char *format = "RI";
    double referenceOhms = 50.0;
    const char *optionLine = nullptr; // in place of the one made from the fields above
    bool version2 = false;
    bool twoPort = false;
    bool noiseBlock = false;
    const char *lineEnd = "\n";
    const char *header = "";
    const char *dataTail = "";
};

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// The sweep, 13.8 to 14.7 MHz in 10 kHz steps, as an analyser would write it in `form`.
std::string sweepFile(const Form &form)
{
    const std::string unit = form.unit;
    const double perMHz = unit == "Hz" || unit == "HZ" ? 1e6 : unit == "kHz" ? 1e3 : unit == "GHz" ? 1e-3 : 1.0;
    const std::string parameter = form.parameter;
    const std::string format = form.format;
    const double r = form.referenceOhms;
    std::string out = form.header;
    const std::string end = form.lineEnd;
    if (form.version2)
        out += "[Version] 2.0" + end + "[Number of Ports] " + (form.twoPort ? "2" : "1") + end;
    out += form.optionLine ? std::string(form.optionLine)
                           : "# " + unit + " " + parameter + " " + format + " R " + number(r);
    out += end;
    if (form.version2)
        out += "[Number of Frequencies] 91" + end + "[Reference] " + number(r) + (form.twoPort ? " 50" : "") + end +
               "[Network Data]" + end;
    for (int i = 0; i <= 90; ++i) {
        const double mhz = 13.8 + 0.01 * i;
        const std::complex<double> z = feedAt(mhz);
        std::complex<double> value = (z - r) / (z + r);
        if (parameter == "Z")
            value = form.version2 ? z : z / r;
        else if (parameter == "Y")
            value = form.version2 ? 1.0 / z : r / z;
        const double angle = std::arg(value) * 180.0 / std::numbers::pi;
        const std::string pair = format == "RI"   ? number(value.real()) + " " + number(value.imag())
                                 : format == "MA" ? number(std::abs(value)) + "\t" + number(angle)
                                                  : number(20.0 * std::log10(std::abs(value))) + " " + number(angle);
        out += number(mhz * perMHz) + "  " + pair;
        if (form.twoPort)
            out += " 0.5 -20 0.5 -20 0 0";
        out += form.dataTail + end;
    }
    if (form.noiseBlock)
        out += number(14.0 * perMHz) + " 1.2 0.3 45 0.4" + end + number(14.5 * perMHz) + " 1.3 0.3 50 0.4" + end;
    return out;
}

} // namespace

class TestTouchstone : public QObject
{
    Q_OBJECT

private slots:
    void everyFormGivesTheSameLowestSwr_data();
    void everyFormGivesTheSameLowestSwr();
    void brokenFilesAreRefusedWithTheirLine_data();
    void brokenFilesAreRefusedWithTheirLine();
    void theModelsSweepReadsBackAsWritten();
};

void TestTouchstone::everyFormGivesTheSameLowestSwr_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::string>("text");
    const auto row = [](const char *tag, const char *name, const Form &form) {
        QTest::newRow(tag) << QString(name) << sweepFile(form);
    };
    row("MHz S RI 50", "a.s1p", {});
    row("Hz S RI 50, bare", "a.s1p", {.unit = "HZ"});
    row("kHz S MA 50", "a.s1p", {.unit = "kHz", .format = "MA"});
    row("GHz S DB 50", "a.s1p", {.unit = "GHz", .format = "DB"});
    row("MHz S DB 75", "a.s1p", {.format = "DB", .referenceOhms = 75.0});
    row("non-integer R", "a.s1p", {.format = "MA", .referenceOhms = 75.5});
    row("Z normalised", "a.s1p", {.parameter = "Z"});
    row("Y normalised, R 75", "a.s1p", {.parameter = "Y", .format = "MA", .referenceOhms = 75.0});
    row("tokens in any order and case", "a.s1p", {.optionLine = "#  r 50 ri mhz s \t"});
    row("defaults: GHz, S, MA, R 50", "a.s1p", {.unit = "GHz", .format = "MA", .optionLine = "#"});
    row("R per port", "a.s1p", {.optionLine = "# MHz S RI R 50 50"});
    row("later option lines ignored", "a.s1p",
        {.format = "MA", .optionLine = "# MHz S MA R 50\n# Hz S RI R 75", .header = "! from an analyser\n"});
    row("comments on every line", "a.s1p",
        {.header = "! Tarvelin test sweep\n!\n\n! calibrated 2026-12-09\n", .dataTail = " ! a point"});
    row("CRLF", "a.s1p", {.lineEnd = "\r\n", .header = "! saved on a desktop\r\n"});
    row("CR alone, as older Macs wrote", "a.s1p", {.lineEnd = "\r", .header = "! saved on a Mac\r"});
    row("byte-order mark and Latin-1 comment", "a.s1p", {.header = "\xEF\xBB\xBF! r\xE9sonance mesur\xE9\x65\n"});
    row("two-port, S11 first", "a.s2p", {.twoPort = true});
    row("two-port with a noise block", "a.s2p", {.twoPort = true, .noiseBlock = true});
    row("port count from the first record", "sweep.txt", {.twoPort = true});
    row("version 2, Z in ohms", "a.ts", {.parameter = "Z", .version2 = true});
    row("version 2, Y in siemens", "a.ts", {.parameter = "Y", .format = "MA", .version2 = true});
    row("version 2, two-port", "a.ts", {.version2 = true, .twoPort = true});
}

void TestTouchstone::everyFormGivesTheSameLowestSwr()
{
    QFETCH(QString, name);
    QFETCH(std::string, text);
    auto read = touchstone::readSweep(text, name.toStdString());
    if (const auto *problem = std::get_if<std::string>(&read))
        QFAIL(problem->c_str());
    const auto &sweep = std::get<touchstone::Sweep>(read);
    QCOMPARE(sweep.samples.size(), 91U);
    QCOMPARE(sweep.samples.front().mhz, 13.8);
    const std::complex<double> z = sweep.samples[45].impedanceOhms;
    QVERIFY(std::abs(z - feedAt(sweep.samples[45].mhz)) < 1e-5 * std::abs(z));
    const measure::MeasuredSweep measured =
        measure::measuredSweepOf(sweep, name.toStdString(), measure::SweepReading{});
    QVERIFY2(std::fabs(measured.minSwrMHz - kResonanceMHz) <= kResonanceMHz * 0.0005,
             std::to_string(measured.minSwrMHz).c_str());
    QVERIFY(std::fabs(measured.minSwr - 62.0 / 50.0) < 1e-3);
    QVERIFY(measured.swr2MHz && measured.swr2MHz->lowMHz && measured.swr2MHz->highMHz);
    const auto forSheet = measure::sheetSweepOf(sweep, name.toStdString(), measure::SweepReading{});
    QVERIFY(std::holds_alternative<measure::SheetSweep>(forSheet));
    QCOMPARE(std::get<measure::SheetSweep>(forSheet).resonanceText, std::string("14.2500"));
    QCOMPARE(std::get<measure::SheetSweep>(forSheet).resonanceMHz, 14.25);
}

void TestTouchstone::brokenFilesAreRefusedWithTheirLine_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<QString>("expected");
    const std::string head = "! sweep\n# MHz S RI R 50\n";
    QTest::newRow("empty") << std::string() << "sweep.s1p, line 1: the file holds no data";
    // A two-port record, as a file ending .s2p is read here: S11, S21, S12, S22.
    const std::string twoPort = "[Version] 2.0\n[Number of Ports] 2\n";
    const auto s2p = [](double mhz) { return std::to_string(mhz) + " 0.1 0.2 0.5 -20 0.5 -20 0 0\n"; };
    QTest::newRow("two-port falling") << "# MHz S RI R 50\n" + s2p(14.2) + s2p(14.1)
                                      << "line 3: the frequencies must rise";
    QTest::newRow("two-port segments, the second lower")
        << "# MHz S RI R 50\n" + s2p(14.0) + s2p(14.1) + s2p(14.2) + s2p(13.9) + s2p(14.3)
        << "line 5: the frequencies must rise";
    QTest::newRow("network data after a noise block")
        << "# MHz S RI R 50\n" + s2p(14.0) + s2p(14.1) + "14.0 1.2 0.3 45 0.4\n" + s2p(14.2)
        << "line 5: a noise record holds 5 numbers, this one 9";
    QTest::newRow("one reference for two ports")
        << twoPort + "# MHz S RI R 50\n[Reference] 50\n" + s2p(14.0) + s2p(14.1)
        << "line 4: [Reference] gives 1 impedance for 2 ports";
    QTest::newRow("UTF-16") << std::string("\xFF\xFE!\0 \0s\0w\0\n\0", 11) << "line 1: the file is not plain text";
    QTest::newRow("reflecting everything") << head + "14.1 1 0\n14.2 0.6 0.8\n14.3 -1.2 0\n"
                                           << ": every point reflects all the power";
    QTest::newRow("negative magnitude") << std::string("# MHz S MA R 50\n14.1 0.5 10\n14.2 -0.5 10\n")
                                        << "line 3: a magnitude below 0";
    QTest::newRow("comments only") << head << "line 3: the file holds no data";
    QTest::newRow("one point") << head + "14.2 0.1 0.2\n"
                               << "line 3: the file holds one frequency only";
    QTest::newRow("falling") << head + "14.2 0.1 0.2\n14.1 0.1 0.2\n"
                             << "line 4: the frequencies must rise";
    QTest::newRow("repeated") << head + "14.2 0.1 0.2\n14.2 0.1 0.2\n"
                              << "line 4: the frequencies must rise";
    QTest::newRow("nan") << head + "14.1 0.1 0.2\n14.2 nan 0.2\n"
                         << "line 4: 'nan' is not a number";
    QTest::newRow("inf") << head + "14.1 0.1 0.2\n14.2 0.1 -inf\n"
                         << "line 4: '-inf' is not a number";
    QTest::newRow("comma decimal") << head + "14,1 0,1 0,2\n14,2 0,1 0,2\n"
                                   << "line 3: '14,1' is not a number";
    QTest::newRow("word") << head + "14.1 0.1 0.2\n14.2 0.1x 0.2\n"
                          << "line 4: '0.1x' is not a number";
    QTest::newRow("too few") << head + "14.1 0.1 0.2\n14.2 0.1\n"
                             << "line 4: too few fields";
    QTest::newRow("too many") << head + "14.1 0.1 0.2 0.3\n"
                              << "line 3: too many fields";
    QTest::newRow("no option line") << std::string("14.1 0.1 0.2\n") << "line 1: data before the option line";
    QTest::newRow("H parameters") << std::string("# MHz H RI\n") << "line 1: H parameters";
    QTest::newRow("R without ohms") << std::string("# MHz S RI R\n") << "line 1: the option line's R";
    QTest::newRow("R of 0") << std::string("# MHz S RI R 0\n") << "line 1: the option line's R";
    QTest::newRow("unknown token") << std::string("# MHz S XY\n") << "line 1: the option line's 'XY'";
    QTest::newRow("version 2 count") << "[Version] 2.0\n[Number of Ports] 1\n[Number of Frequencies] 3\n" + head +
                                            "14.1 0.1 0.2\n14.2 0.1 0.2\n"
                                     << "line 3: [Number of Frequencies] gives 3, but the data hold 2";
}

void TestTouchstone::brokenFilesAreRefusedWithTheirLine()
{
    QFETCH(std::string, text);
    QFETCH(QString, expected);
    // Two-port records name their file so; the rest are one-port files.
    const std::string name = text.find(" 0.5 -20 0.5 -20 ") != std::string::npos ? "sweep.s2p" : "sweep.s1p";
    const auto read = touchstone::readSweep(text, name);
    QVERIFY(std::holds_alternative<std::string>(read));
    const QString problem = QString::fromStdString(std::get<std::string>(read));
    QVERIFY2(problem.startsWith(QString::fromStdString(name)) && problem.contains(expected), qPrintable(problem));
}

void TestTouchstone::theModelsSweepReadsBackAsWritten()
{
    std::vector<touchstone::Sample> samples;
    for (int i = 0; i < 13; ++i) {
        const double mhz = 13.774 + 0.071 * i;
        samples.push_back({mhz, feedAt(mhz)});
    }
    samples.push_back({14.7, {1e-3, -4000.0}}); // far off resonance: every digit still counts
    const std::vector<std::string> comments{"Tarvelin 14.200 MHz", "a second\nline"};
    const std::string text = touchstone::writeSweep(comments, samples, 75.0);
    QVERIFY(text.starts_with("! Tarvelin 14.200 MHz\n! a second line\n# MHz S RI R 75\n13.774 "));
    const auto read = touchstone::readSweep(text, "model.s1p");
    QVERIFY(std::holds_alternative<touchstone::Sweep>(read));
    const auto &sweep = std::get<touchstone::Sweep>(read);
    QCOMPARE(sweep.referenceOhms, 75.0);
    QCOMPARE(sweep.samples.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        QCOMPARE(sweep.samples[i].mhz, samples[i].mhz);
        QVERIFY2(std::abs(sweep.samples[i].impedanceOhms - samples[i].impedanceOhms) <
                     1e-8 * std::abs(samples[i].impedanceOhms),
                 qPrintable(QString::number(i)));
    }
}

QTEST_GUILESS_MAIN(TestTouchstone)
#include "tst_touchstone.moc"
