#include "ui/transmission/frmsendmirsolan.h"

#include "common/globals.h"
#include "common/openretry.h"
#include "common/paths.h"
#include "common/runtimeerror.h"
#include "common/servizioedi.h"
#include "flowengine/decimale.h"
#include "flowengine/register.h"
#include "platform/dao/values.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/screen.h"
#include "ui/main/windowfactory.h"
#include "ui/transmission/flowsend.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

namespace uitransmission {

using platform::MsgIcon;
using uimain::ImpostaColore;
using uimain::PosizionaTwips;

namespace {

// The password box hides each character behind "*", whatever the style
// would draw.
class StileAsterisco : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The last two characters of "00" and the number's plain digits (7 gives "07").
QString DueCifre(const QString &numero) { return (QStringLiteral("00") + numero).right(2); }

}  // namespace

frmSendMirsolan::frmSendMirsolan(QWidget *owner, const flowengine::DatiCorbex &corbex) : QDialog(owner), elencato_(corbex)
{
    const QString macchina = common::NomeMacchinaServizio();
    setObjectName(QStringLiteral("frmSendMirsolan"));
    setWindowTitle(QStringLiteral("Invio corbex a ") + macchina);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(platform::twips(4800), platform::twips(3120));

    auto label = [](QLabel *&member, QWidget *parent, const char *name, const QString &text) {
        member = new QLabel(text, parent);
        member->setObjectName(QString::fromLatin1(name));
    };
    fraUserData = new QGroupBox(QStringLiteral("&Utenza ") + macchina, this);
    fraUserData->setObjectName(QStringLiteral("fraUserData"));
    PosizionaTwips(fraUserData, 60, 60, 4680, 1080);
    label(lblUserId, fraUserData, "lblUserId", QStringLiteral("Codice utenza"));
    PosizionaTwips(lblUserId, 120, 300, 1300, 255);
    label(txtUserId, fraUserData, "txtUserId", QString());
    PosizionaTwips(txtUserId, 1500, 300, 1000, 255);
    label(lblUserPasswd, fraUserData, "lblUserPasswd", QStringLiteral("Password"));
    PosizionaTwips(lblUserPasswd, 120, 660, 1300, 255);
    txtUserPasswd = new QLineEdit(fraUserData);
    txtUserPasswd->setObjectName(QStringLiteral("txtUserPasswd"));
    txtUserPasswd->setEchoMode(QLineEdit::Password);
    auto *asterisco = new StileAsterisco;
    asterisco->setParent(txtUserPasswd);
    txtUserPasswd->setStyle(asterisco);
    txtUserPasswd->setMaxLength(8);
    PosizionaTwips(txtUserPasswd, 1500, 620, 1300, 315);
    chkSavePasswd = new QCheckBox(QStringLiteral("&Salva password"), fraUserData);
    chkSavePasswd->setObjectName(QStringLiteral("chkSavePasswd"));
    PosizionaTwips(chkSavePasswd, 2940, 640, 1600, 255);

    fraMessageData = new QGroupBox(QStringLiteral("&Dati Corbex"), this);
    fraMessageData->setObjectName(QStringLiteral("fraMessageData"));
    PosizionaTwips(fraMessageData, 60, 1200, 4680, 1380);
    label(lblMessageDate, fraMessageData, "lblMessageDate", QStringLiteral("Data"));
    PosizionaTwips(lblMessageDate, 120, 300, 1300, 255);
    label(txtMessageDate, fraMessageData, "txtMessageDate", QString());
    PosizionaTwips(txtMessageDate, 1500, 300, 1300, 255);
    label(lblProgNumber, fraMessageData, "lblProgNumber", QStringLiteral("Numero progressivo"));
    PosizionaTwips(lblProgNumber, 120, 640, 1800, 255);
    txtProgNumber = new QLineEdit(fraMessageData);
    txtProgNumber->setObjectName(QStringLiteral("txtProgNumber"));
    txtProgNumber->setMaxLength(2);
    PosizionaTwips(txtProgNumber, 2700, 600, 500, 315);
    label(lblCustomOfficeCode, fraMessageData, "lblCustomOfficeCode", QStringLiteral("Codice ufficio di presentazione"));
    PosizionaTwips(lblCustomOfficeCode, 120, 1000, 2500, 255);
    cmbCustomOfficeCode = new QComboBox(fraMessageData);
    cmbCustomOfficeCode->setObjectName(QStringLiteral("cmbCustomOfficeCode"));
    cmbCustomOfficeCode->setEditable(false);
    PosizionaTwips(cmbCustomOfficeCode, 2700, 960, 1300, 315);

    cmdConfirm = new QPushButton(QStringLiteral("&Invia"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    PosizionaTwips(cmdConfirm, 2220, 2680, 1215, 375);
    cmdCancel = new QPushButton(QStringLiteral("&Annulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    PosizionaTwips(cmdCancel, 3525, 2680, 1215, 375);

    setTabOrder(txtUserPasswd, chkSavePasswd);
    setTabOrder(chkSavePasswd, txtProgNumber);
    setTabOrder(txtProgNumber, cmbCustomOfficeCode);
    setTabOrder(cmbCustomOfficeCode, cmdConfirm);
    setTabOrder(cmdConfirm, cmdCancel);
    txtUserPasswd->installEventFilter(this);
    txtProgNumber->installEventFilter(this);
    connect(cmbCustomOfficeCode, &QComboBox::activated, this, [this] { ImpostaColore(cmbCustomOfficeCode); });
    connect(cmdConfirm, &QPushButton::clicked, this, &frmSendMirsolan::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSendMirsolan::cmdCancel_Click);

    Corbex = elencato_;
    Form_Load();
    txtUserPasswd->setFocus();
}

void frmSendMirsolan::Form_Load()
{
    try {
        carica();
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
    }
}

void frmSendMirsolan::carica()
{
    // A row no longer in the register leaves the flow's other fields empty.
    flowengine::CaricaCorbex(Corbex);
    const std::optional<DatiInvio> dati = LeggiDatiInvio(Corbex.FattoDa);
    if (!dati)
        return;
    txtUserId->setText(dati->codiceUtenza);
    txtMessageDate->setText(Corbex.Data.toString(QStringLiteral("dd/MM/yyyy")));
    txtProgNumber->setText(DueCifre(QString::number(Corbex.Progressivo)));
    Tag = Corbex.NomeFile;
    txtUserPasswd->setText(dati->password);
    chkSavePasswd->setChecked(dati->autoPasswd);
    cmbCustomOfficeCode->addItems(dati->uffici);
    cmbCustomOfficeCode->setCurrentIndex(dati->ufficio.isEmpty() ? -1 : cmbCustomOfficeCode->findText(dati->ufficio, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

bool frmSendMirsolan::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtUserPasswd || watched == txtProgNumber) {
        auto *field = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::FocusIn)
            ImpostaColore(field, uimain::ColoreFuoco);
        else if (event->type() == QEvent::FocusOut) {
            if (watched == txtProgNumber)
                txtProgNumber_LostFocus();
            else
                ImpostaColore(field);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSendMirsolan::txtProgNumber_LostFocus()
{
    const QString testo = txtProgNumber->text();
    const flowengine::Decimale valore = flowengine::Decimale::daTesto(testo);
    if (!common::IsNumericText(testo) || valore.testo().startsWith(u'-')) {
        ImpostaColore(txtProgNumber, uimain::ColoreRosso);
        return;
    }
    txtProgNumber->setText(DueCifre(valore.testo()));
    ImpostaColore(txtProgNumber);
}

void frmSendMirsolan::cmdConfirm_Click()
{
    const QString macchina = common::NomeMacchinaServizio();
    // A send started with Enter from the number's field finds it not yet
    // checked: the check runs first, so the number sent is the one it leaves.
    if (txtProgNumber->hasFocus())
        txtProgNumber_LostFocus();
    try {
        if (!VerificaPassword(txtUserId->text(), txtUserPasswd->text())) {
            platform::msgBox(QStringLiteral("Password errata, correggere e riprovare."), QStringLiteral("Corbix Doganali"),
                             MsgIcon::Information);
            ImpostaColore(txtUserPasswd, uimain::ColoreRosso);
            return;
        }
        if (cmbCustomOfficeCode->currentText().isEmpty()) {
            platform::msgBox(
                QStringLiteral("E' necessario indicare il codice dell'ufficio doganale a cui si presenta il corbex."),
                common::TitoloCorbix, MsgIcon::Information);
            ImpostaColore(cmbCustomOfficeCode, uimain::ColoreRosso);
            return;
        }
        if (chkSavePasswd->isChecked())
            MemorizzaAutoPasswd(txtUserId->text(), true);
        while (!VerificaServizioInLinea(txtUserId->text())) {
            if (platform::msgBox(QStringLiteral("La macchina del servizio '") + macchina
                                     + QStringLiteral(" non è in linea. Effettuare la connessione a ") + macchina
                                     + QStringLiteral(", quindi riprovare."),
                                 QStringLiteral("Corbix Doganali"), MsgIcon::Information,
                                 platform::MsgButtons::RetryCancel)
                != platform::MsgResult::Retry)
                return;
        }
    } catch (const platform::RuntimeError &e) {
        // A user code that names no share, among the others.
        common::mostraErroreRunTime(e);
        return;
    }
    // The user may have waited at the password and the service: the file
    // sent is that of the flow chosen, never of another filed meanwhile
    // under its date and number.
    if (!uimain::FlussoAncoraElencato(elencato_, ElencoSuperato)) {
        if (ElencoSuperato)
            reject();
        return;
    }
    const auto giorno = dao::parseDateText(txtMessageDate->text());
    const QString nome =
        NomeFileServizio(giorno ? giorno->date() : QDate(), txtProgNumber->text(), cmbCustomOfficeCode->currentText());
    if (!SpedisciFile(txtUserId->text(), Tag, nome))
        return;
    platform::msgBox(QStringLiteral("Il corbex è stato spedito al servizio ") + macchina
                         + QStringLiteral(". E' ora possibile disconnetersi dalla macchina ") + macchina
                         + QStringLiteral("."),
                     QStringLiteral("Corbix Doganali"), MsgIcon::Information);
    accept();
}

void frmSendMirsolan::cmdCancel_Click() { reject(); }

void RegistraInvio(uimain::RegisteredWindowFactory &finestre)
{
    finestre.registraSuFlusso(uimain::Finestra::frmSendMirsolan, [](QWidget *owner, uimain::FlussoSelezionato &flusso) {
        frmSendMirsolan invio(owner, flusso.corbex);
        invio.exec();
        flusso.elencoSuperato = invio.ElencoSuperato;
    });
}

}  // namespace uitransmission
