// Model node data: kinds, chain names, flags and the material choice, and
// the motion-file identity of nodes.
#include "core/kmd_node_test.h"
#include "kgcMaterial.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "kgiKmmFile.h"
#include "ksgModel.h"
#include "ksgMotionControllerKinds.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using kgiTestNodes::addKmdNode;

// The eight highlight materials, set once for the whole test program.
void setHighlights()
{
    static kgcMaterial slots[kgiKmdData::SLOT_COUNT];
    static bool done = false;
    if (done)
        return;
    done = true;
    kgiKmdData::setPickedMaterial(&slots[0]);
    kgiKmdData::setHighlightMaterial(&slots[1]);
    kgiKmdData::setHiddenMaterial(&slots[2]);
    kgiKmdData::setPickedHiddenMaterial(&slots[3]);
    kgiKmdData::setGroupMaterial(&slots[4]);
    kgiKmdData::setHitMaterial(&slots[5]);
    kgiKmdData::setSpareMaterial(&slots[6]);
    kgiKmdData::setMarkMaterial(&slots[7]);
}

} // namespace

TEST(ModelKmdData, ChainNamesAreFoundAtAnUnderscore)
{
    struct Case {
        const char* parent;
        const char* child;
        bool member;
        bool start;
    } cases[] = {
        {"arm_1", "arm_BL_2", true, true},
        {"arm_BR_1", "arm_BR_2", true, false},
        {"arm_1", "x_BRX", false, false},   // fourth character differs
        {"arm_1", "a_b_BL_c", true, true},  // found at the second '_'
        {"arm_1", "arm_BL", false, false},  // too short after the '_'
    };
    for (const Case& c : cases) {
        std::unique_ptr<ksgTransform> root(new ksgTransform);
        kgiKmdData* rootData = addKmdNode(nullptr, root.get(), c.parent, kgiKmdData::ROOT);
        rootData->scanChainName();
        kgiKmdData* d = addKmdNode(root.get(), new ksgTransform, c.child, kgiKmdData::HINGE);
        EXPECT_EQ(d->scanChainName(), c.member) << c.child;
        EXPECT_EQ(d->isChainMember(), c.member) << c.child;
        EXPECT_EQ(d->isChainStart(), c.start) << c.child;
    }
}

TEST(ModelKmdData, TypeSetsJointLimitsAndKinematicsFlags)
{
    struct Case {
        int type;
        bool limits, fkIgnored, ikIgnored, helper;
    } cases[] = {
        {kgiKmdData::HINGE, true, false, false, false},
        {kgiKmdData::FREE_JOINT, false, false, false, false},
        {kgiKmdData::MOVE_ONLY, false, false, false, false},
        {kgiKmdData::HELPER, false, true, false, true},
        {kgiKmdData::MIRROR_HELPER, false, true, false, true},
        {kgiKmdData::PART, false, true, true, false},
        {kgiKmdData::NONE, false, true, true, false},
    };
    for (const Case& c : cases) {
        ksgTransform t;
        addKmdNode(nullptr, &t, "j", c.type);
        EXPECT_EQ(t.areLimitsEnabled(), c.limits) << c.type;
        EXPECT_EQ(t.isFkIgnored(), c.fkIgnored) << c.type;
        EXPECT_EQ(t.isIkIgnored(), c.ikIgnored) << c.type;
        EXPECT_EQ(t.isHelperNode(), c.helper) << c.type;
    }
    // The joint limits each moving kind sets.
    struct Limits {
        int type;
        kmlVec3 axis;
        float min, max, halfAngle;
    } limits[] = {
        {kgiKmdData::HINGE, kmlVec3(0, 0, 1), -180.0f, 180.0f, 0.0f},
        {kgiKmdData::MOVE_ONLY, kmlVec3(1, 0, 0), 0.0f, 0.0f, 0.0f},
        {kgiKmdData::FREE_JOINT, kmlVec3(1, 0, 0), -180.0f, 180.0f, 180.0f},
    };
    for (const Limits& c : limits) {
        ksgTransform t;
        addKmdNode(nullptr, &t, "j", c.type);
        const ksgTransformLimits& l = t.getLimits();
        for (int i = 0; i < 3; ++i)
            EXPECT_FLOAT_EQ(l.getTwistAxis()[i], c.axis[i]) << c.type << " axis " << i;
        float min = 1.0f, max = -1.0f;
        l.getTwistRange(min, max);
        EXPECT_FLOAT_EQ(min, c.min) << c.type;
        EXPECT_FLOAT_EQ(max, c.max) << c.type;
        EXPECT_FLOAT_EQ(l.getHalfAngle(), c.halfAngle) << c.type;
    }
    kgiKmdData loose;
    loose.setType(kgiKmdData::HINGE); // no owner: only the kind is kept
    EXPECT_EQ(loose.getType(), kgiKmdData::HINGE);
}

TEST(ModelKmdData, MotionControllerFollowsTheKind)
{
    struct Case {
        int type;
        bool euler;
        const kutRtti* kind;
    } cases[] = {
        {kgiKmdData::ROOT, false, &ksgPQController::RTTI}, {kgiKmdData::ROOT, true, &ksgPEController::RTTI},
        {kgiKmdData::HINGE, false, &ksgQController::RTTI}, {kgiKmdData::FREE_JOINT, true, &ksgEController::RTTI},
        {kgiKmdData::MOVE_ONLY, true, &ksgPController::RTTI}, {kgiKmdData::PART, false, nullptr},
    };
    for (const Case& c : cases) {
        ksgTransform t;
        addKmdNode(nullptr, &t, "j", c.type)->attachMotionController(c.euler);
        ksgMotionController* mc = getMotionController(&t);
        if (!c.kind) {
            EXPECT_EQ(mc, nullptr);
            continue;
        }
        ASSERT_NE(mc, nullptr) << c.type;
        EXPECT_TRUE(mc->isA(c.kind)) << c.type;
        EXPECT_FLOAT_EQ(mc->getTimeStep(), 1.0f);
    }
}

class ModelKmdDataMaterial : public ::testing::Test {
protected:
    void SetUp() override
    {
        setHighlights();
        root.reset(new ksgTransform);
        jointData = addKmdNode(nullptr, root.get(), "joint", kgiKmdData::HINGE);
        part = new ksgModel;
        partData = addKmdNode(root.get(), part, "joint_Part0", kgiKmdData::PART);
        own.setDiffuse(0.2f, 0.4f, 0.6f, 1.0f);
        param.setMaterial(&own);
        partData->setMaterialParam(&param);
    }

    std::unique_ptr<ksgTransform> root;
    kgiKmdData* jointData = nullptr;
    ksgModel* part = nullptr;
    kgiKmdData* partData = nullptr;
    kgcMaterial own;
    ksgMaterialParam param;
};

TEST_F(ModelKmdDataMaterial, GroupingAPartMarksItsJoint)
{
    partData->setGrouped(true);
    EXPECT_TRUE(jointData->isGrouped());
    EXPECT_TRUE(partData->isGrouped());
    EXPECT_EQ(param.getMaterial(), kgiKmdData::getSlotMaterial(kgiKmdData::GROUP));
    partData->setGrouped(false);
    EXPECT_EQ(param.getMaterial(), &own);
}

TEST_F(ModelKmdDataMaterial, AHitWinsOverAMark)
{
    partData->setMarked(true);
    EXPECT_EQ(param.getMaterial(), kgiKmdData::getSlotMaterial(kgiKmdData::MARK));
    partData->setHit(true);
    EXPECT_EQ(param.getMaterial(), kgiKmdData::getSlotMaterial(kgiKmdData::HIT));
}

TEST_F(ModelKmdDataMaterial, SelectingInvertsTheOwnMaterialAndClearingRestoresIt)
{
    // The own material is inverted in place (its switch is not readable
    // here): the part keeps drawing with it, not with a copy.
    partData->setSelected(true);
    EXPECT_EQ(param.getMaterial(), &own);
    partData->setSelected(false);
    EXPECT_EQ(param.getMaterial(), &own);
    // A selected highlight is drawn with the slot's inverted copy.
    partData->setSelected(true);
    partData->setMarked(true);
    kgcMaterial* mark = kgiKmdData::getSlotMaterial(kgiKmdData::MARK);
    EXPECT_EQ(param.getMaterial(), kgiKmdData::getInvertedMaterial(mark));
}

TEST_F(ModelKmdDataMaterial, HiddenAndPickedFlagsLiveOnTheFlagOwner)
{
    partData->setShown(false); // no flag owner yet: nothing is stored
    EXPECT_TRUE(partData->isShown());
    partData->setFlagOwner(1); // refused for a mesh part
    EXPECT_EQ(partData->getFlagOwner(), 0);
    jointData->setFlagOwner(1);
    partData->setShown(false);
    EXPECT_FALSE(jointData->isShown());
    EXPECT_EQ(param.getMaterial(), kgiKmdData::getSlotMaterial(kgiKmdData::HIDDEN));
}

TEST_F(ModelKmdDataMaterial, FlagsChooseTheirSlotMaterial)
{
    // The picked flag is read on the node that holds it: the flag owner.
    kgcMaterial jointOwn;
    ksgMaterialParam jointParam;
    jointParam.setMaterial(&jointOwn);
    jointData->setMaterialParam(&jointParam);
    jointData->setFlagOwner(1);
    struct Case {
        const char* what;
        bool highlighted, picked, shown;
        int slot;
    } cases[] = {
        {"highlighted", true, false, true, kgiKmdData::HIGHLIGHT},
        {"highlighted over picked", true, true, false, kgiKmdData::HIGHLIGHT},
        {"picked and shown", false, true, true, kgiKmdData::PICKED},
        {"picked and hidden", false, true, false, kgiKmdData::PICKED_HIDDEN},
        {"hidden", false, false, false, kgiKmdData::HIDDEN},
    };
    for (const Case& c : cases) {
        jointData->setShown(c.shown);
        jointData->setPicked(c.picked);
        jointData->setHighlighted(c.highlighted);
        EXPECT_EQ(jointParam.getMaterial(), kgiKmdData::getSlotMaterial(c.slot)) << c.what;
    }
    jointData->setHighlighted(false);
    jointData->setPicked(false);
    jointData->setShown(true);
    EXPECT_EQ(jointParam.getMaterial(), &jointOwn);
}

namespace {

// A material registry that lives until the program ends, as the program's
// own table does, and counts what is made and removed.
struct RegistryServices : kgiCharacterServices {
    std::vector<kgcMaterial*> made;
    int removed = 0;
    kgcMaterial* newMaterial() override
    {
        static std::vector<std::unique_ptr<kgcMaterial>> table;
        table.emplace_back(new kgcMaterial);
        made.push_back(table.back().get());
        return made.back();
    }
    bool removeMaterial(kgcMaterial*) override
    {
        ++removed;
        return true;
    }
};

} // namespace

TEST_F(ModelKmdDataMaterial, ReplacedHighlightMaterialsStayInTheRegistry)
{
    RegistryServices registry;
    kgiCharacterServices::install(&registry);
    kgcMaterial* hitBefore = kgiKmdData::getSlotMaterial(kgiKmdData::HIT);
    kgcMaterial* a = registry.newMaterial();
    kgcMaterial* b = registry.newMaterial();
    a->setDiffuse(1.0f, 0.0f, 0.0f, 1.0f);
    kgiKmdData::setHitMaterial(a);
    partData->setHit(true);
    partData->setSelected(true);
    kgcMaterial* drawn = param.getMaterial();
    EXPECT_EQ(drawn, kgiKmdData::getInvertedMaterial(a));

    // Replaced while the part draws with a's copy: nothing is removed and
    // the copy stays a's.
    kgiKmdData::setHitMaterial(b);
    EXPECT_EQ(registry.removed, 0);
    EXPECT_EQ(kgiKmdData::getInvertedMaterial(a), drawn);
    EXPECT_EQ(param.getMaterial(), drawn);
    float r, g, bl, al;
    drawn->getDiffuse(r, g, bl, al);
    EXPECT_FLOAT_EQ(r, 1.0f);

    // The material a slot already holds changes nothing; neither does a
    // material that comes back with its copy already made.
    const size_t count = registry.made.size();
    kgcMaterial* copyOfB = kgiKmdData::getInvertedMaterial(b);
    kgiKmdData::setHitMaterial(b);
    EXPECT_EQ(registry.made.size(), count);
    EXPECT_EQ(kgiKmdData::getInvertedMaterial(b), copyOfB);
    kgiKmdData::setHitMaterial(a);
    EXPECT_EQ(registry.made.size(), count);
    EXPECT_EQ(registry.removed, 0);

    partData->setHit(false);
    partData->setSelected(false);
    kgiKmdData::setHitMaterial(hitBefore);
    kgiCharacterServices::install(nullptr);
}

TEST(ModelKmdData, MotionFileIdsCountJointsOnly)
{
    // top (type 0) > a (1) > [a_Part0 (5), b (3) > c (7)], d (6)
    std::unique_ptr<ksgTransform> top(new ksgTransform);
    addKmdNode(nullptr, top.get(), "top", kgiKmdData::NONE);
    ksgTransform* a = new ksgTransform;
    addKmdNode(top.get(), a, "a", kgiKmdData::ROOT);
    addKmdNode(a, new ksgModel, "a_Part0", kgiKmdData::PART);
    ksgTransform* b = new ksgTransform;
    addKmdNode(a, b, "b", kgiKmdData::HINGE);
    ksgTransform* c = new ksgTransform;
    addKmdNode(b, c, "c", kgiKmdData::MOVE_ONLY);
    ksgTransform* d = new ksgTransform;
    addKmdNode(top.get(), d, "d", kgiKmdData::MIRROR_HELPER);

    ksgNullVisitor leave;
    const ksgNode* order[] = {a, b, c, d};
    for (int id = 0; id < 4; ++id) {
        kgiGetNodeByKmmID byId(id);
        top->depthVisit(byId, leave);
        EXPECT_EQ(byId.found, order[id]) << id;
        kgiGetNodeKmmID idOf(const_cast<ksgNode*>(order[id]));
        top->depthVisit(idOf, leave);
        EXPECT_EQ(idOf.id, id);
    }
    kgiGetNodeByKmmID past(4);
    top->depthVisit(past, leave);
    EXPECT_EQ(past.found, nullptr);
    kgiGetNodeKmmID ofTop(top.get());
    top->depthVisit(ofTop, leave);
    EXPECT_EQ(ofTop.id, -1);

    // The writer skipping types 0 and 5 puts node i at file index i.
    kmlMatrix4 m;
    m.setTranslation(kmlVec3(1.0f, 2.0f, 3.0f));
    c->setLocal(m);
    kgiKmmFile file;
    ASSERT_TRUE(file.create(4, 1, 0));
    kgiDumpKmm dump(&file, 0, 0, true, true);
    top->depthVisit(dump, leave);
    EXPECT_TRUE(dump.succeeded());
    EXPECT_EQ(dump.index, 4);
    for (int id = 0; id < 4; ++id)
        EXPECT_EQ(file.getNode(id)->name, order[id]->getName());
    EXPECT_EQ(file.getNode(2)->type, kgiKmdData::MOVE_ONLY);
    EXPECT_EQ(file.getNode(2)->depth, 3);
    EXPECT_FLOAT_EQ(file.getNode(2)->getKey(0)->matrix[12], 1.0f);
    EXPECT_FLOAT_EQ(file.getNode(2)->getKey(0)->matrix[14], 3.0f);
}
