// Node tree structure: attaching, detaching, depth, lookup, payload and
// controller ownership, update order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ksgController.h"
#include "ksgNode.h"
#include "ksgNodeData.h"
#include "ksgTransform.h"

namespace {

std::vector<std::string> childNames(const ksgNode& n)
{
    std::vector<std::string> out;
    for (ksgNode* c = n.getChild(); c != nullptr; c = c->getSibling())
        out.push_back(c->getName());
    return out;
}

ksgNode* named(const std::string& name)
{
    ksgNode* n = new ksgNode;
    n->setName(name);
    return n;
}

TEST(NodeTree, DetachFirstMiddleOrLastOfThreeKeepsTheOthersInOrder)
{
    struct Case {
        int index;
        std::string detached;
        std::vector<std::string> rest;
    };
    const Case cases[] = {
        {0, "a", {"b", "c"}},
        {1, "b", {"a", "c"}},
        {2, "c", {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detached);
        ksgNode root;
        root.attachChild(named("a"));
        root.attachChild(named("b"));
        root.attachChild(named("c"));
        ksgNode* gone = root.detachChild(c.index);
        ASSERT_NE(gone, nullptr);
        EXPECT_EQ(gone->getName(), c.detached);
        EXPECT_EQ(gone->getParent(), nullptr);
        EXPECT_EQ(gone->getSibling(), nullptr);
        EXPECT_EQ(gone->getDepth(), -1);
        EXPECT_EQ(root.getNumChildren(), 2);
        EXPECT_EQ(childNames(root), c.rest);
        EXPECT_EQ(root.getChild(2), nullptr);
        delete gone;
    }
}

TEST(NodeTree, DetachByPointerAndOutOfRange)
{
    ksgNode root;
    ksgNode* a = named("a");
    ksgNode stranger;
    root.attachChild(a);
    EXPECT_EQ(root.detachChild(5), nullptr);
    EXPECT_EQ(root.detachChild(-1), nullptr);
    EXPECT_FALSE(root.detachChild(&stranger));
    EXPECT_FALSE(root.detachChild(static_cast<ksgNode*>(nullptr)));
    EXPECT_TRUE(root.detachChild(a));
    EXPECT_EQ(root.getNumChildren(), 0);
    EXPECT_EQ(a->getDepth(), -1);
    delete a;
}

class ClosedNode : public ksgNode {
public:
    bool acceptChildren() const override { return false; }
};

TEST(NodeTree, AttachRefusesNullParentedCyclicAndClosed)
{
    ksgNode root;
    ksgNode* mid = named("mid");
    ksgNode* leaf = named("leaf");
    root.attachChild(mid);
    mid->attachChild(leaf);

    ksgNode other;
    ksgNode* owned = named("owned");
    other.attachChild(owned);
    ClosedNode closed;
    ksgNode free;

    EXPECT_FALSE(root.attachChild(nullptr));
    EXPECT_FALSE(root.attachChild(owned)) << "already has a parent";
    EXPECT_FALSE(leaf->attachChild(leaf)) << "itself";
    EXPECT_FALSE(leaf->attachChild(&root)) << "an ancestor";
    EXPECT_FALSE(leaf->attachChild(mid)) << "its parent";
    EXPECT_FALSE(closed.attachChild(&free));

    EXPECT_EQ(childNames(root), std::vector<std::string>{"mid"});
    EXPECT_EQ(owned->getParent(), &other);
    EXPECT_EQ(free.getParent(), nullptr);
    EXPECT_EQ(leaf->getChild(), nullptr);
}

void expectDepths(ksgNode* n, int depth)
{
    for (; n != nullptr; n = n->getSibling()) {
        EXPECT_EQ(n->getDepth(), depth) << n->getName();
        expectDepths(n->getChild(), depth + 1);
    }
}

TEST(NodeTree, InitGivesEveryDescendantItsParentsDepthPlusOne)
{
    // A subtree built apart (depths from its own root) and then attached
    // two levels down must be renumbered as a whole.
    ksgNode* sub = named("sub");
    for (int i = 0; i < 3; ++i) {
        ksgNode* c = named("c" + std::to_string(i));
        sub->attachChild(c);
        c->attachChild(named("g" + std::to_string(i)));
    }
    ksgNode root;
    ksgNode* mid = named("mid");
    root.attachChild(mid);
    mid->attachChild(sub);
    EXPECT_EQ(sub->getDepth(), 2);
    expectDepths(&root, 0);
}

TEST(NodeTree, FindWalksChildrenThenLaterSiblings)
{
    ksgNode root;
    root.setName("root");
    ksgNode* a = named("a");
    ksgNode* b = named("b");
    root.attachChild(a);
    root.attachChild(b);
    a->attachChild(named("a1"));
    b->attachChild(named("b1"));
    b->getChild()->attachChild(named("b11"));

    EXPECT_EQ(root.find("root"), &root);
    ASSERT_NE(root.find("b11"), nullptr);
    EXPECT_EQ(root.find("b11")->getParent()->getName(), "b1");
    // Searching from a reaches its later sibling's subtree too.
    EXPECT_NE(a->find("b1"), nullptr);
    EXPECT_EQ(b->find("a1"), nullptr);
    EXPECT_EQ(root.find("nothing"), nullptr);
}

TEST(NodeTree, LookupsOfParentTransformAndRoot)
{
    ksgTransform top;
    ksgNode* plain = named("plain");
    ksgTransform* joint = new ksgTransform;
    ksgNode* leaf = named("leaf");
    top.attachChild(plain);
    plain->attachChild(joint);
    joint->attachChild(leaf);

    EXPECT_EQ(leaf->getParentTransform(), joint);
    EXPECT_EQ(joint->getParentTransform(), &top) << "skips the plain node, never itself";
    EXPECT_EQ(top.getParentTransform(), nullptr);
    EXPECT_EQ(leaf->getRoot(), &top);
    EXPECT_EQ(top.getRoot(), &top);
    EXPECT_EQ(top.getChild(0), plain);
    EXPECT_EQ(top.getChild(1), nullptr);
}

TEST(NodeTree, DeletingATreeGivesAllIdsBack)
{
    int before = ksgNode::idmgr.count();
    ksgNode* root = named("root");
    for (int i = 0; i < 4; ++i) {
        ksgNode* c = named("c");
        root->attachChild(c);
        c->attachChild(named("g"));
    }
    EXPECT_EQ(ksgNode::idmgr.count(), before + 9);
    delete root;
    EXPECT_EQ(ksgNode::idmgr.count(), before);
}

TEST(NodeTree, DeletingAnAttachedChildLeavesTheParentConsistent)
{
    ksgNode root;
    ksgNode* a = named("a");
    ksgNode* b = named("b");
    root.attachChild(a);
    root.attachChild(b);
    root.attachChild(named("c"));
    delete b;
    EXPECT_EQ(root.getNumChildren(), 2);
    EXPECT_EQ(childNames(root), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(root.getChild(1)->getName(), "c");
    delete a;
    EXPECT_EQ(childNames(root), std::vector<std::string>{"c"});
}

class CountedData : public ksgNodeData {
public:
    explicit CountedData(int* deaths) : deaths(deaths) {}
    ~CountedData() override { ++*deaths; }

private:
    int* deaths;
};

TEST(NodeTree, SetDataHandsBackThePreviousPayloadOnly)
{
    int deaths = 0;
    CountedData* first = new CountedData(&deaths);
    CountedData* second = new CountedData(&deaths);
    {
        ksgNode node;
        EXPECT_EQ(node.setData(first), nullptr);
        EXPECT_EQ(first->getOwner(), &node);
        // The payload already held is neither freed nor handed back.
        EXPECT_EQ(node.setData(first), nullptr);
        EXPECT_EQ(node.getData(), first);
        EXPECT_EQ(deaths, 0);

        EXPECT_EQ(node.setData(second), first);
        EXPECT_EQ(first->getOwner(), nullptr);
        EXPECT_EQ(second->getOwner(), &node);

        // A payload taken by another node leaves this one.
        ksgNode other;
        other.setData(second);
        EXPECT_EQ(node.getData(), nullptr);
        EXPECT_EQ(second->getOwner(), &other);
    }
    EXPECT_EQ(deaths, 1) << "second died with its node; first is the caller's";
    delete first;
}

// Controllers that count their deaths and record updates.
class StepController : public ksgTimeBasedController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
    using ksgTimeBasedController::update;

    explicit StepController(int* deaths = nullptr) : deaths(deaths) {}
    ~StepController() override
    {
        if (deaths != nullptr)
            ++*deaths;
    }
    bool update(float t) override
    {
        times.push_back(t);
        return succeed;
    }

    std::vector<float> times;
    bool succeed = true;
    int* deaths;
};
const kutRtti StepController::RTTI("StepController", &ksgTimeBasedController::RTTI);

class FineStepController : public StepController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
    using StepController::StepController;
};
const kutRtti FineStepController::RTTI("FineStepController", &StepController::RTTI);

class OtherController : public ksgTimeBasedController {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override { return &RTTI; }
    using ksgTimeBasedController::update;
    bool update(float) override { return true; }
};
const kutRtti OtherController::RTTI("OtherController", &ksgTimeBasedController::RTTI);

class StillController : public ksgStaticController {
public:
    bool update() override { return ksgStaticController::update(); }
};

TEST(NodeControllers, AttachRefusesWhatTheNodeCannotOwn)
{
    ksgNode node;
    ksgNode elsewhere;
    StillController still;
    StepController* mine = new StepController;
    StepController* theirs = new StepController;
    ASSERT_TRUE(node.attachController(mine));
    ASSERT_TRUE(elsewhere.attachController(theirs));

    EXPECT_FALSE(node.attachController(nullptr));
    EXPECT_FALSE(node.attachController(&still)) << "not time-based";
    EXPECT_FALSE(node.attachController(mine)) << "already attached here";
    EXPECT_FALSE(node.attachController(theirs)) << "owned by another node";
    EXPECT_EQ(node.getNumControllers(), 1);
    EXPECT_EQ(theirs->getTarget(), &elsewhere);
}

TEST(NodeControllers, ReplacementKeepsOnePerClassAndFreesTheReplaced)
{
    struct Case {
        const char* name;
        bool firstFine;  // the attached controller is the derived class
        bool secondFine; // the new controller is the derived class
        int remaining;
        int freed;
    };
    // The new controller replaces an attached one that is a kind of the
    // new one's class.
    const Case cases[] = {
        {"same class", false, false, 1, 1},
        {"derived replaced by base", true, false, 1, 1},
        {"base kept beside derived", false, true, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int deaths = 0;
        ksgNode node;
        OtherController* other = new OtherController;
        StepController* first =
            c.firstFine ? new FineStepController(&deaths) : new StepController(&deaths);
        StepController* second =
            c.secondFine ? new FineStepController(&deaths) : new StepController(&deaths);
        node.attachController(other);
        ASSERT_TRUE(node.attachController(first));
        ASSERT_TRUE(node.attachController(second));
        EXPECT_EQ(node.getNumControllers(), c.remaining + 1);
        EXPECT_EQ(deaths, c.freed);
        EXPECT_EQ(node.getController(&OtherController::RTTI), other);
        EXPECT_EQ(node.getController(node.getNumControllers() - 1), second);
        EXPECT_EQ(second->getTarget(), &node);
    }
}

TEST(NodeControllers, DetachHandsTheControllerBack)
{
    int deaths = 0;
    StepController* c = new StepController(&deaths);
    {
        ksgNode node;
        node.attachController(c);
        node.detachController(c);
        EXPECT_EQ(node.getNumControllers(), 0);
        EXPECT_EQ(c->getTarget(), nullptr);
        EXPECT_EQ(node.getController(&StepController::RTTI), nullptr);
        node.detachController(7);
        EXPECT_EQ(node.getController(0), nullptr);
    }
    EXPECT_EQ(deaths, 0);
    delete c;
}

TEST(TimeBasedController, UpdateGatesAndKeepsTheLastTime)
{
    ksgNode node;
    StepController* c = new StepController;
    EXPECT_FALSE(c->update(1.0f, true)) << "no target";
    EXPECT_TRUE(c->times.empty());
    node.attachController(c);

    EXPECT_TRUE(c->update(2.0f, true));
    EXPECT_TRUE(c->update(0.5f, false));
    EXPECT_FLOAT_EQ(c->getLastUpdateTime(), 2.5f);
    EXPECT_EQ(c->times.back(), 2.5f);

    c->succeed = false;
    EXPECT_FALSE(c->update(4.0f, true));
    EXPECT_FLOAT_EQ(c->getLastUpdateTime(), 2.5f) << "a failed update keeps the time";

    c->succeed = true;
    c->enable(false);
    size_t calls = c->times.size();
    EXPECT_FALSE(c->update(5.0f, true));
    EXPECT_EQ(c->times.size(), calls);
    EXPECT_FLOAT_EQ(c->getLastUpdateTime(), 2.5f);
}

// Records the order of the update steps of every node.
class TraceNode : public ksgNode {
public:
    TraceNode(const std::string& n, std::vector<std::string>* log) : log(log) { setName(n); }
    void updateBounds() override
    {
        log->push_back("bounds " + getName());
        ksgNode::updateBounds();
    }

protected:
    void preUpdate(float, bool) override { log->push_back("pre " + getName()); }
    void postUpdate(float, bool) override { log->push_back("post " + getName()); }

private:
    std::vector<std::string>* log;
};

TEST(NodeUpdate, EachNodeBeforeItsSubtreeLaterSiblingsIncluded)
{
    std::vector<std::string> log;
    TraceNode root("r", &log);
    TraceNode* a = new TraceNode("a", &log);
    TraceNode* b = new TraceNode("b", &log);
    root.attachChild(a);
    root.attachChild(b);
    a->attachChild(new TraceNode("a1", &log));
    StepController* ctl = new StepController;
    a->attachController(ctl);

    log.clear();
    ctl->times.clear();
    a->update(3.0f, true, false);
    // Updating a updates its later sibling b as well; bounds come last,
    // inner first, and nothing runs above a without propagation.
    const std::vector<std::string> expected = {"pre a",      "post a",   "pre a1",
                                               "post a1",    "bounds a1", "pre b",
                                               "post b",     "bounds b",  "bounds a"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(ctl->times, std::vector<float>{3.0f});

    log.clear();
    a->update(0.0f, false, true);
    EXPECT_EQ(log.back(), "bounds r") << "propagation reaches the root";
    EXPECT_EQ(ctl->times.back(), 3.0f) << "relative 0 re-evaluates at the last time";
}

} // namespace
