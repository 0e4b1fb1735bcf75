#pragma once

#include "common/archiveschema.h"
#include "common/fixture.h"
#include "platform/dao/recordset.h"
#include "platform/messagebox.h"
#include "platform/workstation.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/doubles/recordingmessagebox.h"

#include <QDir>
#include <QFileInfo>

// A program folder with its own drive table (C: and D: at folders of the
// test), the archive C:\Archivio.mdb as the schema makes it, this computer
// named "pc-uff1" (a host name holding "-") and every message recorded.
class FlowEngineTest : public CommonTest {
protected:
    FlowEngineTest()
    {
        QDir().mkpath(tmp_.file(QStringLiteral("d")));
        drives_.setDrive(u'd', tmp_.file(QStringLiteral("d")));
        common::createArchive(archiveHost()).close();
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
    }

    QString archiveHost() const { return onC(QStringLiteral("Archivio.mdb")); }
    // A folder on drive D:, by its host path.
    QString onD(const QString &name) const { return tmp_.file(QStringLiteral("d/") + name); }

    void execute(const QString &sql, const QVariantList &params = {})
    {
        dao::Database::open(archiveHost()).execute(sql, params, dao::FailOnError);
    }
    // The options row as stored, one value per column; empty when there is no row.
    QVariantList storedRow()
    {
        dao::Database db = dao::Database::open(archiveHost());
        auto rs = db.openRecordset(
            QStringLiteral("SELECT FloppyDevice, SendWith, PreventCheck, Centrale, WhereWrite, UserDir FROM Paramflu"),
            {}, dao::RecordsetType::Snapshot);
        QVariantList row;
        if (!rs->eof())
            for (int i = 0; i < 6; ++i)
                row << rs->value(i);
        return row;
    }
    QVariant storedCentrale()
    {
        const QVariantList row = storedRow();
        return row.isEmpty() ? QVariant(QStringLiteral("<no row>")) : row[3];
    }
    bool isDir(const QString &hostPath) const { return QFileInfo(hostPath).isDir(); }
    void makeFolders(const QString &hostFolder, const QStringList &names) const
    {
        for (const QString &name : names)
            QDir().mkpath(hostFolder + u'/' + name);
    }

    platform::FixedWorkstationSource workstation_{QStringLiteral("pc-uff1"), QStringLiteral("rossi")};
    platform::ScopedWorkstationSource workstationGuard_{workstation_};
    platform::RecordingMessageBoxService boxes_;
    platform::ScopedMessageBoxService boxesGuard_{boxes_};
};
