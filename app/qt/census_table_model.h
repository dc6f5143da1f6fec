// CensusTableModel: one family's table of a census (census_rows.h), one row
// per responder, behind a QTreeView of "Find DHCP Servers...".
#pragma once

#include "app/qt/census_rows.h"

#include <QAbstractTableModel>

class CensusTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    CensusTableModel(QStringList headers, QList<QStringList> rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    QList<QStringList> m_rows; // each as long as m_headers
};
