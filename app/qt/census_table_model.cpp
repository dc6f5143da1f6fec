#include "app/qt/census_table_model.h"

CensusTableModel::CensusTableModel(QStringList headers, QList<QStringList> rows, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_rows(std::move(rows))
{
}

int CensusTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CensusTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant CensusTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.column() >= m_rows[index.row()].size())
        return QVariant();
    return m_rows[index.row()][index.column()];
}

QVariant CensusTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return QVariant();
    return m_headers[section];
}
