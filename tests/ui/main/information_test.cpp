#include "common/fixture.h"
#include "platform/messagebox.h"
#include "platform/process.h"
#include "support/asuser.h"
#include "support/doubles/recordingmessagebox.h"
#include "support/doubles/recordingprocesslauncher.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <optional>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using testsupport::clickAsUser;
using uimain::FrmInformazioni;
using uimain::RadiceRegistro;

namespace {

const Message NonDisponibili{"Le informazioni sul sistema non sono disponibili in questa fase", "CORBIX",
                             MsgIcon::None, MsgButtons::OK, 1};

// Sets an environment variable for one test and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QString> &value)
        : name_(name), previous_(qEnvironmentVariableIsSet(name) ? std::optional(qEnvironmentVariable(name))
                                                                : std::nullopt)
    {
        set(value);
    }
    ~ScopedEnv() { set(previous_); }

private:
    void set(const std::optional<QString> &value)
    {
        if (value)
            qputenv(name_, value->toUtf8());
        else
            qunsetenv(name_);
    }
    const char *name_;
    std::optional<QString> previous_;
};

class InformationTest : public CommonTest {
protected:
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxGuard{boxes};
    platform::RecordingProcessLauncher launcher;
    platform::ScopedProcessLauncher launcherGuard{launcher};
};

TEST_F(InformationTest, BoxShowsTitleVersionAndDescription)
{
    common::DescrizioneApplicazione =
        QStringLiteral("Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.");
    FrmInformazioni w;
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.windowTitle(), "INFORMAZIONI SU");
    EXPECT_EQ(w.findChild<QLabel *>("LblProdotto")->text(), "CORBIX");
    EXPECT_EQ(w.findChild<QLabel *>("LblVersione")->text(), "Versione 1.0.0");
    EXPECT_EQ(w.findChild<QLabel *>("LblDescrizione")->text(),
              "Composizione e Invio Corbix Doganali, Ricezione e decodifica risposte E.D.I.");
    ASSERT_NE(w.findChild<QLabel *>("picIcon"), nullptr);
    const auto *tabs = w.findChild<QTabWidget *>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), "Informazioni su");
    EXPECT_EQ(tabs->tabText(1), "Supporto");
    EXPECT_EQ(w.findChild<QPushButton *>("CmdSysInfo")->text(), "Sistema");
    EXPECT_EQ(w.findChild<QPushButton *>("CmdOK")->text(), "OK");

    clickAsUser(w.CmdOK);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(InformationVersion, PlainDecimalDigits)
{
    EXPECT_EQ(uimain::TestoLblVersione(2003, 1, 34), "Versione 2003.1.34");
    EXPECT_EQ(uimain::TestoLblVersione(1, 0, 0), "Versione 1.0.0");
}

TEST_F(InformationTest, RegistryValuesComeFromTheirEnvironmentVariables)
{
    const ScopedEnv path("CORBIX_MSINFO_PATH", QStringLiteral("/usr/bin/strumento"));
    const ScopedEnv folder("CORBIX_MSINFO_CARTELLA", std::nullopt);
    QString text = QStringLiteral("prima");
    EXPECT_TRUE(uimain::GetKeyValue(RadiceRegistro::HKEY_LOCAL_MACHINE,
                                    "software\\microsoft\\shared tools\\msinfo", "Path", text));
    EXPECT_EQ(text, "/usr/bin/strumento");

    text = QStringLiteral("prima");
    EXPECT_FALSE(uimain::GetKeyValue(RadiceRegistro::HKEY_LOCAL_MACHINE,
                                     "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", text));
    EXPECT_EQ(text, "");

    text = QStringLiteral("prima");
    EXPECT_FALSE(uimain::GetKeyValue(RadiceRegistro::HKEY_LOCAL_MACHINE, "SOFTWARE\\Altro", "PATH", text));
    EXPECT_EQ(text, "");
}

// Where the tool is found and what "Sistema" then does.
struct SysInfoCase {
    const char *name;
    std::optional<QString> path;     // the tool's own entry
    std::optional<QString> folder;   // the folder of the shared tools
    bool toolInFolder;               // an msinfo32.exe in C:\Strumenti
    bool starts;                     // whether the program starts
    QString started;                 // the program started, host form relative to drive C:, "" for none
};

class SysInfo : public InformationTest, public ::testing::WithParamInterface<SysInfoCase> {};

TEST_P(SysInfo, StartsTheToolOrTellsItIsNotAvailable)
{
    const SysInfoCase &c = GetParam();
    QDir().mkpath(onC("Strumenti"));
    if (c.toolInFolder) {
        QFile tool(onC("Strumenti/msinfo32.exe"));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    }
    const ScopedEnv path("CORBIX_MSINFO_PATH", c.path);
    const ScopedEnv folder("CORBIX_MSINFO_CARTELLA", c.folder);
    launcher.result = c.starts;

    FrmInformazioni w;
    w.Form_Load();
    w.show();
    clickAsUser(w.CmdSysInfo);

    std::vector<platform::RecordingProcessLauncher::Start> expected;
    if (!c.started.isEmpty())
        expected.push_back({onC(c.started), {}});
    if (c.starts && !c.started.isEmpty())
        EXPECT_TRUE(boxes.shown.empty());
    else
        EXPECT_EQ(boxes.shown, std::vector<Message>{NonDisponibili});
    EXPECT_TRUE(launcher.started == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SysInfo,
    ::testing::Values(
        SysInfoCase{"ToolEntryNamesTheProgram", QStringLiteral("C:\\Strumenti\\Info.exe"),
                    QStringLiteral("C:\\Strumenti"), false, true, QStringLiteral("Strumenti/Info.exe")},
        SysInfoCase{"ToolEntryThatDoesNotStart", QStringLiteral("C:\\Strumenti\\Info.exe"), std::nullopt, false,
                    false, QStringLiteral("Strumenti/Info.exe")},
        SysInfoCase{"FolderWithTheTool", std::nullopt, QStringLiteral("C:\\strumenti"), true, true,
                    QStringLiteral("Strumenti/msinfo32.exe")},
        SysInfoCase{"FolderWithoutTheTool", std::nullopt, QStringLiteral("C:\\Strumenti"), false, true, QString()},
        SysInfoCase{"FolderOnADriveNotReady", std::nullopt, QStringLiteral("Q:\\Strumenti"), false, true, QString()},
        SysInfoCase{"NoEntries", std::nullopt, std::nullopt, false, true, QString()}),
    [](const ::testing::TestParamInfo<SysInfoCase> &caso) { return std::string(caso.param.name); });

TEST_F(InformationTest, FolderInHostFormFindsTheTool)
{
    QDir().mkpath(onC("Strumenti"));
    QFile tool(onC("Strumenti/MSINFO32.EXE"));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    const ScopedEnv path("CORBIX_MSINFO_PATH", std::nullopt);
    const ScopedEnv folder("CORBIX_MSINFO_CARTELLA", onC("Strumenti"));
    uimain::StartSysInfo();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, onC("Strumenti/MSINFO32.EXE"));
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace

TEST(InformationIcon, IsTheIconTheProgramGivesItsWindows)
{
    const uimain::frmMain main;
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(main.windowIcon().pixmap(32, 32).toImage(), QApplication::windowIcon().pixmap(32, 32).toImage());
    FrmInformazioni w;
    w.Form_Load();
    w.show();
    ASSERT_FALSE(w.picIcon->pixmap().isNull());
    EXPECT_EQ(w.picIcon->pixmap().toImage(), QApplication::windowIcon().pixmap(32, 32).toImage());
}
