#include "platform/errors.h"
#include "platform/filewriters.h"
#include "support/smalldisk.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A name that is a symbolic link keeps its link: the file it points at is
// the one written.
TEST(FileWriters, InOneGoANameThatIsALinkWritesTheFileItPointsAt)
{
    testsupport::TempDir dir;
    const QString target = dir.write(QStringLiteral("vero"), "prima");
    const QString link = dir.file(QStringLiteral("collegamento"));
    ASSERT_TRUE(QFile::link(target, link));
    platform::replaceFile(link, "dopo");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(bytesOf(target), QByteArray("dopo"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{QStringLiteral("collegamento"), QStringLiteral("vero")}));
}
