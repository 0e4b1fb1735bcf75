#pragma once

#include <QString>

// The collection point: the folder, usually shared with the other
// workstations, where flows and the answers that come back are filed. Its path
// is the option Centrale, kept in the archive, so that every workstation of one
// archive uses the same folder; on the computer that holds it, it is recorded
// in network form (\\COMPUTER\D\Dogana\Corbix\ for D:\Dogana\Corbix\).
namespace flowengine {

// Its five sub-folders, in the order they are made.
inline const QString CartellaInUscita = QStringLiteral("Corbix in uscita");
inline const QString CartellaInviati = QStringLiteral("Corbix inviati");
inline const QString CartellaRisposte = QStringLiteral("Risposte Pervenute");
inline const QString CartellaStorico = QStringLiteral("Storico");
inline const QString CartellaTemp = QStringLiteral("TEMP");

// A path without its closing "\" (unchanged when it has none).
QString senzaSeparatoreFinale(const QString &path);

// The form in which a collection point is examined here: one in the network
// form of this computer (its whole name, in any letter case) becomes its local
// drive path (\\PC1\D\Dogana\Corbix\ gives D:\Dogana\Corbix\); any other path
// is used unchanged.
QString formaLocaleCentrale(const QString &centrale);

// Whether a path holds a folder name "." or "..": such a path would be
// resolved elsewhere than it reads, and is no collection point.
bool PercorsoConPunti(const QString &path);

// The form in which a folder is recorded: a drive path becomes this computer's
// network form, a network path stays as it is. Raises 52 for any other path
// and for one holding "." or "..".
QString formaDiReteCentrale(const QString &cartella);

// Whether the collection point can be used: its folder and the sub-folders
// "Corbix inviati", "Risposte Pervenute" and "Storico" exist (a missing
// "Corbix in uscita" is only warned of, a missing "TEMP" is made). Each
// failure is told to the user.
bool VerificaStrutturaCentrale(const QString &centrale);

// Records a collection point in the archive at percorso when it has none:
// cartella (given a closing "\" when it lacks one) and its five sub-folders are
// made, those that exist being accepted, and only then is the point stored.
// True when the archive has a collection point on return; an archive that
// already has one is left as it is and nothing is made.
bool ImpostaPuntoRaccolta(const QString &percorso, QString &cartella);

}  // namespace flowengine
