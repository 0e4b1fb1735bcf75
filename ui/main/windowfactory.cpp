#include "ui/main/windowfactory.h"

namespace uimain {

void RegisteredWindowFactory::registra(Finestra finestra, Apertura apertura)
{
    aperture_[finestra] = std::move(apertura);
}

bool RegisteredWindowFactory::disponibile(Finestra finestra) const { return aperture_.count(finestra) > 0; }

void RegisteredWindowFactory::apri(Finestra finestra, QWidget *owner, const QString &tag)
{
    const auto it = aperture_.find(finestra);
    if (it != aperture_.end())
        it->second(owner, tag);
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
