// The notice a character gives before it frees its tree: who hears it,
// when, and what a listener may do while being told.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiFreedTreeNotice.h"
#include "ksgTransform.h"

#include "core/pose_robot_fixture_test.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Listener : kgiFreedTreeListener {
    std::vector<ksgNode*> roots;
    std::vector<std::string> names; // of each root, read while it stands
    std::function<void()> onNotice;
    void treeFreed(kgiCharacter*, ksgNode* root) override
    {
        roots.push_back(root);
        names.push_back(root->getName());
        if (onNotice)
            onNotice();
    }
    ~Listener() override { kgiFreedTreeNotice::unsubscribe(this); }
};

struct Quiet : kgiCharacterServices {
    int keysMax() const override { return 100000; }
};

} // namespace

TEST(FreedTreeNotice, AResetWithAModelToldOnceWhileTheTreeStands)
{
    Quiet quiet;
    kgiCharacterServices::install(&quiet);
    Listener heard;
    kgiFreedTreeNotice::subscribe(&heard);
    kgiFreedTreeNotice::subscribe(&heard); // once only
    {
        kgiCharacter c;
        c.reset(); // no model: nothing to tell
        ASSERT_TRUE(c.load(kgiTestRobot::projectPath()));
        ksgNode* first = c.getRoot();
        ASSERT_TRUE(c.load(kgiTestRobot::projectPath())); // a reload frees the first tree
        EXPECT_EQ(heard.roots, std::vector<ksgNode*>{first});
        EXPECT_EQ(heard.names.size(), 1u);
    } // the destructor frees the second
    EXPECT_EQ(heard.roots.size(), 2u);
    kgiFreedTreeNotice::unsubscribe(&heard);
    ksgTransform attached;
    kgiCharacter other;
    other.attachRoot(&attached);
    other.reset();
    EXPECT_EQ(heard.roots.size(), 2u) << "unsubscribed";
    kgiCharacterServices::install(nullptr);
}

TEST(FreedTreeNotice, ListenersMayLeaveOrJoinWhileBeingTold)
{
    Listener first, second, late;
    first.onNotice = [&] {
        kgiFreedTreeNotice::unsubscribe(&second);
        kgiFreedTreeNotice::subscribe(&late);
    };
    kgiFreedTreeNotice::subscribe(&first);
    kgiFreedTreeNotice::subscribe(&second);
    ksgTransform root;
    kgiFreedTreeNotice::raise(nullptr, &root);
    EXPECT_EQ(first.roots.size(), 1u);
    EXPECT_TRUE(second.roots.empty()) << "left before its turn";
    EXPECT_TRUE(late.roots.empty()) << "joined during the notice";
    EXPECT_TRUE(kgiFreedTreeNotice::isSubscribed(&late));
    kgiFreedTreeNotice::raise(nullptr, &root);
    EXPECT_EQ(late.roots.size(), 1u);
}
