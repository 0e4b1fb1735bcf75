#pragma once

#include <QString>

// The options of the application: the single row of the archive table
// Paramflu, held for the whole run in common::OpzioniCorbix.
namespace flowengine {

// Loads the row of the archive at PercorsoArchivio into OpzioniCorbix; a
// stored SendWith of 2 is read as 1, Null texts as empty texts and a Null
// Boolean or number as False or 0. False, with OpzioniCorbix unchanged, when
// the table has no row or the archive cannot be read (the user is told).
bool CaricaOpzioni();

// Writes OpzioniCorbix into the row (adding it when the table is empty).
// When the collection point changed, its folder is moved to the new path
// first; a move that fails asks whether to keep the new path anyway, and
// answering Yes sets ChiudiApplicazione. True when the row was written.
bool SalvaOpzioni();

// The collection point recorded in the archive at percorso; empty when the
// table has no row or the archive cannot be read (the user is told).
QString LeggiCentrale(const QString &percorso);

}  // namespace flowengine
