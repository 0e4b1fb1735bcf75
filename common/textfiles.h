#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Whole-file reading and writing of the program's text files, on host paths.
namespace common {

// The lines of a text, each without its end; a line ends at CR LF, CR or LF,
// and a last line without an end still counts.
QList<QByteArray> splitLines(const QByteArray &bytes);

// The bytes of a file: 53 when it is missing, 75 when it cannot be read.
QByteArray readFile(const QString &hostPath);

// Writes a file whole: the bytes go to a temporary file in the target's
// folder, renamed over the target when complete, so a failure leaves the
// target as it was and no half file. 76 when the folder is missing, 75 when
// the file cannot be written.
void replaceFile(const QString &hostPath, const QByteArray &bytes);

}  // namespace common
