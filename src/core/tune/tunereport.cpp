// SPDX-License-Identifier: MIT
// A tune as the texts, tables and files give it.
#include "core/tune/tuner.h"

#include "core/design/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"

#include <cmath>

namespace tarvelin::tune {

std::string tuneDescription(const TuneSettings &tune)
{
    return std::string(tune.boomMetres ? "Tune each loop's length and each element's station"
                                       : "Tune each loop's length") +
           " with the model for this wire and ground: SWR " + format::fixedText(tune.maxSwr, 2) + " or less and F/B " +
           design::shortestText(tune.minFrontToBackDb) + " dB or more across \u00b1" +
           design::shortestText(tune.bandPercent) + " %, then the most gain" +
           (tune.boomMetres ? ", on a boom of " + design::shortestText(*tune.boomMetres) + " m at most"
                            : std::string()) +
           ". The specified design stays as it is.";
}

std::string designsTriedText(int designs)
{
    return std::to_string(designs) + (designs == 1 ? " design tried" : " designs tried");
}

std::string tuneOutcomeText(const TuneResult &result, const TuneSettings &tune)
{
    std::string text = result.swrGoalMet ? "SWR goal met" : "SWR goal missed";
    text += " (worst " + format::fixedText(result.after.worstSwr(), 2) + " against " +
            format::fixedText(tune.maxSwr, 2) + "); ";
    text += result.frontToBackGoalMet ? "F/B goal met" : "F/B goal missed";
    text += " (lowest " + format::fixedText(result.after.lowestFrontToBackDb(), 2) + " dB against " +
            design::shortestText(tune.minFrontToBackDb) + " dB). ";
    text += designsTriedText(result.evaluations) + " in " + format::fixedText(result.seconds, 1) + " s";
    switch (result.end) {
    case TuneEnd::Converged:
        text += ", converged.";
        break;
    case TuneEnd::DesignLimit:
        text += ", stopped at the most designs to try.";
        break;
    case TuneEnd::TimeLimit:
        text += ", stopped at the time limit, not converged.";
        break;
    case TuneEnd::Cancelled:
        text += ", stopped by Cancel.";
        break;
    case TuneEnd::EngineFailure:
        text += ", stopped by the engine's failure.";
        break;
    }
    if (result.tolerance) {
        text += " Every loop cut " + format::fixedText(kCutTolerancePercent, 1) + " % long or short: worst SWR " +
                format::fixedText(result.tolerance->worstSwr(), 2) + ", lowest F/B " +
                format::fixedText(result.tolerance->lowestFrontToBackDb(), 2) + " dB";
        if (result.swrGoalMet && result.frontToBackGoalMet)
            text += result.goalsMetWhenCutOff(tune) ? "; the goals are still met."
                                                    : "; the goals are met only when "
                                                      "the loops are cut exactly.";
        else
            text += ".";
    }
    return text;
}

std::string_view tuneEndText(TuneEnd end)
{
    switch (end) {
    case TuneEnd::Converged:
        return "converged";
    case TuneEnd::DesignLimit:
        return "most designs to try";
    case TuneEnd::TimeLimit:
        return "time limit, not converged";
    case TuneEnd::Cancelled:
        return "cancelled";
    case TuneEnd::EngineFailure:
        return "engine failure";
    }
    return "converged";
}

design::Cut tunedCut(const design::DesignLengths &design, const TuneResult &tuned)
{
    return design::cutOf(design, tuned.factors, design::stationThousandthsOf(tuned.stationsMetres));
}

std::vector<TunedLoop> tunedLoops(const design::DesignLengths &design, const TuneResult &tuned)
{
    const design::Cut cut = tunedCut(design, tuned);
    std::vector<TunedLoop> loops(std::min(design.elementCount(), tuned.factors.size()));
    for (std::size_t i = 0; i < loops.size(); ++i) {
        const design::CutElement &element = cut.elements[i];
        TunedLoop &loop = loops[i];
        loop.element = element.element;
        loop.specifiedInches = static_cast<double>(design.loopThousandths[i]) / 1000.0;
        loop.inches = static_cast<double>(element.loopThousandths) / 1000.0;
        loop.sideInches = static_cast<double>(element.sideThousandths) / 1000.0;
        loop.millimetres = std::round(loop.inches * 254.0) / 10.0;
        loop.factor = tuned.factors[i];
        loop.stationInches = static_cast<double>(element.stationThousandths) / 1000.0;
        loop.stationMillimetres = std::round(loop.stationInches * 254.0) / 10.0;
    }
    return loops;
}

format::ResultTable tunedTable(const design::DesignLengths &design, const TuneResult &tuned)
{
    format::ResultTable table;
    table.columns = {{"element", "Tuned design", true, true},
                     {"specified_loop_in", "Specified loop (in)"},
                     {"loop_in", "Loop (in)"},
                     {"loop_mm", "Loop (mm)"},
                     {"side_in", "Side (in)"},
                     {"factor", "Tuned / specified"},
                     {"station_in", "Station (in)"},
                     {"station_mm", "Station (mm)"}};
    for (const TunedLoop &loop : tunedLoops(design, tuned))
        table.rows.push_back({{std::string(calc::elementRowName(loop.element)), std::nullopt},
                              {format::fixedText(loop.specifiedInches, 3), loop.specifiedInches},
                              {format::fixedText(loop.inches, 3), loop.inches},
                              {format::fixedText(loop.millimetres, 1), loop.millimetres},
                              {format::fixedText(loop.sideInches, 3), loop.sideInches},
                              {format::fixedText(loop.factor, 4), loop.factor},
                              {format::fixedText(loop.stationInches, 3), loop.stationInches},
                              {format::fixedText(loop.stationMillimetres, 1), loop.stationMillimetres}});
    return table;
}

void writeTuneJson(format::JsonWriter &json, std::string_view frequencyText, const design::DesignLengths &design,
                   const TuneResult &result, const TuneSettings &tune, const design::Match &match)
{
    json.beginRecord();
    writeTuneFields(json, frequencyText, design, result, tune);
    design::writeMatchRecord(json, "match", match); // the SWR goal is met on the line through it
    json.endRecord();
}

void writeTuneFields(format::JsonWriter &json, std::string_view frequencyText, const design::DesignLengths &design,
                     const TuneResult &result, const TuneSettings &tune)
{
    json.text("frequency", frequencyText)
        .whole("elements", static_cast<long long>(result.factors.size()))
        .beginList("loops");
    const std::vector<TunedLoop> loops = tunedLoops(design, result);
    for (const TunedLoop &loop : loops)
        json.beginRecord()
            .text("element", calc::elementRowName(loop.element))
            .number("loop_in", loop.inches, format::Figure::Exact)
            .number("loop_mm", loop.millimetres, format::Figure::Exact)
            .number("side_in", loop.sideInches, format::Figure::Exact)
            .number("factor", loop.factor, format::Figure::Exact)
            .number("specified_loop_in", loop.specifiedInches, format::Figure::Exact)
            .number("station_in", loop.stationInches, format::Figure::Exact)
            .number("station_mm", loop.stationMillimetres, format::Figure::Exact)
            .endRecord();
    json.endList().beginList("stations_in");
    for (const TunedLoop &loop : loops)
        json.number({}, loop.stationInches, format::Figure::Exact);
    json.endList();
    for (const auto &[key, figures] : {std::pair{"before", &result.before}, std::pair{"after", &result.after}})
        json.beginRecord(key)
            .number("swr", figures->design.swr, format::Figure::Ratio)
            .number("gain_dbi", figures->design.gainDbi, format::Figure::Decibels)
            .number("fb_db", figures->design.frontToBackDb, format::Figure::Decibels)
            .number("fr_db", figures->design.frontToRearDb, format::Figure::Decibels)
            .number("worst_swr", figures->worstSwr(), format::Figure::Ratio)
            .number("min_fb_db", figures->lowestFrontToBackDb(), format::Figure::Decibels)
            .endRecord();
    json.beginRecord("goals_met")
        .flag("swr", result.swrGoalMet)
        .flag("fb", result.frontToBackGoalMet)
        .endRecord()
        .beginRecord("goals")
        .number("swr", tune.maxSwr, format::Figure::Exact)
        .number("fb_db", tune.minFrontToBackDb, format::Figure::Exact)
        .endRecord()
        .number("band_percent", tune.bandPercent, format::Figure::Exact)
        .number("boom_m", tune.boomMetres, format::Figure::Exact)
        .text("ended", tuneEndText(result.end));
    if (result.tolerance)
        json.beginRecord("tolerance")
            .number("percent", kCutTolerancePercent, format::Figure::Exact)
            .number("worst_swr", result.tolerance->worstSwr(), format::Figure::Ratio)
            .number("min_fb_db", result.tolerance->lowestFrontToBackDb(), format::Figure::Decibels)
            .flag("goals_met", result.goalsMetWhenCutOff(tune))
            .endRecord();
    json.whole("evaluations", result.evaluations).number("seconds", result.seconds, format::Figure::Seconds);
}

std::vector<format::TableColumn> tuneFigureColumns()
{
    const auto figure = [](std::string key, std::string heading, format::Figure kind) {
        return format::TableColumn{std::move(key), std::move(heading), false, false, {}, false, kind};
    };
    std::vector<format::TableColumn> columns;
    for (const char *when : {"before", "after"}) {
        const std::string w = when;
        columns.push_back(figure(w + "_swr", "SWR " + w, format::Figure::Ratio));
        columns.push_back(figure(w + "_gain_dbi", "Gain (dBi) " + w, format::Figure::Decibels));
        columns.push_back(figure(w + "_fb_db", "F/B (dB) " + w, format::Figure::Decibels));
        columns.push_back(figure(w + "_worst_swr", "Worst SWR " + w, format::Figure::Ratio));
        columns.push_back(figure(w + "_min_fb_db", "Lowest F/B (dB) " + w, format::Figure::Decibels));
    }
    columns.push_back(figure("swr_goal_met", "SWR goal met", format::Figure::Exact));
    columns.push_back(figure("fb_goal_met", "F/B goal met", format::Figure::Exact));
    columns.push_back(figure("tolerance_worst_swr", "Worst SWR cut off", format::Figure::Ratio));
    columns.push_back(figure("tolerance_min_fb_db", "Lowest F/B (dB) cut off", format::Figure::Decibels));
    columns.push_back(format::TableColumn{"ended", "Ended", false, false, {}, true});
    return columns;
}

std::vector<format::TableCell> tuneFigureCells(const TuneResult &result, const TuneSettings & /*tune*/)
{
    const auto number = [](double value) { return format::TableCell{format::fixedText(value, 2), value}; };
    const auto yes = [](bool met) { return format::TableCell{met ? "true" : "false", std::nullopt}; };
    std::vector<format::TableCell> cells;
    for (const BandFigures *figures : {&result.before, &result.after}) {
        cells.push_back(number(figures->design.swr));
        cells.push_back(number(figures->design.gainDbi));
        cells.push_back(number(figures->design.frontToBackDb));
        cells.push_back(number(figures->worstSwr()));
        cells.push_back(number(figures->lowestFrontToBackDb()));
    }
    cells.push_back(yes(result.swrGoalMet));
    cells.push_back(yes(result.frontToBackGoalMet));
    if (result.tolerance) {
        cells.push_back(number(result.tolerance->worstSwr()));
        cells.push_back(number(result.tolerance->lowestFrontToBackDb()));
    } else {
        cells.resize(cells.size() + 2);
    }
    cells.push_back({std::string(tuneEndText(result.end)), std::nullopt});
    return cells;
}

format::ResultTable tuneVerdictTable(const TuneResult &result, const TuneSettings &tune)
{
    format::ResultTable table;
    table.columns = {{"figure", "Modelled", true, true}, {"specified", "Specified"}, {"tuned", "Tuned"}};
    const auto add = [&table](std::string figure, double before, double after, int decimals) {
        table.rows.push_back({{std::move(figure), std::nullopt},
                              {format::fixedText(before, decimals), before},
                              {format::fixedText(after, decimals), after}});
    };
    const std::string at = " at " + design::frequencyLabel(result.before.design.mhz) + " MHz";
    add("SWR" + at, result.before.design.swr, result.after.design.swr, 2);
    add("Gain (dBi)" + at, result.before.design.gainDbi, result.after.design.gainDbi, 2);
    add("F/B (dB)" + at, result.before.design.frontToBackDb, result.after.design.frontToBackDb, 2);
    add("F/R (dB)" + at, result.before.design.frontToRearDb, result.after.design.frontToRearDb, 2);
    const std::string band = " over \u00b1" + format::fixedText(tune.bandPercent, 2) + " %";
    add("Worst SWR" + band, result.before.worstSwr(), result.after.worstSwr(), 2);
    add("Lowest F/B (dB)" + band, result.before.lowestFrontToBackDb(), result.after.lowestFrontToBackDb(), 2);
    if (result.tolerance) {
        // The tuned design only: the specified one is cut as the window gives it.
        const std::string cut = ", loops cut \u00b1" + format::fixedText(kCutTolerancePercent, 1) + " %";
        const auto addTuned = [&table](std::string figure, double value) {
            table.rows.push_back({{std::move(figure), std::nullopt},
                                  {std::string(), std::nullopt},
                                  {format::fixedText(value, 2), value}});
        };
        addTuned("Worst SWR" + band + cut, result.tolerance->worstSwr());
        addTuned("Lowest F/B (dB)" + band + cut, result.tolerance->lowestFrontToBackDb());
    }
    return table;
}

} // namespace tarvelin::tune
