#pragma once

#include "ui/tables/tablescreen.h"

namespace uitables {

// The customs compartments, table CompDog: a country, a two-digit code, a
// name, an optional province and the compartment's data-centre code.
class frmCompartDog : public TableScreen {
    Q_OBJECT
public:
    explicit frmCompartDog(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override;
    bool VerificaCancellabile() override;
    void Campo_DblClick(QWidget *campo) override;

    QLabel *lblStato;
    QLineEdit *txtStato;
    QLabel *lblDecStato;
    QLabel *lblCodice;
    QLineEdit *txtCodice;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QLabel *lblProvincia;
    QLineEdit *txtProvincia;
    QLabel *lblDecProvincia;
    QLabel *lblCED;
    QLineEdit *txtCED;

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;

private:
    EsitoCampo controllaStato();
    EsitoCampo controllaProvincia();
};

}  // namespace uitables
