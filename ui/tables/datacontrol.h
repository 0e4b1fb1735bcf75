#pragma once

#include "platform/dao/database.h"
#include "platform/dao/recordset.h"

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

}  // namespace uitables
