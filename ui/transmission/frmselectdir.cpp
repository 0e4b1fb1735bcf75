#include "ui/transmission/frmselectdir.h"

#include "common/paths.h"
#include "flowengine/collectionpoint.h"
#include "platform/application.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/messagebox.h"
#include "platform/twips.h"
#include "ui/main/composition.h"
#include "ui/main/screen.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

namespace uitransmission {

using platform::toTwips;
using platform::twips;
using uimain::PosizionaTwips;

namespace {

QString radice(QChar drive) { return QString(drive.toUpper()) + QStringLiteral(":\\"); }

// The drive of a drive path ("D:\Dati", "d:"); a null character for any other.
QChar driveDi(const QString &percorso)
{
    if (percorso.size() >= 2 && percorso[1] == u':' && percorso[0].isLetter()
        && (percorso.size() == 2 || percorso[2] == u'\\'))
        return percorso[0].toUpper();
    return {};
}

// A drive path in the form the directory list shows: no closing "\" except
// at a drive's root, no empty components.
QString normalizza(const QString &percorso)
{
    const QStringList parti = percorso.mid(2).split(u'\\', Qt::SkipEmptyParts);
    QString out = radice(percorso[0]);
    out += parti.join(u'\\');
    return out;
}

}  // namespace

frmSelectDir::frmSelectDir(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSelectDir"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    dlbDirList = new QListWidget(this);
    dlbDirList->setObjectName(QStringLiteral("dlbDirList"));
    cmdConfirm = new QPushButton(QStringLiteral("&OK"), this);
    cmdConfirm->setObjectName(QStringLiteral("cmdConfirm"));
    cmdConfirm->setDefault(true);
    cmdConfirm->setAutoDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("A&nnulla"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    lblPath = new QLabel(this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setFrameShape(QFrame::Box);
    lblPath->setAutoFillBackground(true);
    lblPath->setBackgroundRole(QPalette::Base);
    dlbDirveList = new QComboBox(this);
    dlbDirveList->setObjectName(QStringLiteral("dlbDirveList"));
    dlbDirveList->setEditable(false);
    // Shown only when the caller asks for them.
    lblPath->setVisible(false);
    dlbDirveList->setVisible(false);

    setTabOrder(dlbDirList, cmdConfirm);
    setTabOrder(cmdConfirm, cmdCancel);
    setTabOrder(cmdCancel, dlbDirveList);

    connect(cmdConfirm, &QPushButton::clicked, this, &frmSelectDir::cmdConfirm_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSelectDir::cmdCancel_Click);
    connect(dlbDirveList, &QComboBox::currentIndexChanged, this, [this] {
        if (!attivazione_)
            dlbDirveList_Change();
    });
    connect(dlbDirList, &QListWidget::itemActivated, this, &frmSelectDir::dlbDirList_DblClick);
}

void frmSelectDir::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

QChar frmSelectDir::driveMostrato() const
{
    const QVariant dato = dlbDirveList->currentData();
    return dato.isValid() ? dato.toChar() : QChar();
}

void frmSelectDir::mostraDrive(QChar drive)
{
    const bool prima = dlbDirveList->blockSignals(true);
    dlbDirveList->setCurrentIndex(dlbDirveList->findData(drive.toUpper()));
    dlbDirveList->blockSignals(prima);
}

void frmSelectDir::riempiDrive()
{
    const bool prima = dlbDirveList->blockSignals(true);
    dlbDirveList->clear();
    for (const QChar drive : platform::driveTable().drives())
        dlbDirveList->addItem(QString(drive.toLower()) + u':', drive);
    dlbDirveList->setCurrentIndex(-1);
    dlbDirveList->blockSignals(prima);
}

void frmSelectDir::ImpostaPercorsoElenco(const QString &percorso)
{
    if (driveDi(percorso).isNull())
        platform::raise(platform::err::BadFileNameOrNumber);
    const QString nuovo = normalizza(percorso);
    if (!QFileInfo(platform::hostPath(nuovo)).isDir())
        platform::raise(platform::err::PathNotFound);
    const bool cambiato = nuovo != percorso_;
    percorso_ = nuovo;
    riempiElenco();
    if (cambiato)
        dlbDirList_Change();
}

void frmSelectDir::riempiElenco()
{
    dlbDirList->clear();
    const QStringList parti = percorso_.mid(3).split(u'\\', Qt::SkipEmptyParts);
    QString cammino = percorso_.left(3);
    auto aggiungi = [this](const QString &testo, const QString &percorso, int livello) {
        auto *item = new QListWidgetItem(QString(livello * 2, u' ') + testo, dlbDirList);
        item->setData(Qt::UserRole, percorso);
        return item;
    };
    aggiungi(cammino, cammino, 0);
    for (int i = 0; i < parti.size(); ++i) {
        cammino = i == 0 ? cammino + parti[i] : cammino + u'\\' + parti[i];
        aggiungi(parti[i], cammino, i + 1);
    }
    dlbDirList->setCurrentRow(dlbDirList->count() - 1);
    try {
        const QStringList figli =
            QDir(platform::hostPath(percorso_)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        const QString base = percorso_.endsWith(u'\\') ? percorso_ : percorso_ + u'\\';
        for (const QString &figlio : figli)
            aggiungi(figlio, base + figlio, parti.size() + 1);
    } catch (const platform::RuntimeError &) {
        // The drive went away meanwhile: the list shows the path alone.
    }
}

void frmSelectDir::dlbDirList_DblClick(QListWidgetItem *item)
{
    try {
        ImpostaPercorsoElenco(item->data(Qt::UserRole).toString());
    } catch (const platform::RuntimeError &) {
        // A folder removed meanwhile: the list is shown again as it is on disk.
        riempiElenco();
    }
}

void frmSelectDir::dlbDirList_Change() { lblPath->setText(percorso_); }

void frmSelectDir::Form_Activate()
{
    attivazione_ = true;
    // Horizontal layout.
    const int larghezza = 4770;
    PosizionaTwips(cmdConfirm, 3060, 0, 1575, 420);
    PosizionaTwips(cmdCancel, 3060, 0, 1575, 420);
    PosizionaTwips(dlbDirList, 60, 0, 2700, 1180);
    PosizionaTwips(dlbDirveList, 60, 0, 2700);
    const int altezzaDrive = toTwips(dlbDirveList->sizeHint().height());
    PosizionaTwips(lblPath, 60, 0, larghezza - 2 * 60 - 90, altezzaDrive);

    // The directory list on the start folder: a folder of this computer given
    // in network form is opened in its drive form; any folder that is not
    // found opens the list on C:\.
    riempiDrive();
    lblPath->setText(Tag);
    const QString inizio =
        flowengine::formaLocaleCentrale(Tag.isEmpty() || Tag.endsWith(u'\\') ? Tag : Tag + u'\\');
    percorso_.clear();
    try {
        if (!driveDi(inizio).isNull() && uimain::CartellaEsiste(inizio))
            ImpostaPercorsoElenco(inizio);
        else
            ImpostaPercorsoElenco(QStringLiteral("C:\\"));
    } catch (const platform::RuntimeError &) {
        // Not even C:\ can be opened: the list stays empty, the chooser opens.
    }
    dlbDirList->setVisible(true);
    dlbDirList->setEnabled(true);

    // The drive list on the start folder's drive, C: for a folder that names
    // no drive. Should that drive not be ready, the list shows the drive of
    // the folder open.
    QChar drive = driveDi(inizio);
    if (drive.isNull())
        drive = u'C';
    mostraDrive(drive);
    if (drive != driveDi(percorso_)) {
        try {
            ImpostaPercorsoElenco(radice(drive));
        } catch (const platform::RuntimeError &) {
            mostraDrive(driveDi(percorso_));
        }
    }
    driveIniziale_ = driveMostrato();
    Tag.clear();

    // Vertical layout.
    const bool conDrive = !dlbDirveList->isHidden();
    dlbDirveList->setEnabled(conDrive);
    if (conDrive) {
        PosizionaTwips(dlbDirveList, 60, 30);
        PosizionaTwips(dlbDirList, 60, 30 + altezzaDrive + 30);
    } else {
        PosizionaTwips(dlbDirList, 60, 30);
    }
    const int b = toTwips(dlbDirList->y()) + 1180 + 30;
    const bool conPercorso = !lblPath->isHidden();
    lblPath->setEnabled(conPercorso);
    int altezza = b + 330;
    if (conPercorso) {
        PosizionaTwips(lblPath, 60, b);
        altezza = b + altezzaDrive + 30 + 330;
    }
    // The height is the outer one; the client area holds at least the lists.
    setFixedWidth(twips(larghezza));
    platform::ImpostaAltezzaEsterna(this, twips(altezza), twips(altezza - 330));
    const int q = b / 4;
    PosizionaTwips(cmdConfirm, 3060, q - 420 / 2);
    PosizionaTwips(cmdCancel, 3060, 3 * q - 420 / 2);
    attivazione_ = false;
}

void frmSelectDir::dlbDirveList_Change()
{
    const QChar drive = driveMostrato();
    if (drive.isNull())
        return;
    for (;;) {
        try {
            // A drive's current folder is the one open when it is that drive,
            // else its root.
            ImpostaPercorsoElenco(drive == driveDi(percorso_) ? percorso_ : radice(drive));
            return;
        } catch (const platform::RuntimeError &e) {
            if (e.number() != platform::err::DeviceUnavailable)
                return;
            if (platform::msgBox(e.description(), QStringLiteral("Errore di sistema"), platform::MsgIcon::Critical,
                                 platform::MsgButtons::RetryCancel)
                == platform::MsgResult::Retry)
                continue;
            // Back to the start drive, unless it is the one that failed.
            if (drive != driveIniziale_ && !driveIniziale_.isNull()) {
                mostraDrive(driveIniziale_);
                dlbDirveList_Change();
            }
            return;
        }
    }
}

void frmSelectDir::cmdConfirm_Click()
{
    Tag = lblPath->text();
    accept();
}

void frmSelectDir::cmdCancel_Click() { reject(); }

QString SceltaCartella::scegli(QWidget *owner, const QPoint &posizione, const QString &caption,
                               const QString &cartellaIniziale)
{
    frmSelectDir finestra(owner);
    finestra.move(posizione);
    finestra.setWindowTitle(caption);
    finestra.dlbDirveList->setVisible(true);
    finestra.lblPath->setVisible(true);
    finestra.Tag = cartellaIniziale;
    finestra.exec();
    return finestra.Tag;
}

uimain::FolderChooser &sceltaCartella()
{
    static SceltaCartella programma;
    uimain::FolderChooser *installata = uimain::folderChooserSlot();
    return installata ? *installata : programma;
}

void InstallaSceltaCartella()
{
    static SceltaCartella programma;
    uimain::folderChooserSlot() = &programma;
}

}  // namespace uitransmission
