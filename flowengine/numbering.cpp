#include "flowengine/numbering.h"

#include "common/textfiles.h"
#include "common/databases.h"
#include "common/globals.h"
#include "flowengine/flowlines.h"
#include "flowengine/register.h"
#include "platform/busywait.h"
#include "platform/dao/connection.h"
#include "platform/dao/database.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <QPair>
#include <QSet>
#include <memory>
#include <sqlite3.h>

namespace flowengine {

namespace {

// The host path of a Windows path; empty when its drive or share cannot be
// reached, which for a folder looked up here is a folder that does not exist.
QString raggiungibile(const QString &path)
{
    try {
        return platform::hostPath(path);
    } catch (const platform::RuntimeError &) {
        return {};
    }
}

}  // namespace

QString NuovoNomeFile(QString &folder, const QDate &date)
{
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    const QString cartella = common::OpzioniCorbix.Centrale + folder;
    const QString hostCartella = raggiungibile(cartella);
    if (hostCartella.isEmpty() || !QFileInfo(hostCartella).isDir())
        return {};
    const QString radice = cartella + date.toString(QStringLiteral("yyyyMMdd")) + u'-';
    for (qint64 n = 0;; ++n) {
        // A name another run is still writing under its temporary is taken.
        const QString nome = radice + QString::number(n);
        const QString host = platform::hostPath(nome);
        const QFileInfo info(host), temporaneo(common::nomeTemporaneo(host));
        if (!info.exists() && !info.isSymLink() && !temporaneo.exists() && !temporaneo.isSymLink())
            return nome;
    }
}

qint32 NuovoProgressivo(const QDate &date)
{
    dao::Database db = common::ApriArchivio();
    dao::Transaction transaction(db);
    std::unique_ptr<dao::Recordset> rs = db.openRecordset(
        QStringLiteral("SELECT * FROM Corbix WHERE Data = DateValue(?) ORDER BY Progressivo"), {date});
    qint32 numero = 1;
    if (!rs->eof()) {
        rs->moveLast();
        numero = rs->value(QStringLiteral("Progressivo")).toInt() + 1;
    }
    rs->addNew();
    rs->setValue(QStringLiteral("Posizione"), PosizioneNumerato);
    rs->setValue(QStringLiteral("Data"), date);
    rs->setValue(QStringLiteral("Progressivo"), numero);
    rs->setValue(QStringLiteral("NomeFile"), QStringLiteral(""));
    rs->setValue(QStringLiteral("CompostoDa"), QStringLiteral(""));
    rs->setValue(QStringLiteral("Stato"), StatoNumerato);
    rs->setValue(QStringLiteral("Tipo"), 0);
    rs->update();
    rs->close();
    transaction.commit();
    db.close();
    return numero;
}

std::vector<DocumentoCorbex> MarcaDocumentiInviati(QString &list)
{
    std::vector<DocumentoCorbex> documenti;
    LeggiCompostoDa(documenti, list);
    list.clear();
    std::vector<DocumentoCorbex> prese;
    QSet<QPair<qint32, QDate>> marcate;
    dao::Database db = common::ApriArchivio();
    // A flow of a whole archive marks tens of thousands of declarations: each
    // statement is prepared once for the run, the day bound as the key holds it.
    dao::Connection::Statement marca(db.connection(),
                                     QStringLiteral("UPDATE IndiceDoc SET Stato1 = 2 WHERE Indice = ? AND Data = ? "
                                                    "AND Stato1 <> 1 AND Stato1 <> 2"),
                                     dao::Operation::Write);
    dao::Connection::Statement esiste(db.connection(),
                                      QStringLiteral("SELECT 1 FROM IndiceDoc WHERE Indice = ? AND Data = ?"),
                                      dao::Operation::Read);
    for (const DocumentoCorbex &d : documenti) {
        // A declaration listed twice is marked once.
        if (marcate.contains({d.Indice, d.Data}))
            continue;
        marcate.insert({d.Indice, d.Data});
        // Free as the composition's search asks: a Null is not.
        marca.bind({d.Indice, d.Data});
        while (marca.step()) {
        }
        if (sqlite3_changes(db.connection().handle()) == 0) {
            esiste.bind({d.Indice, d.Data});
            if (esiste.step()) {
                prese.push_back(d);
                while (esiste.step()) {
                }
            }
        }
        // Thousands of declarations take a while: under a busy wait the
        // windows are painted meanwhile.
        platform::BusyWait::paintWhenDue();
    }
    return prese;
}

}  // namespace flowengine
