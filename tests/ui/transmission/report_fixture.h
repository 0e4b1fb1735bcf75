#pragma once

#include "common/archiveschema.h"
#include "flowengine/archive_fixture.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/pageprinter.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/recordingpageprinter.h"
#include "ui/transmission/answerreport.h"

#include <QDir>
#include <initializer_list>
#include <utility>
#include <vector>

// An archive whose company name heads the reports, the program database with
// its record layouts, the collection point C:\Corbix\ with the flow as sent
// and its stored answer, today 10 December 2026 and a recording printer.
class ReportTest : public ArchiveTest {
protected:
    ReportTest() : program(common::createProgramDatabase(common::CartellaProgramma + QStringLiteral("Corbix.mdb")))
    {
        db.execute("UPDATE Paragen SET NomeDitta = ?, UsaQuestoNome = ?",
                   {QStringLiteral("Spedizioni Rossi S.p.A."), true});
        for (const char *folder : {"Corbix in uscita", "Corbix inviati", "Risposte Pervenute", "Storico", "TEMP"})
            QDir().mkpath(onC(QStringLiteral("Corbix/") + QString::fromUtf8(folder)));
        common::OpzioniCorbix.Centrale = QStringLiteral("C:\\Corbix\\");
        tabulato.Data = QDate(2026, 3, 5);
        tabulato.Progressivo = 7;
        tabulato.FileCorbex = QStringLiteral("C:\\Corbix\\Corbix inviati\\C0000007.TXT");
        tabulato.FileRisposta = QStringLiteral("C:\\Corbix\\Risposte Pervenute\\R0000007.TXT");
        tabulato.CompostoDa = QStringLiteral("101-05/03/2026-R00001-A\r\n102-05/03/2026-R00002-B\r\n"
                                             "103-05/03/2026-R00003-C\r\n");
    }

    // A line with texts placed at their columns, blanks between.
    static QString at(std::initializer_list<std::pair<int, QString>> fields)
    {
        QString line;
        for (const auto &[column, text] : fields) {
            if (line.size() < column - 1)
                line += QString(column - 1 - line.size(), u' ');
            line = line.left(column - 1) + text + line.mid(column - 1 + text.size());
        }
        return line;
    }

    // A type W answer: the header counting every line, the date line, a
    // line 3, the body and the closing line.
    void writeAnswer(const QStringList &body, int count = -1)
    {
        const int lines = count < 0 ? int(body.size()) + 4 : count;
        QStringList all = {at({{26, "W"}, {51, "SPED1"}, {71, QStringLiteral("%1").arg(lines, 5, 10, QChar(u'0'))}}),
                           at({{12, "05/03/26"}}), QStringLiteral("INIZIO")};
        all << body << QStringLiteral("FINE");
        writeLines(tabulato.FileRisposta, all);
    }
    void writeFlow(const QStringList &lines) { writeLines(tabulato.FileCorbex, lines); }
    void writeLines(const QString &windowsPath, const QStringList &lines)
    {
        QByteArray bytes;
        for (const QString &l : lines)
            bytes += platform::toWindows1252(l) + "\r\n";
        QFile f(onC(QString(windowsPath).mid(3).replace(u'\\', u'/')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void addLayout(const QString &codice, int progressivo, const QString &descrizione, const QString &mask1,
                   const QString &mask2)
    {
        program.execute("INSERT INTO Tracciati (CodiceMsg, Progressivo, Descrizione, RifMask1, RifMask2) "
                        "VALUES (?, ?, ?, ?, ?)",
                        {codice, progressivo, descrizione, mask1, mask2}, dao::FailOnError);
    }

    static void append(std::vector<QString> &to, const std::vector<QString> &more)
    {
        to.insert(to.end(), more.begin(), more.end());
    }

    dao::Database program;
    uitransmission::DatiTabulato tabulato;
    platform::FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5))};
    platform::ScopedClock clockGuard{clock};
    platform::RecordingPagePrinter printer;
    platform::ScopedPagePrinter printerGuard{printer};
};
