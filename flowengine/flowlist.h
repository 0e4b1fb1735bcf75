#pragma once

#include "flowengine/register.h"

#include <QDate>
#include <QIcon>
#include <QString>
#include <array>
#include <vector>

class QTableWidget;

// The list of flows of the main window: the register rows of one Posizione,
// newest day first and highest number first within a day, in seven columns
// (date, number, sender, OK, KO, ND, status icon). The header row is the
// grid's horizontal header; register row i is grid row i - 1.
namespace flowengine {

constexpr int ColonneElenco = 7;

// Item data of the cells: column 0 holds the flow's date (QDate) and column 1
// its number (qint32) under this role, column 6 the icon key.
constexpr int RuoloChiave = Qt::UserRole;
// Column 6 holds, under this role, the picture (QIcon) of its key, which the
// grid paints centred in the cell over the cell's own background.
constexpr int RuoloImmagine = Qt::UserRole + 1;

// The header text of a column.
QString IntestazioneColonna(int colonna);
// The width of a column in twips; column 2 is narrower when the grid holds
// seven rows or more, the header counted, to leave room for the scroll bar.
int LarghezzaColonna(int colonna, int righeGriglia);

// One row of the list as shown.
struct RigaElenco {
    QDate data;
    qint32 progressivo = 0;
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

// Fills the grid with the register rows of that Posizione (only 3 fills it;
// any other leaves it as it was). GrigliaOccupata is set meanwhile. The rows
// are read first, so a database error leaves the grid as it was: it is shown
// to the user ("Errore di Run-time ") and gives false.
bool CaricaGriglia(QTableWidget *griglia, qint16 posizione);

// Lays out the header texts and column widths for that Posizione; called
// after CaricaGriglia, since column 2's width follows the row count.
void ImpostaGriglia(QTableWidget *griglia, qint16 posizione);

// The key of the flow shown in a grid row (0-based): Data and Progressivo
// from the row's item data, Posizione 3. False for a row that holds none.
bool ChiaveRigaGriglia(const QTableWidget *griglia, int riga, DatiCorbex &flow);

}  // namespace flowengine
