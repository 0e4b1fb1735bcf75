#pragma once

#include "platform/scopedservice.h"

#include <QPoint>
#include <QString>

class QWidget;

// The folder chooser frmSelectDir of the transmission screens, as the
// composition wizard opens it: placed at a point, captioned, with its drive
// list and path label shown, started on a folder given in its Tag. It answers
// the Tag it was left with: the folder chosen on OK, "" when cancelled.
namespace uimain {

class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    virtual QString scegli(QWidget *owner, const QPoint &posizione, const QString &caption,
                           const QString &cartellaIniziale) = 0;
};

// The chooser installed; none until the transmission screens provide one,
// and the wizard's browse button is then disabled.
FolderChooser *&folderChooserSlot();
using ScopedFolderChooser = platform::ScopedService<FolderChooser, folderChooserSlot>;

}  // namespace uimain
