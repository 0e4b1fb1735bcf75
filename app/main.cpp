#include "ui/main/frmcomposenew.h"
#include "ui/main/frmmain.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmreicevemirsolan.h"
#include "ui/transmission/frmsendmirsolan.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    uimain::RegistraComposizione(uimain::programWindows());
    uitransmission::RegistraInvio(uimain::programWindows());
    uitransmission::RegistraPrelievo(uimain::programWindows());
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uimain::frmMain frmMain;
    if (!frmMain.Form_Load())
        return 0;
    frmMain.show();
    return app.exec();
}
