#pragma once
// What the application object asks of the robot options dialog, and the
// dialog's command-enable record. The dialog lives with the robot tools and
// derives from this class (and from a toolkit dialog, which window()
// answers); kgiApp makes it with the maker the program installs
// (kgiAppMakers), owned by the main window, and deletes it.

#include <array>
#include <cstddef>
#include <string>

namespace FX {
class FXString;
class FXTopWindow;
} // namespace FX

// One byte per robot command of the dialog: 1 enabled, 0 disabled.
struct kgiOptionsCommandFlags {
    static constexpr int SIZE = 41;
    // The entry of the communication-dependent command that stays disabled
    // while a close of communication is pending.
    static constexpr int LINK_COMMAND = 15;

    std::array<unsigned char, SIZE> flags{};

    unsigned char& operator[](int i) { return flags[static_cast<std::size_t>(i)]; }
    unsigned char operator[](int i) const { return flags[static_cast<std::size_t>(i)]; }
    bool operator==(const kgiOptionsCommandFlags& o) const { return flags == o.flags; }
    bool operator!=(const kgiOptionsCommandFlags& o) const { return flags != o.flags; }
};

class kgiRobotOptions {
public:
    virtual ~kgiRobotOptions() = default;

    // The dialog's toolkit window (created, shown, hidden and redrawn by the
    // application); null for a dialog without one.
    virtual FX::FXTopWindow* window() = 0;

    // Fills every field from the world and the settings.
    virtual void refreshAll() = 0;
    // Refreshes the joint value fields (after a pose change).
    virtual void refreshJointValues() = 0;
    // Re-applies the language texts.
    virtual void applyLanguage() = 0;
    // The text of the joint field of that joint; empty when there is none.
    virtual std::string getJointFieldText(const std::string& jointName) = 0;
    // Opens the robot tab as a press of the left button on its tab item
    // does (nothing while the tab is disabled).
    virtual void openRobotTab() = 0;
    // Sets the robot-communication check box (without acting on it).
    virtual void setRobotComCheck(bool on) = 0;
    // Fill the caller's record with 0 (lock) or 1 (unlock); they apply
    // nothing.
    virtual void lockAllCommands(kgiOptionsCommandFlags& record) = 0;
    virtual void unlockAllCommands(kgiOptionsCommandFlags& record) = 0;
    // Enables or disables each command by its byte.
    virtual void updateCommandStates(const kgiOptionsCommandFlags& record) = 0;
    // Enables or disables the joint value fields (off while playing).
    virtual void enableJointFields(bool on) = 0;
    // The robot status line.
    virtual void setStatusText(const FX::FXString& text) = 0;
    // Item n of the remote-control list.
    virtual void setListItemText(const FX::FXString& text, int n) = 0;
    // Clears the robot-play check box.
    virtual void uncheckRobotSync() = 0;
    // The collision-safety check box: with it on, a pose that collides
    // stops the edit.
    virtual bool isCollisionSafetyOn() const = 0;
};
