#include "ksgBlendScheduler.h"

#include <cfloat>
#include <iostream>
#include <set>

ksgBlendScheduler::ksgBlendScheduler() : tMin(FLT_MAX), tMax(FLT_MIN) {}

bool ksgBlendScheduler::setTrack(int id, float start, float inLength, float end, float outLength)
{
    // Written so that NaN fails every test.
    bool valid = start < end && inLength >= 0.0f && outLength >= 0.0f &&
                 end - outLength - start - inLength >= 0.0f;
    if (!valid) {
        tracks.erase(id);
        computeTransitions();
        return false;
    }
    tracks[id] = TrackInfo{start, inLength, end, outLength};
    computeTransitions();
    return true;
}

void ksgBlendScheduler::remTrack(int id)
{
    if (tracks.erase(id) != 0)
        computeTransitions();
}

bool ksgBlendScheduler::getTrackInfo(int id, TrackInfo& out) const
{
    auto it = tracks.find(id);
    if (it == tracks.end())
        return false;
    out = it->second;
    return true;
}

float ksgBlendScheduler::getTrackStart(int id) const
{
    auto it = tracks.find(id);
    return it == tracks.end() ? 0.0f : it->second.start;
}

float ksgBlendScheduler::getTrackEnd(int id) const
{
    auto it = tracks.find(id);
    return it == tracks.end() ? 0.0f : it->second.end;
}

float ksgBlendScheduler::getTrackInLength(int id) const
{
    auto it = tracks.find(id);
    return it == tracks.end() ? 0.0f : it->second.inLength;
}

float ksgBlendScheduler::getTrackOutLength(int id) const
{
    auto it = tracks.find(id);
    return it == tracks.end() ? 0.0f : it->second.outLength;
}

bool ksgBlendScheduler::getInterval(float t, Interval& out) const
{
    if (t < tMin || t > tMax || intervals.empty())
        return false;
    for (const Interval& iv : intervals) {
        if (iv.t0 <= t && t < iv.t1) {
            out = iv;
            return true;
        }
    }
    return false;
}

// Greedy chaining by start time: from the base into the earliest track,
// then into each track that starts before the current fade ends, and at the
// end of a track into the next one that outlasts it; the last fades out to
// the base.
void ksgBlendScheduler::computeTransitions()
{
    intervals.clear();
    if (tracks.empty())
        return;

    tMin = FLT_MAX;
    tMax = FLT_MIN;
    int first = -1, last = -1;
    for (const auto& entry : tracks) {
        if (entry.second.start < tMin) {
            tMin = entry.second.start;
            first = entry.first;
        }
        if (entry.second.end > tMax) {
            tMax = entry.second.end;
            last = entry.first;
        }
    }

    std::set<int> entered{first};
    int cur = first;
    const TrackInfo& f = tracks[first];
    Interval p{tMin, f.start + f.inLength, true, -1, first};

    // Every pass either enters a track or moves from a fade to a steady
    // part, so the chain ends; the bound only guards against that ever
    // failing.
    for (size_t pass = 0; pass < 4 * tracks.size() + 4; ++pass) {
        // A track that starts before the pending interval ends takes over.
        int next = -1;
        for (const auto& entry : tracks) {
            const int id = entry.first;
            if (id != cur && entered.count(id) == 0 && entry.second.start <= p.t1 &&
                (next == -1 || entry.second.start < tracks[next].start))
                next = id;
        }
        if (next != -1) {
            const TrackInfo& k = tracks[next];
            entered.insert(next);
            p.t1 = k.start;
            intervals.push_back(p);
            p = Interval{k.start, k.start + k.inLength, true, cur, next};
            cur = next;
            continue;
        }
        if (p.blending) {
            intervals.push_back(p);
            cur = p.trackB;
            if (cur == -1)
                break;
            const TrackInfo& c = tracks[cur];
            Interval steady{p.t1, c.end - c.outLength, false, cur, -1};
            if (cur == last && steady.t0 > steady.t1) {
                steady.t1 = c.end;
                steady.blending = true;
                intervals.push_back(steady);
                break;
            }
            p = steady;
            continue;
        }
        // p is cur's steady part: then cur fades out, to the base or into
        // the earliest-starting track not yet played that outlasts cur.
        intervals.push_back(p);
        const TrackInfo& c = tracks[cur];
        p = Interval{c.end - c.outLength, c.end, true, cur, -1};
        if (c.end == tMax) {
            intervals.push_back(p);
            break;
        }
        next = -1;
        for (const auto& entry : tracks) {
            const int id = entry.first;
            if (entered.count(id) == 0 && entry.second.end > c.end &&
                (next == -1 || entry.second.start < tracks[next].start))
                next = id;
        }
        if (next == -1) {
            intervals.push_back(p);
            break;
        }
        std::cerr << next << std::endl;
        entered.insert(next);
        p.trackB = next;
        cur = next;
    }
    removeEmpty();
}

void ksgBlendScheduler::removeEmpty()
{
    std::vector<Interval> kept;
    kept.reserve(intervals.size());
    for (const Interval& iv : intervals) {
        if (iv.t0 != iv.t1)
            kept.push_back(iv);
    }
    intervals.swap(kept);
}

std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler::Interval& iv)
{
    os << "[" << "(" << iv.t0 << " -> " << iv.t1 << "), ";
    if (iv.blending)
        os << iv.trackA << " / " << iv.trackB;
    else
        os << iv.trackA;
    return os << "]";
}

std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler::TrackInfo& info)
{
    return os << "[(" << info.start << "," << info.inLength << ") -> (" << info.end << ","
              << info.outLength << ")]";
}

std::ostream& operator<<(std::ostream& os, const ksgBlendScheduler& s)
{
    for (const ksgBlendScheduler::Interval& iv : s.intervals)
        os << iv;
    return os;
}
