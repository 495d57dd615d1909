// SPDX-License-Identifier: MIT
// The engine's side of the check: the deck of the 14.2 MHz design card by card, the structure's rules, the
// engine's real output read back (saved from real runs and cut down) and summarised, and the plan of a
// check's decks.
#include "core/check/checkrounds.h"
#include "core/document/checktable.h"
#include "core/nec/deck.h"
#include "core/nec/necoutput.h"

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
    void resultFailingItsChecksIsNoResult_data();
    void resultFailingItsChecksIsNoResult();
    void readsRealOutput();
    void refusesIncompleteOutput_data();
    void refusesIncompleteOutput();
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
