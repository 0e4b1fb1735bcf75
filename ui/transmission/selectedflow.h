#pragma once

#include "flowengine/register.h"

class QWidget;

// The flow the send, fetch, processing and report windows work on: the one
// of the main window's list row RigaSelezionata (1 for the first flow).
namespace uitransmission {

// The key of that flow (Posizione 3, Data and Progressivo of the row) taken
// from the grid grdHistory of the owner; the rest is left empty, for
// CaricaCorbex. Data is a null date when there is no such row.
flowengine::DatiCorbex ChiaveFlussoSelezionato(const QWidget *owner);

}  // namespace uitransmission
