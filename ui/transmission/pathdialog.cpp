#include "ui/transmission/pathdialog.h"

#include "common/paths.h"
#include "ui/main/filedialog.h"
#include "ui/main/programfolder.h"

#include <QLineEdit>

namespace uitransmission {

void SfogliaPercorso(QWidget *finestra, QLineEdit *casella, PercorsoSetup percorso)
{
    uimain::RichiestaFile richiesta;
    if (percorso == PercorsoSetup::Archivio) {
        richiesta.tipo = uimain::TipoDialogoFile::Apri;
        richiesta.titolo = QStringLiteral("Scegliere l'archivio a cui collegarsi");
        richiesta.filtro = QStringLiteral("Archivi (*.mdb) |*.mdb|");
        richiesta.indiceFiltro = 1;
        richiesta.estensione = QStringLiteral(".mdb");
    } else {
        richiesta.tipo = uimain::TipoDialogoFile::Salva;
        richiesta.titolo = QStringLiteral("Impostare il punto di raccolta corbix");
    }
    const QString testo = casella->text();
    richiesta.nomeFile = common::EstraiNomeFile(testo);
    richiesta.cartellaIniziale = common::EstraiPercorso(testo);
    richiesta.flags = uimain::FlagsDialogoArchivio;
    if (const std::optional<QString> scelto = uimain::fileDialogService().scegli(finestra, richiesta))
        casella->setText(*scelto);
    uimain::RipristinaCartellaProgramma();
}

}  // namespace uitransmission
