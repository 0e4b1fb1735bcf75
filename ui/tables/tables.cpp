#include "ui/tables/tables.h"

#include "ui/main/windowfactory.h"
#include "ui/tables/frmcompartdog.h"
#include "ui/tables/frmcontodoga.h"
#include "ui/tables/frmstati.h"
#include "ui/tables/frmutenzeedi.h"
#include "ui/tables/frmvaluta.h"

#include <functional>
#include <map>

namespace uitables {

namespace {

using Costruttore = std::function<std::unique_ptr<TableScreen>(QWidget *owner)>;

template <class Screen>
Costruttore costruttore()
{
    return [](QWidget *owner) { return std::make_unique<Screen>(owner); };
}

const std::map<QString, Costruttore> &schermate()
{
    static const std::map<QString, Costruttore> tutte = {
        {QStringLiteral("frmUtenzeEDI"), costruttore<frmUtenzeEDI>()},
        {QStringLiteral("frmCompartDog"), costruttore<frmCompartDog>()},
        {QStringLiteral("frmstati"), costruttore<frmstati>()},
        {QStringLiteral("frmvaluta"), costruttore<frmvaluta>()},
        {QStringLiteral("frmcontodoga"), costruttore<frmcontodoga>()},
    };
    return tutte;
}

template <class Screen>
void registra(uimain::RegisteredWindowFactory &finestre, uimain::Finestra finestra)
{
    finestre.registra(finestra, [](QWidget *owner, const QString &tag) {
        Screen screen(owner);
        screen.Tag = tag;
        screen.exec();
    });
}

}  // namespace

std::unique_ptr<TableScreen> CreaSchermata(const QString &form, QWidget *owner)
{
    const auto it = schermate().find(form);
    return it == schermate().end() ? nullptr : it->second(owner);
}

void RegistraTabelle(uimain::RegisteredWindowFactory &finestre)
{
    registra<frmUtenzeEDI>(finestre, uimain::Finestra::frmUtenzeEDI);
    registra<frmCompartDog>(finestre, uimain::Finestra::frmCompartDog);
}

}  // namespace uitables
