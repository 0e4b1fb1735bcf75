#pragma once

#include "platform/dao/database.h"
#include "platform/dao/recordset.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVariantList>
#include <QWidget>
#include <QStringList>
#include <memory>
#include <vector>

class QLabel;
class QToolButton;

namespace uitables {

// The bound data control of a table screen: a database, a record source
// (a query with its bound values) and the row set it gives, with the four
// move buttons and a caption. Every move of the current row emits
// Reposition.
class DataControl : public QWidget {
    Q_OBJECT
public:
    explicit DataControl(QWidget *parent = nullptr);

    // The database file, as the program keeps its path (a Windows path is
    // reached through the drive table). Opened at the first use.
    QString DatabaseName;
    QString RecordSource;
    QVariantList RecordSourceValues;

    dao::Database &Database();
    // The row set of the record source; null when the source is empty.
    dao::Recordset *Recordset() const { return recordset_.get(); }

    // Runs the record source again: an empty source closes the row set. The
    // first row becomes current when there is one.
    void Refresh();

    QString Caption() const;
    void setCaption(const QString &caption);

    // Moves that stop at the first and at the last row.
    void MoveFirst();
    void MovePrevious();
    void MoveNext();
    void MoveLast();
    void MoveTo(int position);

    QToolButton *cmdFirst;
    QToolButton *cmdPrevious;
    QToolButton *cmdNext;
    QToolButton *cmdLast;

signals:
    void Reposition();

private:
    void move(void (dao::Recordset::*step)());

    dao::Database database_;
    std::unique_ptr<dao::Recordset> recordset_;
    QLabel *caption_;
};

// The rows of a data control's row set for a data-bound grid, one column per
// field given, headed by its caption; the grid's caller moves the row set to
// the row the user picks.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Colonna {
        QString caption;
        QString field;
    };

    RecordsetModel(DataControl *data, std::vector<Colonna> columns, QObject *parent = nullptr);

    // Reads the row set again after the data control was refreshed.
    void Rebind();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    DataControl *data_;
    std::vector<Colonna> columns_;
    std::vector<QStringList> rows_;  // the texts shown, read at the last Rebind
};

}  // namespace uitables
