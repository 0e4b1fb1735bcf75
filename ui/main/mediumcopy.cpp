#include "ui/main/mediumcopy.h"

#include "common/globals.h"
#include "common/paths.h"
#include "flowengine/register.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "ui/main/composition.h"

#include <QFileInfo>

namespace uimain {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

bool RiproduciSuSupporto(const flowengine::DatiCorbex &flow)
{
    auto copiaMancante = [&flow] {
        platform::msgBox(QStringLiteral("Impossibile trovare la copia d'archivio del corbex '") + flow.NomeFile
                             + QStringLiteral("'."),
                         common::TitoloCorbix, MsgIcon::Information);
    };
    if (flow.NomeFile.isEmpty() || !QFileInfo(platform::hostPath(flow.NomeFile)).isFile()) {
        copiaMancante();
        return true;
    }
    const QString unita = common::OpzioniCorbix.FloppyDevice;
    if (platform::msgBox(QStringLiteral("Inserire il supporto magnetico previsto nell'unità '") + unita
                             + QStringLiteral("' e scegliere 'OK' per procedere"),
                         common::TitoloCorbix, MsgIcon::Information, MsgButtons::OKCancel)
        != MsgResult::OK)
        return true;
    const QString destinazione = unita + QStringLiteral("\\") + flow.RifFloppy;
    for (;;) {
        try {
            // The user may have waited at the question: the flow written is
            // the one chosen, never another filed meanwhile under its date
            // and number.
            if (!flowengine::CorbexComeElencato(flow))
                return false;
            if (QFileInfo::exists(platform::hostPath(destinazione))) {
                platform::msgBox(QStringLiteral("E' già presente un corbex con il nome '") + flow.RifFloppy
                                     + QStringLiteral("' nell'unità '") + unita
                                     + QStringLiteral("': utilizzare un'altro supporto magnetico o eliminarlo, quindi "
                                                      "riprovare."),
                                 QStringLiteral("Corbix Doganali"), MsgIcon::Information);
                return true;
            }
            if (common::CopyWithLineEnd(flow.NomeFile, destinazione, QStringLiteral("\n"))) {
                copiaMancante();
                return true;
            }
            platform::msgBox(QStringLiteral("Il corbex '") + flow.RifFloppy
                                 + QStringLiteral("' è stato trascritto con successo."),
                             common::TitoloCorbix, MsgIcon::Information);
            return true;
        } catch (const platform::RuntimeError &e) {
            // Any other failure (a full medium, a write refused) is told as
            // the build screen tells it on the same medium.
            if (e.number() != platform::err::DeviceUnavailable) {
                MostraErroreRunTime(e.number(), e.description());
                return true;
            }
            // No medium in the drive: the same choice as when a flow is built.
            if (platform::msgBox(e.description(), common::TitoloApplicazione, MsgIcon::Critical, MsgButtons::RetryCancel)
                != MsgResult::Retry)
                return true;
        }
    }
}

}  // namespace uimain
