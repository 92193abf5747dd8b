#pragma once
// A file-dialog chooser that answers from a script, for tests of the file
// commands: install it with kgiFileDialogs::install and uninstall it before
// it goes.
//
//     kgiScriptedDialogs dialogs;
//     kgiFileDialogs::install(&dialogs);
//     dialogs.answers = {"/tmp/x/walk"};    // the next showing chooses this
//     ...                                   // a showing with none left cancels
//     kgiFileDialogs::install(nullptr);
#include "kgiFileDialog.h"

#include <deque>
#include <string>
#include <vector>

class kgiScriptedDialogs : public kgiFileDialogs {
public:
    // The paths the next showings choose, in order.
    std::deque<std::string> answers;
    // Every showing, in order.
    std::vector<kgiFileDialogRequest> shown;

    bool choose(const kgiFileDialogRequest& request, std::string& path) override
    {
        shown.push_back(request);
        if (answers.empty())
            return false;
        path = answers.front();
        answers.pop_front();
        return true;
    }
};
