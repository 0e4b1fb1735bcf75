#include "ui/tables/frmcompartdog.h"

#include "common/lookups.h"
#include "common/openretry.h"
#include "platform/messagebox.h"
#include "ui/tables/controls.h"
#include "ui/tables/textrules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

const QString NonDisponibile = QStringLiteral("[Non disponibile]");

bool cifreELettere(const QString &testo)
{
    for (const QChar c : testo)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

}  // namespace

frmCompartDog::frmCompartDog(QWidget *parent)
    : TableScreen(QStringLiteral("Gestione compartimenti doganali"), 6105, 2745, 2250, 390, parent)
{
    const auto riga = [this](const char *etichetta, const char *casella, const QString &caption, int top, int width,
                             QLabel *&label, QLineEdit *&edit) {
        label = Etichetta(this, etichetta, caption, 60, top + 30, 1800, 255);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit = Casella(this, casella, 2025, top, width);
    };
    riga("lblStato", "txtStato", QStringLiteral("Stato di appartenenza"), 120, 435, lblStato, txtStato);
    riga("lblCodice", "txtCodice", QStringLiteral("Codice"), 540, 435, lblCodice, txtCodice);
    riga("lblDescrizione", "txtDescrizione", QStringLiteral("Nome"), 960, 4065, lblDescrizione, txtDescrizione);
    riga("lblProvincia", "txtProvincia", QStringLiteral("Provincia"), 1365, 435, lblProvincia, txtProvincia);
    riga("lblCED", "txtCED", QStringLiteral("C.E.D. Compartimentale"), 1770, 780, lblCED, txtCED);
    lblDecStato = Decodifica(this, "lblDecStato", QString(), 2595, 150, 3510);
    lblDecProvincia = Decodifica(this, "lblDecProvincia", QString(), 2595, 1395, 3510);

    registraCampo(lblStato, txtStato, 2, Maiuscolo, [this] { return controllaStato(); });
    registraCampo(lblCodice, txtCodice, 2, Normale, [this] {
        return txtCodice->text().size() >= 2 && CodiceFisso(txtCodice->text(), txtCodice->text().size(), u'0', u'9')
                   ? EsitoCampo::Valido
                   : EsitoCampo::Invalido;
    });
    registraCampo(lblDescrizione, txtDescrizione, 25, Normale, [this] { return Obbligatorio(txtDescrizione); });
    registraCampo(lblProvincia, txtProvincia, 2, Maiuscolo, [this] { return controllaProvincia(); });
    registraCampo(lblCED, txtCED, 4, Maiuscolo, [this] {
        const QString ced = txtCED->text();
        return ced.isEmpty() || (ced.size() == 4 && cifreELettere(ced)) ? EsitoCampo::Valido : EsitoCampo::Invalido;
    });
    registraDecodifica(lblDecStato);
    registraDecodifica(lblDecProvincia);
    ordineTab({txtStato, txtCodice, txtDescrizione, txtProvincia, txtCED, cmdSearch, cmdAdd, cmdVirtual, cmdVirtual1,
               cmdCancel});
    Form_Load();
}

EsitoCampo frmCompartDog::controllaStato()
{
    if (txtStato->text().isEmpty()) {
        lblDecStato->clear();
        return EsitoCampo::Invalido;
    }
    QString descrizione;
    switch (common::GetCountryDescription(txtStato->text(), descrizione, caption(), dtaLocal->Database())) {
    case 0: lblDecStato->setText(descrizione); return EsitoCampo::Valido;
    case -1: lblDecStato->clear(); return EsitoCampo::Invalido;
    case -2: lblDecStato->setText(NonDisponibile); return EsitoCampo::Invalido;
    default: Scarica(); return EsitoCampo::Invalido;
    }
}

// A province that cannot be read for a lock does not keep the compartment
// from being saved: it is optional.
EsitoCampo frmCompartDog::controllaProvincia()
{
    if (txtProvincia->text().isEmpty()) {
        lblDecProvincia->clear();
        return EsitoCampo::Valido;
    }
    QString descrizione;
    switch (common::GetProvinceDescription(txtProvincia->text(), descrizione, caption(), dtaLocal->Database())) {
    case 0: lblDecProvincia->setText(descrizione); return EsitoCampo::Valido;
    case -1: lblDecProvincia->clear(); return EsitoCampo::Invalido;
    case -2: lblDecProvincia->setText(NonDisponibile); return EsitoCampo::Valido;
    default: Scarica(); return EsitoCampo::Invalido;
    }
}

bool frmCompartDog::VerificaGlobale()
{
    if (verificaCampi())
        return true;
    if (!Scaricata)
        platform::msgBox(QStringLiteral("Impossibile procedere con la registrazione dei dati: uno o più campi non "
                                        "risultano compilati in modo corretto."),
                         caption(), platform::MsgIcon::Information);
    return false;
}

void frmCompartDog::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtStato->setText(NullToStr(rs.value(QStringLiteral("Stato"))));
    QString descrizione;
    if (txtStato->text().isEmpty()) {
        lblDecStato->clear();
    } else {
        switch (common::GetCountryDescription(txtStato->text(), descrizione, caption(), dtaLocal->Database())) {
        case 0: lblDecStato->setText(descrizione); break;
        case -1: lblDecStato->clear(); break;
        case -2: lblDecStato->setText(NonDisponibile); break;
        default: Scarica(); return;
        }
    }
    txtCodice->setText(NullToStr(rs.value(QStringLiteral("Codice"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("Descrizione"))));
    txtProvincia->setText(NullToStr(rs.value(QStringLiteral("Provincia"))));
    if (txtProvincia->text().isEmpty()) {
        lblDecProvincia->clear();
    } else {
        switch (common::GetProvinceDescription(txtProvincia->text(), descrizione, caption(), dtaLocal->Database())) {
        case 0: lblDecProvincia->setText(descrizione); break;
        case -1: lblDecProvincia->clear(); break;
        case -2: lblDecProvincia->setText(NonDisponibile); break;
        default: Scarica(); return;
        }
    }
    txtCED->setText(NullToStr(rs.value(QStringLiteral("CED"))));
}

bool frmCompartDog::VerificaCancellabile()
{
    return nessunUso({{QStringLiteral("SELECT * FROM Dogane WHERE CodiceComp = ? AND Stato = ?"),
                       {txtCodice->text(), txtStato->text()},
                       QStringLiteral("Impossibile eliminare il record attualmente visualizzato poichè risulta essere "
                                      "una codifica attiva nella tabella delle doganane.")}});
}

void frmCompartDog::Campo_DblClick(QWidget *campo)
{
    if (campo == txtStato)
        tableOpener().apri(QStringLiteral("frmstati"), this,
                           QStringLiteral("TableName=Stati;StartUp=A;MultiAdd=False;newSearch=False"));
}

std::vector<std::pair<QString, QLineEdit *>> frmCompartDog::campiRicerca() const
{
    return {{QStringLiteral("Codice"), txtCodice},
            {QStringLiteral("Stato"), txtStato},
            {QStringLiteral("Descrizione"), txtDescrizione},
            {QStringLiteral("Provincia"), txtProvincia},
            {QStringLiteral("CED"), txtCED}};
}

std::vector<std::pair<QString, QLineEdit *>> frmCompartDog::chiavi() const
{
    return {{QStringLiteral("Stato"), txtStato}, {QStringLiteral("Codice"), txtCodice}};
}

void frmCompartDog::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Descrizione"), StrToNull(txtDescrizione->text()));
    rs.setValue(QStringLiteral("Provincia"), StrToNull(txtProvincia->text()));
    rs.setValue(QStringLiteral("CED"), StrToNull(txtCED->text()));
}

void frmCompartDog::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Codice"), StrToNull(txtCodice->text()));
    rs.setValue(QStringLiteral("Stato"), StrToNull(txtStato->text()));
    scriviModifica(rs);
}

}  // namespace uitables
