// Building IK chains of the four types on one model.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ksgIkChain.h"
#include "ksgModel.h"
#include "ksgNodeGroup.h"
#include "ksgTransform.h"
#include "tree_test_util.h"

namespace {

// pelvis - waist (+ a helper child) - chest, and on the chest two arms and
// a head:
//   lshoulder - lelbow (IK-ignored) - lwrist - lhand - glove (a model)
//   rshoulder - relbow - rhand
//   neck - head
struct Body {
    ksgTransform pelvis;
    std::map<std::string, ksgTransform*> j;

    Body()
    {
        pelvis.setName("pelvis");
        j["pelvis"] = &pelvis;
        add("pelvis", "waist");
        add("waist", "chest");
        add("waist", "marker")->setHelperNode(true);
        add("chest", "lshoulder");
        add("lshoulder", "lelbow")->ignoreIk(true);
        add("lelbow", "lwrist");
        add("lwrist", "lhand");
        add("chest", "rshoulder");
        add("rshoulder", "relbow");
        add("relbow", "rhand");
        add("chest", "neck");
        add("neck", "head");
        ksgModel* glove = new ksgModel;
        glove->setName("glove");
        j["lhand"]->attachChild(glove);
    }

    ksgTransform* add(const char* parent, const char* name)
    {
        ksgTransform* t = new ksgTransform;
        t->setName(name);
        t->setLocal(ksgtest::translation(0, 2, 0));
        j[parent]->attachChild(t);
        j[name] = t;
        return t;
    }

    std::vector<std::string> names(const ksgIkChain& c)
    {
        std::vector<std::string> out;
        for (int i = 0; c[i] != nullptr; ++i)
            out.push_back(c[i]->getName());
        return out;
    }
};

typedef std::vector<std::string> Names;

TEST(IkChain, ChainTypesOnOneModel)
{
    struct Case {
        const char* name;
        const char* ee;
        unsigned char type;
        Names joints; // empty: no chain
        const char* root;
    };
    const Case cases[] = {
        // Type 1 stops below a branching chest, the IK-ignored elbow passed
        // over; from a joint right on the chest the chest is the root.
        {"hand, type 1", "lhand", 1, {"lhand", "lwrist", "lshoulder"}, "lshoulder"},
        {"shoulder, type 1", "lshoulder", 1, {"lshoulder", "chest"}, "chest"},
        {"head, type 1", "head", 1, {"head", "neck"}, "neck"},
        // The waist has the chest and a helper: it does not branch.
        {"chest, type 1", "chest", 1, {"chest", "waist", "pelvis"}, "pelvis"},
        {"a model picks its joint", "glove", 1, {"lhand", "lwrist", "lshoulder"}, "lshoulder"},
        {"hand, type 2", "lhand", 2, {"lhand", "lwrist", "lshoulder", "chest", "waist", "pelvis"}, "pelvis"},
        {"top joint, type 2", "pelvis", 2, {}, ""},
        {"hand in the group, type 3", "lhand", 3, {"lhand", "lwrist", "lshoulder", "chest"}, "chest"},
        {"hand outside the group, type 3", "rhand", 3, {}, ""},
        // From the custom root (the left hand) up to the chest.
        {"chest from the hand, type 4", "chest", 4, {"chest", "lshoulder", "lwrist", "lhand"}, "lhand"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Body b;
        ksgIkChain chain;
        ksgNodeGroup group("left arm");
        for (const char* n : {"lhand", "lwrist", "lelbow", "lshoulder", "chest"})
            group.addNode(b.j[n]);
        chain.setGroup(group);
        ASSERT_TRUE(chain.setCustomRoot(b.j["lhand"]));
        ksgNode* ee = c.ee == std::string("glove") ? b.j["lhand"]->getChild() : b.j[c.ee];
        EXPECT_EQ(chain.setEE(ee, c.type), !c.joints.empty());
        EXPECT_EQ(b.names(chain), c.joints);
        if (c.joints.empty()) {
            EXPECT_EQ(chain.getRoot(), nullptr);
            EXPECT_EQ(chain.getEE(), nullptr);
            EXPECT_EQ(chain.getNumJoints(), 0);
            continue;
        }
        ASSERT_NE(chain.getRoot(), nullptr);
        EXPECT_EQ(chain.getRoot()->getName(), c.root);
        EXPECT_EQ(chain.getNumJoints(), chain.getNumSegments() + 1);
    }
}

TEST(IkChain, SegmentLengthsCountFourComponentsAndIgnoredJoints)
{
    Body b;
    ksgIkChain chain(b.j["lhand"], 1);
    // lhand and lwrist (with the ignored elbow's length added): each local
    // translation (0, 2, 0) counts sqrt(4 + 1).
    const float segment = std::sqrt(5.0f);
    EXPECT_NEAR(chain.getMaxLength(), 3 * segment, 1e-5f);
    EXPECT_EQ(chain.getNumSegments(), 2);
    b.pelvis.update(0, false, true);
    EXPECT_TRUE(ksgtest::vecNear(ksgtest::position(b.j["lhand"]->getWorld()),
                                 kmlVec3(chain.getEELoc().get(0), chain.getEELoc().get(1),
                                         chain.getEELoc().get(2))));
}

TEST(IkChain, RefusalsLeaveTheChainAsItWas)
{
    Body b;
    ksgIkChain chain(b.j["lhand"], 1);
    EXPECT_FALSE(chain.setEE(nullptr, 2));
    EXPECT_EQ(chain.getType(), 1);
    EXPECT_EQ(chain.getEE(), b.j["lhand"]);
    // Type 0 keeps the end effector and rebuilds as type 1.
    EXPECT_TRUE(chain.setEE(b.j["head"], 0));
    EXPECT_EQ(chain.getEE(), b.j["lhand"]);
    EXPECT_EQ(chain.getType(), 1);

    // Type 4 needs the custom root below the end effector.
    EXPECT_FALSE(chain.setEE(b.j["rhand"], 4)) << "no custom root";
    ASSERT_TRUE(chain.setCustomRoot(b.j["lhand"]));
    EXPECT_FALSE(chain.setEE(b.j["rhand"], 4));
    EXPECT_EQ(chain.getType(), 1);
    EXPECT_EQ(chain.getRoot()->getName(), "lshoulder");

    EXPECT_FALSE(chain.setCustomRoot(b.j["lhand"])) << "the same root again clears it";
    EXPECT_FALSE(chain.hasCustomRoot());

    // A type-4 walk that passes an IK-ignored end effector reaches the top.
    ASSERT_TRUE(chain.setCustomRoot(b.j["lwrist"]));
    EXPECT_FALSE(chain.setEE(b.j["lelbow"], 4));
    EXPECT_EQ(chain.getNumJoints(), 0);
}

TEST(IkChain, TextForm)
{
    Body b;
    ksgIkChain chain(b.j["lhand"], 2);
    std::ostringstream out;
    out << chain;
    EXPECT_EQ(out.str(), "\nksgIkChain: \n\tRoot: pelvis\n\tEE: lhand\n\tNumsges: 5\n"
                         "\tIntermediate joint names: \n\t\tlwrist\n\t\tlelbow\n\t\tlshoulder\n"
                         "\t\tchest\n\t\twaist\n");
}

} // namespace
