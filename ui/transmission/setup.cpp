#include "ui/transmission/setup.h"

#include "common/databases.h"
#include "common/paths.h"
#include "flowengine/collectionpoint.h"
#include "platform/dao/database.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "ui/main/composition.h"

#include <QFileInfo>

namespace uitransmission {

namespace {

QString percorsoNonValido(const QString &percorso)
{
    return QStringLiteral("Il percorso '") + percorso + QStringLiteral("' non è valido. Indicare un percorso corretto.");
}

// Whether a file or a folder is at the path; an unreachable drive holds none.
bool esiste(const QString &percorso)
{
    try {
        return QFileInfo::exists(platform::hostPath(percorso));
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

QString conSeparatore(const QString &path) { return path.endsWith(u'\\') ? path : path + u'\\'; }

}  // namespace

std::optional<QString> PercorsoDigitato(const QString &testo)
{
    const std::optional<QString> percorso = common::PercorsoInFormaDrive(testo);
    if (!percorso)
        platform::msgBox(percorsoNonValido(testo), TitoloCorbix, platform::MsgIcon::Exclamation);
    return percorso;
}

bool NuovoPuntoRaccoltaValido(const QString &punto)
{
    if (flowengine::PercorsoConPunti(punto)) {
        platform::msgBox(percorsoNonValido(punto), TitoloCorbix, platform::MsgIcon::Exclamation);
        return false;
    }
    const QString cartella = common::EstraiPercorso(punto);
    if (!uimain::CartellaEsiste(cartella)) {
        platform::msgBox(percorsoNonValido(cartella), TitoloCorbix, platform::MsgIcon::Exclamation);
        return false;
    }
    if (esiste(punto)) {
        platform::msgBox(QStringLiteral("Il nome scelto per il punto di raccolta non è valido poiché già esistente nel "
                                        "percorso scelto. Scegliere un nuovo nome o cambiare il percorso."),
                         TitoloCorbix, platform::MsgIcon::Information);
        return false;
    }
    return true;
}

bool ArchivioApribile(const QString &percorso)
{
    try {
        common::ApriDatabase(percorso).close();
        return true;
    } catch (const platform::RuntimeError &e) {
        platform::msgBox(QStringLiteral("Impossibile aprire l'archivio '") + percorso + QStringLiteral("'.\r\n")
                             + e.description(),
                         TitoloCorbix, platform::MsgIcon::Exclamation);
        return false;
    }
}

QString CentraleMostrata(const QString &centrale)
{
    const QString locale = flowengine::formaLocaleCentrale(centrale);
    if (locale.size() == 3 && locale.endsWith(QStringLiteral(":\\")))
        return locale;
    return flowengine::senzaSeparatoreFinale(locale);
}

std::optional<QString> CentraleDaTesto(const QString &testo)
{
    if (testo.trimmed().isEmpty())
        return std::nullopt;
    try {
        return conSeparatore(flowengine::formaDiReteCentrale(testo));
    } catch (const platform::RuntimeError &) {
        return std::nullopt;
    }
}

}  // namespace uitransmission
