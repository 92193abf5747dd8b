#pragma once
// What the application object asks of the main window: its toolkit window
// and the lessons' command locks. The main window is built after the
// application core, so it derives from this class and is handed to the
// application (kgiApp::setMainWindow); the toolkit owns and frees it.

#include <array>
#include <cstddef>

#include <string>

namespace FX {
class FXMainWindow;
class FXWindow;
} // namespace FX

// One byte per tool-bar button, menu pane, menu entry and keyboard facility
// of the main window: 1 usable, 0 locked. Bytes 9 and 43 to 46 stand for
// no widget; 52 governs the window's keyboard shortcuts and 53 the checked
// time-line refresh.
struct kgiMainCommandLocks {
    static constexpr int SIZE = 54;

    std::array<unsigned char, SIZE> flags{};

    unsigned char& operator[](int i) { return flags[static_cast<std::size_t>(i)]; }
    unsigned char operator[](int i) const { return flags[static_cast<std::size_t>(i)]; }
    bool operator==(const kgiMainCommandLocks& o) const { return flags == o.flags; }
    bool operator!=(const kgiMainCommandLocks& o) const { return flags != o.flags; }
};

class kgiCommandWindow {
public:
    virtual ~kgiCommandWindow() = default;

    // The toolkit window; null for a window without one.
    virtual FX::FXMainWindow* window() = 0;

    // Enables or disables each widget by its byte (the bytes without a
    // widget are not read).
    virtual void updateCommandStates(const kgiMainCommandLocks& record) = 0;
    // Write 0 (lock) or 1 (unlock) into every byte that stands for
    // something; the others keep what the caller put there. They apply
    // nothing: the caller hands the record to updateCommandStates.
    virtual void lockAllCommands(kgiMainCommandLocks& record) = 0;
    virtual void unlockAllCommands(kgiMainCommandLocks& record) = 0;
    // Refreshes the time line from the current character; with lessonCheck
    // the lesson's permission is asked first (kgiApp::updateTimeline).
    virtual void refreshTimeline(bool lessonCheck) { (void)lessonCheck; }
    // The window's time-line canvas; null for a window without one.
    virtual FX::FXWindow* timelineCanvas() { return nullptr; }
    // The start folders of the window's file dialogs: timesheets and poses.
    virtual void setStartFolders(const std::string& timesheetFolder, const std::string& poseFolder) {
        (void)timesheetFolder;
        (void)poseFolder;
    }
};
