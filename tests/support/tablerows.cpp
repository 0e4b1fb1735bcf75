#include "support/tablerows.h"

#include "platform/dao/recordset.h"

#include <QCryptographicHash>
#include <QStringList>

namespace testsupport {

std::string tablesSha(dao::Database db, std::initializer_list<const char *> tables)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char *table : tables)
        for (const QString &row : rowsOf(db, QStringLiteral("SELECT * FROM %1 ORDER BY _rowid_").arg(QLatin1String(table))))
            hash.addData((row + u'\n').toUtf8());
    return hash.result().toHex().toStdString();
}

QStringList rowsOf(dao::Database db, const QString &sql)
{
    QStringList rows;
    auto rs = db.openRecordset(sql, {}, dao::RecordsetType::Snapshot);
    for (; !rs->eof(); rs->moveNext()) {
        QStringList row;
        for (int c = 0; c < int(rs->fields().size()); ++c)
            row << (rs->value(c).isNull() ? QStringLiteral("<null>") : rs->value(c).toString());
        rows << row.join(u'|');
    }
    return rows;
}

}  // namespace testsupport
