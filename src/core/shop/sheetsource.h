// SPDX-License-Identifier: MIT
#pragma once

#include "core/shop/shopsheet.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvelin::shop {

// A design a sheet is cut from: its frequency as read, its element count, and the tune's loops and stations
// where it is a tuned design.
struct SheetDesign
{
    double forMHz = 0.0;
    int elements = 7;
    std::optional<TunedCut> tuned;
    bool operator==(const SheetDesign &) const = default;
};

// What the sheet is cut from and trimmed by, as the builder moves between designs: the specified design or
// tuned loops, and a measured resonance or the model's prediction. Each belongs to the design it was made
// for: tuned loops and a prediction give way to another design, each with a note; a measurement of another
// design, or of the specified loops while tuned ones are shown (or the other way round), is set aside and
// comes back when its design does. While a frequency is being typed, none is applied to a design it was not
// made for. The Shop Sheet window keeps one, and only shows what it says.
class SheetSource
{
public:
    // What an event asks of the window: notes to show, and, where it changes, the text of the measured field,
    // which is then the source's own doing and no edit of the builder's.
    struct Change
    {
        std::vector<std::string> notes;
        std::optional<std::string> measuredText;
    };

    // The design frequency and element count as committed (Enter, leaving the field, a pause in typing, or
    // sent from another window); none when the text gives no design. `measuredText`: the field as it stands.
    [[nodiscard]] Change commit(std::optional<double> designMHz, int elements, const std::string &measuredText);
    // The builder typed the measured resonance: it is for the design shown now.
    void measuredEdited(std::optional<double> designMHz, int elements, const std::string &measuredText);
    // A measured resonance read from a sweep's file, for the design shown now, and what it was read through to
    // reach the feed point, if anything. Where the measurement it
    // replaces (`replacedText`) was read from a sweep of the same loops too, the builder trimmed by it and swept
    // again: the sweeps are in turn, and the sheet trims the loops as that trim left them.
    void measuredFromSweep(std::optional<double> designMHz, int elements, const std::string &file,
                           const std::string &replacedText, const std::string &resonanceText,
                           const std::string &through = {});
    // Whether the measurement is the latest of sweeps in turn, which asks what was cut since the one before.
    [[nodiscard]] bool sweptInTurn() const { return m_sweep.inTurn.size() > 1; }
    // What the builder cut from the driven loop since the sweep before the latest, in inches, shortened
    // positive; none for the trim the sheet advised.
    void setCutSinceLastSweep(std::optional<double> inches);

    // The specified design again, without tuned loops or a prediction.
    void showSpecified();
    // The model's predicted resonance for that design: a measurement typed for it is set aside meanwhile.
    [[nodiscard]] Change predict(double designMHz, int elements, double resonanceMHz, std::string modelNote,
                                 const std::string &measuredText);
    // Tuned loops for that design, with what the tune said of them where known.
    void tune(double designMHz, TunedCut tuned, std::optional<SheetTuning> tuning);

    [[nodiscard]] bool tuned() const { return m_tuned.has_value(); }
    [[nodiscard]] const std::optional<TunedCut> &tunedCut() const { return m_tuned; }
    [[nodiscard]] bool predicted() const { return m_prediction.has_value(); }
    // The element count the design shown has where the source fixes it (tuned loops), or none.
    [[nodiscard]] std::optional<int> elements() const;

    // The sheet for the frequency text and the element count as they stand, the settings as typed (their
    // measured resonance aside) and the measured field: the measurement applies only to its own design, and
    // the prediction stands in for it only for its own design, where no measurement is typed.
    [[nodiscard]] std::variant<ShopSheet, ShopRefusal> sheet(const std::string &frequencyText, int elements,
                                                             ShopSettingTexts texts, const std::string &measuredText,
                                                             const design::Match &match = {}) const;

    // The measurement to keep between runs: the specified design's, even while it is set aside; what tuned
    // loops measured belongs to them alone, which are not kept.
    struct Kept
    {
        std::string measured;
        double forMHz = 0.0;
        int elements = 7;
    };
    [[nodiscard]] std::optional<Kept> kept(const std::string &measuredText) const;
    // The kept measurement back, for the design it was kept for.
    void restore(const Kept &kept);

private:
    struct SetAside
    {
        std::string measured;
        SheetDesign of;
    };
    struct Prediction
    {
        double resonanceMHz = 0.0;
        double forMHz = 0.0;
        int elements = 7;
        std::string modelNote;
    };
    void setAside(const std::string &measured, const SheetDesign &of);
    [[nodiscard]] std::optional<SheetDesign> shown(std::optional<double> designMHz, int elements) const;

    std::optional<TunedCut> m_tuned;
    double m_tunedFor = 0.0;
    std::optional<SheetTuning> m_tuning;
    std::optional<Prediction> m_prediction;
    std::optional<SheetDesign> m_measuredFor;
    // The sweep the measured resonance was read from, until it is typed over: its file, what it was read through,
    // and the resonances of the sweeps in turn of its loops, oldest first.
    SheetSweeps m_sweep;
    std::vector<SetAside> m_setAside; // one for each design at most
};

} // namespace tarvelin::shop
