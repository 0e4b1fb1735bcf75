#include "support/smalldisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace testsupport {

namespace {
constexpr auto FillerName = ".riempitivo";
// Set in the run made inside a namespace of its own.
constexpr auto InOwnNamespace = "CORBIX_TEST_SPAZIO_PROPRIO";
const QStringList Unshare{QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount")};
}  // namespace

bool rerunInOwnNamespace()
{
    if (::geteuid() == 0 || qEnvironmentVariableIsSet(InOwnNamespace))
        return false;
    // Whether a namespace can be made here at all.
    if (QProcess::execute(QStringLiteral("unshare"), Unshare + QStringList{QStringLiteral("true")}) != 0)
        return false;
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(InOwnNamespace), QStringLiteral("1"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QStringLiteral("unshare"),
              Unshare + QStringList{QCoreApplication::applicationFilePath(),
                                    QStringLiteral("--gtest_filter=%1.%2")
                                        .arg(QString::fromUtf8(test->test_suite_name()),
                                             QString::fromUtf8(test->name()))});
    const bool ended = run.waitForFinished(-1);
    const QByteArray output = run.readAll();
    std::printf("In a user and mount namespace of its own:\n%s", output.constData());
    EXPECT_TRUE(ended && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0)
        << "the run in its own namespace failed";
    return true;
}

SmallDisk::SmallDisk(qint64 bytes, const QString &at)
    : root_(at.isEmpty() ? dir_.file(QStringLiteral("disco")) : at), bytes_(bytes)
{
    QDir().mkpath(root_);
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("corbix-test", QFile::encodeName(root_).constData(), "tmpfs", 0, options.constData()) == 0)
        mounted_ = true;
    else
        reason_ = QStringLiteral("a small file system cannot be mounted here (%1): the full-disk case is not run")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(root_).constData(), MNT_DETACH);
}

void SmallDisk::fill(qint64 leftBytes)
{
    const QByteArray path = QFile::encodeName(file(QLatin1String(FillerName)));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    for (;;) {
        struct statvfs info {};
        if (::fstatvfs(fd, &info) != 0)
            break;
        const qint64 free = qint64(info.f_bavail) * qint64(info.f_frsize);
        if (free <= leftBytes)
            break;
        const qint64 chunk = std::min<qint64>(block.size(), free - leftBytes);
        if (::write(fd, block.constData(), size_t(chunk)) <= 0)
            break;
    }
    ::close(fd);
}

void SmallDisk::free() { QFile::remove(file(QLatin1String(FillerName))); }

void SmallDisk::setReadOnly(bool readOnly)
{
    const QByteArray options = "size=" + QByteArray::number(bytes_) + ",mode=0755";
    ::mount("corbix-test", QFile::encodeName(root_).constData(), "tmpfs",
            MS_REMOUNT | (readOnly ? MS_RDONLY : 0), options.constData());
}

}  // namespace testsupport
