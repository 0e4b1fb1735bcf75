#include "fixture.h"

#include "flowengine/collectionpoint.h"
#include "flowengine/options.h"
#include "platform/errors.h"

using namespace flowengine;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

const QStringList kAll = {CartellaInUscita, CartellaInviati, CartellaRisposte, CartellaStorico, CartellaTemp};

Message incomplete(const QString &which)
{
    return {QStringLiteral("La struttura della cartella riservata alla gestione dei corbix non è completa. Manca la "
                           "cartella ")
                + which,
            QStringLiteral("Corbix doganali"), MsgIcon::Exclamation, MsgButtons::OKCancel, 1};
}

Message critical(const QString &text)
{
    return {text, QStringLiteral("Corbix doganali"), MsgIcon::Critical, MsgButtons::OK, 1};
}

Message notFound(const QString &name)
{
    return {QStringLiteral("Impossibile trovare la cartella '") + name
                + QStringLiteral("' riservata ai corbix doganali."),
            QStringLiteral("Corbix Doganali"), MsgIcon::Exclamation, MsgButtons::OK, 1};
}

class CollectionPoint : public FlowEngineTest {};

}  // namespace

TEST_F(CollectionPoint, LocalFormOfThisComputersNetworkPaths)
{
    const struct {
        const char *centrale, *local;
    } cases[] = {
        {"\\\\pc-uff1\\D\\Dogana\\Corbix\\", "D:\\Dogana\\Corbix\\"},
        {"\\\\PC-UFF1\\d\\Corbix\\", "d:\\Corbix\\"},
        {"\\\\pc\\D\\Dogana\\Corbix\\", "\\\\pc\\D\\Dogana\\Corbix\\"},
        {"\\\\pc-uff1-rossi\\D\\Corbix\\", "\\\\pc-uff1-rossi\\D\\Corbix\\"},
        {"D:\\Dogana\\Corbix\\", "D:\\Dogana\\Corbix\\"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formaLocaleCentrale(QString::fromLatin1(c.centrale)), QString::fromLatin1(c.local)) << c.centrale;
}

TEST_F(CollectionPoint, NetworkFormOfADriveFolderOnly)
{
    EXPECT_EQ(formaDiReteCentrale(QStringLiteral("D:\\Dogana\\Corbix\\")),
              QStringLiteral("\\\\pc-uff1\\D\\Dogana\\Corbix\\"));
    EXPECT_EQ(formaDiReteCentrale(QStringLiteral("C:\\Corbix Doganali\\")),
              QStringLiteral("\\\\pc-uff1\\C\\Corbix Doganali\\"));
    EXPECT_EQ(formaDiReteCentrale(QStringLiteral("\\\\SRV1\\Dati\\Corbix\\")), QStringLiteral("\\\\SRV1\\Dati\\Corbix\\"));
    for (const char *bad : {"Dogana\\Corbix\\", "/home/u/Corbix/", ""}) {
        try {
            formaDiReteCentrale(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), 52) << bad;
        }
    }
}

// This computer's own network path is examined on its drive; any other
// computer's path through the share it names.
TEST_F(CollectionPoint, CheckFindsTheFolderLocallyOrOnTheNetwork)
{
    makeFolders(onD(QStringLiteral("Dogana/Corbix")), kAll);
    EXPECT_TRUE(VerificaStrutturaCentrale(QStringLiteral("\\\\PC-uff1\\D\\Dogana\\Corbix\\")));
    EXPECT_TRUE(boxes_.shown.empty());

    EXPECT_FALSE(VerificaStrutturaCentrale(QStringLiteral("\\\\SRV1\\Dogana\\Corbix\\")));
    EXPECT_EQ(boxes_.shown, std::vector<Message>{notFound(QStringLiteral("Corbix"))});
    boxes_.shown.clear();

    drives_.setShare(QStringLiteral("SRV1"), QStringLiteral("Dogana"), onD(QStringLiteral("Dogana")));
    EXPECT_TRUE(VerificaStrutturaCentrale(QStringLiteral("\\\\SRV1\\Dogana\\Corbix\\")));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(CollectionPoint, CheckOfAMissingOrUnsetFolder)
{
    EXPECT_FALSE(VerificaStrutturaCentrale(QStringLiteral("\\\\pc-uff1\\D\\Dogana\\Corbix\\")));
    EXPECT_FALSE(VerificaStrutturaCentrale(QStringLiteral("E:\\Corbix\\")));
    EXPECT_FALSE(VerificaStrutturaCentrale(QString()));
    const std::vector<Message> expected = {
        notFound(QStringLiteral("Corbix")),
        notFound(QStringLiteral("Corbix")),
        {QStringLiteral("Il punto di raccolta dei corbix doganali non è stato impostato."),
         QStringLiteral("Corbix Doganali"), MsgIcon::Exclamation, MsgButtons::OK, 1},
    };
    EXPECT_EQ(boxes_.shown, expected);
}

TEST_F(CollectionPoint, CheckOfEachMissingSubFolder)
{
    const struct {
        QStringList missing;
        bool result;
        std::vector<Message> messages;
    } cases[] = {
        {{CartellaInUscita}, true, {incomplete(QStringLiteral("per i corbix in uscita."))}},
        {{CartellaInviati, CartellaStorico}, false, {incomplete(QStringLiteral("per i corbix inviati."))}},
        {{CartellaRisposte}, false, {incomplete(QStringLiteral("per le risposte pervenute."))}},
        {{CartellaStorico}, false, {incomplete(QStringLiteral("per i corbix esauditi (storico)."))}},
        {{CartellaInUscita, CartellaStorico},
         false,
         {incomplete(QStringLiteral("per i corbix in uscita.")),
          incomplete(QStringLiteral("per i corbix esauditi (storico)."))}},
        {{CartellaTemp}, true, {}},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.missing.join(u',').toStdString());
        const QString name = QStringLiteral("Punto") + QString::number(++n);
        QStringList present = kAll;
        for (const QString &m : c.missing)
            present.removeAll(m);
        makeFolders(onD(name), present);
        boxes_.shown.clear();
        EXPECT_EQ(VerificaStrutturaCentrale(QStringLiteral("\\\\pc-uff1\\D\\") + name + u'\\'), c.result);
        EXPECT_EQ(boxes_.shown, c.messages);
        // A check that passes makes the work folder again.
        EXPECT_EQ(isDir(onD(name + QStringLiteral("/TEMP"))), c.result || !c.missing.contains(CartellaTemp));
    }
}

TEST_F(CollectionPoint, RecordingMakesTheFoldersAndStoresTheNetworkForm)
{
    QString cartella = QStringLiteral("D:\\Dogana\\Corbix");
    QDir().mkpath(onD(QStringLiteral("Dogana")));
    EXPECT_TRUE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(cartella, QStringLiteral("D:\\Dogana\\Corbix\\"));
    EXPECT_EQ(storedCentrale(), QStringLiteral("\\\\pc-uff1\\D\\Dogana\\Corbix\\"));
    EXPECT_EQ(entries(onD(QStringLiteral("Dogana/Corbix"))),
              (QStringList{CartellaInUscita, CartellaInviati, CartellaRisposte, CartellaStorico, CartellaTemp}));
    EXPECT_TRUE(boxes_.shown.empty());
    // The options of this archive now lead to a collection point that passes the check.
    ASSERT_TRUE(CaricaOpzioni());
    EXPECT_TRUE(VerificaStrutturaCentrale(common::OpzioniCorbix.Centrale));
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(CollectionPoint, RecordingANetworkFolderStoresItUnchanged)
{
    drives_.setShare(QStringLiteral("SRV1"), QStringLiteral("Dati"), onD(QString()));
    QString cartella = QStringLiteral("\\\\SRV1\\Dati\\Corbix");
    EXPECT_TRUE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(storedCentrale(), QStringLiteral("\\\\SRV1\\Dati\\Corbix\\"));
    EXPECT_EQ(entries(onD(QStringLiteral("Corbix"))).size(), 5);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(CollectionPoint, RecordingAcceptsFoldersThatExist)
{
    makeFolders(onD(QStringLiteral("Corbix")), {CartellaStorico});
    QString cartella = QStringLiteral("d:\\corbix\\");
    EXPECT_TRUE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(storedCentrale(), QStringLiteral("\\\\pc-uff1\\d\\corbix\\"));
    EXPECT_EQ(entries(onD(QStringLiteral("Corbix"))), kAll);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(CollectionPoint, ArchiveWithACollectionPointIsLeftAsItIs)
{
    execute(QStringLiteral("UPDATE Paramflu SET Centrale = ?"), {QStringLiteral("\\\\PC9\\C\\Corbix\\")});
    QString cartella = QStringLiteral("D:\\Corbix");
    EXPECT_TRUE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(cartella, QStringLiteral("D:\\Corbix"));
    EXPECT_EQ(storedCentrale(), QStringLiteral("\\\\PC9\\C\\Corbix\\"));
    EXPECT_TRUE(entries(onD(QString())).isEmpty());
    EXPECT_TRUE(boxes_.shown.empty());
}

// Nothing is stored unless every folder exists.
TEST_F(CollectionPoint, RecordingThatFailsStoresNothing)
{
    const struct {
        const char *cartella;
        Message message;
    } cases[] = {
        {"D:\\Manca\\Corbix\\",
         critical(QStringLiteral("Impossibile creare la cartella 'D:\\Manca\\Corbix\\' del punto di raccolta."))},
        {"E:\\Corbix\\",
         critical(QStringLiteral("Errore di Run-time 68:\r\nPeriferica non disponibile."))},
        {"Corbix\\",
         critical(QStringLiteral("Errore di Run-time 52:\r\nNome o numero di file non valido."))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.cartella);
        boxes_.shown.clear();
        QString cartella = QString::fromLatin1(c.cartella);
        EXPECT_FALSE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
        EXPECT_EQ(boxes_.shown, std::vector<Message>{c.message});
        EXPECT_EQ(storedCentrale(), QString());
    }
    // A sub-folder that cannot be made: a file holds its name.
    QDir().mkpath(onD(QStringLiteral("Corbix")));
    tmp_.write(QStringLiteral("d/Corbix/Storico"), "file");
    boxes_.shown.clear();
    QString cartella = QStringLiteral("D:\\Corbix\\");
    EXPECT_FALSE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(boxes_.shown, std::vector<Message>{critical(
                                QStringLiteral("Impossibile creare la cartella 'D:\\Corbix\\Storico' del punto di raccolta."))});
    EXPECT_EQ(storedCentrale(), QString());
    EXPECT_TRUE(entries(onC(QString())).contains(QStringLiteral("Archivio.mdb")));
}

TEST_F(CollectionPoint, RecordingWithoutOptionsRowFails)
{
    execute(QStringLiteral("DELETE FROM Paramflu"));
    QString cartella = QStringLiteral("D:\\Corbix\\");
    EXPECT_FALSE(ImpostaPuntoRaccolta(common::PercorsoArchivio, cartella));
    EXPECT_EQ(boxes_.shown, std::vector<Message>{critical(
                                QStringLiteral("Impossibile impostare il punto di raccolta selezionato. Contattare il "
                                               "produttore dell'applicazione."))});
    EXPECT_TRUE(entries(onD(QString())).isEmpty());
}
