// SPDX-License-Identifier: MIT
#include "gui/windows/widgets/resulttablemodel.h"

namespace tarvelin {

ResultTableModel::ResultTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultTableModel::setTable(format::ResultTable table)
{
    beginResetModel();
    m_table = std::move(table);
    m_shown.clear();
    m_rowHeading.reset();
    for (std::size_t c = 0; c < m_table.columns.size(); ++c) {
        if (m_table.columns[c].rowHeading)
            m_rowHeading = c;
        else if (m_table.columns[c].displayed)
            m_shown.push_back(c);
    }
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows.size());
}

int ResultTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

QVariant ResultTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const format::TableColumn &column = m_table.columns[m_shown[static_cast<std::size_t>(index.column())]];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((column.prose ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const format::TableCell &cell =
        m_table.rows[static_cast<std::size_t>(index.row())][m_shown[static_cast<std::size_t>(index.column())]];
    return QString::fromStdString(cell.text);
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal && section < columnCount())
        return QString::fromStdString(m_table.columns[m_shown[static_cast<std::size_t>(section)]].heading);
    if (orientation == Qt::Vertical && m_rowHeading && section < rowCount())
        return QString::fromStdString(m_table.rows[static_cast<std::size_t>(section)][*m_rowHeading].text);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace tarvelin
