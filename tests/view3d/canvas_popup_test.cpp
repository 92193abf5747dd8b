// The joint pop-up's items from the clicked node's ancestors and the joint
// table, and the joints its mirror and reverse-root commands act on. Small
// trees of named transforms stand in for the robot's limbs.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kgiCanvasPopup.h"
#include "kgiKmdData.h"
#include "ksgTransform.h"
#include "view3d/canvas_commands_fixture.h"

namespace {

using Popup = kgiCanvasPopup;

// A chain of transforms named from the top down; the last is returned.
struct Chain {
    std::unique_ptr<ksgTransform> root;
    ksgTransform* leaf = nullptr;

    explicit Chain(const std::vector<std::string>& names)
    {
        root.reset(new ksgTransform);
        root->setName("body");
        leaf = root.get();
        for (const std::string& n : names) {
            auto* t = new ksgTransform;
            t->setName(n);
            leaf->attachChild(t);
            leaf = t;
        }
    }
};

std::vector<int> commands(const std::vector<Popup::Item>& items)
{
    std::vector<int> ids;
    for (const Popup::Item& i : items)
        ids.push_back(i.command);
    return ids;
}

TEST(CanvasPopup, ItemsFollowTheAncestorsAndTheTable)
{
    struct Case {
        const char* what;
        std::vector<std::string> chain;
        bool inFoot;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {"left hand inside the left arm", {"LShoulder", "L_EL", "L_WR1", "L_hand"}, false, {61, 54, 57, 58}},
        {"the wrist itself", {"RShoulder", "R_WR1"}, false, {61, 54, 57, 58}},
        {"head", {"Neck", "Head"}, false, {61}},
        {"foot inside the left leg", {"LThigh", "LKnee", "LAnkle2", "L_foot"}, true, {61, 54, 59}},
        {"hip joint names end the search", {"R_HP", "R_KN", "R_AN"}, false, {61, 54}},
        {"a wrist above the limb root is not seen", {"L_WR1", "L_SH0", "L_arm"}, false, {61, 54}},
        {"a wrist without a limb", {"R_WR1", "R_hand"}, false, {61, 57, 58}},
        {"the table alone decides the foot", {"Waist"}, true, {61, 59}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Chain chain(c.chain);
        kgiRecordingJointTable table;
        table.inFoot = c.inFoot;
        EXPECT_EQ(commands(Popup::items(chain.leaf, &table)), c.ids);
        ASSERT_EQ(table.calls.size(), 1u);
        EXPECT_EQ(table.calls[0].name, "isInFoot");
        EXPECT_EQ(table.calls[0].node, chain.leaf);
    }
    // Without a table there is no foot item; without a node no menu at all.
    Chain foot({"LThigh", "LAnkle2"});
    EXPECT_EQ(commands(Popup::items(foot.leaf, nullptr)), (std::vector<int>{61, 54}));
    kgiRecordingJointTable table;
    EXPECT_TRUE(Popup::items(nullptr, &table).empty());
    EXPECT_TRUE(table.calls.empty());
}

TEST(CanvasPopup, LabelsAreTheLanguageKeys)
{
    Chain hand({"LShoulder", "L_WR1"});
    kgiRecordingJointTable table;
    table.inFoot = true;
    std::vector<std::string> labels;
    for (const Popup::Item& i : Popup::items(hand.leaf, &table))
        labels.push_back(i.labelKey);
    EXPECT_EQ(labels, (std::vector<std::string>{"Adjust_Prev_Key", "Subtree_mirror", "Foot_Land", "Hand_Open",
                                                "Hand_Close"}));
}

TEST(CanvasPopup, MirrorStartsAtTheFirstJointAboveTheMeshParts)
{
    Chain chain({"LShoulder", "L_EL", "mesh_a", "mesh_b"});
    const int types[] = {kgiKmdData::ROOT, kgiKmdData::FREE_JOINT, kgiKmdData::HINGE, kgiKmdData::MIRROR_HELPER,
                         kgiKmdData::PART};
    int i = 0;
    for (ksgNode* n = chain.root.get(); n != nullptr; n = n->getChild()) {
        n->setData(new kgiKmdData);
        kgiKmdData::of(n)->setType(types[i++]);
    }
    ksgNode* elbow = chain.root->getChild()->getChild();
    ASSERT_EQ(elbow->getName(), "L_EL");
    EXPECT_EQ(Popup::mirrorJoint(chain.leaf), elbow);
    EXPECT_EQ(Popup::mirrorJoint(elbow), elbow);
    EXPECT_EQ(Popup::mirrorJoint(nullptr), nullptr);
    Chain bare({"x"});
    EXPECT_EQ(Popup::mirrorJoint(bare.leaf), nullptr) << "no node data";
}

TEST(CanvasPopup, ReverseRootSkipsJointsLeftOutOfIk)
{
    Chain chain({"LShoulder", "L_EL", "L_WR1"});
    auto* shoulder = static_cast<ksgTransform*>(chain.root->getChild());
    auto* elbow = static_cast<ksgTransform*>(shoulder->getChild());
    EXPECT_EQ(Popup::reverseRootJoint(chain.leaf), chain.leaf);
    chain.leaf->ignoreIk(true);
    elbow->ignoreIk(true);
    EXPECT_EQ(Popup::reverseRootJoint(chain.leaf), shoulder);
    shoulder->ignoreIk(true);
    chain.root->ignoreIk(true);
    EXPECT_EQ(Popup::reverseRootJoint(chain.leaf), nullptr);
    EXPECT_EQ(Popup::reverseRootJoint(nullptr), nullptr);
}

} // namespace
