#pragma once
// How the program pairs a left joint with its right twin when it mirrors a
// pose: it rebuilds the skeleton from the joints' depths, compares bone
// lengths and distances from the root, and refuses a skeleton in which a
// joint off the centre line has no twin. The factory tool runs the same
// pairing over its own skeleton to prove that every limb finds its twin.
#include "kmlMatrix4.h"

#include <vector>

class kgiRobotMirrorPairs {
public:
    // Joint types as the motion-key file gives them: 1 the root, 5 and 6
    // passed over by mirroring, anything else a joint that takes part.
    struct Joint {
        int depth;
        int type;
        kmlMatrix4 rest; // local transform at rest
    };

    // Pairs the joints (depth-first order, the root first). `size` is the
    // model's extent per axis: a joint more than 1 % of its length off the
    // root along x needs a twin. False when one has none (see failedJoint).
    bool setup(const std::vector<Joint>& joints, const float size[3]);
    // Twin of joint i, -1 for none.
    int partner(int i) const { return partners[size_t(i)]; }
    // The joint that made setup fail, -1 when it succeeded.
    int failedJoint() const { return failed; }

    // Two squared lengths are alike when within 10 % of each other (bounds
    // included) or when both are below 0.0005.
    static bool similar(float a, float b);

private:
    bool match(int a, int b);
    bool matchFirstChildren(int a, int b);
    bool matchNextSiblings(int a, int b);

    std::vector<Joint> joints;
    std::vector<int> firstChild, nextSibling, parent, partners;
    std::vector<char> candidate;
    std::vector<kmlMatrix4> world;
    int failed = -1;
};
