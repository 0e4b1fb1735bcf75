#include "ui/tables/recordsetmodel.h"

namespace uitables {

RecordsetModel::RecordsetModel(std::vector<std::pair<QString, QString>> colonne, QObject *parent)
    : QAbstractTableModel(parent), colonne_(std::move(colonne))
{
}

void RecordsetModel::setRecordset(dao::Recordset *rs)
{
    beginResetModel();
    righe_.clear();
    if (rs && rs->recordCount() > 0) {
        const int posizione = rs->absolutePosition();
        for (int riga = 0; riga < rs->recordCount(); ++riga) {
            rs->setAbsolutePosition(riga);
            std::vector<QVariant> valori;
            for (const auto &colonna : colonne_)
                valori.push_back(rs->value(colonna.second));
            righe_.push_back(std::move(valori));
        }
        rs->setAbsolutePosition(posizione < 0 ? 0 : posizione);
    }
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(righe_.size());
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(colonne_.size());
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariant &valore = righe_[index.row()][index.column()];
    return valore.isNull() ? QVariant(QString()) : valore;
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < static_cast<int>(colonne_.size()) ? QVariant(colonne_[section].first) : QVariant();
    return {};
}

}  // namespace uitables
