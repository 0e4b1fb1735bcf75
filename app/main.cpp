#include "common/dialogs.h"
#include "platform/application.h"
#include "ui/main/frmcomandosql.h"
#include "ui/main/frmcomposenew.h"
#include "ui/main/frminformazioni.h"
#include "ui/main/frmmain.h"
#include "ui/tables/tables.h"
#include "ui/transmission/frmarchivelink.h"
#include "ui/transmission/frmaswerprocess.h"
#include "ui/transmission/frmaswerreport.h"
#include "ui/transmission/frmfirstexecution.h"
#include "ui/transmission/frmopzionicorbix.h"
#include "ui/transmission/frmreicevemirsolan.h"
#include "ui/transmission/frmselectdir.h"
#include "ui/transmission/frmsendmirsolan.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    platform::ImpostaApplicazione();
    common::InstallaDialoghi();
    uimain::RegistraComposizione(uimain::programWindows());
    uimain::programWindows().registra(uimain::Finestra::FrmComandoSql, uimain::ApriFrmComandoSql);
    uimain::programWindows().registra(uimain::Finestra::FrmInformazioni, uimain::ApriFrmInformazioni);
    uitransmission::RegistraInvio(uimain::programWindows());
    uitransmission::RegistraPrelievo(uimain::programWindows());
    uitransmission::RegistraElaborazione(uimain::programWindows());
    uitransmission::RegistraTabulato(uimain::programWindows());
    uitransmission::RegistraPrimaEsecuzione(uimain::programWindows());
    uitransmission::RegistraCollegamentoArchivio(uimain::programWindows());
    uitransmission::RegistraOpzioni(uimain::programWindows());
    uitransmission::InstallaSceltaCartella();
    uitables::RegistraTabelle(uimain::programWindows());
    uimain::frmMain frmMain;
    if (!frmMain.Form_Load())
        return 0;
    frmMain.show();
    return app.exec();
}
