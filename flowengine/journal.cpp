#include "flowengine/journal.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/servizioedi.h"
#include "common/textfiles.h"
#include "common/workstation.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/register.h"
#include "flowengine/reservation.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/crashpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace flowengine {

namespace {

const QString PrefissoGiornale = QStringLiteral("Giornale ");

// The letters that open a journal's lines: a temporary by its destiny, a
// work file, the identity of a file the run made ("I DEVICE INODE NAME"), a
// note taken back, a work file being removed ("D DEVICE INODE SIZE CTIME
// NAME": taken back, the file still the run's while it has that identity),
// or the name the register holds once the run has committed.
constexpr char Esclusivo = 'E', Sostituisce = 'S', Scarta = 'X', Lavoro = 'L', Identificato = 'I', Ritirato = '-',
               Rimosso = 'D', Registrato = 'R';

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

// What tells the file a run made from any other that comes to stand under
// its name: its device and inode, and for a file being removed its size and
// change time as well (-1 where not noted), which no later file can have.
struct Identita {
    qulonglong dispositivo = 0;
    qulonglong nodo = 0;
    qlonglong dimensione = -1;
    qlonglong cambiato = -1;  // nanoseconds
};

Identita identitaDi(const struct stat &st, bool intera)
{
    Identita id{qulonglong(st.st_dev), qulonglong(st.st_ino), -1, -1};
    if (intera) {
        id.dimensione = qlonglong(st.st_size);
        id.cambiato = qlonglong(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    }
    return id;
}

QByteArray testoIdentita(const Identita &id)
{
    QByteArray testo = QByteArray::number(id.dispositivo) + ' ' + QByteArray::number(id.nodo);
    if (id.dimensione >= 0)
        testo += ' ' + QByteArray::number(id.dimensione) + ' ' + QByteArray::number(id.cambiato);
    return testo;
}

// The identity that opens a line's text, and the name after it; nothing
// when the line is not of that form.
std::optional<QPair<Identita, QString>> leggiIdentita(const QString &testo, bool intera)
{
    const int campi = intera ? 4 : 2;
    const QStringList parti = testo.split(u' ');
    if (parti.size() <= campi)
        return std::nullopt;
    bool ok[4] = {false, false, true, true};
    Identita id;
    id.dispositivo = parti[0].toULongLong(&ok[0]);
    id.nodo = parti[1].toULongLong(&ok[1]);
    if (intera) {
        id.dimensione = parti[2].toLongLong(&ok[2]);
        id.cambiato = parti[3].toLongLong(&ok[3]);
    }
    if (!(ok[0] && ok[1] && ok[2] && ok[3]))
        return std::nullopt;
    const QString nome = testo.section(u' ', campi);
    if (nome.isEmpty())
        return std::nullopt;
    return QPair<Identita, QString>{id, nome};
}

// Whether the file at host, itself and not a link, is the one of that
// identity.
bool eIl(const QString &host, const Identita &id)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(host).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const Identita ora = identitaDi(st, true);
    return ora.dispositivo == id.dispositivo && ora.nodo == id.nodo
           && (id.dimensione < 0 || (ora.dimensione == id.dimensione && ora.cambiato == id.cambiato));
}

// The bytes of a file itself (its first line up to limit, when given), never
// those of what a link under its name points at; nothing when it is not a
// regular file that can be read.
std::optional<QByteArray> byteDi(const QString &host, qint64 limite = 0)
{
    // Not held up by a pipe put under the name either.
    const int fd = ::open(QFile::encodeName(host).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray bytes = limite > 0 ? file.readLine(limite) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool temporaneo(const QString &nome) { return nome.endsWith(QLatin1String(common::MarcaTemporaneo)); }

// The start of the names of this workstation's journals.
QString prefissoPostazione() { return PrefissoGiornale + common::NomePostazione() + u' '; }

// Whether a file of TEMP is a journal of this workstation: the prefix, then
// the code that makes the name unique (no blank in it), then the mark.
bool giornaleProprio(const QString &nome)
{
    const QString prefisso = prefissoPostazione();
    if (!nome.startsWith(prefisso) || !temporaneo(nome))
        return false;
    const QString codice = nome.mid(prefisso.size()).chopped(qstrlen(common::MarcaTemporaneo));
    return !codice.isEmpty() && !codice.contains(u' ');
}

// The collection point's TEMP folder opened for its lock; -1 when it cannot be.
int apriCartella(const QString &host)
{
    return ::open(QFile::encodeName(host).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The host path of a folder of the collection point.
QString cartellaCentrale(const QString &nome) { return platform::hostPath(common::OpzioniCorbix.Centrale + nome); }

QString canonica(const QString &host) { return QFileInfo(host).canonicalFilePath(); }

// The host path of a name as noted; empty when this workstation cannot
// resolve it (a drive not ready, a ".." that would leave its drive).
QString risolvi(const QString &nome)
{
    try {
        return platform::hostPath(nome);
    } catch (const platform::RuntimeError &) {
        return {};
    }
}

// The lines of a journal, each without its end; a last line without its end
// was torn by a crash while it was written, before the temporary it notes
// was made, and is left out.
QList<QPair<char, QString>> righeGiornale(const QByteArray &bytes)
{
    QList<QPair<char, QString>> righe;
    for (qsizetype inizio = 0;;) {
        const qsizetype fine = bytes.indexOf('\n', inizio);
        if (fine < 0)
            break;
        const QByteArray riga = bytes.mid(inizio, fine - inizio);
        inizio = fine + 1;
        if (riga.size() >= 3 && riga[1] == ' ')
            righe.append({riga[0], QString::fromUtf8(riga.mid(2))});
    }
    return righe;
}

// The folders the sweep acts in, as the file system resolves them (links
// followed), read once per sweep.
struct Luoghi {
    QSet<QString> cartelle;  // the collection point's sub-folders and the medium's root
    QStringList servizio;    // the EDI service's shares: temporaries only deleted there
    QString temp;            // the collection point's TEMP folder, where the work files are

    Luoghi()
    {
        const QString hostTemp = risolvi(common::OpzioniCorbix.Centrale + CartellaTemp);
        temp = hostTemp.isEmpty() ? QString() : canonica(hostTemp);
        for (const QString &sotto :
             {CartellaInUscita, CartellaInviati, CartellaRisposte, CartellaStorico, CartellaTemp})
            aggiungi(risolvi(common::OpzioniCorbix.Centrale + sotto));
        if (!common::OpzioniCorbix.FloppyDevice.isEmpty())
            aggiungi(risolvi(common::OpzioniCorbix.FloppyDevice + u'\\'));
        const QDir unc(platform::driveTable().folder() + QStringLiteral("/unc"));
        const QString macchina = common::NomeMacchinaServizio();
        for (const QString &server : unc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (server.compare(macchina, Qt::CaseInsensitive) != 0)
                continue;
            const QDir condivisioni(unc.filePath(server));
            for (const QString &condivisione : condivisioni.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                const QString radice = canonica(condivisioni.filePath(condivisione));
                if (!radice.isEmpty())
                    servizio << radice;
            }
        }
    }
    void aggiungi(const QString &host)
    {
        const QString c = host.isEmpty() ? QString() : canonica(host);
        if (!c.isEmpty())
            cartelle.insert(c);
    }
    bool nelServizio(const QString &cartella) const
    {
        return std::any_of(servizio.begin(), servizio.end(), [&](const QString &radice) {
            return cartella == radice || cartella.startsWith(radice + u'/');
        });
    }
};

// A journal of a run that no longer runs, as read back.
struct Interrotto {
    QString giornale;
    QList<QPair<char, QString>> voci;  // the temporaries and work files still its own, by their noted names
    QHash<QString, QList<Identita>> fatti;       // the files the run made, by their noted names
    QList<QPair<QString, Identita>> rimossi;     // the work files it was removing
    QString registrato;                // the register's name, once the run noted it
    bool registrata = false;           // whether the run committed
    QString busta;                     // the envelope's file name of its archive copy, if any

    // Whether the file at host (the name noted, or its temporary) is one the
    // run made for that name: a rename keeps a file's identity.
    bool fatto(const QString &nome, const QString &host) const
    {
        const QList<Identita> ids = fatti.value(nome);
        return std::any_of(ids.cbegin(), ids.cend(), [&host](const Identita &id) { return eIl(host, id); });
    }
};

// The file name in columns 17-28 of the envelope that opens a flow's archive
// copy, whole or still under its temporary name; empty when there is none.
QString nomeBusta(const QString &nomeFile)
{
    const QString host = risolvi(nomeFile);
    if (host.isEmpty())
        return {};
    for (const QString &file : {host, common::nomeTemporaneo(host)}) {
        const std::optional<QByteArray> letta = byteDi(file, 128);
        if (!letta)
            continue;
        const QByteArray &riga = *letta;
        if (riga.size() < 28)
            return {};
        return platform::fromWindows1252(riga.mid(16, 12)).trimmed();
    }
    return {};
}

// 75 when the journal cannot be read: what it names is then unknown.
Interrotto leggiGiornale(dao::Database &archivio, const QString &giornale)
{
    const std::optional<QByteArray> bytes = byteDi(giornale);
    if (!bytes)
        platform::raise(platform::err::PathFileAccess);
    Interrotto lavoro;
    lavoro.giornale = giornale;
    const auto ritira = [&lavoro](const QString &nome) {
        lavoro.voci.removeIf([&](const QPair<char, QString> &voce) { return voce.second == nome; });
    };
    for (const auto &[lettera, testo] : righeGiornale(*bytes)) {
        if (lettera == Registrato) {
            lavoro.registrato = testo;
        } else if (lettera == Ritirato) {
            ritira(testo);
        } else if (lettera == Identificato || lettera == Rimosso) {
            // A line that does not read as an identity proves nothing.
            const auto letta = leggiIdentita(testo, lettera == Rimosso);
            if (!letta)
                continue;
            if (lettera == Identificato) {
                lavoro.fatti[letta->second].append(letta->first);
            } else {
                ritira(letta->second);
                lavoro.rimossi.append({letta->second, letta->first});
            }
        } else {
            lavoro.voci.append({lettera, testo});
        }
    }
    if (!lavoro.registrato.isEmpty()) {
        auto rs = archivio.openRecordset(QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE NomeFile = ?"),
                                         {lavoro.registrato}, dao::RecordsetType::Snapshot);
        lavoro.registrata = rs->value(0).toInt() > 0;
        rs->close();
        if (lavoro.registrata)
            lavoro.busta = nomeBusta(lavoro.registrato);
    }
    return lavoro;
}

// Where a noted file lies, for what the sweep may do with it.
enum class Luogo {
    Fuori,     // nowhere the program writes: only a copy of the run's flow is touched there
    Cartelle,  // the collection point's sub-folders, the medium's root
    Servizio,  // an EDI service share: a temporary is only deleted
};

Luogo luogoDi(const QString &host, const Luoghi &luoghi)
{
    const QFileInfo info(host);
    const QString cartella = canonica(info.absolutePath());
    if (cartella.isEmpty() || info.fileName().isEmpty())
        return Luogo::Fuori;
    if (luoghi.cartelle.contains(cartella))
        return Luogo::Cartelle;
    if (luoghi.nelServizio(cartella))
        return Luogo::Servizio;
    return Luogo::Fuori;
}

// The lines of a file, their ends aside, as a flow's copies differ only by
// them; nothing when it is not a file that can be read.
std::optional<QList<QByteArray>> righeDi(const QString &host)
{
    const std::optional<QByteArray> bytes = byteDi(host);
    if (!bytes)
        return std::nullopt;
    return common::splitLines(*bytes);
}

// The lines of the file named, whole or still under its temporary name.
std::optional<QList<QByteArray>> righeDelNome(const QString &host)
{
    for (const QString &file : {host, common::nomeTemporaneo(host)})
        if (presente(file))
            return righeDi(file);
    return std::nullopt;
}

// Whether a work file the run noted lies in TEMP, a file of its own there.
bool inTemp(const QString &host, const Luoghi &luoghi)
{
    const QFileInfo info(host);
    return !luoghi.temp.isEmpty() && info.isFile() && !info.isSymLink()
           && canonica(info.absolutePath()) == luoghi.temp;
}

// What proves a copy of a run's flow its own: the lines of the flows it
// wrote, in its own folders.
class Prove {
public:
    Prove(const Interrotto &lavoro, const Luoghi &luoghi) : lavoro_(lavoro), luoghi_(luoghi) {}

    // Whether the temporary of a committed run, at host, is its destination
    // copy: named as the envelope of its archive copy says, with the lines
    // of that copy.
    bool copiaDestinazione(const QString &host)
    {
        if (lavoro_.busta.isEmpty() || QFileInfo(host).fileName().compare(lavoro_.busta, Qt::CaseInsensitive) != 0)
            return false;
        if (!archivio_)
            archivio_ = righeDelNome(risolvi(lavoro_.registrato)).value_or(QList<QByteArray>());
        const std::optional<QList<QByteArray>> righe = righeDi(common::nomeTemporaneo(host));
        return righe && !archivio_->isEmpty() && *righe == *archivio_;
    }
    // Whether a temporary of an uncommitted run is a copy of its flow as the
    // run writes one in a folder (LF line ends), whole or begun: its bytes
    // are those of its archive copy's temporary or of one of its work files,
    // or the first of them, where a crash stopped the writing.
    bool copiaPropria(const QString &temp)
    {
        leggiProprie();
        const std::optional<QByteArray> bytes = byteDi(temp);
        return bytes && std::any_of(proprie_->cbegin(), proprie_->cend(),
                                    [&bytes](const QByteArray &copia) { return copia.startsWith(*bytes); });
    }
    // Reads the lines copiaPropria compares with, before any of those files goes.
    void leggiProprie()
    {
        if (!proprie_) {
            proprie_.emplace();
            for (const auto &[destino, nome] : lavoro_.voci) {
                const QString host = risolvi(nome);
                if (host.isEmpty())
                    continue;
                // Only a file the run made proves another its own: a name
                // it noted may hold another run's flow.
                std::optional<QList<QByteArray>> righe;
                const QString temp = common::nomeTemporaneo(host);
                if (destino == Esclusivo && luogoDi(host, luoghi_) == Luogo::Cartelle && lavoro_.fatto(nome, temp))
                    righe = righeDi(temp);
                else if (destino == Lavoro && inTemp(host, luoghi_) && lavoro_.fatto(nome, host))
                    righe = righeDi(host);
                if (righe && !righe->isEmpty())
                    proprie_->append(common::joinLines(*righe, "\n"));
            }
        }
    }

private:
    const Interrotto &lavoro_;
    const Luoghi &luoghi_;
    std::optional<QList<QByteArray>> archivio_;
    std::optional<QList<QByteArray>> proprie_;  // the run's flows as their folder copies are written
};

// The final name of a noted name (letter case aside), as the journals are
// compared: another workstation resolves drives its own way.
QString nomeFinale(const QString &nome) { return nome.section(u'\\', -1).section(u'/', -1).toLower(); }

// Finishes one run that no longer runs: the temporaries of a committed run
// take their names, the others are deleted, and then its work files; the
// journal goes when all are done. A file proved the run's by its bytes alone
// is left while another workstation's journal notes its name (altrui): the
// other run may have written the same flow there. What the register or the
// file's identity proves is the run's whoever else noted the name (another
// run may note a name it never made, or one it gave up).
void sistemaGiornale(const Interrotto &lavoro, const Luoghi &luoghi, const QSet<QString> &altrui)
{
    const bool registrata = lavoro.registrata;
    bool finito = true;
    Prove prove(lavoro, luoghi);
    // The proofs are read before any temporary goes.
    if (!registrata)
        prove.leggiProprie();
    for (const auto &[destino, nome] : lavoro.voci) {
        if (destino == Lavoro)
            continue;
        const QString host = risolvi(nome);
        if (host.isEmpty()) {
            finito = false;
            continue;
        }
        const QString temp = common::nomeTemporaneo(host);
        if (!presente(temp))
            continue;
        if (QFileInfo(temp).isSymLink()) {
            // None of the run's files: each was made new. Another's link is
            // removed, itself, never followed nor named.
            if (!QFile::remove(temp))
                finito = false;
            continue;
        }
        const Luogo luogo = luogoDi(host, luoghi);
        const bool fatto = lavoro.fatto(nome, temp);
        const bool notatoAltrove = altrui.contains(nomeFinale(nome));
        try {
            if (registrata && destino != Scarta) {
                // A file there is replaced only where the run would have
                // replaced it: its stored answer, its destination copy. The
                // register's name is the run's by the register; any other
                // is the run's by its bytes or by being the file it made.
                const bool registrato = nome.compare(lavoro.registrato, Qt::CaseInsensitive) == 0;
                if (registrato && luogo == Luogo::Cartelle)
                    common::takeFinalName(host, destino == Sostituisce);
                else if (!registrato && destino == Sostituisce && !notatoAltrove && prove.copiaDestinazione(host))
                    common::takeFinalName(host, true);
                else if (luogo == Luogo::Cartelle && fatto)
                    common::takeFinalName(host, false);
                else {
                    finito = false;
                    continue;
                }
            } else if (fatto || (luogo == Luogo::Fuori && !notatoAltrove && prove.copiaPropria(temp))) {
                if (!QFile::remove(temp))
                    platform::raise(platform::err::PathFileAccess);
            } else {
                finito = false;
                continue;
            }
            CORBIX_PUNTO_DI_ARRESTO("pulizia.temporaneo");
        } catch (const platform::RuntimeError &) {
            finito = false;
        }
    }
    // The run was stopped dead: its work files in TEMP go with it, and so
    // does a file it was removing, while it is still that one.
    QList<QPair<QString, bool>> lavori;  // noted name, whether being removed
    for (const auto &[destino, nome] : lavoro.voci)
        if (destino == Lavoro)
            lavori.append({nome, false});
    for (const auto &rimosso : lavoro.rimossi)
        lavori.append({rimosso.first, true});
    for (const auto &[nome, inRimozione] : lavori) {
        const QString host = risolvi(nome);
        if (!host.isEmpty() && !presente(host))
            continue;
        const bool proprio =
            !host.isEmpty() && inTemp(host, luoghi)
            && (inRimozione ? std::any_of(lavoro.rimossi.cbegin(), lavoro.rimossi.cend(),
                                          [&](const QPair<QString, Identita> &r) {
                                              return r.first == nome && eIl(host, r.second);
                                          })
                            : lavoro.fatto(nome, host));
        if (!proprio) {
            // A file the run was removing, now another, is no concern of
            // its journal's, nor is another file under a name the run noted
            // with the identity of its own (a name it tried and found taken,
            // or gave up): the run's file is not there. A work file noted
            // without an identity cannot be proved either way and keeps it.
            const bool altro = inRimozione || lavoro.fatti.contains(nome);
            finito = finito && altro && !host.isEmpty();
            continue;
        }
        if (!QFile::remove(host)) {
            finito = false;
            continue;
        }
        CORBIX_PUNTO_DI_ARRESTO("pulizia.lavoro");
    }
    if (finito && QFile::remove(lavoro.giornale))
        CORBIX_PUNTO_DI_ARRESTO("pulizia.giornale");
}

// The final names (letter case aside) that the journals left in TEMP still
// note, of this workstation or another, or of other workstations only:
// their temporaries are theirs.
QSet<QString> nomiAnnotati(const QDir &cartellaTemp, bool soloAltrui)
{
    QSet<QString> nomi;
    for (const QString &nome : cartellaTemp.entryList({PrefissoGiornale + u'*'}, QDir::Files | QDir::Hidden)) {
        const std::optional<QByteArray> bytes =
            temporaneo(nome) && !(soloAltrui && giornaleProprio(nome)) ? byteDi(cartellaTemp.filePath(nome))
                                                                        : std::nullopt;
        if (!bytes)
            continue;
        for (const auto &voce : righeGiornale(*bytes))
            nomi.insert(nomeFinale(voce.second));
    }
    return nomi;
}

// A temporary that no journal names has lost its journal: it takes its name
// when the register holds a file of that name there, and is deleted otherwise.
void sistemaOrfani(dao::Database &archivio, const QSet<QString> &annotati)
{
    for (const QString &sotto : {CartellaInviati, CartellaRisposte}) {
        const QDir dir(cartellaCentrale(sotto));
        for (const QString &nome : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (!temporaneo(nome))
                continue;
            const QString finale = nome.chopped(qstrlen(common::MarcaTemporaneo));
            if (annotati.contains(finale.toLower()))
                continue;
            const QString host = dir.filePath(nome);
            const QString coda = u'\\' + sotto + u'\\' + finale;
            auto rs = archivio.openRecordset(QStringLiteral("SELECT COUNT(*) FROM Corbix WHERE substr(NomeFile, -?) = ?"),
                                             {coda.size(), coda}, dao::RecordsetType::Snapshot);
            const bool registrato = rs->value(0).toInt() > 0;
            rs->close();
            try {
                if (registrato)
                    common::takeFinalName(host.chopped(qstrlen(common::MarcaTemporaneo)), sotto == CartellaRisposte);
                else
                    QFile::remove(host);
                CORBIX_PUNTO_DI_ARRESTO("pulizia.orfano");
            } catch (const platform::RuntimeError &) {
            }
        }
    }
}

// The folder-step reservations of days before today that no wizard holds:
// each one is removed holding its lock, and only while it is still what the
// reservation wrote.
void rimuoviRiservazioniScadute(dao::Database &archivio)
{
    // Nothing composed: no declaration, no medium's file (a zero-length text,
    // as other programs may leave, is as empty as a Null).
    const QString condizione = QStringLiteral(
        "Posizione = ? AND Tipo = ? AND Stato = ? AND NomeFile IS NULL AND (CompostoDa IS NULL OR CompostoDa = '') "
        "AND (RifFloppy IS NULL OR RifFloppy = '')");
    const QVariantList valori = {PosizioneInviati, TipoTelematico, StatoProdotto};
    QList<QPair<QDate, qint32>> chiavi;
    {
        auto rs = archivio.openRecordset(QStringLiteral("SELECT Data, Progressivo FROM Corbix WHERE ") + condizione
                                             + QStringLiteral(" AND Data < DateValue(?)"),
                                         valori + QVariantList{platform::clock().now().date()},
                                         dao::RecordsetType::Snapshot);
        for (; !rs->eof(); rs->moveNext())
            chiavi.append({rs->value(0).toDate(), rs->value(1).toInt()});
        rs->close();
    }
    for (const auto &[data, numero] : chiavi) {
        try {
            const std::unique_ptr<BloccoRiservazione> blocco = BloccoRiservazione::prendi(data, numero);
            if (!blocco)
                continue;  // its wizard is still open
            archivio.execute(QStringLiteral("DELETE FROM Corbix WHERE ") + condizione
                                 + QStringLiteral(" AND Data = DateValue(?) AND Progressivo = ?"),
                             valori + QVariantList{data, numero}, dao::FailOnError);
            CORBIX_PUNTO_DI_ARRESTO("pulizia.riservazione");
        } catch (const platform::RuntimeError &) {
        }
    }
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
        // Written through the descriptor that made it, never reopened by its
        // name, where another could have planted a link meanwhile.
        host_ = platform::hostPath(common::NewUniqueFileName(temp, prefissoPostazione(),
                                                             QLatin1String(common::MarcaTemporaneo), file_));
    } catch (...) {
        file_.close();
        if (!host_.isEmpty())
            QFile::remove(host_);
        ::close(cartella_);
        throw;
    }
}

GiornaleLavoro::~GiornaleLavoro()
{
    // A temporary whose folder cannot be reached (a medium taken out) is out
    // of reach, not gone: the journal stays to name it once it is back.
    bool finito = true;
    for (const QString &host : annotati_)
        finito = finito && QFileInfo(QFileInfo(host).absolutePath()).isDir()
                 && !presente(common::nomeTemporaneo(host));
    if (!finito) {
        // The run has ended: the next start-up leaves its work files alone.
        try {
            for (const QString &nome : std::as_const(lavoro_))
                scrivi(QByteArray(1, Ritirato) + ' ' + nome.toUtf8());
        } catch (const platform::RuntimeError &) {
        }
    }
    file_.close();
    if (finito)
        QFile::remove(host_);
    ::close(cartella_);
}

void GiornaleLavoro::scrivi(const QByteArray &riga)
{
    // A journal that cannot be written is told as the disk's refusal it is.
    file_.writeAll(riga + '\n');
    file_.sync();
    CORBIX_PUNTO_DI_ARRESTO("giornale.riga");
}

void GiornaleLavoro::annota(const QString &nome, Destino destino)
{
    const QString host = platform::hostPath(nome);
    scrivi(QByteArray(1, lettera(destino)) + ' ' + nome.toUtf8());
    annotati_.append(host);
}

void GiornaleLavoro::identifica(const QString &nome, const struct stat &identita)
{
    scrivi(QByteArray(1, Identificato) + ' ' + testoIdentita(identitaDi(identita, false)) + ' ' + nome.toUtf8());
}

platform::CreatedFile GiornaleLavoro::identificatore(const QString &nome)
{
    return [this, nome](const struct stat &identita) { identifica(nome, identita); };
}

void GiornaleLavoro::annotaLavoro(const QString &nome, const struct stat &identita)
{
    platform::hostPath(nome);
    // One write: a stop in between would leave a work file noted without
    // what proves it the run's.
    scrivi(QByteArray(1, Lavoro) + ' ' + nome.toUtf8() + '\n' + QByteArray(1, Identificato) + ' '
           + testoIdentita(identitaDi(identita, false)) + ' ' + nome.toUtf8());
    lavoro_.append(nome);
}

void GiornaleLavoro::ritira(const QString &nome)
{
    const QString host = platform::hostPath(nome);
    scrivi(QByteArray(1, Ritirato) + ' ' + nome.toUtf8());
    annotati_.removeOne(host);
}

void GiornaleLavoro::rimuovi(const QString &nome)
{
    const QString host = platform::hostPath(nome);
    struct stat st {};
    try {
        if (::lstat(QFile::encodeName(host).constData(), &st) == 0 && S_ISREG(st.st_mode))
            scrivi(QByteArray(1, Rimosso) + ' ' + testoIdentita(identitaDi(st, true)) + ' ' + nome.toUtf8());
        else
            scrivi(QByteArray(1, Ritirato) + ' ' + nome.toUtf8());
        lavoro_.removeOne(nome);
    } catch (const platform::RuntimeError &) {
        // The note stays with the file's identity, which a later file under
        // the name does not have.
    }
    QFile::remove(host);
}

void RimuoviFileCostruiti(const QStringList &nomi, GiornaleLavoro *giornale)
{
    for (const QString &nome : nomi) {
        if (nome.isEmpty())
            continue;
        try {
            if (giornale)
                giornale->rimuovi(nome);
            else
                QFile::remove(platform::hostPath(nome));
        } catch (const platform::RuntimeError &) {
            // The drive is gone: nothing of the build can be reached.
        }
    }
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
            const Luoghi luoghi;
            QList<Interrotto> lavori;
            const QDir cartellaTemp(temp);
            for (const QString &nome : cartellaTemp.entryList({PrefissoGiornale + u'*'}, QDir::Files | QDir::Hidden)) {
                if (!giornaleProprio(nome))
                    continue;
                // A link under a journal's name is none of this workstation's
                // runs: removed itself, never read through.
                if (QFileInfo(cartellaTemp.filePath(nome)).isSymLink())
                    QFile::remove(cartellaTemp.filePath(nome));
                else
                    lavori.append(leggiGiornale(archivio, cartellaTemp.filePath(nome)));
            }
            // A name noted by a run that then found it taken may be named by
            // the run that took it: the committed runs come first.
            std::stable_partition(lavori.begin(), lavori.end(), [](const Interrotto &l) { return l.registrata; });
            const QSet<QString> altrui = nomiAnnotati(cartellaTemp, true);
            for (const Interrotto &lavoro : lavori)
                sistemaGiornale(lavoro, luoghi, altrui);
            sistemaOrfani(archivio, nomiAnnotati(cartellaTemp, false));
            rimuoviRiservazioniScadute(archivio);
            RimuoviBlocchiAbbandonati();
            archivio.close();
        }
    } catch (const platform::RuntimeError &) {
        // Whatever is left waits for the next start-up.
    }
    if (cartella >= 0)
        ::close(cartella);
}

}  // namespace flowengine
