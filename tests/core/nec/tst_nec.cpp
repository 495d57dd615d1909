// SPDX-License-Identifier: MIT
// The antenna check's core: the deck of the 14.2 MHz design card by card, the engine's real output read back
// (saved from real runs and cut down), and the summary's arithmetic.
#include "core/check/checkrounds.h"
#include "core/check/checksummary.h"
#include "core/document/checktable.h"
#include "core/measure/measured.h"
#include "core/nec/deck.h"
#include "core/nec/necoutput.h"
#include "core/format/jsonwriter.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdio>

using namespace tarvelin::design;
using namespace tarvelin::nec;
using namespace tarvelin::check;
using namespace tarvelin::measure;
using namespace tarvelin::document;
using tarvelin::design::swrOf;

namespace {

tarvelin::design::ArrayGeometry design(const char *frequency, int elements = tarvelin::design::kMostElements)
{
    auto geometry = tarvelin::design::geometryFor(frequency, elements);
    if (!std::holds_alternative<tarvelin::design::ArrayGeometry>(geometry))
        qFatal("refused");
    return std::get<tarvelin::design::ArrayGeometry>(geometry);
}

QStringList cards(const std::string &deck, const QString &kind)
{
    QStringList found;
    for (const QString &line : QString::fromStdString(deck).split(QLatin1Char('\n')))
        if (line.startsWith(kind + QLatin1Char(' ')))
            found << line;
    return found;
}

std::string fixture(const char *name)
{
    QFile file(QStringLiteral(TARVELIN_NEC_FIXTURES "/%1").arg(QLatin1StringView(name)));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no fixture %s", name);
    return file.readAll().toStdString();
}

tarvelin::check::SweepPoint point(double mhz, double r, double x, double swr)
{
    tarvelin::check::SweepPoint p;
    p.mhz = mhz;
    p.resistanceOhms = r;
    p.reactanceOhms = x;
    p.swr = swr;
    return p;
}

} // namespace

class TestNec : public QObject
{
    Q_OBJECT

private slots:
    void deckForTwentyMetres();
    void deckOptions();
    void deckIgnoresTheLocale();
    void deckCarriesOnlyItsCards_data();
    void deckCarriesOnlyItsCards();
    void structure_data();
    void structure();
    void settingsReadAgainstTheirLimits_data();
    void settingsReadAgainstTheirLimits();
    void resultFailingItsChecksIsNoResult_data();
    void resultFailingItsChecksIsNoResult();
    void sweepIsCentred();
    void readsRealOutput();
    void refusesIncompleteOutput_data();
    void refusesIncompleteOutput();
    void swr_data();
    void swr();
    void verdict_data();
    void verdict();
    void sensitivityKeepsItsDigits_data();
    void sensitivityKeepsItsDigits();
    void pointOverGround();
    void beyondTheEnginesFloor();
    void verdictHoldsTheGoalsShown_data();
    void verdictHoldsTheGoalsShown();
    void verdictOpensWithWhatToDo_data();
    void verdictOpensWithWhatToDo();
    void planSharesTheSweep();
};

// Sides and stations in metres from the grid's inches: the reflector's side 222.887 in is 5.6613 m, half of
// it 2.830665 m; the driven element stands 157.986 in = 4.012844 m behind it.
void TestNec::deckForTwentyMetres()
{
    const std::vector<double> sweep{13.774, 13.845};
    const std::string deck = writeDeck(design("14.2"), CheckSettings{}, {sweep, false});
    QVERIFY(deck.starts_with("CM Tarvelin "));
    QVERIFY(deck.find("for 14.200 MHz\n") != std::string::npos);
    QVERIFY(deck.find("\nCE\n") != std::string::npos);

    const QStringList wires = cards(deck, QStringLiteral("GW"));
    QCOMPARE(wires.size(), 28);
    QCOMPARE(wires[0], QStringLiteral("GW 1 11 0.000000 -2.830665 -2.830665 0.000000 2.830665 -2.830665 0.001025"));
    QCOMPARE(wires[1], QStringLiteral("GW 2 11 0.000000 2.830665 -2.830665 0.000000 2.830665 2.830665 0.001025"));
    QCOMPARE(wires[3], QStringLiteral("GW 4 11 0.000000 -2.830665 2.830665 0.000000 -2.830665 -2.830665 0.001025"));
    // The driven loop, tags 5 to 8, its side 217.606 in = 5.527192 m; its bottom is tag 5.
    QCOMPARE(wires[4], QStringLiteral("GW 5 11 4.012844 -2.763596 -2.763596 4.012844 2.763596 -2.763596 0.001025"));
    // Director 5 at 157.986 + 5 x 129.866 = 807.316 in = 20.505826 m.
    QVERIFY(wires[27].startsWith(QStringLiteral("GW 28 11 20.505826 ")));

    QCOMPARE(cards(deck, QStringLiteral("GE")), QStringList{QStringLiteral("GE 0")});
    QCOMPARE(cards(deck, QStringLiteral("LD")), QStringList{QStringLiteral("LD 5 0 0 0 5.8E+07")});
    QCOMPARE(cards(deck, QStringLiteral("EX")), QStringList{QStringLiteral("EX 0 5 6 0 1.0 0.0")});
    QCOMPARE(cards(deck, QStringLiteral("FR")), QStringList{QStringLiteral("FR 0 2 0 0 13.774 0.071")});
    QCOMPARE(cards(deck, QStringLiteral("RP")), QStringList{QStringLiteral("RP 0 1 37 1000 90 0 0 5")});
    QVERIFY(cards(deck, QStringLiteral("GN")).isEmpty());
    QVERIFY(deck.ends_with("EN\n"));
}

// A window's toolkit sets the numeric locale from the environment; under one with a decimal comma the deck
// must still be the engine's, card for card. The locale is built for the test where the system can.
void TestNec::deckIgnoresTheLocale()
{
    QTemporaryDir locales;
    QProcess build;
    build.start(QStringLiteral("localedef"),
                {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
                 locales.filePath(QStringLiteral("de_DE.UTF-8"))});
    if (!build.waitForFinished(60000) || build.exitCode() != 0)
        QSKIP("no locale with a decimal comma can be built here");
    CheckSettings settings;
    settings.insulationMm = 0.4;
    settings.groundHeightMetres = 15.0;
    const std::vector<double> sweep{14.2, 14.3};
    const std::string inC = writeDeck(design("14.2"), settings, {sweep, true});
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    const QByteArray previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("the locale built cannot be used");
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 14.2);
    const std::string inGerman = writeDeck(design("14.2"), settings, {sweep, true});
    std::setlocale(LC_NUMERIC, previous.constData());
    qunsetenv("LOCPATH");
    QCOMPARE(QByteArray(text), QByteArray("14,2")); // the locale is one with a comma
    QCOMPARE(inGerman, inC);
}

void TestNec::deckOptions()
{
    CheckSettings settings;
    settings.segments = 21;
    settings.wireDiameterMm =
        tarvelin::design::awgDiameterMm(14); // 0.127 x 92^(22/39) = 1.6278 mm, radius 0.00081386 m
    settings.lossless = true;
    settings.groundHeightMetres = 15.0;
    const std::vector<double> sweep{14.2};
    const std::string deck = writeDeck(design("14.2"), settings, {sweep, true});
    QVERIFY(std::fabs(settings.wireDiameterMm - 1.628) < 0.001);
    QVERIFY(cards(deck, QStringLiteral("LD")).isEmpty());
    QCOMPARE(cards(deck, QStringLiteral("EX")), QStringList{QStringLiteral("EX 0 5 11 0 1.0 0.0")});
    QCOMPARE(cards(deck, QStringLiteral("GE")), QStringList{QStringLiteral("GE 1")});
    QCOMPARE(cards(deck, QStringLiteral("GN")), QStringList{QStringLiteral("GN 2 0 0 0 13 0.005")});
    // The reflector's bottom 15 - 2.830665 m above ground, its top 15 + 2.830665 m.
    QCOMPARE(cards(deck, QStringLiteral("GW"))[0],
             QStringLiteral("GW 1 21 0.000000 -2.830665 12.169335 0.000000 2.830665 12.169335 0.000813863"));
    // Elevations 1 to 60 degrees, theta from 30 to 89, and 0.1 to 3 degrees a tenth apart, theta from 87 to
    // 89.9; then the azimuth cut at every whole elevation.
    QCOMPARE(cards(deck, QStringLiteral("RP")),
             (QStringList{QStringLiteral("RP 0 60 37 1000 30 0 1 5"), QStringLiteral("RP 0 30 37 1000 87.0 0 0.1 5"),
                          QStringLiteral("RP 0 60 73 1000 30 0 1 5")}));

    // A quarter-wave section's source wire, a hundredth of a wavelength long, is held to the rule every segment
    // is: at 144 MHz, 20.8 mm of it, so no thicker than 2.6 mm in radius, whatever the loops' 20 mm wire.
    CheckSettings thick;
    thick.wireDiameterMm = 20.0;
    thick.match = tarvelin::design::Match{tarvelin::design::MatchKind::QuarterWave, 75.0, 0.66, {}};
    const QStringList source =
        cards(writeDeck(design("144", 2), thick, {std::vector<double>{144.0}, false}), QStringLiteral("GW"))
            .last()
            .split(QLatin1Char(' '));
    const double length = source[8].toDouble() - source[5].toDouble();
    QVERIFY2(std::fabs(length - 0.01 * 299.792458 / 144.0) < 1e-5, qPrintable(source.join(QLatin1Char(' '))));
    QVERIFY2(source[9].toDouble() * tarvelin::design::kAccurateSegmentRadii <=
                 length * (1.0 + 1e-4), // to the card's digits
             qPrintable(source.join(QLatin1Char(' '))));
}

// Whatever the frequency text holds, the deck holds the number read from it and nothing else of the text:
// no card of its own, and no line longer than a card.
void TestNec::deckCarriesOnlyItsCards_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::newRow("a card after a line end") << "14.2\nEX 0 1 6 0 1.0 0.0\nCM";
    QTest::newRow("a carriage return") << "14.2\rGE 1";
    QTest::newRow("a long text") << "14.2 " + QString(200, QLatin1Char('x'));
}

void TestNec::deckCarriesOnlyItsCards()
{
    QFETCH(QString, frequency);
    const std::vector<double> sweep{14.2};
    const std::string deck = writeDeck(design(frequency.toUtf8().constData()), CheckSettings{}, {sweep, true});
    QCOMPARE(cards(deck, QStringLiteral("EX")).size(), 1);
    QCOMPARE(cards(deck, QStringLiteral("GE")), QStringList{QStringLiteral("GE 0")});
    QVERIFY(deck.find('\r') == std::string::npos);
    for (const QString &line : QString::fromStdString(deck).split(QLatin1Char('\n')))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    QVERIFY(deck.starts_with("CM Tarvelin " TARVELIN_VERSION ": seven-element cubical quad for 14.200 MHz\n"));
}

// What NEC-2's thin-wire model cannot take is refused before the engine runs; what it takes less reliably
// is warned of. At 14.2 MHz Director 5's side is 4.751 m (187.034 in), in 51 segments of 93.15 mm.
void TestNec::structure_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<double>("wireMm");
    QTest::addColumn<int>("segments");
    QTest::addColumn<double>("groundMetres"); // 0: free space
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("warning");
    QTest::newRow("the design as it is") << "14.2" << 2.05 << 11 << 0.0 << QString() << QString();
    QTest::newRow("wire thicker than its segments")
        << "5000" << 99.0 << 11 << 0.0 << "NEC-2 cannot model 99.00 mm" << QString();
    QTest::newRow("segments under 8 radii of 15 mm")
        << "14.2" << 30.0 << 51 << 0.0 << QString() << "Segments of 93.15 mm";
    QTest::newRow("loops below ground") << "14.2" << 2.05 << 11 << 1.0 << "The boom height must be more than half"
                                        << QString();
    QTest::newRow("loops above ground") << "14.2" << 2.05 << 11 << 2.84 << QString() << QString();
    // Far up, a side of a few tenths of an inch rounded to the thousandth is no longer the loop the formulas give.
    QTest::newRow("rounding far up") << "20000" << 0.05 << 5 << 0.0 << QString() << QString();
    QTest::newRow("rounding coarse beside the loops")
        << "40000" << 0.05 << 5 << 0.0 << QString()
        << "At 40000.000 MHz a thousandth of an inch is coarse: rounding to it moves Director 3, Director 4, Director "
           "5 by up to 0.91 %";
}

void TestNec::structure()
{
    QFETCH(QString, frequency);
    QFETCH(double, wireMm);
    QFETCH(int, segments);
    QFETCH(double, groundMetres);
    QFETCH(QString, refusal);
    QFETCH(QString, warning);
    CheckSettings settings;
    settings.wireDiameterMm = wireMm;
    settings.segments = segments;
    if (groundMetres > 0)
        settings.groundHeightMetres = groundMetres;
    const tarvelin::design::StructureCheck check = checkStructure(design(frequency.toUtf8().constData()), settings);
    QCOMPARE(check.refusal.has_value(), !refusal.isEmpty());
    if (check.refusal)
        QVERIFY2(QString::fromStdString(*check.refusal).startsWith(refusal), check.refusal->c_str());
    QCOMPARE(check.warnings.size(), warning.isEmpty() ? 0U : 1U);
    if (!warning.isEmpty())
        QVERIFY2(QString::fromStdString(check.warnings.front()).startsWith(warning), check.warnings.front().c_str());
}

// Each setting is read from its text against its limits, and a refusal names the setting and states the
// limits; an empty text is the default.
void TestNec::settingsReadAgainstTheirLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refused"); // -1: read
    QTest::newRow("defaults") << ""
                              << "" << -1;
    QTest::newRow("thinnest wire") << "wire"
                                   << "0.1" << -1;
    QTest::newRow("wire too thin") << "wire"
                                   << "0.09" << int(CheckSetting::WireDiameter);
    QTest::newRow("wire as a word") << "wire"
                                    << "thick" << int(CheckSetting::WireDiameter);
    QTest::newRow("gauge 30") << "awg"
                              << "30" << int(CheckSetting::Awg);
    QTest::newRow("even segments") << "segments"
                                   << "12" << int(CheckSetting::Segments);
    QTest::newRow("most segments") << "segments"
                                   << "51" << -1;
    QTest::newRow("span of 50 %") << "span"
                                  << "50" << int(CheckSetting::Span);
    QTest::newRow("even points") << "points"
                                 << "4" << int(CheckSetting::Points);
    QTest::newRow("10000 ohms") << "z0"
                                << "10000" << int(CheckSetting::Z0);
    QTest::newRow("75 ohms") << "z0"
                             << "75" << -1;
    QTest::newRow("boom in the ground") << "height"
                                        << "0 m" << int(CheckSetting::GroundHeight);
    QTest::newRow("boom at 1000 m") << "height"
                                    << "1000 m" << int(CheckSetting::GroundHeight);
    QTest::newRow("boom at 50 ft") << "height"
                                   << "50 ft" << -1;
}

void TestNec::settingsReadAgainstTheirLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, refused);
    tarvelin::design::CheckSettingTexts texts;
    const std::string typed = text.toStdString();
    if (field == "wire")
        texts.wireMm = typed;
    else if (field == "awg")
        texts.awg = typed;
    else if (field == "segments")
        texts.segments = typed;
    else if (field == "span")
        texts.span = typed;
    else if (field == "points")
        texts.points = typed;
    else if (field == "z0")
        texts.z0 = typed;
    else if (field == "height")
        texts.groundHeight = typed;
    auto read = readCheckSettings(texts);
    if (refused < 0) {
        QVERIFY(std::holds_alternative<CheckSettings>(read));
        return;
    }
    QVERIFY(std::holds_alternative<tarvelin::design::CheckSettingRefusal>(read));
    const tarvelin::design::CheckSettingRefusal &refusal = std::get<tarvelin::design::CheckSettingRefusal>(read);
    QCOMPARE(int(refusal.setting), refused);
    // The message states the limits it holds the setting to.
    QVERIFY2(refusal.message.find(" to ") != std::string::npos || refusal.message.find("below") != std::string::npos,
             refusal.message.c_str());
}

// A figure no wire antenna can have means the engine's solution broke down there: at the design frequency no
// figures at all, and why; elsewhere that frequency is left out of the sweep and named.
void TestNec::resultFailingItsChecksIsNoResult_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("leftOut");
    QTest::newRow("as computed") << QByteArray() << QByteArray() << QString() << QString();
    QTest::newRow("negative efficiency below the design")
        << QByteArray("93.89 Percent") << QByteArray("-5.75 Percent") << QString() << "a wire efficiency of -5.75 %";
    QTest::newRow("negative resistance below the design")
        << QByteArray("5.3004E+01") << QByteArray("-5.3004E+01") << QString() << "a feed resistance of -53.0040 ohms";
    QTest::newRow("next to no resistance")
        << QByteArray("5.3004E+01") << QByteArray("1.0000E-30") << QString() << "a feed resistance of 0.0000 ohms";
    QTest::newRow("at the design frequency")
        << QByteArray("92.32 Percent") << QByteArray("204.00 Percent") << "a wire efficiency of 204.00 %" << QString();
}

void TestNec::resultFailingItsChecksIsNoResult()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, problem);
    QFETCH(QString, leftOut);
    CheckSettings settings;
    settings.points = 3;
    const tarvelin::check::AnalysisPlan plan = tarvelin::check::planAnalysis(design("14.2"), settings, 1);
    QByteArray output = QByteArray::fromStdString(fixture("sweep3.out"));
    if (!from.isEmpty())
        output.replace(from, to);
    auto read = readOutputs(plan, {output.toStdString()}, settings);
    if (problem.isEmpty()) {
        QVERIFY(std::holds_alternative<tarvelin::check::SweepOutputs>(read));
        const tarvelin::check::SweepOutputs &sweep = std::get<tarvelin::check::SweepOutputs>(read);
        QCOMPARE(sweep.points.size(), std::size_t(leftOut.isEmpty() ? 3 : 2));
        QCOMPARE(sweep.leftOut.size(), std::size_t(leftOut.isEmpty() ? 0 : 1));
        if (!leftOut.isEmpty()) {
            QCOMPARE(QString::fromStdString(sweep.leftOut.front().why), leftOut);
            QCOMPARE(sweep.leftOut.front().mhz, 14.058);
            QCOMPARE(sweep.points[designIndexOf(sweep.points, 14.2)].mhz, 14.2);
        }
        return;
    }
    QVERIFY(std::holds_alternative<OutputProblem>(read));
    QVERIFY2(QString::fromStdString(std::get<OutputProblem>(read).message).contains(problem),
             std::get<OutputProblem>(read).message.c_str());
}

void TestNec::sweepIsCentred()
{
    CheckSettings settings;
    const std::vector<double> sweep = sweepFrequencies(14.2, settings);
    QCOMPARE(sweep.size(), std::size_t(13));
    QCOMPARE(sweep[6], 14.2);
    QVERIFY(std::fabs(sweep.front() - 13.774) < 1e-9);
    QVERIFY(std::fabs(sweep.back() - 14.626) < 1e-9);
}

// Three frequencies and the azimuth cut of a real run at 14.2 MHz, +-1 %.
void TestNec::readsRealOutput()
{
    auto parsed = parseNecOutput(fixture("sweep3.out"));
    QVERIFY(std::holds_alternative<std::vector<FrequencyResult>>(parsed));
    const auto &blocks = std::get<std::vector<FrequencyResult>>(parsed);
    QCOMPARE(blocks.size(), std::size_t(4));
    QCOMPARE(blocks[0].mhz, 14.058);
    QCOMPARE(blocks[0].resistanceOhms, 53.004);
    QCOMPARE(blocks[0].reactanceOhms, 40.436);
    QCOMPARE(blocks[0].efficiencyPercent, std::optional<double>(93.89));
    QCOMPARE(blocks[0].pattern.size(), std::size_t(2));
    QCOMPARE(blocks[3].pattern.size(), std::size_t(73)); // 0 to 360 degrees in 5 degree steps

    const std::optional<tarvelin::check::SweepPoint> first = tarvelin::check::sweepPointOf(blocks[0], 50.0);
    QVERIFY(first);
    QCOMPARE(first->gainDbi, 10.95);
    QVERIFY(std::fabs(first->frontToBackDb - 20.25) < 1e-9); // 10.95 - (-9.30)
    QVERIFY(!first->elevationDegrees);
}

void TestNec::refusesIncompleteOutput_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no source card") << QByteArray::fromStdString(fixture("noex.out")) << "no feed impedance";
    QTest::newRow("truncated") << QByteArray::fromStdString(fixture("truncated.out")) << "no radiation pattern";
    QByteArray garbled = QByteArray::fromStdString(fixture("sweep3.out"));
    garbled.replace("5.3004E+01", "5.3004E+0x");
    QTest::newRow("garbled impedance") << garbled << "does not read as numbers";
    QTest::newRow("empty") << QByteArray() << "no frequency";
}

// What the engine did not compute is never shown as a number.
void TestNec::refusesIncompleteOutput()
{
    QFETCH(QByteArray, output);
    QFETCH(QString, problem);
    auto parsed = parseNecOutput(output.toStdString());
    QVERIFY(std::holds_alternative<OutputProblem>(parsed));
    QVERIFY2(QString::fromStdString(std::get<OutputProblem>(parsed).message).contains(problem),
             std::get<OutputProblem>(parsed).message.c_str());
}

void TestNec::swr_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("z0");
    QTest::addColumn<double>("swr");
    QTest::newRow("matched") << 50.0 << 0.0 << 50.0 << 1.0;
    QTest::newRow("matched, 75 ohms") << 75.0 << 0.0 << 75.0 << 1.0;
    QTest::newRow("twice the line") << 100.0 << 0.0 << 50.0 << 2.0;
    QTest::newRow("half the line") << 25.0 << 0.0 << 50.0 << 2.0;
    // 45.666 - j24.136 against 50: |G| = |(-4.334 - j24.136) / (95.666 - j24.136)| = 24.522 / 98.664
    // = 0.24854, SWR 1.24854 / 0.75146 = 1.66147.
    QTest::newRow("first point of 14.2 MHz") << 45.666 << -24.136 << 50.0 << 1.66147;
    QTest::newRow("pure reactance") << 0.0 << 30.0 << 50.0 << qInf();
}

void TestNec::swr()
{
    QFETCH(double, r);
    QFETCH(double, x);
    QFETCH(double, z0);
    QFETCH(double, swr);
    const double got = swrOf(r, x, z0);
    if (std::isinf(swr))
        QVERIFY(std::isinf(got));
    else
        QVERIFY2(std::fabs(got - swr) < 1e-4, qPrintable(QString::number(got)));
}

// A sweep from 13.9 to 14.3 MHz in steps of 0.1 on a 50 ohm line: R 50 ohms throughout, X rising as
// `slope` (f - `resonance`), the design at 14.1 MHz. Such X is its own parabola, so the interpolated figures
// are exact: the SWR is 2 where |X| = sqrt(10000 / 8) = 35.3553 ohms.
std::vector<tarvelin::check::SweepPoint> sweepThrough(double resonance, double slope, std::vector<double> fb)
{
    std::vector<tarvelin::check::SweepPoint> points;
    for (int i = 0; i < 5; ++i) {
        const double f = 13.9 + 0.1 * i;
        tarvelin::check::SweepPoint p = point(f, 50.0, slope * (f - resonance), 0.0);
        p.swr = swrOf(p.resistanceOhms, p.reactanceOhms, 50.0);
        p.frontToBackDb = fb[static_cast<std::size_t>(i)];
        points.push_back(p);
    }
    return points;
}

void TestNec::verdict_data()
{
    QTest::addColumn<double>("resonance");
    QTest::addColumn<double>("slope");
    QTest::addColumn<QList<double>>("fb");
    QTest::addColumn<double>("minSwrMHz");
    QTest::addColumn<double>("swr2Low"); // 0: outside the sweep; -1: no 2:1 band at all
    QTest::addColumn<double>("swr2High");
    QTest::addColumn<double>("fb20Low");
    QTest::addColumn<double>("fb20High");
    QTest::addColumn<double>("reversal"); // 0: none
    const double edge = std::sqrt(10000.0 / 8.0);
    // Resonance and the lowest SWR between two points; F/B 18 -> 25 crosses 20 at 2/7 of the step.
    QTest::newRow("between points") << 14.05 << 300.0 << QList<double>{10, 18, 25, 22, 15} << 14.05
                                    << 14.05 - edge / 300 << 14.05 + edge / 300 << 14.0 + 0.2 / 7 << 14.2 + 0.2 / 7
                                    << 0.0;
    // A resonance between two kHz: the cut-as-for comes from it as it is, never from it rounded to the kHz.
    QTest::newRow("between kHz") << 14.0505 << 300.0 << QList<double>{10, 18, 25, 22, 15} << 14.0505
                                 << 14.0505 - edge / 300 << 14.0505 + edge / 300 << 14.0 + 0.2 / 7 << 14.2 + 0.2 / 7
                                 << 0.0;
    // The high 2:1 edge at 14.368 lies beyond the sweep; F/B falls through 0 at 14.14.
    QTest::newRow("edge outside") << 14.25 << 300.0 << QList<double>{15, 10, 2, -3, -8} << 14.25 << 14.25 - edge / 300
                                  << 0.0 << -1.0 << -1.0 << 14.14;
    // Every point is at SWR 2.2, yet the curve between 14.0 and 14.1 dips to 1.
    QTest::newRow("dip between points") << 14.05 << 800.0 << QList<double>{21, 22, 23, 24, 25} << 14.05
                                        << 14.05 - edge / 800 << 14.05 + edge / 800 << 0.0 << 0.0 << 0.0;
    QTest::newRow("never below 2:1") << 15.0 << 300.0 << QList<double>{1, 2, 3, 2, 1} << 14.3 << -1.0 << -1.0 << -1.0
                                     << -1.0 << 0.0;
}

// The verdict read between the sweep's points, and an edge outside the sweep given as none.
void TestNec::verdict()
{
    QFETCH(double, resonance);
    QFETCH(double, slope);
    QFETCH(QList<double>, fb);
    QFETCH(double, minSwrMHz);
    QFETCH(double, swr2Low);
    QFETCH(double, swr2High);
    QFETCH(double, fb20Low);
    QFETCH(double, fb20High);
    QFETCH(double, reversal);
    const CheckSummary summary =
        summarise(sweepThrough(resonance, slope, {fb.begin(), fb.end()}), 2, 50.0, 93.0, nullptr);
    const auto close = [](std::optional<double> got, double want, double tolerance) {
        if (want == 0.0)
            return !got.has_value();
        return got && std::fabs(*got - want) < tolerance;
    };
    const bool inSweep = resonance < 14.3;
    QVERIFY(close(summary.resonanceMHz, inSweep ? resonance : 0.0, 1e-9));
    QCOMPARE(summary.design.mhz, 14.1);
    if (inSweep) {
        QVERIFY(close(summary.detunePercent, (resonance - 14.1) / 14.1 * 100, 1e-9));
        QVERIFY(close(summary.cutAsForMHz, 14.1 * 14.1 / resonance, 1e-9));
        QVERIFY2(summary.minSwr < 1.001, qPrintable(QString::number(summary.minSwr)));
    }
    QVERIFY(std::fabs(summary.minSwrMHz - minSwrMHz) < 5e-4);
    if (swr2Low < 0) {
        QVERIFY(!summary.swr2MHz);
    } else {
        QVERIFY(summary.swr2MHz);
        QVERIFY(close(summary.swr2MHz->lowMHz, swr2Low, 1e-6));
        QVERIFY(close(summary.swr2MHz->highMHz, swr2High, 1e-6));
    }
    if (fb20Low < 0) {
        QVERIFY(!summary.fb20MHz);
    } else {
        QVERIFY(summary.fb20MHz);
        QVERIFY(close(summary.fb20MHz->lowMHz, fb20Low, 1e-9));
        QVERIFY(close(summary.fb20MHz->highMHz, fb20High, 1e-9));
    }
    QVERIFY(close(summary.reversalMHz, reversal, 1e-9));
    // A resonance 0.35 % low is no cause for a warning; 1.06 % high is, and so is none in the sweep.
    QCOMPARE(verdictWarnings(summary).size(), std::size_t(resonance > 14.2 ? 1 : 0));
}

void TestNec::sensitivityKeepsItsDigits_data()
{
    QTest::addColumn<double>("khzPerInch");
    QTest::addColumn<QString>("text");
    QTest::newRow("20 m") << -14.5 << "-14.5 kHz per inch more driven loop (-5.7 kHz per cm)";
    // Below 1 kHz an inch the unit is the hertz, never "-0.0 kHz".
    QTest::newRow("below 1 MHz") << -0.046 << "-46.0 Hz per inch more driven loop (-18.1 Hz per cm)";
    QTest::newRow("far below") << -0.0004 << "-0.40 Hz per inch more driven loop (-0.16 Hz per cm)";
}

void TestNec::sensitivityKeepsItsDigits()
{
    QFETCH(double, khzPerInch);
    QFETCH(QString, text);
    CheckSummary summary = summarise(sweepThrough(14.05, 300.0, {10, 18, 25, 22, 15}), 2, 50.0, 93.0, nullptr);
    summary.sensitivityKhzPerInch = khzPerInch;
    const tarvelin::format::ResultTable verdict = verdictTable(summary, 50.0);
    const auto row = std::find_if(verdict.rows.begin(), verdict.rows.end(),
                                  [](const auto &cells) { return cells[0].text == "Cutting sensitivity"; });
    QVERIFY(row != verdict.rows.end());
    QCOMPARE(QString::fromStdString((*row)[1].text), text);
}

// Over ground: the take-off angle between the elevations asked for, and F/R against the strongest lobe of
// the rear half rather than straight back.
void TestNec::pointOverGround()
{
    FrequencyResult result;
    result.mhz = 14.2;
    result.resistanceOhms = 50.0;
    // Elevations 14, 13 and 12 degrees: forward 10, 11 and 10.5 dBi; the parabola g = -0.75 x^2 + 0.25 x (x
    // in degrees of theta from 77) peaks at x = 1/6, 1/6 degree nearer the ground than 13, at 11 + 1/48 dBi.
    for (const auto &[theta, forward] : {std::pair{76.0, 10.0}, {77.0, 11.0}, {78.0, 10.5}})
        for (const auto &[phi, gain] : {std::pair{0.0, forward}, {90.0, -5.0}, {135.0, 1.0}, {180.0, -8.0}})
            result.pattern.push_back({theta, phi, gain});
    const std::optional<tarvelin::check::SweepPoint> p = tarvelin::check::sweepPointOf(result, 50.0);
    QVERIFY(p);
    QVERIFY2(std::fabs(p->gainDbi - (11.0 + 1.0 / 48)) < 1e-9, qPrintable(QString::number(p->gainDbi)));
    QCOMPARE(p->frontToBackDb, 19.0);
    QCOMPARE(p->frontToRearDb, 10.0);
    QVERIFY(p->elevationDegrees);
    QVERIFY2(std::fabs(*p->elevationDegrees - (13.0 - 1.0 / 6)) < 1e-9,
             qPrintable(QString::number(*p->elevationDegrees)));
}

// nec2c writes -999.99 dBi where a pattern has no field: an F/B over it is beyond any figure, shown as such and
// written as no number, with the reason beside it, never as 1010 dB. An SWR beyond 99 is shown the same way.
void TestNec::beyondTheEnginesFloor()
{
    FrequencyResult result;
    result.mhz = 14.2;
    result.resistanceOhms = 0.5; // against 50 ohms: SWR 100
    for (const auto &[phi, gain] : {std::pair{0.0, 10.5}, {135.0, -2.0}, {180.0, -999.99}})
        result.pattern.push_back({90.0, phi, gain});
    const std::optional<tarvelin::check::SweepPoint> p = tarvelin::check::sweepPointOf(result, 50.0);
    QVERIFY(p);
    QVERIFY(std::isinf(p->frontToBackDb));
    QCOMPARE(p->frontToRearDb, 12.5);

    const CheckSummary summary = tarvelin::check::summarise({*p}, 0, 50.0, 93.0, nullptr);
    const tarvelin::format::ResultTable table = checkTable(summary, "14.2");
    const std::vector<tarvelin::format::TableCell> &row = table.rows.front();
    const auto cell = [&](const char *key) {
        const auto column = std::find_if(table.columns.begin(), table.columns.end(),
                                         [key](const tarvelin::format::TableColumn &c) { return c.key == key; });
        return row[static_cast<std::size_t>(column - table.columns.begin())];
    };
    QCOMPARE(QString::fromStdString(cell("fb_db").text), QStringLiteral("> 999"));
    QVERIFY(!cell("fb_db").number);
    QCOMPARE(cell("fr_db").number, std::optional(12.5));
    QCOMPARE(QString::fromStdString(cell("swr").text), QStringLiteral("> 99"));
    QCOMPARE(QString::fromStdString(cell("note").text),
             QStringLiteral("no F/B: the back is below the engine's floor of -999 dB"));

    std::string json;
    tarvelin::format::JsonWriter writer(json);
    writeCheckJson(writer, "14.2", summary, {});
    QVERIFY2(json.find("\"fb_db\": null") != std::string::npos, json.c_str());
    QVERIFY2(json.find("1010") == std::string::npos, json.c_str());

    const tarvelin::format::ResultTable verdict = verdictTable(summary, 50.0);
    QStringList shown;
    for (const auto &cells : verdict.rows)
        shown << QString::fromStdString(cells[1].text);
    QVERIFY2(shown.contains(QStringLiteral("> 999 dB; goal 20 dB or more: met")),
             qPrintable(shown.join(QLatin1Char('|'))));
    QVERIFY2(shown.contains(QStringLiteral("> 99 on a 50 \u03a9 line; goal 1.5 or less: missed")),
             qPrintable(shown.join(QLatin1Char('|'))));
}

// The verdict marks the SWR and the F/B against the goals set beside the tune, whatever they are: a
// two-element quad with SWR 1.8 and F/B 12 dB meets 2.0 and 10 dB, and misses the defaults.
void TestNec::verdictHoldsTheGoalsShown_data()
{
    QTest::addColumn<double>("maxSwr");
    QTest::addColumn<double>("minFb");
    QTest::addColumn<QString>("swrRow");
    QTest::addColumn<QString>("fbRow");
    QTest::newRow("the defaults") << tarvelin::check::kSwrGoal << tarvelin::check::kFrontToBackGoalDb
                                  << "1.80 on a 50 \u03a9 line; goal 1.5 or less: missed"
                                  << "12.00 dB; goal 20 dB or more: missed";
    QTest::newRow("a two-element quad's") << 2.0 << 10.0 << "1.80 on a 50 \u03a9 line; goal 2 or less: met"
                                          << "12.00 dB; goal 10 dB or more: met";
    QTest::newRow("to a quarter") << 1.25 << 12.5 << "1.80 on a 50 \u03a9 line; goal 1.25 or less: missed"
                                  << "12.00 dB; goal 12.5 dB or more: missed";
}

void TestNec::verdictHoldsTheGoalsShown()
{
    QFETCH(double, maxSwr);
    QFETCH(double, minFb);
    QFETCH(QString, swrRow);
    QFETCH(QString, fbRow);
    tarvelin::check::SweepPoint point;
    point.mhz = 28.5;
    point.resistanceOhms = 90.0;
    point.swr = 1.8;
    point.frontToBackDb = 12.0;
    const tarvelin::format::ResultTable verdict =
        verdictTable(tarvelin::check::summarise({point}, 0, 50.0, 95.0, nullptr), 50.0, nullptr, Goals{maxSwr, minFb});
    QCOMPARE(QString::fromStdString(verdict.rows[0][1].text), swrRow);
    QCOMPARE(QString::fromStdString(verdict.rows[2][1].text), fbRow);
}

// The verdict opens with one line of what to do: the measured sweep's trim where it gives one, else the
// model's cut; then whether the goals are met.
void TestNec::verdictOpensWithWhatToDo_data()
{
    QTest::addColumn<double>("measuredDetune"); // 0: no measured sweep
    QTest::addColumn<QString>("drivenTrim");
    QTest::addColumn<double>("swr");
    QTest::addColumn<QString>("headline");
    QTest::newRow("the model's cut")
        << 0.0 << QString() << 1.2
        << "Cut the loops as for 14.532 MHz. The F/B goal is missed at the design frequency.";
    QTest::newRow("a measured trim")
        << -3.76 << "shorten 32-3/4\" (8-3/16\" a side)" << 2.0
        << "Shorten every loop 3.76 %: the driven loop 32-3/4\" (8-3/16\" a side). Both goals are missed at the "
           "design frequency.";
    QTest::newRow("nothing to trim") << 0.01 << "leave as cut" << 1.2
                                     << "Leave the loops as cut. The F/B goal is missed at the design frequency.";
}

void TestNec::verdictOpensWithWhatToDo()
{
    QFETCH(double, measuredDetune);
    QFETCH(QString, drivenTrim);
    QFETCH(double, swr);
    QFETCH(QString, headline);
    CheckSummary summary;
    tarvelin::check::SweepPoint point;
    point.mhz = 14.2;
    point.swr = swr;
    point.frontToBackDb = 14.0;
    summary.points = {point};
    summary.design = point;
    summary.cutAsForMHz = 14.532;
    MeasuredSweep measured;
    measured.detunePercent = measuredDetune;
    measured.drivenTrim = drivenTrim.toStdString();
    QCOMPARE(
        QString::fromStdString(verdictHeadline(summary, measuredDetune != 0.0 ? &measured : nullptr, Goals{1.5, 20.0})),
        headline);
}

// Every sweep frequency in exactly one deck, in order, and the azimuth cut in the last; each frequency on a
// card of its own, written alike however many engines share the sweep, so no engine works at a frequency it
// added up from its deck's first.
void TestNec::planSharesTheSweep()
{
    const tarvelin::check::AnalysisPlan plan = tarvelin::check::planAnalysis(design("14.2"), CheckSettings{}, 2);
    QCOMPARE(plan.decks.size(), std::size_t(2));
    QCOMPARE(plan.pointCount, (std::vector<std::size_t>{7, 6}));
    QCOMPARE(cards(plan.decks[1], QStringLiteral("FR")).size(), 7);
    QCOMPARE(cards(plan.decks[0], QStringLiteral("FR")).first(), QStringLiteral("FR 0 1 0 0 13.774 0"));
    QCOMPARE(cards(plan.decks[1], QStringLiteral("FR")).first(), QStringLiteral("FR 0 1 0 0 14.271 0"));
    const auto allCards = [](const tarvelin::check::AnalysisPlan &shared) {
        QStringList all;
        for (const std::string &deck : shared.decks)
            all << cards(deck, QStringLiteral("FR")) << cards(deck, QStringLiteral("RP"));
        all.sort();
        return all;
    };
    const tarvelin::check::AnalysisPlan many = tarvelin::check::planAnalysis(design("14.2"), CheckSettings{}, 64);
    QCOMPARE(many.decks.size(), std::size_t(13));
    QCOMPARE(allCards(many), allCards(plan));
    QCOMPARE(allCards(tarvelin::check::planAnalysis(design("14.2"), CheckSettings{}, 1)), allCards(plan));
}

QTEST_GUILESS_MAIN(TestNec)
#include "tst_nec.moc"
