#pragma once

#include <QDialog>
#include <QString>
#include <QVariantList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace uitables {

class DataControl;
class RecordsetModel;

// The input control of a caller that takes an account code from the lookup.
class BoundTextControl {
public:
    virtual ~BoundTextControl() = default;
    virtual void setBoundText(const QString &testo) = 0;
};

// The query over PianoDeiConti: its text and the values bound to it.
struct QueryConti {
    QString sql;
    QVariantList valori;
};

// The accounts whose code is not a group heading (".0000"), narrowed to
// those whose description holds caratteri, whose parola matches the pattern
// radice and whose natura is the kind ("P", "C" or "F"; any other letter
// lists every kind), sorted by code or by description.
QueryConti QueryPianoDeiConti(const QString &caratteri, const QString &radice, const QString &natura,
                              bool perCodice);

// The pick list over the chart of accounts of the accounting database
// (common::PercorsoContabilita): the chosen code goes into the caller's
// control.
// No command of the program opens this screen.
class FrmHelpPianoDeiConti : public QDialog {
    Q_OBJECT
public:
    explicit FrmHelpPianoDeiConti(QWidget *parent = nullptr);

    // Lists the accounts and shows the screen modally; returns when it
    // closes. A caller that is not a BoundTextControl gets nothing back.
    // The data layer's error when the accounting database cannot be read
    // reaches the caller, and the screen is not shown.
    void Avvia(QObject *chiamante, const QString &radice = QString(), const QString &natura = QStringLiteral("X"));

    QGroupBox *Frame2;
    QRadioButton *OptPdC;
    QRadioButton *OptClienti;
    QRadioButton *OptFornitori;
    QGroupBox *Frame1;
    QRadioButton *OptCodice;
    QRadioButton *OptDescrizione;
    QLabel *Label1;
    QLineEdit *TxtCaratteri;
    QTableView *DbgPianoDeiConti;
    DataControl *DtPianoDeiConti;
    QLabel *LblMsg;
    QPushButton *CmdOK;
    QPushButton *CmdUscita;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Aggiorna();
    QString naturaScelta() const;
    void CmdOK_Click();

    QObject *chiamante_ = nullptr;
    QString radice_;
    RecordsetModel *modello_;
};

}  // namespace uitables
