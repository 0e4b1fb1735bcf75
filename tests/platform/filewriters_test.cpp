#include "platform/errors.h"
#include "platform/filewriters.h"
#include "support/smalldisk.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The number a step raises; 0 when it raises nothing.
int raised(const std::function<void()> &step)
{
    try {
        step();
        return 0;
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
}

// Each writer of a file: whole in one go, or in pieces (what a writer in
// pieces leaves on failure is its caller's to remove, as the callers do).
const struct Writer {
    const char *name;
    std::function<void(const QString &, const QByteArray &)> write;
} Writers[] = {
    {"in one go", [](const QString &path, const QByteArray &bytes) { platform::replaceFile(path, bytes); }},
    {"in pieces",
     [](const QString &path, const QByteArray &bytes) {
         platform::CheckedFile file(path);
         try {
             if (!file.open(QIODevice::Truncate))
                 file.raiseError();
             for (qsizetype at = 0; at < bytes.size(); at += 700)
                 file.writeAll(bytes.mid(at, 700));
             file.finish();
         } catch (const platform::RuntimeError &) {
             file.close();
             QFile::remove(path);
             throw;
         }
     }},
};

}  // namespace

// A write refused by the file system, a full disk and a missing folder each
// raise their own number; in one go, a file already under the name stays as
// it was and no temporary is left.
TEST(FileWriters, EachFailureRaisesItsNumberAndAFileUnderTheNameStaysAsItWas)
{
    SMALL_DISK(disk, 256 * 1024);
    const QByteArray old(5000, 'o');
    const QByteArray bytes(20000, 'n');
    for (const Writer &writer : Writers) {
        SCOPED_TRACE(writer.name);
        const QString target = disk.file(QStringLiteral("file"));
        ASSERT_EQ(raised([&] { platform::replaceFile(target, old); }), 0);
        const bool whole = std::string(writer.name) == "in one go";

        disk.setReadOnly(true);
        EXPECT_EQ(raised([&] { writer.write(target, bytes); }), platform::err::PermissionDenied);
        disk.setReadOnly(false);
        EXPECT_EQ(bytesOf(target), old);

        disk.fill(8192);
        EXPECT_EQ(raised([&] { writer.write(target, bytes); }), platform::err::DiskFullFile);
        disk.free();
        if (whole) {
            EXPECT_EQ(bytesOf(target), old);
            EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("file")});
        }

        EXPECT_EQ(raised([&] { writer.write(disk.file(QStringLiteral("manca/file")), bytes); }),
                  platform::err::PathNotFound);

        EXPECT_EQ(raised([&] { writer.write(target, bytes); }), 0);
        EXPECT_EQ(bytesOf(target), bytes);
        QFile::remove(target);
    }
}

// A write past the room left fails at the piece that meets the full disk, not
// later: the writer in pieces never holds bytes back.
TEST(FileWriters, InPiecesTheWriteThatMeetsAFullDiskRaisesAtOnce)
{
    SMALL_DISK(disk, 256 * 1024);
    disk.fill(8192);
    platform::CheckedFile file(disk.file(QStringLiteral("pezzi")));
    ASSERT_TRUE(file.open(QIODevice::NewOnly));
    int written = 0;
    const int number = raised([&] {
        for (;; ++written)
            file.writeAll(QByteArray(1000, 'x'));
    });
    EXPECT_EQ(number, platform::err::DiskFullFile);
    EXPECT_EQ(written, 8);
    EXPECT_EQ(file.write("x"), -1);
}

// A name that the user made a symbolic link keeps its link when it is to
// be followed: the file it points at is the one written.
TEST(FileWriters, InOneGoANameThatIsALinkToFollowWritesTheFileItPointsAt)
{
    testsupport::TempDir dir;
    const QString target = dir.write(QStringLiteral("vero"), "prima");
    const QString link = dir.file(QStringLiteral("collegamento"));
    ASSERT_TRUE(QFile::link(target, link));
    platform::replaceFile(link, "dopo", platform::FinalLink::Follow);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(target), QByteArray("dopo"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{QStringLiteral("collegamento"), QStringLiteral("vero")}));
}

// A link that another planted in a shared folder is never written through:
// under the temporary's name it is removed, under the final name the file
// takes the name in its place; the file it points at keeps its bytes.
TEST(FileWriters, ALinkPlantedUnderEitherNameIsReplacedNeverWrittenThrough)
{
    testsupport::TempDir outside;
    const QString victim = outside.write(QStringLiteral("altrove"), "intatto");
    const struct Case {
        const char *name;
        const char *linked;  // the name the link stands under, in the folder
        std::function<void(const QString &)> write;
    } cases[] = {
        {"in one go, the temporary", "file.corbix~", [](const QString &p) { platform::replaceFile(p, "nuovo"); }},
        {"in one go, the final name", "file", [](const QString &p) { platform::replaceFile(p, "nuovo"); }},
        {"in pieces, a leftover", "file",
         [](const QString &p) {
             platform::CheckedFile file(p);
             if (!file.open(QIODevice::Truncate))
                 file.raiseError();
             file.writeAll("nuovo");
             file.finish();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        ASSERT_TRUE(QFile::link(victim, dir.file(QLatin1String(c.linked))));
        ASSERT_EQ(raised([&] { c.write(dir.file(QStringLiteral("file"))); }), 0);
        EXPECT_EQ(bytesOf(victim), QByteArray("intatto"));
        EXPECT_FALSE(QFileInfo(dir.file(QStringLiteral("file"))).isSymLink());
        EXPECT_EQ(bytesOf(dir.file(QStringLiteral("file"))), QByteArray("nuovo"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("file")});
    }
}

// A file created only where nothing stands refuses a link there too; the
// identity it gives, before any byte, is the file's under the name.
TEST(FileWriters, ANewOnlyFileRefusesALinkAndTellsItsIdentityBeforeAnyByte)
{
    testsupport::TempDir dir;
    const QString victim = dir.write(QStringLiteral("altrove"), "intatto");
    const QString name = dir.file(QStringLiteral("nuovo"));
    ASSERT_TRUE(QFile::link(victim, name));
    platform::CheckedFile refused(name);
    EXPECT_FALSE(refused.open(QIODevice::NewOnly));
    EXPECT_EQ(refused.systemError(), EEXIST);
    EXPECT_EQ(bytesOf(victim), QByteArray("intatto"));

    QFile::remove(name);
    platform::CheckedFile made(name);
    ASSERT_TRUE(made.open(QIODevice::NewOnly));
    EXPECT_TRUE(platform::sameFile(name, made.identity()));
    EXPECT_EQ(made.identity().st_size, 0);
    EXPECT_FALSE(platform::sameFile(victim, made.identity()));

    struct stat told {};
    platform::replaceFile(name, "dopo", platform::FinalLink::Replace, [&](const struct stat &identity) {
        told = identity;
        // Told before the file has any name: a run stopped dead here
        // leaves nothing under the temporary's name.
        EXPECT_FALSE(QFileInfo::exists(platform::nomeTemporaneo(name)));
    });
    EXPECT_TRUE(platform::sameFile(name, told));
}
