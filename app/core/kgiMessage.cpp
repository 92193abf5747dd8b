#include "kgiMessage.h"

#include "kgiNarrowString.h"
#include "platform/codepage.h"

#include <cstdio>

namespace {

// The toolkit when it can show a window, else null.
FX::FXApp* guiApp() {
    FX::FXApp* app = FX::FXApp::instance();
    return app && app->isInitialized() ? app : nullptr;
}

void toStderr(const std::string& title, const std::string& text) {
    platform::printDiagnostic("%s: %s\n", title.c_str(), text.c_str());
}

} // namespace

void showMessage(const std::string& title, const std::string& text) {
    FX::FXApp* app = guiApp();
    if (!app) {
        toStderr(title, text);
        return;
    }
    const FX::FXString caption = kgiNarrowString::toWideText(title);
    const FX::FXString message = kgiNarrowString::toWideText(text);
    // The message is passed as an argument, never as the format, so a '%'
    // in a file name or language text is shown as it stands.
    FX::FXMessageBox::information(app, FX::MBOX_OK, caption.text(), "%s", message.text());
}

bool askYesNo(const std::string& title, const std::string& text) {
    FX::FXApp* app = guiApp();
    if (!app) {
        toStderr(title, text);
        return false;
    }
    const FX::FXString caption = kgiNarrowString::toWideText(title);
    const FX::FXString message = kgiNarrowString::toWideText(text);
    return FX::FXMessageBox::question(app, FX::MBOX_YES_NO, caption.text(), "%s", message.text()) ==
           FX::MBOX_CLICKED_YES;
}

bool inputText(FX::FXWindow* owner, const std::string& caption, const std::string& prompt,
               const std::string& preset, int x, int y, unsigned placement, std::string& text,
               const std::string& refusalTitle, const std::string& refusalText) {
    FX::FXApp* app = guiApp();
    if (!app) return false;
    const FX::FXString title = kgiNarrowString::toWideText(caption);
    const FX::FXString label = kgiNarrowString::toWideText(prompt);
    FX::FXInputDialog* box =
        owner ? new FX::FXInputDialog(owner, title, label, nullptr, FX::INPUTDIALOG_STRING, x, y)
              : new FX::FXInputDialog(app, title, label, nullptr, FX::INPUTDIALOG_STRING, x, y);
    box->setText(kgiNarrowString::toWideText(preset));
    bool ok = false;
    std::string entered;
    while (box->execute(placement) != 0) {
        // Stored whole or not at all: never with a character left out.
        if (kgiNarrowString::toNarrowTextExact(box->getText(), entered)) {
            ok = true;
            break;
        }
        showMessage(refusalTitle, refusalText);
    }
    if (ok) text = entered;
    delete box;
    return ok;
}

bool getCursorPos(int& x, int& y) {
    x = 0;
    y = 0;
    FX::FXApp* app = guiApp();
    FX::FXRootWindow* root = app ? app->getRootWindow() : nullptr;
    if (!root || !root->id()) return false;
    FX::FXint px = 0, py = 0;
    FX::FXuint buttons = 0;
    if (!root->getCursorPosition(px, py, buttons)) return false;
    x = px;
    y = py;
    return true;
}
