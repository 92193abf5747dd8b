#pragma once
// Left-right mirroring of a robot motion on flat data: per joint a depth, a
// node type and a rest matrix, and a motion-key buffer of one matrix per
// joint and frame. setup rebuilds the skeleton from the depths and pairs
// every left joint with its right twin; compute mirrors every frame of the
// buffer in place.
//
// Matrices are 4x4 floats stored column after column (kgiKmmKey). The
// mirror of a world matrix negates its stored values 0, 4, 9 and 10: the
// world x axis (left-right) and every joint frame's own z axis, which the
// robot's joint frames keep lateral on both sides.
#include <vector>

#include "kgiKmmFile.h"
#include "kmlMatrix4.h"

// One joint of the rebuilt skeleton. Links are joint indices, -1 for none.
struct kgiFlipTreeNode {
    int index = -1;
    int partnerIndex = -1;
    int firstChild = -1;
    int nextSibling = -1;
    int parent = -1;
    bool candidate = false; // passed the length test against some joint
    kmlMatrix4 rest;        // local matrix at rest
    kmlMatrix4 restWorld;
    // Of the frame being mirrored: compute works one frame at a time.
    kmlMatrix4 world;
    kmlMatrix4 mirroredWorld;
    kmlMatrix4 mirrored; // the new key
};

class kgiMotionFlip {
public:
    enum ErrorCode {
        NO_ERROR = 0,
        NO_PARTNER = 1,      // setup: an off-centre joint without a twin,
                             // or a joint whose depth links it to no parent
        BAD_MOTION = 2,      // compute: the buffer does not fit the skeleton
        BAD_START_JOINT = 5  // compute: kind 3 from a joint without a twin
    };
    enum Kind {
        KEY_RANGE = 0,  // keys of a range; the root mirrors its place too
        LOCAL_POSE = 1, // the pose; the root stays where it is
        WORLD_POSE = 2, // the pose; the root turns into its mirror image
        FROM_JOINT = 3  // the twin limb of the start joint takes its image
    };
    // Node types as the motion-key file gives them.
    enum JointType { ROOT = 1, MESH = 5, PASSED_OVER = 6, POSITION_ONLY = 7 };

    kgiMotionFlip();

    // Creates the buffer compute works on: jointCount nodes of frameCount
    // records. Fill node i, key f with joint i's matrix at frame f.
    bool createMotion(int jointCount, int frameCount, int keyCount);
    kgiKmmFile& getMotion() { return motion; }

    // Builds the skeleton and pairs the joints. size is the model's extent
    // per axis: a joint farther than 1 % of its length off the root along x
    // needs a twin. Every joint after the first must have a parent by the
    // depths (one deeper than a joint before it, with no shallower joint
    // between). False with NO_PARTNER and the joint in getErrorNode.
    // The arrays are read during the call only.
    bool setup(int jointCount, const int* depths, const int* types, const kgiKmmKey* restKeys,
               float sizeX, float sizeY, float sizeZ);
    // Mirrors every frame of the buffer (Kind). Call after setup.
    bool compute(int kind, int startJoint);
    // Frees the skeleton.
    void release();

    int getErrorCode() const { return errorCode; }
    int getErrorNode() const { return errorNode; }
    int getJointCount() const { return jointCount; }
    // Twin of joint i, -1 for none or out of range.
    int getPartner(int i) const;

    // Two squared lengths are alike within 10 % (bounds included), or when
    // both are below 0.0005.
    static bool similar(float a, float b);
    // Inverse of an affine matrix by Gauss-Jordan elimination in double
    // precision without row exchanges; a pivot below 1e-6 in magnitude is
    // taken as 1e-6 with its sign, so a singular matrix still gives a
    // finite result.
    static kmlMatrix4 affineInverse(const kmlMatrix4& m);
    // The mirror image of a world matrix (stored values 0, 4, 9, 10 negated).
    static kmlMatrix4 mirrorWorld(const kmlMatrix4& m);

private:
    bool match(int a, int b);
    bool matchChildren(int a, int b);
    bool matchSiblings(int a, int b);
    void mirrorFrame(int kind, int startJoint, int frame);
    bool fail(int code, int node)
    {
        errorCode = code;
        errorNode = node;
        return false;
    }

    kgiKmmFile motion;
    int jointCount;
    std::vector<int> depths;
    std::vector<int> types;
    std::vector<kgiFlipTreeNode> tree;
    int errorCode;
    int errorNode;
    float size[3];
};
