#include "flowengine/journal.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/crashpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace flowengine {

namespace {

const QString PrefissoGiornale = QStringLiteral("Giornale");

// The letters that open a journal's lines: a temporary by its destiny, a
// note taken back, or the name the register holds once the run has committed.
constexpr char Esclusivo = 'E', Sostituisce = 'S', Scarta = 'X', Ritirato = '-', Registrato = 'R';

char lettera(Destino destino)
{
    switch (destino) {
    case Destino::Esclusivo:
        return Esclusivo;
    case Destino::Sostituisce:
        return Sostituisce;
    case Destino::Scarta:
        break;
    }
    return Scarta;
}

bool presente(const QString &host)
{
    const QFileInfo info(host);
    return info.exists() || info.isSymLink();
}

bool temporaneo(const QString &nome) { return nome.endsWith(QLatin1String(common::MarcaTemporaneo)); }

// The collection point's TEMP folder opened for its lock; -1 when it cannot be.
int apriCartella(const QString &host)
{
    return ::open(QFile::encodeName(host).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The host path of a folder of the collection point.
QString cartellaCentrale(const QString &nome) { return platform::hostPath(common::OpzioniCorbix.Centrale + nome); }

// A journal of a run that no longer runs, as read back.
struct Interrotto {
    QString giornale;
    QList<QPair<char, QString>> voci;  // the temporaries still its own
    bool registrata = false;           // whether the run committed
};

// 75 when the journal cannot be read: what it names is then unknown.
Interrotto leggiGiornale(dao::Database &archivio, const QString &giornale)
{
    QFile file(giornale);
    if (!file.open(QIODevice::ReadOnly))
        platform::raise(platform::err::PathFileAccess);
    Interrotto lavoro{giornale, {}, false};
    QString registrato;
    for (const QByteArray &riga : common::splitLines(file.readAll())) {
        if (riga.size() < 3 || riga[1] != ' ')
            continue;
        const QString testo = QString::fromUtf8(riga.mid(2));
        if (riga[0] == Registrato)
            registrato = testo;
        else if (riga[0] == Ritirato)
            lavoro.voci.removeIf([&](const QPair<char, QString> &voce) { return voce.second == testo; });
        else
            lavoro.voci.append({riga[0], testo});
    }
    if (!registrato.isEmpty()) {
        auto rs = archivio.openRecordset(QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE NomeFile = ?"),
                                         {registrato}, dao::RecordsetType::Snapshot);
        lavoro.registrata = rs->value(0).toInt() > 0;
        rs->close();
    }
    return lavoro;
}

// Finishes one run that no longer runs: the temporaries of a committed run
// take their names, the others are deleted; the journal goes when all are
// done. The temporaries that stay are added to rimasti.
void sistemaGiornale(const Interrotto &lavoro, QSet<QString> &rimasti)
{
    const bool registrata = lavoro.registrata;
    bool finito = true;
    for (const auto &[destino, host] : lavoro.voci) {
        const QString temp = common::nomeTemporaneo(host);
        if (!presente(temp))
            continue;
        try {
            if (registrata && destino != Scarta)
                common::takeFinalName(host, destino == Sostituisce);
            else if (!QFile::remove(temp))
                platform::raise(platform::err::PathFileAccess);
        } catch (const platform::RuntimeError &) {
            rimasti.insert(temp);
            finito = false;
        }
    }
    if (finito)
        QFile::remove(lavoro.giornale);
}

}  // namespace

GiornaleLavoro::GiornaleLavoro()
{
    const QString temp = common::OpzioniCorbix.Centrale + CartellaTemp;
    const QString hostTemp = platform::hostPath(temp);
    cartella_ = apriCartella(hostTemp);
    if (cartella_ < 0)
        platform::raise(QFileInfo(hostTemp).isDir() ? platform::err::PathFileAccess : platform::err::PathNotFound);
    // A sweep going on holds the folder only for its few steps.
    while (::flock(cartella_, LOCK_SH) != 0 && errno == EINTR) {
    }
    try {
        host_ = platform::hostPath(
            common::NewUniqueFileName(temp, PrefissoGiornale, QLatin1String(common::MarcaTemporaneo)));
        file_.setFileName(host_);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
            platform::raise(platform::err::PathFileAccess);
    } catch (...) {
        if (!host_.isEmpty())
            QFile::remove(host_);
        ::close(cartella_);
        throw;
    }
}

GiornaleLavoro::~GiornaleLavoro()
{
    file_.close();
    bool finito = true;
    for (const QString &host : annotati_)
        finito = finito && !presente(common::nomeTemporaneo(host));
    if (finito)
        QFile::remove(host_);
    ::close(cartella_);
}

void GiornaleLavoro::scrivi(const QByteArray &riga)
{
    if (file_.write(riga + '\n') != riga.size() + 1 || !file_.flush() || ::fsync(file_.handle()) != 0)
        platform::raise(platform::err::PathFileAccess);
    platform::puntoDiArresto();
}

void GiornaleLavoro::annota(const QString &host, Destino destino)
{
    scrivi(QByteArray(1, lettera(destino)) + ' ' + host.toUtf8());
    annotati_.append(host);
}

void GiornaleLavoro::ritira(const QString &host)
{
    scrivi(QByteArray(1, Ritirato) + ' ' + host.toUtf8());
    annotati_.removeOne(host);
}

void GiornaleLavoro::registra(const QString &nomeFile) { scrivi(QByteArray(1, Registrato) + ' ' + nomeFile.toUtf8()); }

void SistemaLavoriInterrotti()
{
    int cartella = -1;
    try {
        const QString temp = cartellaCentrale(CartellaTemp);
        cartella = apriCartella(temp);
        // A run going on, here or on another workstation, is left alone: the
        // next start-up finishes what it may leave.
        if (cartella >= 0 && ::flock(cartella, LOCK_EX | LOCK_NB) == 0) {
            dao::Database archivio = common::ApriArchivio();
            QList<Interrotto> lavori;
            const QDir cartellaTemp(temp);
            for (const QString &nome :
                 cartellaTemp.entryList({PrefissoGiornale + u'*'}, QDir::Files | QDir::Hidden)) {
                if (temporaneo(nome))
                    lavori.append(leggiGiornale(archivio, cartellaTemp.filePath(nome)));
            }
            // A name noted by a run that then found it taken may be named by
            // the run that took it: the committed runs come first.
            std::stable_partition(lavori.begin(), lavori.end(), [](const Interrotto &l) { return l.registrata; });
            QSet<QString> rimasti;
            for (const Interrotto &lavoro : lavori)
                sistemaGiornale(lavoro, rimasti);
            // A temporary that no journal names has lost its journal: it takes
            // its name when the register holds a file of that name there.
            for (const QString &sotto : {CartellaInviati, CartellaRisposte}) {
                const QDir dir(cartellaCentrale(sotto));
                for (const QString &nome : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
                    const QString host = dir.filePath(nome);
                    if (!temporaneo(nome) || rimasti.contains(host))
                        continue;
                    const QString finale = u'\\' + sotto + u'\\' + nome.chopped(qstrlen(common::MarcaTemporaneo));
                    auto rs = archivio.openRecordset(
                        QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE substr(NomeFile, -?) = ?"),
                        {finale.size(), finale}, dao::RecordsetType::Snapshot);
                    const bool registrato = rs->value(0).toInt() > 0;
                    rs->close();
                    if (registrato)
                        common::takeFinalName(host.chopped(qstrlen(common::MarcaTemporaneo)),
                                              sotto == CartellaRisposte);
                    else
                        QFile::remove(host);
                }
            }
            archivio.close();
        }
    } catch (const platform::RuntimeError &) {
        // Whatever is left waits for the next start-up.
    }
    if (cartella >= 0)
        ::close(cartella);
    try {
        // A folder-step reservation waits for its file only on its own day.
        dao::Database archivio = common::ApriArchivio();
        archivio.execute(QStringLiteral("DELETE FROM Corbix WHERE Posizione = ? AND NomeFile IS NULL AND "
                                        "Data < DateValue(?)"),
                         {PosizioneInviati, platform::clock().now().date()}, dao::FailOnError);
        archivio.close();
    } catch (const platform::RuntimeError &) {
    }
}

}  // namespace flowengine
