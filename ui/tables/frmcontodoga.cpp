#include "ui/tables/frmcontodoga.h"

#include "common/openretry.h"
#include "ui/main/screen.h"
#include "ui/tables/controls.h"
#include "ui/tables/textrules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <limits>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

constexpr int LunghezzaObbligato = 255;

}  // namespace

frmcontodoga::frmcontodoga(QWidget *parent)
    : TableScreen(QStringLiteral("Gestione archivio conti doganali"), 7005, 3165, 2715, 390, parent)
{
    lblCodice = Etichetta(this, "lblCodice", QStringLiteral("Codice conto"), 135, 60, 1020, 255);
    txtCodice = Casella(this, "txtCodice", 1230, 45, 780, 285);
    lblDescrizione = Etichetta(this, "lblDescrizione", QStringLiteral("Intestatario"), 120, 450, 840, 255);
    txtDescrizione = Casella(this, "txtDescrizione", 105, 765, 6870, 285);
    lblFido = Etichetta(this, "lblFido", QStringLiteral("Importo affidato"), 120, 1140, 1140, 255);
    txtFido = Casella(this, "txtFido", 1380, 1110, 1020, 285);
    txtFido->setAlignment(Qt::AlignRight);
    lblObbligato = Etichetta(this, "lblObbligato", QStringLiteral("Indicazioni aggiuntive per il campo 50 del D.A.U."),
                             135, 1515, 3900, 240);
    txtObbligato = new QPlainTextEdit(this);
    txtObbligato->setObjectName(QStringLiteral("txtObbligato"));
    txtObbligato->setTabChangesFocus(true);
    uimain::PosizionaTwips(txtObbligato, 105, 1770, 6855, 885);
    // The column holds 255 characters, a CR LF counting two.
    LimitaLunghezza(txtObbligato, LunghezzaObbligato,
                    [this](const QString &testo) { return RigheDaScrivere(obbligatoLetto_, testo).size(); });

    registraCampo(lblCodice, txtCodice, 5, Maiuscolo, [this] {
        return txtCodice->text().isEmpty() ? EsitoCampo::Invalido : CodiceContoDoganale(txtCodice);
    });
    registraCampo(lblDescrizione, txtDescrizione, 50, Normale, [this] { return Obbligatorio(txtDescrizione); });
    // The amount is held as a 32-bit whole number: ten digits beyond that are
    // reported like any other amount out of range.
    registraCampo(lblFido, txtFido, 10, Normale, [this] {
        return InteroSemplice(txtFido->text(), 1, std::numeric_limits<qint32>::max()) ? EsitoCampo::Valido
                                                                                        : EsitoCampo::Invalido;
    });
    registraFuoco(txtObbligato);

    ordineTab({txtCodice, txtDescrizione, txtFido, txtObbligato, cmdSearch, cmdAdd, cmdVirtual, cmdVirtual1, cmdCancel});

    varianti.consultazioneVuotaResta = true;
    varianti.fuocoRicercaDaPulsante = true;
    varianti.fuocoDopoAggiunta = false;
    Form_Load();
}

void frmcontodoga::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtCodice->setText(NullToStr(rs.value(QStringLiteral("Codice"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("Intestatario"))));
    txtFido->setText(NullToStr(rs.value(QStringLiteral("Fido"))));
    obbligatoLetto_ = NullToStr(rs.value(QStringLiteral("Obbligato")));
    txtObbligato->setPlainText(RigheMostrate(obbligatoLetto_));
}

void frmcontodoga::AbilitaCampi(bool Pulisci)
{
    TableScreen::AbilitaCampi(Pulisci);
    lblObbligato->setEnabled(true);
    txtObbligato->setEnabled(true);
    txtObbligato->setReadOnly(false);
    uimain::ImpostaColore(txtObbligato);
    if (Pulisci) {
        obbligatoLetto_.clear();
        txtObbligato->clear();
    }
}

void frmcontodoga::ImpostaCampi(Modo modalita)
{
    switch (modalita) {
    case ModoInattivo:
        lblObbligato->setEnabled(false);
        txtObbligato->setEnabled(false);
        break;
    case ModoRicerca:
        for (QWidget *w : std::initializer_list<QWidget *>{txtFido, lblFido, txtObbligato, lblObbligato})
            w->setEnabled(false);
        break;
    case ModoConsultazione: txtObbligato->setReadOnly(true); break;
    default: break;
    }
}

bool frmcontodoga::VerificaCancellabile()
{
    return nessunUso({{QStringLiteral("SELECT * FROM Spedoga WHERE ContoDog = ?"),
                       {txtCodice->text()},
                       QStringLiteral("Impossibile cancellare il record correntemente selezionato poiché risulta "
                                      "essere una codifica utilizzata nella tabella dei dichiaranti/rappresentanti")}});
}

std::vector<std::pair<QString, QLineEdit *>> frmcontodoga::campiRicerca() const
{
    return {{QStringLiteral("Codice"), txtCodice}, {QStringLiteral("Intestatario"), txtDescrizione}};
}

std::vector<std::pair<QString, QLineEdit *>> frmcontodoga::chiavi() const
{
    return {{QStringLiteral("Codice"), txtCodice}};
}

QString frmcontodoga::messaggioDuplicato() const
{
    return QStringLiteral("Impossibile registrare i dati nell'archivio: il codice '") + txtCodice->text()
           + QStringLiteral("' risulta già definito");
}

void frmcontodoga::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Intestatario"), StrToNull(txtDescrizione->text()));
    rs.setValue(QStringLiteral("Fido"), ValoreIniziale(txtFido->text()));
    rs.setValue(QStringLiteral("Obbligato"), StrToNull(RigheDaScrivere(obbligatoLetto_, txtObbligato->toPlainText())));
}

void frmcontodoga::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Codice"), StrToNull(txtCodice->text()));
    scriviModifica(rs);
}

}  // namespace uitables
