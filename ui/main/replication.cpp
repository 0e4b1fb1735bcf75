#include "ui/main/replication.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/openretry.h"
#include "platform/dao/recordset.h"
#include "ui/main/composition.h"

namespace uimain {

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

std::optional<Message> ControlloReplica(const QString &ufficio, const QString &cartella, const QString &numero)
{
    if (ufficio.isEmpty())
        return Message{QStringLiteral("E' necessario indicare il codice dell'ufficio doganali di presentazione del corbex."),
                       common::TitoloCorbix, MsgIcon::Information, MsgButtons::OK, 1};
    if (!CartellaEsiste(cartella))
        return Message{QStringLiteral("Il percorso indicato per la cartella di destinazione non è corretto. Indicare "
                                      "un percorso corretto."),
                       common::TitoloCorbix, MsgIcon::Information, MsgButtons::OK, 1};
    if (numero.trimmed().isEmpty())
        return Message{QStringLiteral("E' necessario indicare il numero progressivo"), common::TitoloApplicazione,
                       MsgIcon::None, MsgButtons::OK, 1};
    return std::nullopt;
}

QStringList CodiciUfficiDoganali()
{
    dao::Database db = common::ApriArchivio();
    auto rs = db.openRecordset(QStringLiteral("SELECT Codice FROM Dogane"), {}, dao::RecordsetType::Snapshot);
    QStringList codici;
    for (; !rs->eof(); rs->moveNext())
        codici << common::NullToStr(rs->value(QStringLiteral("Codice")));
    return codici;
}

}  // namespace uimain
