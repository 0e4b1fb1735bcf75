#include "flowengine/options.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/register.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace flowengine {

namespace {


// A folder moved by the save, kept so that the move can be undone when the
// row then cannot be written.
struct Spostamento {
    QString da;
    QString a;
};

// Moves the folder of the path da to the path a (both without their closing
// "\"). Raises 53 when there is no folder to move, 76 when the new parent is
// missing, 58 when another file or folder holds the new name, 75 when the
// move itself fails.
Spostamento spostaCartella(const QString &da, const QString &a)
{
    const QString origine = platform::hostPath(da);
    if (!QFileInfo(origine).isDir())
        platform::raise(platform::err::FileNotFound);
    const QString genitore = common::EstraiPercorso(a);
    const QString nome = common::EstraiNomeFile(a);
    if (genitore.isEmpty() || nome.isEmpty())
        platform::raise(platform::err::BadFileNameOrNumber);
    const QString cartellaGenitore = platform::hostPath(genitore);
    if (!QFileInfo(cartellaGenitore).isDir())
        platform::raise(platform::err::PathNotFound);
    // The new name as written, so that a change of letter case alone is
    // carried onto the disk; the name found without regard to case must be
    // the folder itself or nothing.
    const QString destinazione = QDir(cartellaGenitore).filePath(nome);
    const QFileInfo esistente(platform::hostPath(a));
    if (esistente.exists() && esistente.canonicalFilePath() != QFileInfo(origine).canonicalFilePath())
        platform::raise(platform::err::FileAlreadyExists);
    if (destinazione != origine && !QDir().rename(origine, destinazione))
        platform::raise(platform::err::PathFileAccess);
    return {origine, destinazione};
}

// Writes a change of the collection point into the row being edited, moving
// its folder; Centrale in memory goes back to the stored path whenever the new
// one is not kept.
std::optional<Spostamento> cambiaCentrale(dao::Recordset &rs, const QString &registrato)
{
    QString &nuovo = common::OpzioniCorbix.Centrale;
    if (registrato.isEmpty()) {
        // No folder exists yet to be moved: the path is simply recorded.
        rs.setValue(QStringLiteral("Centrale"), common::StrToNull(nuovo));
        return std::nullopt;
    }
    if (nuovo.isEmpty()) {
        platform::msgBox(QStringLiteral("Il punto di raccolta non può essere vuoto: viene mantenuto il percorso '")
                             + registrato + QStringLiteral("'."),
                         common::TitoloCorbix, platform::MsgIcon::Exclamation);
        nuovo = registrato;
        return std::nullopt;
    }
    try {
        const Spostamento fatto = spostaCartella(senzaSeparatoreFinale(registrato), senzaSeparatoreFinale(nuovo));
        rs.setValue(QStringLiteral("Centrale"), nuovo);
        return fatto;
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
                rs.setValue(QStringLiteral("Centrale"), nuovo);
                common::ChiudiApplicazione = true;
                return std::nullopt;
            }
        } else {
            mostraErroreRunTime(e);
        }
        nuovo = registrato;
        return std::nullopt;
    }
}

}  // namespace

void mostraErroreRunTime(const platform::RuntimeError &error)
{
    platform::msgBox(QStringLiteral("Errore di Run-time ") + QString::number(error.number()) + QStringLiteral(":\r\n")
                         + error.description(),
                     common::TitoloCorbix, platform::MsgIcon::Critical);
}

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
        letto.SendWith = rs->value(QStringLiteral("SendWith")).toInt();
        // The LAN service is no longer offered: flows go by Internet/Intranet.
        if (letto.SendWith == 2)
            letto.SendWith = 1;
        letto.WhereWrite = rs->value(QStringLiteral("WhereWrite")).toInt();
        rs->close();
        db.close();
        common::OpzioniCorbix = letto;
        return true;
    } catch (const platform::RuntimeError &e) {
        mostraErroreRunTime(e);
        return false;
    }
}

bool SalvaOpzioni()
{
    common::Opzioni &o = common::OpzioniCorbix;
    std::optional<QString> registrato;
    std::optional<Spostamento> spostato;
    try {
        dao::Database db = common::ApriArchivio();
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT * FROM Paramflu"));
        if (!rs->eof())
            registrato = common::NullToStr(rs->value(QStringLiteral("Centrale")));
        // The options row and the register's file names change together.
        dao::Transaction transazione(db);
        if (!registrato) {
            rs->addNew();
            // A row added again keeps the collection point in use.
            rs->setValue(QStringLiteral("Centrale"), common::StrToNull(o.Centrale));
        } else {
            rs->edit();
        }
        rs->setValue(QStringLiteral("FloppyDevice"), common::StrToNull(o.FloppyDevice));
        rs->setValue(QStringLiteral("UserDir"), common::StrToNull(o.UserDir));
        rs->setValue(QStringLiteral("SendWith"), o.SendWith);
        rs->setValue(QStringLiteral("PreventCheck"), o.PreventCheck);
        rs->setValue(QStringLiteral("WhereWrite"), o.WhereWrite);
        if (registrato && *registrato != o.Centrale)
            spostato = cambiaCentrale(*rs, *registrato);
        rs->update();
        rs->close();
        // A collection point moved, by the save or by hand: the files the
        // register names are under the new path.
        if (registrato && !registrato->isEmpty() && *registrato != o.Centrale)
            SpostaNomiRegistro(db, *registrato, o.Centrale);
        transazione.commit();
        db.close();
        return true;
    } catch (const platform::RuntimeError &e) {
        // Nothing was written: the folder goes back where the archive says it is.
        if (spostato)
            QDir().rename(spostato->a, spostato->da);
        if (registrato)
            o.Centrale = *registrato;
        mostraErroreRunTime(e);
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
        mostraErroreRunTime(e);
        return {};
    }
}

}  // namespace flowengine
