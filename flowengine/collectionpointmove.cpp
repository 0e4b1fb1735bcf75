#include "flowengine/collectionpointmove.h"

#include "common/databases.h"
#include "common/globals.h"
#include "common/paths.h"
#include "common/textfiles.h"
#include "flowengine/collectionpoint.h"
#include "flowengine/register.h"
#include "platform/crashpoint.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filewriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <utility>

namespace flowengine {

namespace {

const QString FineNota = QStringLiteral(".spostamento") + QLatin1String(common::MarcaTemporaneo);

// Flushes a folder's entries (a name made, renamed or removed) to the disk,
// as far as the disk lets it: the move's steps go on either way.
void sincronizzaCartella(const QString &host)
{
    try {
        platform::syncFolder(host);
    } catch (const platform::RuntimeError &) {
    }
}

// Writes the note whole and flushed, its folder's entry too; a note that
// cannot be written is removed and its write's error raised.
void scriviNota(const QString &nota, const QString &da, const QString &a)
{
    platform::CheckedFile file(nota);
    try {
        if (!file.open(QIODevice::Truncate))
            file.raiseError();
        file.writeAll(da.toUtf8() + '\n' + a.toUtf8() + '\n');
        file.finish();
        platform::syncFolder(QFileInfo(nota).absolutePath());
    } catch (const platform::RuntimeError &) {
        file.close();
        QFile::remove(nota);
        throw;
    }
}

void rimuoviNota(const QString &nota)
{
    if (QFile::remove(nota))
        sincronizzaCartella(QFileInfo(nota).absolutePath());
}

// The old and the new path a note names; nothing for a note torn by a crash
// while it was written (before anything was renamed).
std::optional<std::pair<QString, QString>> leggiNota(const QString &nota)
{
    QFile file(nota);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray testo = file.read(8192);
    const QList<QByteArray> righe = testo.split('\n');
    if (righe.size() != 3 || !righe[2].isEmpty() || righe[0].isEmpty() || righe[1].isEmpty())
        return std::nullopt;
    return std::make_pair(QString::fromUtf8(righe[0]), QString::fromUtf8(righe[1]));
}

bool cartellaPresente(const QString &path)
{
    try {
        return QFileInfo(platform::hostPath(senzaSeparatoreFinale(path))).isDir();
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

}  // namespace

QString NotaSpostamento(const QString &origine)
{
    const QFileInfo info(origine);
    return QDir(info.absolutePath()).filePath(info.fileName() + FineNota);
}

SpostamentoCentrale::SpostamentoCentrale(QString da, QString a)
    : da_(std::move(da)), a_(std::move(a))
{
}

void SpostamentoCentrale::rinomina()
{
    const QString vecchio = senzaSeparatoreFinale(da_);
    const QString nuovo = senzaSeparatoreFinale(a_);
    origine_ = platform::hostPath(vecchio);
    if (!QFileInfo(origine_).isDir())
        platform::raise(platform::err::FileNotFound);
    const QString genitore = common::EstraiPercorso(nuovo);
    const QString nome = common::EstraiNomeFile(nuovo);
    if (genitore.isEmpty() || nome.isEmpty())
        platform::raise(platform::err::BadFileNameOrNumber);
    const QString cartellaGenitore = platform::hostPath(genitore);
    if (!QFileInfo(cartellaGenitore).isDir())
        platform::raise(platform::err::PathNotFound);
    // The new name as written, so that a change of letter case alone is
    // carried onto the disk; the name found without regard to case must be
    // the folder itself or nothing.
    destinazione_ = QDir(cartellaGenitore).filePath(nome);
    const QFileInfo esistente(platform::hostPath(nuovo));
    if (esistente.exists() && esistente.canonicalFilePath() != QFileInfo(origine_).canonicalFilePath())
        platform::raise(platform::err::FileAlreadyExists);
    if (destinazione_ == origine_)
        return;
    nota_ = NotaSpostamento(origine_);
    scriviNota(nota_, da_, a_);
    CORBIX_PUNTO_DI_ARRESTO("spostamento.nota");
    if (::rename(QFile::encodeName(origine_).constData(), QFile::encodeName(destinazione_).constData()) != 0) {
        rimuoviNota(nota_);
        platform::raise(platform::err::PathFileAccess);
    }
    rinominata_ = true;
    sincronizzaCartella(QFileInfo(origine_).absolutePath());
    sincronizzaCartella(cartellaGenitore);
    CORBIX_PUNTO_DI_ARRESTO("spostamento.rinominata");
}

void SpostamentoCentrale::concludi()
{
    if (!nota_.isEmpty())
        rimuoviNota(nota_);
}

void SpostamentoCentrale::annulla()
{
    if (rinominata_) {
        if (::rename(QFile::encodeName(destinazione_).constData(), QFile::encodeName(origine_).constData()) != 0)
            return;
        rinominata_ = false;
    }
    if (!nota_.isEmpty())
        rimuoviNota(nota_);
}

void FinisciSpostamentoCentrale()
{
    QString &centrale = common::OpzioniCorbix.Centrale;
    if (centrale.isEmpty())
        return;
    try {
        const QString cartella = platform::hostPath(senzaSeparatoreFinale(centrale));
        const QDir genitore(QFileInfo(cartella).absolutePath());
        for (const QString &nome : genitore.entryList({u'*' + FineNota}, QDir::Files | QDir::Hidden)) {
            const QString nota = genitore.filePath(nome);
            const auto letta = leggiNota(nota);
            if (!letta) {
                // Torn while it was written: nothing had been renamed yet.
                if (nota == NotaSpostamento(cartella))
                    rimuoviNota(nota);
                continue;
            }
            const auto &[da, a] = *letta;
            if (a == centrale) {
                rimuoviNota(nota);  // the archive committed the move
                continue;
            }
            if (da != centrale)
                continue;  // a move of another collection point
            if (cartellaPresente(da)) {
                rimuoviNota(nota);  // the folder never moved
                continue;
            }
            if (!cartellaPresente(a))
                continue;  // neither folder: the check that follows tells it
            dao::Database db = common::ApriArchivio();
            dao::Transaction transazione(db);
            db.execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {a}, dao::FailOnError);
            SpostaNomiRegistro(db, da, a);
            transazione.commit();
            db.close();
            CORBIX_PUNTO_DI_ARRESTO("spostamento.completato");
            centrale = a;
            rimuoviNota(nota);
            return;
        }
    } catch (const platform::RuntimeError &) {
        // The note waits for the next start-up.
    }
}

}  // namespace flowengine
