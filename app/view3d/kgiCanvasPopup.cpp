#include "kgiCanvasPopup.h"


#include "kgiCollisionCheckParts.h"
#include "kgiKmdData.h"
#include "ksgNode.h"
#include "ksgTransform.h"

namespace {

bool isWrist(const std::string& name) { return name == "L_WR1" || name == "R_WR1"; }

// The joints where an arm or a leg hangs from the body.
bool isLimbRoot(const std::string& name)
{
    static const char* const ROOTS[] = {"RThigh", "LThigh", "LShoulder", "RShoulder",
                                        "R_SH0",  "L_SH0",  "R_HP",      "L_HP"};
    for (const char* root : ROOTS)
        if (name == root)
            return true;
    return false;
}

} // namespace

std::vector<kgiCanvasPopup::Item> kgiCanvasPopup::items(ksgNode* node, kgiPartTable* table)
{
    std::vector<Item> menu;
    if (node == nullptr)
        return menu;
    bool hand = false;
    bool limb = false;
    for (ksgNode* n = node; n != nullptr; n = n->getParent()) {
        const std::string name = n->getName();
        if (isWrist(name)) {
            hand = true;
        } else if (isLimbRoot(name)) {
            limb = true;
            break;
        }
    }
    menu.push_back({ADJUST_PREV_KEY, "Adjust_Prev_Key"});
    if (limb)
        menu.push_back({SUBTREE_MIRROR, "Subtree_mirror"});
    if (table != nullptr && table->isInFoot(node))
        menu.push_back({FOOT_LAND, "Foot_Land"});
    if (hand) {
        menu.push_back({HAND_OPEN, "Hand_Open"});
        menu.push_back({HAND_CLOSE, "Hand_Close"});
    }
    return menu;
}

ksgNode* kgiCanvasPopup::mirrorJoint(ksgNode* node)
{
    for (kgiKmdData* d = kgiKmdData::of(node); d != nullptr; d = d->getParentData())
        if (d->getType() != kgiKmdData::PART && d->getType() != kgiKmdData::MIRROR_HELPER)
            return d->getOwner();
    return nullptr;
}

ksgTransform* kgiCanvasPopup::reverseRootJoint(ksgNode* node)
{
    if (node == nullptr)
        return nullptr;
    ksgTransform* t = node->asTransform();
    if (t == nullptr)
        t = node->getParentTransform();
    while (t != nullptr && t->isIkIgnored())
        t = t->getParentTransform();
    return t;
}
