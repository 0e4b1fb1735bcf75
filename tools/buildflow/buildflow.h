#pragma once

#include "platform/messagebox.h"

#include <QStringList>
#include <QTextStream>

// corbix-build-flow: the flow writer run from the command line on a program
// folder, for checks and for measuring it.
//
//   corbix-build-flow PROGRAM_FOLDER SELECTION_FILE OUTPUT_FOLDER --destination 1|2
//                     [--preventive-check] [--today YYYY-MM-DD] [--whole-run]
//
// The archive is the one the folder's CORBIX.INI names, reached through the
// folder's drive table; the options come from the archive, except the
// preventive check, which is on only with --preventive-check. OUTPUT_FOLDER
// receives "flow", "log" and "composition" (the composition list), and the
// collection point's TEMP folder is left as it was. The error count and the
// time taken are printed. The least each step needs is measured by
// corbix-bench beside it. With --whole-run (removable medium
// only) the time is that of the whole composition without its screens: the
// selection text, the flow, its archive copy in "Corbix inviati", its register
// row and the marking of its declarations, which stay in the archive (run it
// on a folder made for the purpose).
namespace buildflow {

// Every message is written out and answered OK: nobody is there to press a button.
class MessaggiSuErrore : public platform::MessageBoxService {
public:
    explicit MessaggiSuErrore(QTextStream &err) : err_(err) {}
    platform::MsgResult show(const platform::Message &message) override
    {
        err_ << message.title << ": " << message.text << '\n';
        err_.flush();
        return platform::MsgResult::OK;
    }

private:
    QTextStream &err_;
};

// Returns the exit code: 0 done, 1 failed (the reason on err), 2 wrong usage.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

}  // namespace buildflow
