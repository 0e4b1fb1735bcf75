#pragma once

#include "flowengine/flowlines.h"
#include "flowengine/register.h"
#include "platform/drives.h"
#include "support/doubles/recordingpageprinter.h"
#include "ui/main/composition.h"
#include "ui/transmission/answerreport.h"

#include <QDate>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace uimain {
class frmMain;
}

// The steps of a busy day's road, each timed beside its floor, the least
// that the step's work needs, done plainly through the SQLite C API and Qt.
namespace bench {

// What one step measured in one round.
struct Misura {
    QString nome;  // with the counts of the sample it ran on
    double tempo = 0, minimo = 0;  // the program's and the floor's, in seconds (or MB)
    qint64 righe = 0, righeMinimo = 0;  // what each of them handled: rows, declarations, pages
    // The longest stretch meanwhile without a paint, for a window waited on.
    std::optional<double> senzaDisegno;
    QString nomeSenzaDisegno;
};

// One round of the road, on a copy of a program folder (the folder itself is
// left as it is) whose drive table points into the copy: what its steps
// share, each step taking up what the one before left.
class Giro {
public:
    // bench is the bench's own program, run again for the fetch's memory.
    Giro(const QString &origine, const QString &bench);
    ~Giro();
    Giro(const Giro &) = delete;
    Giro &operator=(const Giro &) = delete;

    QTemporaryDir temp;
    QString cartella, archivio, bench;
    QDate oggi;
    std::optional<platform::DriveTable> unita;
    std::optional<platform::ScopedDriveTable> unitaGuard;
    QStringList dichiaranti, tipi;
    QString ufficio;  // the first declarant's, for the folder flow
    // Every declaration the search found, in order, and the selection of them all.
    QList<uimain::DichiarazioneTrovata> tutte;
    QString selezione;
    // The medium flow filed by the writer's step, its bytes and declarations,
    // and how long its filing took.
    QByteArray flusso;
    std::vector<flowengine::DocumentoCorbex> archiviati;
    double archiviazione = 0;
    // The main window on the list of flows, while the steps on it run.
    std::unique_ptr<uimain::frmMain> principale;
    // The folder flow answered, the answer's host path and its declarations.
    QString risposta;
    std::vector<flowengine::DocumentoCorbex> risposti;
    QString archivioMinimo;  // the archive as the processing finds it, for its floor
};

// A step of the road: its measure, and the unit of its times.
struct Passo {
    Misura (*misura)(Giro &);
    const char *unita = "s";
};

// The steps in the road's order; each runs on the round after the one before.
const std::vector<Passo> &Passi();

// The hidden argument that runs the fetch's memory measure in a fresh process
// of the bench, and that measure: CARTELLA RISPOSTA DATA.
extern const QString ArgomentoMemoria;
int memoriaPrelievo(const QStringList &argomenti, QTextStream &out, QTextStream &err);

}  // namespace bench
