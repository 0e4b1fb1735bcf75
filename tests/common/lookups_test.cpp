#include "common/lookups.h"

#include "common/archiveschema.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/otherprogram.h"
#include "support/tempdir.h"

#include <functional>
#include <gtest/gtest.h>

using common::GetCountryDescription;
using common::GetDeclarantName;
using common::GetProvinceDescription;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString ProvinceLock =
    "Risulta momentaneamente impossibile estrarre dall'archivio la descrizione della provincia. Scegliere 'Riprova' "
    "per attendere che il dato sia di nuovo disponibile, altrimenti scegliere 'Annulla' per abbandonare.";

// Answers each message through a callback, recording it.
class ScriptedBoxes : public platform::MessageBoxService {
public:
    MsgResult show(const Message &message) override
    {
        shown.push_back(message);
        return answer(int(shown.size()));
    }
    std::function<MsgResult(int)> answer;
    std::vector<Message> shown;
};

class LookupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("Archivio.mdb");
        db = common::createArchive(path);
        db.execute("INSERT INTO Province (Codice, Descrizione) VALUES ('MI', 'Milano')", {}, dao::FailOnError);
        db.execute("INSERT INTO Province (Codice) VALUES ('RM')", {}, dao::FailOnError);
        db.execute("INSERT INTO Spedoga (Codice, Descrizione) VALUES ('DICH01', 'Rossi Spedizioni')", {},
                   dao::FailOnError);
        db.execute("INSERT INTO Stati (Codice, Descrizione) VALUES ('IT', 'Italia')", {}, dao::FailOnError);
    }

    testsupport::TempDir dir;
    QString path;
    dao::Database db;
    ScriptedBoxes boxes;
    platform::ScopedMessageBoxService guard{boxes};
};

}  // namespace

TEST_F(LookupsTest, FoundMissingAndNull)
{
    boxes.answer = [](int) { return MsgResult::OK; };
    const struct {
        std::function<qint16(const QString &, QString &)> lookup;
        QString code;
        qint16 result;
        QString description;
    } cases[] = {
        {[&](const QString &c, QString &d) { return GetProvinceDescription(c, d, "Compartimenti", db); }, "MI", 0,
         "Milano"},
        {[&](const QString &c, QString &d) { return GetProvinceDescription(c, d, "Compartimenti", db); }, "mi", 0,
         "Milano"},
        {[&](const QString &c, QString &d) { return GetProvinceDescription(c, d, "Compartimenti", db); }, "RM", 0,
         ""},
        {[&](const QString &c, QString &d) { return GetProvinceDescription(c, d, "Compartimenti", db); }, "TO", -1,
         "prima"},
        {[&](const QString &c, QString &d) { return GetDeclarantName(c, d, "Utenze EDI", db); }, "DICH01", 0,
         "Rossi Spedizioni"},
        {[&](const QString &c, QString &d) { return GetCountryDescription(c, d, "Compartimenti", db); }, "IT", 0,
         "Italia"},
        {[&](const QString &c, QString &d) { return GetCountryDescription(c, d, "Compartimenti", db); }, "I\"T", -1,
         "prima"},
        {[&](const QString &c, QString &d) { return GetCountryDescription(c, d, "Compartimenti", db); },
         "\" OR \"\"=\"", -1, "prima"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        QString description = "prima";
        EXPECT_EQ(c.lookup(c.code, description), c.result);
        EXPECT_EQ(description, c.description);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LookupsTest, LockedTableAsksUntilFreeOrGivenUp)
{
    testsupport::OtherProgram other(path);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    const Message lockBox{ProvinceLock, "Compartimenti", MsgIcon::Information, MsgButtons::RetryCancel, 1};

    // Retry twice while locked, then the other program lets go.
    boxes.answer = [&](int n) {
        if (n == 3)
            other.exec("ROLLBACK");
        return MsgResult::Retry;
    };
    QString description;
    EXPECT_EQ(GetProvinceDescription("MI", description, "Compartimenti", db), 0);
    EXPECT_EQ(description, "Milano");
    EXPECT_EQ(boxes.shown, std::vector<Message>(3, lockBox));

    boxes.shown.clear();
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    boxes.answer = [](int) { return MsgResult::Cancel; };
    description = "prima";
    EXPECT_EQ(GetProvinceDescription("MI", description, "Compartimenti", db), -2);
    EXPECT_EQ(description, "prima");
    EXPECT_EQ(boxes.shown, std::vector<Message>(1, lockBox));

    boxes.shown.clear();
    EXPECT_EQ(GetDeclarantName("DICH01", description, "Utenze EDI", db), -2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Risulta momentaneamente impossibile estrarre dall'archivio il nominativo del "
              "dichiarante/rappresentante. Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, "
              "altrimenti scegliere 'Annulla' per abbandonare.");
    EXPECT_EQ(boxes.shown[0].title, "Utenze EDI");
    other.exec("ROLLBACK");
}

TEST_F(LookupsTest, OtherErrorsAreShownWithTheirContext)
{
    testsupport::OtherProgram other(path);
    ASSERT_EQ(other.exec("DROP TABLE Stati"), SQLITE_OK);
    boxes.answer = [](int) { return MsgResult::OK; };
    QString description = "prima";
    EXPECT_EQ(GetCountryDescription("IT", description, "Compartimenti", db), -3);
    EXPECT_EQ(description, "prima");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], (Message{"Errore di Run-time 3011\r\n" + platform::errorDescription(3011, {"Stati"})
                                           + "\r\n\r\nDurante la decodifica dello stato.",
                                       "Corbix", MsgIcon::Critical, MsgButtons::OK, 1}));
}
