#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace uimain {

// The procedure name the console's errors are reported under.
inline const QString RoutineComandoSql = QStringLiteral("Routine di esecuzione comando SQL");

// Runs one statement, as the user wrote it in SQLite's SQL, on the program
// database Corbix.mdb in the program folder and reports the outcome in a
// message box; a failure goes to the error management, whose answer retries
// the step, goes on with the next one or leaves. True when the statement ran
// and the success message was shown. An empty text only gets its warning.
bool EseguiComandoSql(const QString &comando);

// The maintenance console: one SQL statement at a time on the program
// database. It shows no data; it stays open for the next statement.
class FrmComandoSql : public QDialog {
    Q_OBJECT

public:
    explicit FrmComandoSql(QWidget *parent = nullptr);

    void Form_Load();
    void CmdEsegui_Click();
    void CmdRinuncia_Click();

    QLabel *Label1 = nullptr;
    QPlainTextEdit *TxtComandoSql = nullptr;
    QPushButton *CmdRinuncia = nullptr;
    QPushButton *CmdEsegui = nullptr;
    QRadioButton *OptDitte = nullptr;
    QRadioButton *OptAttiva = nullptr;
    QRadioButton *OptTurnol = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Opens the window modally over owner; it takes no Tag.
void ApriFrmComandoSql(QWidget *owner, const QString &tag);

}  // namespace uimain
