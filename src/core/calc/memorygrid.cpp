// SPDX-License-Identifier: MIT
#include "core/calc/memorygrid.h"

#include "core/runtime/runtimeerror.h"

namespace tarvelin::calc {

namespace {

void requireCell(ElementRow row, int gridColumn)
{
    if (gridColumn < 0 || gridColumn >= columnCount(row))
        throw RuntimeError(ErrorNumber::NoSuchMember);
}

} // namespace

MemoryGrid MemoryGrid::copyOf(const ResultGrid &grid)
{
    MemoryGrid copy(grid.frequencyText());
    for (const ElementRow row : kElementRows)
        for (int c = 0; c < columnCount(row); ++c)
            copy.cell(row, c) = grid.cellText(row, c);
    for (const BoomTotal total : {BoomTotal::Feet, BoomTotal::Inches, BoomTotal::Centimetres})
        copy.setBoomText(total, grid.boomText(total));
    copy.m_boomCaptionVisible = grid.boomCaptionVisible();
    return copy;
}

void MemoryGrid::takeResults(MemoryGrid &finished)
{
    m_cells.swap(finished.m_cells);
    m_boom.swap(finished.m_boom);
    m_boomCaptionVisible = true;
}

const std::string &MemoryGrid::cell(ElementRow row, int gridColumn) const
{
    requireCell(row, gridColumn);
    return m_cells[static_cast<std::size_t>(rowIndex(row))][static_cast<std::size_t>(gridColumn)];
}

std::string &MemoryGrid::cell(ElementRow row, int gridColumn)
{
    requireCell(row, gridColumn);
    return m_cells[static_cast<std::size_t>(rowIndex(row))][static_cast<std::size_t>(gridColumn)];
}

const std::string &MemoryGrid::boom(BoomTotal total) const
{
    return m_boom[static_cast<std::size_t>(total)];
}

std::string MemoryGrid::cellText(ElementRow row, int gridColumn) const
{
    return cell(row, gridColumn);
}

void MemoryGrid::setCellText(ElementRow row, int gridColumn, const std::string &text)
{
    cell(row, gridColumn) = text;
}

std::string MemoryGrid::boomText(BoomTotal total) const
{
    return boom(total);
}

void MemoryGrid::setBoomText(BoomTotal total, const std::string &text)
{
    m_boom[static_cast<std::size_t>(total)] = text;
}

} // namespace tarvelin::calc
