#pragma once

#include "platform/filewriters.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

// Whole-file reading and writing of the program's text files, on host paths.
namespace common {

// The lines of a text, each without its end; a line ends at CR LF, CR or LF,
// and a last line without an end still counts.
QList<QByteArray> splitLines(const QByteArray &bytes);

// The lines, each followed by lineEnd.
QByteArray joinLines(const QList<QByteArray> &lines, const QByteArray &lineEnd);

// Opens the file (named by its host path) for reading: 53 when it is
// missing or a folder, 75 when it cannot be opened.
void openToRead(QFile &file);

// The bytes of a file: 53 when it is missing, 75 when it cannot be read.
QByteArray readFile(const QString &hostPath);

// The file routines write through platform/filewriters: a file made in one
// go with replaceFile, one written in pieces with CheckedFile.
using platform::MarcaTemporaneo;
using platform::nomeTemporaneo;
using platform::replaceFile;

// Writes a file whole under its temporary name, created exclusively: false
// when that temporary or the file itself is there already (another run has
// taken the name). With replace, a file there is to be replaced and a
// temporary there is a crashed run's leftover, replaced too; a link under
// the temporary's name is removed in any case. 76 when the
// folder is missing, the file error of the step that failed when the file
// cannot be written whole (nothing is left of it then). created, when
// given, is told the temporary's identity once it exists, before any byte is
// written; what it raises undoes the temporary.
bool writeTemporary(const QString &hostPath, const QByteArray &bytes, bool replace,
                    const platform::CreatedFile &created = {});

// Gives the temporary of a file its final name. Without replace the name is
// taken exclusively, never over a file already there (58, the temporary
// kept; a run stopped while naming it may have left the file under both
// names, and the name is then finished); with it, a file already there is
// replaced. The folder's entries are flushed to the disk once the name is
// taken. The file error of the step that failed when it cannot be renamed.
void takeFinalName(const QString &hostPath, bool replace);

}  // namespace common
