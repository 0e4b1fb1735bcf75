#pragma once

#include "common/threebuttondialog.h"

#include <QString>
#include <deque>
#include <vector>

namespace common {

// Records every request and answers from a script; with the script used up it
// answers "0", as Enter on the focused "OK" does.
class RecordingThreeButtonDialogService : public ThreeButtonDialogService {
public:
    QString show(const ThreeButtonRequest &request) override;
    void answer(const QString &tag) { script.push_back(tag); }

    std::vector<ThreeButtonRequest> shown;
    std::deque<QString> script;
};

}  // namespace common
