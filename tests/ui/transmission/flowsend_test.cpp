#include "fixture.h"

#include "platform/busywait.h"
#include "platform/sharemapping.h"
#include "support/asuser.h"
#include "support/doubles/recordingsharemapper.h"
#include "support/otherprogram.h"
#include "ui/main/screen.h"
#include "ui/transmission/flowsend.h"
#include "ui/transmission/frmsendmirsolan.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace uitransmission;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using testsupport::clickAsUser;
using testsupport::keyClickAsUser;
using testsupport::keyClicksAsUser;

namespace {

const QDate Day(2026, 1, 15);
const QByteArray FlowBytes("BUSTA\r\nriga \xe8\r\n");
const Message Sent{QStringLiteral("Il corbex è stato spedito al servizio MIRSOLAN. E' ora possibile disconnetersi "
                                  "dalla macchina MIRSOLAN."),
                   QStringLiteral("Corbix Doganali"), MsgIcon::Information, MsgButtons::OK, 1};
const Message Offline{QStringLiteral("La macchina del servizio 'MIRSOLAN non è in linea. Effettuare la connessione a "
                                     "MIRSOLAN, quindi riprovare."),
                      QStringLiteral("Corbix Doganali"), MsgIcon::Information, MsgButtons::RetryCancel, 1};
const Message WrongPassword{QStringLiteral("Password errata, correggere e riprovare."), QStringLiteral("Corbix Doganali"),
                            MsgIcon::Information, MsgButtons::OK, 1};
const Message NoOffice{QStringLiteral("E' necessario indicare il codice dell'ufficio doganale a cui si presenta il "
                                      "corbex."),
                       QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OK, 1};

class Send : public TransmissionTest {
protected:
    Send()
    {
        qunsetenv("CORBIX_MACCHINA_SERVIZIO");
        QDir().mkpath(tmp_.file(QStringLiteral("share/corbix")));
        QDir().mkpath(onC(QStringLiteral("Z")));
        drives_.setShare(QStringLiteral("MIRSOLAN"), QStringLiteral("U001"), tmp_.file(QStringLiteral("share")));
        // Drive Z: already means something on this workstation.
        drives_.setDrive(u'z', onC(QStringLiteral("Z")));
        db.execute(QStringLiteral("INSERT INTO Spedoga (Codice, Descrizione, CodiceUtenza, PasswdUtenza, AutoPasswd, "
                                  "Ufficio) VALUES ('DICH01', 'Primo', 'U001', 'Segreta', False, '012100'), "
                                  "('DICH02', 'Secondo', '', 'x', False, NULL)"),
                   {}, dao::FailOnError);
        db.execute(QStringLiteral("INSERT INTO Dogane (Codice) VALUES ('099999'), ('012100'), ('055000')"), {},
                   dao::FailOnError);
        addFlow(3, Day, 7, 1, 1, QStringLiteral("DICH01"), QStringLiteral("1-10/01/2026-AB12345"),
                QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"));
        writeHost(onC(QStringLiteral("Corbix/Corbix inviati/flusso")), FlowBytes);
    }
    std::unique_ptr<frmSendMirsolan> open()
    {
        startOn(1);
        auto f = std::make_unique<frmSendMirsolan>(w.get(), FlussoElencato(*w));
        f->show();
        boxes.shown.clear();
        return f;
    }
    QStringList onShare() const { return entries(tmp_.file(QStringLiteral("share/corbix"))); }
    QVariant autoPasswd()
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT AutoPasswd FROM Spedoga WHERE Codice = 'DICH01'"));
        return rs->value(0);
    }
    // The main window's send command chosen on the first row.
    void sendFromTheMenu()
    {
        rightClick(rowCentre(1));
        QAction *invia = nullptr;
        for (QAction *a : w->Opzioni)
            if (a->isVisible() && a->text() == QStringLiteral("&Invia a MIRSOLAN..."))
                invia = a;
        ASSERT_NE(invia, nullptr) << contextItems().join(u',').toStdString();
        invia->trigger();
    }
    // Drive Z: as the workstation had it.
    QString driveZ() const { return platform::hostPath(QStringLiteral("Z:\\")); }
};

}  // namespace

TEST_F(Send, TheScreenShowsTheDeclarantsAccountAndTheFlow)
{
    auto f = open();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Invio corbex a MIRSOLAN"));
    EXPECT_EQ(f->fraUserData->title(), QStringLiteral("&Utenza MIRSOLAN"));
    EXPECT_EQ(f->txtUserId->text(), QStringLiteral("U001"));
    EXPECT_EQ(f->txtMessageDate->text(), QStringLiteral("15/01/2026"));
    EXPECT_EQ(f->txtProgNumber->text(), QStringLiteral("07"));
    EXPECT_EQ(f->Tag, QStringLiteral("C:\\Corbix\\Corbix inviati\\flusso"));
    EXPECT_EQ(f->txtUserPasswd->text(), QString());
    EXPECT_FALSE(f->chkSavePasswd->isChecked());
    EXPECT_EQ(f->txtUserPasswd->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f->txtUserPasswd->maxLength(), 8);
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    QTest::mouseClick(f->txtUserPasswd, Qt::LeftButton);
    keyClicksAsUser(f->txtUserPasswd, QStringLiteral("Segreta"));
    EXPECT_EQ(f->txtUserPasswd->text(), QStringLiteral("Segreta"));
    EXPECT_EQ(f->txtUserPasswd->displayText(), QStringLiteral("*******"));
    QStringList offices;
    for (int i = 0; i < f->cmbCustomOfficeCode->count(); ++i)
        offices << f->cmbCustomOfficeCode->itemText(i);
    EXPECT_EQ(offices, (QStringList{QStringLiteral("012100"), QStringLiteral("055000"), QStringLiteral("099999")}));
    EXPECT_EQ(f->cmbCustomOfficeCode->currentText(), QStringLiteral("012100"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Send, AKeptPasswordIsPrefilledAndAnOfficeNotListedIsNotChosen)
{
    db.execute(QStringLiteral("UPDATE Spedoga SET AutoPasswd = True, Ufficio = '012101' WHERE Codice = 'DICH01'"));
    auto f = open();
    EXPECT_EQ(f->txtUserPasswd->text(), QStringLiteral("Segreta"));
    EXPECT_TRUE(f->chkSavePasswd->isChecked());
    EXPECT_EQ(f->cmbCustomOfficeCode->currentIndex(), -1);
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(boxes.shown, std::vector<Message>{NoOffice});
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(onShare().isEmpty());
}

TEST_F(Send, ADeclarantWithoutEdiUserCodeIsTold)
{
    db.execute(QStringLiteral("UPDATE Corbix SET FattoDa = 'DICH02'"));
    startOn(1);
    frmSendMirsolan f(w.get(), FlussoElencato(*w));
    const Message expected{QStringLiteral("Nessun codice utenza al servizio MIRSOLAN risulta associato al "
                                          "dichiarante/rappresentante il cui codice coincide con 'DICH02'\r\n"
                                          "Definire tale associazione quindi riprovare."),
                           QStringLiteral("Corbix doganali"), MsgIcon::Information, MsgButtons::OK, 1};
    EXPECT_EQ(boxes.shown, std::vector<Message>{expected});
    EXPECT_EQ(f.cmbCustomOfficeCode->count(), 0);
    EXPECT_EQ(f.txtUserId->text(), QString());
}

TEST_F(Send, TheFlowIsCopiedOntoTheShareUnderItsNameAndDriveZIsGivenBack)
{
    const QString before = driveZ();
    auto f = open();
    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    f->cmbCustomOfficeCode->setCurrentIndex(1);
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(boxes.shown, std::vector<Message>{Sent});
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(onShare(), QStringList{QStringLiteral("26011507-055000")});
    EXPECT_EQ(bytes(tmp_.file(QStringLiteral("share/corbix/26011507-055000"))), FlowBytes);
    EXPECT_EQ(driveZ(), before);
    // Two seconds in the on-line test, four after mapping, two after unmapping.
    EXPECT_EQ(clock_.monotonicMs(), 8000);
    EXPECT_EQ(autoPasswd(), false);
}

TEST_F(Send, PasswordsAreComparedWithTheirCapitals)
{
    auto f = open();
    f->chkSavePasswd->setChecked(true);
    f->txtUserPasswd->setText(QStringLiteral("segreta"));
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(boxes.shown, std::vector<Message>{WrongPassword});
    EXPECT_EQ(f->txtUserPasswd->palette().color(QPalette::Base), uimain::ColoreRosso);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(autoPasswd(), false) << "nothing is stored before the password is right";
    EXPECT_FALSE(VerificaPassword(QStringLiteral("U009"), QString()));
    EXPECT_TRUE(VerificaPassword(QStringLiteral("U001"), QStringLiteral("Segreta")));
}

TEST_F(Send, AServiceOfflineIsRetriedOrGivenUpWithTheKeptPasswordStored)
{
    QFile::remove(drives_.folder() + QStringLiteral("/unc/MIRSOLAN/U001"));
    const QString before = driveZ();
    auto f = open();
    f->chkSavePasswd->setChecked(true);
    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    boxes.answer(MsgResult::Retry);
    boxes.answer(MsgResult::Cancel);
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(boxes.shown, (std::vector<Message>{Offline, Offline}));
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(autoPasswd(), true);
    EXPECT_EQ(driveZ(), before);
}

TEST_F(Send, TheShareIsMappedOnlyWhileTheFileIsCopied)
{
    platform::RecordingShareMapper mapper;
    platform::ScopedShareMapper guard(mapper);
    auto f = open();
    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    // The recorded mapping leads nowhere: the on-line test finds drive Z:
    // as the workstation has it, and the copy meets no "corbix" folder.
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(mapper.chiamate, (std::vector<QString>{QStringLiteral("mappa Z: \\\\MIRSOLAN\\U001"),
                                                     QStringLiteral("rimuovi Z:"),
                                                     QStringLiteral("mappa Z: \\\\MIRSOLAN\\U001"),
                                                     QStringLiteral("rimuovi Z:")}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 76:"))) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(entries(onC(QStringLiteral("Z"))).isEmpty());
}

TEST_F(Send, AMissingFlowFileIsToldAndLeavesNothingOnTheShare)
{
    QFile::remove(onC(QStringLiteral("Corbix/Corbix inviati/flusso")));
    const QString before = driveZ();
    auto f = open();
    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    clickAsUser(f->cmdConfirm);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 53:"))) << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(onShare().isEmpty());
    EXPECT_EQ(driveZ(), before);
    EXPECT_TRUE(f->isVisible());
}

// A user code "." or ".." names no share: it would lead to the folder of
// the service's shares or above. It is refused as a name, never taken for a
// machine off line, and nothing is mapped or copied.
TEST_F(Send, AUserCodeThatNamesNoShareIsRefused)
{
    const QString before = driveZ();
    const QString shares = drives_.folder() + QStringLiteral("/unc/MIRSOLAN");
    for (const char *codice : {".", ".."}) {
        db.execute(QStringLiteral("UPDATE Spedoga SET CodiceUtenza = ? WHERE Codice = 'DICH01'"),
                   {QString::fromLatin1(codice)}, dao::FailOnError);
        auto f = open();
        ASSERT_EQ(f->txtUserId->text(), QString::fromLatin1(codice));
        f->txtUserPasswd->setText(QStringLiteral("Segreta"));
        clickAsUser(f->cmdConfirm);
        EXPECT_EQ(boxes.shown, (std::vector<Message>{{QStringLiteral("Errore di Run-time 52:\r\nNome o numero di "
                                                                     "file non valido."),
                                                      QStringLiteral("Corbix doganali"), MsgIcon::Critical,
                                                      MsgButtons::OK, 1}}))
            << codice;
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(driveZ(), before);
        EXPECT_TRUE(onShare().isEmpty());
        EXPECT_EQ(entries(shares), QStringList{QStringLiteral("U001")});
    }
}

TEST_F(Send, TheProgressiveNumberIsCheckedWhenLeftAndBeforeASendFromItsField)
{
    auto f = open();
    struct Case {
        const char *typed;
        const char *shown;
        bool red;
    } cases[] = {{"7", "07", false}, {"12", "12", false}, {"-1", "-1", true}, {"x", "x", true}, {" 5", "05", false}};
    for (const Case &c : cases) {
        f->txtProgNumber->setText(QString::fromLatin1(c.typed));
        f->txtProgNumber_LostFocus();
        EXPECT_EQ(f->txtProgNumber->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(f->txtProgNumber->palette().color(QPalette::Base) == uimain::ColoreRosso, c.red) << c.typed;
    }
    EXPECT_EQ(f->txtProgNumber->maxLength(), 2);

    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    f->txtProgNumber->setText(QStringLiteral("9"));
    QApplication::setActiveWindow(f.get());
    f->txtProgNumber->setFocus();
    ASSERT_TRUE(f->txtProgNumber->hasFocus());
    clickAsUser(f->cmdConfirm);
    EXPECT_EQ(onShare(), QStringList{QStringLiteral("26011509-012100")});
}

TEST_F(Send, TheShareFileNameTakesTheFlowsOwnDate)
{
    EXPECT_EQ(NomeFileServizio(QDate(2025, 12, 31), QStringLiteral("07"), QStringLiteral("012100")),
              QStringLiteral("25123107-012100"));
    EXPECT_EQ(NomeFileServizio(QDate(2026, 1, 5), QStringLiteral("-1"), QStringLiteral("012100")),
              QStringLiteral("260105-1-012100"));
}

TEST_F(Send, TheMainWindowsSendCommandOpensTheScreenOnTheRowClicked)
{
    uimain::RegisteredWindowFactory windows;
    RegistraInvio(windows);
    uimain::ScopedWindowFactory guard(windows);
    startOn(0);
    bool acted = false;
    QTimer::singleShot(0, w.get(), [&] {
        auto *f = w->findChild<frmSendMirsolan *>();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Corbex.Progressivo, 7);
        f->txtUserPasswd->setText(QStringLiteral("Segreta"));
        clickAsUser(f->cmdConfirm);
        acted = true;
    });
    sendFromTheMenu();
    EXPECT_TRUE(acted);
    EXPECT_EQ(onShare(), QStringList{QStringLiteral("26011507-012100")});
    EXPECT_EQ(registerRows().value(0).section(u'|', 3, 3), QStringLiteral("1"));
}

TEST_F(Send, AFlowFiledAgainUnderItsNumberWhileTheScreenIsOpenIsNotSent)
{
    // While the user types the password, another workstation deletes the
    // flow and files its own under the same date and number, with its own
    // archive copy: the send copies nothing, the user is told, and the list
    // is refilled.
    uimain::RegisteredWindowFactory windows;
    RegistraInvio(windows);
    uimain::ScopedWindowFactory guard(windows);
    startOn(0);
    QTimer::singleShot(0, w.get(), [&] {
        auto *f = w->findChild<frmSendMirsolan *>();
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(testsupport::otherProcessWrites(
                      onC(QStringLiteral("Archivio.mdb")),
                      QStringLiteral("DELETE FROM Corbix WHERE Posizione = 3;"
                                     "INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, "
                                     "Tipo, RifFloppy, FattoDa) VALUES (3, '2026-01-15', 7, "
                                     "'C:\\Corbix\\Corbix inviati\\altro', '2-15/01/2026-CD67890', 1, 1, "
                                     "'PRATICHE.007', 'DICH01')")),
                  0);
        f->txtUserPasswd->setText(QStringLiteral("Segreta"));
        clickAsUser(f->cmdConfirm);
        EXPECT_FALSE(f->isVisible());
    });
    sendFromTheMenu();
    EXPECT_EQ(boxes.shown, std::vector<Message>{box(
                               QStringLiteral("Il corbex selezionato non è più presente nel registro: l'elenco viene "
                                              "aggiornato."),
                               platform::MsgIcon::Information)});
    EXPECT_TRUE(onShare().isEmpty());
    EXPECT_EQ(registerRows(),
              QStringList{QStringLiteral("3 15/01/2026 7|C:\\Corbix\\Corbix inviati\\altro|2-15/01/2026-CD67890|1|1|"
                                         "PRATICHE.007|DICH01|<null>|<null>|<null>")});
    // The list shows the other workstation's flow as the register holds it.
    flowengine::DatiCorbex listed;
    ASSERT_TRUE(uimain::FlussoRigaGriglia(w->grdHistory, 0, listed));
    EXPECT_EQ(listed.NomeFile, QStringLiteral("C:\\Corbix\\Corbix inviati\\altro"));
    EXPECT_EQ(w->grdHistory->item(0, 6)->data(uimain::RuoloChiave).toString(), QStringLiteral("FLOPPY"));
}

namespace {

// The program's clock during a send, with a user at the keyboard: at one rest
// of the pause after the mapping the user presses Escape, which goes to the
// control that has the focus, and ticks "Salva password", once straight away
// and once as input a busy program finds waiting in its queue. At every rest it notes whether
// the busy cursor stands and asks the screen to be painted again.
class UserDuringThePause : public platform::FakeClock {
public:
    explicit UserDuringThePause(frmSendMirsolan &screen) : screen_(screen) {}
    void sleepMs(int ms) override
    {
        FakeClock::sleepMs(ms);
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyAtEveryRest = busyAtEveryRest && cursor && cursor->shape() == Qt::WaitCursor;
        screen_.update();
        // The on-line test has waited its 2 seconds; this is the pause after the mapping.
        if (monotonicMs() != 3000)
            return;
        keyClickAsUser(&screen_, Qt::Key_Escape);
        clickAsUser(screen_.chkSavePasswd);
        QCoreApplication::postEvent(QApplication::focusWidget(),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        const QPointF box(screen_.chkSavePasswd->rect().topLeft() + QPoint(8, screen_.chkSavePasswd->height() / 2));
        const QPointF global = screen_.chkSavePasswd->mapToGlobal(box);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(screen_.chkSavePasswd,
                                        new QMouseEvent(type, box, global, Qt::LeftButton,
                                                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                        Qt::NoModifier));
        acted = true;
    }

    bool busyAtEveryRest = true;
    bool acted = false;

private:
    frmSendMirsolan &screen_;
};

// Counts the paintings of a window, and the keys and clicks that reach its
// controls.
class Witness : public QObject {
public:
    int paints = 0;
    int inputs = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint: ++paints; break;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress: ++inputs; break;
        default: break;
        }
        return false;
    }
};

}  // namespace

// The share's mapping leads nowhere, so the copy fails after the pause and the
// screen stays open: what the user did during the pause is still there to see.
TEST_F(Send, ThePausesShowTheBusyCursorKeepTheScreenPaintedAndThrowTheUsersInputAway)
{
    platform::RecordingShareMapper mapper;
    platform::ScopedShareMapper guard(mapper);
    auto f = open();
    f->txtUserPasswd->setText(QStringLiteral("Segreta"));
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    Witness witness;
    for (QWidget *widget : std::initializer_list<QWidget *>{f.get(), f->cmdConfirm, f->chkSavePasswd})
        widget->installEventFilter(&witness);
    UserDuringThePause clock(*f);
    platform::ScopedClock clockGuard(clock);

    clickAsUser(f->cmdConfirm);
    EXPECT_TRUE(clock.acted);
    EXPECT_EQ(clock.monotonicMs(), 6000) << "the on-line test's 2 seconds and the 4 after the mapping";
    EXPECT_TRUE(clock.busyAtEveryRest);
    EXPECT_EQ(clock.sleeps, 6000 / platform::BusyWait::PaintIntervalMs);
    EXPECT_GE(witness.paints, clock.sleeps) << "painted after every rest";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 76:")));

    // Nothing of it comes later either.
    QCoreApplication::processEvents();
    EXPECT_EQ(witness.inputs, 1) << "only the press that began the send";
    EXPECT_FALSE(f->chkSavePasswd->isChecked());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->result(), QDialog::Rejected) << "never closed";
    // The screen takes the user's input again.
    clickAsUser(f->chkSavePasswd);
    EXPECT_TRUE(f->chkSavePasswd->isChecked());
}
