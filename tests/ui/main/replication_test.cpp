#include "flowengine/archive_fixture.h"
#include "platform/errors.h"
#include "support/asuser.h"
#include "ui/main/folderchooser.h"
#include "ui/main/frmreplicaedi.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using testsupport::clickAsUser;
using uimain::frmReplicaEDI;

namespace {

const Message Ufficio{"E' necessario indicare il codice dell'ufficio doganali di presentazione del corbex.",
                      "Corbix doganali", MsgIcon::Information, MsgButtons::OK, 1};
const Message Cartella{"Il percorso indicato per la cartella di destinazione non è corretto. Indicare un percorso "
                       "corretto.",
                       "Corbix doganali", MsgIcon::Information, MsgButtons::OK, 1};
const Message Numero{"E' necessario indicare il numero progressivo", "CORBIX", MsgIcon::None, MsgButtons::OK, 1};

const QColor Fuoco(0, 255, 255);
const QColor Rosso(255, 0, 0);

// The archive with three customs offices, the user folder C:\Dogana.
class ReplicationTest : public ArchiveTest {
protected:
    ReplicationTest()
    {
        for (const char *code : {"T02", "A01", "M10"})
            db.execute(QStringLiteral("INSERT INTO Dogane (Codice) VALUES (?)"), {QString::fromLatin1(code)},
                       dao::FailOnError);
        QDir().mkpath(onC("Dogana"));
        common::OpzioniCorbix.UserDir = QStringLiteral("C:\\Dogana");
    }

    void focus(QWidget *widget, QEvent::Type type)
    {
        QFocusEvent event(type, Qt::TabFocusReason);
        QApplication::sendEvent(widget, &event);
    }

    // Types a number into the field and leaves it.
    void typeNumber(frmReplicaEDI &w, const QString &text)
    {
        focus(w.txtProgNumber, QEvent::FocusIn);
        w.txtProgNumber->setText(text);
        focus(w.txtProgNumber, QEvent::FocusOut);
    }

    static QColor colour(const QWidget *field) { return field->palette().color(QPalette::Base); }
    static QColor window() { return QApplication::palette().color(QPalette::Base); }
};

TEST_F(ReplicationTest, WindowAsItOpens)
{
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    EXPECT_EQ(w.windowTitle(), "Riproduzione di un corbex");
    EXPECT_EQ(w.size(), QSize(330, 149));
    EXPECT_EQ(w.findChild<QComboBox *>("cmbCustomOfficeCode")->count(), 3);
    QStringList codes;
    for (int i = 0; i < w.cmbCustomOfficeCode->count(); ++i)
        codes << w.cmbCustomOfficeCode->itemText(i);
    // In the order the query returns them.
    QStringList queried;
    for (auto rs = db.openRecordset("SELECT Codice FROM Dogane"); !rs->eof(); rs->moveNext())
        queried << rs->value(0).toString();
    EXPECT_EQ(codes, queried);
    EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()), (QSet<QString>{"A01", "M10", "T02"}));
    EXPECT_EQ(w.cmbCustomOfficeCode->currentIndex(), -1);
    EXPECT_FALSE(w.cmbCustomOfficeCode->isEditable());
    EXPECT_EQ(w.txtPathCorbex->text(), "C:\\Dogana");
    EXPECT_EQ(w.txtProgNumber->text(), "");
    EXPECT_EQ(w.txtProgNumber->maxLength(), 2);
    EXPECT_EQ(w.undXtxtProgNumber->maximum(), 99);
    EXPECT_FALSE(w.cmdSelect->isEnabled());
    EXPECT_TRUE(w.cmdConfirm->isDefault());

    struct Control {
        const char *name;
        QString caption;
        QRect geometry;
    };
    const std::vector<Control> controls = {
        {"lblCustomOfficeCode", "Codice dell'ufficio doganale di presentazione", {4, 7, 223, 17}},
        {"cmbCustomOfficeCode", "", {235, 4, 83, 21}},
        {"lblProgNumber", "Numero progressivo", {4, 36, 213, 16}},
        {"txtProgNumber", "", {235, 34, 21, 20}},
        {"undXtxtProgNumber", "", {257, 35, 16, 20}},
        {"lblPath", "Cartella di destinazione", {6, 66, 120, 17}},
        {"txtPathCorbex", "", {6, 87, 194, 22}},
        {"cmdSelect", "&Sfoglia...", {203, 87, 108, 24}},
        {"cmdConfirm", "&OK", {19, 118, 108, 24}},
        {"cmdCancel", "A&nnulla", {187, 118, 108, 24}},
    };
    for (const Control &c : controls) {
        const QWidget *control = w.findChild<QWidget *>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), c.geometry) << c.name;
        if (const auto *label = qobject_cast<const QLabel *>(control)) {
            EXPECT_EQ(label->text(), c.caption) << c.name;
        }
        if (const auto *button = qobject_cast<const QPushButton *>(control)) {
            EXPECT_EQ(button->text(), c.caption) << c.name;
        }
    }
}

TEST_F(ReplicationTest, LeavingTheNumberChecksIt)
{
    frmReplicaEDI w;
    w.Form_Load();
    focus(w.txtProgNumber, QEvent::FocusIn);
    EXPECT_EQ(colour(w.txtProgNumber), Fuoco);

    typeNumber(w, "5");
    EXPECT_EQ(w.txtProgNumber->text(), "05");
    EXPECT_EQ(colour(w.txtProgNumber), window());

    for (const QString &wrong : {QStringLiteral("-5"), QStringLiteral("x1"), QString()}) {
        typeNumber(w, wrong);
        EXPECT_EQ(w.txtProgNumber->text(), wrong);
        EXPECT_EQ(colour(w.txtProgNumber), Rosso) << wrong.toStdString();
    }
    w.txtProgNumber->setText("123");
    EXPECT_EQ(w.txtProgNumber->text(), "12");
    EXPECT_TRUE(boxes.shown.empty());
}

// What leaving the number field makes of what was typed.
TEST_F(ReplicationTest, NumberTakesTwoDigitsOrTurnsRed)
{
    struct Case {
        QString typed;
        QString shown;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"5", "05", true},   {"0", "00", true},   {"99", "99", true}, {"+7", "07", true}, {"-5", "-5", false},
        {"ab", "ab", false}, {"7a", "7a", false}, {"", "", false},    {".5", ".5", false}, {"5.", "5.", false},
    };
    frmReplicaEDI w;
    w.Form_Load();
    for (const Case &c : cases) {
        typeNumber(w, c.typed);
        EXPECT_EQ(w.txtProgNumber->text(), c.shown) << c.typed.toStdString();
        EXPECT_EQ(colour(w.txtProgNumber), c.valid ? window() : Rosso) << c.typed.toStdString();
    }
}

TEST_F(ReplicationTest, FolderChooserGivesTheFolderUnlessCancelled)
{
    struct Chooser : uimain::FolderChooser {
        QString scegli(QWidget *, const QPoint &, const QString &caption, const QString &start) override
        {
            captions << caption;
            starts << start;
            QDir::setCurrent(QDir::tempPath());
            return answer;
        }
        QString answer;
        QStringList captions, starts;
    } chooser;
    const QString previous = QDir::currentPath();
    uimain::ScopedFolderChooser guard(chooser);
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    EXPECT_TRUE(w.cmdSelect->isEnabled());
    w.undXtxtProgNumber->stepUp();
    chooser.answer = QStringLiteral("C:\\Corbix");
    clickAsUser(w.cmdSelect);
    EXPECT_EQ(w.txtProgNumber->text(), "01");
    EXPECT_EQ(w.txtPathCorbex->text(), "C:\\Corbix");
    chooser.answer.clear();
    clickAsUser(w.cmdSelect);
    EXPECT_EQ(w.txtPathCorbex->text(), "C:\\Corbix");
    EXPECT_EQ(chooser.captions, QStringList(2, QStringLiteral("Selezionare la cartella.")));
    EXPECT_EQ(chooser.starts, (QStringList{"C:\\Dogana", "C:\\Corbix"}));
    EXPECT_EQ(QDir::currentPath() + u'/', common::CartellaProgramma);
    QDir::setCurrent(previous);
}

TEST_F(ReplicationTest, UpDownChangeIsCheckedBeforeTheNextCommand)
{
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    focus(w.txtPathCorbex, QEvent::FocusIn);
    EXPECT_EQ(colour(w.txtPathCorbex), Fuoco);

    w.undXtxtProgNumber->stepUp();
    EXPECT_EQ(w.txtProgNumber->text(), "1");
    EXPECT_EQ(colour(w.txtProgNumber), Fuoco);
    EXPECT_EQ(colour(w.txtPathCorbex), window());
    EXPECT_TRUE(w.VerificaInSospeso);

    w.cmbCustomOfficeCode->setCurrentIndex(0);
    clickAsUser(w.cmdConfirm);
    EXPECT_FALSE(w.VerificaInSospeso);
    EXPECT_EQ(w.txtProgNumber->text(), "01");
    EXPECT_EQ(colour(w.txtProgNumber), window());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(ReplicationTest, UpDownStepsFromTheNumberTyped)
{
    frmReplicaEDI w;
    w.Form_Load();
    w.txtProgNumber->setFocus();
    w.txtProgNumber->setText(QString());
    w.txtProgNumber->insert("41");
    w.undXtxtProgNumber->stepUp();
    EXPECT_EQ(w.txtProgNumber->text(), "42");
}

// Each entry is tested in order; only the first wrong one is told.
struct CheckCase {
    const char *name;
    int office;  // index in the list, -1 for none
    QString folder;
    QString number;
    std::optional<Message> expected;
};

class ReplicationChecks : public ReplicationTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(ReplicationChecks, OkTellsTheFirstEntryMissingOrWrong)
{
    const CheckCase &c = GetParam();
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    w.cmbCustomOfficeCode->setCurrentIndex(c.office);
    w.txtPathCorbex->setText(c.folder);
    w.txtProgNumber->setText(c.number);
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(boxes.shown, c.expected ? std::vector<Message>{*c.expected} : std::vector<Message>{});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.txtPathCorbex->text(), c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplicationChecks,
    ::testing::Values(CheckCase{"NoOfficeEvenWithAWrongFolder", -1, "C:\\Manca", "", Ufficio},
                      CheckCase{"MissingFolder", 1, "C:\\Manca", "05", Cartella},
                      CheckCase{"FolderOnADriveNotReady", 1, "Q:\\Dogana", "05", Cartella},
                      CheckCase{"EmptyFolder", 1, "", "05", Cartella},
                      CheckCase{"NoNumber", 2, "C:\\dogana", "  ", Numero},
                      CheckCase{"AllGiven", 0, "C:\\Dogana\\", "05", std::nullopt}),
    [](const ::testing::TestParamInfo<CheckCase> &caso) { return std::string(caso.param.name); });

TEST_F(ReplicationTest, EmptyNumberTurnsRedAndOkAsksForIt)
{
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    w.cmbCustomOfficeCode->setCurrentIndex(0);
    typeNumber(w, "");
    EXPECT_EQ(colour(w.txtProgNumber), Rosso);
    clickAsUser(w.cmdConfirm);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Numero});
}

TEST_F(ReplicationTest, CancelClosesAfterThePendingCheck)
{
    frmReplicaEDI w;
    w.Form_Load();
    w.show();
    w.undXtxtProgNumber->stepUp();
    clickAsUser(w.cmdCancel);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.VerificaInSospeso);
    EXPECT_EQ(w.txtProgNumber->text(), "01");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReplicationTest, ArchiveErrorsReachTheCaller)
{
    common::PercorsoArchivio = QStringLiteral("C:\\Manca.mdb");
    frmReplicaEDI w;
    try {
        w.Form_Load();
        FAIL() << "no error";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 3024);
    }
}

}  // namespace
