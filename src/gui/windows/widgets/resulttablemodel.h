// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/resulttable.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace tarvelin {

// A result table as a window shows it: its displayed columns, headings above, the row's heading column (the
// element) as the rows' headers, texts right-aligned, read-only.
class ResultTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultTableModel(QObject *parent = nullptr);

    // Shows this table instead; an empty table with its columns shows its headings alone.
    void setTable(format::ResultTable table);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

private:
    format::ResultTable m_table;
    std::vector<std::size_t> m_shown; // the table's displayed columns, in order
    std::optional<std::size_t> m_rowHeading;
};

} // namespace tarvelin
