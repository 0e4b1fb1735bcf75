#include "ui/tables/frmutenzeedi.h"

#include "common/codechecks.h"
#include "common/lookups.h"
#include "common/openretry.h"
#include "platform/messagebox.h"
#include "ui/main/screen.h"
#include "ui/tables/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <tuple>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

QGroupBox *Cornice(QWidget *parent, const char *name, const QString &caption, int left, int top, int width, int height)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    uimain::PosizionaTwips(frame, left, top, width, height);
    return frame;
}

// The protocol list's colour: a drop-down list draws its face in the button
// colour, so both take it.
void coloraLista(QComboBox *lista, const QColor &colore = QColor())
{
    uimain::ImpostaColore(lista, colore);
    QPalette p = lista->palette();
    p.setColor(QPalette::Button, colore.isValid() ? colore : QApplication::palette().color(QPalette::Button));
    lista->setPalette(p);
}

}  // namespace

frmUtenzeEDI::frmUtenzeEDI(QWidget *parent)
    : TableScreen(QStringLiteral("Gestione Utente E.D.I."), 6255, 4665, 4170, 390, parent)
{
    lblSpedoga = Etichetta(this, "lblSpedoga", QStringLiteral("Dichiarante / Rappresentante"), 120, 150, 2160, 255);
    txtSpedoga = Casella(this, "txtSpedoga", 2340, 120, 1860);
    lblDecSpedoga = Decodifica(this, "lblDecSpedoga", QString(), 2340, 450, 3795);

    fraUA = Cornice(this, "fraUA", QStringLiteral("Utente Abilitato"), 60, 720, 6135, 1020);
    lblUA = Etichetta(fraUA, "lblUA", QStringLiteral("P.I. / C.F."), 120, 300, 1500, 255);
    txtUA = Casella(fraUA, "txtUA", 1680, 270, 1860);
    lblUARagSoc = Etichetta(fraUA, "lblUARagSoc", QStringLiteral("Ragione Sociale"), 120, 660, 1500, 255);
    txtUARagSoc = Casella(fraUA, "txtUARagSoc", 1680, 630, 4335);

    fraUserData = Cornice(this, "fraUserData", QStringLiteral("Dati dell'utente (accesso a SDA)"), 60, 1800, 6135, 1020);
    lblLogin = Etichetta(fraUserData, "lblLogin", QStringLiteral("Codice Identificativo"), 120, 300, 1680, 255);
    txtLogin = Casella(fraUserData, "txtLogin", 1860, 270, 660);
    lblPasswd = Etichetta(fraUserData, "lblPasswd", QStringLiteral("Password"), 2760, 300, 900, 255);
    txtPasswd = Casella(fraUserData, "txtPasswd", 3720, 270, 1200);
    lblProtocol = Etichetta(fraUserData, "lblProtocol", QStringLiteral("Protocollo di comunicazione"), 120, 660, 2160, 255);
    cmbProtocol = new QComboBox(fraUserData);
    cmbProtocol->setObjectName(QStringLiteral("cmbProtocol"));
    cmbProtocol->addItems({QStringLiteral("KERMIT"), QStringLiteral("FTP"), QStringLiteral("UFT"), QStringLiteral("FTAM")});
    uimain::PosizionaTwips(cmbProtocol, 2340, 630, 1200, 315);
    connect(cmbProtocol, &QComboBox::currentIndexChanged, this, [this] { coloraLista(cmbProtocol); });

    fraCEDData = Cornice(this, "fraCEDData", QStringLiteral("Dati C.E.D. Dogane"), 60, 2880, 6135, 1200);
    lblCodice = Etichetta(fraCEDData, "lblCodice", QStringLiteral("Codice"), 120, 300, 700, 255);
    txtCodice = Casella(fraCEDData, "txtCodice", 900, 270, 660);
    lblDescrizione = Etichetta(fraCEDData, "lblDescrizione", QStringLiteral("Descrizione"), 1740, 300, 1000, 255);
    txtDescrizione = Casella(fraCEDData, "txtDescrizione", 2800, 270, 3200);
    lblTPMonitor = Etichetta(fraCEDData, "lblTPMonitor", QStringLiteral("Codice TP"), 120, 720, 900, 255);
    txtTPMonitor = Casella(fraCEDData, "txtTPMonitor", 1080, 690, 1200);
    lblSdA = Etichetta(fraCEDData, "lblSdA", QStringLiteral("Codice S.d.A."), 2520, 720, 1100, 255);
    txtSdA = Casella(fraCEDData, "txtSdA", 3660, 690, 660);

    registraCampo(lblSpedoga, txtSpedoga, 16, Maiuscolo, [this] { return controllaDichiarante(); });
    registraCampo(lblUA, txtUA, 16, Maiuscolo, [this] { return controllaUA(); });
    for (auto [label, edit, length] :
         {std::tuple{lblUARagSoc, txtUARagSoc, 50}, std::tuple{lblLogin, txtLogin, 4}, std::tuple{lblPasswd, txtPasswd, 8}}) {
        QLineEdit *field = edit;
        registraCampo(label, edit, length, Normale, [field] { return Obbligatorio(field); });
    }
    for (auto [label, edit, length] : {std::tuple{lblCodice, txtCodice, 4}, std::tuple{lblDescrizione, txtDescrizione, 25},
                                       std::tuple{lblTPMonitor, txtTPMonitor, 8}, std::tuple{lblSdA, txtSdA, 4}}) {
        QLineEdit *field = edit;
        registraCampo(label, edit, length, Normale, [field] { return Obbligatorio(field); });
    }
    registraDecodifica(lblDecSpedoga);
    ordineTab({txtSpedoga, txtUA, txtUARagSoc, txtLogin, txtPasswd, cmbProtocol, txtCodice, txtDescrizione,
               txtTPMonitor, txtSdA, cmdSearch, cmdAdd, cmdVirtual, cmdVirtual1, cmdCancel});

    varianti.avvioAggiuntaDiretto = true;
    Form_Load();
}

// A lookup that fails leaves the name as it was: the lookup has told the
// user, and the red field keeps the row from being saved.
EsitoCampo frmUtenzeEDI::controllaDichiarante()
{
    if (txtSpedoga->text().isEmpty())
        return EsitoCampo::Invalido;
    QString nome;
    switch (common::GetDeclarantName(txtSpedoga->text(), nome, caption(), dtaLocal->Database())) {
    case 0: lblDecSpedoga->setText(nome); return EsitoCampo::Valido;
    case -1: lblDecSpedoga->clear(); return EsitoCampo::Invalido;
    default: return EsitoCampo::Invalido;
    }
}

EsitoCampo frmUtenzeEDI::controllaUA()
{
    QString codice = txtUA->text();
    if (codice.isEmpty())
        return EsitoCampo::Invalido;
    qint16 opzioni = 63;
    qint16 esito;
    if (codice.size() == 16) {
        esito = common::CheckFiscalCode(codice, opzioni);
    } else {
        QString paese = QStringLiteral("IT");
        esito = common::CheckVATNumber(codice, opzioni, paese);
    }
    switch (esito) {
    case -1: txtUA->setText(codice); return EsitoCampo::Valido;
    case 2: return EsitoCampo::Avviso;
    default: return EsitoCampo::Invalido;
    }
}

bool frmUtenzeEDI::VerificaGlobale()
{
    for (QLineEdit *campo : {txtSpedoga, txtUARagSoc, txtLogin, txtPasswd, txtCodice, txtDescrizione, txtSdA, txtTPMonitor}) {
        controllaCampo(campo);
        if (Scaricata)
            return false;
    }
    for (QLineEdit *campo : {txtSpedoga, txtUARagSoc, txtLogin, txtPasswd, txtCodice, txtDescrizione, txtSdA, txtTPMonitor})
        if (rosso(campo))
            return false;
    controllaCampo(txtUA);
    if (rosso(txtUA))
        return false;
    // The archive requires the protocol: a row showing none is refused here,
    // before the save.
    if (cmbProtocol->currentIndex() < 0) {
        coloraLista(cmbProtocol, uimain::ColoreRosso);
        platform::msgBox(QStringLiteral("Indicare il protocollo di comunicazione."), caption(),
                         platform::MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void frmUtenzeEDI::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtSpedoga->setText(NullToStr(rs.value(QStringLiteral("Dichiarante"))));
    txtUA->setText(NullToStr(rs.value(QStringLiteral("UA"))));
    txtUARagSoc->setText(NullToStr(rs.value(QStringLiteral("RagSocUA"))));
    txtLogin->setText(NullToStr(rs.value(QStringLiteral("Login"))));
    txtPasswd->setText(NullToStr(rs.value(QStringLiteral("Passwd"))));
    txtCodice->setText(NullToStr(rs.value(QStringLiteral("CodiceCED"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("DescrizioneCED"))));
    txtSdA->setText(NullToStr(rs.value(QStringLiteral("NodoSdA"))));
    txtTPMonitor->setText(NullToStr(rs.value(QStringLiteral("TPMonitor"))));
    QString protocollo = NullToStr(rs.value(QStringLiteral("Protocol")));
    if (protocollo == QLatin1String("KERM"))
        protocollo = QStringLiteral("KERMIT");
    cmbProtocol->setCurrentIndex(cmbProtocol->findText(protocollo, Qt::MatchExactly | Qt::MatchCaseSensitive));
    QString nome;
    if (common::GetDeclarantName(txtSpedoga->text(), nome, caption(), dtaLocal->Database()) == 0)
        lblDecSpedoga->setText(nome);
    else
        lblDecSpedoga->clear();
}

void frmUtenzeEDI::AbilitaCampi(bool Pulisci)
{
    TableScreen::AbilitaCampi(Pulisci);
    for (QWidget *w : std::initializer_list<QWidget *>{fraUA, fraUserData, fraCEDData, lblProtocol, cmbProtocol})
        w->setEnabled(true);
    bloccaLista(false);
    coloraLista(cmbProtocol);
    if (Pulisci)
        cmbProtocol->setCurrentIndex(0);
}

void frmUtenzeEDI::ImpostaCampi(Modo modalita)
{
    switch (modalita) {
    case ModoInattivo:
        for (QWidget *w : std::initializer_list<QWidget *>{fraUA, fraUserData, fraCEDData, lblProtocol, cmbProtocol})
            w->setEnabled(false);
        break;
    case ModoRicerca:
        for (QWidget *w : std::initializer_list<QWidget *>{txtPasswd, lblPasswd, cmbProtocol, lblProtocol})
            w->setEnabled(false);
        break;
    case ModoConsultazione: bloccaLista(true); break;
    default: break;
    }
}

void frmUtenzeEDI::bloccaLista(bool blocca)
{
    cmbProtocol->setAttribute(Qt::WA_TransparentForMouseEvents, blocca);
    cmbProtocol->setFocusPolicy(blocca ? Qt::NoFocus : Qt::StrongFocus);
}

bool frmUtenzeEDI::listaBloccata() const { return cmbProtocol->testAttribute(Qt::WA_TransparentForMouseEvents); }

std::vector<std::pair<QString, QLineEdit *>> frmUtenzeEDI::campiRicerca() const
{
    return {{QStringLiteral("Dichiarante"), txtSpedoga}, {QStringLiteral("UA"), txtUA},
            {QStringLiteral("RagSocUA"), txtUARagSoc},   {QStringLiteral("Login"), txtLogin},
            {QStringLiteral("CodiceCED"), txtCodice},    {QStringLiteral("DescrizioneCED"), txtDescrizione},
            {QStringLiteral("NodoSdA"), txtSdA},         {QStringLiteral("TPMonitor"), txtTPMonitor}};
}

std::vector<std::pair<QString, QLineEdit *>> frmUtenzeEDI::chiavi() const
{
    return {{QStringLiteral("Dichiarante"), txtSpedoga}, {QStringLiteral("CodiceCED"), txtCodice}};
}

QVariant frmUtenzeEDI::protocollo() const
{
    return cmbProtocol->currentText() == QLatin1String("KERMIT") ? QStringLiteral("KERM")
                                                                 : StrToNull(cmbProtocol->currentText());
}

void frmUtenzeEDI::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("UA"), StrToNull(txtUA->text()));
    rs.setValue(QStringLiteral("RagSocUA"), StrToNull(txtUARagSoc->text()));
    rs.setValue(QStringLiteral("Login"), StrToNull(txtLogin->text()));
    rs.setValue(QStringLiteral("Passwd"), StrToNull(txtPasswd->text()));
    rs.setValue(QStringLiteral("Protocol"), protocollo());
    rs.setValue(QStringLiteral("CodiceCED"), StrToNull(txtCodice->text()));
    rs.setValue(QStringLiteral("DescrizioneCED"), StrToNull(txtDescrizione->text()));
    rs.setValue(QStringLiteral("NodoSdA"), StrToNull(txtSdA->text()));
    rs.setValue(QStringLiteral("TPMonitor"), StrToNull(txtTPMonitor->text()));
}

void frmUtenzeEDI::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Dichiarante"), StrToNull(txtSpedoga->text()));
    scriviModifica(rs);
}

}  // namespace uitables
