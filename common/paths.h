#pragma once

#include "platform/texts.h"

#include <QIODevice>
#include <QString>
#include <functional>
#include <optional>
#include <sys/stat.h>

namespace platform {
class CheckedFile;
}

// Shared routines for paths, text files, texts and numbers. Paths are Windows
// path texts ("\" as separator, "\\SERVER\SHARE\" for a network path) and are
// worked on as texts; a file is reached through the drive table only when it is
// touched. Text positions are 1-based. File errors reach the caller as
// platform::RuntimeError.
namespace common {

// Paths.
QString EstraiPercorso(const QString &path);    // up to and including the last "\"
QString EstraiNomeFile(const QString &path);    // after the last "\"
QString GetUNCServer(const QString &path);      // "\\SERVER\" of a network path, else ""
QString GetRootFolder(const QString &path, qint32 mode);
QString GetRelativeFolder(const QString &path);

// A path as the user typed it: a host path ("/home/u/Dogana") is taken in its
// drive form through the drive table ("C:\Dogana" when "c:" is /home/u), any
// other text is kept as it is. Nothing for a host path that no entry holds.
std::optional<QString> PercorsoInFormaDrive(const QString &typed);

// A name in folder that no file or folder holds yet, made of the prefix, a
// counter code and the suffix; the file is created empty, exclusively, so no
// two callers get one name. Returns folder + name.
QString NewUniqueFileName(const QString &folder = QString(), const QString &prefix = QString(),
                          const QString &suffix = QString());
// The same, the file kept open for writing in file, so that it is written
// through the descriptor that made it, never reopened by its name. created,
// when given, is told each name tried with the identity of the file made,
// before the file takes the name (platform::createNew).
QString NewUniqueFileName(const QString &folder, const QString &prefix, const QString &suffix,
                          platform::CheckedFile &file,
                          const std::function<void(const QString &name, const struct stat &identity)> &created = {});

// Text files.

// Copies the lines of source into target, each followed by lineEnd alone.
// True, and nothing done, when the source is not a file; false after the copy.
bool CopyWithLineEnd(const QString &source, const QString &target, const QString &lineEnd);

// With a target: the target receives the lines of first and then those of
// second; with an empty target the lines of second are added to first. Every
// line ends with CR LF. -1 when first is not a file, -2 when second is not
// (nothing done); 0 otherwise.
qint16 CopyTextFile(const QString &first, const QString &second, const QString &target);

// Moves an open text file to the start of a line and gives its 1-based byte
// position: line 0 is the last line; -1 when the file has no such line, -2 for
// a negative line number, -3 without a file.
qint32 SeekTextLine(qint32 lineNumber, QIODevice *file);

// Texts.

// The characters before the position: empty for a position of 1 or below,
// the whole text for one past the end.
QString StrBefore(const QString &text, qint32 position);
// The characters after a separator of the given length starting at the
// position; empty when the separator ends the text or the position is outside
// 0 to the length. Position 0 with length 1 gives the whole text.
QString StrAfter(const QString &text, qint32 position, qint32 separatorLength);
// Mode 0: A-Z to a-z; mode 1: a-z to A-Z; nothing else changes.
QString ConvertCase(QString &text, int mode);
bool IsNumericText(const QString &text);
// The text without the spaces at either end (tabs and line ends stay): the
// platform's one trim, which the workstation's names are read with too.
using platform::TrimSpaces;

// Numbers.
QString NumberToPlainText(double number);
// The number made of the text's digits, its first "." and a sign ahead of
// them; 0 when the text holds no digit.
double ExtractNumber(const QString &text);
// value becomes value + offset; the result is it cut, not rounded, at the
// digit position (-n: n decimals; n >= 1: units times 10^(n-1)); a position of
// 0 becomes 1. Cutting more digits than the units hold gives 0.
double TruncateNumber(double &value, double offset, qint16 &position);

// The company name for report headings from the archive at path.
QString GetCompanyName(const QString &path);

}  // namespace common
