#include "common/settings.h"

#include "common/globals.h"
#include "common/version.h"
#include "fixture.h"

#include <QRegularExpression>

using namespace common;

namespace {

class SettingsTest : public CommonTest {
protected:
    // Line 5 as this program writes it.
    static QByteArray version() { return testoVersione().toLatin1() + "\r\n"; }
    QString ini() const { return tmp_.file(QStringLiteral("prog/CORBIX.INI")); }
    void writeIni(const QByteArray &content) const { tmp_.write(QStringLiteral("prog/CORBIX.INI"), content); }
};

TEST_F(SettingsTest, ReadsFiveOrMoreLinesWithoutRewriting)
{
    const QByteArray cases[] = {
        "R1\r\nR2\r\n D:\\Dogana\\Archivio, copia.mdb \r\nNon usata\r\n0.9.27\r\n",
        "R1\r\nR2\r\n D:\\Dogana\\Archivio, copia.mdb \r\nNon usata\r\n0.9.27\r\nsesta riga\r\n",
        "R1\r\nR2\r\n D:\\Dogana\\Archivio, copia.mdb \r\nNon usata\r\n0.9.27",
    };
    for (const QByteArray &content : cases) {
        resetGlobals();
        CartellaProgramma = tmp_.file(QStringLiteral("prog")) + u'/';
        writeIni(content);
        ASSERT_TRUE(LeggiIni());
        EXPECT_EQ(PercorsoArchivio, QStringLiteral(" D:\\Dogana\\Archivio, copia.mdb "));
        EXPECT_EQ(RiservatoIni1, QStringLiteral("R1"));
        EXPECT_EQ(RiservatoIni2, QStringLiteral("R2"));
        EXPECT_EQ(bytes(ini()), content);
    }
}

TEST_F(SettingsTest, OneLineFileOfTheEarlierFormIsRewritten)
{
    writeIni("D:\\Vecchio\\Archivio.mdb\r\n");
    ASSERT_TRUE(LeggiIni());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("D:\\Vecchio\\Archivio.mdb"));
    EXPECT_EQ(bytes(ini()), QByteArray("D:\\Vecchio\\Archivio.mdb\r\n\r\nD:\\Vecchio\\Archivio.mdb\r\n"
                                       "Non usata\r\n") + version());
}

TEST_F(SettingsTest, ThreeLineFileTakesItsFirstLineAsTheArchive)
{
    writeIni("R1\r\nR2\r\nD:\\Terza.mdb\r\n");
    ASSERT_TRUE(LeggiIni());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("R1"));
    EXPECT_EQ(bytes(ini()), QByteArray("R1\r\nR2\r\nR1\r\nNon usata\r\n") + version());
}

TEST_F(SettingsTest, EmptyOrMissingFileIsAFailure)
{
    PercorsoArchivio = QStringLiteral("D:\\Prima.mdb");
    EXPECT_FALSE(LeggiIni());
    writeIni("");
    EXPECT_FALSE(LeggiIni());
    EXPECT_EQ(bytes(ini()), QByteArray());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("D:\\Prima.mdb"));
    EXPECT_EQ(settingsUnreadableText(settingsPath()),
              QStringLiteral("Impossibile leggere il file di impostazioni '") + ini() + QStringLiteral("'."));
}

TEST_F(SettingsTest, WritesFiveLinesInTheAnsiCodePage)
{
    RiservatoIni1 = QStringLiteral("R1");
    PercorsoArchivio = QStringLiteral("\\\\PC1\\D\\Città\\Archivio.mdb");
    ASSERT_TRUE(ScriviIni());
    EXPECT_EQ(bytes(ini()), QByteArray("R1\r\n\r\n\\\\PC1\\D\\Citt\xE0\\Archivio.mdb\r\nNon usata\r\n") + version());
    // Written whole through a temporary file that is gone afterwards.
    EXPECT_EQ(entries(tmp_.file(QStringLiteral("prog"))),
              (QStringList{QStringLiteral("CORBIX.INI"), QStringLiteral("dosdevices")}));

    // Major, minor and revision in plain digits.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^(0|[1-9][0-9]*)(\\.(0|[1-9][0-9]*)){2}$"))
                    .match(testoVersione())
                    .hasMatch());

    PercorsoArchivio.clear();
    ASSERT_TRUE(LeggiIni());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("\\\\PC1\\D\\Città\\Archivio.mdb"));
}

TEST_F(SettingsTest, WriteIntoAMissingFolderIsAFailure)
{
    CartellaProgramma = tmp_.file(QStringLiteral("manca")) + u'/';
    EXPECT_FALSE(ScriviIni());
    EXPECT_FALSE(QFileInfo::exists(tmp_.file(QStringLiteral("manca"))));
}

}  // namespace
