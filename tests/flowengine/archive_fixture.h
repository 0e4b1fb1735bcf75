#pragma once

#include "common/archiveschema.h"
#include "common/fixture.h"
#include "common/globals.h"
#include "platform/dao/recordset.h"
#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/otherprogram.h"

#include <QDate>
#include <QFile>
#include <ostream>

// Texts in failure messages as they read.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

// An archive on drive C: (C:\Archivio.mdb) named by PercorsoArchivio, a
// program database in the program folder, and a recording message service.
class ArchiveTest : public CommonTest {
protected:
    ArchiveTest()
        : db(common::createArchive(onC(QStringLiteral("Archivio.mdb"))))
    {
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
    }

    void addFlow(int posizione, QDate data, qint32 progressivo, int stato, int tipo, const QString &fattoDa,
                 const QVariant &compostoDa = {}, const QVariant &nomeFile = {}, const QVariant &rifFloppy = {},
                 const QVariant &ok = {}, const QVariant &ko = {}, const QVariant &nd = {})
    {
        db.execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, "
                                  "Tipo, RifFloppy, FattoDa, OK, KO, ND) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {posizione, data, progressivo, nomeFile, compostoDa, stato, tipo, rifFloppy,
                    fattoDa.isEmpty() ? QVariant() : QVariant(fattoDa), ok, ko, nd},
                   dao::FailOnError);
    }
    void addDeclarant(const QString &codice, const QString &descrizione)
    {
        db.execute(QStringLiteral("INSERT INTO Spedoga (Codice, Descrizione) VALUES (?, ?)"), {codice, descrizione},
                   dao::FailOnError);
    }
    void addDeclaration(qint32 indice, QDate data, int stato1)
    {
        db.execute(QStringLiteral("INSERT INTO IndiceDoc (Indice, Data, CodiceDoc, Stato1) VALUES (?, ?, ?, ?)"),
                   {indice, data, QStringLiteral("BOLL"), stato1}, dao::FailOnError);
    }
    QVariant stato1(qint32 indice, QDate data)
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Stato1 FROM IndiceDoc WHERE Indice = ? AND Data = ?"),
                                   {indice, data});
        return rs->eof() ? QVariant(QStringLiteral("<none>")) : rs->value(0);
    }
    // The keys of the register as "Posizione Data Progressivo", in key order.
    QStringList registerKeys()
    {
        QStringList keys;
        auto rs = db.openRecordset(
            QStringLiteral("SELECT * FROM Corbix ORDER BY Posizione, Data, Progressivo"));
        for (; !rs->eof(); rs->moveNext())
            keys << QStringLiteral("%1 %2 %3")
                        .arg(rs->value(QStringLiteral("Posizione")).toInt())
                        .arg(rs->value(QStringLiteral("Data")).toDate().toString(QStringLiteral("dd/MM/yyyy")))
                        .arg(rs->value(QStringLiteral("Progressivo")).toInt());
        return keys;
    }

    dao::Database db;
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxGuard{boxes};
};
