#include "bench/bench.h"

#include "bench/floorsql.h"
#include "bench/steps.h"
#include "buildflow/buildflow.h"

#include "common/globals.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace bench {

namespace {

constexpr int Giri = 5;
// The longest a window waited on may go without a paint.
constexpr double SenzaDisegnoMassimo = 0.2;
// A floor under this is outweighed by a window's fixed costs: its target
// allows them on top of twice the floor.
constexpr double MinimoPiccolo = 0.1;

double mediana(std::vector<double> valori)
{
    std::sort(valori.begin(), valori.end());
    return valori.empty() ? 0.0 : valori[valori.size() / 2];
}

QString decimale(double valore) { return QString::number(valore, 'g', 3).replace(u'.', u','); }

// One row of the table: the figure, the floor's beside it when there is
// one, and whether it is within its target.
struct Riga {
    QString nome, unita, figura, minimo, rapporto, obiettivo;
    bool entro = true;
};

// A step's medians over the rounds against twice its floor (plus the fixed
// costs of a window when the floor is small); the memory against twice the
// file's size.
Riga rigaDelPasso(const std::vector<Misura> &misure, const QString &unita)
{
    std::vector<double> tempi, minimi;
    for (const Misura &m : misure) {
        tempi.push_back(m.tempo);
        minimi.push_back(m.minimo);
    }
    const double t = mediana(tempi), m = mediana(minimi);
    const bool secondi = unita == QLatin1String("s");
    const int cifre = secondi ? 3 : 1;
    const bool piccolo = secondi && m < MinimoPiccolo;
    Riga r;
    r.nome = misure.back().nome;
    r.figura = QString::number(t, 'f', cifre) + u' ' + unita;
    r.minimo = QString::number(m, 'f', cifre) + u' ' + unita;
    r.rapporto = m > 0 ? QString::number(t / m, 'f', 1) + u'x' : QStringLiteral("-");
    r.obiettivo = piccolo ? QStringLiteral("2x + ") + decimale(MinimoPiccolo) + QStringLiteral(" s") : QStringLiteral("2x");
    r.entro = m > 0 && t <= 2 * m + (piccolo ? MinimoPiccolo : 0);
    return r;
}

// The longest stretch without a paint seen in any round.
Riga rigaSenzaDisegno(const std::vector<Misura> &misure)
{
    double piuLungo = 0;
    for (const Misura &m : misure)
        piuLungo = std::max(piuLungo, *m.senzaDisegno);
    Riga r;
    r.nome = misure.back().nomeSenzaDisegno;
    r.figura = QString::number(piuLungo, 'f', 3) + QStringLiteral(" s");
    r.minimo = r.rapporto = QStringLiteral("-");
    r.obiettivo = decimale(SenzaDisegnoMassimo) + QStringLiteral(" s");
    r.entro = piuLungo <= SenzaDisegnoMassimo;
    return r;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.value(0) == ArgomentoMemoria)
        return memoriaPrelievo(arguments.mid(1), out, err);
    if (arguments.size() != 1 || !QFileInfo(arguments[0] + QStringLiteral("/Archivio.mdb")).isFile()) {
        err << "Uso: corbix-bench CARTELLA_PROGRAMMA (una cartella fatta da corbix-sample-data)\n";
        return 2;
    }
    const QString origine = QDir(arguments[0]).absolutePath();
    const QString cartellaIniziale = QDir::currentPath();
    buildflow::MessaggiSuErrore messaggi(err);
    platform::ScopedMessageBoxService messaggiGuard(messaggi);

    const std::vector<Passo> &passi = Passi();
    std::vector<std::vector<Misura>> misure(passi.size());
    qint64 dichiarazioni = 0;
    try {
        for (int giro = 0; giro < Giri; ++giro) {
            Giro g(origine, QCoreApplication::applicationFilePath());
            for (std::size_t p = 0; p < passi.size(); ++p)
                misure[p].push_back(passi[p].misura(g));
            dichiarazioni = g.tutte.size();
        }
    } catch (const MinimoFallito &e) {
        QDir::setCurrent(cartellaIniziale);
        common::resetGlobals();
        err << "Minimo non eseguito: " << e.what() << '\n';
        return 2;
    } catch (const platform::RuntimeError &e) {
        QDir::setCurrent(cartellaIniziale);
        common::resetGlobals();
        err << "Errore " << e.number() << ": " << e.description() << '\n';
        return 1;
    }

    std::vector<Riga> righe;
    for (std::size_t p = 0; p < passi.size(); ++p) {
        righe.push_back(rigaDelPasso(misure[p], QString::fromLatin1(passi[p].unita)));
        if (misure[p].back().senzaDisegno)
            righe.push_back(rigaSenzaDisegno(misure[p]));
    }
    out << "Corbix: " << dichiarazioni << " dichiarazioni, mediane di " << Giri
        << " giri (tempo più lungo senza disegno: il massimo dei giri)\n\n";
    out << "| passo | tempo | minimo | rapporto | obiettivo | esito |\n|---|---|---|---|---|---|\n";
    bool tutti = true;
    for (const Riga &r : righe) {
        tutti = tutti && r.entro;
        out << "| " << r.nome << " | " << r.figura << " | " << r.minimo << " | " << r.rapporto << " | " << r.obiettivo
            << " | " << (r.entro ? "entro" : "FUORI") << " |\n";
    }
    out.flush();
    return tutti ? 0 : 3;
}

}  // namespace bench
