#pragma once

#include "platform/dao/recordset.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

namespace uitables {

// The rows of a data control's row set as a bound grid shows them: chosen
// fields under their captions, read-only. The values are read once when the
// row set is given, and the row set is left on the row it was on.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Each column: its caption and the field it shows.
    explicit RecordsetModel(std::vector<std::pair<QString, QString>> colonne, QObject *parent = nullptr);

    // Reads the rows again; null empties the grid.
    void setRecordset(dao::Recordset *rs);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::pair<QString, QString>> colonne_;
    std::vector<std::vector<QVariant>> righe_;
};

}  // namespace uitables
