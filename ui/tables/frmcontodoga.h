#pragma once

#include "ui/tables/tablescreen.h"

class QPlainTextEdit;

namespace uitables {

// The customs accounts, table ContoDoga: the account code with its CIN
// letter, the holder, the credit granted and the indications for box 50 of
// the D.A.U.
class frmcontodoga : public TableScreen {
    Q_OBJECT
public:
    explicit frmcontodoga(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override { return true; }
    bool VerificaCancellabile() override;
    void AbilitaCampi(bool Pulisci) override;

    QLabel *lblCodice;
    QLineEdit *txtCodice;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QLabel *lblFido;
    QLineEdit *txtFido;
    QLabel *lblObbligato;
    QPlainTextEdit *txtObbligato;

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;
    QString messaggioDuplicato() const override;
    void ImpostaCampi(Modo modalita) override;

private:
    // The indications as stored in the row shown; empty for a new row.
    QString obbligatoLetto_;
};

}  // namespace uitables
