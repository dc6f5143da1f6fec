#include "app/qt/result_model.h"

#include "core/model/peer_text.h"
#include "core/model/tsv_text.h"

#include <QFont>

namespace
{
enum Column
{
    kParameterColumn,
    kDataColumn,
    kColumnCount,
};

// Qt draws any character, so UTF-8 is the charset, whatever the locale.
QString shown(const CString& text)
{
    const CString escaped = ShownPeerText(text, PeerCharset::Utf8);
    return QString::fromUtf8(escaped.data(), static_cast<qsizetype>(escaped.size()));
}
} // namespace

ResultModel::ResultModel(const QIcon& serverIcon, const QIcon& optionIcon, QObject* parent)
    : QAbstractTableModel(parent), m_serverIcon(serverIcon), m_optionIcon(optionIcon)
{
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == kParameterColumn ? row.parameter : row.data;
    // A row that opens a section (the IPv6 part and its parts) has no
    // option's image, and stands out in bold.
    const bool heading = row.cells.nImage == kImageAdapter;
    if (role == Qt::FontRole && heading)
    {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::DecorationRole && index.column() == kParameterColumn && !heading)
        return row.cells.nImage == kImageServer ? m_serverIcon : m_optionIcon;
    return QVariant();
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return section == kParameterColumn ? QString("DHCP Parameter") : QString("DHCP Data");
}

void ResultModel::setRows(const std::vector<ResultRow>& rows)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (const ResultRow& row : rows)
        m_rows.push_back({row, shown(row.strParameter), shown(row.strData)});
    endResetModel();
}

CString ResultModel::tsvRow(int row) const
{
    const ResultRow& cells = m_rows.at(static_cast<std::size_t>(row)).cells;
    return BuildTsvRow({cells.strParameter, cells.strData});
}

CString ResultModel::tsvText() const
{
    CellTable table;
    table.reserve(m_rows.size());
    for (const Row& row : m_rows)
        table.push_back({row.cells.strParameter, row.cells.strData});
    return BuildTsvText(table);
}
