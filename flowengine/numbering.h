#pragma once

#include "flowengine/flowlines.h"

#include <QDate>
#include <QString>
#include <vector>

// Filing a composed flow: the archive name of its copy in the collection
// point, the next number of the day in the register of flows, and the marking
// of its declarations as sent. Each opens the archive at PercorsoArchivio
// itself; an error reaches the caller. Inside a transaction the caller has
// opened on the archive, their writes belong to it.
namespace flowengine {

// The first free archive name in Centrale & folder for the date: the date as
// yyyymmdd, "-" and n from 0, without extension. folder gets its closing "\"
// when it lacks one (the caller's text too). Empty when that folder does not
// exist.
QString NuovoNomeFile(QString &folder, const QDate &date);

// Appends the register row of a flow just numbered (Posizione 0, Stato 0,
// Tipo 0, empty NomeFile and CompostoDa) for the date, numbered one above the
// highest number of that date over every Posizione (1 for the first), and
// returns its number. The highest number is read and the row added under one
// write lock, so two workstations never get the same number.
qint32 NuovoProgressivo(const QDate &date);

// Sets Stato1 to 2 on the declaration of every line of a composition list
// (Indice "-" dd/mm/yyyy "-" reference, lines ended by CR LF, the last one
// perhaps not), so that no composition offers it again, when it is still free
// as the composition listed it (Stato1 neither 1 nor 2). The list is
// consumed: callers pass a copy. A line whose declaration no longer exists is
// skipped. The declarations that were no longer free come back, in the
// list's order: another flow took them meanwhile, and the caller, inside
// whose transaction the marks are made, must then file nothing.
std::vector<DocumentoCorbex> MarcaDocumentiInviati(QString &list);

}  // namespace flowengine
