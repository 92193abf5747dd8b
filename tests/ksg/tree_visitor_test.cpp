// The three walks and their stop and skip rules; the library's visitors.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kgcMesh.h"
#include "ksgModel.h"
#include "ksgNode.h"
#include "ksgTransform.h"
#include "ksgVisitor.h"
#include "tree_test_util.h"

namespace {

// Logs "+name" on enter and "-name" on leave; answers per node name.
class LogVisitor : public ksgVisitor {
public:
    LogVisitor(std::vector<std::string>* log, const char* mark) : log(log), mark(mark) {}
    ReturnType exec(ksgNode* n) override
    {
        log->push_back(mark + n->getName());
        auto it = answers.find(n->getName());
        return it == answers.end() ? DESCEND : it->second;
    }
    std::map<std::string, ReturnType> answers;

private:
    std::vector<std::string>* log;
    std::string mark;
};

// r with children a (a1, a2), b, c (c1).
struct SmallTree {
    ksgNode r;
    SmallTree()
    {
        r.setName("r");
        ksgNode* a = add(&r, "a");
        add(a, "a1");
        add(a, "a2");
        add(&r, "b");
        add(add(&r, "c"), "c1");
    }
    static ksgNode* add(ksgNode* parent, const char* name)
    {
        ksgNode* n = new ksgNode;
        n->setName(name);
        parent->attachChild(n);
        return n;
    }
};

typedef std::vector<std::string> Log;

TEST(DepthVisit, StopAndSkipRules)
{
    struct Case {
        const char* name;
        std::map<std::string, ksgVisitor::ReturnType> answers;
        bool result;
        Log expected;
    };
    const auto SKIP = ksgVisitor::SKIP;
    const auto STOP = ksgVisitor::STOP;
    const auto ODD = static_cast<ksgVisitor::ReturnType>(5);
    const Case cases[] = {
        {"full walk",
         {},
         true,
         {"+r", "+a", "+a1", "-a1", "+a2", "-a2", "-a", "+b", "-b", "+c", "+c1", "-c1", "-c", "-r"}},
        {"skip a", {{"a", SKIP}}, true,
         {"+r", "+a", "-a", "+b", "-b", "+c", "+c1", "-c1", "-c", "-r"}},
        {"5 acts as skip", {{"a", ODD}}, true,
         {"+r", "+a", "-a", "+b", "-b", "+c", "+c1", "-c1", "-c", "-r"}},
        // Stopping at a1 (which has a later sibling): the open nodes are
        // left once each, nothing further is entered.
        {"stop at a1", {{"a1", STOP}}, false, {"+r", "+a", "+a1", "-a1", "-a", "-r"}},
        {"stop at b", {{"b", STOP}}, false,
         {"+r", "+a", "+a1", "-a1", "+a2", "-a2", "-a", "+b", "-b", "-r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallTree t;
        Log log;
        LogVisitor enter(&log, "+"), leave(&log, "-");
        enter.answers = c.answers;
        EXPECT_EQ(t.r.depthVisit(enter, leave), c.result);
        EXPECT_EQ(log, c.expected);
    }
}

TEST(BreadthVisit, LaterSiblingsFirstLastOneFirst)
{
    SmallTree t;
    Log log;
    LogVisitor enter(&log, "+"), leave(&log, "-");
    ksgNullVisitor none;
    EXPECT_TRUE(t.r.getChild()->breadthVisit(enter, none));
    const Log expected = {"+c", "+c1", "+b", "+a", "+a2", "+a1"};
    EXPECT_EQ(log, expected);

    log.clear();
    enter.answers["b"] = ksgVisitor::STOP;
    EXPECT_FALSE(t.r.getChild()->breadthVisit(enter, leave));
    const Log stopped = {"+c", "+c1", "-c1", "-c", "+b", "-b"};
    EXPECT_EQ(log, stopped);
}

TEST(UpVisit, EveryAncestorChildFirst)
{
    SmallTree t;
    Log log;
    LogVisitor enter(&log, "+"), leave(&log, "-");
    ksgNode* a2 = t.r.find("a2");
    EXPECT_TRUE(a2->upVisit(enter, leave));
    const Log expected = {"+a2", "-a2", "+a", "-a", "+r", "-r"};
    EXPECT_EQ(log, expected);

    log.clear();
    enter.answers["a"] = ksgVisitor::STOP;
    EXPECT_FALSE(a2->upVisit(enter, leave));
    const Log stopped = {"+a2", "-a2", "+a", "-a"};
    EXPECT_EQ(log, stopped);
}

class ModelCounter : public ksgDispatchVisitor {
public:
    ModelCounter()
    {
        addHandler(&ksgModel::RTTI, &ModelCounter::onModel);
        addHandler(&ksgNode::RTTI, &ModelCounter::onNode);
    }
    ReturnType onModel(ksgNode*)
    {
        ++models;
        return SKIP;
    }
    ReturnType onNode(ksgNode*)
    {
        ++nodes;
        return DESCEND;
    }
    int models = 0;
    int nodes = 0;
};

TEST(DispatchVisitor, FirstMatchingHandlerInRegistrationOrder)
{
    ksgDispatchVisitor empty;
    ksgNode plain;
    EXPECT_EQ(empty.exec(&plain), ksgVisitor::DESCEND);

    ksgNode root;
    ksgModel* model = new ksgModel;
    root.attachChild(model);
    model->attachChild(new ksgModel);
    root.attachChild(new ksgTransform);
    ModelCounter counter;
    ksgNullVisitor none;
    root.depthVisit(counter, none);
    EXPECT_EQ(counter.models, 1) << "the model's own child was skipped";
    EXPECT_EQ(counter.nodes, 2) << "root and the transform";
}

TEST(UpdateVisitors, WorldAndBoundsWithATopNode)
{
    ksgTransform root;
    ksgTransform* joint = new ksgTransform;
    root.attachChild(joint);
    ksgModel* model = new ksgModel;
    joint->attachChild(model);
    kgcMesh* mesh = new kgcMesh;
    mesh->begin(2, 0, 0);
    mesh->addVertex(0, 0, 0);
    mesh->addVertex(1, 1, 1);
    mesh->end();
    model->setMesh(mesh);

    joint->setLocal(ksgtest::translation(5, 0, 0));
    ksgUpdateWorld world;
    ksgNullVisitor none;
    root.depthVisit(world, none);
    EXPECT_TRUE(ksgtest::matrixNear(joint->getWorld(), ksgtest::translation(5, 0, 0)));
    EXPECT_TRUE(ksgtest::vecNear(joint->getBounds().getMin(), kmlVec3(0, 0, 0))) << "not yet";

    // Bounds as the leaving visitor: children first. Without a top node
    // nothing above the walk is touched.
    ksgUpdateBounds bounds;
    joint->getChild()->depthVisit(none, bounds);
    EXPECT_TRUE(ksgtest::vecNear(model->getBounds().getMin(), kmlVec3(5, 0, 0)));
    EXPECT_TRUE(ksgtest::vecNear(root.getBounds().getMin(), kmlVec3(0, 0, 0)));
    bounds.setTop(model);
    model->depthVisit(none, bounds);
    EXPECT_TRUE(ksgtest::vecNear(root.getBounds().getMin(), kmlVec3(5, 0, 0)));
}

} // namespace
