#include "common/lookups.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

namespace common {

namespace {

struct Lookup {
    const char *table;
    const char *lockText;
    const char *contextLine;
};

const Lookup Province = {
    "Province",
    "Risulta momentaneamente impossibile estrarre dall'archivio la descrizione della provincia. Scegliere "
    "'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere 'Annulla' per abbandonare.",
    "Durante la decodifica della provincia.",
};

const Lookup Declarant = {
    "Spedoga",
    "Risulta momentaneamente impossibile estrarre dall'archivio il nominativo del dichiarante/rappresentante. "
    "Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere 'Annulla' per "
    "abbandonare.",
    "Durante la decodifica del dichiarante/rappresentante.",
};

const Lookup Country = {
    "Stati",
    "Risulta momentaneamente impossibile estrarre dall'archivio la descrizione dello stato. Scegliere 'Riprova' "
    "per attendere che il dato sia di nuovo disponibile, altrimenti scegliere 'Annulla' per abbandonare.",
    "Durante la decodifica dello stato.",
};

// The code is a bound value: one holding a double quote is simply not found.
qint16 describe(const Lookup &lookup, const QString &code, QString &description, const QString &formCaption,
                dao::Database &db)
{
    const QString sql = QStringLiteral("SELECT * FROM %1 WHERE Codice = ?").arg(QLatin1String(lookup.table));
    for (;;) {
        try {
            auto rs = db.openRecordset(sql, {code});
            if (rs->recordCount() == 0)
                return -1;
            description = NullToStr(rs->value(QStringLiteral("Descrizione")));
            return 0;
        } catch (const platform::RuntimeError &e) {
            if (e.number() == platform::err::CouldNotLockTable) {
                if (platform::msgBox(QString::fromUtf8(lookup.lockText), formCaption, platform::MsgIcon::Information,
                                     platform::MsgButtons::RetryCancel)
                    == platform::MsgResult::Retry)
                    continue;
                return -2;
            }
            platform::msgBox(QStringLiteral("Errore di Run-time %1\r\n%2\r\n\r\n%3")
                                 .arg(e.number())
                                 .arg(e.description(), QString::fromUtf8(lookup.contextLine)),
                             NomeProgramma, platform::MsgIcon::Critical);
            return -3;
        }
    }
}

}  // namespace

qint16 GetProvinceDescription(const QString &code, QString &description, const QString &formCaption,
                              dao::Database &db)
{
    return describe(Province, code, description, formCaption, db);
}

qint16 GetDeclarantName(const QString &code, QString &description, const QString &formCaption, dao::Database &db)
{
    return describe(Declarant, code, description, formCaption, db);
}

qint16 GetCountryDescription(const QString &code, QString &description, const QString &formCaption,
                             dao::Database &db)
{
    return describe(Country, code, description, formCaption, db);
}

}  // namespace common
