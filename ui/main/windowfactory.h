#pragma once

#include "flowengine/register.h"
#include "platform/scopedservice.h"

#include <QString>
#include <functional>
#include <map>

class QWidget;

// The one way the main window opens the windows of the other screens. Each
// window is opened modally over the main window and returns only when it has
// closed; it is handed nothing but its Tag text and the program-wide values,
// and hands back nothing but those values.
//
// The windows that work on the flow of the list row RigaSelezionata (1 for
// the first flow) are opened on it: they are handed the flow as the list
// showed it.
// When a window that may change the register closes (archive link,
// composition, answer fetch, answer processing), the main window refills its
// list itself, so those windows need not.
namespace uimain {

enum class Finestra {
    frmFirstExecution,
    frmArchiveLink,
    frmOpzioniCorbix,
    frmReiceveMirsolan,
    frmSendMirsolan,
    frmAswerProcess,
    frmAswerReport,
    frmUtenzeEDI,
    frmCompartDog,
    frmComposeNew,
    FrmComandoSql,
    FrmInformazioni,
};

// The flow a window opened on a list row works on: its key and its register
// row as read when the list was filled. A window that finds the register row
// no longer so tells the user and sets elencoSuperato: the main window then
// refills its list.
struct FlussoSelezionato {
    flowengine::DatiCorbex corbex;
    bool elencoSuperato = false;
};

// Tells the user that the flow chosen in the list is no longer in the
// register as the list showed it, and that the list is refilled.
void AvvisaElencoSuperato();

// Whether the register still holds the flow as the list showed it. False
// after telling the user: that the list is refilled (superato then set), or
// the run-time error met reading it.
bool FlussoAncoraElencato(const flowengine::DatiCorbex &elencato, bool &superato);

class WindowFactory {
public:
    virtual ~WindowFactory() = default;
    // Whether the window can be opened; the commands that open one that
    // cannot are disabled.
    virtual bool disponibile(Finestra finestra) const = 0;
    // Opens the window modally over owner with the given Tag and returns when
    // it has closed. A window that is not available is not opened.
    virtual void apri(Finestra finestra, QWidget *owner, const QString &tag) = 0;
    // Opens a window that works on a flow of the list, on that flow.
    virtual void apriSuFlusso(Finestra finestra, QWidget *owner, FlussoSelezionato &flusso) = 0;
};

// The windows the program's screen libraries provide, each registered with
// the function that opens it; main() registers them before the main window
// is made.
class RegisteredWindowFactory : public WindowFactory {
public:
    using Apertura = std::function<void(QWidget *owner, const QString &tag)>;
    using AperturaSuFlusso = std::function<void(QWidget *owner, FlussoSelezionato &flusso)>;

    void registra(Finestra finestra, Apertura apertura);
    void registraSuFlusso(Finestra finestra, AperturaSuFlusso apertura);

    bool disponibile(Finestra finestra) const override;
    void apri(Finestra finestra, QWidget *owner, const QString &tag) override;
    void apriSuFlusso(Finestra finestra, QWidget *owner, FlussoSelezionato &flusso) override;

private:
    std::map<Finestra, Apertura> aperture_;
    std::map<Finestra, AperturaSuFlusso> apertureSuFlusso_;
};

// The factory in use: the one installed, or else the program's own.
WindowFactory &windowFactory();
RegisteredWindowFactory &programWindows();

// The pointer behind the accessor; a guard installs a test double in it.
WindowFactory *&windowFactorySlot();
using ScopedWindowFactory = platform::ScopedService<WindowFactory, windowFactorySlot>;

}  // namespace uimain
