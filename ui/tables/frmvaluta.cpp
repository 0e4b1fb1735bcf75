#include "ui/tables/frmvaluta.h"

#include "common/openretry.h"
#include "ui/main/screen.h"
#include "ui/tables/controls.h"
#include "ui/tables/textrules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

// An optional code: empty, or of exactly three characters of its range.
EsitoCampo codiceFacoltativo(const QLineEdit *campo, QChar da, QChar a)
{
    return campo->text().isEmpty() || CodiceFisso(campo->text(), 3, da, a) ? EsitoCampo::Valido : EsitoCampo::Invalido;
}

}  // namespace

frmvaluta::frmvaluta(QWidget *parent)
    : TableScreen(QStringLiteral("Gestione Archivio delle Valute"), 6315, 2400, 1950, 390, parent)
{
    lblCodice = Etichetta(this, "lblCodice", QStringLiteral("Codice Internazionale"), 90, 60, 1590, 225);
    txtCodice = Casella(this, "txtCodice", 1740, 30, 600);
    lblDescrizione = Etichetta(this, "lblDescrizione", QStringLiteral("Denominazione"), 90, 450, 1140, 210);
    txtDescrizione = Casella(this, "txtDescrizione", 1755, 450, 4515);
    chkQuotata = new QCheckBox(QStringLiteral("Moneta quotata con tasso di cambio"), this);
    chkQuotata->setObjectName(QStringLiteral("chkQuotata"));
    uimain::PosizionaTwips(chkQuotata, 75, 900, 3200, 255);
    fraCodifiche = new QGroupBox(QStringLiteral("Altre codifiche"), this);
    fraCodifiche->setObjectName(QStringLiteral("fraCodifiche"));
    uimain::PosizionaTwips(fraCodifiche, 75, 1230, 6195, 660);
    lblDogana = Etichetta(fraCodifiche, "lblDogana", QStringLiteral("Codifica d'uso doganale"), 210, 285, 1755, 225);
    txtDogana = Casella(fraCodifiche, "txtDogana", 2055, 247, 600);
    lblIATA = Etichetta(fraCodifiche, "lblIATA", QStringLiteral("Codifica d'uso I.A.T.A."), 3285, 285, 1635, 225);
    txtIATA = Casella(fraCodifiche, "txtIATA", 5190, 247, 600);

    registraCampo(lblCodice, txtCodice, 3, Maiuscolo, [this] {
        return CodiceFisso(txtCodice->text(), 3, u'A', u'Z') ? EsitoCampo::Valido : EsitoCampo::Invalido;
    });
    registraCampo(lblDescrizione, txtDescrizione, 50, Normale, [this] { return Obbligatorio(txtDescrizione); });
    registraCampo(lblDogana, txtDogana, 3, Normale, [this] { return codiceFacoltativo(txtDogana, u'0', u'9'); });
    registraCampo(lblIATA, txtIATA, 3, Maiuscolo, [this] { return codiceFacoltativo(txtIATA, u'A', u'Z'); });
    connect(chkQuotata, &QCheckBox::clicked, this, &frmvaluta::chkQuotata_Click);
    ordineTab({txtCodice, txtDescrizione, chkQuotata, txtDogana, txtIATA, cmdVirtual, cmdVirtual1, cmdCancel, cmdSearch,
               cmdAdd});
    Form_Load();
}

void frmvaluta::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtCodice->setText(NullToStr(rs.value(QStringLiteral("Codice"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("Descrizione"))));
    txtDogana->setText(NullToStr(rs.value(QStringLiteral("Dogana"))));
    txtIATA->setText(NullToStr(rs.value(QStringLiteral("IATA"))));
    guardia_ = true;
    chkQuotata->setChecked(rs.value(QStringLiteral("Quotata")).toBool());
    guardia_ = false;
}

// While browsing, the box shows what is stored whatever the user clicks.
void frmvaluta::chkQuotata_Click()
{
    if (Modalita != ModoConsultazione || guardia_ || !dtaLocal->Recordset()
        || dtaLocal->Recordset()->absolutePosition() < 0)
        return;
    guardia_ = true;
    chkQuotata->setChecked(dtaLocal->Recordset()->value(QStringLiteral("Quotata")).toBool());
    guardia_ = false;
}

void frmvaluta::AbilitaCampi(bool Pulisci)
{
    TableScreen::AbilitaCampi(Pulisci);
    chkQuotata->setEnabled(true);
    fraCodifiche->setEnabled(true);
    if (Pulisci)
        chkQuotata->setChecked(false);
}

void frmvaluta::ImpostaCampi(Modo modalita)
{
    if (modalita == ModoInattivo || modalita == ModoRicerca)
        chkQuotata->setEnabled(false);
}

bool frmvaluta::VerificaCancellabile()
{
    return nessunUso({{QStringLiteral("SELECT * FROM Stati WHERE Valuta = ?"),
                       {txtCodice->text()},
                       QStringLiteral("Impossibile eliminare il record corrente poiché risulta essere una codifica "
                                      "attiva nella tabella degli 'Stati'")}});
}

std::vector<std::pair<QString, QLineEdit *>> frmvaluta::campiRicerca() const
{
    return {{QStringLiteral("Codice"), txtCodice},
            {QStringLiteral("Descrizione"), txtDescrizione},
            {QStringLiteral("Dogana"), txtDogana},
            {QStringLiteral("IATA"), txtIATA}};
}

std::vector<std::pair<QString, QLineEdit *>> frmvaluta::chiavi() const { return {{QStringLiteral("Codice"), txtCodice}}; }

void frmvaluta::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Descrizione"), StrToNull(txtDescrizione->text()));
    rs.setValue(QStringLiteral("Quotata"), chkQuotata->isChecked());
    rs.setValue(QStringLiteral("Dogana"), StrToNull(txtDogana->text()));
    rs.setValue(QStringLiteral("IATA"), StrToNull(txtIATA->text()));
}

void frmvaluta::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Codice"), StrToNull(txtCodice->text()));
    scriviModifica(rs);
    // The archive requires the decimal places, which the screen does not
    // show: a new currency takes the two that every currency has.
    rs.setValue(QStringLiteral("PosizioniDecimali"), 2);
}

}  // namespace uitables
