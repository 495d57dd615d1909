// SPDX-License-Identifier: MIT
#include "core/document/bandstune.h"

#include "core/design/designlengths.h"
#include "core/document/bandscheck.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

namespace tarvelin::document {

namespace {

std::string signedPercent(double factor)
{
    const double percent = (factor - 1.0) * 100.0;
    return (percent >= 0 ? "+" : "") + format::fixedText(percent, 2) + " %";
}

std::string bandSpan(const tune::TuneSettings &tune)
{
    return "±" + design::shortestText(tune.bandPercent) + " %";
}

// "met", or what the band misses: "SWR 2.31 over 1.5; F/B 17.2 dB under 20".
std::string goalsText(const study::BandTuning &band, const tune::TuneSettings &tune)
{
    std::string missed;
    if (!band.swrMet(tune))
        missed += "SWR " + check::swrText(band.after.worstSwr(), 2) + " over " + design::shortestText(tune.maxSwr);
    if (!band.frontToBackMet(tune))
        missed += (missed.empty() ? "" : "; ") + std::string("F/B ") +
                  format::fixedText(band.after.lowestFrontToBackDb(), 1) + " dB under " +
                  design::shortestText(tune.minFrontToBackDb);
    return missed.empty() ? "met" : missed;
}

std::string outcomeText(const study::NestedTuneResult &result, const tune::TuneSettings &tune)
{
    std::string missing;
    for (const study::BandTuning &band : result.bands)
        if (!band.swrMet(tune) || !band.frontToBackMet(tune))
            missing += (missing.empty() ? "" : ", ") + band.band.name;
    const std::string runs = std::to_string(result.rounds) + (result.rounds == 1 ? " round, " : " rounds, ") +
                             std::to_string(result.designs) + " single-band designs";
    std::string ended = result.end == tune::TuneEnd::Converged
                            ? "The tune converged after " + runs + "."
                            : "The tune ended at " + std::string(tune::tuneEndText(result.end)) + " after " + runs + ".";
    return ended + (missing.empty() ? " Every band meets its goals across " + bandSpan(tune) + "."
                                    : " Goals missed on " + missing + ": a match or another spacing may help.");
}

void writeFigures(format::JsonWriter &json, std::string_view key, const tune::BandFigures &figures)
{
    json.beginRecord(key)
        .number("swr", figures.design.swr, format::Figure::Ratio)
        .number("gain_dbi", figures.design.gainDbi, format::Figure::Decibels)
        .number("fb_db", figures.design.frontToBackDb, format::Figure::Decibels)
        .number("worst_swr", figures.worstSwr(), format::Figure::Ratio)
        .number("min_fb_db", figures.lowestFrontToBackDb(), format::Figure::Decibels)
        .endRecord();
}

} // namespace

std::string bandsTuneOutcome(const study::NestedTuneResult &result, const tune::TuneSettings &tune)
{
    return outcomeText(result, tune);
}

format::Document bandsTuneDocument(const study::NestedTuneResult &result, const tune::TuneSettings &tune,
                                   const design::IdleEnd &idle)
{
    format::Document document;
    document.title = "Tuned " + quadTitle(result.tuned).substr(2);
    document.preface.push_back({"Each band's driver and reflector are tuned with every loop present and the idle "
                                "drivers " +
                                (idle.kind == design::IdleEnd::Kind::Line ? "ended through " : std::string()) +
                                design::idleEndText(idle) +
                                ": its driver resonant and its F/B peak at its design frequency. The goals: SWR " +
                                design::shortestText(tune.maxSwr) + " or less and F/B " +
                                design::shortestText(tune.minFrontToBackDb) + " dB or more across " +
                                bandSpan(tune) + "."});
    format::Section section;
    section.heading = "Bands";
    format::ResultTable table;
    table.columns = {{"band", "Band", true, true},
                     {"frequency_mhz", "MHz"},
                     {"driver", "Driver"},
                     {"reflector", "Reflector"},
                     {"worst_swr_before", "SWR before"},
                     {"worst_swr", "SWR after"},
                     {"min_fb_before", "F/B before (dB)"},
                     {"min_fb", "F/B after (dB)"},
                     {"gain_dbi", "Gain (dBi)"},
                     {"goals", "Goals", true, false, {}, true}};
    for (const study::BandTuning &band : result.bands)
        table.rows.push_back(
            {{band.band.name, std::nullopt},
             {design::frequencyLabel(band.band.designMHz), band.band.designMHz},
             {signedPercent(band.driverFactor), band.driverFactor},
             {signedPercent(band.reflectorFactor), band.reflectorFactor},
             {check::swrText(band.before.worstSwr(), 2), band.before.worstSwr()},
             {check::swrText(band.after.worstSwr(), 2), band.after.worstSwr()},
             {format::fixedText(band.before.lowestFrontToBackDb(), 1), band.before.lowestFrontToBackDb()},
             {format::fixedText(band.after.lowestFrontToBackDb(), 1), band.after.lowestFrontToBackDb()},
             {format::fixedText(band.after.design.gainDbi, 2), band.after.design.gainDbi},
             {goalsText(band, tune), std::nullopt}});
    section.table = std::move(table);
    section.after.push_back({"SWR is the worst and F/B the lowest across each band; the driver and reflector "
                             "columns are how far each band's loops moved from the window's design at its "
                             "frequency."});
    section.after.push_back({outcomeText(result, tune), true});
    document.sections.push_back(std::move(section));
    return document;
}

void writeBandsTuneJson(format::JsonWriter &json, const study::NestedTuneResult &result,
                        const tune::TuneSettings &tune, const design::IdleEnd &idle)
{
    json.beginRecord()
        .text("layout", layoutName(result.tuned))
        .text("shape", shapeName(result.tuned))
        .whole("elements", static_cast<long long>(result.tuned.elements))
        .text("idle", design::idleEndText(idle))
        .whole("rounds", result.rounds)
        .whole("designs", result.designs)
        .text("ended", tune::tuneEndText(result.end))
        .beginList("bands");
    for (const study::BandTuning &band : result.bands) {
        json.beginRecord()
            .text("name", band.band.name)
            .number("frequency_mhz", band.band.designMHz, format::Figure::Megahertz)
            .number("driver_factor", band.driverFactor, format::Figure::Exact)
            .number("reflector_factor", band.reflectorFactor, format::Figure::Exact);
        writeFigures(json, "before", band.before);
        writeFigures(json, "after", band.after);
        json.flag("swr_met", band.swrMet(tune)).flag("fb_met", band.frontToBackMet(tune)).endRecord();
    }
    json.endList().endRecord();
}

} // namespace tarvelin::document
