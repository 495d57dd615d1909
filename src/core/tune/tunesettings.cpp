// SPDX-License-Identifier: MIT
// The tune's settings as typed, and their limits.
#include "core/tune/tuner.h"

#include "core/format/fieldtext.h"
#include "core/format/typedlength.h"
#include "core/text/typedtext.h"

namespace tarvelin::tune {

std::variant<double, std::string> readTuneBand(const std::string &text)
{
    const std::optional<double> percent = decimalText(withoutUnit(text, "%"));
    if (!percent || !(*percent >= limits::kLowestBandPercent && *percent <= limits::kHighestBandPercent))
        return bandRefusal();
    return *percent;
}

std::string boomRefusal()
{
    return "The boom length must be a length above 0 and below " +
           format::fixedText(design::limits::kHighestBoomMetres, 0) + " m, such as 7.5 m or 25 ft.";
}

std::string bandRefusal()
{
    return "The band must be " + format::fixedText(limits::kLowestBandPercent, 1) + " to " +
           format::fixedText(limits::kHighestBandPercent, 1) + " % either side of the design frequency.";
}

std::variant<double, std::string> readTuneSeconds(const std::string &text)
{
    const std::optional<double> seconds = decimalText(trimmedText(text));
    if (!seconds || !(*seconds >= limits::kShortestTuneSeconds && *seconds <= limits::kLongestTuneSeconds))
        return "The time limit must be " + format::fixedText(limits::kShortestTuneSeconds, 0) + " to " +
               format::fixedText(limits::kLongestTuneSeconds, 0) + " seconds.";
    return *seconds;
}

std::variant<int, std::string> readTuneDesigns(const std::string &text)
{
    const std::optional<double> designs = decimalText(trimmedText(text));
    if (!designs || *designs != std::floor(*designs) ||
        !(*designs >= limits::kFewestDesigns && *designs <= limits::kMostDesigns))
        return "The most designs to try must be a whole number from " + std::to_string(limits::kFewestDesigns) +
               " to " + std::to_string(limits::kMostDesigns) + ".";
    return static_cast<int>(*designs);
}

std::variant<double, std::string> readGoalSwr(const std::string &text)
{
    const std::optional<double> swr = decimalText(trimmedText(text));
    if (!swr || !(*swr >= limits::kLowestGoalSwr && *swr <= limits::kHighestGoalSwr))
        return "The SWR goal must be " + format::fixedText(limits::kLowestGoalSwr, 1) + " to " +
               format::fixedText(limits::kHighestGoalSwr, 1) + ".";
    return *swr;
}

std::variant<double, std::string> readGoalFrontToBack(const std::string &text)
{
    const std::optional<double> db = decimalText(withoutUnit(text, "db"));
    if (!db || !(*db >= limits::kLowestGoalFrontToBackDb && *db <= limits::kHighestGoalFrontToBackDb))
        return "The F/B goal must be " + format::fixedText(limits::kLowestGoalFrontToBackDb, 0) + " to " +
               format::fixedText(limits::kHighestGoalFrontToBackDb, 0) + " dB.";
    return *db;
}

std::variant<double, std::string> readTuneBoom(const std::string &text)
{
    if (format::lacksUnit(text))
        return "The boom length needs its unit, m or ft, such as 7.5 m or 25 ft.";
    const double metres = format::typedMetres(text).value_or(0.0);
    if (!(metres > 0.0 && metres < design::limits::kHighestBoomMetres))
        return boomRefusal();
    return metres;
}

std::optional<std::string> tuneSettingsProblem(const TuneSettings &tune)
{
    if (!(tune.bandPercent >= limits::kLowestBandPercent && tune.bandPercent <= limits::kHighestBandPercent))
        return bandRefusal();
    if (!(tune.maxSwr >= limits::kLowestGoalSwr && tune.maxSwr <= limits::kHighestGoalSwr))
        return std::get<std::string>(readGoalSwr(""));
    if (!(tune.minFrontToBackDb >= limits::kLowestGoalFrontToBackDb &&
          tune.minFrontToBackDb <= limits::kHighestGoalFrontToBackDb))
        return std::get<std::string>(readGoalFrontToBack(""));
    if (tune.boomMetres && !(*tune.boomMetres > 0.0 && *tune.boomMetres < design::limits::kHighestBoomMetres))
        return boomRefusal();
    return std::nullopt;
}

} // namespace tarvelin::tune
