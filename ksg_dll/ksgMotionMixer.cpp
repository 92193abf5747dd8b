#include "ksgMotionMixer.h"

#include "kmlEulerCurve.h"
#include "kmlQuatCurve.h"
#include "kmlQuatEvaluator.h"

const kutRtti ksgMotionMixer::RTTI("ksgMotionMixer", &kutObject::RTTI);
const kutRtti* ksgMotionMixer::getRtti() const { return &RTTI; }

ksgMotionMixer::Track::Track()
    : start(0.0f), inType(LINEAR), outType(LINEAR), inLength(1.0f), outLength(1.0f), weight(0.0f),
      rotationCurve(nullptr), positionCurve(nullptr), valid(false)
{
}

ksgMotionMixer::ksgMotionMixer()
    : interpolation(KML_EVAL_SPLINE), rotationType(NO_ROTATION), components(static_cast<Components>(0))
{
}

int ksgMotionMixer::addTrack()
{
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (!tracks[i].valid)
            return static_cast<int>(i);
    }
    tracks.push_back(Track());
    return static_cast<int>(tracks.size()) - 1;
}

void ksgMotionMixer::remTrack(int i)
{
    if (i >= 0 && i < getNumTracks())
        tracks[static_cast<size_t>(i)].reset();
}

void ksgMotionMixer::resetAll()
{
    for (Track& t : tracks)
        t.reset();
}

ksgMotionMixer::Track& ksgMotionMixer::getTrack(int i)
{
    if (i >= 0 && i < getNumTracks())
        return tracks[static_cast<size_t>(i)];
    spare.reset();
    return spare;
}

const ksgMotionMixer::Track& ksgMotionMixer::getTrack(int i) const
{
    if (i >= 0 && i < getNumTracks())
        return tracks[static_cast<size_t>(i)];
    spare.reset();
    return spare;
}

void ksgMotionMixer::validateAll()
{
    for (Track& t : tracks) {
        bool rotationOk = true;
        if (components & ROTATION) {
            if (t.rotationCurve == nullptr)
                rotationOk = false;
            else if (rotationType == QUATERNION)
                rotationOk = dynamic_cast<kmlQuatCurve*>(t.rotationCurve) != nullptr;
            else if (rotationType == EULER)
                rotationOk = dynamic_cast<kmlEulerCurve*>(t.rotationCurve) != nullptr;
            else
                rotationOk = false;
        }
        bool positionOk = !(components & POSITION) || t.positionCurve != nullptr;
        t.valid = rotationOk && positionOk;
    }
}

void ksgMotionMixer::modifyWeight(float& weight, float x, TransitionType type) const
{
    switch (type) {
    case LINEAR:
        weight *= x;
        break;
    case SMOOTH:
        weight *= x * x * (3.0f - 2.0f * x);
        break;
    case EASE_OUT:
        weight *= x * x * x - 3.0f * x * x + 3.0f * x;
        break;
    case EASE_IN:
        weight *= x * x * x;
        break;
    default:
        break;
    }
}

kmlQuat ksgMotionMixer::evalQuatRotation(float t)
{
    kmlQuatEvaluator evaluator(interpolation);
    std::vector<kmlQuat> parts;
    for (const Track& track : tracks) {
        // Validation with no required components lets tracks through
        // without a quaternion curve: there is nothing of them to mix.
        kmlQuatCurve* curve = dynamic_cast<kmlQuatCurve*>(track.rotationCurve);
        if (!track.valid || curve == nullptr || curve->getNumKeys() == 0)
            continue;
        const float first = curve->getKey(0)->getTime();
        const float last = curve->getKey(curve->getNumKeys() - 1)->getTime();
        const float local = first + (t - track.start);
        if (local < first || local > last)
            continue;
        float w = track.weight;
        kmlQuat value = evaluator.eval(curve, local);
        // The weight ramps up from 0 at the first key over the fade-in and
        // down to 0 at the last key over the fade-out.
        if (first + track.inLength - local > 0.0f)
            modifyWeight(w, (local - first) / track.inLength, track.inType);
        else if (local - (last - track.outLength) > 0.0f)
            modifyWeight(w, (last - local) / track.outLength, track.outType);
        parts.push_back(kmlQuat::slerp(kmlQuat::IDENTITY, value, w));
    }
    // Each round blends neighbours by 1/n until one rotation is left.
    while (parts.size() >= 2) {
        const float f = 1.0f / static_cast<float>(parts.size());
        std::vector<kmlQuat> next;
        next.reserve(parts.size() - 1);
        for (size_t j = 1; j < parts.size(); ++j)
            next.push_back(kmlQuat::slerp(parts[j - 1], parts[j], f));
        parts.swap(next);
    }
    return parts.empty() ? kmlQuat::IDENTITY : parts[0];
}

kmlEuler ksgMotionMixer::evalEulerRotation(float) { return kmlEuler(5); }

kmlVec<3> ksgMotionMixer::evalPosition(float) { return kmlVec<3>(); }
