#include "ui/main/frmcomposenew.h"
#include "ui/main/frmmain.h"
#include "ui/transmission/frmaswerreport.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    uimain::RegistraComposizione(uimain::programWindows());
    uitransmission::RegistraTabulato(uimain::programWindows());
    uimain::frmMain frmMain;
    if (!frmMain.Form_Load())
        return 0;
    frmMain.show();
    return app.exec();
}
