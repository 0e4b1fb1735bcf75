#pragma once

#include <QStringList>
#include <QTextStream>

// corbix-sample-answer: a stand-in for the customs EDI service, for trying
// the answers on a sample program folder. Given a telematic flow of the
// folder's register, it writes the answer file the service would return for
// it, as the fetch reads it.
//
//   corbix-sample-answer PROGRAM_FOLDER DATE NUMBER [--type W|A] [--refuse INDICES|none] [--field N]
//
// DATE (YYYY-MM-DD) and NUMBER are those of the flow in the list of flows.
// Type W (the default) gives one outcome record per declaration: positive,
// with its validation data, or negative, followed by the error line that
// names the record-layout field in error (its two mask references) on the
// first article. Type A is the formal check: one check line per refused
// declaration naming the field by its number, or the passed check when none
// is refused. The declarations refused are those whose Indice the
// comma-separated list names; without --refuse, every second declaration of
// the flow. The field in error is the record-layout field N of the
// declaration's message code; without --field, the gross mass.
//
// The file goes into the folder "risposte" of the declarant's share on the
// EDI service machine (\\MACHINE\USER, through the folder's drive table),
// named after the flow's date, the answer type and the flow's number in two
// digits ("20260115-W07"), so that the fetch finds the number at its end.
namespace sampleanswer {

// An answer of more lines than the header's five-digit count can give is
// refused, and nothing is written.
//
// Returns the exit code: 0 written, 1 failed (the reason on err), 2 wrong usage.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace sampleanswer
