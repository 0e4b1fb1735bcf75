#include "ui/transmission/selectedflow.h"

#include "common/globals.h"
#include "ui/main/flowgrid.h"

#include <QTableWidget>

namespace uitransmission {

flowengine::DatiCorbex ChiaveFlussoSelezionato(const QWidget *owner)
{
    flowengine::DatiCorbex flow;
    const auto *griglia = owner ? owner->findChild<const QTableWidget *>(QStringLiteral("grdHistory")) : nullptr;
    if (!griglia || common::RigaSelezionata < 1
        || !uimain::ChiaveRigaGriglia(griglia, common::RigaSelezionata - 1, flow))
        flow = {};
    flow.Posizione = flowengine::PosizioneInviati;
    return flow;
}

}  // namespace uitransmission
