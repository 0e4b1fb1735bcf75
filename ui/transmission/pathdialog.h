#pragma once

class QLineEdit;
class QWidget;

// The file dialog that the setup windows (the first-run wizard, the archive
// link and its collection point) open on the path in their box.
namespace uitransmission {

enum class PercorsoSetup {
    Archivio,       // the archive to link: opened, "*.mdb"
    PuntoRaccolta,  // the collection point: saved
};

// Shows the dialog on the path in the box, which takes the path chosen; then
// the program folder is current again.
void SfogliaPercorso(QWidget *finestra, QLineEdit *casella, PercorsoSetup percorso);

}  // namespace uitransmission
