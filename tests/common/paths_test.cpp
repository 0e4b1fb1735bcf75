#include "common/paths.h"

#include "common/textfiles.h"
#include "fixture.h"
#include "platform/dao/database.h"
#include "platform/dao/values.h"
#include "platform/errors.h"
#include "platform/texts.h"

#include <QBuffer>
#include <cmath>
#include <unistd.h>

using namespace common;

namespace {

TEST(PathTexts, FolderAndFileName)
{
    const struct {
        const char *path, *folder, *name;
    } cases[] = {
        {"C:\\Dogana\\file.txt", "C:\\Dogana\\", "file.txt"},
        {"C:\\Dogana\\", "C:\\Dogana\\", ""},
        {"file.txt", "", "file.txt"},
        {"", "", ""},
        {"\\\\PC1\\C\\x", "\\\\PC1\\C\\", "x"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EstraiPercorso(QString::fromLatin1(c.path)), QString::fromLatin1(c.folder)) << c.path;
        EXPECT_EQ(EstraiNomeFile(QString::fromLatin1(c.path)), QString::fromLatin1(c.name)) << c.path;
    }
}

TEST(PathTexts, UncServer)
{
    const struct {
        const char *path, *server;
    } cases[] = {
        {"\\\\", ""},
        {"\\\\SRV", "\\\\SRV\\"},
        {"\\\\SRV\\C\\Dati", "\\\\SRV\\"},
        {"C:\\Dati", ""},
        {"\\Dati", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetUNCServer(QString::fromLatin1(c.path)), QString::fromLatin1(c.server)) << c.path;
}

TEST(PathTexts, RootFolder)
{
    const struct {
        const char *path, *mode0, *mode1;
    } cases[] = {
        {"C:\\Dati", "C\\", "C:\\"},
        {"C:", "C\\", "C:\\"},
        {"\\\\SRV\\C\\Dati", "C\\", "C:\\"},
        {"\\\\SRV\\EDI", "EDI\\", "EDI:\\"},
        {"\\\\SRV", "", ""},
        {"", "", ""},
        {"\\Dogana\\Punto", "Punto\\", "Punto:\\"},
        {"Dogana", "Dogana\\", "Dogana:\\"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(GetRootFolder(QString::fromLatin1(c.path), 0), QString::fromLatin1(c.mode0)) << c.path;
        EXPECT_EQ(GetRootFolder(QString::fromLatin1(c.path), 1), QString::fromLatin1(c.mode1)) << c.path;
    }
}

TEST(PathTexts, RelativeFolder)
{
    const struct {
        const char *path, *folder;
    } cases[] = {
        {"C:\\Dogana\\Punto", "Dogana\\"},
        {"\\\\PC1\\C\\Dogana\\Punto", "Dogana\\"},
        {"C:\\a\\b\\f.txt", "a\\b\\"},
        {"\\\\SRV\\SHARE\\a\\b\\f.txt", "a\\b\\"},
        {"C:\\Corbix Doganali\\", "Corbix Doganali\\"},
        {"C:\\f.txt", ""},
        {"f.txt", ""},
        {"..\\a\\b\\f.txt", "..\\a\\b\\"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetRelativeFolder(QString::fromLatin1(c.path)), QString::fromLatin1(c.folder)) << c.path;
    // A local folder in network form, as the collection point is recorded.
    const QString point = QStringLiteral("C:\\Corbix Doganali\\");
    EXPECT_EQ(QStringLiteral("\\\\PC1\\") + GetRootFolder(point, 0) + GetRelativeFolder(point) + EstraiNomeFile(point),
              QStringLiteral("\\\\PC1\\C\\Corbix Doganali\\"));
}

TEST(Texts, StrBeforeAndStrAfter)
{
    const QString t = QStringLiteral("abc\tdef");
    const struct {
        int position;
        const char *before;
    } before[] = {{4, "abc"}, {1, ""}, {0, ""}, {-1, ""}, {8, "abc\tdef"}, {9, "abc\tdef"}, {100, "abc\tdef"}};
    for (const auto &c : before)
        EXPECT_EQ(StrBefore(t, c.position), QString::fromLatin1(c.before)) << c.position;

    const struct {
        const char *text;
        int position, length;
        const char *after;
    } after[] = {
        {"abc\tdef", 4, 1, "def"},  {"abc\t", 4, 1, ""},   {"abc", 0, 1, "abc"},
        {"abc", -1, 1, ""},         {"abc", 9, 1, ""},     {"abc\r\ndef", 4, 2, "def"},
        {"abc", 0, 0, ""},          {"abc", 1, -1, ""},
    };
    for (const auto &c : after)
        EXPECT_EQ(StrAfter(QString::fromLatin1(c.text), c.position, c.length), QString::fromLatin1(c.after))
            << c.text << " " << c.position;
}

TEST(Texts, ConvertCaseTouchesPlainLettersOnly)
{
    QString text = QStringLiteral("Città 123 Àb");
    EXPECT_EQ(ConvertCase(text, 0), QStringLiteral("città 123 Àb"));
    EXPECT_EQ(text, QStringLiteral("città 123 Àb"));
    EXPECT_EQ(ConvertCase(text, 1), QStringLiteral("CITTà 123 ÀB"));
    EXPECT_EQ(ConvertCase(text, 2), QStringLiteral("CITTà 123 ÀB"));
}

TEST(Texts, IsNumericText)
{
    for (const char *yes : {" 12 ", "-.5", "+12", "1.5", "0", "5."})
        EXPECT_TRUE(IsNumericText(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"", "   ", ".", "-", "1.2.3", "1-", "1,5", "12a", "+-1", " - 1"})
        EXPECT_FALSE(IsNumericText(QString::fromLatin1(no))) << no;
}

TEST(Numbers, PlainText)
{
    const struct {
        double number;
        const char *text;
    } cases[] = {
        {0.5, ".5"},
        {-0.5, "-.5"},
        {1234.567, "1234.567"},
        {0, "0"},
        {-7, "-7"},
        {0.0001, ".0001"},
        {1e-5, "0.000010"},
        {1e-8, "0.000000010"},
        {1.5e-8, "0.000000015"},
        {-1.5e-8, "-0.000000015"},
        {1e15, "1000000000000000"},
        {1.5e15, "1500000000000000"},
        {-2.5e16, "-25000000000000000"},
        {123456789012345.0, "123456789012345"},
        {0.1 + 0.2, ".3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumberToPlainText(c.number), QString::fromLatin1(c.text)) << c.text;
}

TEST(Numbers, ExtractNumber)
{
    const struct {
        const char *text;
        double number;
    } cases[] = {
        {"", 0},          {"abc", 0},      {"-", 0},         {".", 0},        {"-.", 0},
        {"12abc", 12},    {"-1.5.3", -1.53}, {"a-b5", -5},    {"5-3", 53},     {"Euro 1.234,50", 1.2345},
        {"+.5", 0.5},     {" 007 ", 7},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(ExtractNumber(QString::fromLatin1(c.text)), c.number) << c.text;
}

TEST(Numbers, TruncateNumber)
{
    const struct {
        double value, offset;
        qint16 position;
        double result;
        qint16 positionAfter;
    } cases[] = {
        {1234.567, 0, -2, 1234.56, -2}, {1234.567, 0, 1, 1234, 1}, {1234.567, 0, 2, 1230, 2},
        {-7.89, 0, 1, -7, 1},           {9.999, 0, -2, 9.99, -2},  {0.5, 0, 0, 0, 1},
        {1234, 0, 4, 1000, 4},          {1234, 0, 5, 0, 5},        {1234, 0, 6, 0, 6},
        {5, 0, -2, 5, -2},              {10, 2.75, -1, 12.7, -1},  {1e-8, 0, -9, 0.00000001, -9},
    };
    for (const auto &c : cases) {
        double value = c.value;
        qint16 position = c.position;
        EXPECT_DOUBLE_EQ(TruncateNumber(value, c.offset, position), c.result) << c.value << " " << c.position;
        EXPECT_DOUBLE_EQ(value, c.value + c.offset);
        EXPECT_EQ(position, c.positionAfter);
    }
    double negative = -0.5;
    qint16 one = 1;
    EXPECT_FALSE(std::signbit(TruncateNumber(negative, 0, one)));
}

TEST(TextFiles, SeekTextLine)
{
    const struct {
        const char *content;
        qint32 line, position;
        const char *next;
    } cases[] = {
        {"uno\r\ndue\r\ntre\r\n", 1, 1, "uno"},  {"uno\r\ndue\r\ntre\r\n", 2, 6, "due"},
        {"uno\r\ndue\r\ntre\r\n", 3, 11, "tre"}, {"uno\r\ndue\r\ntre\r\n", 4, -1, ""},
        {"uno\r\ndue\r\ntre\r\n", 0, 11, "tre"}, {"uno\r\ndue", 2, 6, "due"},
        {"uno\r\ndue", 3, -1, ""},               {"uno\r\ndue", 0, 6, "due"},
        {"", 0, 1, ""},                          {"", 1, -1, ""},
        {"uno\r\ndue", -1, -2, ""},
    };
    for (const auto &c : cases) {
        QByteArray bytes(c.content);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(SeekTextLine(c.line, &buffer), c.position) << c.content << " " << c.line;
        if (c.position >= 1) {
            EXPECT_EQ(buffer.readLine().trimmed(), QByteArray(c.next)) << c.content << " " << c.line;
        }
    }
    EXPECT_EQ(SeekTextLine(1, nullptr), -3);
    QBuffer closed;
    EXPECT_EQ(SeekTextLine(1, &closed), -3);
}

class FilesTest : public CommonTest {
protected:
    int errorOf(const std::function<void()> &call)
    {
        try {
            call();
        } catch (const platform::RuntimeError &e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(FilesTest, NewUniqueFileNameTakesTheFirstFreeCode)
{
    QDir().mkpath(onC(QStringLiteral("Temp")));
    const QString name = NewUniqueFileName(QStringLiteral("C:\\Temp"));
    EXPECT_EQ(name, QStringLiteral("C:\\Temp\\Vordama_01"));
    EXPECT_TRUE(QFileInfo(onC(QStringLiteral("Temp/Vordama_01"))).isFile());
    EXPECT_EQ(QFileInfo(onC(QStringLiteral("Temp/Vordama_01"))).size(), 0);

    for (const QChar c : QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ-"))
        tmp_.write(QStringLiteral("c/Temp/Vordama") + c + QStringLiteral("01"), "");
    EXPECT_EQ(NewUniqueFileName(QStringLiteral("C:\\Temp\\"), QString(), QString()),
              QStringLiteral("C:\\Temp\\Vordama_A01"));
}

TEST_F(FilesTest, NewUniqueFileNameSkipsFoldersAndNamesInAnotherCase)
{
    QDir().mkpath(onC(QStringLiteral("Flussi/Pre_.txt")));
    tmp_.write(QStringLiteral("c/Flussi/preA.TXT"), "x");
    EXPECT_EQ(NewUniqueFileName(QStringLiteral("C:\\Flussi\\"), QStringLiteral("Pre"), QStringLiteral(".txt")),
              QStringLiteral("C:\\Flussi\\PreB.txt"));
    EXPECT_EQ(bytes(onC(QStringLiteral("Flussi/preA.TXT"))), QByteArray("x"));
}

TEST_F(FilesTest, NewUniqueFileNameDefaultsAndFailures)
{
    QDir().mkpath(onC(QStringLiteral("WINDOWS/TEMP")));
    EXPECT_EQ(NewUniqueFileName(), QStringLiteral("C:\\WINDOWS\\TEMP\\Vordama_01"));
    EXPECT_TRUE(QFileInfo::exists(onC(QStringLiteral("WINDOWS/TEMP/Vordama_01"))));

    const QString prog = tmp_.file(QStringLiteral("prog"));
    EXPECT_EQ(NewUniqueFileName(prog, QStringLiteral("X")), prog + QStringLiteral("/X_01"));

    EXPECT_EQ(errorOf([] { NewUniqueFileName(QStringLiteral("C:\\Manca\\")); }), platform::err::PathNotFound);
    EXPECT_EQ(errorOf([] { NewUniqueFileName(QStringLiteral("Q:\\")); }), platform::err::DeviceUnavailable);
}

TEST_F(FilesTest, CopyWithLineEndWritesTheGivenEndOnly)
{
    tmp_.write(QStringLiteral("c/flusso.txt"), "uno\r\ndu\xE8\r\n");
    tmp_.write(QStringLiteral("c/copia.txt"), "vecchio contenuto pi\xF9 lungo\r\n");
    EXPECT_FALSE(CopyWithLineEnd(QStringLiteral("C:\\flusso.txt"), QStringLiteral("C:\\copia.txt"), QStringLiteral("\n")));
    EXPECT_EQ(bytes(onC(QStringLiteral("copia.txt"))), QByteArray("uno\ndu\xE8\n"));
    EXPECT_EQ(bytes(onC(QStringLiteral("flusso.txt"))), QByteArray("uno\r\ndu\xE8\r\n"));

    // The target may be the source itself: it is read whole first.
    tmp_.write(QStringLiteral("c/stesso.txt"), "a\r\nb");
    EXPECT_FALSE(CopyWithLineEnd(QStringLiteral("C:\\STESSO.TXT"), QStringLiteral("C:\\stesso.txt"), QStringLiteral("\n")));
    EXPECT_EQ(bytes(onC(QStringLiteral("stesso.txt"))), QByteArray("a\nb\n"));
}

TEST_F(FilesTest, CopyWithLineEndOfAMissingSourceDoesNothing)
{
    QDir().mkpath(onC(QStringLiteral("cartella")));
    for (const char *source : {"C:\\manca.txt", "C:\\cartella"})
        EXPECT_TRUE(CopyWithLineEnd(QString::fromLatin1(source), QStringLiteral("C:\\copia.txt"), QStringLiteral("\n")));
    EXPECT_EQ(entries(onC(QString())), QStringList{QStringLiteral("cartella")});
}

TEST_F(FilesTest, FailedCopyLeavesNoHalfFile)
{
    tmp_.write(QStringLiteral("c/flusso.txt"), "uno\r\n");
    EXPECT_EQ(errorOf([] {
                  CopyWithLineEnd(QStringLiteral("C:\\flusso.txt"), QStringLiteral("C:\\Manca\\copia.txt"),
                                  QStringLiteral("\n"));
              }),
              platform::err::PathNotFound);
    EXPECT_EQ(errorOf([] {
                  CopyTextFile(QStringLiteral("C:\\flusso.txt"), QStringLiteral("C:\\flusso.txt"),
                               QStringLiteral("Q:\\x.txt"));
              }),
              platform::err::DeviceUnavailable);
    EXPECT_EQ(entries(onC(QString())), QStringList{QStringLiteral("flusso.txt")});
}

TEST_F(FilesTest, CopyTextFileJoinsTwoFilesWithCrLf)
{
    const QByteArray first("a\r\nb"), second("c\nd\r\n");
    const QByteArray joined("a\r\nb\r\nc\r\nd\r\n");
    const struct {
        const char *target;
        const char *written;  // the file that receives the lines, on drive C:
    } cases[] = {
        {"C:\\unione.txt", "unione.txt"},
        {"", "primo.txt"},
        {"C:\\primo.txt", "primo.txt"},
        {"C:\\Secondo.txt", "secondo.txt"},
    };
    for (const auto &c : cases) {
        tmp_.write(QStringLiteral("c/primo.txt"), first);
        tmp_.write(QStringLiteral("c/secondo.txt"), second);
        EXPECT_EQ(CopyTextFile(QStringLiteral("C:\\primo.txt"), QStringLiteral("C:\\secondo.txt"),
                               QString::fromLatin1(c.target)),
                  0);
        EXPECT_EQ(bytes(onC(QString::fromLatin1(c.written))), joined) << c.target;
        if (QString::fromLatin1(c.written) != QStringLiteral("primo.txt")) {
            EXPECT_EQ(bytes(onC(QStringLiteral("primo.txt"))), first) << c.target;
        }
    }
}

TEST_F(FilesTest, CopyTextFileOfAMissingFileDoesNothing)
{
    tmp_.write(QStringLiteral("c/primo.txt"), "a\r\n");
    EXPECT_EQ(CopyTextFile(QStringLiteral("C:\\manca.txt"), QStringLiteral("C:\\primo.txt"), QStringLiteral("C:\\u.txt")), -1);
    EXPECT_EQ(CopyTextFile(QStringLiteral("C:\\primo.txt"), QStringLiteral("C:\\manca.txt"), QStringLiteral("C:\\u.txt")), -2);
    EXPECT_EQ(CopyTextFile(QStringLiteral("C:\\primo.txt"), QStringLiteral("C:\\manca.txt"), QString()), -2);
    EXPECT_EQ(entries(onC(QString())), QStringList{QStringLiteral("primo.txt")});
    EXPECT_EQ(bytes(onC(QStringLiteral("primo.txt"))), QByteArray("a\r\n"));
}

TEST_F(FilesTest, GetCompanyNameReadsTheGeneralParameters)
{
    dao::Database db = dao::Database::create(onC(QStringLiteral("Archivio.mdb")));
    dao::TableDef paragen(QStringLiteral("Paragen"));
    paragen.appendField(dao::Field(QStringLiteral("NomeDitta"), dao::FieldType::Text, 50));
    paragen.appendField(dao::Field(QStringLiteral("UsaQuestoNome"), dao::FieldType::Boolean));
    db.appendTableDef(paragen);
    const QString path = QStringLiteral("C:\\ARCHIVIO.MDB");
    EXPECT_EQ(GetCompanyName(path), QString());

    const struct {
        QVariant name, use;
        const char *result;
    } cases[] = {
        {QStringLiteral("Spedizioni Rossi S.r.l."), true, "Spedizioni Rossi S.r.l."},
        {QStringLiteral("Spedizioni Rossi S.r.l."), false, ""},
        {QVariant(), true, ""},
    };
    for (const auto &c : cases) {
        db.execute(QStringLiteral("DELETE FROM Paragen"));
        db.execute(QStringLiteral("INSERT INTO Paragen (NomeDitta, UsaQuestoNome) VALUES (?, ?)"), {c.name, c.use});
        EXPECT_EQ(GetCompanyName(path), QString::fromLatin1(c.result));
    }
    db.close();
    EXPECT_EQ(errorOf([] { GetCompanyName(QStringLiteral("C:\\Manca.mdb")); }), platform::err::DatabaseFileNotFound);
}

}  // namespace

TEST(Texts, TrimSpacesLeavesOtherBlanks)
{
    EXPECT_EQ(TrimSpaces(QStringLiteral("  a b \t ")), QStringLiteral("a b \t"));
    EXPECT_EQ(TrimSpaces(QStringLiteral("   ")), QString());
    EXPECT_EQ(TrimSpaces(QString()), QString());
}

// The days written digit by digit read as QDate's patterns write them.
TEST(Texts, DaysAreWrittenAsTheirPatternsWriteThem)
{
    const struct {
        QDate day;
        QString shown, stored;
    } cases[] = {
        {QDate(2026, 3, 9), "09/03/2026", "2026-03-09"},   {QDate(1999, 12, 31), "31/12/1999", "1999-12-31"},
        {QDate(100, 1, 1), "01/01/0100", "0100-01-01"},    {QDate(5, 10, 20), "20/10/0005", "0005-10-20"},
        {QDate(9999, 12, 31), "31/12/9999", "9999-12-31"}, {QDate(2024, 2, 29), "29/02/2024", "2024-02-29"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(platform::DayText(c.day), c.shown);
        EXPECT_EQ(platform::IsoDayText(c.day), c.stored);
        EXPECT_EQ(dao::storedDate(c.day), c.stored);
    }
    // Beyond four digits, and a day that is none, as the patterns have them.
    for (const QDate &day : {QDate(10000, 1, 1), QDate(-5, 1, 1), QDate()}) {
        EXPECT_EQ(platform::DayText(day), day.toString(QStringLiteral("dd/MM/yyyy")));
        EXPECT_EQ(platform::IsoDayText(day), day.toString(QStringLiteral("yyyy-MM-dd")));
    }
}

// An exclusive name is never taken over a file there: 58, both kept. With
// replace the file there is replaced. A run stopped between the link and the
// removal of its temporary left both names of one file: the name is then
// finished, not refused.
TEST_F(FilesTest, FinalNamesAreTakenExclusivelyOrReplacingAndFinishedAfterAStop)
{
    const QString name = tmp_.write(QStringLiteral("flusso"), "altro");
    ASSERT_FALSE(common::writeTemporary(name, "mio", false));
    ASSERT_TRUE(common::writeTemporary(name, "mio", true));
    EXPECT_EQ(errorOf([&] { common::takeFinalName(name, false); }), platform::err::FileAlreadyExists);
    EXPECT_EQ(bytes(name), QByteArray("altro"));
    EXPECT_EQ(bytes(name + QStringLiteral(".corbix~")), QByteArray("mio"));
    EXPECT_EQ(errorOf([&] { common::takeFinalName(name, true); }), 0);
    EXPECT_EQ(bytes(name), QByteArray("mio"));

    const QString other = tmp_.file(QStringLiteral("secondo"));
    ASSERT_TRUE(common::writeTemporary(other, "tutto", false));
    ASSERT_EQ(::link(QFile::encodeName(common::nomeTemporaneo(other)).constData(),
                     QFile::encodeName(other).constData()),
              0);
    EXPECT_EQ(errorOf([&] { common::takeFinalName(other, false); }), 0);
    EXPECT_EQ(QDir(tmp_.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("flusso"), QStringLiteral("secondo")}));
    EXPECT_EQ(bytes(other), QByteArray("tutto"));
}
