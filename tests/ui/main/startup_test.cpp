#include "fixture.h"

#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using uimain::Finestra;
using uimain::frmMain;

namespace {

Message critical(const QString &text) { return Message{text, "Corbix doganali", MsgIcon::Critical, MsgButtons::OK, 1}; }

TEST_F(MainWindowTest, ProgramFolderIsTheCurrentFolder)
{
    common::CartellaProgramma.clear();
    frmMain w;
    w.Form_Load();
    EXPECT_EQ(common::CartellaProgramma, tmp_.file("prog") + "/");
    EXPECT_EQ(common::InsiemeMessaggi, "");
}

TEST_F(MainWindowTest, CancelledFirstRunEndsWithoutAMessage)
{
    factory_.actions[Finestra::frmFirstExecution] = [] { common::EsitoPrimaEsecuzione = 0; };
    frmMain w;
    EXPECT_FALSE(w.Form_Load());
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].finestra, Finestra::frmFirstExecution);
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, FirstRunClosedFromItsFrameCountsAsCancelled)
{
    frmMain w;
    EXPECT_FALSE(w.Form_Load());
    EXPECT_EQ(factory_.calls.size(), 1u);
    EXPECT_TRUE(shown().empty());
}

TEST_F(MainWindowTest, SettingsFileInAnotherFolderIsNotLookedFor)
{
    // The settings file of the executable's folder, or of any other, is not
    // the program's: only the current folder counts.
    QDir().mkpath(tmp_.file("other"));
    tmp_.write("other/CORBIX.INI", "a\r\nb\r\nC:\\Dogana\\Archivio.mdb\r\nNon usata\r\n1.0\r\n");
    frmMain w;
    EXPECT_FALSE(w.Form_Load());
    ASSERT_EQ(factory_.calls.size(), 1u);
    EXPECT_EQ(factory_.calls[0].finestra, Finestra::frmFirstExecution);
}

TEST_F(MainWindowTest, EmptySettingsFileEndsStartUp)
{
    tmp_.write("prog/CORBIX.INI", "");
    frmMain w;
    EXPECT_FALSE(w.Form_Load());
    EXPECT_TRUE(factory_.calls.empty());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], critical("Impossibile leggere il file di impostazioni '" + tmp_.file("prog")
                                   + "/CORBIX.INI'."));
}

struct ArchiveCase {
    const char *name;
    const char *archive;     // the path in the settings file
    const char *contents;    // written at C:\Dogana\Archivio.mdb unless null
    int error;
    const char *hostArg;     // the argument of the error text, relative to the test folder
};

void PrintTo(const ArchiveCase &c, std::ostream *os) { *os << c.name; }

class ArchiveNotOpened : public MainWindowTest, public ::testing::WithParamInterface<ArchiveCase> {};

TEST_P(ArchiveNotOpened, EndsStartUpWithTheReason)
{
    const ArchiveCase &c = GetParam();
    if (c.contents)
        tmp_.write("c/Dogana/Archivio.mdb", c.contents);
    writeSettings(c.archive);
    frmMain w;
    EXPECT_FALSE(w.Form_Load());
    ASSERT_EQ(shown().size(), 1u);
    const QStringList args = c.hostArg ? QStringList{tmp_.file(c.hostArg)} : QStringList{};
    EXPECT_EQ(shown()[0], critical(QString("Impossibile aprire l'archivio '") + c.archive + "'.\r\n"
                                   + platform::errorDescription(c.error, args)));
    // Opening never makes the archive.
    if (!c.contents) {
        EXPECT_FALSE(QFileInfo::exists(archiveHost()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveNotOpened,
    ::testing::Values(ArchiveCase{"Missing", "C:\\Dogana\\Archivio.mdb", nullptr, 3024, "c/Dogana/Archivio.mdb"},
                      ArchiveCase{"Empty", "C:\\Dogana\\Archivio.mdb", "", 3343, "c/Dogana/Archivio.mdb"},
                      ArchiveCase{"NotADatabase", "C:\\Dogana\\Archivio.mdb", "Archivio di testo\r\n", 3343,
                                  "c/Dogana/Archivio.mdb"},
                      ArchiveCase{"DriveNotReady", "Q:\\Dogana\\Archivio.mdb", nullptr, 68, nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
