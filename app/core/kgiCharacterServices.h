#pragma once
// What a character and its model builder need of the running program: the
// key limit of the settings, the language table's texts, message boxes and
// the collision check after an edit. The program installs an object that
// reaches the application; tests install their own to answer questions
// and count messages. Without one installed, the defaults below hold.
#include <string>

class kgcMaterial;
namespace FX {
class FXWindow;
}

// What an input box asks: texts in code page 932, the owner window (null:
// the application), the screen position and the toolkit's placement
// (PLACEMENT_ value) it opens with.
struct kgiInputRequest {
    FX::FXWindow* owner = nullptr;
    std::string caption;
    std::string prompt;
    std::string preset;
    int x = 0;
    int y = 0;
    unsigned placement = 0;
};

class kgiCharacterServices {
public:
    virtual ~kgiCharacterServices() = default;

    // Largest number of key times a character may hold (the Keys_MAX
    // setting). Default: no limit.
    virtual int keysMax() const;
    // The language table's text of a key, in code page 932. Default: the key.
    virtual std::string text(const char* key) const;
    // A message box with a caption such as "Error - 060". Default: one line
    // on standard error.
    virtual void showMessage(const std::string& caption, const std::string& text);
    // A yes/no question; true for yes. Default: yes, so that a load with
    // nobody to ask goes on.
    virtual bool askYesNo(const std::string& caption, const std::string& text);
    // A one-line text asked for in an input box: true and the text (code
    // page 932) on OK, false and text untouched on Cancel. Default: Cancel.
    virtual bool inputText(const kgiInputRequest& request, std::string& text);
    // A new material of the program's material table, which owns it; null
    // when none can be made. Default: a table of this process's own.
    virtual kgcMaterial* newMaterial();
    // Frees a material of that table; false when the table does not hold it.
    virtual bool removeMaterial(kgcMaterial* m);
    // Sets the world's frame rate (a character load sets the robot's).
    // Default: nothing.
    virtual void setFramesPerSecond(float fps);
    // Runs the collision check of the current character after an edit.
    // Default: nothing.
    virtual void checkCollisions();

    // The installed services (the defaults when none is).
    static kgiCharacterServices& current();
    // Installs s (not owned; null restores the defaults). Uninstall before
    // s is destroyed.
    static void install(kgiCharacterServices* s);
};
