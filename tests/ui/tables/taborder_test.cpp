// The order in which Tab walks each table screen, in add mode (where the
// search toggle and the delete button are out of view) and in browse mode
// (where the data control's buttons follow).
#include "fixture.h"
#include "ui/tables/frmcompartdog.h"
#include "ui/tables/frmcontodoga.h"
#include "ui/tables/frmspedoga.h"
#include "ui/tables/frmstati.h"
#include "ui/tables/frmutenzeedi.h"
#include "ui/tables/frmvaluta.h"

namespace {

class TabOrder : public TablesTest {
protected:
    // The names of the controls Tab reaches from the first field, one round.
    template <class Screen>
    QStringList giro(const QString &tag, bool consulta = false)
    {
        auto w = apri<Screen>(tag);
        if (consulta) {
            clickAsUser(w->cmdSearch);
            clickAsUser(w->cmdVirtual);
        } else {
            clickAsUser(w->cmdAdd);
        }
        QWidget *primo = w->focusWidget();
        QStringList nomi;
        QWidget *corrente = primo;
        do {
            nomi << corrente->objectName();
            keyClickAsUser(corrente, Qt::Key_Tab);
            corrente = QApplication::focusWidget();
        } while (corrente && corrente != primo && nomi.size() < 30);
        return nomi;
    }
};

TEST_F(TabOrder, EveryScreenInAddMode)
{
    EXPECT_EQ(giro<uitables::frmstati>(QStringLiteral("TableName=Stati")),
              (QStringList{"txtCodice", "txtGeoCodice", "txtDescrizione", "txtValuta", "cmdVirtual", "cmdCancel",
                           "cmdAdd"}));
    EXPECT_EQ(giro<uitables::frmvaluta>(QStringLiteral("TableName=Valuta")),
              (QStringList{"txtCodice", "txtDescrizione", "chkQuotata", "txtDogana", "txtIATA", "cmdVirtual",
                           "cmdCancel", "cmdAdd"}));
    EXPECT_EQ(giro<uitables::frmCompartDog>(QStringLiteral("TableName=CompDog")),
              (QStringList{"txtStato", "txtCodice", "txtDescrizione", "txtProvincia", "txtCED", "cmdAdd",
                           "cmdVirtual", "cmdCancel"}));
    EXPECT_EQ(giro<uitables::frmcontodoga>(QStringLiteral("TableName=ContoDoga")),
              (QStringList{"txtCodice", "txtDescrizione", "txtFido", "txtObbligato", "cmdAdd", "cmdVirtual",
                           "cmdCancel"}));
    EXPECT_EQ(giro<uitables::frmspedoga>(QStringLiteral("TableName=Spedoga")),
              (QStringList{"txtCode", "txtDescrizione", "txtFrase1", "txtFrase2", "txtNumDic", "txtContoDog",
                           "cmdVirtual", "cmdCancel", "cmdAdd"}));
    EXPECT_EQ(giro<uitables::frmUtenzeEDI>(QStringLiteral("TableName=UtenzeEdi")),
              (QStringList{"txtSpedoga", "txtUA", "txtUARagSoc", "txtLogin", "txtPasswd", "cmbProtocol", "txtCodice",
                           "txtDescrizione", "txtTPMonitor", "txtSdA", "cmdAdd", "cmdVirtual", "cmdCancel"}));
}

TEST_F(TabOrder, BrowseReachesTheDataControlsButtonsAndSpaceMoves)
{
    db.execute(QStringLiteral("INSERT INTO Valuta (Codice, Descrizione, PosizioniDecimali) VALUES ('EUR', 'EURO', 2), "
                              "('USD', 'DOLLARO', 2)"));
    auto w = apri<uitables::frmvaluta>(QStringLiteral("TableName=Valuta"));
    clickAsUser(w->cmdSearch);
    keyClickAsUser(w->txtCodice, Qt::Key_T, Qt::AltModifier);
    ASSERT_EQ(w->dtaLocal->Caption(), "1/2");
    QStringList nomi;
    for (int k = 0; k < 8 && QApplication::focusWidget() != w->dtaLocal->cmdNext; ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        nomi << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(nomi, (QStringList{"cmdVirtual1", "cmdCancel", "cmdSearch", "cmdFirst", "cmdPrevious", "cmdNext"}));
    keyClickAsUser(w->dtaLocal->cmdNext, Qt::Key_Space);
    EXPECT_EQ(w->dtaLocal->Caption(), "2/2");
    EXPECT_EQ(w->txtDescrizione->text(), "DOLLARO");
}

}  // namespace
