#include "platform/process.h"
#include "support/doubles/recordingprocesslauncher.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

using platform::RecordingProcessLauncher;

TEST(Process, TheGuardInstallsTheDoubleAndPutsTheRealOneBack)
{
    platform::ProcessLauncher *real = &platform::processLauncher();
    EXPECT_NE(dynamic_cast<platform::QtProcessLauncher *>(real), nullptr);
    {
        RecordingProcessLauncher recorder;
        platform::ScopedProcessLauncher guard(recorder);
        EXPECT_EQ(&platform::processLauncher(), &recorder);
        EXPECT_TRUE(platform::processLauncher().startDetached("msinfo32", {"/report", "a b"}));
        recorder.result = false;
        EXPECT_FALSE(platform::processLauncher().startDetached("net"));
        const std::vector<RecordingProcessLauncher::Start> expected = {
            {"msinfo32", {"/report", "a b"}},
            {"net", {}},
        };
        EXPECT_EQ(recorder.started, expected);
    }
    EXPECT_EQ(&platform::processLauncher(), real);
}

TEST(Process, TheRealLauncherStartsAProgramAndReportsOneThatIsMissing)
{
    testsupport::TempDir dir;
    platform::QtProcessLauncher launcher;
    EXPECT_TRUE(launcher.startDetached("/bin/true"));
    EXPECT_FALSE(launcher.startDetached(dir.file("nessuno")));
    const QString notExecutable = dir.write("testo.txt", "dati");
    EXPECT_FALSE(launcher.startDetached(notExecutable));
    EXPECT_TRUE(QFile::exists(notExecutable));
}
