#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/workstation.h"
#include "support/doubles/fixedworkstationsource.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::DriveTable;

namespace {

class DrivesTest : public ::testing::Test {
protected:
    DrivesTest() : source_(QStringLiteral("PC-UFFICIO-2"), QStringLiteral("mario")), scoped_(source_)
    {
        for (const char *folder : {"prog", "home/u/Dogana/Punto", "share/edi", "floppy", "data"})
            QDir().mkpath(tmp_.file(QString::fromLatin1(folder)));
        tmp_.write(QStringLiteral("home/u/Dogana/Corbix.ini"), "x");
    }

    QString at(const QString &name) const { return QFileInfo(tmp_.file(name)).canonicalFilePath(); }

    // The table of the program folder, its drive c: at the fake home.
    DriveTable table() const { return DriveTable(tmp_.file(QStringLiteral("prog")), tmp_.file(QStringLiteral("home/u"))); }

    int errorOf(const DriveTable &t, const QString &path) const
    {
        try {
            t.hostPath(path);
        } catch (const platform::RuntimeError &e) {
            return e.number();
        }
        return 0;
    }

    testsupport::TempDir tmp_;
    platform::FixedWorkstationSource source_;
    platform::ScopedWorkstationSource scoped_;
};

TEST_F(DrivesTest, MissingTableIsMadeWithDriveCAtHome)
{
    const DriveTable t = table();
    EXPECT_EQ(t.folder(), tmp_.file(QStringLiteral("prog/dosdevices")));
    const QStringList entries =
        QDir(t.folder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(entries, QStringList{QStringLiteral("c:")});
    EXPECT_EQ(QFileInfo(t.folder() + QStringLiteral("/c:")).symLinkTarget(), at(QStringLiteral("home/u")));
}

TEST_F(DrivesTest, ExistingTableIsLeftAsItIs)
{
    QDir().mkpath(tmp_.file(QStringLiteral("prog/dosdevices")));
    const DriveTable t = table();
    EXPECT_TRUE(QDir(t.folder()).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
    EXPECT_EQ(errorOf(t, QStringLiteral("C:\\Dogana")), platform::err::DeviceUnavailable);
}

TEST_F(DrivesTest, WindowsPathsReachTheirHostFolders)
{
    const DriveTable t = table();
    t.setDrive(u'D', tmp_.file(QStringLiteral("data")));
    t.setShare(QStringLiteral("SRVEDI"), QStringLiteral("EDI"), tmp_.file(QStringLiteral("share/edi")));
    const QString home = tmp_.file(QStringLiteral("home/u"));
    const struct {
        const char *path;
        QString host;
    } cases[] = {
        {"C:\\", home},
        {"C:", home},
        {"c:\\Dogana\\Punto\\", home + QStringLiteral("/Dogana/Punto")},
        {"C:\\DOGANA\\punto", home + QStringLiteral("/Dogana/Punto")},
        {"C:\\Dogana\\CORBIX.INI", home + QStringLiteral("/Dogana/Corbix.ini")},
        {"C:\\Dogana\\Nuovo\\File.txt", home + QStringLiteral("/Dogana/Nuovo/File.txt")},
        {"C:\\Dogana\\.\\Punto", home + QStringLiteral("/Dogana/Punto")},
        {"C:/Dogana/Punto", home + QStringLiteral("/Dogana/Punto")},
        {"D:\\x.txt", tmp_.file(QStringLiteral("data")) + QStringLiteral("/x.txt")},
        {"\\\\srvedi\\edi\\F.txt", tmp_.file(QStringLiteral("share/edi")) + QStringLiteral("/F.txt")},
        {"\\\\pc-ufficio-2\\C\\Dogana\\Punto\\", home + QStringLiteral("/Dogana/Punto")},
        {"/usr/share/../x", QStringLiteral("/usr/share/../x")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QDir::cleanPath(t.hostPath(QString::fromLatin1(c.path))), QDir::cleanPath(c.host)) << c.path;
}

TEST_F(DrivesTest, RefusedPathsRaiseTheirErrors)
{
    const DriveTable t = table();
    t.setDrive(u'a', tmp_.file(QStringLiteral("floppy")));
    QDir(tmp_.file(QStringLiteral("floppy"))).removeRecursively();  // medium taken out
    const struct {
        const char *path;
        int number;
    } cases[] = {
        {"E:\\Dogana", platform::err::DeviceUnavailable},
        {"A:\\PRATICHE.001", platform::err::DeviceUnavailable},
        {"\\\\PC-UFFICIO-2\\E\\x", platform::err::DeviceUnavailable},
        {"\\\\ALTRO\\C\\x", platform::err::PathNotFound},
        {"\\\\SRV", platform::err::BadFileNameOrNumber},
        {"C:\\Dogana\\..\\..\\etc", platform::err::BadFileNameOrNumber},
        {"C:\\..", platform::err::BadFileNameOrNumber},
        {"..\\x", platform::err::BadFileNameOrNumber},
        {"\\Dogana", platform::err::BadFileNameOrNumber},
        // A server or share name that would lead out of the shares' folder.
        {"\\\\.\\MIRSOLAN\\x", platform::err::BadFileNameOrNumber},
        {"\\\\..\\unc\\x", platform::err::BadFileNameOrNumber},
        {"\\\\MIRSOLAN\\.\\U001", platform::err::BadFileNameOrNumber},
        {"\\\\MIRSOLAN\\..\\x", platform::err::BadFileNameOrNumber},
        {"\\\\MIRSOLAN\\..", platform::err::BadFileNameOrNumber},
        {"\\\\MIRSOLAN\\U001/..\\x", platform::err::BadFileNameOrNumber},
    };
    t.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("U001"), tmp_.file(QStringLiteral("share/edi")));
    for (const auto &c : cases)
        EXPECT_EQ(errorOf(t, QString::fromLatin1(c.path)), c.number) << c.path;
}

// A share code mapped as a drive ("." or "..", or holding a separator) is
// refused as a name, never resolved, and the letter keeps its entry.
TEST_F(DrivesTest, AShareNameThatLeavesTheSharesIsNotMapped)
{
    const DriveTable t = table();
    t.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("U001"), tmp_.file(QStringLiteral("share/edi")));
    t.setDrive(u'z', tmp_.file(QStringLiteral("data")));
    const QStringList before = QDir(t.folder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    const struct {
        const char *server;
        const char *share;
    } cases[] = {{"MIRSOLAN", "."}, {"MIRSOLAN", ".."}, {".", "MIRSOLAN"}, {"..", "unc"},
                 {"MIRSOLAN", "U001/.."}, {"MIRSOLAN", "U001\\.."}};
    for (const auto &c : cases) {
        int number = 0;
        try {
            t.mapDrive(u'z', QString::fromLatin1(c.server), QString::fromLatin1(c.share));
        } catch (const platform::RuntimeError &e) {
            number = e.number();
        }
        EXPECT_EQ(number, platform::err::BadFileNameOrNumber) << c.server << " " << c.share;
        EXPECT_EQ(t.hostPath(QStringLiteral("Z:\\")), at(QStringLiteral("data")));
    }
    EXPECT_EQ(QDir(t.folder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
}

TEST_F(DrivesTest, HostPathsTakeTheirDriveFormThroughTheLongestTarget)
{
    const DriveTable t = table();
    t.setDrive(u'e', tmp_.file(QStringLiteral("home/u/Dogana")));
    t.setShare(QStringLiteral("SRVEDI"), QStringLiteral("EDI"), tmp_.file(QStringLiteral("share/edi")));
    const QString root = tmp_.path();
    const struct {
        QString host;
        const char *windows;
    } cases[] = {
        {root + QStringLiteral("/home/u"), "C:\\"},
        {root + QStringLiteral("/home/u/"), "C:\\"},
        {root + QStringLiteral("/home/u/Altro/nuovo.txt"), "C:\\Altro\\nuovo.txt"},
        {root + QStringLiteral("/home/u/Dogana"), "E:\\"},
        {root + QStringLiteral("/home/u/Dogana/Punto"), "E:\\Punto"},
        {root + QStringLiteral("/home/u/Dogana/../Dogana/Punto"), "E:\\Punto"},
        {root + QStringLiteral("/share/edi/F.txt"), "\\\\SRVEDI\\EDI\\F.txt"},
        {root + QStringLiteral("/home/uu"), ""},
        {root + QStringLiteral("/data"), ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(t.windowsPath(c.host), QString::fromLatin1(c.windows)) << c.host.toStdString();
}

TEST_F(DrivesTest, InstalledTableServesTheFreeFunction)
{
    DriveTable t = table();
    platform::ScopedDriveTable scoped(t);
    EXPECT_EQ(&platform::driveTable(), &t);
    EXPECT_EQ(QDir::cleanPath(platform::hostPath(QStringLiteral("C:\\Dogana"))),
              tmp_.file(QStringLiteral("home/u/Dogana")));
}

}  // namespace

namespace {

TEST_F(DrivesTest, DrivesListsTheLettersOfTheTable)
{
    const DriveTable t = table();
    t.setDrive(QChar(u'd'), tmp_.file(QStringLiteral("data")));
    t.setDrive(QChar(u'a'), tmp_.file(QStringLiteral("no-medium")));
    t.setShare(QStringLiteral("SRV"), QStringLiteral("edi"), tmp_.file(QStringLiteral("share/edi")));
    // Something that is not a drive entry is no drive.
    tmp_.write(QStringLiteral("prog/dosdevices/x:.coperto"), "");
    EXPECT_EQ(t.drives(), (QList<QChar>{u'A', u'C', u'D'}));
}

}  // namespace

TEST_F(DrivesTest, AMappedShareCoversItsLetterUntilUnmapped)
{
    const DriveTable t = table();
    t.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("U001"), tmp_.file(QStringLiteral("share/edi")));
    t.setDrive(u'z', tmp_.file(QStringLiteral("data")));

    t.mapDrive(u'Z', QStringLiteral("mirsolan"), QStringLiteral("u001"));
    EXPECT_EQ(t.hostPath(QStringLiteral("Z:\\corbix")), at(QStringLiteral("share/edi")) + QStringLiteral("/corbix"));
    // Mapped twice, the letter still keeps the entry it first covered.
    t.mapDrive(u'Z', QStringLiteral("MIRSOLAN"), QStringLiteral("U001"));
    t.unmapDrive(u'Z');
    EXPECT_EQ(t.hostPath(QStringLiteral("Z:\\")), at(QStringLiteral("data")));
    t.unmapDrive(u'Z');
    EXPECT_EQ(t.hostPath(QStringLiteral("Z:\\")), at(QStringLiteral("data")));
    EXPECT_EQ(QDir(t.folder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("c:"), QStringLiteral("unc"), QStringLiteral("z:")}));
}

TEST_F(DrivesTest, ALetterWithoutEntryIsNotReadyAgainOnceUnmapped)
{
    const DriveTable t = table();
    t.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("U001"), tmp_.file(QStringLiteral("share/edi")));
    t.mapDrive(u'z', QStringLiteral("MIRSOLAN"), QStringLiteral("U001"));
    EXPECT_EQ(errorOf(t, QStringLiteral("Z:\\")), 0);
    t.unmapDrive(u'z');
    EXPECT_EQ(errorOf(t, QStringLiteral("Z:\\")), platform::err::DeviceUnavailable);

    try {
        t.mapDrive(u'z', QStringLiteral("MIRSOLAN"), QStringLiteral("U002"));
        FAIL() << "a share without entry was mapped";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::PathNotFound);
    }
    EXPECT_EQ(errorOf(t, QStringLiteral("Z:\\")), platform::err::DeviceUnavailable);
}
