#pragma once

#include "ui/tables/tablescreen.h"

class QFrame;

namespace uitables {

// The declarants and representatives, table Spedoga: the code, the name, two
// lines of qualification, the counter of declarations issued and the customs
// account, whose holder is shown beside it.
class frmspedoga : public TableScreen {
    Q_OBJECT
public:
    explicit frmspedoga(QWidget *parent = nullptr);

    void AggiornaMaschera() override;
    bool VerificaGlobale() override { return true; }
    void Campo_DblClick(QWidget *campo) override;
    void Campo_GotFocus(QWidget *campo) override;
    void Campo_LostFocus(QWidget *campo) override;

    // The account's holder: 0 found, -1 no such account, -2 locked and given
    // up, -3 another error (shown).
    qint16 DecodificaContoDoga(const QString &codice, QString &intestatario);

    QLabel *lblCode;
    QLineEdit *txtCode;
    QLabel *lblDescrizione;
    QLineEdit *txtDescrizione;
    QLabel *lblFrase;
    QFrame *fraFrase;
    QLineEdit *txtFrase1;
    QLineEdit *txtFrase2;
    QLabel *lblNumDic;
    QLineEdit *txtNumDic;
    QLabel *lblContoDog;
    QLineEdit *txtContoDog;
    QLabel *lblDecContoDog;

protected:
    std::vector<std::pair<QString, QLineEdit *>> campiRicerca() const override;
    std::vector<std::pair<QString, QLineEdit *>> chiavi() const override;
    void scriviModifica(dao::Recordset &rs) override;
    void scriviAggiunta(dao::Recordset &rs) override;
    QString messaggioDuplicato() const override;
    void ImpostaCampi(Modo modalita) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EsitoCampo controllaCodice();
    EsitoCampo controllaConto();

    // The counter box was entered by a press of the mouse, whose release
    // would otherwise leave the caret where it fell.
    bool contatoreDaMouse_ = false;
};

}  // namespace uitables
