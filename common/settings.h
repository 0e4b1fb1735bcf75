#pragma once

#include <QString>

// The settings file CORBIX.INI in the program folder: five lines in the ANSI
// code page, each ended by CR LF: two reserved lines, the archive path,
// "Non usata" and the version of the program that wrote it.
namespace common {

// CartellaProgramma + "CORBIX.INI", the name found in the folder without
// regard to case: the file read is the file rewritten.
QString settingsPath();

// Reads the file into RiservatoIni1, RiservatoIni2 and PercorsoArchivio and
// brings a file of fewer than five lines to the current form. False when the
// file is empty, cannot be read (a folder), is larger than 64 KiB, its
// archive path is longer than 1 024 characters, or a short one cannot be
// rewritten; nothing is changed then.
bool LeggiIni();
bool LeggiFileIni();

// Rewrites a short file in the five-line form, its first line taken as the
// archive path. False when it cannot be read or written.
bool AggiornaIni();

// Creates or replaces the file from the current values; a failure leaves the
// old file whole and gives False.
bool ScriviIni();

// The message with which start-up ends when the reader fails.
QString settingsUnreadableText(const QString &path);

}  // namespace common
