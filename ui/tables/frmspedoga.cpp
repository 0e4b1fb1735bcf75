#include "ui/tables/frmspedoga.h"

#include "common/codechecks.h"
#include "common/lookups.h"
#include "common/openretry.h"
#include "ui/main/screen.h"
#include "ui/tables/controls.h"
#include "ui/tables/textrules.h"

#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace uitables {

using common::NullToStr;
using common::StrToNull;

namespace {

const common::Decodifica ContoDoga = {
    QStringLiteral("ContoDoga"),
    QStringLiteral("Intestatario"),
    QStringLiteral("Risulta momentaneamente impossibile estrarre dall'archivio l'intestatario del conto doganale. "
                   "Scegliere 'Riprova' per attendere che il dato sia di nuovo disponibile, altrimenti scegliere "
                   "'Annulla' per abbandonare."),
    QStringLiteral("Durante la decodifica del conto doganale."),
};

}  // namespace

frmspedoga::frmspedoga(QWidget *parent)
    : TableScreen(QStringLiteral("Archivio dichiaranti / rappresentanti"), 5730, 3480, 2985, 390, parent)
{
    lblCode = Etichetta(this, "lblCode",
                        QStringLiteral("Codice fiscale\nPartita I.V.A.\nCodice di abilitazione professionale"), 60, 45,
                        2775, 645);
    lblCode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtCode = Casella(this, "txtCode", 2910, 225, 2235, 285);
    lblDescrizione = Etichetta(this, "lblDescrizione", QStringLiteral("Nominativo"), 60, 810, 1000, 255);
    txtDescrizione = Casella(this, "txtDescrizione", 1140, 780, 4500, 285);
    lblFrase = Etichetta(this, "lblFrase", QStringLiteral("Qualifica"), 60, 1230, 1000, 255);
    // Two borderless lines inside one sunken frame read as a box of two lines.
    fraFrase = new QFrame(this);
    fraFrase->setObjectName(QStringLiteral("fraFrase"));
    fraFrase->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    uimain::PosizionaTwips(fraFrase, 1140, 1170, 3015, 500);
    txtFrase1 = Casella(this, "txtFrase1", 1170, 1200, 2955, 220);
    txtFrase2 = Casella(this, "txtFrase2", 1170, 1420, 2955, 220);
    for (QLineEdit *riga : {txtFrase1, txtFrase2})
        riga->setFrame(false);
    lblNumDic = Etichetta(this, "lblNumDic", QStringLiteral("Numeratore dichiarazioni emesse"), 60, 1815, 2775, 255);
    txtNumDic = Casella(this, "txtNumDic", 2910, 1785, 900, 285);
    txtNumDic->setAlignment(Qt::AlignRight);
    lblContoDog = Etichetta(this, "lblContoDog", QStringLiteral("Eventuale conto doganale associato"), 60, 2205, 2775, 255);
    txtContoDog = Casella(this, "txtContoDog", 2910, 2175, 780, 285);
    // Beside the account box, down to the buttons: a holder's name of up to
    // fifty characters wraps there rather than being cut.
    lblDecContoDog = Decodifica(this, "lblDecContoDog", QStringLiteral("[Decodifica con intestatario conto dog.le]"),
                                3780, 2205, 1890, 690);
    lblDecContoDog->setWordWrap(true);
    lblDecContoDog->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    registraCampo(lblCode, txtCode, 16, Maiuscolo, [this] { return controllaCodice(); });
    registraCampo(lblDescrizione, txtDescrizione, 35, Normale, [this] { return Obbligatorio(txtDescrizione); });
    registraCampo(lblFrase, txtFrase1, 25, NonRifilare);
    registraCampo(lblFrase, txtFrase2, 25, NonRifilare);
    registraCampo(lblNumDic, txtNumDic, 6, Normale, [this] {
        return InteroSemplice(txtNumDic->text(), 0, 999999) ? EsitoCampo::Valido : EsitoCampo::Invalido;
    });
    registraCampo(lblContoDog, txtContoDog, 5, Maiuscolo, [this] { return controllaConto(); });
    registraDecodifica(lblDecContoDog);

    ordineTab({txtCode, txtDescrizione, txtFrase1, txtFrase2, txtNumDic, txtContoDog, cmdVirtual, cmdVirtual1,
               cmdCancel, cmdSearch, cmdAdd});

    varianti.avvioAggiuntaDiretto = true;
    varianti.annullaAggiuntaInattivo = true;
    varianti.consultazioneVuotaResta = true;
    varianti.fuocoRicercaDaPulsante = true;
    Form_Load();
}

qint16 frmspedoga::DecodificaContoDoga(const QString &codice, QString &intestatario)
{
    return common::DecodificaCodice(ContoDoga, codice, intestatario, caption(), dtaLocal->Database());
}

// The length tells which code it is: a professional authorisation code with
// its CIN letter, a VAT number, a fiscal code.
EsitoCampo frmspedoga::controllaCodice()
{
    QString codice = txtCode->text();
    qint16 opzioni = 63;
    qint16 esito;
    switch (codice.size()) {
    case 6:
    case 7: esito = common::CheckCINCode(codice, opzioni); break;
    case 10:
    case 11: {
        QString paese = QStringLiteral("IT");
        esito = common::CheckVATNumber(codice, opzioni, paese);
        break;
    }
    case 15:
    case 16: esito = common::CheckFiscalCode(codice, opzioni); break;
    default: return EsitoCampo::Invalido;
    }
    switch (esito) {
    case -1: txtCode->setText(codice); return EsitoCampo::Valido;
    case 0: return EsitoCampo::Invalido;
    default: return EsitoCampo::Avviso;
    }
}

EsitoCampo frmspedoga::controllaConto()
{
    if (txtContoDog->text().isEmpty()) {
        lblDecContoDog->clear();
        return EsitoCampo::Valido;
    }
    const EsitoCampo esito = CodiceContoDoganale(txtContoDog);
    if (esito != EsitoCampo::Valido)
        return esito;
    QString intestatario;
    switch (DecodificaContoDoga(txtContoDog->text(), intestatario)) {
    case 0: lblDecContoDog->setText(intestatario); return EsitoCampo::Valido;
    case -1: lblDecContoDog->clear(); return EsitoCampo::Invalido;
    case -2: lblDecContoDog->setText(QStringLiteral("[Non disponibile]")); return EsitoCampo::Invalido;
    default: Scarica(); return EsitoCampo::Invalido;
    }
}

void frmspedoga::AggiornaMaschera()
{
    dao::Recordset &rs = *dtaLocal->Recordset();
    txtCode->setText(NullToStr(rs.value(QStringLiteral("Codice"))));
    txtDescrizione->setText(NullToStr(rs.value(QStringLiteral("Descrizione"))));
    txtFrase1->setText(NullToStr(rs.value(QStringLiteral("Frase1"))));
    txtFrase2->setText(NullToStr(rs.value(QStringLiteral("Frase2"))));
    txtNumDic->setText(NullToStr(rs.value(QStringLiteral("ProgIM"))));
    txtContoDog->setText(NullToStr(rs.value(QStringLiteral("ContoDog"))).trimmed());
    if (txtContoDog->text().isEmpty()) {
        lblDecContoDog->clear();
        return;
    }
    QString intestatario;
    switch (DecodificaContoDoga(txtContoDog->text(), intestatario)) {
    case 0: lblDecContoDog->setText(intestatario); break;
    case -1: lblDecContoDog->clear(); break;
    case -2: lblDecContoDog->setText(QStringLiteral("[Non Disponibile]")); break;
    default: Scarica(); break;
    }
}

void frmspedoga::ImpostaCampi(Modo modalita)
{
    if (modalita == ModoRicerca)
        for (QWidget *w : std::initializer_list<QWidget *>{txtFrase1, txtFrase2, txtNumDic, lblFrase, lblNumDic})
            w->setEnabled(false);
    else if (modalita == ModoAggiunta)
        txtNumDic->setText(QStringLiteral("0"));
}

void frmspedoga::Campo_DblClick(QWidget *campo)
{
    if (campo == txtContoDog && txtContoDog->isEnabled())
        tableOpener().apri(QStringLiteral("frmcontodoga"), this,
                           QStringLiteral("TableName=ContoDoga;StartUp=A;MultiAdd=False;NewSearch=False"));
}

// The two qualification lines take and lose the highlight together; the
// counter is selected whole when entered to be typed over.
void frmspedoga::Campo_GotFocus(QWidget *campo)
{
    TableScreen::Campo_GotFocus(campo);
    if (campo == txtFrase1 || campo == txtFrase2) {
        for (QLineEdit *riga : {txtFrase1, txtFrase2})
            uimain::ImpostaColore(riga, uimain::ColoreFuoco);
    } else if (campo == txtNumDic && (Modalita == ModoModifica || Modalita == ModoAggiunta)) {
        txtNumDic->selectAll();
    }
}

// Entered by a click, the counter's text is selected once the press has
// placed the caret, as entering it by Tab selects it.
bool frmspedoga::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtNumDic) {
        if (event->type() == QEvent::FocusIn)
            contatoreDaMouse_ = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
        else if (event->type() == QEvent::MouseButtonRelease && contatoreDaMouse_) {
            contatoreDaMouse_ = false;
            if (Modalita == ModoModifica || Modalita == ModoAggiunta)
                txtNumDic->selectAll();
        }
    }
    return TableScreen::eventFilter(watched, event);
}

void frmspedoga::Campo_LostFocus(QWidget *campo)
{
    TableScreen::Campo_LostFocus(campo);
    if (campo == txtFrase1 || campo == txtFrase2)
        for (QLineEdit *riga : {txtFrase1, txtFrase2})
            uimain::ImpostaColore(riga);
}

std::vector<std::pair<QString, QLineEdit *>> frmspedoga::campiRicerca() const
{
    return {{QStringLiteral("Codice"), txtCode},
            {QStringLiteral("Descrizione"), txtDescrizione},
            {QStringLiteral("ContoDog"), txtContoDog}};
}

std::vector<std::pair<QString, QLineEdit *>> frmspedoga::chiavi() const { return {{QStringLiteral("Codice"), txtCode}}; }

QString frmspedoga::messaggioDuplicato() const
{
    return QStringLiteral("Impossibile registrare i dati nell'archivio: il codice mnemonico '") + txtCode->text()
           + QStringLiteral("' risulta già definito");
}

void frmspedoga::scriviModifica(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Descrizione"), txtDescrizione->text());
    rs.setValue(QStringLiteral("Frase1"), StrToNull(txtFrase1->text()));
    rs.setValue(QStringLiteral("Frase2"), StrToNull(txtFrase2->text()));
    rs.setValue(QStringLiteral("ProgIM"), ValoreIniziale(txtNumDic->text()));
    rs.setValue(QStringLiteral("ContoDog"), StrToNull(txtContoDog->text()));
}

void frmspedoga::scriviAggiunta(dao::Recordset &rs)
{
    rs.setValue(QStringLiteral("Codice"), txtCode->text());
    scriviModifica(rs);
}

}  // namespace uitables
