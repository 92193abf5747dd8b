#pragma once

#include "kmlMatrix4.h"
#include "ksgMotionChannel.h"
#include "kutObject.h"

class ksgNode;

// One joint's motion at one time: a position, a rotation or both, each
// either taken from a key (so it can go back into a curve as a key) or set
// from plain data. Motion controllers evaluate into frames and take new
// keys from them; make frames with a controller's newFrame so the kind
// matches.
class ksgMotionFrame : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    ksgMotionFrame();
    ksgMotionFrame(const ksgMotionFrame& other);
    ksgMotionFrame& operator=(const ksgMotionFrame& other);

    // A new frame of the same kind with the same content (caller owns it).
    virtual ksgMotionFrame* clone() const = 0;
    // Takes other's content when it is of this frame's kind; else nothing.
    virtual void copy(ksgMotionFrame* other) = 0;
    // Every channel from the matrix (as data, not keys).
    virtual void fromMatrix(const kmlMatrix4& m) = 0;
    // Writes only the channels the frame has; the rest of m is kept.
    virtual void toMatrix(kmlMatrix4& m) const = 0;
    // Moves the frame and its keys to time t.
    virtual void setTime(float t);

    float getTime() const { return time; }
    // An offset frame holds a layer's value, added on top of the base.
    bool isOffset() const { return offset; }
    void asOffset(bool on) { offset = on; }
    // Every channel came from a key.
    bool isKey() const { return key; }

    // The frame from the node's local matrix, as an absolute value.
    void fromNode(ksgNode* node);
    // Writes the frame into a transform's local matrix (limits applied):
    // a position frame moves the joint without turning it. Nothing for a
    // node that is not a transform.
    void toNode(ksgNode* node) const;

protected:
    void setKeyFlag(bool on) { key = on; }

private:
    float time;
    bool offset;
    bool key;
};

// A frame of one channel whose keys are of type Key.
template <class Key>
class ksgOneChannelFrame : public ksgMotionFrame {
public:
    typedef ksgMotionChannel<Key> Channel;
    typedef typename Channel::Value Value;
    static const bool TWO_CHANNELS = false;

    // The channel from a key: value, key and the frame's time (the key's).
    // Null is ignored.
    void fromKey(const Key* k)
    {
        if (k == nullptr)
            return;
        channelKey = *k;
        data = k->getValue();
        ksgMotionFrame::setTime(k->getTime());
        setKeyFlag(true);
    }
    // A new key, a copy of the channel's (caller owns it).
    Key* toKey() const { return static_cast<Key*>(channelKey.clone()); }
    // The channel from a plain value; the frame no longer counts as a key.
    void fromData(const Value& v)
    {
        data = v;
        Channel::setKeyValue(channelKey, v);
        setKeyFlag(false);
    }
    Value toData() const { return data; }

    void setTime(float t) override
    {
        ksgMotionFrame::setTime(t);
        channelKey.setTime(t);
    }
    void fromMatrix(const kmlMatrix4& m) override { fromData(Channel::fromMatrix(m)); }
    void toMatrix(kmlMatrix4& m) const override { Channel::toMatrix(data, m); }

private:
    Key channelKey;
    Value data;
};

// A frame of a position channel and a rotation channel whose keys are of
// type RotationKey. The frame is a key only when both channels are.
template <class RotationKey>
class ksgTwoChannelFrame : public ksgMotionFrame {
public:
    typedef ksgMotionChannel<kmlTCKey<3>> PositionChannel;
    typedef ksgMotionChannel<RotationKey> RotationChannel;
    typedef typename PositionChannel::Value PositionValue;
    typedef typename RotationChannel::Value RotationValue;
    static const bool TWO_CHANNELS = true;

    // keyBits: which channels came from keys.
    enum { ROTATION_KEY = 1, POSITION_KEY = 2 };

    ksgTwoChannelFrame() : keyBits(0) {}

    void positionFromKey(const kmlTCKey<3>* k)
    {
        if (k == nullptr)
            return;
        positionKey = *k;
        position = k->getValue();
        ksgMotionFrame::setTime(k->getTime());
        setBit(POSITION_KEY, true);
    }
    kmlTCKey<3>* positionToKey() const { return static_cast<kmlTCKey<3>*>(positionKey.clone()); }
    void positionFromData(const PositionValue& v)
    {
        position = v;
        PositionChannel::setKeyValue(positionKey, v);
        setBit(POSITION_KEY, false);
    }
    PositionValue positionToData() const { return position; }

    void rotationFromKey(const RotationKey* k)
    {
        if (k == nullptr)
            return;
        rotationKey = *k;
        rotation = k->getValue();
        ksgMotionFrame::setTime(k->getTime());
        setBit(ROTATION_KEY, true);
    }
    RotationKey* rotationToKey() const { return static_cast<RotationKey*>(rotationKey.clone()); }
    void rotationFromData(const RotationValue& v)
    {
        rotation = v;
        RotationChannel::setKeyValue(rotationKey, v);
        setBit(ROTATION_KEY, false);
    }
    RotationValue rotationToData() const { return rotation; }

    unsigned char getKeyBits() const { return keyBits; }

    void setTime(float t) override
    {
        ksgMotionFrame::setTime(t);
        positionKey.setTime(t);
        rotationKey.setTime(t);
    }
    // Position first, then rotation.
    void fromMatrix(const kmlMatrix4& m) override
    {
        positionFromData(PositionChannel::fromMatrix(m));
        rotationFromData(RotationChannel::fromMatrix(m));
    }
    // Rotation first, then translation.
    void toMatrix(kmlMatrix4& m) const override
    {
        RotationChannel::toMatrix(rotation, m);
        PositionChannel::toMatrix(position, m);
    }

private:
    void setBit(unsigned char bit, bool on)
    {
        keyBits = static_cast<unsigned char>(on ? (keyBits | bit) : (keyBits & ~bit));
        setKeyFlag(keyBits == (ROTATION_KEY | POSITION_KEY));
    }

    unsigned char keyBits;
    kmlTCKey<3> positionKey;
    RotationKey rotationKey;
    PositionValue position;
    RotationValue rotation;
};

// A position.
class ksgPFrame : public ksgOneChannelFrame<kmlTCKey<3>> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    ksgMotionFrame* clone() const override;
    void copy(ksgMotionFrame* other) override;
};

// A quaternion rotation.
class ksgQFrame : public ksgOneChannelFrame<kmlQuatKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    ksgMotionFrame* clone() const override;
    void copy(ksgMotionFrame* other) override;
};

// An Euler rotation (degrees, order code 5).
class ksgEFrame : public ksgOneChannelFrame<kmlEulerKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    ksgMotionFrame* clone() const override;
    void copy(ksgMotionFrame* other) override;
};

// A position and a quaternion rotation.
class ksgPQFrame : public ksgTwoChannelFrame<kmlQuatKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    ksgMotionFrame* clone() const override;
    void copy(ksgMotionFrame* other) override;
};

// A position and an Euler rotation.
class ksgPEFrame : public ksgTwoChannelFrame<kmlEulerKey> {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;
    ksgMotionFrame* clone() const override;
    void copy(ksgMotionFrame* other) override;
};
