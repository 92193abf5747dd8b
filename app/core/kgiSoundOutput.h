#pragma once
// What the application object asks of the sound player: the lessons' answer
// sounds and the key-set click. The player lives with the robot tools and
// derives from this class; kgiApp makes it with the maker the program
// installs (kgiAppMakers) and deletes it.

#include <string>

class kgiSoundOutput {
public:
    virtual ~kgiSoundOutput() = default;

    // Opens the sound output; false when it could not. A player whose output
    // failed must still answer isPlaying with false, or the application's
    // waits for silence would last until their bound.
    virtual bool init() = 0;
    // Loads a sound file into the lowest free slot and returns its id; -1
    // when it could not be loaded.
    virtual int load(const std::string& path) = 0;
    // Starts sound id once, or over and over with loop (until stopped).
    // Returns at once; false when it could not start.
    virtual bool play(int id, bool loop) = 0;
    // Whether sound id is playing; false for an id that holds no sound.
    virtual bool isPlaying(int id) = 0;
};
