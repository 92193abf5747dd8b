#pragma once
// The program's conversation with the robot: owns the serial link, steps it
// from the idle pass, turns the character's pose into the robot's 24 servo
// values and back, compiles key frames into the board's motion byte code,
// keeps the remote-control entries (".obc" files and their list), and shows
// every outcome as a two-part status text ("[word] : detail") in the options
// dialog.
//
// Only channel 1 of the link is used, always as a TL-D8150 board at 9600
// baud. There is no thread: everything runs on the GUI thread, and the
// commands that wait keep stepping the link while they do. Every wait is
// bounded in link steps (WaitLimits); a wait that reaches its limit is
// treated as a board that stopped answering.
//
// Pacing: the link is stepped at most once per STEP_SECONDS, measured from
// lastStepTime, by update, poll and every wait loop alike. The time comes
// from a replaceable source so tests can advance it without waiting.
//
// Re-entry: a modal box opened by the session runs idle passes; update and
// poll do nothing while any call into the session is still running, so a
// box is never opened a second time from inside itself.
#include "kgiRobotConnection.h"
#include "kgiRobotLink.h"

#include <cstdint>
#include <string>
#include <vector>

class kgiCharacter;
class kgiLinkMessages;

class kgiRobotSession : public kgiRobotConnection {
public:
    static constexpr int SERVOS = 24;
    // The link channel the session talks on.
    static constexpr int CHANNEL = 1;
    // Seconds between two link steps.
    static constexpr double STEP_SECONDS = 0.015;
    // Servo positions the board accepts; every value that becomes a board
    // byte is held to this range.
    static constexpr int SERVO_MIN = 10;
    static constexpr int SERVO_MAX = 190;
    // The motion code keeps its length in 16 bits.
    static constexpr int MAX_CODE_VALUES = 65535;
    // A delay step holds at most this many milliseconds.
    static constexpr int MAX_DELAY_MS = 65535;
    // Remote-control entries (list lines and link motion slots 1..32).
    static constexpr int REMOCON_ENTRIES = 32;
    // The list line of the compiled system data (slot 32).
    static constexpr int SYSTEM_ENTRY = 31;
    static constexpr const char* SYSTEM_DATA_NAME = " [SYSTEM DATA]";
    // Values an entry file is read into at most (8,192 lines of eight).
    static constexpr int ENTRY_READ_VALUES = 65536;
    // A list or entry-file line holds at most this many bytes.
    static constexpr int LINE_BYTES = 255;
    // The robot's rest pose (the link's initial pose).
    static const int DEFAULT_POSE[SERVOS];
    // Status details of an information read that could not run: no open
    // channel, a held pose read (the teach check), the link still busy.
    static constexpr const char* INFO_NOT_READ_CLOSED = "ROBO Info Not Read (Communication Off)";
    static constexpr const char* INFO_NOT_READ_POSE = "ROBO Info Not Read (Pose Reading)";
    static constexpr const char* INFO_NOT_READ_BUSY = "ROBO Info Not Read (Link Busy)";

    // Link steps each blocking wait may take before the board counts as
    // lost (at 15 ms a step). Each is a generous multiple of the exchange on
    // a healthy board (information read about 96 steps, base-image download
    // about 532, a whole 64K image about 1,600); the play wait outlasts the
    // link's own bound on a board that keeps answering busy
    // (STATUS_REPOLL_LIMIT polls, each at least one step).
    struct WaitLimits {
        int infoRead = 2000;      // readRobotInfo, 30 s
        int download = 20000;     // downloadMotion, 5 min
        int play = 3 * int(kgiRobotLink::STATUS_REPOLL_LIMIT);  // playDownloadedMotion, 15 min
        int poseReadEnd = 2000;   // the destructor's wait for a stopped pose read, 30 s
        int close = 2000;         // closeLink's wait for unanswered packets, 30 s
    };

    // Seconds of a monotonic clock.
    using TimeSource = double (*)();

    kgiRobotSession();
    ~kgiRobotSession() override;
    kgiRobotSession(const kgiRobotSession&) = delete;
    kgiRobotSession& operator=(const kgiRobotSession&) = delete;

    // A process-wide session built on first use; nothing in the program uses
    // it (the application keeps its own).
    static kgiRobotSession& instance();

    // --- kgiRobotConnection ---
    bool openLink() override;
    void poll() override;
    void update() override;
    bool compileMotion(int toSlot18) override;
    void resetImageSum() override;
    bool downloadMotion() override;
    bool playDownloadedMotion(bool showMessage) override;
    bool playMotion(int n) override;
    bool sendCommand53() override;
    bool onCommand106() override;
    bool onCommand107(int n) override;
    bool onCommand108(int n) override;
    bool onCommand112(int n) override;
    bool setMotionName(const std::string& name) override;
    bool renameSlot(const std::string& name, int value) override;
    bool editRemoconList(int n, int mode, const std::string& name) override;
    bool loadRemoconList() override;
    bool stopPoseRead() override;
    void requestPoseRead(int mode) override;
    const std::uint32_t* readRobotInfo() override;
    int getDownloadRequest() const override { return downloadRequest; }
    void setDownloadRequest(int request) override { downloadRequest = request; }
    int getPoseReadRequest() const override { return poseReadRequest; }
    bool getSyncToRobot() const override { return syncToRobot != 0; }
    void setSyncToRobot(bool on) override { syncToRobot = on ? 1 : 0; }

    // --- the rest of the session ---
    // Waits (bounded) until channel 1 has no packet unanswered, then closes
    // it; false when the link kept it open.
    bool closeLink();
    // Sends the current character's pose when servo values changed (update
    // calls it while the robot follows the model).
    void sendCurrentPose();
    // Starts a requested pose read; false when the link refused (the request
    // stays for the next update).
    bool startPendingPoseRead();
    // Copies the board's servo values into the model.
    bool applyReadPose();
    // Starts download request `request`: START_OK, START_BUSY or
    // START_NO_BASE_IMAGE.
    int startMotionDownload(int request);

    void setDefaultPose();
    // Replaces the word and the detail when not empty, then shows the text.
    void setStatus(const std::string& word, const std::string& detail);
    const std::string& getStatusWord() const { return statusWord; }
    const std::string& getStatusDetail() const { return statusDetail; }
    // "[word] : detail"
    std::string statusText() const;

    // Servo conversions through the joint table's rule on the current
    // character. Each stores the value in servoValues and counts a change.
    int servoFromCurrentPose(int i);
    int servoValueAtTime(int i, float frame);
    void applyServoToJoint(int i);
    // Speed level 1..15 for a move of maxDelta servo units over frames.
    int computeSpeed(int maxDelta, float frames);

    // Operations nothing in the program calls.
    bool sendPoseAtTime();
    void setServoFromAngle(int i, float angle);
    void fillPoseAtTime(int values[SERVOS], int frame);
    bool addZeroRootKey(int frame);

    // --- remote-control entries ---
    // Compiles the whole motion into entry file `name`.obc and lists it as
    // entry i (0..31).
    bool saveRemoconMotion(int i, const std::string& name);
    // Sets list line i to name; mode 1 first deletes the file the line named.
    bool writeRemoconListEntry(int i, const std::string& name, int mode);
    // Reads entry file `name`.obc into link motion slot j + 1.
    bool loadRemoconFile(int j, const std::string& name);
    // The entry folder and list file: the application's, unless set here
    // (tests and tools). Empty: no folder, every file operation fails.
    void setRemoconFolder(const std::string& folder, const std::string& listPath);
    std::string remoconFolder() const;
    std::string remoconListPath() const;

    // The file name (UTF-8) of entry name `name` (code page 932), or empty
    // when the name cannot be a file name: empty, ".", "..", a slash or
    // backslash, or bytes that are not code page 932.
    static std::string entryFileName(const std::string& name);
    // The values of an entry file's text as they go to the link: eight per
    // line (positions a line lacks are 0), up to the first value above 255
    // or below 0, at most ENTRY_READ_VALUES.
    static std::vector<int> parseEntryValues(const std::string& text);
    // The names of a list file's text, one per accepted line (longer than 2
    // characters), at most REMOCON_ENTRIES; empty for a line without one.
    static std::vector<std::string> parseListNames(const std::string& text);
    // The motion code of the key times `keys` (frames). Remote-control form
    // (fromFirstKey): from the first key, every step measured from the key
    // before, the delay step always written. Otherwise from frame `start`,
    // keys before it left out; with initialOnly only the initial pose.
    // Empty when the code would pass MAX_CODE_VALUES.
    std::vector<int> compileCode(const std::vector<float>& keys, bool fromFirstKey, int start,
                                 bool initialOnly);

    // --- for tests ---
    kgiRobotLink& getLink() { return *link; }
    void setTimeSource(TimeSource source);
    void setWaitLimits(const WaitLimits& limits) { waitLimits = limits; }
    const WaitLimits& getWaitLimits() const { return waitLimits; }
    int servoValue(int i) const { return servoValues[i]; }
    int getChangedServoCount() const { return changedServoCount; }
    bool isLinkFailed() const { return linkFailed != 0; }
    bool isInfoReading() const { return infoReading != 0; }

private:
    // Counts a call into the session for update and poll's re-entry test.
    struct CallGuard {
        explicit CallGuard(kgiRobotSession& s) : session(s) { ++session.callDepth; }
        ~CallGuard() { --session.callDepth; }
        kgiRobotSession& session;
    };

    void init();
    double now() const;
    // One link step when STEP_SECONDS have passed since the last; whether it
    // stepped.
    bool stepLink();
    // Steps the link while busy() holds; false when `limit` steps did not
    // end it.
    template <class Busy> bool waitWhile(Busy busy, int limit);
    // Steps the link for a time.
    void stepFor(double seconds);
    // The board stopped answering: "Fail ", "Warning - 102", communication
    // off. Quiet (no box, no lesson report) while the session is going.
    void handleLostLink();
    // A wait reached its limit: the link counts as lost, then as above.
    void waitFailed();
    void reportDownloadEnd();
    // "Error": the transfer failed and the robot keeps its earlier motions.
    void reportRefusedDownload();
    void showBox(const std::string& caption, const std::string& text);
    std::string languageText(const char* key) const;
    kgiCharacter* currentCharacter() const;
    // value held to SERVO_MIN..SERVO_MAX; a line on stderr when it was not.
    static int boardByte(int value, int servo);
    bool storeCompiled(const std::vector<int>& code, int slot);

    // Fields in the order of the session's record.
    int32_t downloadRequest = NO_DOWNLOAD;
    float playTime = -1.0f;
    uint8_t poseResetPending = 0;
    int32_t poseReadRequest = NO_POSE_READ;
    uint8_t syncToRobot = 0;
    int32_t servoValues[SERVOS] = {};
    // Seconds of the time source.
    double lastStepTime = 0.0;
    int32_t maxServoDelta = 0;
    int32_t changedServoCount = 0;
    char motionName[32] = {};
    std::string statusWord;
    std::string statusDetail;
    uint8_t infoReading = 0;
    kgiRobotLink* link = nullptr;
    uint8_t linkFailed = 0;

    // The session's own.
    kgiLinkMessages* messages = nullptr;
    TimeSource timeSource;
    WaitLimits waitLimits;
    int callDepth = 0;
    bool closing = false;
    // A download ended unfinished by a lost link: its "Warning - 102" also
    // says that the motions were not written.
    bool downloadCut = false;
    // Why the last information read could not run, while the pose read
    // that stopped it goes on (update keeps it in view); empty otherwise.
    std::string infoNotice;
    uint8_t requestFlag106 = 0;
    bool folderSet = false;
    std::string folderOverride;
    std::string listOverride;
};
