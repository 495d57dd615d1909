// SPDX-License-Identifier: MIT
// The studies on a stand-in engine: the rounds a check plans from what its sweep found, a tune's rounds over
// the engines, and what a failure, the time limit and Cancel leave; and a deck of two structures on the real
// engine.
#include "core/study/study.h"

#include "core/nec/deck.h"
#include "core/nec/enginejob.h"
#include "core/nec/necoutput.h"
#include "support/calclauncher.h"

#include "support/standinengine.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <tuple>
#include <thread>

using namespace tarvelin;
using namespace tarvelin::design;
using namespace tarvelin::nec;
using namespace tarvelin::check;
using namespace tarvelin::tune;
using namespace tarvelin::study;

Q_DECLARE_METATYPE(tarvelin::tune::TuneEnd)

namespace {

tarvelin::design::ArrayGeometry twentyMetres()
{
    return std::get<tarvelin::design::ArrayGeometry>(tarvelin::design::geometryFor("14.2"));
}

// The specified design for 14.2 MHz, modelled with `settings`.
tarvelin::design::Design twentyMetresWith(const tarvelin::design::CheckSettings &settings)
{
    Design design = std::get<Design>(specifiedDesign("14.2"));
    design.settings = settings;
    return design;
}

// The frequencies of a round's decks, as the stand-in reads them.
std::vector<double> frequenciesOf(const std::string &deck)
{
    std::vector<double> all;
    for (const standin::Deck::Sweep &sweep : standin::readDeck(deck).sweeps)
        all.insert(all.end(), sweep.mhz.begin(), sweep.mhz.end());
    return all;
}

// A finished check on the stand-in, whose resonance lies 2 % below the design frequency.
tarvelin::check::CheckSummary checked(int processes)
{
    Study check(twentyMetresWith(CheckSettings{}), processes);
    standin::Launcher engine;
    driveStudy(check, engine, {});
    return *check.check();
}

} // namespace

class TestStudy : public QObject
{
    Q_OBJECT

private slots:
    void checkPlansItsSecondRound();
    void cuttingSensitivityWhereverTheResonanceLies_data();
    void cuttingSensitivityWhereverTheResonanceLies();
    void checkFailureGivesNothing();
    void checkCloseToTheGround_data();
    void checkCloseToTheGround();
    void tuneKeepsEveryEngineBusy();
    void tuneIsTheSameOnEveryMachine();
    void joinedDeckReadsAsItsDecks();
    void tuneEnds_data();
    void tuneEnds();
    void tuneTimeLimitCoversItsCheck();
    void progressCountsWhatRan();
};

// The sweep, over both engines, finds the resonance but not the 2:1 band's lower edge: the second round
// sweeps further down, and lengthens the driven loop around the resonance for the cutting sensitivity.
void TestStudy::checkPlansItsSecondRound()
{
    const tarvelin::design::ArrayGeometry geometry = twentyMetres();
    Study study(twentyMetresWith(CheckSettings{}), 2);
    standin::Launcher engine;
    bool ended = false;
    driveStudy(study, engine, [&ended] { ended = true; });
    QVERIFY(ended);
    QVERIFY(study.ended());
    QVERIFY(!study.failure());
    QCOMPARE(engine.rounds.size(), std::size_t(2));

    const tarvelin::study::EngineRound &sweep = engine.rounds[0];
    QCOMPARE(sweep.decks.size(), std::size_t(2));
    QCOMPARE(sweep.frequencies, 13);
    QCOMPARE(frequenciesOf(sweep.decks[0]).size() + frequenciesOf(sweep.decks[1]).size(), std::size_t(13 + 1));

    const tarvelin::study::EngineRound &verdict = engine.rounds[1];
    QCOMPARE(verdict.decks.size(), std::size_t(2));
    const std::vector<double> wider = frequenciesOf(verdict.decks[0]);
    QVERIFY(!wider.empty());
    QVERIFY2(wider.front() < 14.2 * 0.97 && wider.back() < 14.2 * 0.97, qPrintable(QString::number(wider.back())));
    const std::vector<double> around = frequenciesOf(verdict.decks[1]);
    QCOMPARE(verdict.frequencies, static_cast<int>(wider.size() + around.size()));

    const tarvelin::check::CheckSummary &summary = *study.check();
    QVERIFY(summary.swr2MHz && summary.swr2MHz->lowMHz && summary.swr2MHz->highMHz);
}

// The cutting sensitivity wherever the resonance lies: in the sweep, or beyond its edge, where the wider
// sweep finds it and the lengthened loop's may lie between that sweep's steps and the edge.
void TestStudy::cuttingSensitivityWhereverTheResonanceLies_data()
{
    QTest::addColumn<double>("resonanceShare");
    QTest::newRow("in the sweep") << 0.98;
    QTest::newRow("just below the sweep") << 0.965;
    QTest::newRow("just above the sweep") << 1.035;
}

void TestStudy::cuttingSensitivityWhereverTheResonanceLies()
{
    QFETCH(double, resonanceShare);
    const tarvelin::design::ArrayGeometry geometry = twentyMetres();
    Study study(twentyMetresWith(CheckSettings{}), 2);
    standin::Launcher engine;
    engine.resonanceShare = resonanceShare;
    driveStudy(study, engine, {});
    QVERIFY(study.check());
    const tarvelin::check::CheckSummary &summary = *study.check();
    const double resonance = resonanceShare * 78.486 / geometry.sidesMetres[1];
    QVERIFY2(std::fabs(*summary.resonanceMHz - resonance) < 1e-3, qPrintable(QString::number(*summary.resonanceMHz)));
    // A driven loop 0.5 % longer resonates 0.5 % lower; the loop is four sides long.
    const double addedInches =
        4.0 * geometry.sidesMetres[1] * tarvelin::check::kSensitivityStep / tarvelin::design::kMetresPerInch;
    const double expected = (resonance / (1.0 + tarvelin::check::kSensitivityStep) - resonance) * 1000.0 / addedInches;
    QVERIFY2(summary.sensitivityKhzPerInch, summary.noSensitivity.c_str());
    QVERIFY2(std::fabs(*summary.sensitivityKhzPerInch / expected - 1.0) < 0.01,
             qPrintable(QString::number(*summary.sensitivityKhzPerInch)));
}

void TestStudy::checkFailureGivesNothing()
{
    Study study(twentyMetresWith(CheckSettings{}), 2);
    standin::Launcher engine;
    engine.failAt = 2;
    driveStudy(study, engine, {});
    QVERIFY(study.ended());
    QVERIFY(!study.check());
    QCOMPARE(*study.failure(), engine.failure);
}

// Within a fifth of a wavelength of the ground the verdict's round solves the design frequency again with
// finer segments, and the verdict says so where the feed impedance does not hold.
void TestStudy::checkCloseToTheGround_data()
{
    QTest::addColumn<double>("heightMetres");
    QTest::addColumn<double>("ohmsPerSegment");
    QTest::addColumn<bool>("finer");
    QTest::addColumn<bool>("note");
    QTest::newRow("well above the ground") << 8.0 << 1.0 << false << false;
    QTest::newRow("close, the solution holds") << 6.0 << 0.0 << true << false;
    QTest::newRow("close, the solution moves") << 6.0 << 1.0 << true << true;
}

void TestStudy::checkCloseToTheGround()
{
    QFETCH(double, heightMetres);
    QFETCH(double, ohmsPerSegment);
    QFETCH(bool, finer);
    QFETCH(bool, note);
    CheckSettings settings;
    settings.groundHeightMetres = heightMetres;
    Study study(twentyMetresWith(settings), 2);
    standin::Launcher engine;
    engine.ohmsPerSegment = ohmsPerSegment;
    driveStudy(study, engine, {});
    QVERIFY(study.check());
    QCOMPARE(engine.rounds.size(), std::size_t(2));
    const std::string &last = engine.rounds[1].decks.back();
    QCOMPARE(standin::readDeck(last).segments, finer ? 2 * settings.segments - 1 : settings.segments);
    if (finer)
        QCOMPARE(frequenciesOf(last), std::vector<double>{14.2});
    QCOMPARE(QString::fromStdString(study.ranText()).contains(QStringLiteral("1 with finer segments")), finer);
    const std::vector<std::string> &notes = study.check()->modelNotes;
    QCOMPARE(notes.size(), std::size_t(note ? 1 : 0));
    if (note)
        QVERIFY2(notes.front().find(
                     "with 21 segments a side the feed impedance at 14.200 MHz is 71+j41 ohms, not 61+j41.") !=
                     std::string::npos,
                 notes.front().c_str());
}

// A round's band frequencies are shared over the engines as evenly as they go: a round of one design gives
// them three and two, one of two designs five each. A design counts as tried once all its band frequencies
// were modelled.
void TestStudy::tuneKeepsEveryEngineBusy()
{
    const ArrayGeometry geometry = twentyMetres();
    TuneSettings tune;
    tune.designLimit = 0;
    Study study(twentyMetresWith(CheckSettings{}), 2, tune, checked(2));
    standin::Launcher engine;
    driveStudy(study, engine, {});
    QVERIFY(study.tuned());
    QVERIFY(!study.failure());
    const int evaluations = study.tuned()->evaluations;
    QCOMPARE(frequenciesOf(engine.rounds.front().decks[0]).size(), std::size_t(3));
    std::map<std::vector<double>, std::set<double>> modelled; // each design's sides, and its frequencies
    std::vector<std::size_t> sizes;                           // the second engine's share of each round
    for (std::size_t r = 0; r + 2 < engine.rounds.size(); ++r) {
        const EngineRound &round = engine.rounds[r];
        QCOMPARE(round.decks.size(), std::size_t(2));
        std::vector<std::size_t> asked;
        for (const std::string &deck : round.decks) {
            asked.push_back(frequenciesOf(deck).size());
            for (const std::string &structure : standin::structuresOf(deck)) {
                const standin::Deck read = standin::readDeck(structure);
                for (const standin::Deck::Sweep &sweep : read.sweeps)
                    modelled[read.sidesMetres].insert(sweep.mhz.begin(), sweep.mhz.end());
            }
        }
        QCOMPARE(static_cast<std::size_t>(round.frequencies), asked[0] + asked[1]);
        QVERIFY(asked[0] - asked[1] <= 1);
        sizes.push_back(asked[1]);
    }
    QVERIFY(std::find(sizes.begin(), sizes.end(), std::size_t(kBandPoints)) != sizes.end());
    const auto tried = std::count_if(modelled.begin(), modelled.end(),
                                     [](const auto &design) { return design.second.size() == kBandPoints; });
    QCOMPARE(tried, evaluations);

    // The tuned loops cut 0.1 % long and 0.1 % short, which are no tries.
    const EngineRound &cutOff = engine.rounds[engine.rounds.size() - 2];
    QCOMPARE(cutOff.frequencies, 2 * kBandPoints);
    const std::vector<double> tuned = scaledGeometry(geometry, study.tuned()->factors).sidesMetres;
    for (const auto &[deck, scale] : {std::pair{0, 1.001}, std::pair{1, 0.999}}) {
        const std::vector<double> sides = standin::readDeck(cutOff.decks[deck]).sidesMetres;
        for (std::size_t i = 0; i < sides.size(); ++i)
            QVERIFY2(std::fabs(sides[i] / (tuned[i] * scale) - 1.0) < 1e-5, qPrintable(QString::number(sides[i])));
    }
    QVERIFY(study.tuned()->tolerance);

    // The figures the tune gives for its design are those the design gives modelled alone.
    const AnalysisPlan alone = planSweep(scaledGeometry(geometry, study.tuned()->factors), CheckSettings{},
                                         bandFrequencies(geometry.designMHz, tune), false, 1);
    const auto read = readOutputs(alone, {standin::output(alone.decks.front())}, CheckSettings{});
    const BandFigures figures = bandFigures(std::get<SweepOutputs>(read).points, geometry.designMHz);
    QCOMPARE(study.tuned()->after.swr, figures.swr);
    QCOMPARE(study.tuned()->after.frontToBackDb, figures.frontToBackDb);
    QCOMPARE(study.tuned()->after.design.gainDbi, figures.design.gainDbi);

    // Last, the tuned loops over the check's own sweep, to be drawn beside the specified design's.
    const EngineRound &sweep = engine.rounds.back();
    QCOMPARE(sweep.frequencies, CheckSettings{}.points);
    QVERIFY2(std::fabs(standin::readDeck(sweep.decks.front()).sidesMetres[1] / tuned[1] - 1.0) < 1e-5,
             "the tuned driven loop");
    QVERIFY(study.tunedCheck());
    QCOMPARE(study.tunedCheck()->points.size(), std::size_t(CheckSettings{}.points));
    QCOMPARE(study.tunedCheck()->design.gainDbi, study.tuned()->after.design.gainDbi);
}

// The cores decide only how many engines share a round, never what is modelled: one, two, three, four or
// sixteen engines model the same designs in the same rounds, down to the text of every frequency's card,
// and end at the same loops.
void TestStudy::tuneIsTheSameOnEveryMachine()
{
    const ArrayGeometry geometry = twentyMetres();
    const CheckSummary check = checked(1);
    // Each round as the engines were asked it: every frequency's card with the loops it was asked of,
    // however the round was shared into decks; and whether a deck held two designs.
    const auto tune = [&](int processes) {
        Study study(twentyMetresWith(CheckSettings{}), processes, TuneSettings{}, check);
        standin::Launcher engine;
        driveStudy(study, engine, {});
        std::vector<std::multiset<std::string>> rounds;
        bool joined = false;
        for (const EngineRound &round : engine.rounds) {
            std::multiset<std::string> asked;
            for (const std::string &deck : round.decks) {
                const std::vector<std::string> structures = standin::structuresOf(deck);
                joined = joined || structures.size() > 1;
                for (const std::string &structure : structures) {
                    std::istringstream lines(structure);
                    std::string loops;
                    for (std::string card; std::getline(lines, card);) {
                        if (card.starts_with("GW"))
                            loops += card + "\n";
                        else if (card.starts_with("FR"))
                            asked.insert(loops + card);
                    }
                }
            }
            rounds.push_back(std::move(asked));
        }
        return std::tuple{rounds, *study.tuned(), joined};
    };
    const auto [oneRounds, one, oneJoined] = tune(1);
    QVERIFY(one.evaluations > 20);
    for (const int processes : {2, 3, 4, 16}) {
        const auto [rounds, tuned, joined] = tune(processes);
        if (processes == 3)
            QVERIFY(joined); // a run of frequencies that spans two designs
        QVERIFY(rounds == oneRounds);
        QCOMPARE(tuned.factors, one.factors);
        QCOMPARE(tuned.evaluations, one.evaluations);
        QCOMPARE(tuned.after.design.gainDbi, one.after.design.gainDbi);
        QCOMPARE(tuned.after.swr, one.after.swr);
    }
}

// The engine models the structures of a joined deck each as if alone, and its output comes apart into
// what each deck alone gives.
void TestStudy::joinedDeckReadsAsItsDecks()
{
    if (std::holds_alternative<EngineMissing>(findEngine()))
        QSKIP("nec2c is not installed here");
    const ArrayGeometry geometry = twentyMetres();
    const LoopFactors longer(geometry.elementCount(), 1.01);
    const std::vector<double> band = bandFrequencies(geometry.designMHz, TuneSettings{});
    DeckRequest upper;
    upper.sweepMHz = std::span<const double>(band).subspan(3, 2);
    DeckRequest lowest;
    lowest.sweepMHz = std::span<const double>(band).subspan(0, 1);
    const std::vector<std::string> decks{writeDeck(geometry, CheckSettings{}, upper),
                                         writeDeck(scaledGeometry(geometry, longer), CheckSettings{}, lowest)};
    const EngineOutputs ran = calcLauncher().run({{joinedDeck(decks), decks[0], decks[1]}, 3, kEngineTimeLimit});
    const auto *outputs = std::get_if<std::vector<std::string>>(&ran);
    if (!outputs)
        QFAIL(std::get<EngineFailure>(ran).message.c_str());
    const auto split = splitNecOutput((*outputs)[0], 2);
    QVERIFY(std::holds_alternative<std::vector<std::string_view>>(split));
    for (std::size_t k = 0; k < 2; ++k) {
        const auto joined = parseNecOutput(std::get<std::vector<std::string_view>>(split)[k]);
        const auto alone = parseNecOutput((*outputs)[k + 1]);
        QVERIFY(std::holds_alternative<std::vector<FrequencyResult>>(joined));
        QVERIFY(std::holds_alternative<std::vector<FrequencyResult>>(alone));
        const auto &got = std::get<std::vector<FrequencyResult>>(joined);
        const auto &expected = std::get<std::vector<FrequencyResult>>(alone);
        QCOMPARE(got.size(), k == 0 ? std::size_t(2) : std::size_t(1));
        QCOMPARE(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i].mhz, expected[i].mhz);
            QCOMPARE(got[i].resistanceOhms, expected[i].resistanceOhms);
            QCOMPARE(got[i].reactanceOhms, expected[i].reactanceOhms);
            QCOMPARE(got[i].pattern.size(), expected[i].pattern.size());
            for (std::size_t p = 0; p < got[i].pattern.size(); ++p)
                QCOMPARE(got[i].pattern[p].totalGainDbi, expected[i].pattern[p].totalGainDbi);
        }
    }
    // An output with another count of structures than the deck had is refused.
    QVERIFY(std::holds_alternative<OutputProblem>(splitNecOutput((*outputs)[1], 2)));
}

// An engine's failure or the time limit in the middle of a tune, or Cancel, leave the best design before it.
void TestStudy::tuneEnds_data()
{
    QTest::addColumn<bool>("timeLimit");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<TuneEnd>("end");
    QTest::newRow("the engine fails") << false << false << TuneEnd::EngineFailure;
    QTest::newRow("a round reaches the time limit") << true << false << TuneEnd::TimeLimit;
    QTest::newRow("Cancel") << false << true << TuneEnd::Cancelled;
}

void TestStudy::tuneEnds()
{
    QFETCH(bool, timeLimit);
    QFETCH(bool, cancel);
    QFETCH(TuneEnd, end);
    const ArrayGeometry geometry = twentyMetres();
    Study study(twentyMetresWith(CheckSettings{}), 2, TuneSettings{}, checked(2));
    standin::Launcher engine;
    engine.failAt = cancel ? 0 : 5;
    engine.failWithTimeLimit = timeLimit;
    for (int round = 0; round < 4; ++round) {
        const std::optional<EngineRound> next = study.nextRound();
        QVERIFY(next);
        engine.start(*next, [&study](EngineOutputs outputs) { study.take(std::move(outputs)); });
    }
    if (cancel)
        study.cancel();
    else
        driveStudy(study, engine, {});
    QVERIFY(study.ended());
    QVERIFY(!study.nextRound());
    QVERIFY(study.tuned());
    QCOMPARE(study.tuned()->end, end);
    QCOMPARE(study.tuned()->evaluations, 1 + 1 + 2); // the specified design, the shared start, a round of two
    QVERIFY(study.tuned()->after.design.gainDbi >= study.tuned()->before.design.gainDbi);
    if (end == TuneEnd::EngineFailure)
        QCOMPARE(*study.failure(), engine.failure);
    else
        QVERIFY(!study.failure());
}

// A tune's time limit bounds its check too: a check's engine that hangs there is stopped with the tune's
// limit, not after the engine's own five minutes, and the tune says there is nothing tuned.
void TestStudy::tuneTimeLimitCoversItsCheck()
{
    const ArrayGeometry geometry = twentyMetres();
    Study check(twentyMetresWith(CheckSettings{}), 2);
    QCOMPARE(check.nextRound()->timeLimit, kEngineTimeLimit);

    TuneSettings settings;
    settings.timeLimitSeconds = 5;
    Study tune(twentyMetresWith(CheckSettings{}), 2, settings);
    const std::optional<EngineRound> first = tune.nextRound();
    QVERIFY(first);
    QVERIFY(first->timeLimit >= std::chrono::seconds(1) && first->timeLimit <= std::chrono::seconds(5));
    standin::Launcher engine;
    engine.failAt = 1;
    engine.failWithTimeLimit = true;
    driveStudy(tune, engine, {});
    QVERIFY(tune.ended());
    QVERIFY(!tune.tuned());
    QCOMPARE(*tune.failure(), std::string("The tune reached its time limit of 5 s before the design as specified "
                                          "was modelled, so nothing was tuned. Allow it more time."));

    // The time a tune says it took is the time its limit counts: its check among it.
    struct SlowCheck final : EngineLauncher
    {
        standin::Launcher engine;
        void start(const EngineRound &round, std::function<void(EngineOutputs)> done) override
        {
            if (engine.rounds.empty())
                std::this_thread::sleep_for(std::chrono::seconds(1));
            engine.start(round, std::move(done));
        }
        void cancel() override {}
    } slow;
    settings.designLimit = 4;
    Study timed(twentyMetresWith(CheckSettings{}), 2, settings);
    driveStudy(timed, slow, {});
    QVERIFY(timed.tuned());
    QVERIFY2(timed.tuned()->seconds >= 1.0, qPrintable(QString::number(timed.tuned()->seconds)));
}

void TestStudy::progressCountsWhatRan()
{
    const ArrayGeometry geometry = twentyMetres();
    Study check(twentyMetresWith(CheckSettings{}), 2);
    QVERIFY(check.nextRound());
    QCOMPARE(check.progress(5).text, std::string("5 of 13 frequencies"));
    QCOMPARE(check.progress(99).value, 13);
    check.cancel(5);
    QCOMPARE(check.ranText(), std::string("Cancelled after 5 of 13 frequencies"));

    Study tune(twentyMetresWith(CheckSettings{}), 2, TuneSettings{}, checked(2));
    standin::Launcher engine;
    for (int round = 0; round < 3; ++round)
        engine.start(*tune.nextRound(), [&tune](EngineOutputs outputs) { tune.take(std::move(outputs)); });
    QCOMPARE(tune.progress(0).text, std::string("3 designs tried")); // the specified, the shared start, one more
    tune.cancel();
    QCOMPARE(tune.ranText(), std::string("Cancelled after 3 designs tried"));
    QCOMPARE(tune.tuned()->evaluations, 3);

    // Cancelled with only the specified design modelled, there is nothing tuned to show.
    Study early(twentyMetresWith(CheckSettings{}), 2, TuneSettings{}, checked(2));
    engine.start(*early.nextRound(), [&early](EngineOutputs outputs) { early.take(std::move(outputs)); });
    early.cancel();
    QCOMPARE(early.ranText(), std::string("Cancelled after 1 design tried"));
    QVERIFY(!early.tuned());
}

QTEST_APPLESS_MAIN(TestStudy)
#include "tst_study.moc"
