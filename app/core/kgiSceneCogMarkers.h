#pragma once
// The centre-of-gravity markers: one small cone per character, pointing up
// from just below the floor at the character's centre of gravity. Made on
// first use and kept until program exit.
#include <map>
#include <memory>

class kgiCharacter;
class ksgTransform;

class kgiCogMarkers {
public:
    static kgiCogMarkers* instance();

    // The character's marker, made on first use, placed at its centre of
    // gravity (from the installed part table) at height -0.5 and updated.
    // Without a part table, or when the centre cannot be computed, the
    // marker stays where it was. Null for a null character.
    ksgTransform* getMarker(kgiCharacter* c);

    kgiCogMarkers(const kgiCogMarkers&) = delete;
    kgiCogMarkers& operator=(const kgiCogMarkers&) = delete;

private:
    struct Marker;

    kgiCogMarkers();
    ~kgiCogMarkers();

    std::map<kgiCharacter*, std::unique_ptr<Marker>> markers;
};
