#include "ui/main/startup.h"

#include "common/archivecheck.h"
#include "common/databases.h"
#include "common/globals.h"
#include "common/settings.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/collectionpointmove.h"
#include "flowengine/journal.h"
#include "flowengine/options.h"
#include "platform/dao/database.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "ui/main/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace uimain {

EsitoAvvio Avvia(const std::function<void()> &primaEsecuzione)
{
    common::InsiemeMessaggi.clear();
    common::CartellaProgramma = CartellaConSeparatore(QDir::currentPath(), u'/');

    // Whatever stands under the name (a folder too) is a settings file,
    // read or found unreadable; only its absence means a first run.
    if (QFileInfo::exists(common::settingsPath()))
        common::EsitoPrimaEsecuzione = 1;
    else
        primaEsecuzione();
    // A value the wizard left unset, closed from its frame, counts as cancelled.
    if (common::EsitoPrimaEsecuzione.toInt() == 0) {
        // A first start given up leaves no drive table it made by itself
        // when the user tried a path: the folder is as it was found.
        if (!QFileInfo::exists(common::settingsPath()) && platform::driveTableSlot())
            platform::driveTableSlot()->removeIfAsMade();
        return {};
    }

    if (!common::LeggiIni())
        return {false, common::settingsUnreadableText(common::settingsPath())};

    if (!common::VerificaArchivio(common::PercorsoArchivio))
        return {};
    // The check takes every path; an archive that is missing or is not a
    // database is told here, before anything reads it, and is never created.
    try {
        common::ApriArchivio().close();
    } catch (const platform::RuntimeError &e) {
        return {false, QStringLiteral("Impossibile aprire l'archivio '") + common::PercorsoArchivio
                           + QStringLiteral("'.\r\n") + e.description()};
    }

    if (!flowengine::CaricaOpzioni())
        return {};
    // A move of the collection point that a crash interrupted is finished
    // before the collection point is looked for.
    flowengine::FinisciSpostamentoCentrale();

    if (!flowengine::VerificaStrutturaCentrale(common::OpzioniCorbix.Centrale))
        return {false, QStringLiteral("Impossibile accedere al punto di raccolta '") + common::OpzioniCorbix.Centrale
                           + QStringLiteral("' o questo non è impostato correttamente. Impostare il punto di "
                                            "raccolta quindi riprovare o contattare il fornitore del prodotto.")};
    // What a run stopped by a crash left is finished before the list is read.
    flowengine::SistemaLavoriInterrotti();
    return {true, QString()};
}

}  // namespace uimain
