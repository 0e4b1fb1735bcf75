#include "common/archivecheck.h"

#include "support/tempdir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(VerificaArchivio, AcceptsEveryPathWithoutTouchingIt)
{
    testsupport::TempDir dir;
    const QString missing = dir.file(QStringLiteral("Manca.mdb"));
    const QString text = dir.write(QStringLiteral("Testo.mdb"), "non un archivio\r\n");
    for (const QString &path : {QString(), missing, text, QStringLiteral("C:\\Dogana\\Archivio.mdb")}) {
        QString argument = path;
        EXPECT_TRUE(common::VerificaArchivio(argument)) << path.toStdString();
        EXPECT_EQ(argument, path);
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("non un archivio\r\n"));
}

}  // namespace
