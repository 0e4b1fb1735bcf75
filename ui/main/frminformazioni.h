#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTabWidget;

namespace uimain {

// The registry roots the program reads from.
enum class RadiceRegistro { HKEY_LOCAL_MACHINE };

// Reads a text value of the registry. This system keeps no registry: each
// value the program reads is taken from an environment variable of its own
// (VariabileRegistro), and a value that is not set cannot be read. False, and
// testo empty, when the value cannot be read.
bool GetKeyValue(RadiceRegistro radice, const QString &chiave, const QString &nomeValore, QString &testo);

// The environment variable that holds a registry value, empty for a value the
// program never reads.
QString VariabileRegistro(RadiceRegistro radice, const QString &chiave, const QString &nomeValore);

// Starts the system-information tool: the program named by the tool's own
// entry, or else the tool in the folder of the shared tools. When neither can
// be started the user is told that the information is not available.
void StartSysInfo();

// "Versione " and the three numbers in plain decimal digits.
QString TestoLblVersione(int maggiore, int minore, int revisione);

// The information box: title, version and description of the program, and
// the button that starts the system-information tool.
class FrmInformazioni : public QDialog {
    Q_OBJECT

public:
    explicit FrmInformazioni(QWidget *parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel *picIcon = nullptr;
    QLabel *LblProdotto = nullptr;
    QLabel *LblVersione = nullptr;
    QTabWidget *SSTab1 = nullptr;
    QLabel *LblDescrizione = nullptr;
    QPushButton *CmdSysInfo = nullptr;
    QPushButton *CmdOK = nullptr;
};

// Opens the window modally over owner; it takes no Tag.
void ApriFrmInformazioni(QWidget *owner, const QString &tag);

}  // namespace uimain
