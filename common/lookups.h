#pragma once

#include "platform/dao/database.h"

#include <QString>

namespace common {

// A lookup of a code's description in a table keyed by Codice: the table, the
// column read, the text of the lock message (Retry and Cancel) and the
// closing line of the run-time error message.
struct Decodifica {
    QString tabella;
    QString colonna;
    QString testoBlocco;
    QString rigaContesto;
};

// 0 found (description written), -1 no such code (description left as it
// was), -2 the table was locked and the user gave up, -3 another error,
// already shown. formCaption titles the lock message.
qint16 DecodificaCodice(const Decodifica &decodifica, const QString &code, QString &description,
                        const QString &formCaption, dao::Database &db);

// The description of a code typed on a table screen, from the table that
// holds it, with the results of DecodificaCodice.
qint16 GetProvinceDescription(const QString &code, QString &description, const QString &formCaption,
                              dao::Database &db);
qint16 GetDeclarantName(const QString &code, QString &description, const QString &formCaption, dao::Database &db);
qint16 GetCountryDescription(const QString &code, QString &description, const QString &formCaption,
                             dao::Database &db);

}  // namespace common
