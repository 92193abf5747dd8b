#pragma once

#include <iosfwd>
#include <map>
#include <vector>

// Timing of the blend tracks of one motion controller, turned into a time
// line of intervals: a track playing alone, or a fade from one source (a
// track, or the base motion, -1) to another. A plain value class.
class ksgBlendScheduler {
public:
    // The track plays from start to end, fading in over the first inLength
    // and out over the last outLength.
    struct TrackInfo {
        float start;
        float inLength;
        float end;
        float outLength;
    };

    // Covers t0 <= t < t1. Steady: trackA alone (trackB -1). Blending: from
    // trackA to trackB, -1 on either side standing for the base motion.
    struct Interval {
        float t0;
        float t1;
        bool blending;
        int trackA;
        int trackB;
    };

    ksgBlendScheduler();

    // Adds or replaces the timing of track id and recomputes the intervals.
    // Refused (false) unless start < end, both lengths >= 0 and the fades
    // fit inside the track; a refused id loses any timing it had.
    bool setTrack(int id, float start, float inLength, float end, float outLength);
    void remTrack(int id);
    // False, with out untouched, for an unknown id.
    bool getTrackInfo(int id, TrackInfo& out) const;
    // 0 for an unknown id.
    float getTrackStart(int id) const;
    float getTrackEnd(int id) const;
    float getTrackInLength(int id) const;
    float getTrackOutLength(int id) const;

    // Earliest start and latest end of the tracks (the largest float and
    // the smallest positive float before any track was set).
    float getTMin() const { return tMin; }
    float getTMax() const { return tMax; }

    // The first interval covering t; false outside [tMin, tMax] or when no
    // interval covers t (an interval never covers its own end).
    bool getInterval(float t, Interval& out) const;

    // Every interval in order, in the Interval form, without separators.
    friend std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler& s);

private:
    void computeTransitions();
    void removeEmpty();

    std::map<int, TrackInfo> tracks;
    std::vector<Interval> intervals;
    float tMin;
    float tMax;
};

// [(t0 -> t1), a / b] for a blend, [(t0 -> t1), a] for a steady interval.
std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler::Interval& iv);
// [(start,inLength) -> (end,outLength)]
std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler::TrackInfo& info);
