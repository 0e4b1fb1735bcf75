// A declarant's day on a sample program folder, through the procedures the
// screens call: compose a folder flow and a medium flow, send the medium flow
// to the EDI share, have the service stand-in answer the folder flow, fetch
// the answer, process it, and find every outcome on the declaration it names.
#include "sampleanswer/sampleanswer.h"
#include "sampledata/sampledata.h"

#include "common/globals.h"
#include "common/paths.h"
#include "common/settings.h"
#include "flowengine/flowwriter.h"
#include "flowengine/options.h"
#include "flowengine/register.h"
#include "platform/clock.h"
#include "platform/dao/recordset.h"
#include "platform/drives.h"
#include "platform/messagebox.h"
#include "platform/workstation.h"
#include "support/doubles/fakeclock.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/doubles/recordingpageprinter.h"
#include "support/tablerows.h"
#include "support/tempdir.h"
#include "support/textfixture.h"
#include "ui/main/composition.h"
#include "ui/transmission/answerfetch.h"
#include "ui/transmission/answerprocess.h"
#include "ui/transmission/answerreport.h"
#include "ui/transmission/flowsend.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <gtest/gtest.h>

namespace {

struct DayCase {
    const char *name;
    int declarations;  // 0: the hand-made sample
    // The checksum of every box and index row after the day, as the
    // processing wrote them before it was made faster.
    const char *rowsSha;
    // The fixture of the report's drawing calls, both listings, as the
    // report drew them before it was made faster; none for the large days.
    const char *reportPages = nullptr;
};

class SampleDay : public ::testing::TestWithParam<DayCase> {
protected:
    SampleDay()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        QStringList arguments{folder_};
        if (GetParam().declarations > 0)
            arguments << QStringLiteral("--declarations") << QString::number(GetParam().declarations);
        made_ = sampledata::run(arguments, o, e) == 0;
        e.flush();
        EXPECT_TRUE(made_) << err.toStdString();
        drives_.emplace(folder_);
        drivesGuard_.emplace(*drives_);
        made_ = made_ && startInFolder();
    }
    // What the application reads when it starts in the folder.
    bool startInFolder()
    {
        common::resetGlobals();
        common::CartellaProgramma = folder_ + u'/';
        return common::LeggiIni() && flowengine::CaricaOpzioni();
    }
    ~SampleDay() override { common::resetGlobals(); }

    // The selection of every declaration of the declarant that may still be
    // sent, all ticked.
    static QString selection(const QString &declarant)
    {
        const auto found = uimain::CercaDichiarazioni(declarant, uimain::TipiRichiesti(true, true, true, true),
                                                      platform::clock().now().date());
        return uimain::ElencoSelezionate(QStringLiteral("T"), declarant, found, QString(found.size(), u'1'));
    }

    // The wizard's folder flow: the row reserved, the flow built and its
    // envelope record put in front, as the build screen does, and filed.
    void composeToFolder(const QString &declarant, int number)
    {
        const QDate today = platform::clock().now().date();
        const auto reserved = uimain::RiservaRiga(today, number, declarant);
        ASSERT_TRUE(reserved.has_value());
        uimain::RichiestaCorbex corbex;
        uimain::ProdottoCorbex prodotto;
        corbex.DestinazioneCorbex = flowengine::Destinazione::Cartella;
        corbex.data = today;
        corbex.dichiarante = declarant;
        corbex.TestoSelezione = selection(declarant);
        const flowengine::CorbexCreato built = flowengine::CreaCorbex(
            corbex.TestoSelezione, corbex.DestinazioneCorbex, common::OpzioniCorbix.PreventCheck);
        const QString flow = built.fileCorbex;
        ASSERT_EQ(built.errori, 0);
        ASSERT_TRUE(uimain::ImbustaCorbex(flow, today, number, QStringLiteral("012100"), declarant));
        prodotto.FileTemporaneo = flow;
        prodotto.ElencoComposizione = built.ElencoComposizione;
        corbex.riservata = *reserved;
        corbex.cartella = QStringLiteral("C:\\Corbix\\Corbix in uscita");
        corbex.progressivo = number;
        corbex.ufficio = QStringLiteral("012100");
        ASSERT_TRUE(uimain::ArchiviaCorbex(corbex, prodotto).has_value());
    }

    // The wizard's medium flow: built, copied to A: under the next free
    // name, and filed. Its register number.
    qint32 composeToMedium(const QString &declarant)
    {
        uimain::RichiestaCorbex corbex;
        uimain::ProdottoCorbex prodotto;
        corbex.DestinazioneCorbex = flowengine::Destinazione::Supporto;
        corbex.data = platform::clock().now().date();
        corbex.dichiarante = declarant;
        corbex.TestoSelezione = selection(declarant);
        const flowengine::CorbexCreato built = flowengine::CreaCorbex(
            corbex.TestoSelezione, corbex.DestinazioneCorbex, common::OpzioniCorbix.PreventCheck);
        const QString flow = built.fileCorbex;
        EXPECT_EQ(built.errori, 0);
        const QString onMedium = flowengine::NomeFilePratiche();
        EXPECT_FALSE(common::CopyWithLineEnd(flow, onMedium, QStringLiteral("\n")));
        prodotto.FileTemporaneo = flow;
        prodotto.FileSupporto = common::EstraiNomeFile(onMedium);
        prodotto.ElencoComposizione = built.ElencoComposizione;
        EXPECT_TRUE(uimain::ArchiviaCorbex(corbex, prodotto).has_value());
        auto rs = archive().openRecordset(QStringLiteral("SELECT Progressivo FROM Corbix WHERE Tipo = 1"), {},
                                          dao::RecordsetType::Snapshot);
        return rs->value(0).toInt();
    }

    flowengine::DatiCorbex flowRow(qint32 number)
    {
        flowengine::DatiCorbex flow;
        flow.Data = platform::clock().now().date();
        flow.Posizione = flowengine::PosizioneInviati;
        flow.Progressivo = number;
        EXPECT_FALSE(flowengine::CaricaCorbex(flow));
        return flow;
    }

    dao::Database archive() { return dao::Database::open(folder_ + QStringLiteral("/Archivio.mdb")); }
    static QByteArray readHost(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Each declaration as "Indice:Stato1:box B line 1:boxes not correct", by Indice.
    QStringList outcomes()
    {
        auto rs = archive().openRecordset(
            QStringLiteral("SELECT i.Indice, i.Stato1, "
                           "max(CASE WHEN d.Campo = '0B' AND d.Riga = '1' THEN d.Contenuto END), "
                           "group_concat(CASE WHEN NOT d.Corretto THEN d.Campo || d.SottoCasella || d.Riga || '/' || "
                           "d.Articolo END, ' ') "
                           "FROM IndiceDoc i LEFT JOIN DettaglioBol d ON d.Indice = i.Indice AND d.Data = i.Data "
                           "GROUP BY i.Indice, i.Data ORDER BY i.Indice"),
            {}, dao::RecordsetType::Snapshot);
        QStringList out;
        for (; !rs->eof(); rs->moveNext())
            out << QStringLiteral("%1:%2:%3:%4")
                       .arg(rs->value(0).toString(), rs->value(1).toString(), rs->value(2).toString(),
                            rs->value(3).toString());
        return out;
    }

    // Every row of the boxes and of the index, every column as text, in
    // the archive's order.
    std::string rowsSha()
    {
        return testsupport::tablesSha(archive(), {"DettaglioBol", "IndiceDoc"});
    }

    testsupport::TempDir dir_;
    const QString folder_ = dir_.file(QStringLiteral("programma"));
    bool made_ = false;
    platform::FixedWorkstationSource workstation_{QStringLiteral("pc-prova"), QStringLiteral("rossi")};
    platform::ScopedWorkstationSource workstationGuard_{workstation_};
    platform::RecordingMessageBoxService boxes_;
    platform::ScopedMessageBoxService boxesGuard_{boxes_};
    platform::FakeClock clock_;
    platform::ScopedClock clockGuard_{clock_};
    std::optional<platform::DriveTable> drives_;
    std::optional<platform::ScopedDriveTable> drivesGuard_;
};

TEST_P(SampleDay, EveryOutcomeLandsOnTheDeclarationTheAnswerNames)
{
    ASSERT_TRUE(made_);
    const QString first = sampledata::Dichiarante1, second = sampledata::Dichiarante2;
    const QStringList before = outcomes();

    // The first declarant's declarations to a folder as flow 7, the
    // second's to the removable medium.
    composeToFolder(first, 7);
    const qint32 medium = composeToMedium(second);
    EXPECT_EQ(QDir(folder_ + QStringLiteral("/supporto")).entryList(QDir::Files),
              QStringList{QStringLiteral("PRATICHE.001")});
    EXPECT_EQ(QDir(folder_ + QStringLiteral("/Corbix/Corbix in uscita")).entryList(QDir::Files),
              QStringList{QStringLiteral("R0010115.T07")});

    // The medium flow sent to the second declarant's share.
    const flowengine::DatiCorbex sent = flowRow(medium);
    ASSERT_TRUE(uitransmission::VerificaPassword(QStringLiteral("B002"), QStringLiteral("bianchi2")));
    ASSERT_TRUE(uitransmission::VerificaServizioInLinea(QStringLiteral("B002")));
    const QString name = uitransmission::NomeFileServizio(sent.Data, QStringLiteral("01"), QStringLiteral("032100"));
    ASSERT_TRUE(uitransmission::SpedisciFile(QStringLiteral("B002"), sent.NomeFile, name));
    EXPECT_EQ(readHost(folder_ + QStringLiteral("/servizio/B002/corbix/") + name),
              readHost(platform::hostPath(sent.NomeFile)));
    EXPECT_EQ(name, QStringLiteral("26011501-032100"));

    // The service's answer to the folder flow: every second declaration
    // refused on the gross mass of its first article.
    QString out, err;
    {
        QTextStream o(&out), e(&err);
        ASSERT_EQ(sampleanswer::run({folder_, QStringLiteral("2026-01-15"), QStringLiteral("7")}, o, e), 0)
            << err.toStdString();
    }
    ASSERT_TRUE(startInFolder());
    const QString answer = folder_ + QStringLiteral("/servizio/R001/risposte/20260115-W07");
    const flowengine::DatiCorbex folderFlow = flowRow(7);
    std::vector<flowengine::DocumentoCorbex> declarations;
    const int count = flowengine::LeggiCompostoDa(declarations, folderFlow.CompostoDa);
    ASSERT_GT(count, 1);
    const int refused = count / 2;
    EXPECT_EQ(out, QStringLiteral("Scritta la risposta di tipo W del corbex 7 del 15/01/2026: esiti positivi %1, "
                                  "negativi %2.\n\\\\MIRSOLAN\\R001\\risposte\\20260115-W07\n")
                           .arg(count - refused)
                           .arg(refused)
                       + answer + u'\n');

    // Fetched by its name on the share, and processed.
    ASSERT_TRUE(uitransmission::PrelevaRisposta(QStringLiteral("\\\\MIRSOLAN\\R001\\risposte\\20260115-W07"),
                                                folderFlow));
    ASSERT_EQ(uitransmission::ElaboraRisposta(folderFlow.Data, 7), uitransmission::EsitoElaborazione::Elaborata);
    const flowengine::DatiCorbex processed = flowRow(7);
    EXPECT_EQ(processed.Stato, flowengine::StatoRispostaElaborata);
    EXPECT_EQ(processed.OK, qMin(255, count - refused));
    EXPECT_EQ(processed.KO, qMin(255, refused));
    EXPECT_EQ(processed.ND, 0);

    // Accepted declarations carry their registration in box B; refused ones
    // have the gross mass of article 1 marked and are free again; every
    // other declaration is as it was.
    QStringList expected = before;
    for (int k = 0; k < count; ++k) {
        const qint32 indice = declarations[size_t(k)].Indice;
        QString &row = expected[indice - 1];
        ASSERT_TRUE(row.startsWith(QString::number(indice) + QStringLiteral(":0::")));
        if (k % 2 == 1)
            row = QString::number(indice) + QStringLiteral(":0::3501/1");
        else
            row = QStringLiteral("%1:2:REG. %2 N. %3 K DEL 15.01.26:")
                      .arg(indice)
                      .arg((indice - 1) % 4 < 2 ? QStringLiteral("IM") : QStringLiteral("EX"))
                      .arg(indice, 6, 10, QLatin1Char('0'));
    }
    const QStringList after = outcomes();
    for (qsizetype i = 0; i < after.size(); ++i) {
        // The medium flow's declarations are marked as sent, untouched otherwise.
        if (i % 2 == 1 && expected[i].endsWith(QStringLiteral(":0::")))
            expected[i].replace(QStringLiteral(":0::"), QStringLiteral(":2::"));
        ASSERT_EQ(after[i].toStdString(), expected[i].toStdString());
    }
    EXPECT_TRUE(boxes_.shown.size() <= 2);
    EXPECT_EQ(rowsSha(), GetParam().rowsSha);

    if (!GetParam().reportPages)
        return;
    // The answer's report, both listings, as its window prints them.
    uitransmission::DatiTabulato report;
    report.Data = processed.Data;
    report.Progressivo = processed.Progressivo;
    report.FileCorbex = processed.NomeFile;
    report.CompostoDa = processed.CompostoDa;
    flowengine::DatiCorbex stored = processed;
    stored.Posizione = flowengine::PosizioneRisposta;
    ASSERT_FALSE(flowengine::CaricaCorbex(stored));
    report.FileRisposta = stored.NomeFile;
    platform::RecordingPagePrinter pages;
    {
        platform::ScopedPagePrinter pagesGuard(pages);
        uitransmission::StampaEsitiPositivi(report);
        uitransmission::StampaEsitiNegativi(report);
    }
    EXPECT_TRUE(testsupport::SameAsFixture(QString::fromLatin1(GetParam().reportPages), pages.lines()));
}

INSTANTIATE_TEST_SUITE_P(Cases, SampleDay,
                         ::testing::Values(DayCase{"HandMadeSample", 0,
                                                   "e3ccfb578137822bef390098f8bcacb11c26b7729906d87ee9f152d61bde3063",
                                                   "tools/fixtures/report-hand-made-sample.txt"},
                                           // Listings of several pages each.
                                           DayCase{"TwoHundredDeclarations", 200,
                                                   "c10cce44b408fb3803d32a8d59de9efd8cc864d2d5876d05f53ebd8a7f5fb644",
                                                   "tools/fixtures/report-200-declarations.txt"},
                                           DayCase{"FiveThousandDeclarations", 5000,
                                                   "7befbd0ee028141e20ecf2ec8943629f02c95417b92572cf800924deb63c7d94"},
                                           // 5 000 outcomes in one answer: the first declarant's half.
                                           DayCase{"FiveThousandOutcomes", 10000,
                                                   "e9812cb6a7d727e69901f79f0d93e0d4e6bb04302e7a8b97708e8f4e53132caa"}),
                         [](const ::testing::TestParamInfo<DayCase> &caso) { return std::string(caso.param.name); });

}  // namespace
