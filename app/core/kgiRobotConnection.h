#pragma once
// What the application object asks of the robot session, the conversation
// with the robot's controller board over the serial link. The session lives
// with the robot tools and derives from this class; kgiApp makes it with the
// maker the program installs (kgiAppMakers) when communication is switched
// on and deletes it when communication is off again. Deleting it finishes
// the link's pending work and closes the port.
//
// All of it runs on the program's one thread: poll and update from the idle
// pass, the rest from command handlers (some wait while they step the link).

#include <cstdint>
#include <string>

class kgiRobotConnection {
public:
    // The pose-read request word when no read is wanted.
    static constexpr int NO_POSE_READ = -1;
    // The download request word when no download is wanted.
    static constexpr int NO_DOWNLOAD = -1;
    // Words of the robot information record that readRobotInfo answers.
    static constexpr int INFO_WORDS = 24;

    virtual ~kgiRobotConnection() = default;

    // Opens the link on the COM port of the settings. On failure the session
    // has shown its own warning box ("Warning - 101") and returns false.
    virtual bool openLink() = 0;
    // Steps the link when its 15 ms step is due (called while playing).
    virtual void poll() = 0;
    // The periodic step: status texts and pending requests (called while
    // not playing).
    virtual void update() = 0;

    // Compiles the current character's keys into a motion of the board;
    // false when there is nothing to compile.
    virtual bool compileMotion(int toSlot18) = 0;
    virtual void resetImageSum() = 0;
    // Downloads the board's system data; false when its list entry could
    // not be written.
    virtual bool downloadMotion() = 0;
    // Plays the downloaded motion (telling the user first with showMessage).
    virtual bool playDownloadedMotion(bool showMessage) = 0;
    // Remote-control play of motion n + 1.
    virtual bool playMotion(int n) = 0;
    virtual bool sendCommand53() = 0;
    virtual bool onCommand106() = 0;
    virtual bool onCommand107(int n) = 0;
    virtual bool onCommand108(int n) = 0;
    virtual bool onCommand112(int n) = 0;
    virtual bool setMotionName(const std::string& name) = 0;
    virtual bool renameSlot(const std::string& name, int value) = 0;
    // Mode 0 stores the current motion as remote-control entry n under the
    // name; another mode empties the entry.
    virtual bool editRemoconList(int n, int mode, const std::string& name) = 0;
    // Loads the remote-control list; true when it held 31 entries or more.
    virtual bool loadRemoconList() = 0;
    // Ends a running pose read; true when one was running.
    virtual bool stopPoseRead() = 0;
    // Asks for a pose read of servo group mode (0 all, 1 upper, 2 lower);
    // the next update starts it.
    virtual void requestPoseRead(int mode) = 0;
    // Reads the robot's information record to its end (the call waits);
    // INFO_WORDS words owned by the session, or null.
    virtual const std::uint32_t* readRobotInfo() = 0;

    // The download request word: NO_DOWNLOAD, or the request the next
    // update starts.
    virtual int getDownloadRequest() const = 0;
    virtual void setDownloadRequest(int request) = 0;
    // The pose-read request word: NO_POSE_READ, a servo group waiting to be
    // read, or the running read's mark.
    virtual int getPoseReadRequest() const = 0;
    // The robot-play flag: while set, each update sends the model's pose.
    virtual bool getSyncToRobot() const = 0;
    virtual void setSyncToRobot(bool on) = 0;
};
