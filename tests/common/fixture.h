#pragma once

#include "common/globals.h"
#include "platform/drives.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// A program folder with its own drive table, drive C: at a folder of the test,
// and the program-wide values as at start-up.
class CommonTest : public ::testing::Test {
protected:
    CommonTest()
        : created_(QDir().mkpath(tmp_.file(QStringLiteral("prog"))) && QDir().mkpath(tmp_.file(QStringLiteral("c")))),
          drives_(tmp_.file(QStringLiteral("prog")), tmp_.file(QStringLiteral("c"))),
          scoped_(drives_)
    {
        common::resetGlobals();
        common::CartellaProgramma = tmp_.file(QStringLiteral("prog")) + u'/';
    }
    ~CommonTest() override { common::resetGlobals(); }

    // A file on drive C:, by its host path.
    QString onC(const QString &name) const { return tmp_.file(QStringLiteral("c/") + name); }
    QByteArray bytes(const QString &hostPath) const
    {
        QFile f(hostPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList entries(const QString &hostFolder) const
    {
        return QDir(hostFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    testsupport::TempDir tmp_;
    bool created_;
    platform::DriveTable drives_;
    platform::ScopedDriveTable scoped_;
};
