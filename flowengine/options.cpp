#include "flowengine/options.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/collectionpointmove.h"
#include "flowengine/register.h"
#include "platform/crashpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <optional>

namespace flowengine {

namespace {


// The collection point's change, decided before the row is written: the
// path to store, and the move of its folder when one was made.
struct CambioCentrale {
    QString registrare;
    std::unique_ptr<SpostamentoCentrale> spostamento;
};

// Moves the folder for a change of the collection point; Centrale in memory
// goes back to the stored path whenever the new one is not kept. Nothing
// when the stored path is to stay.
std::optional<CambioCentrale> cambiaCentrale(const QString &registrato)
{
    QString &nuovo = common::OpzioniCorbix.Centrale;
    if (registrato.isEmpty()) {
        // No folder exists yet to be moved: the path is simply recorded.
        return CambioCentrale{nuovo, nullptr};
    }
    if (nuovo.isEmpty()) {
        platform::msgBox(QStringLiteral("Il punto di raccolta non può essere vuoto: viene mantenuto il percorso '")
                             + registrato + QStringLiteral("'."),
                         common::TitoloCorbix, platform::MsgIcon::Exclamation);
        nuovo = registrato;
        return std::nullopt;
    }
    auto spostamento = std::make_unique<SpostamentoCentrale>(registrato, nuovo);
    try {
        spostamento->rinomina();
        return CambioCentrale{nuovo, std::move(spostamento)};
    } catch (const platform::RuntimeError &e) {
        const int n = e.number();
        if (n == platform::err::FileNotFound || n == platform::err::PathNotFound
            || n == platform::err::PathFileAccess) {
            const platform::MsgResult risposta = platform::msgBox(
                QStringLiteral("Impossibile spostare la centrale nel percorso specificato. Mantenere comunque il "
                               "nuovo percorso? Scegliendo sì l'applicazione verrà terminata per consentire "
                               "all'operatore di effettuare lo spostamento manuale, quindi si potrà riavviare "
                               "l'applicazione."),
                common::TitoloCorbix, platform::MsgIcon::Question, platform::MsgButtons::YesNo, 1);
            if (risposta == platform::MsgResult::Yes) {
                common::ChiudiApplicazione = true;
                return CambioCentrale{nuovo, nullptr};
            }
        } else {
            common::mostraErroreRunTime(e);
        }
        nuovo = registrato;
        return std::nullopt;
    }
}

}  // namespace

bool CaricaOpzioni()
{
    try {
        dao::Database db = common::ApriArchivio();
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT * FROM Paramflu"));
        if (rs->eof()) {
            rs->close();
            db.close();
            platform::msgBox(QStringLiteral("Impossibile impostare le opzioni dell'applicazione."),
                             QStringLiteral("CORBIX DOGANALI"), platform::MsgIcon::Critical);
            return false;
        }
        common::Opzioni letto;
        letto.FloppyDevice = common::NullToStr(rs->value(QStringLiteral("FloppyDevice")));
        letto.UserDir = common::NullToStr(rs->value(QStringLiteral("UserDir")));
        letto.Centrale = common::NullToStr(rs->value(QStringLiteral("Centrale")));
        letto.PreventCheck = rs->value(QStringLiteral("PreventCheck")).toBool();
        letto.SendWith = common::CanaleInvio(rs->value(QStringLiteral("SendWith")).toInt());
        // The LAN service is no longer offered: flows go by Internet/Intranet.
        if (letto.SendWith == common::CanaleInvio::ServizioLan)
            letto.SendWith = common::CanaleInvio::InternetIntranet;
        letto.WhereWrite = common::DestinazionePredefinita(rs->value(QStringLiteral("WhereWrite")).toInt());
        rs->close();
        db.close();
        common::OpzioniCorbix = letto;
        return true;
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return false;
    }
}

bool SalvaOpzioni()
{
    common::Opzioni &o = common::OpzioniCorbix;
    std::optional<QString> registrato;
    std::optional<CambioCentrale> cambio;
    try {
        dao::Database db = common::ApriArchivio();
        {
            std::unique_ptr<dao::Recordset> letto = db.openRecordset(QStringLiteral("SELECT Centrale FROM Paramflu"));
            if (!letto->eof())
                registrato = common::NullToStr(letto->value(QStringLiteral("Centrale")));
        }
        // The folder moves before the archive learns its new path, with the
        // note that lets a start-up finish the move after a crash.
        if (registrato && *registrato != o.Centrale)
            cambio = cambiaCentrale(*registrato);
        // The options row and the register's file names change together.
        dao::Transaction transazione(db);
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT * FROM Paramflu"));
        if (rs->eof()) {
            rs->addNew();
            // A row added again keeps the collection point in use.
            rs->setValue(QStringLiteral("Centrale"), common::StrToNull(o.Centrale));
        } else {
            rs->edit();
            if (cambio)
                rs->setValue(QStringLiteral("Centrale"), common::StrToNull(cambio->registrare));
        }
        rs->setValue(QStringLiteral("FloppyDevice"), common::StrToNull(o.FloppyDevice));
        rs->setValue(QStringLiteral("UserDir"), common::StrToNull(o.UserDir));
        rs->setValue(QStringLiteral("SendWith"), static_cast<int>(o.SendWith));
        rs->setValue(QStringLiteral("PreventCheck"), o.PreventCheck);
        rs->setValue(QStringLiteral("WhereWrite"), static_cast<int>(o.WhereWrite));
        rs->update();
        rs->close();
        // A collection point moved, by the save or by hand: the files the
        // register names are under the new path.
        if (registrato && !registrato->isEmpty() && *registrato != o.Centrale)
            SpostaNomiRegistro(db, *registrato, o.Centrale);
        transazione.commit();
        db.close();
        if (cambio && cambio->spostamento) {
            CORBIX_PUNTO_DI_ARRESTO("spostamento.registrata");
            cambio->spostamento->concludi();
        }
        return true;
    } catch (const platform::RuntimeError &e) {
        // Nothing was written: the folder goes back where the archive says it is.
        if (cambio && cambio->spostamento)
            cambio->spostamento->annulla();
        if (registrato)
            o.Centrale = *registrato;
        common::mostraErroreRunTime(e);
        return false;
    }
}

QString LeggiCentrale(const QString &percorso)
{
    try {
        dao::Database db = common::ApriDatabase(percorso);
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT Centrale FROM Paramflu"));
        const QString centrale = rs->eof() ? QString() : common::NullToStr(rs->value(QStringLiteral("Centrale")));
        rs->close();
        db.close();
        return centrale;
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return {};
    }
}

}  // namespace flowengine
