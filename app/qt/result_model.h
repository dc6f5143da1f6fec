// ResultModel: the results list's rows, one per option of the last request:
// the parameter and its data as the window shows them, with the server's or
// the option's image; a row of kImageAdapter opens a section, in bold. Copy, Copy All and Save
// write the rows' own bytes.
#pragma once

#include "core/model/result_rows.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

class ResultModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // serverIcon marks the server's row (kImageServer), optionIcon every other.
    ResultModel(const QIcon& serverIcon, const QIcon& optionIcon, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces every row; an empty list clears the list.
    void setRows(const std::vector<ResultRow>& rows);

    // The standard tab-separated text (core/model/tsv_text.h) of one row, and
    // of every row.
    CString tsvRow(int row) const;
    CString tsvText() const;

private:
    struct Row
    {
        ResultRow cells;   // the bytes, as Copy and Save write them
        QString parameter; // the cells as every peer text is shown
        QString data;
    };

    QIcon m_serverIcon;
    QIcon m_optionIcon;
    std::vector<Row> m_rows;
};
