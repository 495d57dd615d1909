// SPDX-License-Identifier: MIT
#include "core/shop/sheetsource.h"

#include "core/design/arraydesign.h"
#include "core/design/designlengths.h"
#include "core/text/typedtext.h"

#include <algorithm>

namespace tarvelin::shop {

namespace {

std::string titleOf(double mhz, int elements)
{
    return design::designTitle(design::frequencyLabel(mhz), static_cast<std::size_t>(elements));
}

std::string loopsOf(const SheetDesign &design)
{
    return design.tuned ? "tuned" : "specified";
}

} // namespace

std::optional<SheetDesign> SheetSource::shown(std::optional<double> designMHz, int elements) const
{
    if (!designMHz)
        return std::nullopt;
    return SheetDesign{*designMHz, elements, m_tuned};
}

std::optional<int> SheetSource::elements() const
{
    if (!m_tuned)
        return std::nullopt;
    return static_cast<int>(m_tuned->loopFactors.size());
}

void SheetSource::setAside(const std::string &measured, const SheetDesign &of)
{
    std::erase_if(m_setAside, [&of](const SetAside &aside) { return aside.of == of; });
    m_setAside.push_back(SetAside{measured, of});
}

SheetSource::Change SheetSource::commit(std::optional<double> designMHz, int elements, const std::string &measuredText)
{
    Change change;
    if (!designMHz)
        return change;
    const double design = *designMHz;
    if (m_tuned && (design != m_tunedFor || static_cast<std::size_t>(elements) != m_tuned->loopFactors.size())) {
        change.notes.push_back("The tuned loops were for " +
                               titleOf(m_tunedFor, static_cast<int>(m_tuned->loopFactors.size())) +
                               ", so the sheet is the specified design again.");
        m_tuned.reset();
        m_tuning.reset();
    }
    if (m_prediction && (design != m_prediction->forMHz || elements != m_prediction->elements)) {
        change.notes.push_back("The predicted resonance was for " +
                               titleOf(m_prediction->forMHz, m_prediction->elements) +
                               ", so the sheet has no trims for " + titleOf(design, elements) + ".");
        m_prediction.reset();
    }
    // A measurement is of the loops shown when it was taken: of another design, or of the specified loops
    // while tuned ones are shown (or the other way round), it waits until they are shown again.
    const SheetDesign shownNow{design, elements, m_tuned};
    const std::string measured(trimmedText(measuredText));
    bool fieldEmpty = measured.empty();
    if (!measured.empty() && m_measuredFor && shownNow != *m_measuredFor) {
        const SheetDesign of = *m_measuredFor;
        setAside(measured, of);
        m_sweep = {};
        change.measuredText = std::string();
        fieldEmpty = true;
        change.notes.push_back(of.forMHz != shownNow.forMHz || of.elements != shownNow.elements
                                   ? "The measured resonance " + measured + " MHz is for the design at " +
                                         titleOf(of.forMHz, of.elements) +
                                         ": it is set aside, and comes back if the design returns to " +
                                         titleOf(of.forMHz, of.elements) + "."
                                   : "The measured resonance " + measured + " MHz is of the " + loopsOf(of) +
                                         " loops: it is set aside, and comes back with them.");
    }
    const auto waiting = std::find_if(m_setAside.begin(), m_setAside.end(),
                                      [&shownNow](const SetAside &aside) { return aside.of == shownNow; });
    if (fieldEmpty && waiting != m_setAside.end() && !m_prediction) {
        const SetAside back = *waiting;
        m_setAside.erase(waiting);
        change.measuredText = back.measured;
        m_measuredFor = back.of;
        change.notes.push_back("The measured resonance " + back.measured + " MHz of the " + loopsOf(shownNow) +
                               " loops for " + titleOf(shownNow.forMHz, shownNow.elements) + " is back.");
    }
    return change;
}

void SheetSource::measuredEdited(std::optional<double> designMHz, int elements, const std::string &measuredText)
{
    m_measuredFor = shown(designMHz, elements);
    std::erase_if(m_setAside, [this](const SetAside &aside) { return m_measuredFor && aside.of == *m_measuredFor; });
    m_sweep = {};
    if (!trimmedText(measuredText).empty())
        m_prediction.reset();
}

void SheetSource::measuredFromSweep(std::optional<double> designMHz, int elements, const std::string &file,
                                    const std::string &replacedText, const std::string &resonanceText,
                                    const std::string &through)
{
    const std::optional<SheetDesign> now = shown(designMHz, elements);
    const std::optional<double> replaced = megahertzText(replacedText);
    const bool inTurn = !m_sweep.file.empty() && now && m_measuredFor == now && replaced && !m_prediction;
    if (!inTurn)
        m_sweep.inTurn.clear();
    else if (m_sweep.inTurn.empty())
        m_sweep.inTurn.push_back(SweepTurn{m_sweep.file, *replaced, std::nullopt});
    m_sweep.inTurn.push_back(SweepTurn{file, megahertzText(resonanceText).value_or(0.0), std::nullopt});
    m_measuredFor = now;
    // The sweep's measurement replaces any this design had set aside, as a typed one does.
    std::erase_if(m_setAside, [&now](const SetAside &aside) { return now && aside.of == *now; });
    m_sweep.file = file;
    m_sweep.through = through;
    m_prediction.reset();
}

void SheetSource::setCutSinceLastSweep(std::optional<double> inches)
{
    if (m_sweep.inTurn.size() > 1)
        m_sweep.inTurn.back().cutInches = inches;
}

void SheetSource::showSpecified()
{
    m_tuned.reset();
    m_tuning.reset();
    m_prediction.reset();
}

SheetSource::Change SheetSource::predict(double designMHz, int elements, double resonanceMHz, std::string modelNote,
                                         const std::string &measuredText)
{
    Change change;
    m_tuned.reset();
    m_tuning.reset();
    // A measurement typed for this design stays the builder's: it is set aside while the prediction is shown.
    if (!trimmedText(measuredText).empty() && m_measuredFor) {
        setAside(measuredText, *m_measuredFor);
        m_sweep = {};
        change.measuredText = std::string();
    }
    m_prediction = Prediction{resonanceMHz, designMHz, elements, std::move(modelNote)};
    return change;
}

void SheetSource::tune(double designMHz, TunedCut tuned, std::optional<SheetTuning> tuning)
{
    m_prediction.reset();
    m_tuned = std::move(tuned);
    m_tunedFor = designMHz;
    m_tuning = std::move(tuning);
}

std::variant<ShopSheet, ShopRefusal> SheetSource::sheet(const std::string &frequencyText, int elements,
                                                        ShopSettingTexts texts, const std::string &measuredText,
                                                        const design::Match &match) const
{
    // A measurement applies only to the design it was made for; while another is being typed the sheet has no
    // trims.
    const std::optional<double> design = design::designMHzOf(frequencyText);
    const bool measuredHere = design && m_measuredFor && SheetDesign{*design, elements, m_tuned} == *m_measuredFor;
    if (measuredHere || !design)
        texts.measured = measuredText;
    auto read = readShopSettings(texts);
    if (const auto *refusal = std::get_if<ShopRefusal>(&read))
        return *refusal;
    if (trimmedText(frequencyText).empty())
        return ShopRefusal{};
    ShopSettings settings = std::get<ShopSettings>(read);
    settings.elements = elements;
    settings.match = match;
    if (measuredHere)
        trimBySweeps(settings, m_sweep);
    if (!settings.measuredMHz && m_prediction && design && *design == m_prediction->forMHz &&
        elements == m_prediction->elements) {
        settings.measuredMHz = m_prediction->resonanceMHz;
        settings.predicted = true;
        settings.modelNote = m_prediction->modelNote;
    }
    auto made =
        m_tuned ? makeTunedShopSheet(frequencyText, settings, *m_tuned) : makeShopSheet(frequencyText, settings);
    if (auto *sheet = std::get_if<ShopSheet>(&made); sheet && m_tuned)
        sheet->tuning = m_tuning;
    return made;
}

std::optional<SheetSource::Kept> SheetSource::kept(const std::string &measuredText) const
{
    if (m_measuredFor && !m_measuredFor->tuned && !trimmedText(measuredText).empty())
        return Kept{measuredText, m_measuredFor->forMHz, m_measuredFor->elements};
    std::optional<Kept> kept;
    for (const SetAside &aside : m_setAside)
        if (!aside.of.tuned)
            kept = Kept{aside.measured, aside.of.forMHz, aside.of.elements};
    return kept;
}

void SheetSource::restore(const Kept &kept)
{
    m_measuredFor = SheetDesign{kept.forMHz, kept.elements, std::nullopt};
}

} // namespace tarvelin::shop
