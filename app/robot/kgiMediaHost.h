#pragma once
// The application's side of the media plug-in: loads kgimedialib.so, keeps
// the media tracks the plug-in makes, each with its place on the time line,
// puts the movies at the world's current time while the world stands still,
// shows and hides the plug-in's video window, reads and writes the media
// list that goes with a timesheet, and runs the "Import AV file..." command.
//
// One host per program (instance()), built on first use; it hands itself
// to the world (kgiWorld::setMediaTracks), whose playback starts and stops
// the tracks and whose other users reach it through that seam. The
// application calls shutDown() while the toolkit still exists; what is left
// at exit is the module, given up by the destructor.
//
// Without the plug-in (or with one of its four entry points missing) the
// host is unbound: adding a track fails, the list stays empty, and showing
// or hiding only remembers the state. Each case is reported once, in a
// message box.
#include "kgiMediaLib.h"
#include "kgiWorld.h"

#include "platform/module.h"

#include <memory>
#include <string>
#include <vector>

// One track of the host: the plug-in's track and the entry's own placement
// record.
struct kgiMediaTrackEntry {
    kgi::kgiMediaTrack* track = nullptr;
    std::unique_ptr<kgiMediaTrackInfo> info;
};

// One used line of a media list: the path and the numbers it gives (0 for
// those it does not).
struct kgiMediaListItem {
    std::string path;
    int startFrame = 0;
    int endFrame = 0;
    int offsetMs = 0;
};

class kgiMediaHost : public kgiMediaTracks {
public:
    // The plug-in's file name, looked for in one folder only.
    static const char* const MODULE_FILE;

    // The program's host, built by the first call from the program's own
    // folder (or the one setInstanceFolder named before).
    static kgiMediaHost* instance();
    // The folder instance() loads the plug-in from; empty: the program's.
    // Only before the first instance() (tests).
    static void setInstanceFolder(const std::string& folder);

    // A host of its own with the plug-in from `moduleFolder` (empty: the
    // program's folder), bound as instance() binds; it hands itself to the
    // world as well.
    explicit kgiMediaHost(const std::string& moduleFolder);
    // Leaves the world, then frees what shutDown() has not: the tracks, the
    // window, the module handle.
    ~kgiMediaHost() override;
    kgiMediaHost(const kgiMediaHost&) = delete;
    kgiMediaHost& operator=(const kgiMediaHost&) = delete;

    // --- tracks ---
    // Opens the file as a track and appends it. The caller's record gets
    // the media's length and kind and an end frame 15 seconds of the
    // world's frames long, and the entry keeps a copy of it (null: a
    // default record). A second movie or image asks "Media_AlreadyAdd":
    // yes replaces the first movie or image in the list, no adds nothing.
    // The new track count; -1 when nothing was added.
    int addTrack(const std::string& path, kgiMediaTrackInfo* info);
    // The open dialog "Import AV file..." in the remembered media folder;
    // a chosen file becomes the remembered media path and is added from
    // frame 0. The result of addTrack (-1 on cancel).
    int importMediaFile() override;
    // Stops and destroys one track; nothing out of range.
    void removeTrack(int index) override;
    // Destroys every track (without stopping it); a shown window is hidden
    // and shown again, so the movies are put in place anew.
    void removeAllTracks() override;
    // Removes the first track whose file name (no folder) is `fileName`.
    void removeTrackByName(const std::string& fileName);
    // The plug-in's track; null out of range. getMediaTrack is the same.
    kgi::kgiMediaTrack* getTrack(int index);
    kgi::kgiMediaTrack* getMediaTrack(int index) { return getTrack(index); }
    int getTrackCount() override { return static_cast<int>(tracks.size()); }
    // The entry's own record, valid until the entry goes; null out of
    // range.
    kgiMediaTrackInfo* getTrackInfo(int index) override;
    // Copies the record into the entry's own; nothing out of range or for
    // null.
    void setTrackInfo(int index, const kgiMediaTrackInfo* info) override;
    // World playback: the track plays from that media time, or stops.
    void playTrack(int index, int milliseconds) override;
    void stopTrack(int index) override;
    // Stops the movies and silences them when moviesRunning is set (which
    // nothing sets): the index + 1 of the last movie, 0 without one; -1 and
    // nothing done while the flag is clear.
    int stopMovies();

    // The kind of a file by its extension, compared case-sensitively:
    // wmv WMV mpg MPG mpeg avi AVI mov MOV are movies, wav WAV mp3 MP3 ogg
    // aiff sounds, jpg JPG jpeg JPEG bmp images; anything else none.
    static kgiMediaType getMediaType(const std::string& path);

    // --- window and time ---
    // While the world stands still and the window is shown: each movie is
    // sought to offsetMs + (t - startFrame) * 1000 / fps for the world's
    // time t, once per time. Otherwise the next call seeks whatever the
    // time.
    void syncToCurrentTime() override;
    // Positions (still seeing the old state), then shows the window.
    void showMediaWindow() override;
    void hideMediaWindow() override;

    // --- media list ---
    // Writes one line per track into the list beside the timesheet,
    // creating its "media" folder; the old list is replaced only by a whole
    // new one. The number of lines; 0 when it cannot be written.
    int saveMediaList(const std::string& timesheetPath) override;
    // Removes every track unless appending, then adds the tracks of the
    // list beside the timesheet. The result of the last add; 0 when nothing
    // was read.
    int loadMediaList(const std::string& timesheetPath, bool append) override;
    // The list that goes with a timesheet "folder/name.ext":
    // "folder/media/name.tl" (a path ending in ".tl" is the list itself).
    // Saving and loading take the name and folder apart differently, as
    // the lists written so far were found.
    static std::string saveListPath(const std::string& timesheetPath);
    static std::string loadListPath(const std::string& timesheetPath);
    // The used lines of a list's text (LF or CR LF): a line longer than 4
    // characters that holds a '['. The path runs from the leading "[ " to
    // the " ], [ " that begins the two groups of numbers, so blanks and
    // brackets in it survive; a line without those groups gives the text
    // up to its first blank.
    static std::vector<kgiMediaListItem> parseMediaList(const std::string& text);

    // The end of the program: leaves the world, destroys every track in
    // list order and then the window. The module stays held.
    void shutDown() override;

    // --- state ---
    bool isBound() const { return createMediaTrack != nullptr; }
    bool isLoaded() const { return library.isOpen(); }
    kgi::kgiMediaWindow* getWindow() const { return window; }
    bool isWindowShown() const { return windowShown; }
    float getLastSyncTime() const { return lastSyncTime; }
    int getMovieCount() const { return movieCount; }
    bool getMoviesRunning() const { return moviesRunning; }

private:
    friend kgiMediaHost* kgiMediaHostInit(kgiMediaHost* host, const std::string& moduleFolder);

    void seekMovies();
    void destroyTracks();

    std::vector<kgiMediaTrackEntry> tracks;
    kgi::kgiMediaWindow* window = nullptr;
    platform::Module library;
    kgiCreateMediaTrackFn createMediaTrack = nullptr;
    kgiDestroyMediaTrackFn destroyMediaTrack = nullptr;
    kgiCreateMediaWindowFn createMediaWindow = nullptr;
    kgiDestroyMediaWindowFn destroyMediaWindow = nullptr;
    bool windowShown = false;
    float lastSyncTime = -1.0f;
    int movieCount = 0;
    bool moviesRunning = false;
};

// Binds a host to the plug-in in the folder and hands it to the world; the
// host itself.
kgiMediaHost* kgiMediaHostInit(kgiMediaHost* host, const std::string& moduleFolder);
