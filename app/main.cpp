#include "ui/main/frmcomandosql.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"
#include "ui/transmission/frmaswerreport.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    uimain::RegistraComposizione(uimain::programWindows());
    uimain::programWindows().registra(uimain::Finestra::FrmComandoSql, uimain::ApriFrmComandoSql);
    uimain::programWindows().registra(uimain::Finestra::FrmInformazioni, uimain::ApriFrmInformazioni);
    uitransmission::RegistraTabulato(uimain::programWindows());
    uimain::frmMain frmMain;
    if (!frmMain.Form_Load())
        return 0;
    frmMain.show();
    return app.exec();
}
