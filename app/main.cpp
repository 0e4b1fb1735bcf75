#include "ui/main/frmcomandosql.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmreicevemirsolan.h"
#include "ui/transmission/frmsendmirsolan.h"
#include "ui/tables/tables.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    uimain::RegistraComposizione(uimain::programWindows());
    uitransmission::RegistraInvio(uimain::programWindows());
    uitransmission::RegistraPrelievo(uimain::programWindows());
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uimain::programWindows().registra(uimain::Finestra::FrmComandoSql, uimain::ApriFrmComandoSql);
    uimain::programWindows().registra(uimain::Finestra::FrmInformazioni, uimain::ApriFrmInformazioni);
    uitables::RegistraTabelle(uimain::programWindows());
    uimain::frmMain frmMain;
    if (!frmMain.Form_Load())
        return 0;
    frmMain.show();
    return app.exec();
}
