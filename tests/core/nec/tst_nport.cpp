// SPDX-License-Identifier: MIT
// A nested quad's drivers as an N-port: one engine run with each driver excited in turn gives every ending of
// the idle drivers, which must agree with the engine run directly with those endings as loads.
#include "core/nec/nport.h"
#include "support/runengine.h"

#include <QTest>

#include <cmath>

using namespace tarvelin;

namespace {

// A load the engine takes for an open end: so large that no current to speak of flows through it.
constexpr double kOpenOhms = 1e12;

design::NestedGeometry threeBandSpider()
{
    design::NestedSettings settings;
    settings.layout = design::NestedLayout::Spider;
    return std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m")), 2, settings));
}

} // namespace

class TestNPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deckHoldsEveryLoopWhole_data();
    void deckHoldsEveryLoopWhole();
    void endingsAgreeWithDirectRuns_data();
    void endingsAgreeWithDirectRuns();

private:
    nec::NestedDeck m_deck;
    std::vector<nec::NPort> m_nports;
};

// Lossless, so the only loads in the direct runs are the endings themselves.
void TestNPort::initTestCase()
{
    design::CheckSettings settings;
    settings.lossless = true;
    const std::vector<double> frequencies{14.175, 21.225, 28.5};
    m_deck = nec::writeNestedDeck(threeBandSpider(), settings, frequencies, 28.5);
    QCOMPARE(m_deck.ports.size(), std::size_t(3));
    auto read = nec::parseNPortOutput(runEngine(m_deck.text), m_deck.ports);
    if (const auto *problem = std::get_if<nec::OutputProblem>(&read))
        QFAIL(problem->message.c_str());
    m_nports = std::get<std::vector<nec::NPort>>(read);
    QCOMPARE(m_nports.size(), frequencies.size());
    // Reciprocity: the current at one closed feed for a volt at another is the same both ways, but for the
    // engine's segments of other lengths on other loops; a current read from the wrong port is not.
    for (const nec::NPort &nport : m_nports)
        for (const auto &[i, j] : {std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 2}})
            QVERIFY(std::abs(nport.admittance[i][j] - nport.admittance[j][i]) <
                    0.05 * std::abs(nport.admittance[i][j]));
}

void TestNPort::deckHoldsEveryLoopWhole_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("wiresPerLoop");
    QTest::newRow("square") << int(design::LoopShape::Square) << 4;
    QTest::newRow("diamond") << int(design::LoopShape::Diamond) << 5;
}

// Each loop's wires add up to its design length, a diamond's feed wire across its bottom corner and all, and
// no segment is longer than a twentieth of a wavelength at the highest frequency of the deck; each frequency
// excites every band's driver at its feed.
void TestNPort::deckHoldsEveryLoopWhole()
{
    QFETCH(int, shape);
    QFETCH(int, wiresPerLoop);
    design::NestedSettings settings;
    settings.layout = design::NestedLayout::Spider;
    settings.shape = static_cast<design::LoopShape>(shape);
    const design::NestedGeometry spider = std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m")), 2, settings));
    const std::vector<double> frequencies{14.175, 29.0};
    const nec::NestedDeck deck = nec::writeNestedDeck(spider, design::CheckSettings{}, frequencies, 29.0);
    std::vector<double> wire;
    double longestSegment = 0.0;
    int excitations = 0;
    for (const QString &line : QString::fromStdString(deck.text).split(QLatin1Char('\n'))) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.value(0) == QLatin1String("EX"))
            ++excitations;
        if (f.value(0) != QLatin1String("GW"))
            continue;
        const double length = std::hypot(f[6].toDouble() - f[3].toDouble(), f[7].toDouble() - f[4].toDouble(),
                                         f[8].toDouble() - f[5].toDouble());
        if (f[1].toInt() % wiresPerLoop == 1)
            wire.push_back(0.0);
        wire.back() += length;
        longestSegment = std::max(longestSegment, length / f[2].toInt());
    }
    QCOMPARE(wire.size(), spider.loops.size());
    for (std::size_t i = 0; i < wire.size(); ++i)
        QVERIFY2(std::fabs(wire[i] - 4 * spider.loops[i].sideMetres) < 1e-4, qPrintable(QString::number(wire[i])));
    QVERIFY(longestSegment <= 299.792458 / 29.0 / 20);
    QCOMPARE(excitations, 2 * 3);
    for (std::size_t band = 0; band < 3; ++band)
        QCOMPARE(deck.ports[band].tag, (2 * static_cast<int>(band) + 1) * wiresPerLoop + 1);
}

void TestNPort::endingsAgreeWithDirectRuns_data()
{
    QTest::addColumn<int>("fed");
    QTest::addColumn<QList<double>>("ends"); // resistance, reactance per port; a resistance below 0 is open
    const QList<double> closed{0, 0, 0, 0, 0, 0};
    const QList<double> open{-1, 0, -1, 0, -1, 0};
    const QList<double> loaded{50, 0, 0, 150, 10, -400};
    for (int fed = 0; fed < 3; ++fed) {
        QTest::addRow("band %d, idle closed", fed) << fed << closed;
        QTest::addRow("band %d, idle open", fed) << fed << open;
        QTest::addRow("band %d, idle through loads", fed) << fed << loaded;
    }
}

// Each band fed at its design frequency; the direct run ends the idle feeds with loads on their segments.
void TestNPort::endingsAgreeWithDirectRuns()
{
    QFETCH(int, fed);
    QFETCH(QList<double>, ends);
    std::vector<nec::PortEnd> portEnds;
    std::string loads;
    for (std::size_t p = 0; p < 3; ++p) {
        const double r = ends[static_cast<qsizetype>(2 * p)];
        const double x = ends[static_cast<qsizetype>(2 * p + 1)];
        portEnds.push_back(r < 0 ? nec::PortEnd() : nec::PortEnd(std::complex<double>(r, x)));
        if (static_cast<int>(p) != fed && (r != 0 || x != 0))
            loads += loadCard(m_deck.ports[p], r < 0 ? kOpenOhms : r, x);
    }
    const nec::NPort &nport = m_nports[static_cast<std::size_t>(fed)];
    const nec::PortFigures figures = nec::fedWith(nport, static_cast<std::size_t>(fed), portEnds);

    const std::string direct = structureOf(m_deck) + loads + "FR 0 1 0 0 " + std::to_string(nport.mhz) + " 0\n" +
                               sourceCard(m_deck.ports[static_cast<std::size_t>(fed)]) +
                               "RP 0 1 2 1000 90 0 0 180\nEN\n";
    auto read = nec::parseNecOutput(runEngine(direct));
    if (const auto *problem = std::get_if<nec::OutputProblem>(&read))
        QFAIL(problem->message.c_str());
    const nec::FrequencyResult &run = std::get<std::vector<nec::FrequencyResult>>(read).front();
    const QString said = QStringLiteral("N-port %1 %2j ohms, %3 / %4 dBi; direct %5 %6j, %7 / %8")
                             .arg(figures.feedOhms.real())
                             .arg(figures.feedOhms.imag(), 0, 'f', 3)
                             .arg(figures.forwardGainDbi)
                             .arg(figures.backGainDbi)
                             .arg(run.resistanceOhms)
                             .arg(run.reactanceOhms, 0, 'f', 3)
                             .arg(run.pattern[0].totalGainDbi)
                             .arg(run.pattern[1].totalGainDbi);
    QVERIFY2(std::abs(figures.feedOhms - std::complex<double>(run.resistanceOhms, run.reactanceOhms)) < 0.1,
             qPrintable(said));
    QVERIFY2(std::fabs(figures.forwardGainDbi - run.pattern[0].totalGainDbi) < 0.05, qPrintable(said));
    QVERIFY2(std::fabs(figures.backGainDbi - run.pattern[1].totalGainDbi) < 0.05, qPrintable(said));
}

QTEST_GUILESS_MAIN(TestNPort)
#include "tst_nport.moc"
