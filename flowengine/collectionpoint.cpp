#include "flowengine/collectionpoint.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/workstation.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace flowengine {

namespace {


// Whether a folder is at the path; a drive or share that cannot be reached
// holds none.
bool esisteCartella(const QString &path)
{
    try {
        return QFileInfo(platform::hostPath(path)).isDir();
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

// Makes the folder at the path unless it is there; its parent must exist.
bool creaCartella(const QString &path)
{
    const QString host = platform::hostPath(path);
    return QFileInfo(host).isDir() || QDir().mkdir(host);
}

QString conSeparatore(const QString &path) { return path.endsWith(u'\\') ? path : path + u'\\'; }

}  // namespace

QString senzaSeparatoreFinale(const QString &path) { return path.endsWith(u'\\') ? path.chopped(1) : path; }

QString formaLocaleCentrale(const QString &centrale)
{
    const QString server = common::GetUNCServer(centrale);
    const QString questo = QStringLiteral("\\\\") + platform::computerName() + u'\\';
    if (server.isEmpty() || server.compare(questo, Qt::CaseInsensitive) != 0)
        return centrale;
    return common::GetRootFolder(centrale, 1)
           + common::EstraiPercorso(centrale.mid(server.size() + common::GetRootFolder(centrale, 0).size()));
}

bool PercorsoConPunti(const QString &path)
{
    static const QRegularExpression separatore(QStringLiteral("[\\\\/]"));
    const QStringList nomi = path.split(separatore);
    return nomi.contains(QStringLiteral(".")) || nomi.contains(QStringLiteral(".."));
}

QString formaDiReteCentrale(const QString &cartella)
{
    if (PercorsoConPunti(cartella))
        platform::raise(platform::err::BadFileNameOrNumber);
    if (!common::GetUNCServer(cartella).isEmpty())
        return cartella;
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:\\\\"));
    if (!drive.match(cartella).hasMatch())
        platform::raise(platform::err::BadFileNameOrNumber);
    return QStringLiteral("\\\\") + platform::computerName() + u'\\' + common::GetRootFolder(cartella, 0)
           + common::GetRelativeFolder(cartella) + common::EstraiNomeFile(cartella);
}

bool VerificaStrutturaCentrale(const QString &centrale)
{
    if (centrale.isEmpty()) {
        platform::msgBox(QStringLiteral("Il punto di raccolta dei corbix doganali non è stato impostato."),
                         QStringLiteral("Corbix Doganali"), platform::MsgIcon::Exclamation);
        return false;
    }
    const QString locale = conSeparatore(formaLocaleCentrale(centrale));
    if (!esisteCartella(locale)) {
        platform::msgBox(QStringLiteral("Impossibile trovare la cartella '")
                             + common::EstraiNomeFile(senzaSeparatoreFinale(centrale))
                             + QStringLiteral("' riservata ai corbix doganali."),
                         QStringLiteral("Corbix Doganali"), platform::MsgIcon::Exclamation);
        return false;
    }
    const QString incompleta =
        QStringLiteral("La struttura della cartella riservata alla gestione dei corbix non è completa. Manca la "
                       "cartella ");
    auto manca = [&](const QString &quale) {
        platform::msgBox(incompleta + quale, common::TitoloCorbix, platform::MsgIcon::Exclamation, platform::MsgButtons::OKCancel);
    };
    // Nothing is ever written into the outgoing folder: its absence is only a warning.
    if (!esisteCartella(locale + CartellaInUscita))
        manca(QStringLiteral("per i corbix in uscita."));
    const struct {
        const QString &nome;
        QString testo;
    } richieste[] = {
        {CartellaInviati, QStringLiteral("per i corbix inviati.")},
        {CartellaRisposte, QStringLiteral("per le risposte pervenute.")},
        {CartellaStorico, QStringLiteral("per i corbix esauditi (storico).")},
    };
    for (const auto &r : richieste) {
        if (!esisteCartella(locale + r.nome)) {
            manca(r.testo);
            return false;
        }
    }
    // The work folder is remade without a word; should that fail, the build
    // that writes into it reports its own error.
    try {
        creaCartella(locale + CartellaTemp);
    } catch (const platform::RuntimeError &) {
    }
    return true;
}

bool ImpostaPuntoRaccolta(const QString &percorso, QString &cartella)
{
    try {
        dao::Database db = common::ApriDatabase(percorso);
        std::unique_ptr<dao::Recordset> rs = db.openRecordset(QStringLiteral("SELECT Centrale FROM Paramflu"));
        if (rs->eof()) {
            platform::msgBox(QStringLiteral("Impossibile impostare il punto di raccolta selezionato. Contattare il "
                                            "produttore dell'applicazione."),
                             common::TitoloCorbix, platform::MsgIcon::Critical);
            return false;
        }
        if (!common::NullToStr(rs->value(QStringLiteral("Centrale"))).isEmpty())
            return true;
        cartella = conSeparatore(cartella);
        const QString registrato = formaDiReteCentrale(cartella);
        for (const QString &nome :
             {QString(), CartellaInUscita, CartellaInviati, CartellaRisposte, CartellaStorico, CartellaTemp}) {
            if (!creaCartella(cartella + nome)) {
                platform::msgBox(QStringLiteral("Impossibile creare la cartella '") + cartella + nome
                                     + QStringLiteral("' del punto di raccolta."),
                                 common::TitoloCorbix, platform::MsgIcon::Critical);
                return false;
            }
        }
        rs->edit();
        rs->setValue(QStringLiteral("Centrale"), registrato);
        rs->update();
        rs->close();
        db.close();
        return true;
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return false;
    }
}

}  // namespace flowengine
