#include "fit.h"
#include "ui/main/compose_fixture.h"
#include "ui/main/fixture.h"

#include "common/settings.h"
#include "support/tempdir.h"
#include "common/frmmirsomsg.h"
#include "support/asuser.h"
#include "support/doubles/recordingfiledialog.h"
#include "support/doubles/recordingthreebuttondialog.h"
#include "support/wizardfinish.h"
#include "ui/main/filedialog.h"
#include "ui/main/frmcomandosql.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frmfaicorbex.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"
#include "ui/main/frmreplicaedi.h"
#include "ui/main/windowfactory.h"
#include "ui/tables/frmcompartdog.h"
#include "ui/tables/frmcontodoga.h"
#include "ui/tables/frmhelppianodeiconti.h"
#include "ui/tables/frmspedoga.h"
#include "ui/tables/frmstati.h"
#include "ui/tables/frmutenzeedi.h"
#include "ui/tables/frmvaluta.h"
#include "ui/tables/tables.h"
#include "ui/tables/tablescreen.h"
#include "ui/transmission/frmarchivelink.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmaswerreport.h"
#include "ui/transmission/frmfirstexecution.h"
#include "ui/transmission/frmopzionicorbix.h"
#include "ui/transmission/frmreicevemirsolan.h"
#include "ui/transmission/frmselectdir.h"
#include "ui/transmission/frmsendmirsolan.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <QtEndian>
#include <iostream>

using namespace uimain;
using namespace uitransmission;
using namespace uitables;
using testsupport::clickAsUser;

namespace {

// The sample program folder, a register whose counters run to three digits,
// the main window started on it and an accounting database for the chart
// lookup. Every finding of every window is gathered, named by the window and
// its state, and all of them are reported together.
class Windows : public ComposeTest {
protected:
    Windows() : previous_(QDir::currentPath())
    {
        // Qt's dialogs keep their settings apart from the user's.
        QStandardPaths::setTestModeEnabled(true);
        QDir::setCurrent(tmp_.file(QStringLiteral("prog")));
        execute(QStringLiteral("INSERT INTO Corbix (Posizione, Data, Progressivo, NomeFile, CompostoDa, Stato, Tipo, "
                               "RifFloppy, FattoDa, OK, KO, ND) VALUES "
                               "(3, '2026-01-10', 1234567, 'C:\\Corbix\\Corbix inviati\\20260110-0', "
                               "'1-10/01/2026-AB12345', 5, 1, NULL, '030201H', 255, 208, 188), "
                               "(2, '2026-01-11', 7, NULL, NULL, 2, 2, 'PRATICHE.001', 'DICH02', 123, 45, 6)"));
        common::PercorsoArchivio = QStringLiteral("C:\\Archivio.mdb");
        EXPECT_TRUE(common::ScriviIni());
        common::createAccountingDatabase(onC(QStringLiteral("Conti.mdb")))
            .execute(QStringLiteral("INSERT INTO PianoDeiConti (Codice, Descrizione, natura, parola) VALUES "
                                    "('01.0001', 'Banca d''Italia, conto ordinario', 'P', 'ATT')"),
                     {}, dao::FailOnError);
        common::PercorsoContabilita = QStringLiteral("C:\\Conti.mdb");
        main_ = std::make_unique<frmMain>();
        EXPECT_TRUE(main_->Form_Load());
        main_->show();
    }
    ~Windows() override
    {
        main_.reset();
        QDir::setCurrent(previous_);
    }

    // The window as shown now, and as shown on each page of its tab controls.
    void check(QWidget *window, const QString &state)
    {
        // Layouts settle; timers (a build about to start) do not run.
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QString name = QString::fromLatin1(window->metaObject()->className()) + u' ' + state + QStringLiteral(": ");
        const QList<QTabWidget *> tabs = window->findChildren<QTabWidget *>();
        // A bar shows how far the work is, never a percentage.
        for (const QProgressBar *bar : window->findChildren<QProgressBar *>())
            if (bar->isTextVisible())
                findings << name + bar->objectName() + QStringLiteral(": shows its text");
        for (const QString &d : difettiFinestra(window))
            findings << name + d;
        for (QTabWidget *tab : tabs)
            for (int page = 1; page < tab->count(); ++page) {
                tab->setCurrentIndex(page);
                QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                for (const QString &d : difettiFinestra(window))
                    findings << name + tab->tabText(page) + QStringLiteral(": ") + d;
            }
    }
    template <class Window>
    void checkShown(Window &w, const QString &state)
    {
        w.show();
        check(&w, state);
    }
    // A table screen in its start mode, then adding, then searching, then on
    // the first row found.
    template <class Screen>
    void checkTable(const char *table)
    {
        Screen w(main_.get());
        w.Tag = QStringLiteral("TableName=%1;UpDatable=True;Deletable=True").arg(QLatin1String(table));
        checkShown(w, QStringLiteral("start"));
        clickAsUser(w.cmdAdd);
        check(&w, QStringLiteral("add"));
        clickAsUser(w.cmdCancel);
        if (w.isVisible()) {
            clickAsUser(w.cmdSearch);
            check(&w, QStringLiteral("search"));
            clickAsUser(w.cmdVirtual);
            check(&w, QStringLiteral("found"));
        }
    }

    QString previous_;
    std::unique_ptr<frmMain> main_;
    QStringList findings;
    common::RecordingThreeButtonDialogService dialogs_;
    common::ScopedThreeButtonDialogService dialogsGuard_{dialogs_};
    RecordingFileDialogService files_;
    ScopedFileDialogService filesGuard_{files_};
};

TEST_F(Windows, EveryWindowShowsEveryTextWholeWithoutOverlapsOnA1024x768Screen)
{
    ASSERT_EQ(QApplication::font().family(), QStringLiteral("Liberation Sans"));
    ASSERT_EQ(QApplication::font().pointSize(), 8);
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("Liberation Sans")) << "fonts-liberation";
    common::RigaSelezionata = 1;
    check(main_.get(), QStringLiteral("list"));

    {
        frmComposeNew w(main_.get());
        checkShown(w, QStringLiteral("step 1"));
        w.cmbDichiarante->setCurrentIndex(w.cmbDichiarante->findText(sampledata::Dichiarante1));
        for (QCheckBox *box : {w.chkImport, w.chkExport, w.chkInDeposito, w.chkExportSempif})
            box->setChecked(true);
        check(&w, QStringLiteral("step 1 filled"));
        clickAsUser(w.cmdNextEnd);
        ASSERT_EQ(w.PassoCorrente, 2);
        check(&w, QStringLiteral("step 2"));
        clickAsUser(w.cmdNextEnd);
        ASSERT_EQ(w.PassoCorrente, 3);
        check(&w, QStringLiteral("step 3"));
        w.optWriteInDir->setChecked(true);
        clickAsUser(w.cmdNextEnd);
        ASSERT_EQ(w.PassoCorrente, 4);
        w.cmbCustomOfficeCode->setEditText(QStringLiteral("012100"));
        w.txtProgNumber->setText(QStringLiteral("99"));
        check(&w, QStringLiteral("step 4"));
    }
    {
        // More declarations than the grid shows: its scroll bar takes room
        // from the columns.
        copiesOfDeclaration1(100, 20);
        frmComposeNew w(main_.get());
        w.show();
        w.cmbDichiarante->setCurrentIndex(w.cmbDichiarante->findText(sampledata::Dichiarante1));
        w.chkImport->setChecked(true);
        clickAsUser(w.cmdNextEnd);
        ASSERT_EQ(w.PassoCorrente, 2);
        ASSERT_GT(w.grdListaDich->rowCount(), 20);
        check(&w, QStringLiteral("step 2 with many rows"));
        execute(QStringLiteral("DELETE FROM DettaglioBol WHERE Indice >= 100"));
        execute(QStringLiteral("DELETE FROM IndiceDoc WHERE Indice >= 100"));
    }
    {
        // The build screen while it builds, with its outcome, with its errors.
        common::OpzioniCorbix.PreventCheck = true;
        execute(QStringLiteral("DELETE FROM DettaglioBol WHERE Indice = 5 AND Modulo = 'F' AND Campo = '29'"));
        frmComposeNew w(main_.get());
        w.show();
        w.cmbDichiarante->setCurrentIndex(w.cmbDichiarante->findText(sampledata::Dichiarante1));
        w.chkImport->setChecked(true);
        clickAsUser(w.cmdNextEnd);
        clickAsUser(w.cmdNextEnd);
        ASSERT_EQ(w.PassoCorrente, 3);
        w.optWriteOnFloppy->setChecked(true);
        bool built = false;
        QTimer::singleShot(0, &w, [&] {
            frmFaiCorbex *f = w.findChild<frmFaiCorbex *>();
            ASSERT_NE(f, nullptr);
            f->lblDescrDich->setText(QStringLiteral("4000005 04/03/2024"));
            f->lblNumeroErrori->setText(QStringLiteral("1234"));
            check(f, QStringLiteral("building"));
            testsupport::AtBuildOutcome outcome(*f, [&] {
                check(f, QStringLiteral("built with errors"));
                clickAsUser(f->cmdView);
                check(f, QStringLiteral("details"));
                built = true;
                clickAsUser(f->cmdCancel);
            });
            f->Form_Activate();
        });
        clickAsUser(w.cmdNextEnd);
        EXPECT_TRUE(built) << "the build screen did not open";
    }
    {
        FrmComandoSql w(main_.get());
        w.Form_Load();
        checkShown(w, QString());
    }
    {
        FrmInformazioni w(main_.get());
        w.Form_Load();
        checkShown(w, QString());
    }
    {
        frmReplicaEDI w(main_.get());
        w.Form_Load();
        w.txtProgNumber->setText(QStringLiteral("99"));
        checkShown(w, QString());
    }
    checkTable<frmUtenzeEDI>("UtenzeEdi");
    checkTable<frmCompartDog>("CompDog");
    checkTable<frmcontodoga>("ContoDoga");
    checkTable<frmspedoga>("Spedoga");
    checkTable<frmstati>("Stati");
    checkTable<frmvaluta>("Valuta");
    {
        QLineEdit caller;
        FrmHelpPianoDeiConti w(main_.get());
        QTimer::singleShot(0, &w, [&] {
            check(&w, QString());
            clickAsUser(w.CmdUscita);
        });
        w.Avvia(&caller);
    }
    {
        frmArchiveLink w(main_.get());
        checkShown(w, QString());
        frmSetPickPoint p(&w);
        checkShown(p, QString());
    }
    {
        frmReiceveMirsolan w(main_.get(), FlussoElencato(*main_));
        checkShown(w, QString());
    }
    {
        // The widest values the window shows.
        frmSendMirsolan w(main_.get(), FlussoElencato(*main_));
        w.txtUserId->setText(QStringLiteral("WWWW"));
        w.txtMessageDate->setText(QStringLiteral("30/08/2026"));
        w.txtProgNumber->setText(QStringLiteral("99"));
        checkShown(w, QString());
    }
    {
        frmAswerReport w(main_.get(), FlussoElencato(*main_));
        w.Form_Load();
        checkShown(w, QString());
    }
    {
        frmOpzioniCorbix w(main_.get());
        checkShown(w, QString());
    }
    {
        // An answer of a type not processed leaves the window in its
        // processing layout.
        frmAswerProcess w(main_.get(), FlussoElencato(*main_));
        checkShown(w, QStringLiteral("notice"));
        clickAsUser(w.cmdStart);
        w.txtDocNumber->setText(QStringLiteral("4000005"));
        w.txtDocDate->setText(QStringLiteral("04/03/2024"));
        w.txtCustomReference->setText(QStringLiteral("CD56789012345"));
        for (QLabel *count : {w.txtDocSuccess, w.txtDocFailure, w.txtStrange})
            count->setText(QStringLiteral("9999"));
        check(&w, QStringLiteral("processing"));
    }
    {
        common::createArchive(onC(QStringLiteral("Nuovo.mdb"))).close();
        frmFirstExecution w;
        checkShown(w, QStringLiteral("step 1"));
        clickAsUser(w.cmdConfirm);
        check(&w, QStringLiteral("step 2"));
        w.txtPathName->setText(QStringLiteral("C:\\Nuovo.mdb"));
        clickAsUser(w.cmdConfirm);
        check(&w, QStringLiteral("step 3"));
        clickAsUser(w.cmdConfirm);
        check(&w, QStringLiteral("step 4"));
    }
    for (const bool full : {true, false}) {
        frmSelectDir w(main_.get());
        w.dlbDirveList->setVisible(full);
        w.lblPath->setVisible(full);
        w.Tag = QStringLiteral("C:\\Corbix\\Risposte Pervenute");
        checkShown(w, full ? QStringLiteral("with drive and path") : QStringLiteral("bare"));
    }
    {
        // Qt's own file dialog, on a folder with archives in it, with the
        // column widths Qt gives it before a user changes them (it keeps
        // them in its settings, here the test's own).
        QSettings(QSettings::UserScope, QStringLiteral("QtProject")).remove(QStringLiteral("FileDialog"));
        // A name longer than the dialog's first width leaves for its columns.
        QFile copy(onC(QStringLiteral("Archivio delle dichiarazioni doganali 2026 - copia di sicurezza.mdb")));
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.close();
        QtFileDialogService files;
        bool shown = false;
        QTimer::singleShot(0, main_.get(), [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto *list = dialog->findChild<QTreeView *>();
            ASSERT_NE(list, nullptr);
            // The folder is read, then each file's size, type and date.
            const QAbstractItemModel *modello = list->model();
            EXPECT_TRUE(QTest::qWaitFor([&] {
                const int rows = modello->rowCount(list->rootIndex());
                for (int r = 0; r < rows; ++r)
                    if (modello->index(r, 3, list->rootIndex()).data().toString().isEmpty())
                        return false;
                return rows > 0;
            }));
            // Its sizes, types and dates in Italian, whatever the system's
            // locale.
            QStringList seen;
            for (int r = 0; r < modello->rowCount(list->rootIndex()); ++r) {
                const auto cell = [&](int c) { return modello->index(r, c, list->rootIndex()).data().toString(); };
                if (cell(0) == QStringLiteral("Corbix") || cell(0) == QStringLiteral("Archivio.mdb"))
                    seen << cell(0) + u'|' + cell(1) + u'|' + cell(2);
                const QRegularExpression date(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"));
                EXPECT_TRUE(date.match(cell(3)).hasMatch())
                    << cell(0).toStdString() << ": " << cell(3).toStdString();
            }
            seen.sort();
            const qint64 archive = QFileInfo(onC(QStringLiteral("Archivio.mdb"))).size();
            EXPECT_EQ(seen, QStringList({QStringLiteral("Archivio.mdb|%1|Database JET")
                                             .arg(QLocale(QLocale::Italian).formattedDataSize(archive)),
                                         QStringLiteral("Corbix||Cartella")}));
            // The list fits its columns to what it has read on its next turn.
            QCoreApplication::processEvents();
            check(dialog, QString());
            shown = true;
            dialog->reject();
        });
        RichiestaFile request;
        request.titolo = QStringLiteral("Scegliere l'archivio a cui collegarsi");
        request.filtro = QStringLiteral("Archivi (*.mdb) |*.mdb|");
        request.cartellaIniziale = QStringLiteral("C:\\");
        files.scegli(main_.get(), request);
        EXPECT_TRUE(shown);
    }
    for (const auto &[adjust, accept] : {std::pair{false, false}, {true, false}, {true, true}}) {
        common::frmMirsoMsg w(main_.get());
        w.setWindowTitle(QStringLiteral("Codice fiscale"));
        w.lblMessage->setText(QStringLiteral("Il carattere 16 è errato.\nCarattere di controllo errato: il codice "
                                             "non corrisponde a quello calcolato sugli altri caratteri.\nScegliere "
                                             "'Correggi' per correggere automaticamente l'errore"));
        w.cmdAdjust->setVisible(adjust);
        w.cmdAccept->setVisible(accept);
        checkShown(w, QStringLiteral("%1 %2").arg(adjust).arg(accept));
    }
    EXPECT_EQ(findings.join(u'\n'), QString());
}

// Every face the screens and reports ask for is drawn with the font the
// project installs for it, never with what fontconfig would fall back to.
// Where the window's frame stands from the centre of its owner's frame, in
// half pixels: an odd difference of sizes leaves half a pixel.
QPoint offCentre(const QWidget *window, const QWidget *owner)
{
    const QRect w = window->frameGeometry(), o = owner->frameGeometry();
    return (w.topLeft() * 2 + QPoint(w.width(), w.height())) - (o.topLeft() * 2 + QPoint(o.width(), o.height()));
}

// Each table screen opens centred on the window it is opened from, frames
// included, and whole on the screen: the accounts from the main window's
// menu, the countries from the compartments' country field, the currencies
// from the countries' currency field.
TEST_F(Windows, EachTableScreenOpensCentredOnTheWindowItIsOpenedFrom)
{
    RegisteredWindowFactory finestre;
    RegistraTabelle(finestre);
    ScopedWindowFactory finestreGuard(finestre);
    // The main window enables the commands of the windows registered when it
    // is made.
    main_ = std::make_unique<frmMain>();
    ASSERT_TRUE(main_->Form_Load());
    main_->show();
    ASSERT_TRUE(main_->EDIAccounts->isEnabled());
    const QRect screen = main_->screen()->availableGeometry();
    // Away from the screen's centre, so that a screen centred on the screen
    // is told from one centred on its owner.
    main_->move(screen.topLeft() + QPoint(20, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    auto closeAsUser = [](TableScreen *w) {
        for (int i = 0; i < 3 && w->isVisible(); ++i)
            clickAsUser(w->cmdCancel);
        EXPECT_FALSE(w->isVisible());
    };
    auto expectCentred = [](const QWidget *w, const QWidget *owner, const char *which) {
        const QPoint off = offCentre(w, owner);
        EXPECT_LE(std::abs(off.x()), 2 * 3) << which << " " << off.x() / 2.0 << " px beside its owner's centre";
        EXPECT_LE(std::abs(off.y()), 2 * 3) << which << " " << off.y() / 2.0 << " px from its owner's centre";
    };
    bool accounts = false;
    QTimer::singleShot(0, main_.get(), [&] {
        auto *w = qobject_cast<frmUtenzeEDI *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        expectCentred(w, main_.get(), "the accounts");
        accounts = true;
        closeAsUser(w);
    });
    main_->EDIAccounts->trigger();
    EXPECT_TRUE(accounts) << "the accounts did not open";

    int opened = 0;
    QTimer::singleShot(0, main_.get(), [&] {
        auto *compartments = qobject_cast<frmCompartDog *>(QApplication::activeModalWidget());
        ASSERT_NE(compartments, nullptr);
        expectCentred(compartments, main_.get(), "the compartments");
        ++opened;
        clickAsUser(compartments->cmdAdd);
        QTimer::singleShot(0, compartments, [&] {
            auto *countries = qobject_cast<frmstati *>(QApplication::activeModalWidget());
            ASSERT_NE(countries, nullptr);
            expectCentred(countries, compartments, "the countries");
            ++opened;
            QTimer::singleShot(0, countries, [&] {
                auto *currencies = qobject_cast<frmvaluta *>(QApplication::activeModalWidget());
                ASSERT_NE(currencies, nullptr);
                expectCentred(currencies, countries, "the currencies");
                ++opened;
                closeAsUser(currencies);
            });
            QTest::mouseDClick(countries->txtValuta, Qt::LeftButton);
            closeAsUser(countries);
        });
        QTest::mouseDClick(compartments->txtStato, Qt::LeftButton);
        closeAsUser(compartments);
    });
    main_->mnuCompartDog->trigger();
    EXPECT_EQ(opened, 3);

    // The main window half off the screen's left edge: the accounts open
    // whole on the screen, as near its centre as they can.
    main_->move(screen.left() - main_->frameGeometry().width() / 2 - 40, main_->y());
    QTimer::singleShot(0, main_.get(), [&] {
        auto *w = qobject_cast<frmUtenzeEDI *>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->frameGeometry().left(), screen.left());
        EXPECT_LE(std::abs(offCentre(w, main_.get()).y()), 2 * 3);
        closeAsUser(w);
    });
    main_->EDIAccounts->trigger();
}

TEST_F(Windows, EveryFontTheProgramSetsIsDrawnWithTheFontInstalledForIt)
{
    FrmComandoSql sql(main_.get());
    sql.Form_Load();
    FrmInformazioni info(main_.get());
    info.Form_Load();
    const struct {
        const char *what;
        QFont font;
        QString family;
    } cases[] = {
        {"application font", QApplication::font(), QStringLiteral("Liberation Sans")},
        {"SQL console's warning", sql.Label1->font(), QStringLiteral("Comic Neue")},
        {"information box's product", info.LblProdotto->font(), QStringLiteral("Liberation Sans")},
        {"reports", QFont(QStringLiteral("Arial"), 10), QStringLiteral("Liberation Sans")},
        {"reports, bold", QFont(QStringLiteral("Arial"), 10, QFont::Bold), QStringLiteral("Liberation Sans")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QFontInfo(c.font).family(), c.family) << c.what << ": " << c.font.family().toStdString();
}

// What fontconfig falls back to for a family that no font has: the probe
// with which a test of more fonts below sees that its extra font would win.
TEST(Fonts, AFamilyNoFontHasFallsBackToAnInstalledOne)
{
    const QString family = QFontInfo(QFont(QStringLiteral("Nessun Carattere Simile"), 12)).family();
    EXPECT_NE(family, QStringLiteral("Nessun Carattere Simile"));
    std::cout << "ripiego: " << family.toStdString() << std::endl;
}

// A machine with more fonts draws the same windows: the fit of every window
// and the fonts above, run again with a folder added to the fonts the tests
// see, holding a font that wins every fallback (a copy of Liberation Serif
// whose version is the highest fontconfig can read).
TEST(Fonts, AnotherFontThatWouldWinAFallbackChangesNoWindow)
{
    testsupport::TempDir tmp;
    QDir().mkpath(tmp.file(QStringLiteral("fonts")));
    QFile original(QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly)) << "fonts-liberation";
    QByteArray font = original.readAll();
    // The table directory, sixteen bytes a table after a twelve-byte header;
    // the font's revision is the second field of its 'head' table.
    const auto tables = qFromBigEndian<quint16>(font.constData() + 4);
    bool patched = false;
    for (int t = 0; t < tables; ++t) {
        const char *entry = font.constData() + 12 + 16 * t;
        if (QByteArray(entry, 4) == "head") {
            qToBigEndian<quint32>(0x7FFF0000, font.data() + qFromBigEndian<quint32>(entry + 8) + 4);
            patched = true;
        }
    }
    ASSERT_TRUE(patched);
    tmp.write(QStringLiteral("fonts/Ripiego.ttf"), font);
    const QString conf = tmp.write(
        QStringLiteral("fonts.conf"),
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                       "<fontconfig>\n  <include>%1</include>\n  <dir>%2</dir>\n  <cachedir>%3</cachedir>\n"
                       "</fontconfig>\n")
            .arg(QString::fromLocal8Bit(qgetenv("FONTCONFIG_FILE")), tmp.file(QStringLiteral("fonts")),
                 tmp.file(QStringLiteral("cache")))
            .toUtf8());

    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORBIX_TEST_FONTCONFIG"), conf);
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=Windows.EveryWindowShowsEveryTextWholeWithoutOverlapsOnA1024x768Screen:"
                              "Windows.EveryFontTheProgramSetsIsDrawnWithTheFontInstalledForIt:"
                              "Fonts.AFamilyNoFontHasFallsBackToAnInstalledOne")});
    ASSERT_TRUE(run.waitForFinished(300000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    EXPECT_TRUE(output.contains(QStringLiteral("ripiego: Liberation Serif\n"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 3 tests."))) << output.toStdString();
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
}

// Qt's own dialogs speak Italian, and a filter shows its patterns once.
TEST(QtDialogs, SpeakItalianAndShowEachFilterOnce)
{
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              QStringLiteral("Annulla"));
    EXPECT_EQ(filtriQt(QStringLiteral("Archivi (*.mdb) |*.mdb|")), QStringList{QStringLiteral("Archivi (*.mdb)")});
    EXPECT_EQ(filtriQt(QStringLiteral("Testi|*.txt;*.doc|Tutti (*.*)|*.*")),
              (QStringList{QStringLiteral("Testi (*.txt *.doc)"), QStringLiteral("Tutti (*.*)")}));
}

}  // namespace
