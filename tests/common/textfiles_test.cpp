#include "common/textfiles.h"

#include "platform/errors.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

int errorOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

}  // namespace

// An exclusive name is never taken over a file there: 58, both kept. With
// replace the file there is replaced. A run stopped between the link and the
// removal of its temporary left both names of one file: the name is then
// finished, not refused.
TEST(FinalNames, TakenExclusivelyOrReplacingAndFinishedAfterAStop)
{
    testsupport::TempDir tmp;
    const QString name = tmp.write(QStringLiteral("flusso"), "altro");
    ASSERT_FALSE(common::writeTemporary(name, "mio", false));
    ASSERT_TRUE(common::writeTemporary(name, "mio", true));
    EXPECT_EQ(errorOf([&] { common::takeFinalName(name, false); }), platform::err::FileAlreadyExists);
    EXPECT_EQ(bytesOf(name), QByteArray("altro"));
    EXPECT_EQ(bytesOf(name + QStringLiteral(".corbix~")), QByteArray("mio"));
    EXPECT_EQ(errorOf([&] { common::takeFinalName(name, true); }), 0);
    EXPECT_EQ(bytesOf(name), QByteArray("mio"));

    const QString other = tmp.file(QStringLiteral("secondo"));
    ASSERT_TRUE(common::writeTemporary(other, "tutto", false));
    ASSERT_EQ(::link(QFile::encodeName(common::nomeTemporaneo(other)).constData(), QFile::encodeName(other).constData()),
              0);
    EXPECT_EQ(errorOf([&] { common::takeFinalName(other, false); }), 0);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("flusso"), QStringLiteral("secondo")}));
    EXPECT_EQ(bytesOf(other), QByteArray("tutto"));
}
