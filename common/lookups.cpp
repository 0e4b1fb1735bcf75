#include "common/lookups.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "common/runtimeerror.h"
#include "platform/dao/recordset.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

namespace common {

namespace {

const Decodifica Province = {
    QStringLiteral("Province"),
    QStringLiteral("Descrizione"),
    QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio la descrizione della provincia. "
                   "Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere "
                   "'Annulla' per abbandonare."),
    QStringLiteral("Durante la decodifica della provincia."),
};

const Decodifica Declarant = {
    QStringLiteral("Spedoga"),
    QStringLiteral("Descrizione"),
    QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio il nominativo del "
                   "dichiarante/rappresentante. Scegliere 'Riprova' per attendere che il dato sia di nuovo "
                   "disponibile, altrimenti scegliere 'Annulla' per abbandonare."),
    QStringLiteral("Durante la decodifica del dichiarante/rappresentante."),
};

const Decodifica Country = {
    QStringLiteral("Stati"),
    QStringLiteral("Descrizione"),
    QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio la descrizione dello stato. "
                   "Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere "
                   "'Annulla' per abbandonare."),
    QStringLiteral("Durante la decodifica dello stato."),
};

}  // namespace

// The code is a bound value: one holding a double quote is simply not found.
qint16 DecodificaCodice(const Decodifica &lookup, const QString &code, QString &description,
                        const QString &formCaption, dao::Database &db)
{
    const QString sql = QStringLiteral("SELECT * FROM %1 WHERE Codice = ?").arg(lookup.tabella);
    for (;;) {
        try {
            auto rs = db.openRecordset(sql, {code});
            if (rs->recordCount() == 0)
                return -1;
            description = NullToStr(rs->value(lookup.colonna));
            return 0;
        } catch (const platform::RuntimeError &e) {
            if (e.number() == platform::err::CouldNotLockTable) {
                if (platform::msgBox(lookup.testoBlocco, formCaption, platform::MsgIcon::Information,
                                     platform::MsgButtons::RetryCancel)
                    == platform::MsgResult::Retry)
                    continue;
                return -2;
            }
            platform::msgBox(TestoErroreRuntime(e.number(), e.description()) + QStringLiteral("\r\n\r\n")
                                 + lookup.rigaContesto,
                             NomeProgramma, platform::MsgIcon::Critical);
            return -3;
        }
    }
}

qint16 GetProvinceDescription(const QString &code, QString &description, const QString &formCaption,
                              dao::Database &db)
{
    return DecodificaCodice(Province, code, description, formCaption, db);
}

qint16 GetDeclarantName(const QString &code, QString &description, const QString &formCaption, dao::Database &db)
{
    return DecodificaCodice(Declarant, code, description, formCaption, db);
}

qint16 GetCountryDescription(const QString &code, QString &description, const QString &formCaption,
                             dao::Database &db)
{
    return DecodificaCodice(Country, code, description, formCaption, db);
}

}  // namespace common
