#include "compose_fixture.h"

#include "common/globals.h"
#include "platform/busywait.h"
#include "support/asuser.h"
#include "support/wizardfinish.h"
#include "support/smalldisk.h"
#include "ui/main/composition.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextEdit>
#include <QTemporaryDir>

using namespace uimain;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using testsupport::clickAsUser;

namespace {

const QString kInsert = QStringLiteral("Inserire il supporto magnetico previsto nell'unità A: e scegliere 'OK' quando "
                                       "si è pronti.");
const QString kListStored = QStringLiteral("1-04/03/2024-00001TO|5-04/03/2024-00005TO|");

class Road : public ComposeTest {
protected:
    Road() { QDir().mkpath(onC(QStringLiteral("Invio"))); }

    // The wizard on step 3 with declarations 1 and 5 (the C1 of 010101Z) ticked.
    std::unique_ptr<frmComposeNew> onStep3()
    {
        auto w = std::make_unique<frmComposeNew>();
        w->show();
        w->cmbDichiarante->setCurrentIndex(w->cmbDichiarante->findText(QStringLiteral("010101Z")));
        w->chkImport->setChecked(true);
        clickAsUser(w->cmdNextEnd);
        clickAsUser(w->cmdNextEnd);
        return w;
    }
    std::unique_ptr<frmComposeNew> onStep4(const QString &office = QStringLiteral("012100"))
    {
        auto w = onStep3();
        w->optWriteInDir->setChecked(true);
        clickAsUser(w->cmdNextEnd);
        w->cmbCustomOfficeCode->setEditText(office);
        w->txtProgNumber->setText(QStringLiteral("7"));
        w->txtPathXCorbex->setText(QStringLiteral("C:\\Invio\\"));
        return w;
    }
    // "&Fine", with the build screen driven by act once it is up; built
    // keeps what the screen gives back to the wizard.
    void finish(frmComposeNew &w, const std::function<void(frmFaiCorbex &)> &act)
    {
        built = testsupport::finishWizard(w, act);
    }
    testsupport::CorbexDiProva built;
    QList<QByteArray> lines(const QByteArray &bytes) const
    {
        QList<QByteArray> out = bytes.split('\n');
        out.removeLast();
        return out;
    }
    QString shownTitles() const
    {
        QStringList out;
        for (const Message &m : boxes_.shown)
            out << m.title;
        return out.join(u'|');
    }
};

}  // namespace

TEST_F(Road, ToTheRemovableMedium)
{
    tmp_.write(QStringLiteral("floppy/PRATICHE.001"), "x");
    tmp_.write(QStringLiteral("floppy/PRATICHE.002"), "x");
    auto w = onStep3();
    ASSERT_TRUE(w->optWriteOnFloppy->isChecked());
    QString instruction, title;
    bool details = true;
    finish(*w, [&](frmFaiCorbex &f) {
        instruction = f.lblInstruction->text();
        title = f.windowTitle();
        details = f.cmdView->isVisible();
        clickAsUser(f.cmdConfirm);
    });
    EXPECT_EQ(title, QStringLiteral("Preparazione corbex completata"));
    EXPECT_EQ(instruction, QStringLiteral("Preparazione del corbex completata correttamente. Scegliere 'OK' per "
                                          "procedere alla scrittura sul supporto magnetico previsto."));
    EXPECT_FALSE(details);
    EXPECT_EQ(boxes_.shown,
              (std::vector{box(kInsert, QStringLiteral("Corbix doganali"), MsgIcon::Information),
                           box(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente con "
                                              "il nome 'PRATICHE.003'."),
                               QStringLiteral("Corbix doganali"), MsgIcon::Information)}));
    EXPECT_FALSE(w->isVisible());

    const QByteArray archived = bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0")));
    QByteArray lf = archived;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.003"))), lf);
    EXPECT_FALSE(lf.contains('\r'));
    EXPECT_EQ(archived.count("\r\n"), 5);
    const QList<QByteArray> l = lines(lf);
    ASSERT_EQ(l.size(), 5);
    const char *prefixes[] = {"TC1      010101Z          00001T00", "?C11     010101Z          00001T00",
                              "TC1      010101Z          00005T00", "?C11     010101Z          00005T00",
                              "?C11     010101Z          00005T00"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(l[i].startsWith(prefixes[i])) << l[i].constData();
        EXPECT_TRUE(l[i].endsWith('\t')) << i;
    }
    EXPECT_TRUE(l[2].contains("\t202400005TO\t"));
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/1/C:\\Corbix\\Corbix inviati\\20260115-0/")
                                           + kListStored + QStringLiteral("/1/1/PRATICHE.003/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    EXPECT_FALSE(QFileInfo::exists(platform::hostPath(built.FileTemporaneo)));
    EXPECT_TRUE(built.CorbexScritto);
    EXPECT_EQ(built.FileSupporto, QStringLiteral("PRATICHE.003"));
    // The declarations are no longer offered.
    auto again = std::make_unique<frmComposeNew>();
    again->show();
    again->cmbDichiarante->setCurrentIndex(0);
    again->chkImport->setChecked(true);
    clickAsUser(again->cmdNextEnd);
    EXPECT_EQ(again->PassoCorrente, 1);
}

namespace {

// The messages as the user reads them; at the one that names the medium's
// file, what the medium then holds, as a user who takes it out there would
// carry it away.
class MediumAtTheMessage : public platform::RecordingMessageBoxService {
public:
    explicit MediumAtTheMessage(QString folder) : folder_(std::move(folder)) {}
    MsgResult show(const Message &message) override
    {
        if (message.text.startsWith(QStringLiteral("Il corbex è stato trasferito")))
            held = QDir(folder_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        return RecordingMessageBoxService::show(message);
    }
    QStringList held;

private:
    QString folder_;
};

}  // namespace

TEST_F(Road, TheMessageThatNamesTheMediumsFileComesOnceTheMediumHoldsItUnderThatName)
{
    MediumAtTheMessage boxes(tmp_.file(QStringLiteral("floppy")));
    platform::ScopedMessageBoxService guard(boxes);
    auto w = onStep3();
    finish(*w, [&](frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1], box(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente "
                                                 "con il nome 'PRATICHE.001'."),
                                  QStringLiteral("Corbix doganali"), MsgIcon::Information));
    EXPECT_EQ(boxes.held, QStringList{QStringLiteral("PRATICHE.001")});
    QByteArray lf = bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0")));
    lf.replace("\r\n", "\n");
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.001"))), lf);
    EXPECT_EQ(register_().size(), 1);
}

TEST_F(Road, ToAFolderWithItsEnvelope)
{
    auto w = onStep4();
    finish(*w, [&](frmFaiCorbex &f) {
        EXPECT_EQ(f.lblInstruction->text(), QStringLiteral("Preparazione del corbex completata correttamente. Scegliere "
                                                           "'OK' per procedere alla scrittura nella cartella "
                                                           "selezionata."));
        clickAsUser(f.cmdConfirm);
    });
    EXPECT_TRUE(boxes_.shown.empty()) << shownTexts().join(u'\n').toStdString();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->txtPathXCorbex->text(), QStringLiteral("C:\\Invio"));

    const QByteArray archived = bytes(inCorbix(QStringLiteral("Corbix inviati/20260115-0")));
    QByteArray lf = archived;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(bytes(onC(QStringLiteral("Invio/R0010115.T07"))), lf);
    EXPECT_EQ(archived.count("\r\n"), 6);
    const QList<QByteArray> l = lines(lf);
    ASSERT_EQ(l.size(), 6);
    EXPECT_EQ(l[0], QByteArray("R001            R0010115.T07            012100    010101Z         001 00006"));
    // The folder flow's prefix: 22 characters, four spaces in place of the reference.
    EXPECT_TRUE(l[1].startsWith("TC1           00001T00IM4\t012100\t010101Z\t202400001TO\t")) << l[1].constData();
    EXPECT_TRUE(l[2].startsWith("?C11          00001T002\t8481809990\t")) << l[2].constData();
    EXPECT_TRUE(l[3].startsWith("TC1           00005T00IM4\t012100\t010101Z\t202400005TO\t")) << l[3].constData();
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/7/C:\\Corbix\\Corbix inviati\\20260115-0/")
                                           + kListStored + QStringLiteral("/1/2/<null>/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    EXPECT_FALSE(QFileInfo::exists(platform::hostPath(built.FileTemporaneo)));
}

// Sent bare, the folder copy is named by the day and the number the wizard
// reserved, in two digits, whatever sign the number was typed with.
TEST_F(Road, ABareFolderCopyIsNamedByTheReservedNumber)
{
    common::OpzioniCorbix.SendWith = static_cast<common::CanaleInvio>(3);
    auto w = onStep4();
    w->txtProgNumber->setText(QStringLiteral("+7"));
    finish(*w, [&](frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
    EXPECT_TRUE(boxes_.shown.empty()) << shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("26011507-012100")});
    EXPECT_EQ(bytes(onC(QStringLiteral("Invio/26011507-012100"))).left(4), QByteArray("TC1 "));
    EXPECT_EQ(built.progressivo, 7);
    EXPECT_EQ(register_().size(), 1);
}

TEST_F(Road, AFolderTypedAsAHostPathTakesItsDriveFormAndReceivesTheFlow)
{
    auto w = onStep4();
    w->txtPathXCorbex->setText(onC(QStringLiteral("Invio")));
    w->chkSetDefaultPath->setChecked(true);
    finish(*w, [&](frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
    EXPECT_TRUE(boxes_.shown.empty()) << shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(w->txtPathXCorbex->text(), QStringLiteral("C:\\Invio"));
    EXPECT_EQ(common::OpzioniCorbix.UserDir, QStringLiteral("C:\\Invio"));
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(entries(onC(QString())).filter(QStringLiteral("R0010115")), QStringList());
    EXPECT_EQ(register_().size(), 1);
}

TEST_F(Road, AFolderTypedAsAHostPathOutsideTheDrivesIsRefused)
{
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    auto w = onStep4();
    w->txtPathXCorbex->setText(outside.path());
    clickAsUser(w->cmdNextEnd);
    EXPECT_EQ(w->PassoCorrente, 4);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(boxes_.shown, (std::vector<Message>{{QStringLiteral("Il percorso indicato per la cartella di destinazione "
                                                                  "non esiste. Indicare un percorso valido."),
                                                   QStringLiteral("Corbix Doganali"), MsgIcon::Information,
                                                   MsgButtons::OK, 1}}));
    EXPECT_EQ(w->txtPathXCorbex->text(), outside.path());
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_TRUE(QDir(outside.path()).isEmpty());
}

TEST_F(Road, AFolderRunAcrossMidnightFilesUnderTheDayOfItsReservation)
{
    auto w = onStep4();
    finish(*w, [&](frmFaiCorbex &f) {
        clock_.setNow(QDateTime(QDate(2026, 1, 16), QTime(0, 0, 5)));
        clickAsUser(f.cmdConfirm);
    });
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList{QStringLiteral("R0010115.T07")});
    EXPECT_EQ(entries(inCorbix(QStringLiteral("Corbix inviati"))), QStringList{QStringLiteral("20260115-0")});
    EXPECT_EQ(register_().size(), 1);
    EXPECT_TRUE(register_()[0].startsWith(QStringLiteral("3/2026-01-15/7/C:\\Corbix\\Corbix inviati\\20260115-0/")));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
}

TEST_F(Road, CancellingTheBuildOfAFolderFlowDeletesItsReservedRow)
{
    execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, Stato, Tipo) VALUES (3, ?, 8, 1, 2)"),
            {today()});
    auto w = onStep4();
    finish(*w, [&](frmFaiCorbex &f) {
        EXPECT_EQ(register_().size(), 2);
        clickAsUser(f.cmdCancel);
    });
    EXPECT_TRUE(built.AnnullaCreazione);
    EXPECT_FALSE(built.CorbexScritto);
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/8//<null>/1/2//"));
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_EQ(entries(onC(QStringLiteral("Invio"))), QStringList());
    EXPECT_EQ(entries(inCorbix(QStringLiteral("Corbix inviati"))), QStringList());
    // The built files stay in TEMP.
    EXPECT_FALSE(entries(inCorbix(QStringLiteral("TEMP"))).isEmpty());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Road, AMissingLinkToTheEdiServiceKeepsTheScreenOpenUntilCancelled)
{
    const struct {
        const char *name, *office, *text, *title;
    } cases[] = {
        {"no compartment CED", "052100",
         "Impossibile procedere: manca il collegamento fra l'ufficio doganale ed il codice del relativo C.E.D. "
         "compartimentale.\r\nProvvedere a definire tale collegamento attraverso la maschera della 'Gestione dei "
         "compartimenti' quindi riprovare.",
         "Corbix"},
        {"no EDI account", "032100",
         "Impossibile completare la generazione del corbex telematico: non risultano definiti i dati di utenza per "
         "il dichiarante/rappresenetate o per il compartimento doganale di destinazione.\r\nProvvedere a definire "
         "tali dati attraverso la maschera 'Utenze E.D.I.' quindi riprovare",
         "CORBIX"},
    };
    for (const auto &c : cases) {
        boxes_.shown.clear();
        auto w = onStep4(QString::fromLatin1(c.office));
        finish(*w, [&](frmFaiCorbex &f) {
            const QByteArray scritto = bytes(platform::hostPath(f.FileCorbex));
            clickAsUser(f.cmdConfirm);
            EXPECT_TRUE(f.isVisible()) << c.name;
            EXPECT_EQ(bytes(platform::hostPath(f.FileCorbex)), scritto) << c.name;
            clickAsUser(f.cmdCancel);
        });
        const MsgIcon icon = QLatin1String(c.title) == QLatin1String("Corbix") ? MsgIcon::Information : MsgIcon::None;
        EXPECT_EQ(boxes_.shown, std::vector{box(QString::fromUtf8(c.text), QString::fromLatin1(c.title), icon)})
            << c.name;
        EXPECT_TRUE(register_().isEmpty()) << c.name;
        EXPECT_EQ(stati(), QStringLiteral("00000")) << c.name;
    }
}

TEST_F(Road, AMediumNotReadyIsRetriedOrGivenUp)
{
    QDir(tmp_.file(QStringLiteral("floppy"))).removeRecursively();
    const Message notReady =
        box(QStringLiteral("Periferica non disponibile."), QStringLiteral("CORBIX"), MsgIcon::Critical, MsgButtons::RetryCancel);
    auto w = onStep3();
    finish(*w, [&](frmFaiCorbex &f) {
        boxes_.answer(MsgResult::OK);
        boxes_.answer(MsgResult::Retry);
        boxes_.answer(MsgResult::Cancel);
        clickAsUser(f.cmdConfirm);
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.Corbex.CorbexScritto);
        QDir().mkpath(tmp_.file(QStringLiteral("floppy")));
        clickAsUser(f.cmdConfirm);
    });
    const Message insert = box(kInsert, QStringLiteral("Corbix doganali"), MsgIcon::Information);
    EXPECT_EQ(boxes_.shown,
              (std::vector{insert, notReady, notReady, insert,
                           box(QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente con "
                                              "il nome 'PRATICHE.001'."),
                               QStringLiteral("Corbix doganali"), MsgIcon::Information)}));
    EXPECT_EQ(register_().size(), 1);
    EXPECT_EQ(stati(), QStringLiteral("20002"));
}

TEST_F(Road, AFullMediumAsksForAnotherOne)
{
    for (int n = 1; n <= 999; ++n)
        tmp_.write(QStringLiteral("floppy/PRATICHE.%1").arg(n, 3, 10, QLatin1Char('0')), "");
    auto w = onStep3();
    finish(*w, [&](frmFaiCorbex &f) {
        boxes_.answer(MsgResult::OK);
        boxes_.answer(MsgResult::Retry);
        boxes_.answer(MsgResult::Cancel);
        clickAsUser(f.cmdConfirm);
        EXPECT_TRUE(f.isVisible());
        clickAsUser(f.cmdCancel);
    });
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_TRUE(boxes_.shown[1].text.startsWith(QStringLiteral("Impossibile scrivere il corbex su questo supporto")));
    EXPECT_EQ(boxes_.shown[2], boxes_.shown[1]);
    EXPECT_EQ(boxes_.shown[1].buttons, MsgButtons::RetryCancel);
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
}

TEST_F(Road, RefusedDeclarationsAreListedAndLeftFree)
{
    common::OpzioniCorbix.PreventCheck = true;
    execute(QStringLiteral("DELETE FROM DettaglioBol WHERE Indice = 5 AND Modulo = 'F' AND Campo = '29'"));
    auto w = onStep3();
    finish(*w, [&](frmFaiCorbex &f) {
        EXPECT_EQ(f.lblInstruction->text(),
                  QStringLiteral("Sono stati rilevati 1 errori durante la generazione del corbex. E' possibile comunque "
                                 "scrivere il corbex sul supporto magnetico scegliendo 'OK' o vedere gli errori "
                                 "rilevati attraverso 'Dettagli'"));
        EXPECT_TRUE(f.cmdView->isVisible());
        const int height = f.height();
        clickAsUser(f.cmdView);
        EXPECT_EQ(f.cmdView->text(), QStringLiteral("<< &Nascondi"));
        EXPECT_GT(f.height(), height);
        clickAsUser(f.cmdView);
        EXPECT_EQ(f.height(), height);
        EXPECT_EQ(f.cmdView->text(), QStringLiteral("&Dettagli >>"));
        clickAsUser(f.cmdView);
        EXPECT_EQ(f.rtfErroriRilevati->toPlainText(),
                  QStringLiteral("Quandera Doganale N° 5 - 04/03/2024: Assenza di un campo obbligatorio -> Ufficio "
                                 "doganale\n"));
        clickAsUser(f.cmdConfirm);
    });
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/1/C:\\Corbix\\Corbix inviati\\20260115-0/"
                                                      "1-04/03/2024-00001TO|/1/1/PRATICHE.001/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20000"));
    EXPECT_EQ(lines(bytes(onFloppy(QStringLiteral("PRATICHE.001")))).size(), 2);
}

TEST_F(Road, AFailedBuildReportsAndFilesNothing)
{
    QFile::remove(common::CartellaProgramma + QStringLiteral("Corbix.mdb"));
    auto w = onStep4();
    bool closed = false;
    finish(*w, [&](frmFaiCorbex &f) { closed = !f.isVisible(); });
    EXPECT_TRUE(closed);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].text.startsWith(QStringLiteral("Errore di Run-time 3024\r\n")));
    EXPECT_EQ(boxes_.shown[0].title, QStringLiteral("CORBIX"));
    EXPECT_EQ(boxes_.shown[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(built.CorbexScritto);
    EXPECT_EQ(built.ElencoComposizione, QString());
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
}

// The medium is full at the "OK": the user reads "Disco pieno.", nothing is
// filed, the declarations stay free, nothing of the run is left on the
// medium or in TEMP, and the same composition goes through once space is
// freed.
TEST_F(Road, AFullMediumIsToldAsSuchAndTheSameCompositionGoesThroughOnceSpaceIsFreed)
{
    testsupport::SmallDisk disk(256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason().toStdString();
    drives_.setDrive(u'a', disk.path());
    disk.fill();
    auto w = onStep3();
    finish(*w, [&](frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1],
              box(QStringLiteral("Errore di Run-time 61\r\nDisco pieno."), QStringLiteral("CORBIX"), MsgIcon::Critical));
    EXPECT_FALSE(built.CorbexScritto);
    EXPECT_TRUE(register_().isEmpty());
    EXPECT_EQ(stati(), QStringLiteral("00000"));
    EXPECT_EQ(entries(disk.path()), QStringList{QStringLiteral(".riempitivo")});
    EXPECT_EQ(entries(inCorbix(QStringLiteral("TEMP"))), QStringList{});

    disk.free();
    boxes_.shown.clear();
    auto again = onStep3();
    finish(*again, [&](frmFaiCorbex &f) { clickAsUser(f.cmdConfirm); });
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].text, QStringLiteral("Il corbex è stato trasferito sul supporto magnetico correttamente "
                                                   "con il nome 'PRATICHE.001'."));
    EXPECT_EQ(entries(disk.path()), QStringList{QStringLiteral("PRATICHE.001")});
    EXPECT_EQ(stati(), QStringLiteral("20002"));
}

namespace {

// The wizard's paintings once the build screen has gone, while the flow is
// filed: whether the busy cursor stood at each, and the keys and clicks that
// reached the wizard. At the first one the user presses Escape and clicks
// "A&nnulla", input a busy program finds waiting in its queue; each painting
// asks for the next, so the wizard is painted whenever the filing lets it.
class FilingWitness : public QObject {
public:
    explicit FilingWitness(frmComposeNew &wizard) : wizard_(wizard)
    {
        for (QWidget *w : std::initializer_list<QWidget *>{&wizard, wizard.cmdCancel})
            w->installEventFilter(this);
    }
    int paints = 0;
    bool busyAtEachPaint = true;
    int inputs = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            ++inputs;
        const frmFaiCorbex *build = wizard_.findChild<frmFaiCorbex *>();
        if (build && build->isVisible())
            buildSeen_ = true;
        // Only the paintings after the build screen has gone count.
        if (event->type() != QEvent::Paint || (build && build->isVisible()) || !buildSeen_)
            return false;
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyAtEachPaint = busyAtEachPaint && cursor && cursor->shape() == Qt::WaitCursor;
        if (paints++ == 0) {
            QCoreApplication::postEvent(&wizard_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            const QPointF centre = QRectF(wizard_.cmdCancel->rect()).center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(
                    wizard_.cmdCancel,
                    new QMouseEvent(type, centre, wizard_.cmdCancel->mapToGlobal(centre), Qt::LeftButton,
                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
        }
        wizard_.update();
        return false;
    }

private:
    frmComposeNew &wizard_;
    bool buildSeen_ = false;
};

}  // namespace

TEST_F(Road, TheFilingShowsTheBusyCursorKeepsTheWizardPaintedAndFilesTheSameRows)
{
    SteppingClock clock(platform::BusyWait::PaintIntervalMs);
    platform::ScopedClock guard(clock);
    auto w = onStep3();
    FilingWitness witness(*w);
    finish(*w, [&](frmFaiCorbex &f) {
        clickAsUser(f.cmdConfirm);
        witness.inputs = 0;
        // The build screen has gone from over the wizard.
        w->update();
    });
    // Painted where the build screen stood, then once for each declaration marked.
    EXPECT_GE(witness.paints, 3);
    EXPECT_TRUE(witness.busyAtEachPaint);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(witness.inputs, 0) << "thrown away, not delivered afterwards";
    EXPECT_EQ(register_().join(u'\n'), QStringLiteral("3/2026-01-15/1/C:\\Corbix\\Corbix inviati\\20260115-0/")
                                           + kListStored + QStringLiteral("/1/1/PRATICHE.001/010101Z"));
    EXPECT_EQ(stati(), QStringLiteral("20002"));
    EXPECT_EQ(bytes(onFloppy(QStringLiteral("PRATICHE.001"))).count('\n'), 5);
    EXPECT_FALSE(w->isVisible());
}
