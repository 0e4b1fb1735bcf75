#pragma once

#include "common/globals.h"

#include <QString>
#include <optional>

// What the setup windows (first run, archive link, options) decide about the
// paths they are given, apart from their screens.
namespace uitransmission {

// The setup windows title their messages as the flow engine does.
using common::TitoloCorbix;

// A path as typed: a host path ("/home/u/Dogana") is taken in its drive form
// through the drive table; any other text is kept as it is. Nothing, after
// telling the user, for a host path that no drive holds.
std::optional<QString> PercorsoDigitato(const QString &testo);

// Whether a new collection point can be made at the path: its folder part
// (up to and including the last "\") must be an existing folder and the path
// itself must name nothing yet, and no folder name in it may be "." or "..".
// Each refusal is told to the user.
bool NuovoPuntoRaccoltaValido(const QString &punto);

// Whether the archive at the path opens; the user is told why when it does
// not. Opening never makes the file.
bool ArchivioApribile(const QString &percorso);

// The collection point as the options show it: one in this computer's network
// form in its local drive form, any other as it is, without its closing "\"
// (a drive's root keeps it).
QString CentraleMostrata(const QString &centrale);

// The collection point as the options record it, from the text typed: a drive
// path in this computer's network form, a network path as it is, each with a
// closing "\". Nothing for a text that is neither, or that holds "." or "..".
std::optional<QString> CentraleDaTesto(const QString &testo);

}  // namespace uitransmission
