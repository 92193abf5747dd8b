#pragma once
// The world state: current time and frame range (in frames), frame rate,
// playback, the characters with the current one, the scene every 3D canvas
// renders, and the canvases' manipulators and viewpoints. One per program:
// kgiWorld::instance().
#include "kgcAxisAlignedBox.h"
#include "kgiMediaTrackInfo.h"

#include <string>
#include <vector>

class kgiCharacter;
class kgiCharacterTable;
class kgiScene;
class kgcMaterial;
class ksgManipulator;
class ksgNode;
class ksgViewpoint;

// The media tracks as playback sees them. The media host implements it and
// hands itself to kgiWorld::setMediaTracks when it is built; until then
// playback syncs no media.
class kgiMediaTracks {
public:
    virtual ~kgiMediaTracks() = default;
    virtual int getTrackCount() = 0;
    // The track's own record, valid while the track exists (playback writes
    // `playing` and `lastFrame` through it); null out of range.
    virtual kgiMediaTrackInfo* getTrackInfo(int index) = 0;
    virtual void playTrack(int index, int milliseconds) = 0;
    virtual void stopTrack(int index) = 0;
    // After the time line was redrawn while stopped: the media is put at the
    // current time when its window is shown. Nothing by default.
    virtual void syncToCurrentTime() {}
    // Asks the user for a movie or sound file and adds it as a track: the
    // new track count, or -1 when nothing was added (also by default).
    virtual int importMediaFile() { return -1; }
    // Stops and destroys the track; nothing out of range (or by default).
    virtual void removeTrack(int index) { (void)index; }
    // Every track destroyed (the media window shown again when it was
    // shown). Nothing by default.
    virtual void removeAllTracks() {}
    // The media list kept in the "media" folder beside a timesheet. Reading
    // removes all tracks first unless appending and answers the result of
    // the last track added (0 when nothing was read); writing answers the
    // number of lines written (0 when the list cannot be written). 0 by
    // default.
    virtual int loadMediaList(const std::string& timesheetPath, bool append) {
        (void)timesheetPath;
        (void)append;
        return 0;
    }
    virtual int saveMediaList(const std::string& timesheetPath) {
        (void)timesheetPath;
        return 0;
    }
    // The media window shown (and put at the current time) or hidden; the
    // state is remembered. Nothing by default.
    virtual void showMediaWindow() {}
    virtual void hideMediaWindow() {}
    // Copies the record into the track's own; nothing out of range or for
    // a null record.
    virtual void setTrackInfo(int index, const kgiMediaTrackInfo* info) {
        if (index < 0 || index >= getTrackCount() || !info) return;
        kgiMediaTrackInfo* own = getTrackInfo(index);
        if (own && own != info) *own = *info;
    }
    // The end of the program, while the toolkit still exists: the tracks
    // and the media window go, and the tracks leave the world. Nothing by
    // default.
    virtual void shutDown() {}
};

// How the onion-skin renderer starts out and the material it draws with.
// The renderer (the 3D view's, handed to the scene) reads it when it is
// made; the core cannot make one.
struct kgiGhostSetup {
    int mode = 2;
    float range = 20.0f;   // frames covered before and after the current time
    int before = 2;        // ghosts before the current time
    int after = 2;         // ghosts after it
    kgcMaterial* material = nullptr;  // the picked-highlight material, set by init()
};

class kgiWorld {
public:
    // Frame rate of the robot's motions; the application and every
    // character load set it.
    static constexpr float ROBOT_FPS = 33.333f;

    // Created on first use; main() calls it first so that the world (and the
    // character table it holds) outlives every window.
    static kgiWorld* instance();

    // Two lights, the eight highlight materials and the scene, in that
    // order, after the toolkit is up. Only the first call does anything.
    void init();

    // --- time, in frames ---
    // Negative or NaN becomes 0; every character is evaluated at the time.
    void setCurrentTime(float frames);
    float getCurrentTime() const { return currentTime; }
    // Taken only when 0 <= v <= endFrame; otherwise nothing changes, so
    // widen a range by setting the end first.
    void setStartFrame(float v);
    // Taken only when v >= 0 and v >= startFrame.
    void setEndFrame(float v);
    // Both ends at once, in the order that lets both take (the end first
    // when the new start lies above the current end), so a range moved
    // wholly past the old one arrives whole. Refused, with the range kept,
    // for a negative or NaN end or a start above the end; true when taken.
    bool setFrameRange(float start, float end);
    float getStartFrame() const { return startFrame; }
    float getEndFrame() const { return endFrame; }
    void setFps(float f) { fps = f; }
    float getFps() const { return fps; }
    // Time of the current character's last key; 0 without one.
    float getLastKeyTime() const;

    // --- playback ---
    // One step by the real time elapsed since the previous step, whole
    // frames only (the fraction is carried to the next step). Nothing while
    // stopped. Past the end of the range it stops, or with loop on wraps by
    // whole lengths of the range (an empty range holds at its start). A
    // forward step that leaves the time before the range enters the range
    // at its start; a reverse step below the start wraps towards the end.
    void advancePlayback(bool reverse);
    // The same step for a given elapsed time in seconds (negative or NaN
    // counts as none).
    void advancePlaybackBy(float seconds, bool reverse);
    // Starting resets the elapsed-time clock; stopping stops every media
    // track.
    void setPlaying(bool p);
    bool isPlaying() const { return playing; }
    void setLoop(bool on) { loop = on; }
    bool getLoop() const { return loop; }
    void setAutoReturn(bool on) { autoReturn = on; }
    bool getAutoReturn() const { return autoReturn; }
    // Starts and stops the media tracks so they follow the current time.
    void syncMediaTracks();
    // The media tracks to keep in step (not owned); null for none.
    void setMediaTracks(kgiMediaTracks* tracks) { mediaTracks = tracks; }
    // The tracks; without any, the installed maker is run once first (it
    // builds the media host, which hands itself over).
    kgiMediaTracks* getMediaTracks();
    // The tracks handed over so far; never runs the maker.
    kgiMediaTracks* getRegisteredMediaTracks() const { return mediaTracks; }
    // What builds the media host on first use (the program's main installs
    // it; null: none).
    void setMediaTracksMaker(kgiMediaTracks* (*maker)()) { mediaTracksMaker = maker; }

    // --- characters ---
    // A new character in the character table; its id, or -1.
    int createCharacter();
    // Every open curve editor's list emptied first (kgiApp::clearCurveLists).
    // Takes its model root out of the scene, clears the current id when it
    // was current, detaches the manipulators that target its model, then
    // frees it. False for an unknown id.
    bool removeCharacter(int id);
    // The curve editors' lists emptied, every character out of the scene
    // and freed; manipulators lose their targets first, since those point
    // into the freed trees.
    void removeAllCharacters();
    // The id when the table holds it, else -1 (no current character).
    void setCurrentCharacter(int id);
    int getCurrentId() const { return currentId; }
    // The current character, or null.
    kgiCharacter* getCurrentCharacter() const;
    // The character whose model contains the node, or null.
    kgiCharacter* findCharacterOfNode(ksgNode* node) const;
    // Makes the character whose model contains the node current; its id, or
    // -1 (and then no character is current) for a null node or no match.
    int setCurrentCharacterOfNode(ksgNode* node);
    // Every character's motion saved into its own project
    // (kgiCharacter::saveMotion without a file name); false when any save
    // failed, a character without a model included. The others are saved.
    bool saveAllMotions();
    // Every character's model evaluated at the current time, then the
    // collision check of the current character.
    void updateAllCharacters();
    // All characters' model bounds merged; an empty box without characters.
    kgcAxisAlignedBox getBounds() const;
    kgiCharacterTable* getCharacters() const { return characters; }

    // --- views ---
    // Lists kept by the 3D canvases, which add and remove their own entries
    // (not owned).
    void addManipulator(ksgManipulator* m);
    void removeManipulator(ksgManipulator* m);
    void addViewpoint(ksgViewpoint* v);
    void removeViewpoint(ksgViewpoint* v);
    void clearManipulatorTargets();
    const std::vector<ksgManipulator*>& getManipulators() const { return manipulators; }
    const std::vector<ksgViewpoint*>& getViewpoints() const { return viewpoints; }
    // Clamped to 0..1 and given to every viewpoint of the viewpoint table.
    void setUpAxis(int v);
    int getUpAxis() const { return upAxis; }
    void setViewpointMode(int v);
    int getViewpointMode() const { return viewpointMode; }
    // Every canvas viewpoint centred on that character, or on all
    // characters when the id is unknown.
    void centerViews(int id);

    // The scene, created by init(); null before.
    kgiScene* getScene() const { return scene; }
    void setMirrorMode(bool on) { mirrorMode = on; }
    bool getMirrorMode() const { return mirrorMode; }
    kgiGhostSetup& getGhostSetup() { return ghost; }

    float getGridLevel() const { return gridLevel; }
    int getGridSpacing() const { return gridSpacing; }
    int getGridWidth() const { return gridWidth; }
    int getGridDepth() const { return gridDepth; }

    kgiWorld(const kgiWorld&) = delete;
    kgiWorld& operator=(const kgiWorld&) = delete;

private:
    kgiWorld();
    ~kgiWorld();

    float gridLevel = 0.0f;
    int gridSpacing = 5;
    int gridWidth = 200;
    int gridDepth = 200;
    float currentTime = 0.0f;
    float startFrame = 0.0f;
    float endFrame = 0.0f;
    float fps = 30.0f;
    bool playing = false;
    bool loop = false;
    bool autoReturn = false;
    kgiCharacterTable* characters = nullptr;
    std::vector<ksgManipulator*> manipulators;
    std::vector<ksgViewpoint*> viewpoints;
    int currentId = -1;
    kgiScene* scene = nullptr;
    bool initialised = false;
    int upAxis = 1;
    int viewpointMode = 1;
    bool mirrorMode = false;
    kgiGhostSetup ghost;
    kgiMediaTracks* mediaTracks = nullptr;
    kgiMediaTracks* (*mediaTracksMaker)() = nullptr;
    // Part of a frame not yet played, carried from one playback step to
    // the next.
    float frameCarry = 0.0f;
};
