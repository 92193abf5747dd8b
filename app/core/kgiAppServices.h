#pragma once
// The running program's answers to what characters and model builders ask
// of it (kgiCharacterServices): the settings' key limit, the language
// table's texts, the message and input boxes, the material table, the world's frame
// rate and the collision check. kgiApp installs one for its lifetime.
#include "kgiCharacterServices.h"

class kgiApp;

class kgiAppServices : public kgiCharacterServices {
public:
    // Reads the settings and texts of app, which must outlive this object.
    explicit kgiAppServices(const kgiApp& app) : app(&app) {}

    // The Keys_MAX setting as it stands now (the settings file is read after
    // the application is constructed, so it is never cached).
    int keysMax() const override;
    // The language table's text, narrowed to code page 932.
    std::string text(const char* key) const override;
    // Task-modal boxes (kgiMessage.h); without a running GUI they write to
    // standard error and a question is answered no.
    void showMessage(const std::string& caption, const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    // The toolkit's input box (kgiMessage.h); Cancel without a running GUI.
    // A text that code page 932 cannot hold is refused with the language
    // texts of ROBOT_COM_Wr_ViolationCharacter and Wr_Name_Code_Page.
    bool inputText(const kgiInputRequest& request, std::string& text) override;
    // Materials of the program's material table, which owns and frees them.
    kgcMaterial* newMaterial() override;
    bool removeMaterial(kgcMaterial* m) override;
    // The world's frame rate.
    void setFramesPerSecond(float fps) override;
    // The collision check of the world's current character at its current time.
    void checkCollisions() override;

private:
    const kgiApp* app;
};
