#include "ui/main/frminformazioni.h"

#include "common/centraform.h"
#include "common/globals.h"
#include "common/version.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/process.h"

#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace uimain {

namespace {

const QString ChiaveMsInfo = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString ChiaveStrumentiCondivisi = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

struct ValoreRegistro {
    RadiceRegistro radice;
    QString chiave;
    QString nome;
    QString variabile;
};

// The registry values read by the program and where each is kept here.
const std::vector<ValoreRegistro> &valoriRegistro()
{
    static const std::vector<ValoreRegistro> valori = {
        {RadiceRegistro::HKEY_LOCAL_MACHINE, ChiaveMsInfo, QStringLiteral("PATH"), QStringLiteral("CORBIX_MSINFO_PATH")},
        {RadiceRegistro::HKEY_LOCAL_MACHINE, ChiaveStrumentiCondivisi, QStringLiteral("MSINFO"),
         QStringLiteral("CORBIX_MSINFO_CARTELLA")},
    };
    return valori;
}

// Starts the program at a path; false when it is not there or does not start.
bool avvia(const QString &programma)
{
    try {
        return platform::processLauncher().startDetached(platform::hostPath(programma));
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

// Whether a file is at the path; a drive that cannot be reached holds none.
bool esisteFile(const QString &percorso)
{
    try {
        return QFileInfo(platform::hostPath(percorso)).isFile();
    } catch (const platform::RuntimeError &) {
        return false;
    }
}

QLabel *etichetta(const QString &testo, QWidget *parent, const char *nome = nullptr)
{
    auto *label = new QLabel(testo, parent);
    if (nome)
        label->setObjectName(QLatin1String(nome));
    label->setWordWrap(true);
    return label;
}

QGroupBox *riquadro(const QString &titolo, QLabel *contenuto, QWidget *parent)
{
    auto *box = new QGroupBox(titolo, parent);
    auto *layout = new QVBoxLayout(box);
    contenuto->setParent(box);
    layout->addWidget(contenuto);
    return box;
}

}  // namespace

QString VariabileRegistro(RadiceRegistro radice, const QString &chiave, const QString &nomeValore)
{
    for (const ValoreRegistro &v : valoriRegistro())
        if (v.radice == radice && v.chiave.compare(chiave, Qt::CaseInsensitive) == 0
            && v.nome.compare(nomeValore, Qt::CaseInsensitive) == 0)
            return v.variabile;
    return {};
}

bool GetKeyValue(RadiceRegistro radice, const QString &chiave, const QString &nomeValore, QString &testo)
{
    testo.clear();
    const QString variabile = VariabileRegistro(radice, chiave, nomeValore);
    if (variabile.isEmpty() || !qEnvironmentVariableIsSet(variabile.toLatin1().constData()))
        return false;
    testo = qEnvironmentVariable(variabile.toLatin1().constData());
    return true;
}

void StartSysInfo()
{
    QString percorso;
    if (GetKeyValue(RadiceRegistro::HKEY_LOCAL_MACHINE, ChiaveMsInfo, QStringLiteral("PATH"), percorso)) {
        if (avvia(percorso))
            return;
    } else if (GetKeyValue(RadiceRegistro::HKEY_LOCAL_MACHINE, ChiaveStrumentiCondivisi, QStringLiteral("MSINFO"),
                           percorso)) {
        // The folder is in the system's form or, on a host path, in the host's.
        const QChar separatore = percorso.startsWith(u'/') ? u'/' : u'\\';
        const QString programma = percorso + separatore + QStringLiteral("MSINFO32.EXE");
        if (esisteFile(programma) && avvia(programma))
            return;
    }
    platform::msgBox(QStringLiteral("Le informazioni sul sistema non sono disponibili in questa fase"),
                     common::TitoloApplicazione, platform::MsgIcon::None, platform::MsgButtons::OK);
}

QString TestoLblVersione(int maggiore, int minore, int revisione)
{
    return QStringLiteral("Versione ") + common::testoVersione(maggiore, minore, revisione);
}

FrmInformazioni::FrmInformazioni(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmInformazioni"));
    setWindowTitle(QStringLiteral("INFORMAZIONI SU"));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    LblProdotto = etichetta(QString(), this, "LblProdotto");
    QFont grande = LblProdotto->font();
    grande.setPointSize(14);
    grande.setBold(true);
    LblProdotto->setFont(grande);
    LblVersione = etichetta(QString(), this, "LblVersione");

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto *informazioni = new QWidget(SSTab1);
    auto *layoutInformazioni = new QVBoxLayout(informazioni);
    LblDescrizione = etichetta(QString(), informazioni, "LblDescrizione");
    layoutInformazioni->addWidget(riquadro(QStringLiteral("Descrizione prodotto"), LblDescrizione, informazioni));
    layoutInformazioni->addWidget(
        riquadro(QStringLiteral("Proprietà"), etichetta(QStringLiteral("Utente della licenza d'uso"), informazioni),
                 informazioni));
    layoutInformazioni->addWidget(riquadro(
        QStringLiteral("Autore"), etichetta(QStringLiteral("Il produttore dell'applicazione"), informazioni),
        informazioni));
    SSTab1->addTab(informazioni, QStringLiteral("Informazioni su"));

    auto *supporto = new QWidget(SSTab1);
    auto *layoutSupporto = new QVBoxLayout(supporto);
    for (const QString &didascalia :
         {QStringLiteral("Fax"), QStringLiteral("Posta elettronica"), QStringLiteral("Sito web")})
        layoutSupporto->addWidget(riquadro(didascalia, etichetta(QStringLiteral("Non indicato"), supporto), supporto));
    layoutSupporto->addStretch();
    SSTab1->addTab(supporto, QStringLiteral("Supporto"));

    CmdSysInfo = new QPushButton(QStringLiteral("Sistema"), this);
    CmdSysInfo->setObjectName(QStringLiteral("CmdSysInfo"));
    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);

    auto *testata = new QHBoxLayout;
    testata->addWidget(picIcon);
    auto *titoli = new QVBoxLayout;
    titoli->addWidget(LblProdotto);
    titoli->addWidget(LblVersione);
    testata->addLayout(titoli, 1);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(CmdSysInfo);
    pulsanti->addWidget(CmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(testata);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(pulsanti);

    connect(CmdOK, &QPushButton::clicked, this, &FrmInformazioni::cmdOK_Click);
    connect(CmdSysInfo, &QPushButton::clicked, this, &FrmInformazioni::cmdSysInfo_Click);
}

void FrmInformazioni::Form_Load()
{
    LblVersione->setText(
        TestoLblVersione(common::VersioneMaggiore, common::VersioneMinore, common::VersioneRevisione));
    LblProdotto->setText(common::TitoloApplicazione);
    LblDescrizione->setText(common::DescrizioneApplicazione);
    adjustSize();
    setFixedSize(size());
    common::CentraForm(this);
}

void FrmInformazioni::cmdOK_Click() { close(); }

void FrmInformazioni::cmdSysInfo_Click() { StartSysInfo(); }

void ApriFrmInformazioni(QWidget *owner, const QString &)
{
    FrmInformazioni window(owner);
    window.Form_Load();
    window.exec();
}

}  // namespace uimain
