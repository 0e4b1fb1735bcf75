#pragma once

#include "flowengine/register.h"

#include <QDate>
#include <QIcon>
#include <QString>
#include <array>
#include <vector>

// The list of flows of the main window: the register rows of one Posizione,
// newest day first and highest number first within a day, in seven columns
// (date, number, sender, OK, KO, ND, status icon), which the main window's
// grid shows (ui/main/flowgrid.h).
namespace flowengine {

constexpr int ColonneElenco = 7;

// The header text of a column.
QString IntestazioneColonna(int colonna);
// The width of a column in twips; column 2 is narrower when the grid holds
// seven rows or more, the header counted, to leave room for the scroll bar.
int LarghezzaColonna(int colonna, int righeGriglia);

// One row of the list as shown.
struct RigaElenco {
    DatiCorbex corbex;             // the register row as read when the list was filled
    std::array<QString, 6> testi;  // columns 0 to 5
    QString icona;                 // key of column 6, empty for none
};

// The row of one register row whose declarant's description is mittente:
// date "dd/MM/yy", number, sender, and the counters only in state 5.
RigaElenco RigaElencoCorbex(const DatiCorbex &flow, const QString &mittente);

// The rows of one Posizione in list order. Database errors reach the caller.
std::vector<RigaElenco> LeggiElencoCorbex(qint16 posizione);

// The picture of a key of the list's image list; a null icon for an empty or
// unknown key.
QIcon ImmagineElenco(const QString &chiave);

}  // namespace flowengine
