#pragma once

#include "flowengine/flowlist.h"

class QTableWidget;

// The list of flows in the main window's grid: the header row is the grid's
// horizontal header; register row i is grid row i - 1.
namespace uimain {

// Item data of the cells: column 0 holds under this role the flow's register
// row as read when the list was filled (flowengine::DatiCorbex, its key
// included), column 6 the icon key.
constexpr int RuoloChiave = Qt::UserRole;
// Column 6 holds, under this role, the picture (QIcon) of its key, which the
// grid paints centred in the cell over the cell's own background.
constexpr int RuoloImmagine = Qt::UserRole + 1;

// Fills the grid with the register rows of that Posizione (only 3 fills it;
// any other leaves it as it was). The rows
// are read first, so a database error leaves the grid as it was: it is shown
// to the user ("Errore di Run-time ") and gives false.
bool CaricaGriglia(QTableWidget *griglia, qint16 posizione);

// Lays out the header texts and column widths for that Posizione; called
// after CaricaGriglia, since column 2's width follows the row count.
void ImpostaGriglia(QTableWidget *griglia, qint16 posizione);

// The flow shown in a grid row (0-based), as the list read it when it was
// filled: its key and its whole register row, from the row's item data.
// False for a row that holds none.
bool FlussoRigaGriglia(const QTableWidget *griglia, int riga, flowengine::DatiCorbex &flow);

}  // namespace uimain
