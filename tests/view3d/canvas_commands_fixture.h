#pragma once
// What the 3D view's command tests share: a joint table that records the
// calls the commands make of it, installed for a test's lifetime, and the
// factory robot's pose as plain matrices.
#include <string>
#include <vector>

#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kmlMatrix4.h"
#include "ksgNode.h"
#include "ksgTransform.h"

// Records "name(node, flag)" for every joint command; isInFoot answers
// inFoot. Installed by the constructor, the table before it back by the
// destructor.
class kgiRecordingJointTable : public kgiPartTable {
public:
    kgiRecordingJointTable() : previous(kgiPartTable::installed()) { kgiPartTable::install(this); }
    ~kgiRecordingJointTable() override { kgiPartTable::install(previous); }

    bool checkPartCollisions(kgiCharacter*, unsigned char*) override { return false; }
    void clearCollisionHits(kgiCharacter*) override {}
    bool computeCenterOfGravity(kgiCharacter*, kmlVec3&) override { return false; }

    bool putOnFloor(bool allKeys) override { return note("putOnFloor", nullptr, allKeys); }
    bool isInFoot(ksgNode* node) override
    {
        note("isInFoot", node, false);
        return inFoot;
    }
    bool setHand(ksgNode* node, bool close) override { return note("setHand", node, close); }
    bool levelFootOverKeys(ksgNode* node, bool allKeys) override { return note("levelFootOverKeys", node, allKeys); }
    bool levelAnkles(ksgNode* node) override { return note("levelAnkles", node, false); }
    bool alignBasePart(ksgNode* node, bool appended) override { return note("alignBasePart", node, appended); }
    void toggleSelectedPart(ksgNode* node) override { note("toggleSelectedPart", node, false); }
    bool applyInitialPose(kgiCharacter*) override { return note("applyInitialPose", nullptr, false); }

    bool inFoot = false;
    struct Call {
        std::string name;
        ksgNode* node;
        bool flag;
    };
    std::vector<Call> calls;

private:
    bool note(const char* name, ksgNode* node, bool flag)
    {
        calls.push_back({name, node, flag});
        return true;
    }
    kgiPartTable* previous;
};

// Every transform's local matrix, depth first.
inline std::vector<kmlMatrix4> kgiTestPose(ksgNode* node)
{
    std::vector<kmlMatrix4> pose;
    if (node == nullptr)
        return pose;
    if (ksgTransform* t = node->asTransform())
        pose.push_back(t->getLocal());
    for (ksgNode* child = node->getChild(); child != nullptr; child = child->getSibling())
        for (const kmlMatrix4& m : kgiTestPose(child))
            pose.push_back(m);
    return pose;
}

// Largest element difference between two poses of one model.
inline float kgiTestPoseDiff(const std::vector<kmlMatrix4>& a, const std::vector<kmlMatrix4>& b)
{
    if (a.size() != b.size())
        return 1e9f;
    float d = 0.0f;
    for (size_t j = 0; j < a.size(); ++j)
        for (int i = 0; i < 16; ++i) {
            const float e = a[j][i] > b[j][i] ? a[j][i] - b[j][i] : b[j][i] - a[j][i];
            d = e > d ? e : d;
        }
    return d;
}

// Turns the named joint about z and updates the model: a pose edit.
inline bool kgiTestTurnJoint(kgiCharacter* c, const char* name, float degrees)
{
    ksgNode* node = c != nullptr ? c->findNode(name) : nullptr;
    ksgTransform* t = node != nullptr ? node->asTransform() : nullptr;
    if (t == nullptr)
        return false;
    kmlMatrix4 m = t->getLocal();
    m.rotate(degrees, kmlVec3(0.0f, 0.0f, 1.0f));
    t->setLocal(m);
    c->getRoot()->update(0.0f, false, true);
    return true;
}
