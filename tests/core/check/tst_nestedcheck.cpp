// SPDX-License-Identifier: MIT
// Each band of a quad of several bands checked from the drivers' N-port: the band's own frequencies, its own
// driver, the others ended as declared, read as a monoband check reads its sweep.
#include "core/check/idlewindows.h"
#include "core/study/nestedtune.h"
#include "core/check/nestedcheck.h"
#include "core/design/arraydesign.h"
#include "core/study/nestedstudy.h"
#include "support/runengine.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace tarvelin;

namespace {

// Runs every round of the study, each deck directly; gives how many decks ran. A round of more decks than
// engines ends the test program.
std::size_t runRounds(study::EngineRounds &study, int engines)
{
    std::size_t decks = 0;
    while (const std::optional<study::EngineRound> round = study.nextRound()) {
        if (round->decks.size() > static_cast<std::size_t>(engines))
            qFatal("a round of more decks than engines");
        std::vector<std::string> outputs;
        for (const std::string &deck : round->decks)
            outputs.push_back(runEngine(deck));
        decks += outputs.size();
        study.take(outputs);
    }
    return decks;
}

} // namespace

class TestNestedCheck : public QObject
{
    Q_OBJECT

private slots:
    void eachBandAsTheEngineRunsIt();
    void idleLineLengthsThatHarm();
    void sameOnAnyNumberOfEngines();
    void whatNestingDid();
};

// The 15 m band, the middle one, with the 20 and 10 m drivers left open: its summary from the N-port is the
// one the engine gives fed alone with those feeds open, and a sweep short of a band's frequencies is refused.
void TestNestedCheck::eachBandAsTheEngineRunsIt()
{
    design::NestedSettings layout;
    layout.layout = design::NestedLayout::Spider;
    const design::NestedGeometry spider = std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m")), 2, layout));
    design::CheckSettings settings;
    settings.lossless = true;
    settings.points = 7;
    const nec::NestedDeck deck = nec::nestedCheckDeck(spider, settings);
    const auto nports = std::get<std::vector<nec::NPort>>(nec::parseNPortOutput(runEngine(deck.text), deck.ports));
    const design::IdleEnd open{design::IdleEnd::Kind::Open, {}, true};
    auto checked = check::checkBands(spider, nports, open, settings);
    if (const auto *refusal = std::get_if<std::string>(&checked))
        QFAIL(refusal->c_str());
    const std::vector<check::BandCheck> &bands = std::get<std::vector<check::BandCheck>>(checked);
    QCOMPARE(bands.size(), std::size_t(3));
    const check::CheckSummary &fifteen = bands[1].summary;
    QCOMPARE(bands[1].band.name, std::string("15m"));
    QCOMPARE(fifteen.design.mhz, 21.225);

    // The same sweep run directly: the 15 m driver fed, the others open through a load no current passes.
    std::string direct = structureOf(deck);
    for (const std::size_t idle : {std::size_t(0), std::size_t(2)})
        direct += loadCard(deck.ports[idle], 1e12, 0.0);
    direct += "PT -1 0 0 0\n";
    for (const double mhz : design::sweepFrequencies(21.225, settings))
        direct +=
            "FR 0 1 0 0 " + std::to_string(mhz) + " 0\n" + sourceCard(deck.ports[1]) + "RP 0 1 2 1000 90 0 0 180\n";
    direct += "EN\n";
    std::vector<check::SweepPoint> points;
    const auto results = std::get<std::vector<nec::FrequencyResult>>(nec::parseNecOutput(runEngine(direct)));
    for (const nec::FrequencyResult &result : results)
        points.push_back(*check::sweepPointOf(result, settings.z0Ohms));
    const check::CheckSummary alone =
        check::summarise(points, check::designIndexOf(points, 21.225), settings.z0Ohms, std::nullopt, nullptr);
    QVERIFY(fifteen.resonanceMHz && alone.resonanceMHz);
    QVERIFY2(std::fabs(*fifteen.resonanceMHz - *alone.resonanceMHz) < 0.001,
             qPrintable(QStringLiteral("%1 against %2").arg(*fifteen.resonanceMHz).arg(*alone.resonanceMHz)));
    QVERIFY(std::fabs(fifteen.minSwr - alone.minSwr) < 0.005);
    QVERIFY(std::fabs(fifteen.design.frontToBackDb - alone.design.frontToBackDb) < 0.05);

    QVERIFY(std::holds_alternative<std::string>(
        check::checkBands(spider, std::span(nports).first(nports.size() - 1), open, settings)));
}

// The tuned two-element 20/15/10 m spider, its idle drivers ended through 50 ohm lines of velocity factor
// 0.66, open at the switch. Near 3.5 m the line looks open at 28.5 MHz and ruins 10 m, as independent models of
// such a quad show. Run directly with the line ends as loads, the middle of each of three windows the check
// names costs its band more than 3 dB of gain or F/B against closed feeds, and three lengths outside every
// window cost no band 1 dB, at any frequency of its sweep.
void TestNestedCheck::idleLineLengthsThatHarm()
{
    design::NestedSettings layout;
    layout.layout = design::NestedLayout::Spider;
    const design::NestedGeometry specified = std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m")), 2, layout));
    design::CheckSettings settings;
    settings.z0Ohms = 75.0;
    study::NestedTune tune(specified, settings, {}, tune::TuneSettings{}, 1);
    runRounds(tune, 1);
    QVERIFY(tune.result());
    const design::NestedGeometry &spider = tune.result()->tuned;

    settings.points = 3;
    settings.spanPercent = 0.5;
    const nec::NestedDeck deck = nec::nestedCheckDeck(spider, settings);
    const auto nports = std::get<std::vector<nec::NPort>>(nec::parseNPortOutput(runEngine(deck.text), deck.ports));
    const design::IdleEnd line = std::get<design::IdleEnd>(design::readIdleEnd("line:1m:50/0.66:open"));
    const std::vector<check::IdleLineWindow> windows = check::idleLineWindows(spider, nports, line, settings);
    QVERIFY(windows.size() >= 3);
    QVERIFY(std::any_of(windows.begin(), windows.end(), [](const check::IdleLineWindow &w) {
        return w.band == 2 && w.fromMetres < 3.5 && w.toMetres > 3.5 && w.toMetres - w.fromMetres < 0.5;
    }));

    // Band `fed` at `mhz`, the other drivers ended by `metres` of line, run directly: its gain forward and its
    // F/B.
    const auto direct = [&](std::size_t fed, double mhz, std::optional<double> metres) {
        std::string run = structureOf(deck);
        for (std::size_t idle = 0; idle < spider.bands.size() && metres; ++idle) {
            design::IdleEnd end = line;
            end.line.metres = *metres;
            const std::complex<double> z = *design::idleEndOhms(end, mhz, spider.bands[idle].designMHz);
            if (idle != fed)
                run += loadCard(deck.ports[idle], z.real(), z.imag());
        }
        run += "FR 0 1 0 0 " + std::to_string(mhz) + " 0\n" + sourceCard(deck.ports[fed]) +
               "RP 0 1 2 1000 90 0 0 180\nEN\n";
        const auto results = std::get<std::vector<nec::FrequencyResult>>(nec::parseNecOutput(runEngine(run)));
        const std::vector<nec::PatternPoint> &pattern = results.front().pattern;
        return std::pair{pattern[0].totalGainDbi, pattern[0].totalGainDbi - pattern[1].totalGainDbi};
    };
    // What `metres` of line costs the band at the worst of its frequencies, of its gain or its F/B.
    const auto harm = [&](std::size_t band, double metres) {
        double worst = -1e9;
        for (const double mhz : design::sweepFrequencies(spider.bands[band].designMHz, settings)) {
            const auto [closedGain, closedFrontToBack] = direct(band, mhz, std::nullopt);
            const auto [gain, frontToBack] = direct(band, mhz, metres);
            worst = std::max({worst, closedGain - gain, closedFrontToBack - frontToBack});
        }
        return worst;
    };
    // Three windows spread over the range the check searched, each at its middle.
    for (const std::size_t pick : {std::size_t(0), windows.size() / 2, windows.size() - 1}) {
        const check::IdleLineWindow &window = windows[pick];
        const double middle = (window.fromMetres + window.toMetres) / 2;
        const double cost = harm(window.band, middle);
        QVERIFY2(cost > 3.0, qPrintable(QStringLiteral("%1 dB at %2 m").arg(cost).arg(middle)));
    }
    const auto inWindow = [&windows](double metres) {
        return std::any_of(windows.begin(), windows.end(), [metres](const check::IdleLineWindow &w) {
            return metres >= w.fromMetres - 0.05 && metres <= w.toMetres + 0.05;
        });
    };
    for (const double metres : {1.5, 12.0, 30.0}) {
        QVERIFY(!inWindow(metres));
        for (std::size_t band = 0; band < spider.bands.size(); ++band) {
            const double cost = harm(band, metres);
            QVERIFY2(cost < 1.0, qPrintable(QStringLiteral("%1 dB on band %2 at %3 m").arg(cost).arg(band).arg(metres)));
        }
    }
}

// The check's frequencies shared over one engine or three, each run a deck of the same structure: every band's
// figures the same to the last digit. A deck segmented for its own frequencies alone would model other loops,
// and read another segment as a driver's feed.
void TestNestedCheck::sameOnAnyNumberOfEngines()
{
    design::NestedSettings layout;
    layout.layout = design::NestedLayout::Spider;
    const design::NestedGeometry spider = std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m,10m")), 2, layout));
    design::CheckSettings settings;
    settings.points = 5;
    const auto checkOn = [&](int engines) {
        study::NestedStudy study(spider, settings, {design::IdleEnd::Kind::Open, {}, true}, engines);
        const std::size_t decks = runRounds(study, engines);
        if (!study.bands())
            qFatal("%s", study.failure().value_or("no result").c_str());
        return std::pair{decks, *study.bands()};
    };
    const auto [oneDeck, one] = checkOn(1);
    const auto [threeDecks, three] = checkOn(6);
    // A deck a band, or two on six engines; each band's monoband design, a deck a band; and for the two bands
    // whose resonance lies below the sweep, a wider sweep of each, nested and alone.
    QCOMPARE(oneDeck, std::size_t(3 + 3 + 2 * 2));
    QCOMPARE(threeDecks, std::size_t(6 + 3 + 2 * 2));
    // The wider sweep finds what the sweep missed, its points marked as the wider round's.
    int widened = 0;
    for (const check::BandCheck &band : one)
        if (std::any_of(band.summary.points.begin(), band.summary.points.end(),
                        [](const check::SweepPoint &point) { return point.round == 2; })) {
            ++widened;
            QVERIFY(band.summary.resonanceMHz && *band.summary.resonanceMHz < band.summary.points[4].mhz);
        }
    QCOMPARE(widened, 2);
    for (std::size_t band = 0; band < one.size(); ++band) {
        QCOMPARE(three[band].summary.points.size(), one[band].summary.points.size());
        QCOMPARE(three[band].summary.resonanceMHz.has_value(), one[band].summary.resonanceMHz.has_value());
        for (std::size_t i = 0; i < one[band].summary.points.size(); ++i) {
            QCOMPARE(three[band].summary.points[i].resistanceOhms, one[band].summary.points[i].resistanceOhms);
            QCOMPARE(three[band].summary.points[i].frontToBackDb, one[band].summary.points[i].frontToBackDb);
        }
        QVERIFY(one[band].monoband && three[band].monoband);
        QCOMPARE(three[band].monoband->minSwrMHz, one[band].monoband->minSwrMHz);
    }
}

// Each band beside its own monoband design: the window's two-element design for 14.2 MHz resonates at 13.765
// MHz in an independent model of its loops, so the one for 14.175 MHz, its lengths in proportion, at 13.741;
// nested with 15 m on a spider, the 20 m band moves from there, and the check says by how much.
void TestNestedCheck::whatNestingDid()
{
    design::NestedSettings layout;
    layout.layout = design::NestedLayout::Spider;
    const design::NestedGeometry spider = std::get<design::NestedGeometry>(
        design::nestedGeometry(std::get<std::vector<design::Band>>(design::readBands("20m,15m")), 2, layout));
    design::CheckSettings settings;
    settings.spanPercent = 5;
    settings.points = 11;
    study::NestedStudy study(spider, settings, {}, 1);
    runRounds(study, 1);
    QVERIFY(study.bands());
    const check::BandCheck &twenty = study.bands()->front();
    QVERIFY(twenty.monoband && twenty.monoband->resonanceMHz && twenty.summary.resonanceMHz);
    QVERIFY2(std::fabs(*twenty.monoband->resonanceMHz - 13.765 * 14.175 / 14.2) < 0.001 * 14.175,
             qPrintable(QString::number(*twenty.monoband->resonanceMHz)));
    const std::optional<check::NestingShift> shift = check::nestingShift(twenty);
    QVERIFY(shift && shift->resonance);
    QCOMPARE(shift->fromMHz, *twenty.monoband->resonanceMHz);
    QCOMPARE(shift->toMHz, *twenty.summary.resonanceMHz);
}

QTEST_GUILESS_MAIN(TestNestedCheck)
#include "tst_nestedcheck.moc"
