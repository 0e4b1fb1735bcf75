#include "ui/main/folderchooser.h"

namespace uimain {

FolderChooser *&folderChooserSlot()
{
    static FolderChooser *installed = nullptr;
    return installed;
}

}  // namespace uimain
