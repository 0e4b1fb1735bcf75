#include "ui/main/windowfactory.h"

#include "common/globals.h"
#include "common/runtimeerror.h"
#include "platform/errors.h"
#include "platform/messagebox.h"

namespace uimain {

void AvvisaElencoSuperato()
{
    platform::msgBox(QStringLiteral("Il corbex selezionato non è più presente nel registro: l'elenco viene aggiornato."),
                     common::TitoloCorbix, platform::MsgIcon::Information);
}

bool FlussoAncoraElencato(const flowengine::DatiCorbex &elencato, bool &superato)
{
    try {
        if (flowengine::CorbexComeElencato(elencato))
            return true;
    } catch (const platform::RuntimeError &e) {
        common::mostraErroreRunTime(e);
        return false;
    }
    AvvisaElencoSuperato();
    superato = true;
    return false;
}

void RegisteredWindowFactory::registra(Finestra finestra, Apertura apertura)
{
    aperture_[finestra] = std::move(apertura);
}

void RegisteredWindowFactory::registraSuFlusso(Finestra finestra, AperturaSuFlusso apertura)
{
    apertureSuFlusso_[finestra] = std::move(apertura);
}

bool RegisteredWindowFactory::disponibile(Finestra finestra) const
{
    return aperture_.count(finestra) > 0 || apertureSuFlusso_.count(finestra) > 0;
}

void RegisteredWindowFactory::apri(Finestra finestra, QWidget *owner, const QString &tag)
{
    const auto it = aperture_.find(finestra);
    if (it != aperture_.end())
        it->second(owner, tag);
}

void RegisteredWindowFactory::apriSuFlusso(Finestra finestra, QWidget *owner, FlussoSelezionato &flusso)
{
    const auto it = apertureSuFlusso_.find(finestra);
    if (it != apertureSuFlusso_.end())
        it->second(owner, flusso);
}

RegisteredWindowFactory &programWindows()
{
    static RegisteredWindowFactory factory;
    return factory;
}

WindowFactory *&windowFactorySlot()
{
    static WindowFactory *current = &programWindows();
    return current;
}

WindowFactory &windowFactory() { return *windowFactorySlot(); }

}  // namespace uimain
