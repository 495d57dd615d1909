// SPDX-License-Identifier: MIT
// libFuzzer target over the text a user can type or feed in: ParseNumber, FormatNumber's round trip, the
// calculation against the text-by-text reference pass, the shop sheet's lengths and their texts for any
// frequency, typed length and raw length, one batch line of tarvelin-calc in each format, a saved tuned
// design's file, which a design read back must write again as it reads, and an analyser's sweep.
// Any crash, sanitizer report or broken property stops the fuzzer with the input that caused it.
#include "core/calc/referencepass.h"
#include "cli/commandline.h"
#include "core/study/study.h"
#include "core/text/numbertext.h"
#include "core/runtime/runtimeerror.h"
#include "core/format/typedlength.h"
#include "core/measure/measured.h"
#include "core/tune/tuneddesign.h"
#include "core/touchstone/touchstone.h"
#include "core/shop/lengthtext.h"
#include "core/shop/shopsheet.h"

#include <cmath>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>
#include <string_view>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

void numberText(std::string_view text)
{
    double value = 0.0;
    try {
        value = tarvelin::ParseNumber(text);
    } catch (const tarvelin::RuntimeError &error) {
        require(error.number() == tarvelin::ErrorNumber::Overflow);
        return;
    }
    require(!std::isnan(value));
    if (!std::isfinite(value))
        return;
    // A cell's text reads back as the number it shows, and shows that number again.
    const std::string text1 = tarvelin::FormatNumber(value, tarvelin::kCellFormat);
    const std::string text2 = tarvelin::FormatNumber(tarvelin::ParseNumber(text1), tarvelin::kCellFormat);
    require(text1 == text2);
    const tarvelin::CellValue cell = tarvelin::FormatCell(value);
    require(cell.text == text1 && cell.readBack == tarvelin::ParseNumber(text1));
}

// A length's texts for any length a length can hold: the sanitizers stop on any overflow, and the sign and
// the millimetres read back as the length.
void lengthTexts(tarvelin::shop::HalfThousandths length)
{
    for (const int step : {8, 16, 32, 64}) {
        const std::string text = tarvelin::shop::feetInchesText(length, step);
        require(!text.empty() && text.back() == '"');
        require((text.front() == '-') == (length < 0 && text != "0\""));
    }
    const std::string millimetres = tarvelin::shop::millimetresText(length);
    // Tenths of a millimetre: the text without its point, against length x 0.0127, to within half a tenth
    // and the double's own rounding.
    std::string digits;
    for (const char c : millimetres)
        if (c != '.')
            digits += c;
    const double tenths = std::strtod(digits.c_str(), nullptr);
    const double expected = static_cast<double>(length) * 0.127;
    require(std::fabs(tenths - expected) <= 0.5 + std::fabs(expected) * 1e-12);
    (void)tarvelin::shop::metresText(length);
}

// The sheet for any frequency text is refused, or every length in it is a positive length.
void shopSheet(const std::string &text)
{
    auto made = tarvelin::shop::makeShopSheet(text, {});
    if (const auto *sheet = std::get_if<tarvelin::shop::ShopSheet>(&made)) {
        require(sheet->wireTotal > 0 && sheet->boomLength > 0);
        for (const tarvelin::shop::ElementCuts &cuts : sheet->elements) {
            require(cuts.loop > 0 && cuts.side > 0 && cuts.arm > 0 && cuts.spreader > 0);
            lengthTexts(cuts.loop);
        }
    }
    if (const std::optional<std::int64_t> typed = tarvelin::format::typedLengthThousandths(text))
        lengthTexts(tarvelin::shop::fromThousandths(*typed));
}

// The grid's batch runs no engine: a round asked of this one would be a fault.
class NoEngine final : public tarvelin::study::EngineLauncher
{
public:
    void start(const tarvelin::study::EngineRound &, std::function<void(tarvelin::study::EngineOutputs)>) override
    {
        require(false);
    }
    void cancel() override {}
};

void batchLine(const std::string &line)
{
    NoEngine engine;
    for (const std::string_view format : {"table", "csv", "json"}) {
        const std::string_view arguments[] = {"--format", format};
        std::istringstream in(line + "\n");
        std::ostringstream out;
        std::ostringstream err;
        const int status = tarvelin::cli::runCommandLine(arguments, in, out, err, engine);
        require(status == tarvelin::cli::kExitSuccess || status == tarvelin::cli::kExitSomeFailed);
        // Nothing from the input reaches a terminal raw: only line ends and printable text.
        if (format == "table")
            for (const std::string &text : {out.str(), err.str()})
                for (const char c : text)
                    require(c == '\n' || static_cast<unsigned char>(c) >= 0x20);
    }
}

// Any text read as a tuned design gives a design or a refusal; a design it gives writes a file that reads back
// with the same factors.
void tunedDesign(std::string_view text)
{
    const auto read = tarvelin::tune::readTunedDesign(text);
    const auto *design = std::get_if<tarvelin::tune::TunedDesign>(&read);
    if (!design)
        return;
    const auto specified = tarvelin::design::specifiedDesign(design->frequencyText);
    if (const auto *shown = std::get_if<tarvelin::design::Design>(&specified)) {
        const auto again = tarvelin::tune::readTunedDesign(tarvelin::tune::tunedDesignText(*design, shown->lengths));
        const auto *same = std::get_if<tarvelin::tune::TunedDesign>(&again);
        require(same && same->result.factors == design->result.factors);
    }
}

// A saved design with one field's value, any field's, replaced by the rest of the text: the first byte picks
// the field. Every field so reaches the reader with values of every kind, which it reads or refuses by name.
void tunedDesignField(std::string_view text)
{
    static const std::string saved = [] {
        tarvelin::tune::TunedDesign design;
        design.frequencyText = "14.2";
        design.check.match = tarvelin::design::Match{tarvelin::design::MatchKind::QuarterWave, 75.0, 0.66, "RG-11"};
        design.tune.boomMetres = 20.0;
        design.result.factors = {0.98, 0.977, 0.99, 0.985, 0.975, 0.97, 0.965};
        design.result.stationsMetres = {0.0, 3.0, 6.0, 9.0, 12.0, 15.0, 18.0};
        design.result.before.design.swr = 1.3;
        design.result.after.design.swr = 1.1;
        tarvelin::tune::BandFigures cut;
        cut.swr = {1.5};
        cut.frontToBackDb = {19.0};
        design.result.tolerance = tarvelin::tune::CutTolerance{cut, cut};
        return tarvelin::tune::tunedDesignText(
            design, std::get<tarvelin::design::Design>(tarvelin::design::specifiedDesign("14.2")).lengths);
    }();
    // Where each field's value lies: after its key, up to the comma or bracket that ends it at its own depth.
    static const std::vector<std::pair<std::size_t, std::size_t>> values = [] {
        std::vector<std::pair<std::size_t, std::size_t>> found;
        for (std::size_t at = saved.find("\": "); at != std::string::npos; at = saved.find("\": ", at + 1)) {
            const std::size_t start = at + 3;
            int depth = 0;
            bool quoted = false;
            std::size_t end = start;
            for (; end < saved.size(); ++end) {
                const char c = saved[end];
                if (quoted) {
                    quoted = !(c == '"' && saved[end - 1] != '\\');
                    continue;
                }
                if (c == '"')
                    quoted = true;
                else if (c == '{' || c == '[')
                    ++depth;
                else if (c == '}' || c == ']' || c == ',') {
                    if (depth == 0)
                        break;
                    if (c != ',')
                        --depth;
                }
            }
            found.emplace_back(start, end);
        }
        return found;
    }();
    if (text.empty() || values.empty())
        return;
    const auto &[start, end] = values[static_cast<unsigned char>(text.front()) % values.size()];
    const std::string changed = saved.substr(0, start) + std::string(text.substr(1)) + saved.substr(end);
    tunedDesign(changed);
}

} // namespace

// An analyser's sweep as any file may hold it: read whole or refused naming its line, never half-read; a sweep
// read gives its lowest SWR within its own range.
void measuredSweep(std::string_view text)
{
    for (const char *name : {"sweep.s1p", "sweep.s2p", "sweep.txt"}) {
        const auto read = tarvelin::touchstone::readSweep(text, name);
        if (const auto *refusal = std::get_if<std::string>(&read)) {
            // By its line, or, for a sweep read whole that no antenna gives, by the file alone.
            require(refusal->starts_with(std::string(name) + ", line ") ||
                    refusal->starts_with(std::string(name) + ": every point reflects"));
            continue;
        }
        const auto &sweep = std::get<tarvelin::touchstone::Sweep>(read);
        require(sweep.samples.size() >= 2 && sweep.referenceOhms > 0.0);
        for (std::size_t i = 0; i < sweep.samples.size(); ++i) {
            const auto &sample = sweep.samples[i];
            require(std::isfinite(sample.impedanceOhms.real()) && std::isfinite(sample.impedanceOhms.imag()));
            require(i == 0 || sample.mhz > sweep.samples[i - 1].mhz);
        }
        const tarvelin::measure::MeasuredSweep measured =
            tarvelin::measure::measuredSweepOf(sweep, name, tarvelin::measure::SweepReading{});
        require(std::isnan(measured.minSwrMHz) ||
                (measured.minSwrMHz >= sweep.samples.front().mhz && measured.minSwrMHz <= sweep.samples.back().mhz));
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    numberText(text);
    tunedDesign(text);
    tunedDesignField(text);
    require(tarvelin::reference::disagreement(text).empty());
    shopSheet(text);
    measuredSweep(text);
    if (size >= sizeof(std::int64_t)) {
        std::int64_t raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        lengthTexts(raw);
    }
    if (text.find('\n') == std::string::npos && text.find('\r') == std::string::npos)
        batchLine(text);
    return 0;
}
