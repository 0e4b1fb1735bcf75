#include "common/openretry.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "platform/busywait.h"
#include "platform/clock.h"
#include "platform/dao/values.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QDateTime>
#include <optional>

namespace common {

using namespace platform::err;

int OpenRecordsetRetry(dao::Database &db, std::unique_ptr<dao::Recordset> &rs, const QString &sql,
                       const QVariantList &params, std::chrono::milliseconds timeout)
{
    platform::Clock &clock = platform::clock();
    const qint64 deadline = clock.monotonicMs() + timeout.count();
    // The query as it reads with its values in place, for the messages.
    const QString shownSql = dao::sqlForDisplay(sql, params);
    // What the recordset writes is committed within the same deadline.
    const dao::CommitWait attesa(int(timeout.count()));
    // The layer's own wait for a lock ends with the deadline too.
    const dao::WaitDeadline scadenza(deadline);
    // While the lock is waited for, the user sees the busy cursor.
    std::optional<platform::BusyWait> occupato;
    while (clock.monotonicMs() <= deadline) {
        try {
            rs = db.openRecordset(sql, params, dao::RecordsetType::Dynaset, dao::DenyWrite | dao::DenyRead);
            return 0;
        } catch (const platform::RuntimeError &e) {
            switch (e.number()) {
            case TableLockedExclusive:
            case CouldNotLockTableDenied:
                if (!occupato)
                    occupato.emplace();
                platform::BusyWait::sleepMs(platform::LockRetryPauseMs);
                break;
            case ObjectNotFound:
                platform::msgBox(QStringLiteral("Errore di applicazione: la tabella '") + shownSql
                                     + QStringLiteral("' non risulta definita nel DataBase '") + db.name()
                                     + QStringLiteral("'."),
                                 TitoloCorbix, platform::MsgIcon::Critical, platform::MsgButtons::OK);
                return -1;
            default:
                platform::msgBox(TestoErroreRunRime(e.number(), e.description()), TitoloCorbix,
                                 platform::MsgIcon::Critical, platform::MsgButtons::OK);
                return -3;
            }
        }
    }
    occupato.reset();
    platform::msgBox(QStringLiteral("I dati richiesti nell'interrogazione '") + shownSql
                         + QStringLiteral("' risultano bloccati da troppo tempo. Chiudere e riavviare tutte le "
                                          "applicazioni che accedono alla base di dati '")
                         + db.name() + QStringLiteral("'."),
                     NomeProgramma, platform::MsgIcon::Critical, platform::MsgButtons::OK);
    return -2;
}

QString NullToStr(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime t = value.toDateTime();
        return t.time() == QTime(0, 0) ? t.toString(QStringLiteral("dd/MM/yyyy"))
                                       : t.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'G', 15).replace(u'.', u',');
    default:
        return value.toString();
    }
}

QVariant StrToNull(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text;
}

}  // namespace common
