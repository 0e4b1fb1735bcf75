#pragma once

#include "flowengine/register.h"

#include <QString>
#include <QStringList>

// The dispatch list: the printed cover list of one flow, with the company's
// name, the declarant, how the flow travels, the print date and page, and a
// ruled table of its declarations. It goes to the page printer in use, in
// millimetres from the top-left corner of an A4 page in portrait.
namespace flowengine {

// Prints the list of the flow's CompostoDa; RifFloppy and FattoDa go into
// its header. A failure stops the printing and is shown to the user.
void StampaDistinta(const DatiCorbex &flow);

// Prints one page's header and returns the vertical position of the column
// headings' second line.
qint16 StampaIntestazioneDistinta(qint16 pagina, const QString &ditta, const QString &riferimento,
                                  const QStringList &righe, qint16 numeroRighe);

// Draws the table frame of the current page down to fondo.
void DisegnaRigaDistinta(qint16 fondo);

}  // namespace flowengine
