#pragma once

#include "ui/main/filedialog.h"

#include <QString>
#include <deque>
#include <optional>
#include <vector>

namespace uimain {

// Records every request and answers from a script; with the script used up
// it answers a cancellation.
class RecordingFileDialogService : public FileDialogService {
public:
    std::optional<QString> scegli(QWidget *owner, const RichiestaFile &richiesta) override;
    void answer(std::optional<QString> path) { script.push_back(std::move(path)); }

    std::vector<RichiestaFile> requests;
    std::deque<std::optional<QString>> script;
};

}  // namespace uimain
