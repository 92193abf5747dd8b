#pragma once

#include <vector>

#include "kmlEuler.h"
#include "kmlEvaluator.h"
#include "kmlQuat.h"
#include "kmlVec.h"
#include "kutObject.h"

class kmlBaseCurve;

// Mixes the rotations of several curves, each placed on a common time line
// with its own start, weight and fades, into one rotation per time. The
// mixer does not own the curves: keep them alive while a track uses them.
class ksgMotionMixer : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Bits: the tracks must carry a usable rotation / a position curve.
    enum Components : int { ROTATION = 1, POSITION = 2 };
    // The class the rotation curves must be; other values accept none.
    enum RotationType : int { QUATERNION = 0, EULER = 1, NO_ROTATION = 2 };
    // Shapes of a fade's progress x in [0, 1]; other values keep the
    // weight.
    enum TransitionType : int {
        LINEAR = 1,    // x
        SMOOTH = 2,    // x^2 (3 - 2x)
        EASE_OUT = 3,  // x^3 - 3x^2 + 3x
        EASE_IN = 4,   // x^3
    };

    // One curve on the mixer's time line. start: the mixer time at which
    // the curve's first key plays; fades in curve time; weight 0 adds
    // nothing. Only valid tracks are mixed.
    struct Track {
        Track();
        void reset() { *this = Track(); }

        float start;
        TransitionType inType;
        TransitionType outType;
        float inLength;
        float outLength;
        float weight;
        kmlBaseCurve* rotationCurve;
        kmlBaseCurve* positionCurve;
        bool valid;
    };

    ksgMotionMixer();

    void setInterpolation(kmlEvalType type) { interpolation = type; }
    void setRotationType(RotationType type) { rotationType = type; }
    void setComponents(Components c) { components = c; }

    // The first track that is not valid (as it is, not reset), else a new
    // reset track; fill it through getTrack, then validateAll.
    int addTrack();
    // Resets the track.
    void remTrack(int i);
    int getNumTracks() const { return static_cast<int>(tracks.size()); }
    void clear() { tracks.clear(); }
    void resetAll();
    // The track to fill in. Out of range: a reset spare that is never
    // mixed.
    Track& getTrack(int i);
    const Track& getTrack(int i) const;

    // Marks each track valid when it carries what the components require
    // (with a rotation curve of the class rotationType names).
    void validateAll();

    // The weighted mix of the valid tracks' quaternion rotations at t
    // (identity when none contributes). Tracks without a non-empty
    // quaternion curve are passed over.
    kmlQuat evalQuatRotation(float t);
    // Tracks do not contribute to these: zero rotation (order 5), zero
    // vector.
    kmlEuler evalEulerRotation(float t);
    kmlVec<3> evalPosition(float t);

protected:
    // weight x f(x) for the shapes 1 to 4.
    void modifyWeight(float& weight, float x, TransitionType type) const;

private:
    kmlEvalType interpolation;
    RotationType rotationType;
    Components components;
    std::vector<Track> tracks;
    mutable Track spare;
};
