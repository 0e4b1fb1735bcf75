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

// A file no settings file can be (too large, an archive path too long for
// one, a folder) is unreadable: nothing is read from it and it is left as it is.
TEST_F(SettingsTest, WhatCannotBeASettingsFileIsUnreadable)
{
    const QByteArray lungo(1025, 'x');
    const QByteArray giusto(1024, 'x');
    const struct {
        const char *name;
        QByteArray content;
        bool read;
    } cases[] = {
        {"third line of 1 024", "R1\r\nR2\r\n" + giusto + "\r\nNon usata\r\n0.9.27\r\n", true},
        {"third line of 1 025", "R1\r\nR2\r\n" + lungo + "\r\nNon usata\r\n0.9.27\r\n", false},
        {"earlier form of 1 025", lungo + "\r\n", false},
        {"64 KiB", "R1\r\nR2\r\nC:\\A.mdb\r\nNon usata\r\n0.9.27\r\n" + QByteArray(65536 - 37, ' '), true},
        {"64 KiB and one byte",
         "R1\r\nR2\r\nC:\\A.mdb\r\nNon usata\r\n0.9.27\r\n" + QByteArray(65536 - 36, ' '), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        resetGlobals();
        CartellaProgramma = tmp_.file(QStringLiteral("prog")) + u'/';
        RiservatoIni1 = QStringLiteral("Prima");
        PercorsoArchivio = QStringLiteral("D:\\Prima.mdb");
        writeIni(c.content);
        EXPECT_EQ(LeggiIni(), c.read);
        EXPECT_EQ(RiservatoIni1, QString::fromLatin1(c.read ? "R1" : "Prima"));
        if (!c.read) {
            EXPECT_EQ(PercorsoArchivio, QStringLiteral("D:\\Prima.mdb"));
        }
        EXPECT_EQ(bytes(ini()), c.content);
    }
    QFile::remove(ini());
    ASSERT_TRUE(QDir().mkpath(ini()));
    EXPECT_FALSE(LeggiIni());
    EXPECT_FALSE(ScriviIni());
    EXPECT_TRUE(QFileInfo(ini()).isDir());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("D:\\Prima.mdb"));
}

// The settings file is found in the program folder without regard to case,
// and the file found is the file rewritten: no second file is made.
TEST_F(SettingsTest, TheFileIsFoundWhateverItsLetterCaseAndRewrittenInPlace)
{
    const QString trovato = tmp_.write(QStringLiteral("prog/Corbix.ini"), "D:\\Vecchio\\Archivio.mdb\r\n");
    EXPECT_EQ(settingsPath(), trovato);
    ASSERT_TRUE(LeggiIni());
    EXPECT_EQ(PercorsoArchivio, QStringLiteral("D:\\Vecchio\\Archivio.mdb"));
    PercorsoArchivio = QStringLiteral("D:\\Nuovo.mdb");
    ASSERT_TRUE(ScriviIni());
    EXPECT_EQ(entries(tmp_.file(QStringLiteral("prog"))),
              (QStringList{QStringLiteral("Corbix.ini"), QStringLiteral("dosdevices")}));
    EXPECT_EQ(bytes(trovato), QByteArray("D:\\Vecchio\\Archivio.mdb\r\n\r\nD:\\Nuovo.mdb\r\nNon usata\r\n") + version());
}

TEST_F(SettingsTest, WriteIntoAMissingFolderIsAFailure)
{
    CartellaProgramma = tmp_.file(QStringLiteral("manca")) + u'/';
    EXPECT_FALSE(ScriviIni());
    EXPECT_FALSE(QFileInfo::exists(tmp_.file(QStringLiteral("manca"))));
}

}  // namespace
