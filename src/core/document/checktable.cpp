// SPDX-License-Identifier: MIT
#include "core/document/checktable.h"

#include "core/design/designlengths.h"
#include "core/design/feedpath.h"
#include "core/format/fieldtext.h"
#include "core/format/jsonwriter.h"
#include "core/check/checksummary.h"
#include "core/design/checksettings.h"
#include "core/measure/measured.h"
#include "core/shop/shopsheettext.h"

#include <algorithm>
#include <cmath>

namespace tarvelin::document {

namespace {

// The highest SWR and F/B a text writes as a figure: beyond them the figure says little, and an F/B beyond
// the engine's floor of -999 dB is no number at all. The files keep every finite value.
constexpr double kHighestRatioShownDb = 999.0;

format::TableCell numberCell(double value, int decimals)
{
    return {format::fixedText(value, decimals), value};
}

std::string ratioText(double db, int decimals)
{
    return db > kHighestRatioShownDb ? "> " + format::fixedText(kHighestRatioShownDb, 0)
                                     : format::fixedText(db, decimals);
}

// A figure a text shows by its own rule, its number only when it is one.
format::TableCell figureCell(std::string text, double value)
{
    return {std::move(text), std::isfinite(value) ? std::optional(value) : std::nullopt};
}

// Why a point's files leave a figure empty.
std::string noteFor(const check::SweepPoint &p)
{
    std::string note;
    const auto add = [&note](const char *why) { note += note.empty() ? why : std::string("; ") + why; };
    if (!std::isfinite(p.swr))
        add("no SWR: the feed reflects everything");
    if (!std::isfinite(p.frontToBackDb))
        add("no F/B: the back is below the engine's floor of -999 dB");
    if (!std::isfinite(p.frontToRearDb))
        add("no F/R: the rear half is below the engine's floor of -999 dB");
    return note;
}

} // namespace

format::ResultTable checkTable(const CheckSummary &summary, std::string_view frequencyLabel)
{
    format::ResultTable table;
    const auto figure = [](std::string key, std::string heading, format::Figure kind, bool displayed = true) {
        format::TableColumn column{std::move(key), std::move(heading), displayed};
        column.figure = kind;
        return column;
    };
    table.columns = {{"frequency", "Design MHz", false},
                     figure("mhz", "MHz", format::Figure::Megahertz),
                     figure("r", "R (\u03a9)", format::Figure::Ohms),
                     figure("x", "X (\u03a9)", format::Figure::Ohms),
                     figure("swr", "SWR", format::Figure::Ratio),
                     figure("gain_dbi", "Gain (dBi)", format::Figure::Decibels),
                     figure("fb_db", "F/B (dB)", format::Figure::Decibels),
                     figure("fr_db", "F/R (dB)", format::Figure::Decibels),
                     figure("takeoff_deg", "Take-off (\u00b0)", format::Figure::Degrees, false),
                     figure("round", "Sweep", format::Figure::Exact, false),
                     {"note", "Note", false, false, {}, true}};
    format::TableColumn &takeoff = table.columns[table.columns.size() - 3];
    format::TableColumn &round = table.columns[table.columns.size() - 2];
    for (const check::SweepPoint &p : summary.points) {
        takeoff.displayed = takeoff.displayed || p.elevationDegrees.has_value();
        round.displayed = round.displayed || p.round > 1;
    }
    // The points in frequency order, those left out among them with the reason.
    std::vector<std::pair<double, std::vector<format::TableCell>>> rows;
    for (const check::SweepPoint &p : summary.points)
        rows.push_back({p.mhz,
                        {{std::string(frequencyLabel), std::nullopt},
                         format::TableCell{tarvelin::design::frequencyLabel(p.mhz), p.mhz}, // as the verdict writes it
                         numberCell(p.resistanceOhms, 2),
                         numberCell(p.reactanceOhms, 2),
                         figureCell(check::swrText(p.swr, 3), p.swr),
                         numberCell(p.gainDbi, 2),
                         figureCell(ratioText(p.frontToBackDb, 2), p.frontToBackDb),
                         figureCell(ratioText(p.frontToRearDb, 2), p.frontToRearDb),
                         p.elevationDegrees ? numberCell(*p.elevationDegrees, 1) : format::TableCell{},
                         format::TableCell{p.round > 1 ? "wider" : "", static_cast<double>(p.round)},
                         format::TableCell{noteFor(p), std::nullopt}}});
    for (const check::LeftOutPoint &out : summary.leftOut) {
        std::vector<format::TableCell> cells(table.columns.size());
        cells[0] = {std::string(frequencyLabel), std::nullopt};
        cells[1] = format::TableCell{tarvelin::design::frequencyLabel(out.mhz), out.mhz};
        cells.back() = {"left out: the engine's result fails its own checks (" + out.why + ")", std::nullopt};
        rows.push_back({out.mhz, std::move(cells)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &row : rows)
        table.rows.push_back(std::move(row.second));
    return table;
}

namespace {

std::string megahertz(double mhz)
{
    return design::frequencyLabel(mhz);
}

// A figure with at least two significant digits and one decimal: "-14.5", "-0.046".
std::string figureText(double value)
{
    int decimals = 1;
    while (decimals < 9 && std::fabs(value) > 0.0 && std::fabs(value) < 10.0 * std::pow(10.0, -decimals))
        ++decimals;
    return format::fixedText(value, decimals);
}

// "13.790 to 13.960 MHz"; an edge outside the sweep is named as such: "below 13.774 (outside the sweep)
// to 14.039 MHz".
std::string bandText(const check::BandEdges &band, const std::vector<check::SweepPoint> &points)
{
    std::string text =
        band.lowMHz ? megahertz(*band.lowMHz) : "below " + megahertz(points.front().mhz) + " (outside the sweep)";
    text += " to ";
    text += band.highMHz ? megahertz(*band.highMHz) + " MHz"
                         : "above " + megahertz(points.back().mhz) + " MHz (outside the sweep)";
    return text;
}

// What a resonance off the design frequency asks of the loops: the lengths of another design. Nothing where
// the two frequencies read the same.
std::string resonateOnDesign(double designMHz, double cutForMHz)
{
    if (megahertz(designMHz) == megahertz(cutForMHz))
        return {};
    return "; to resonate at " + megahertz(designMHz) + " MHz, cut the loops of the design for " +
           megahertz(cutForMHz) + " MHz";
}

} // namespace

std::string verdictHeadline(const CheckSummary &summary, const MeasuredSweep *measured, const Goals &goals)
{
    if (summary.points.empty())
        return {};
    std::string headline;
    if (measured && measured->detunePercent && !measured->drivenTrim.empty()) {
        const std::string &trim = measured->drivenTrim;
        if (trim == "leave as cut") {
            headline = "Leave the loops as cut.";
        } else {
            // "shorten 32-3/4\" (8-3/16\" a side)": the driven loop's own trim, after the loops' share.
            const std::size_t verb = trim.find(' ');
            headline = std::string(*measured->detunePercent < 0 ? "Shorten" : "Lengthen") + " every loop " +
                       format::fixedText(std::fabs(*measured->detunePercent), 2) + " %: the driven loop " +
                       trim.substr(verb == std::string::npos ? 0 : verb + 1) + ".";
        }
    } else if (summary.cutAsForMHz) {
        const std::string cutFor = design::frequencyLabel(*summary.cutAsForMHz);
        headline = cutFor == design::frequencyLabel(summary.design.mhz) ? "Cut the loops as designed."
                                                                        : "Cut the loops as for " + cutFor + " MHz.";
    } else {
        headline = "The model's resonance lies outside the sweep: widen it to find what to cut for.";
    }
    const bool swrMet = summary.design.swr <= goals.maxSwr;
    const bool fbMet = summary.design.frontToBackDb >= goals.minFrontToBackDb;
    headline += swrMet && fbMet ? " Both goals are met at the design frequency."
                : swrMet || fbMet
                    ? std::string(" The ") + (swrMet ? "F/B" : "SWR") + " goal is missed at the design frequency."
                    : " Both goals are missed at the design frequency.";
    return headline;
}

format::ResultTable verdictTable(const CheckSummary &summary, double z0Ohms, const MeasuredSweep *measured,
                                 const Goals &goals)
{
    format::ResultTable table;
    table.columns = {{"figure", "Verdict", true, true}, {"value", measured ? "Model" : "", true, false, {}, true}};
    if (measured)
        table.columns.push_back({"measured", "Measured", true, false, {}, true});
    const auto add = [&table, measured](std::string figure, std::string value) {
        table.rows.push_back({{std::move(figure), std::nullopt}, {std::move(value), std::nullopt}});
        if (measured)
            table.rows.back().push_back({});
    };
    // The measured figure beside the model's in the row just added.
    const auto beside = [&table](std::string value) { table.rows.back().back().text = std::move(value); };
    if (summary.points.empty())
        return table;
    const check::SweepPoint &d = summary.design;
    // Each figure with a goal says whether it meets it, so a poor one stands out from the rest.
    const auto goal = [](bool met, const std::string &aim) {
        return std::string("; goal ") + aim + ": " + (met ? "met" : "missed");
    };
    add("SWR at " + megahertz(d.mhz) + " MHz",
        check::swrText(d.swr, 2) + " on a " + format::fixedText(z0Ohms, 0) + " \u03a9 line" +
            goal(d.swr <= goals.maxSwr, design::shortestText(goals.maxSwr) + " or less"));
    add("Gain", format::fixedText(d.gainDbi, 2) + " dBi");
    add("F/B", ratioText(d.frontToBackDb, 2) + " dB" +
                   goal(d.frontToBackDb >= goals.minFrontToBackDb,
                        design::shortestText(goals.minFrontToBackDb) + " dB or more"));
    add("F/R in the azimuth plane", ratioText(d.frontToRearDb, 2) + " dB");
    if (d.elevationDegrees)
        add("Take-off angle", format::fixedText(*d.elevationDegrees, 1) + "\u00b0");
    if (summary.resonanceMHz && summary.detunePercent && summary.cutAsForMHz)
        add("Resonance", megahertz(*summary.resonanceMHz) + " MHz, " +
                             format::fixedText(std::fabs(*summary.detunePercent), 2) + " % " +
                             (*summary.detunePercent < 0 ? "low" : "high") +
                             resonateOnDesign(summary.design.mhz, *summary.cutAsForMHz));
    else
        add("Resonance", "outside the sweep");
    // The built antenna's, read as the model's is, against the design frequency as the model's is.
    if (measured && measured->detunePercent && measured->cutAsForMHz)
        beside(megahertz(measured->resonanceMHz()) + " MHz, " +
               format::fixedText(std::fabs(*measured->detunePercent), 2) + " % " +
               (*measured->detunePercent < 0 ? "low" : "high") +
               (measured->by == measure::ResonanceBy::Reactance ? "" : " by the lowest SWR") +
               resonateOnDesign(summary.design.mhz, *measured->cutAsForMHz));
    else if (measured)
        beside(measured->noResonance ? "outside the sweep" : measured->unrelated ? "not of this design" : "");
    add("Lowest SWR", check::swrText(summary.minSwr, 2) + " at " + megahertz(summary.minSwrMHz) + " MHz");
    if (measured)
        beside(check::swrText(measured->minSwr, 2) + " at " + megahertz(measured->minSwrMHz) + " MHz");
    add("2:1 SWR", summary.swr2MHz ? bandText(*summary.swr2MHz, summary.points) : std::string("nowhere in the sweep"));
    if (measured)
        beside(measured->swr2MHz ? bandText(*measured->swr2MHz, measured->points)
                                 : std::string("nowhere in the sweep"));
    add("F/B \u2265 20 dB",
        summary.fb20MHz ? bandText(*summary.fb20MHz, summary.points) : std::string("nowhere in the sweep"));
    if (summary.reversalMHz)
        add("Pattern reverses", "above " + megahertz(*summary.reversalMHz) + " MHz");
    if (summary.sensitivityKhzPerInch) {
        // In kHz while that reads to a tenth, else in Hz: at the lowest frequencies a kHz is too coarse a unit.
        const double perInch = *summary.sensitivityKhzPerInch;
        const bool hertz = std::fabs(perInch) < 1.0;
        const double scale = hertz ? 1000.0 : 1.0;
        const std::string unit = hertz ? " Hz" : " kHz";
        add("Cutting sensitivity", figureText(perInch * scale) + unit + " per inch more driven loop (" +
                                       figureText(perInch * scale / 2.54) + unit + " per cm)");
    } else if (!summary.noSensitivity.empty()) {
        add("Cutting sensitivity", "none: " + summary.noSensitivity);
    }
    if (summary.efficiencyPercent)
        add("Wire efficiency", format::fixedText(*summary.efficiencyPercent, 2) + " %");
    if (measured) {
        add("Measured sweep", "");
        beside(measured->file + ", " + std::to_string(measured->points.size()) + " points, " +
               megahertz(measured->points.front().mhz) + " to " + megahertz(measured->points.back().mhz) + " MHz");
    }
    return table;
}

std::string feedAdvice(const CheckSummary *summary, const CheckSettings &settings)
{
    const design::Match &match = settings.match;
    const double z0Ohms = settings.z0Ohms;
    std::string advice = shop::feedAdviceText(match);
    if (summary && summary->resonanceMHz && summary->resonanceOhms && *summary->resonanceOhms > 0.0) {
        const double r = *summary->resonanceOhms;
        const design::FeedPath path{match, summary->design.mhz, z0Ohms, {}};
        const std::complex<double> line = path.onLine({r, 0.0}, *summary->resonanceMHz);
        advice += " At resonance, " + megahertz(*summary->resonanceMHz) + " MHz, the feed is " +
                  format::fixedText(r, 0) + " \u03a9";
        if (match.kind != design::MatchKind::Direct)
            advice += ", " + format::fixedText(std::abs(line), 0) + " \u03a9 through the match";
        // A real feed's SWR is the ratio of the two resistances; through a match, that of what the line sees.
        const double swr = match.kind == design::MatchKind::Direct ? std::max(r / z0Ohms, z0Ohms / r)
                                                                   : design::swrOf(line.real(), line.imag(), z0Ohms);
        advice +=
            ": an SWR of " + format::fixedText(swr, 2) + " on a " + format::fixedText(z0Ohms, 0) + " \u03a9 line.";
    }
    return advice;
}

namespace {

// "key": [low, high], an edge outside the sweep null; null for a band that is nowhere.
void writeBand(format::JsonWriter &json, std::string_view key, const std::optional<check::BandEdges> &band)
{
    if (!band) {
        json.null(key);
        return;
    }
    json.beginList(key)
        .number({}, band->lowMHz, format::Figure::Megahertz)
        .number({}, band->highMHz, format::Figure::Megahertz)
        .endList();
}

void writeFigures(format::JsonWriter &json, const check::SweepPoint &p)
{
    json.number("swr", p.swr, format::Figure::Ratio)
        .number("gain_dbi", p.gainDbi, format::Figure::Decibels)
        .number("fb_db", p.frontToBackDb, format::Figure::Decibels)
        .number("fr_db", p.frontToRearDb, format::Figure::Decibels);
}

} // namespace

format::Document checkDocument(const CheckSummary &summary, const CheckSettings &settings,
                               std::span<const MeasuredSweep> sweeps, const Goals &goals)
{
    const MeasuredSweep *measured = sweeps.empty() ? nullptr : &sweeps.back();
    const std::string label = design::frequencyLabel(summary.design.mhz); // as every text of the check writes it
    format::Document document;
    document.title = "Antenna check for " + design::designTitle(label, summary.elements);
    document.colophon.push_back({design::modelledText(settings) + " Modelled " + summary.ran + "."});
    document.warnings = check::verdictWarnings(summary);
    document.sections.resize(kSweepSection + 1);
    document.sections[kHeadlineSection].before.push_back({verdictHeadline(summary, measured, goals), true});
    document.sections[kVerdictSection].table = verdictTable(summary, settings.z0Ohms, measured, goals);
    std::vector<format::Paragraph> &notes = document.sections[kNotesSection].before;
    if (measured)
        for (std::string &sentence : measure::measuredSentences(*measured))
            notes.push_back({std::move(sentence), true});
    for (std::string &sentence : measure::turnsSentences(sweeps))
        notes.push_back({std::move(sentence), true});
    if (std::string jacket = design::jacketNote(settings); !jacket.empty())
        notes.push_back({std::move(jacket)});
    notes.push_back({feedAdvice(&summary, settings)});
    document.sections[kSweepSection].table = checkTable(summary, label);
    return document;
}

void writeCheckJson(format::JsonWriter &json, std::string_view frequencyText, const CheckSummary &summary,
                    const design::Match &match, std::span<const MeasuredSweep> sweeps, std::string_view recordKey)
{
    const MeasuredSweep *measured = sweeps.empty() ? nullptr : &sweeps.back();
    const std::vector<std::optional<measure::SweepMove>> moves = sweepMoves(sweeps);
    const auto movePercent = [&moves](std::size_t i) {
        return moves[i] ? std::optional(moves[i]->percent) : std::nullopt;
    };
    json.beginRecord(recordKey)
        .text("frequency", frequencyText)
        .whole("elements", static_cast<long long>(summary.elements));
    design::writeMatchRecord(json, "match", match); // the SWR figures are on the line through it
    // The sweep's own points, then those of the wider sweep the verdict asked for.
    for (const auto &[key, round] : {std::pair{"points", 1}, std::pair{"wider_points", 2}}) {
        json.beginList(key);
        for (const check::SweepPoint &p : summary.points) {
            if (p.round != round)
                continue;
            json.beginRecord()
                .number("mhz", p.mhz, format::Figure::Megahertz)
                .number("r", p.resistanceOhms, format::Figure::Ohms)
                .number("x", p.reactanceOhms, format::Figure::Ohms);
            writeFigures(json, p);
            if (p.elevationDegrees)
                json.number("elevation_deg", *p.elevationDegrees, format::Figure::Degrees);
            json.endRecord();
        }
        json.endList();
    }
    json.beginList("left_out");
    for (const check::LeftOutPoint &out : summary.leftOut)
        json.beginRecord().number("mhz", out.mhz, format::Figure::Megahertz).text("why", out.why).endRecord();
    json.endList().beginRecord("design").number("mhz", summary.design.mhz, format::Figure::Megahertz);
    writeFigures(json, summary.design);
    json.endRecord();
    if (summary.design.elevationDegrees)
        json.number("takeoff_deg", *summary.design.elevationDegrees, format::Figure::Degrees);
    json.number("resonance_mhz", summary.resonanceMHz, format::Figure::Megahertz)
        .number("resonance_ohms", summary.resonanceOhms, format::Figure::Ohms)
        .number("detune_percent", summary.detunePercent, format::Figure::Percent)
        .number("cut_as_for_mhz", summary.cutAsForMHz, format::Figure::Megahertz)
        .number("min_swr", summary.minSwr, format::Figure::Ratio)
        .number("min_swr_mhz", summary.minSwrMHz, format::Figure::Megahertz);
    writeBand(json, "swr2_mhz", summary.swr2MHz);
    writeBand(json, "fb20_mhz", summary.fb20MHz);
    json.number("reversal_mhz", summary.reversalMHz, format::Figure::Megahertz)
        .number("sensitivity_khz_per_in", summary.sensitivityKhzPerInch, format::Figure::KhzPerInch)
        .number("efficiency_percent", summary.efficiencyPercent, format::Figure::Percent)
        .beginList("azimuth");
    for (const nec::PatternPoint &p : summary.azimuthPattern)
        json.beginRecord()
            .number("phi", p.phiDegrees, format::Figure::Degrees)
            .number("gain_dbi", p.totalGainDbi, format::Figure::Decibels)
            .endRecord();
    json.endList();
    if (measured) {
        json.beginRecord("measured")
            .text("file", measured->file)
            .whole("points", static_cast<long long>(measured->points.size()))
            .number("min_swr", measured->minSwr, format::Figure::Ratio)
            .number("min_swr_mhz", measured->minSwrMHz, format::Figure::Megahertz)
            .number("resonance_mhz", measured->noResonance ? std::nullopt : std::optional(measured->resonanceMHz()),
                    format::Figure::Megahertz)
            .text("resonance_by", measured->by == measure::ResonanceBy::Reactance ? "reactance" : "lowest_swr");
        writeBand(json, "swr2_mhz", measured->swr2MHz);
        json.number("detune_percent", measured->detunePercent, format::Figure::Percent)
            .number("cut_as_for_mhz", measured->cutAsForMHz, format::Figure::Megahertz)
            .number("shift_percent", measured->shiftPercent, format::Figure::Percent)
            .number("move_percent", movePercent(sweeps.size() - 1), format::Figure::Percent);
        // What the sweep was read through, to reach the feed point; null where it was taken there.
        const design::MeasuredThrough &through = measured->through;
        if (!through.declared()) {
            json.null("through");
        } else {
            json.beginRecord("through");
            if (through.run)
                json.number("length_m", through.run->metres, format::Figure::Exact)
                    .number("z0", through.run->z0Ohms, format::Figure::Ohms)
                    .number("vf", through.run->velocityFactor, format::Figure::Exact)
                    .number("loss_db_per_100m", through.run->lossDbPer100m, format::Figure::Decibels);
            json.flag("match", through.match).endRecord();
        }
        json.endRecord().beginList("sweeps");
        for (std::size_t i = 0; i < sweeps.size(); ++i)
            json.beginRecord()
                .text("file", sweeps[i].file)
                .number("min_swr_mhz", sweeps[i].minSwrMHz, format::Figure::Megahertz)
                .number("resonance_mhz", sweeps[i].noResonance ? std::nullopt : std::optional(sweeps[i].resonanceMHz()),
                        format::Figure::Megahertz)
                .number("shift_percent", sweeps[i].shiftPercent, format::Figure::Percent)
                .number("move_percent", movePercent(i), format::Figure::Percent)
                .endRecord();
        json.endList();
    }
    json.endRecord();
}

std::string checkTouchstone(const CheckSummary &summary, const CheckSettings &settings)
{
    std::string model = format::fixedText(settings.wireDiameterMm, 2) + " mm wire, " +
                        std::to_string(settings.segments) + " segments per side, " +
                        (settings.lossless ? "lossless" : "copper");
    if (settings.insulationMm > 0.0)
        model += ", insulation " + format::fixedText(settings.insulationMm, 2) + " mm of permittivity " +
                 format::fixedText(settings.permittivity, 2) + " (an estimate)";
    model += settings.groundHeightMetres
                 ? ", boom " + format::fixedText(*settings.groundHeightMetres, 2) + " m over average ground"
                 : std::string(", free space");
    const std::vector<std::string> comments{
        "Tarvelin " TARVELIN_VERSION ": model of the " + design::elementsWord(summary.elements) + " cubical quad for " +
            megahertz(summary.design.mhz) + " MHz",
        model,
        "Reflection at the feed" +
            std::string(settings.match.kind == design::MatchKind::Direct ? "" : ", through the match,") +
            " against the " + format::fixedText(settings.z0Ohms, 0) + " ohm line, from the NEC-2 model"};
    // What an analyser on the feed line reads: through the match, where there is one.
    const design::FeedPath path{settings.match, summary.design.mhz, settings.z0Ohms, {}};
    std::vector<touchstone::Sample> samples;
    for (const check::SweepPoint &p : summary.points)
        if (samples.empty() || p.mhz > samples.back().mhz)
            samples.push_back({p.mhz, path.onLine({p.resistanceOhms, p.reactanceOhms}, p.mhz)});
    return touchstone::writeSweep(comments, samples, settings.z0Ohms);
}

} // namespace tarvelin::document
