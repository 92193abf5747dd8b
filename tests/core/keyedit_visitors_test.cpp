// Key-edit visitors over a small model: a root joint with position and
// rotation keys, a hinge below it, and a mesh part without a controller.
#include "core/kmd_node_test.h"
#include "kgiKeyEdit.h"
#include "kgiKmdData.h"
#include "kgiModelParts.h"
#include "ksgModel.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgTransform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using Times = std::vector<float>;

class KeyEditVisitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.reset(new ksgTransform);
        make(nullptr, root.get(), "root", kgiKmdData::ROOT);
        hinge = new ksgTransform;
        make(root.get(), hinge, "hinge", kgiKmdData::FREE_JOINT);
        make(hinge, new ksgModel, "hinge_Part0", kgiKmdData::PART);
    }

    void make(ksgNode* parent, ksgNode* node, const char* name, int type)
    {
        kgiTestNodes::addKeyableNode(parent, node, name, type);
        if (ksgMotionController* mc = getMotionController(node))
            mc->setPositionInterpolation(KML_EVAL_LINEAR);
    }

    // Keys on both joints at the given times; the root's x position is the
    // time, so interpolated values are easy to tell.
    void keysAt(const Times& times)
    {
        for (float t : times) {
            kmlMatrix4 m;
            m.setTranslation(kmlVec3(t, 0.0f, 0.0f));
            root->setLocal(m);
            kgiAddKey add(t);
            run(add);
        }
    }

    void run(ksgVisitor& v)
    {
        ksgNullVisitor leave;
        root->depthVisit(v, leave);
    }

    Times keysOf(ksgNode* node)
    {
        Times t;
        getMotionController(node)->getKeysTime(t, -1);
        return t;
    }

    float rootXAt(float t)
    {
        ksgMotionController* mc = getMotionController(root.get());
        std::unique_ptr<ksgMotionFrame> f(mc->newFrame());
        f->setTime(t);
        mc->getFrame(f.get(), ksgMotionController::EVAL_BASE, ksgMotionController::NoLayerSet);
        kmlMatrix4 m;
        f->toMatrix(m);
        return m(0, 3);
    }

    std::unique_ptr<ksgTransform> root;
    ksgTransform* hinge = nullptr;
};

} // namespace

TEST_F(KeyEditVisitors, EditsReachEveryJoint)
{
    keysAt({0, 10, 20});
    EXPECT_EQ(keysOf(root.get()), Times({0, 10, 20}));
    EXPECT_EQ(keysOf(hinge), Times({0, 10, 20}));
    kgiDeleteKey del(10);
    run(del);
    EXPECT_EQ(keysOf(hinge), Times({0, 20}));
    kgiDuplicateKey dup(0, 5);
    run(dup);
    EXPECT_EQ(keysOf(root.get()), Times({0, 5, 20}));
    EXPECT_FLOAT_EQ(rootXAt(5), 0.0f);
}

TEST_F(KeyEditVisitors, OutOfRangeArgumentsChangeNothing)
{
    keysAt({0, 10, 20});
    std::unique_ptr<ksgVisitor> refused[] = {
        std::make_unique<kgiAddKey>(-1.0f),          std::make_unique<kgiDeleteKey>(-1.0f),
        std::make_unique<kgiCutKey>(-1.0f),          std::make_unique<kgiPasteKey>(-1.0f),
        std::make_unique<kgiDuplicateKey>(0.0f, -1.0f), std::make_unique<kgiDeleteKeys>(0.0f, 0.0f),
        std::make_unique<kgiDeleteFrames>(0.0f, 5.0f),  std::make_unique<kgiInsertFrames>(0.0f, 5.0f),
        std::make_unique<kgiDuplicateKeys>(0.0f, 0.5f, 30.0f),
    };
    for (auto& v : refused) {
        run(*v);
        EXPECT_EQ(keysOf(root.get()), Times({0, 10, 20}));
        EXPECT_EQ(keysOf(hinge), Times({0, 10, 20}));
    }
}

TEST_F(KeyEditVisitors, RangesAndFrameShifts)
{
    struct Case {
        const char* what;
        std::function<std::unique_ptr<ksgVisitor>()> make;
        Times expected;
    } cases[] = {
        {"delete 10..14 keeps 15", [] { return std::make_unique<kgiDeleteKeys>(10.0f, 5.0f); }, {0, 15, 20}},
        {"delete frames after 1", [] { return std::make_unique<kgiDeleteFrames>(1.0f, 3.0f); }, {0, 7, 12, 17}},
        {"insert frames after 1", [] { return std::make_unique<kgiInsertFrames>(1.0f, 3.0f); }, {0, 13, 18, 23}},
        {"copy 0..10 to 20", [] { return std::make_unique<kgiDuplicateKeys>(0.0f, 11.0f, 20.0f); },
         {0, 10, 15, 20, 30, 31}},
    };
    for (const Case& c : cases) {
        SetUp();
        keysAt({0, 10, 15, 20});
        run(*c.make());
        EXPECT_EQ(keysOf(root.get()), c.expected) << c.what;
        EXPECT_EQ(keysOf(hinge), c.expected) << c.what;
    }
}

TEST_F(KeyEditVisitors, CopyAndPasteCarryTheInterpolatedPose)
{
    keysAt({0, 10});
    root->update(5.0f, true, true); // the pose on screen at frame 5: x = 5
    kgiCopyFrame copy;
    run(copy);
    kgiPasteKey paste(30);
    run(paste);
    EXPECT_EQ(keysOf(root.get()), Times({0, 10, 30}));
    EXPECT_NEAR(rootXAt(30), 5.0f, 1e-4);
}

TEST_F(KeyEditVisitors, CutWithoutAKeyOnlyFillsTheBuffer)
{
    keysAt({0, 10});
    kgiCutKey cut(4);
    run(cut);
    EXPECT_EQ(keysOf(root.get()), Times({0, 10}));
    EXPECT_NEAR(getMotionController(root.get())->getBuffer()(0, 3), 4.0f, 1e-4);
    kgiCutKey cutKey(10);
    run(cutKey);
    EXPECT_EQ(keysOf(root.get()), Times({0}));
    EXPECT_NEAR(getMotionController(root.get())->getBuffer()(0, 3), 10.0f, 1e-4);
}

TEST_F(KeyEditVisitors, PasteBeforeAnyCopyUsesTheFreshBuffer)
{
    kgiPasteKey paste(3);
    run(paste);
    EXPECT_EQ(keysOf(root.get()), Times({3}));
    EXPECT_NEAR(rootXAt(3), 0.0f, 1e-6); // the identity the controller starts with
}

TEST_F(KeyEditVisitors, KeyTimesComeFromTheFirstNodeWithKeys)
{
    keysAt({0, 10, 20});
    // An extra key on the hinge alone does not show in the list.
    getMotionController(hinge)->duplicate(0, 5, -1);
    kgiGetKeysInfo info;
    run(info);
    EXPECT_EQ(info.times, Times({0, 10, 20}));

    // A list of another length leaves the hinge's four keys alone.
    kgiSetKeysInfo set;
    set.times = {0, 12, 24};
    run(set);
    EXPECT_EQ(keysOf(root.get()), Times({0, 12, 24}));
    EXPECT_EQ(keysOf(hinge), Times({0, 5, 10, 20}));
}

TEST_F(KeyEditVisitors, CountNodeFlags)
{
    struct Case {
        unsigned char flags;
        int count;
    } cases[] = {{0, 3}, {1, 2}, {3, 2}, {4, 0}, {8, 2}};
    for (const Case& c : cases) {
        kgiCountNode n(c.flags);
        run(n);
        EXPECT_EQ(n.count, c.count) << int(c.flags);
        EXPECT_TRUE(n.reset());
        EXPECT_EQ(n.count, 0);
    }
}
