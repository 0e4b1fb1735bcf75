#pragma once

#include "common/archiveschema.h"
#include "common/fixture.h"
#include "common/globals.h"
#include "flowengine/flowwriter.h"
#include "platform/clock.h"
#include "platform/dao/database.h"
#include "platform/messagebox.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingmessagebox.h"

#include <QDir>
#include <algorithm>
#include <vector>

// A program folder with its Corbix.mdb, an archive on drive C: and the
// collection point C:\Centrale\ with its TEMP folder; today is 15 January 2026.
class WriterTest : public CommonTest {
protected:
    WriterTest()
    {
        QDir().mkpath(onC(QStringLiteral("Centrale/TEMP")));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Centrale\\");
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
        archive = common::createArchive(onC(QStringLiteral("Archivio.mdb")));
        program = common::createProgramDatabase(common::CartellaProgramma + QStringLiteral("Corbix.mdb"));
    }

    // A declaration's index row.
    void declaration(int indice, const QDate &date = day(), const QString &kind = QStringLiteral("BOLL"))
    {
        archive.execute(QStringLiteral("INSERT INTO IndiceDoc (Indice, Data, CodiceDoc, Stato1) VALUES (?, ?, ?, 0)"),
                        {indice, date, kind}, dao::FailOnError);
    }
    // A box row: reference "MCCSR" (module, box, sub-box, row); a front-sheet
    // row has Articolo Null.
    void box(int indice, const QString &reference, const QVariant &content, int article = 0,
             const QDate &date = day())
    {
        archive.execute(QStringLiteral("INSERT INTO DettaglioBol (Indice, Data, Articolo, Modulo, Campo, SottoCasella, "
                                       "Riga, Contenuto) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                        {indice, date, article ? QVariant(article) : QVariant(), reference.left(1), reference.mid(1, 2),
                         reference.mid(3, 1), reference.mid(4, 1), content},
                        dao::FailOnError);
    }
    // A declaration of "BOLL" with its front sheet: kind and procedure in box
    // 01, the article count in box 05, the reference in box 07.
    void front(int indice, const QString &kind, const QString &procedure, const QVariant &articles,
               const QVariant &reference, const QDate &date = day())
    {
        declaration(indice, date);
        box(indice, QStringLiteral("F0111"), kind, 0, date);
        box(indice, QStringLiteral("F0121"), procedure, 0, date);
        if (!articles.isNull())
            box(indice, QStringLiteral("F0501"), articles, 0, date);
        if (!reference.isNull())
            box(indice, QStringLiteral("F0701"), reference, 0, date);
    }

public:
    struct Field {
        QString references, treatment, picture, description;
        bool mandatory = false, numeric = false, truncatable = false;
    };

protected:
    // The rows of a layout, numbered from 7 as the answers expect.
    void layout(const QString &code, const std::vector<Field> &fields)
    {
        int progressivo = 6;
        for (const Field &f : fields)
            program.execute(QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, RifBRELK, Trattamento, "
                                           "Obbligatorio, Numerico, Troncabile, Descrizione, Picture) "
                                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                            {code, ++progressivo, f.references.isEmpty() ? QVariant() : QVariant(f.references),
                             f.treatment.isEmpty() ? QVariant() : QVariant(f.treatment), f.mandatory, f.numeric,
                             f.truncatable, f.description, f.picture},
                            dao::FailOnError);
    }
    void paymentMode(const QString &code, const QVariant &daGarantire)
    {
        archive.execute(QStringLiteral("INSERT INTO ModoPagamento (Codice, DaGarantire) VALUES (?, ?)"),
                        {code, daGarantire}, dao::FailOnError);
    }

    static QDate day() { return QDate(2024, 3, 4); }

    // The selection text of these declarations of day(), as composition builds it.
    static QString selection(const std::vector<int> &indices, const QString &declarant = QStringLiteral("DICH01"))
    {
        QString text = QStringLiteral("T\r\n") + declarant.leftJustified(16, u' ', true) + QStringLiteral("\r\n")
                       + QString::number(indices.size()) + QStringLiteral("\r\n");
        for (int i : indices)
            text += day().toString(QStringLiteral("yyyy/MM/dd")) + u'-' + QStringLiteral("%1").arg(i, 9, 10, QLatin1Char('0'))
                    + QStringLiteral("\r\n");
        return text;
    }

    // Runs the writer; the results are read back into the members below.
    int build(const QString &selectionText, int destination = 1, bool check = true)
    {
        const flowengine::CorbexCreato built = flowengine::CreaCorbex(
            selectionText, destination == 2 ? flowengine::Destinazione::Supporto : flowengine::Destinazione::Cartella,
            check, progress);
        flowFile = built.fileCorbex;
        logFile = built.fileErrori;
        workFile = built.fileLavoro;
        errors = built.errori;
        composition = built.ElencoComposizione;
        flow = bytes(hostOf(flowFile));
        log = bytes(hostOf(logFile));
        return errors;
    }
    static QString hostOf(const QString &windowsPath) { return platform::hostPath(windowsPath); }
    // The files of the TEMP folder, in code order.
    QStringList tempFiles() const
    {
        QStringList names = entries(onC(QStringLiteral("Centrale/TEMP")));
        std::sort(names.begin(), names.end());
        return names;
    }

    dao::Database archive;
    dao::Database program;
    platform::FakeClock clock{QDateTime(QDate(2026, 1, 15), QTime(10, 0))};
    platform::ScopedClock clockGuard{clock};
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxGuard{boxes};
    flowengine::AvanzamentoCorbex *progress = nullptr;

    int errors = -1;
    QString composition;  // the composition list the writer gave back
    QString flowFile, logFile, workFile;
    QByteArray flow, log;
};
