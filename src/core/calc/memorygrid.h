// SPDX-License-Identifier: MIT
#pragma once

#include "core/calc/resultgrid.h"

#include <array>
#include <string>

namespace tarvelin::calc {

// A result grid held as plain texts. The command-line companion calculates into it, the calculation pass
// uses one as its scratch copy, and the tests read it back.
class MemoryGrid final : public ResultGrid
{
public:
    MemoryGrid() = default;
    explicit MemoryGrid(std::string frequencyText) : m_frequencyText(std::move(frequencyText)) {}

    // Takes every text and flag of another grid, so a pass can work on a copy of what is displayed.
    [[nodiscard]] static MemoryGrid copyOf(const ResultGrid &grid);

    void setFrequencyText(std::string text) { m_frequencyText = std::move(text); }

    [[nodiscard]] std::string frequencyText() const override { return m_frequencyText; }
    [[nodiscard]] std::string cellText(ElementRow row, int gridColumn) const override;
    void setCellText(ElementRow row, int gridColumn, const std::string &text) override;
    [[nodiscard]] std::string boomText(BoomTotal total) const override;
    void setBoomText(BoomTotal total, const std::string &text) override;
    [[nodiscard]] bool boomCaptionVisible() const override { return m_boomCaptionVisible; }
    void setBoomCaptionVisible(bool visible) override { m_boomCaptionVisible = visible; }

    // Takes over every cell and boom text of a finished pass (the finished grid gets this one's old texts)
    // and shows the boom caption, as the pass does when it hands its results on one by one.
    void takeResults(MemoryGrid &finished);

    // Cheap reads for the pass's own inner loop, with the same bounds rule as cellText.
    [[nodiscard]] const std::string &cell(ElementRow row, int gridColumn) const;
    [[nodiscard]] std::string &cell(ElementRow row, int gridColumn);
    [[nodiscard]] const std::string &boom(BoomTotal total) const;

private:
    std::string m_frequencyText;
    std::array<std::array<std::string, kGridColumnCount>, kElementRowCount> m_cells{};
    std::array<std::string, 3> m_boom{};
    bool m_boomCaptionVisible = false;
};

} // namespace tarvelin::calc
