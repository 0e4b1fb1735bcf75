#include "ui/transmission/flowsend.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/runtimeerror.h"
#include "common/servizioedi.h"
#include "common/textfiles.h"
#include "flowengine/register.h"
#include "platform/busywait.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/sharemapping.h"

#include <QFileInfo>

namespace uitransmission {

namespace {

constexpr QChar Unita = u'Z';

}  // namespace

std::optional<DatiInvio> LeggiDatiInvio(const QString &dichiarante)
{
    dao::Database db = common::ApriArchivio();
    DatiInvio dati;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Spedoga WHERE Codice = ?"), {dichiarante},
                                   dao::RecordsetType::Snapshot);
        if (rs->eof())
            return std::nullopt;
        dati.codiceUtenza = common::NullToStr(rs->value(QStringLiteral("CodiceUtenza")));
        if (dati.codiceUtenza.isEmpty()) {
            platform::msgBox(QStringLiteral("Nessun codice utenza al servizio ") + common::NomeMacchinaServizio()
                                 + QStringLiteral(" risulta associato al dichiarante/rappresentante il cui codice "
                                                  "coincide con '")
                                 + dichiarante + QStringLiteral("'\r\nDefinire tale associazione quindi riprovare."),
                             common::TitoloCorbix, platform::MsgIcon::Information);
            return std::nullopt;
        }
        dati.ufficio = common::NullToStr(rs->value(QStringLiteral("Ufficio")));
        dati.autoPasswd = rs->value(QStringLiteral("AutoPasswd")).toBool();
        if (dati.autoPasswd)
            dati.password = common::NullToStr(rs->value(QStringLiteral("PasswdUtenza")));
    }
    auto uffici = db.openRecordset(QStringLiteral("SELECT Codice FROM Dogane ORDER BY CODICE"), {},
                                   dao::RecordsetType::Snapshot);
    for (; !uffici->eof(); uffici->moveNext())
        dati.uffici << common::NullToStr(uffici->value(0));
    return dati;
}

bool VerificaPassword(const QString &codiceUtenza, const QString &password)
{
    dao::Database db = common::ApriArchivio();
    auto rs = db.openRecordset(QStringLiteral("SELECT PasswdUtenza FROM Spedoga WHERE CodiceUtenza = ?"), {codiceUtenza},
                               dao::RecordsetType::Snapshot);
    return !rs->eof() && common::NullToStr(rs->value(0)) == password;
}

void MemorizzaAutoPasswd(const QString &codiceUtenza, bool memorizza)
{
    dao::Database db = common::ApriArchivio();
    auto rs = db.openRecordset(QStringLiteral("SELECT AutoPasswd FROM Spedoga WHERE CodiceUtenza = ?"), {codiceUtenza});
    if (rs->eof())
        return;
    rs->edit();
    rs->setValue(QStringLiteral("AutoPasswd"), memorizza);
    rs->update();
}

void Attendi(int secondi)
{
    const platform::BusyWait occupato;
    platform::BusyWait::sleepMs(secondi * 1000);
}

bool VerificaServizioInLinea(const QString &codiceUtenza)
{
    platform::ShareMapper &mapper = platform::shareMapper();
    try {
        mapper.mappa(Unita, common::NomeMacchinaServizio(), codiceUtenza);
    } catch (const platform::RuntimeError &e) {
        if (e.number() == platform::err::BadFileNameOrNumber)
            throw;
        return false;
    }
    bool inLinea = false;
    try {
        Attendi(2);
        inLinea = QFileInfo(platform::hostPath(QString(Unita) + QStringLiteral(":\\"))).isDir();
    } catch (const platform::RuntimeError &) {
        inLinea = false;
    }
    try {
        mapper.rimuovi(Unita);
    } catch (const platform::RuntimeError &) {
        return false;
    }
    return inLinea;
}

QString NomeFileServizio(const QDate &data, const QString &progressivo, const QString &ufficio)
{
    return data.toString(QStringLiteral("yyMMdd")) + progressivo + u'-' + ufficio;
}

bool SpedisciFile(const QString &codiceUtenza, const QString &file, const QString &nomeServizio)
{
    platform::ShareMapper &mapper = platform::shareMapper();
    bool mappata = false;
    try {
        // From the mapping to the end of the last pause the user sees the
        // send at work; a failure is told once it is over.
        const platform::BusyWait occupato;
        mapper.mappa(Unita, common::NomeMacchinaServizio(), codiceUtenza);
        mappata = true;
        Attendi(4);
        const QByteArray contenuto = flowengine::LeggiFileRegistrato(file);
        common::replaceFile(platform::hostPath(QString(Unita) + QStringLiteral(":\\corbix\\") + nomeServizio),
                            contenuto);
        mappata = false;
        mapper.rimuovi(Unita);
        Attendi(2);
    } catch (const platform::RuntimeError &e) {
        if (mappata) {
            try {
                mapper.rimuovi(Unita);
            } catch (const platform::RuntimeError &) {
                // The failure told below is the one that stopped the send.
            }
        }
        common::mostraErroreRunTime(e);
        return false;
    }
    return true;
}

}  // namespace uitransmission
