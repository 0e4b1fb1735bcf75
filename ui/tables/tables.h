#pragma once

namespace uimain {
class RegisteredWindowFactory;
}

namespace uitables {

// Registers the table screens the main window opens from its menu:
// frmUtenzeEDI and frmCompartDog.
void RegistraTabelle(uimain::RegisteredWindowFactory &finestre);

}  // namespace uitables
