#include "fixture.h"

#include "ui/transmission/setup.h"

using platform::MsgIcon;
using namespace uitransmission;

namespace {

struct ShownCase {
    const char *stored;
    const char *shown;
};

TEST_F(SetupTest, CollectionPointIsShownInItsLocalFormWhenOnThisComputer)
{
    const ShownCase cases[] = {
        {"\\\\PC-UFFICIO\\C\\Dogana\\Punto\\", "C:\\Dogana\\Punto"},
        {"\\\\pc-ufficio\\D\\Punto\\", "D:\\Punto"},
        {"\\\\PC-UFFICIO\\C\\", "C:\\"},
        // Cut at its "-", the name is another computer's.
        {"\\\\PC\\C\\Dogana\\Punto\\", "\\\\PC\\C\\Dogana\\Punto"},
        {"\\\\SRV\\Dati\\Punto\\", "\\\\SRV\\Dati\\Punto"},
        {"C:\\Punto\\", "C:\\Punto"},
        {"", ""},
    };
    for (const ShownCase &c : cases)
        EXPECT_EQ(CentraleMostrata(c.stored), c.shown) << c.stored;
}

TEST_F(SetupTest, CollectionPointIsRecordedInNetworkForm)
{
    const ShownCase cases[] = {
        {"C:\\Dogana\\Punto", "\\\\PC-UFFICIO\\C\\Dogana\\Punto\\"},
        {"c:\\Punto\\", "\\\\PC-UFFICIO\\c\\Punto\\"},
        {"C:\\", "\\\\PC-UFFICIO\\C\\"},
        {"\\\\SRV\\Dati\\Punto", "\\\\SRV\\Dati\\Punto\\"},
        {"\\\\SRV\\Dati\\Punto\\", "\\\\SRV\\Dati\\Punto\\"},
    };
    for (const ShownCase &c : cases)
        EXPECT_EQ(CentraleDaTesto(c.stored).value_or("<refused>"), c.shown) << c.stored;
    for (const char *odd : {"", "   ", "Punto", "C:Punto", "/Punto", "C:\\Dogana\\..", "C:\\Dogana\\..\\Punto",
                            "C:\\.\\Punto", "\\\\SRV\\..\\Punto", "\\\\SRV\\Dati\\Punto/..\\"})
        EXPECT_FALSE(CentraleDaTesto(odd)) << odd;
}

TEST_F(SetupTest, TypedHostPathsTakeTheirDriveForm)
{
    EXPECT_EQ(PercorsoDigitato(onC("Dogana")).value_or("<refused>"), "C:\\Dogana");
    EXPECT_EQ(PercorsoDigitato("C:\\Dogana").value_or("<refused>"), "C:\\Dogana");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(PercorsoDigitato("/nessuna/unita"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], box("Il percorso '/nessuna/unita' non è valido. Indicare un percorso corretto.",
                                  MsgIcon::Exclamation));
}

struct PointCase {
    const char *name;
    const char *point;
    const char *message;  // null: accepted
    MsgIcon icon;
};

void PrintTo(const PointCase &c, std::ostream *os) { *os << c.name; }

class NewPoint : public SetupTest, public ::testing::WithParamInterface<PointCase> {};

const char *inUse = "Il nome scelto per il punto di raccolta non è valido poiché già esistente nel percorso scelto. "
                    "Scegliere un nuovo nome o cambiare il percorso.";

TEST_P(NewPoint, IsCheckedBeforeAnythingIsMade)
{
    QDir().mkpath(onC("Dogana/Esiste"));
    tmp_.write("c/Dogana/File.txt", "x");
    const PointCase &c = GetParam();
    EXPECT_EQ(NuovoPuntoRaccoltaValido(c.point), c.message == nullptr);
    if (c.message) {
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0], box(c.message, c.icon));
    } else {
        EXPECT_TRUE(boxes.shown.empty());
    }
    EXPECT_EQ(entries(onC("Dogana")), (QStringList{"Esiste", "File.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewPoint,
    ::testing::Values(
        PointCase{"New", "C:\\Dogana\\Punto", nullptr, MsgIcon::None},
        PointCase{"NewAtRoot", "C:\\Punto", nullptr, MsgIcon::None},
        PointCase{"FolderPartMissing", "C:\\Nuova\\Punto",
                  "Il percorso 'C:\\Nuova\\' non è valido. Indicare un percorso corretto.", MsgIcon::Exclamation},
        PointCase{"DriveNotReady", "D:\\Nuova\\Punto",
                  "Il percorso 'D:\\Nuova\\' non è valido. Indicare un percorso corretto.", MsgIcon::Exclamation},
        PointCase{"NoFolderPart", "Punto", "Il percorso '' non è valido. Indicare un percorso corretto.",
                  MsgIcon::Exclamation},
        PointCase{"ExistingFolder", "C:\\Dogana\\esiste", inUse, MsgIcon::Information},
        PointCase{"ExistingFile", "C:\\Dogana\\File.txt", inUse, MsgIcon::Information},
        PointCase{"GoingUp", "C:\\Dogana\\Esiste\\..",
                  "Il percorso 'C:\\Dogana\\Esiste\\..' non è valido. Indicare un percorso corretto.",
                  MsgIcon::Exclamation},
        PointCase{"GoingUpInTheFolder", "C:\\Dogana\\..\\Punto",
                  "Il percorso 'C:\\Dogana\\..\\Punto' non è valido. Indicare un percorso corretto.",
                  MsgIcon::Exclamation},
        PointCase{"Here", "C:\\Dogana\\.",
                  "Il percorso 'C:\\Dogana\\.' non è valido. Indicare un percorso corretto.", MsgIcon::Exclamation}),
    [](const auto &caso) { return std::string(caso.param.name); });

TEST_F(SetupTest, AnArchiveThatDoesNotOpenIsTold)
{
    tmp_.write("c/Testo.mdb", "non un archivio");
    EXPECT_TRUE(ArchivioApribile("C:\\Archivio.mdb"));
    EXPECT_FALSE(ArchivioApribile("C:\\Testo.mdb"));
    EXPECT_FALSE(ArchivioApribile("C:\\Manca.mdb"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], box("Impossibile aprire l'archivio 'C:\\Testo.mdb'.\r\n"
                                      + platform::errorDescription(3343, {"C:\\Testo.mdb"}),
                                  MsgIcon::Exclamation));
    EXPECT_EQ(boxes.shown[1], box("Impossibile aprire l'archivio 'C:\\Manca.mdb'.\r\n"
                                      + platform::errorDescription(3024, {"C:\\Manca.mdb"}),
                                  MsgIcon::Exclamation));
    EXPECT_FALSE(QFileInfo::exists(onC("Manca.mdb")));
}

}  // namespace
