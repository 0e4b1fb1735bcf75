#include "common/archiveschema.h"
#include "common/errordialog.h"
#include "common/fixture.h"
#include "platform/dao/recordset.h"
#include "platform/messagebox.h"
#include "support/asuser.h"
#include "support/doubles/recordingerrordialog.h"
#include "support/doubles/recordingmessagebox.h"
#include "ui/main/frmcomandosql.h"

#include <QApplication>
#include <QTest>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using testsupport::clickAsUser;
using uimain::FrmComandoSql;
using testsupport::keyClickAsUser;

namespace {

const Message Riuscito{"Il comando è stato eseguito con successo", "CORBIX", MsgIcon::Information, MsgButtons::OK, 1};
const Message Rinuncia{"Se non sai come usare SQL è bene che rinunci!", "CORBIX", MsgIcon::None, MsgButtons::OK, 1};

// The text of the error management's box for an error of the console.
QString erroreConsole(int numero, const QString &descrizione)
{
    return QStringLiteral("Si è verificato l'errore  %1\r\n%2\r\nFunzione: Routine di esecuzione comando SQL\r\n"
                          "Nessun suggerimento")
        .arg(numero)
        .arg(descrizione);
}

// The program database Corbix.mdb in the program folder with two record
// layout rows, recorded message boxes and error dialog.
class SqlConsoleTest : public CommonTest {
protected:
    SqlConsoleTest()
    {
        dao::Database db = common::createProgramDatabase(programDatabase());
        db.execute(QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, Descrizione) VALUES (?, ?, ?)"),
                   {QStringLiteral("BOLL"), 1, QStringLiteral("Primo")}, dao::FailOnError);
        db.execute(QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, Descrizione) VALUES (?, ?, ?)"),
                   {QStringLiteral("BOLLETTA"), 2, QStringLiteral("Secondo")}, dao::FailOnError);
    }

    QString programDatabase() const { return common::CartellaProgramma + QStringLiteral("Corbix.mdb"); }

    // The rows of the record layouts as "CodiceMsg Progressivo Descrizione".
    QStringList rows() const
    {
        dao::Database db = dao::Database::open(programDatabase());
        auto rs = db.openRecordset(QStringLiteral("SELECT * FROM Tracciati ORDER BY Progressivo"));
        QStringList out;
        for (; !rs->eof(); rs->moveNext())
            out << rs->value("CodiceMsg").toString() + u' ' + rs->value("Progressivo").toString() + u' '
                       + rs->value("Descrizione").toString();
        return out;
    }

    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService boxGuard{boxes};
    common::RecordingErrorDialogService errors;
    common::ScopedErrorDialogService errorGuard{errors};
};

TEST_F(SqlConsoleTest, WindowAsItOpens)
{
    FrmComandoSql w;
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.windowTitle(), "COMANDO SQL");
    // 7 875 x 3 660 twips, taller by what the warning's label grows to hold
    // its text whole.
    EXPECT_EQ(w.width(), 525);
    EXPECT_GE(w.Label1->height(), w.Label1->heightForWidth(w.Label1->width()));
    EXPECT_EQ(w.height() - w.Label1->height(), 244 - 81);
    EXPECT_EQ(w.TxtComandoSql->y() - w.Label1->geometry().bottom(), 89 - 84);
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(w.Label1->text(),
              "Attenzione: con questa maschera è possibile eseguire comandi Sql direttamente sulla banca dati del "
              "software installato, questa operazione è riservata a chi sa cosa fare e come farlo. Si sottolinea che "
              "tentativi maldestri di utilizzo di questa funzione possono condurre alla perdita totale dei dati.");
    EXPECT_EQ(w.Label1->font().family(), "Comic Sans MS");
    EXPECT_EQ(w.Label1->font().pointSize(), 12);
    EXPECT_EQ(w.findChild<QPushButton *>("CmdRinuncia")->text(), "RINUNCIA");
    EXPECT_EQ(w.findChild<QPushButton *>("CmdEsegui")->text(), "ESEGUI COMANDO SQL");
    EXPECT_EQ(w.findChild<QPlainTextEdit *>("TxtComandoSql"), w.TxtComandoSql);
    for (const char *name : {"OptDitte", "OptAttiva", "OptTurnol"}) {
        const auto *option = w.findChild<QRadioButton *>(name);
        ASSERT_NE(option, nullptr) << name;
        EXPECT_FALSE(option->isVisible()) << name;
    }
    EXPECT_EQ(w.OptDitte->text(), "Sql  su DB definizione ditte");
    EXPECT_EQ(w.OptAttiva->text(), "Sql su DB esercizio ditta selezionata");
    EXPECT_EQ(w.OptTurnol->text(), "Sql su DB file extraesercizio");
}

TEST_F(SqlConsoleTest, StatementBoxIsCyanWhileItHasTheFocus)
{
    const QColor cyan(0x00, 0xFF, 0xFF);
    FrmComandoSql w;
    w.Form_Load();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // The window opens with the focus in the box.
    ASSERT_TRUE(w.TxtComandoSql->hasFocus());
    EXPECT_EQ(w.TxtComandoSql->palette().color(QPalette::Base), cyan);
    keyClickAsUser(w.TxtComandoSql, Qt::Key_Tab);
    ASSERT_FALSE(w.TxtComandoSql->hasFocus());
    EXPECT_EQ(w.TxtComandoSql->palette().color(QPalette::Base), QColor(Qt::white));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(w.TxtComandoSql->hasFocus());
    EXPECT_EQ(w.TxtComandoSql->palette().color(QPalette::Base), cyan);
    // Another window over it takes the focus from the window, not from the box.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(w.TxtComandoSql->palette().color(QPalette::Base), cyan);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.TxtComandoSql->palette().color(QPalette::Base), cyan);
}

TEST_F(SqlConsoleTest, EmptyBoxOnlyWarnsAndOpensNoDatabase)
{
    // Without the program database, any attempt to open it would be an error.
    ASSERT_TRUE(QFile::remove(programDatabase()));
    for (const QString &text : {QString(), QStringLiteral("  \n\t")}) {
        boxes.shown.clear();
        EXPECT_FALSE(uimain::EseguiComandoSql(text));
        EXPECT_EQ(boxes.shown, std::vector<Message>{Rinuncia});
    }
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(SqlConsoleTest, ActionStatementRunsAndTheBoxIsEmptied)
{
    FrmComandoSql w;
    w.Form_Load();
    w.show();
    w.TxtComandoSql->setPlainText(
        QStringLiteral("UPDATE Tracciati SET Descrizione = upper(Descrizione) || ' (' || length(CodiceMsg) || ')' "
                       "WHERE Progressivo >= 1"));
    clickAsUser(w.CmdEsegui);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Riuscito});
    EXPECT_TRUE(errors.shown.empty());
    EXPECT_EQ(w.TxtComandoSql->toPlainText(), "");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(rows(), (QStringList{"BOLL 1 PRIMO (4)", "BOLLETTA 2 SECONDO (8)"}));
}

TEST_F(SqlConsoleTest, InsertAndDeleteAsTyped)
{
    EXPECT_TRUE(uimain::EseguiComandoSql(
        QStringLiteral("INSERT INTO Tracciati (CodiceMsg, Progressivo, Descrizione) VALUES ('DAU', 3, 'Terzo')")));
    EXPECT_TRUE(uimain::EseguiComandoSql(QStringLiteral("DELETE FROM Tracciati WHERE Progressivo = 1;")));
    EXPECT_EQ(rows(), (QStringList{"BOLLETTA 2 Secondo", "DAU 3 Terzo"}));
    EXPECT_EQ(boxes.shown, (std::vector<Message>{Riuscito, Riuscito}));
}

// Each failing statement goes to the error management under the console's
// name; abandoned, it ends the command with no success and nothing changed.
struct ErroreCaso {
    const char *name;
    QString sql;
    int numero;
    QString descrizione;
};

class SqlConsoleErrors : public SqlConsoleTest, public ::testing::WithParamInterface<ErroreCaso> {};

TEST_P(SqlConsoleErrors, GoToTheErrorManagementAndChangeNothing)
{
    FrmComandoSql w;
    w.Form_Load();
    w.show();
    w.TxtComandoSql->setPlainText(GetParam().sql);
    errors.answer(MsgResult::Abort);
    clickAsUser(w.CmdEsegui);
    EXPECT_EQ(errors.shown, std::vector<QString>{erroreConsole(GetParam().numero, GetParam().descrizione)});
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w.TxtComandoSql->toPlainText(), GetParam().sql);
    EXPECT_EQ(rows(), (QStringList{"BOLL 1 Primo", "BOLLETTA 2 Secondo"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlConsoleErrors,
    ::testing::Values(
        ErroreCaso{"MissingTable", QStringLiteral("DELETE FROM Manca"), 3011,
                   QStringLiteral("Impossibile trovare l'oggetto 'Manca'. Verificare che l'oggetto esista e che il "
                                  "nome e il percorso siano digitati correttamente.")},
        // One row too wide fails the whole statement: the other row is not
        // written either.
        ErroreCaso{"RuleBrokenByOneRow", QStringLiteral("UPDATE Tracciati SET CodiceMsg = CodiceMsg || 'XXXX'"),
                   3163,
                   QStringLiteral("Il campo è troppo piccolo per accettare la quantità di dati che si è tentato di "
                                  "aggiungere. Provare a inserire o a incollare una quantità minore di dati.")},
        // The second statement is refused, not passed over: the first does not run.
        ErroreCaso{"TwoStatements", QStringLiteral("DELETE FROM Tracciati WHERE Progressivo = 1; DROP TABLE Tracciati"),
                   3142, QStringLiteral("Trovati caratteri dopo la fine dell'istruzione SQL.")}),
    [](const ::testing::TestParamInfo<ErroreCaso> &caso) { return std::string(caso.param.name); });

TEST_F(SqlConsoleTest, IgnoredErrorIsNoSuccess)
{
    errors.answer(MsgResult::Ignore);
    EXPECT_FALSE(uimain::EseguiComandoSql(QStringLiteral("UPDATE Manca SET X = 1")));
    EXPECT_EQ(errors.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SqlConsoleTest, RetryRunsTheStatementAgain)
{
    errors.answer(MsgResult::Retry);
    errors.answer(MsgResult::Abort);
    EXPECT_FALSE(uimain::EseguiComandoSql(QStringLiteral("SELEC * FROM Tracciati")));
    ASSERT_EQ(errors.shown.size(), 2u);
    EXPECT_EQ(errors.shown[0], errors.shown[1]);
    EXPECT_TRUE(errors.shown[0].startsWith("Si è verificato l'errore "));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SqlConsoleTest, MissingProgramDatabaseIsReported)
{
    ASSERT_TRUE(QFile::remove(programDatabase()));
    EXPECT_FALSE(uimain::EseguiComandoSql(QStringLiteral("DELETE FROM Tracciati")));
    EXPECT_EQ(errors.shown,
              std::vector<QString>{erroreConsole(3024, QStringLiteral("Impossibile trovare il file '%1'.").arg(programDatabase()))});
    EXPECT_FALSE(QFile::exists(programDatabase()));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SqlConsoleTest, RinunciaClosesTheWindow)
{
    FrmComandoSql w;
    w.Form_Load();
    w.show();
    clickAsUser(w.CmdRinuncia);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
