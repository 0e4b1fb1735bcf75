#pragma once

#include <QString>

namespace dao {
class Database;
}

// The move of the collection point's folder when the options are saved with
// a new path. The folder is renamed on the disk and the register's names
// follow it in the archive; a crash between the two must never leave them
// apart. Before the folder is renamed, the move writes a note, flushed to
// the disk, beside the old folder in its parent ("Corbix.spostamento.corbix~"
// for the folder Corbix), naming the old and the new path; the note goes
// once the archive has committed the new path. The next start-up reads the
// note from beside the path the archive holds and finishes the move
// (FinisciSpostamentoCentrale).
namespace flowengine {

class SpostamentoCentrale {
public:
    // The move of the collection point from the stored path da to the path
    // a (each with its closing "\"). Nothing is done yet.
    SpostamentoCentrale(QString da, QString a);
    // A move neither undone nor finished keeps its note for the next
    // start-up.
    ~SpostamentoCentrale() = default;

    // Writes the note, then renames the folder. Raises 53 when there is no
    // folder to move, 52 for a new path without a parent or a name, 76 when
    // the new parent is missing, 58 when another file or folder holds the new
    // name, 75 when the note cannot be written or the folder cannot be
    // renamed (the note is then removed again).
    void rinomina();
    // Whether the folder was renamed.
    bool rinominata() const { return rinominata_; }
    // The archive has committed the new path: the note goes.
    void concludi();
    // The archive could not be written: the folder goes back to its stored
    // path, and the note goes with it (it stays when the folder cannot be put
    // back, so that the next start-up finishes the move).
    void annulla();

private:
    QString da_;
    QString a_;
    QString origine_;      // the folder's host path before the move
    QString destinazione_; // its host path after it
    QString nota_;
    bool rinominata_ = false;
};

// The note of a move from the folder at the host path origine.
QString NotaSpostamento(const QString &origine);

// At start-up, once the options are loaded and before the collection point
// is checked: a move that a crash interrupted is finished. A note beside
// the collection point the archive holds, naming it as the old path, whose
// folder is now at the new path, has the archive take the new path (and the
// register's names under it) and OpzioniCorbix.Centrale with it; a note whose
// folder never moved, or whose move the archive committed, only goes. A
// failure leaves the note for the next start-up; nothing is shown.
void FinisciSpostamentoCentrale();

}  // namespace flowengine
