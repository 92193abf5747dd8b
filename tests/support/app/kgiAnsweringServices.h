#pragma once
// The application's own services (language texts, settings, materials)
// with every message box, question and input box recorded and answered
// from a script instead of shown, for tests that drive commands which ask
// the user. Install it as the program installs its own:
//
//     kgiAnsweringServices services(*app);
//     kgiCharacterServices::install(&services);
//     services.texts = {std::string("walk")};   // the next input box: OK with "walk"
//     services.texts = {std::nullopt};          // ... or Cancel
//     ...                                       // none left: Cancel; questions: no
//     kgiCharacterServices::install(nullptr);
#include "kgiAppServices.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class kgiAnsweringServices : public kgiAppServices {
public:
    explicit kgiAnsweringServices(const kgiApp& app) : kgiAppServices(app) {}

    // Boxes and questions shown, in order: "caption|text".
    std::vector<std::string> boxes;
    // Answers of the next questions, in order; none left answers no.
    std::deque<bool> answers;
    // Input boxes shown, in order, and the answers of the next ones: a text
    // for OK, nullopt for Cancel; none left cancels.
    std::vector<kgiInputRequest> inputs;
    std::deque<std::optional<std::string>> texts;

    void showMessage(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        boxes.push_back(caption + "|" + text);
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool inputText(const kgiInputRequest& request, std::string& text) override
    {
        inputs.push_back(request);
        if (texts.empty())
            return false;
        const std::optional<std::string> answer = texts.front();
        texts.pop_front();
        if (!answer)
            return false;
        text = *answer;
        return true;
    }
    // Forget what was shown (the scripts stay).
    void clear()
    {
        boxes.clear();
        inputs.clear();
    }
};
