#pragma once

#include <algorithm>
#include <vector>

#include "ksgMotionChannel.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"

// The channel work of a motion controller kind, given its frame class and
// the key types of its position and rotation channels (void for a channel
// the kind does not have).
template <class Frame, class PositionKey, class RotationKey>
class ksgMotionControllerKind : public ksgMotionController {
public:
    typedef ksgMotionChannel<PositionKey> PositionChannel;
    typedef ksgMotionChannel<RotationKey> RotationChannel;

    // Both channels interpolate with splines until told otherwise.
    explicit ksgMotionControllerKind(float timeStep)
        : ksgMotionController(static_cast<unsigned char>((PositionChannel::PRESENT ? 1 : 0) |
                                                         (RotationChannel::PRESENT ? 2 : 0)),
                              timeStep),
          positionEvaluator(KML_EVAL_SPLINE), rotationEvaluator(KML_EVAL_SPLINE)
    {
    }

    ksgMotionFrame* newFrame() override { return new Frame; }
    bool validFrame(ksgMotionFrame* frame) override
    {
        return frame != nullptr && frame->isKind(&Frame::RTTI);
    }

    void getBaseKeyFrames(const std::vector<float>& times, std::vector<ksgMotionFrame*>& out) override
    {
        out.assign(times.size(), nullptr);
        if (times.empty())
            return;
        const bool ascending = std::is_sorted(times.begin(), times.end());
        KeyCursor position(PositionChannel::PRESENT ? getBasePosition() : nullptr, times.front());
        KeyCursor rotation(RotationChannel::PRESENT ? getBaseRotation() : nullptr, times.front());
        for (size_t k = 0; k < times.size(); ++k) {
            const float t = times[k];
            kmlBaseKey* p = nullptr;
            kmlBaseKey* r = nullptr;
            if constexpr (PositionChannel::PRESENT) {
                p = ascending ? position.at(t) : position.search(t);
                if (p == nullptr)
                    continue;
            }
            if constexpr (RotationChannel::PRESENT) {
                r = ascending ? rotation.at(t) : rotation.search(t);
                if (r == nullptr)
                    continue;
            }
            // As newFrame, setTime and getFrame's evaluation at a key.
            Frame* frame = new Frame;
            frame->setTime(t);
            if constexpr (PositionChannel::PRESENT) {
                positionFromKey(frame, static_cast<PositionKey*>(p));
                frame->asOffset(false);
            }
            if constexpr (RotationChannel::PRESENT) {
                rotationFromKey(frame, static_cast<RotationKey*>(r));
                frame->asOffset(false);
            }
            out[k] = frame;
        }
    }

    kmlEvalType getPositionInterpolation() const override { return positionEvaluator.getType(); }
    kmlEvalType getRotationInterpolation() const override { return rotationEvaluator.getType(); }
    void setPositionInterpolation(kmlEvalType type) override
    {
        if constexpr (PositionChannel::PRESENT) {
            positionEvaluator.setType(type);
            forceUpdate();
        }
    }
    void setRotationInterpolation(kmlEvalType type) override
    {
        if constexpr (RotationChannel::PRESENT) {
            rotationEvaluator.setType(type);
            forceUpdate();
        }
    }

protected:
    bool validPositionCurve(kmlBaseCurve* curve) override
    {
        if constexpr (PositionChannel::PRESENT)
            return dynamic_cast<typename PositionChannel::Curve*>(curve) != nullptr;
        return false;
    }
    bool validRotationCurve(kmlBaseCurve* curve) override
    {
        if constexpr (RotationChannel::PRESENT)
            return dynamic_cast<typename RotationChannel::Curve*>(curve) != nullptr;
        return false;
    }
    kmlBaseCurve* newPositionCurve() override
    {
        if constexpr (PositionChannel::PRESENT)
            return new typename PositionChannel::Curve(getTimeStep());
        return nullptr;
    }
    kmlBaseCurve* newRotationCurve() override
    {
        if constexpr (RotationChannel::PRESENT)
            return new typename RotationChannel::Curve(getTimeStep());
        return nullptr;
    }
    kmlBaseKey* mergePositionKeys(kmlBaseKey* a, kmlBaseKey* b) override
    {
        if constexpr (PositionChannel::PRESENT)
            return mergeKeys<PositionKey>(a, b);
        return nullptr;
    }
    kmlBaseKey* mergeRotationKeys(kmlBaseKey* a, kmlBaseKey* b) override
    {
        if constexpr (RotationChannel::PRESENT)
            return mergeKeys<RotationKey>(a, b);
        return nullptr;
    }
    bool addPositionKey(kmlBaseCurve* curve, ksgMotionFrame* frame) override
    {
        if constexpr (PositionChannel::PRESENT)
            return insertKey(curve, positionToKey(static_cast<Frame*>(frame)));
        return false;
    }
    bool addRotationKey(kmlBaseCurve* curve, ksgMotionFrame* frame) override
    {
        if constexpr (RotationChannel::PRESENT)
            return insertKey(curve, rotationToKey(static_cast<Frame*>(frame)));
        return false;
    }

    void evalPosition(ksgMotionFrame* f, int index, bool isLayer) override
    {
        if constexpr (PositionChannel::PRESENT) {
            Frame* frame = static_cast<Frame*>(f);
            kmlBaseCurve* curve = index < 0 ? getBasePosition()
                                            : (isLayer ? getLayerPosition(index) : getTrackPosition(index));
            if (curve == nullptr || curve->getNumKeys() == 0) {
                // A layer without keys adds nothing; the base or a track
                // without keys holds the default pose.
                positionFromData(frame, index >= 0 && isLayer
                                            ? PositionChannel::zero()
                                            : PositionChannel::fromMatrix(getDefault()));
            } else {
                int i = curve->getKeyIndex(frame->getTime());
                if (i != -1)
                    positionFromKey(frame, static_cast<PositionKey*>(curve->getKey(i)));
                else
                    positionFromData(frame, positionEvaluator.eval(curve, frame->getTime()));
            }
            frame->asOffset(index >= 0 && isLayer);
        }
    }
    void evalRotation(ksgMotionFrame* f, int index, bool isLayer) override
    {
        if constexpr (RotationChannel::PRESENT) {
            Frame* frame = static_cast<Frame*>(f);
            kmlBaseCurve* curve = index < 0 ? getBaseRotation()
                                            : (isLayer ? getLayerRotation(index) : getTrackRotation(index));
            if (curve == nullptr || curve->getNumKeys() == 0) {
                rotationFromData(frame, index >= 0 && isLayer
                                            ? RotationChannel::zero()
                                            : RotationChannel::fromMatrix(getDefault()));
            } else {
                int i = curve->getKeyIndex(frame->getTime());
                if (i != -1)
                    rotationFromKey(frame, static_cast<RotationKey*>(curve->getKey(i)));
                else
                    rotationFromData(frame, rotationEvaluator.eval(curve, frame->getTime()));
            }
            frame->asOffset(index >= 0 && isLayer);
        }
    }
    void offsetPosition(ksgMotionFrame* f, ksgMotionFrame* layer) override
    {
        if constexpr (PositionChannel::PRESENT) {
            Frame* frame = static_cast<Frame*>(f);
            positionFromData(frame, PositionChannel::combine(positionToData(frame),
                                                             positionToData(static_cast<Frame*>(layer))));
        }
    }
    void offsetRotation(ksgMotionFrame* f, ksgMotionFrame* layer) override
    {
        if constexpr (RotationChannel::PRESENT) {
            Frame* frame = static_cast<Frame*>(f);
            rotationFromData(frame, RotationChannel::combine(rotationToData(frame),
                                                             rotationToData(static_cast<Frame*>(layer))));
        }
    }
    void blendPosition(ksgMotionFrame* a, ksgMotionFrame* b, float w) override
    {
        if constexpr (PositionChannel::PRESENT) {
            Frame* fa = static_cast<Frame*>(a);
            positionFromData(fa, PositionChannel::blend(positionToData(fa),
                                                        positionToData(static_cast<Frame*>(b)), w));
        }
    }
    void blendRotation(ksgMotionFrame* a, ksgMotionFrame* b, float w) override
    {
        if constexpr (RotationChannel::PRESENT) {
            Frame* fa = static_cast<Frame*>(a);
            rotationFromData(fa, RotationChannel::blend(rotationToData(fa),
                                                        rotationToData(static_cast<Frame*>(b)), w));
        }
    }

private:
    // One-channel frames name their operations without the channel.
    template <class K>
    static void positionFromKey(Frame* f, const K* k)
    {
        if constexpr (Frame::TWO_CHANNELS) f->positionFromKey(k); else f->fromKey(k);
    }
    template <class V>
    static void positionFromData(Frame* f, const V& v)
    {
        if constexpr (Frame::TWO_CHANNELS) f->positionFromData(v); else f->fromData(v);
    }
    static auto positionToData(Frame* f)
    {
        if constexpr (Frame::TWO_CHANNELS) return f->positionToData(); else return f->toData();
    }
    static auto positionToKey(Frame* f)
    {
        if constexpr (Frame::TWO_CHANNELS) return f->positionToKey(); else return f->toKey();
    }
    template <class K>
    static void rotationFromKey(Frame* f, const K* k)
    {
        if constexpr (Frame::TWO_CHANNELS) f->rotationFromKey(k); else f->fromKey(k);
    }
    template <class V>
    static void rotationFromData(Frame* f, const V& v)
    {
        if constexpr (Frame::TWO_CHANNELS) f->rotationFromData(v); else f->fromData(v);
    }
    static auto rotationToData(Frame* f)
    {
        if constexpr (Frame::TWO_CHANNELS) return f->rotationToData(); else return f->toData();
    }
    static auto rotationToKey(Frame* f)
    {
        if constexpr (Frame::TWO_CHANNELS) return f->rotationToKey(); else return f->toKey();
    }

    // Walks a curve's keys along ascending times: at(t) is the key at t or
    // null, each key passed once. No curve: null for every time.
    class KeyCursor {
    public:
        KeyCursor(kmlBaseCurve* c, float first) : curve(c), i(c ? c->getPrevKeyIndex(first) + 1 : 0) {}
        kmlBaseKey* at(float t)
        {
            if (curve == nullptr)
                return nullptr;
            const int n = curve->getNumKeys();
            while (i < n && curve->getKey(i)->getTime() < t)
                ++i;
            return i < n && curve->getKey(i)->getTime() == t ? curve->getKey(i) : nullptr;
        }
        kmlBaseKey* search(float t) { return curve ? curve->getKey(curve->getKeyIndex(t)) : nullptr; }

    private:
        kmlBaseCurve* curve;
        int i;
    };

    // The curve takes the key, or it is deleted.
    static bool insertKey(kmlBaseCurve* curve, kmlBaseKey* key)
    {
        if (curve->insert(key))
            return true;
        delete key;
        return false;
    }

    template <class Key>
    static kmlBaseKey* mergeKeys(kmlBaseKey* a, kmlBaseKey* b)
    {
        Key* merged = new Key(a->getTime());
        merged->setValue(ksgMotionChannel<Key>::combine(static_cast<Key*>(a)->getValue(),
                                                        static_cast<Key*>(b)->getValue()));
        return merged;
    }

    typename PositionChannel::Evaluator positionEvaluator;
    typename RotationChannel::Evaluator rotationEvaluator;
};

// Position only.
class ksgPController : public ksgMotionControllerKind<ksgPFrame, kmlTCKey<3>, void> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    explicit ksgPController(float timeStep = 0.001f);
};

// Quaternion rotation only.
class ksgQController : public ksgMotionControllerKind<ksgQFrame, void, kmlQuatKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    explicit ksgQController(float timeStep = 0.001f);
};

// Euler rotation only (degrees, order code 5).
class ksgEController : public ksgMotionControllerKind<ksgEFrame, void, kmlEulerKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    explicit ksgEController(float timeStep = 0.001f);
};

// Position and quaternion rotation.
class ksgPQController : public ksgMotionControllerKind<ksgPQFrame, kmlTCKey<3>, kmlQuatKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    explicit ksgPQController(float timeStep = 0.001f);
};

// Position and Euler rotation; the kind whose curves the curve file keeps.
class ksgPEController : public ksgMotionControllerKind<ksgPEFrame, kmlTCKey<3>, kmlEulerKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    explicit ksgPEController(float timeStep = 0.001f);
};
