#include "common/archiveschema.h"
#include "common/fixture.h"
#include "common/globals.h"
#include "platform/errors.h"
#include "support/asuser.h"
#include "ui/tables/frmhelppianodeiconti.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

using testsupport::clickAsUser;
using uitables::FrmHelpPianoDeiConti;

namespace {

// The caller's account-code field.
class CampoConto : public QLineEdit, public uitables::BoundTextControl {
public:
    void setBoundText(const QString &testo) override { setText(testo); }
};

class PianoDeiConti : public CommonTest {
protected:
    PianoDeiConti() : db(common::createAccountingDatabase(onC(QStringLiteral("Conti.mdb"))))
    {
        common::PercorsoContabilita = QStringLiteral("C:\\Conti.mdb");
        const struct {
            const char *codice, *descrizione, *natura, *parola;
        } conti[] = {
            {"01.0000", "Attivo", "P", "ATT"},          {"01.0001", "Cassa", "P", "ATT"},
            {"01.0002", "Banca d'Italia", "P", "ATT"},   {"02.0000", "Clienti", "C", "CLI"},
            {"02.0001", "Rossi spa", "C", "CLI"},        {"02.0002", "Bianchi srl", "C", "CLI2"},
            {"03.0001", "Zeta fornitura", "F", "FOR"},   {"03.0002", "Albero forniture", "F", "FOR"},
        };
        for (const auto &c : conti)
            db.execute(QStringLiteral("INSERT INTO PianoDeiConti (Codice, Descrizione, natura, parola) "
                                      "VALUES (?, ?, ?, ?)"),
                       {QString::fromUtf8(c.codice), QString::fromUtf8(c.descrizione), QString::fromUtf8(c.natura),
                        QString::fromUtf8(c.parola)},
                       dao::FailOnError);
    }

    // The codes the grid lists, top to bottom.
    static QStringList elenco(const FrmHelpPianoDeiConti &w)
    {
        QStringList codici;
        const QAbstractItemModel *m = w.DbgPianoDeiConti->model();
        for (int riga = 0; riga < m->rowCount(); ++riga)
            codici << m->index(riga, 0).data().toString();
        return codici;
    }

    // Opens the lookup through Avvia and acts on it while it is shown; the
    // action must close it.
    static void avvia(FrmHelpPianoDeiConti &w, QObject *chiamante, const std::function<void()> &azione,
                      const QString &radice = QString(), const QString &natura = QStringLiteral("X"))
    {
        QTimer::singleShot(0, &w, azione);
        w.Avvia(chiamante, radice, natura);
    }

    dao::Database db;
};

TEST_F(PianoDeiConti, QueryBindsEveryTypedValue)
{
    const uitables::QueryConti q =
        uitables::QueryPianoDeiConti(QStringLiteral("d'I"), QStringLiteral("AT*"), QStringLiteral("P"), true);
    EXPECT_EQ(q.sql, QStringLiteral("select PianoDeiConti.Codice as codice, PianoDeiConti.Descrizione as "
                                    "descrizione from PianoDeiConti where not JetLike(codice, ?) and JetLike(descrizione, ?) "
                                    "and JetLike(parola, ?) and natura=? order by codice"));
    EXPECT_EQ(q.valori, (QVariantList{"*.0000", "*d'I*", "AT*", "P"}));
    const uitables::QueryConti tutti = uitables::QueryPianoDeiConti({}, {}, QStringLiteral("X"), false);
    EXPECT_EQ(tutti.sql, QStringLiteral("select PianoDeiConti.Codice as codice, PianoDeiConti.Descrizione as "
                                        "descrizione from PianoDeiConti where not JetLike(codice, ?) order by descrizione"));
    EXPECT_EQ(tutti.valori, (QVariantList{"*.0000"}));
}

TEST_F(PianoDeiConti, OpensWithEveryKindByDescriptionAndHandsTheCodeBack)
{
    FrmHelpPianoDeiConti w;
    CampoConto campo;
    avvia(w, &campo, [&] {
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("HELP PIANO DEI CONTI"));
        EXPECT_EQ(elenco(w), (QStringList{"03.0002", "01.0002", "02.0002", "01.0001", "02.0001", "03.0001"}));
        EXPECT_EQ(w.DbgPianoDeiConti->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Codice"));
        EXPECT_EQ(w.DbgPianoDeiConti->model()->headerData(1, Qt::Horizontal).toString(),
                  QStringLiteral("Descrizione"));
        EXPECT_TRUE(w.OptDescrizione->isChecked());
        EXPECT_FALSE(w.OptPdC->isChecked() || w.OptClienti->isChecked() || w.OptFornitori->isChecked());
        EXPECT_TRUE(w.CmdOK->isEnabled());
        w.DbgPianoDeiConti->setCurrentIndex(w.DbgPianoDeiConti->model()->index(2, 1));
        clickAsUser(w.CmdOK);
    });
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(campo.text(), QStringLiteral("02.0002"));
}

TEST_F(PianoDeiConti, OpensCentredOnItsOwnSizeWithinTheSmallestScreen)
{
    FrmHelpPianoDeiConti w;
    CampoConto campo;
    QRect shown;
    avvia(w, &campo, [&] {
        shown = w.frameGeometry();
        clickAsUser(w.CmdUscita);
    });
    const QRect screen = w.screen()->geometry();
    EXPECT_LE(shown.width(), 1024);
    EXPECT_LE(shown.height(), 768);
    // Before it is shown the window has no frame yet: the frame may shift it
    // by its own thickness.
    const int frame = shown.height() - w.height();
    EXPECT_NEAR(shown.center().x(), screen.center().x(), frame);
    EXPECT_NEAR(shown.center().y(), screen.center().y(), frame);
    EXPECT_TRUE(screen.contains(w.mapToGlobal(w.CmdOK->geometry().bottomRight())));
}

TEST_F(PianoDeiConti, KindAndOrderFollowTheOptionsShown)
{
    FrmHelpPianoDeiConti w;
    CampoConto campo;
    avvia(
        w, &campo,
        [&] {
            EXPECT_TRUE(w.OptClienti->isChecked());
            EXPECT_EQ(elenco(w), (QStringList{"02.0002", "02.0001"}));
            clickAsUser(w.OptCodice);
            EXPECT_EQ(elenco(w), (QStringList{"02.0001", "02.0002"}));
            clickAsUser(w.OptFornitori);
            EXPECT_EQ(elenco(w), (QStringList{"03.0001", "03.0002"}));
            clickAsUser(w.OptDescrizione);
            EXPECT_EQ(elenco(w), (QStringList{"03.0002", "03.0001"}));
            clickAsUser(w.OptPdC);
            EXPECT_EQ(elenco(w), (QStringList{"01.0002", "01.0001"}));
            clickAsUser(w.CmdUscita);
        },
        {}, QStringLiteral("C"));
    EXPECT_EQ(campo.text(), QString());
}

TEST_F(PianoDeiConti, EveryKeystrokeNarrowsByContiguousLetters)
{
    FrmHelpPianoDeiConti w;
    avvia(w, nullptr, [&] {
        w.TxtCaratteri->insert(QStringLiteral("f"));
        EXPECT_EQ(elenco(w), (QStringList{"03.0002", "03.0001"}));
        w.TxtCaratteri->insert(QStringLiteral("o"));
        EXPECT_EQ(elenco(w), (QStringList{"03.0002", "03.0001"}));
        w.TxtCaratteri->insert(QStringLiteral("r"));
        EXPECT_EQ(elenco(w), (QStringList{"03.0002", "03.0001"}));
        w.TxtCaratteri->insert(QStringLiteral("niture"));
        EXPECT_EQ(elenco(w), (QStringList{"03.0002"}));
        // A quote in the filter is a letter like any other.
        w.TxtCaratteri->setText(QStringLiteral("d'i"));
        EXPECT_EQ(elenco(w), (QStringList{"01.0002"}));
        // So are SQLite's wildcards; Jet's own keep their meaning.
        for (const char *letterale : {"%", "_", "\\", "ross_"}) {
            w.TxtCaratteri->setText(QString::fromUtf8(letterale));
            EXPECT_EQ(elenco(w), QStringList()) << letterale;
        }
        w.TxtCaratteri->setText(QStringLiteral("ross?"));
        EXPECT_EQ(elenco(w), (QStringList{"02.0001"}));
        w.TxtCaratteri->setText(QStringLiteral("xyz"));
        EXPECT_EQ(elenco(w), QStringList());
        EXPECT_FALSE(w.CmdOK->isEnabled());
        clickAsUser(w.CmdUscita);
    });
}

TEST_F(PianoDeiConti, CodeRootIsAPatternOfItsOwn)
{
    const struct {
        const char *radice;
        QStringList codici;
    } casi[] = {
        {"CLI", {"02.0001"}},
        {"CLI*", {"02.0002", "02.0001"}},
        {"C", {}},
        {"CL?", {"02.0001"}},
        {"CLI#", {"02.0002"}},
        {"[a-c]LI", {"02.0001"}},
        {"CL_", {}},
        {"C%", {}},
    };
    for (const auto &caso : casi) {
        FrmHelpPianoDeiConti w;
        avvia(
            w, nullptr,
            [&] {
                EXPECT_EQ(elenco(w), caso.codici) << caso.radice;
                EXPECT_EQ(w.CmdOK->isEnabled(), !caso.codici.isEmpty()) << caso.radice;
                clickAsUser(w.CmdUscita);
            },
            QString::fromUtf8(caso.radice));
    }
}

TEST_F(PianoDeiConti, OkOnAnotherKindOfCallerWritesNothing)
{
    FrmHelpPianoDeiConti w;
    QLineEdit altro;
    avvia(w, &altro, [&] { clickAsUser(w.CmdOK); });
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(altro.text(), QString());
}

TEST_F(PianoDeiConti, HelpLineAndFilterColourFollowTheFocus)
{
    FrmHelpPianoDeiConti w;
    avvia(w, nullptr, [&] {
        w.activateWindow();
        const struct {
            QWidget *controllo;
            const char *testo;
        } casi[] = {
            {w.DbgPianoDeiConti, "Selezionare il codice con il quale si intende lavorare"},
            {w.OptCodice, "attiva / disattiva l'ordinamento per codice"},
            {w.OptDescrizione, "attiva / disattiva l'rodinamento per descrizione"},
            {w.TxtCaratteri, "indicare dei caratteri contigui per la ricerca della descrizione"},
            {w.CmdOK, "Uscita dalla funzione con il codice selezionato"},
            {w.CmdUscita, "Uscita dalla funzione senza la selezione"},
        };
        for (const auto &caso : casi) {
            QFocusEvent entra(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(caso.controllo, &entra);
            EXPECT_EQ(w.LblMsg->text(), QString::fromUtf8(caso.testo)) << caso.controllo->objectName().toStdString();
        }
        QFocusEvent entra(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w.TxtCaratteri, &entra);
        EXPECT_EQ(w.TxtCaratteri->palette().color(QPalette::Base), QColor(0, 255, 255));
        QFocusEvent esce(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w.TxtCaratteri, &esce);
        EXPECT_EQ(w.TxtCaratteri->palette().color(QPalette::Base), QColor(255, 255, 255));
        EXPECT_EQ(w.LblMsg->palette().color(QPalette::Window), QColor(255, 255, 0));
        clickAsUser(w.CmdUscita);
    });
}

// Tab leaves the list for the buttons, as the arrows move within it: the
// keyboard reaches "&Ok" past the grid and hands the row chosen back.
TEST_F(PianoDeiConti, TabLeavesTheListForTheButtons)
{
    FrmHelpPianoDeiConti w;
    CampoConto campo;
    QStringList giro;
    avvia(w, &campo, [&] {
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::mouseClick(w.TxtCaratteri, Qt::LeftButton);
        for (int k = 0; k < 3; ++k) {
            testsupport::keyClickAsUser(QApplication::focusWidget(), Qt::Key_Tab);
            giro << QApplication::focusWidget()->objectName() + QStringLiteral(": ") + w.LblMsg->text();
        }
        testsupport::keyClickAsUser(QApplication::focusWidget(), Qt::Key_Backtab);
        testsupport::keyClickAsUser(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), w.DbgPianoDeiConti);
        testsupport::keyClickAsUser(w.DbgPianoDeiConti, Qt::Key_Down);
        testsupport::keyClickAsUser(w.DbgPianoDeiConti, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w.CmdOK);
        // The screen is closed in any case, so that a failure cannot hold the run.
        if (QApplication::focusWidget() == w.CmdOK)
            testsupport::keyClickAsUser(w.CmdOK, Qt::Key_Space);
        else
            clickAsUser(w.CmdUscita);
    });
    EXPECT_EQ(giro, (QStringList{"DbgPianoDeiConti: Selezionare il codice con il quale si intende lavorare",
                                 "CmdOK: Uscita dalla funzione con il codice selezionato",
                                 "CmdUscita: Uscita dalla funzione senza la selezione"}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(campo.text(), QStringLiteral("01.0002"));
}

TEST_F(PianoDeiConti, AnUnreadableDatabaseReachesTheCallerAndShowsNothing)
{
    common::PercorsoContabilita = QStringLiteral("C:\\Manca.mdb");
    FrmHelpPianoDeiConti w;
    EXPECT_THROW(w.Avvia(nullptr), platform::RuntimeError);
    EXPECT_FALSE(w.isVisible());
}

}  // namespace
