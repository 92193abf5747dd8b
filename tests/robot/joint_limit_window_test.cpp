// The robot joint table as a user sees it in the 3D view: the factory robot
// as start-up leaves it, a joint set past its limit (the warning, the
// picture unchanged) and the same joint set inside its range (only that
// limb moves).
#include "robot/joint_fixture_test.h"

#include "kgi3dCanvas.h"
#include "kgiWorld.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A 640 x 450 canvas that has painted once.
struct RobotView {
    kgiTestWindow window{640, 450};
    kgi3dCanvas* canvas = new kgi3dCanvas(window.shell(), kgiTestWindow::glVisual());

    RobotView()
    {
        window.show();
        EXPECT_TRUE(window.runUntil([this] { return canvas->getPaintCount() > 0; })) << "never painted";
    }

    kgiTestImage repaint()
    {
        const long before = canvas->getPaintCount();
        canvas->update();
        window.runUntil([&] { return canvas->getPaintCount() > before; });
        return window.grab();
    }
};

// Every node of the subtree hidden (what was hidden already stays so) for
// the lifetime of the object.
class HiddenSubtree {
public:
    explicit HiddenSubtree(ksgNode* top) { hide(top, true); }
    ~HiddenSubtree()
    {
        for (ksgNode* n : shown)
            n->show();
    }
    HiddenSubtree(const HiddenSubtree&) = delete;
    HiddenSubtree& operator=(const HiddenSubtree&) = delete;

private:
    void hide(ksgNode* n, bool withSiblings)
    {
        for (; n != nullptr; n = withSiblings ? nullptr : n->getSibling()) {
            if (n->isShown()) {
                n->hide();
                shown.push_back(n);
            }
            hide(n->getChild(), false);
            withSiblings = false;
        }
    }
    std::vector<ksgNode*> shown;
};

// Pixel i differs between the two pictures.
std::vector<bool> differing(const kgiTestImage& a, const kgiTestImage& b)
{
    std::vector<bool> out(static_cast<size_t>(a.width) * static_cast<size_t>(a.height), false);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = a.rgb[3 * i] != b.rgb[3 * i] || a.rgb[3 * i + 1] != b.rgb[3 * i + 1] ||
                 a.rgb[3 * i + 2] != b.rgb[3 * i + 2];
    return out;
}

int countOf(const std::vector<bool>& mask) { return static_cast<int>(std::count(mask.begin(), mask.end(), true)); }

// The mask grown by one pixel in every direction (the edges of a limb
// blend with what lies behind it).
std::vector<bool> grown(const std::vector<bool>& mask, int width, int height)
{
    std::vector<bool> out(mask.size(), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (mask[static_cast<size_t>(y * width + x)])
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx >= 0 && ny >= 0 && nx < width && ny < height)
                            out[static_cast<size_t>(ny * width + nx)] = true;
                    }
    return out;
}

class JointLimitView : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_TEST_APP();
        // As the program's start: the table first, so start-up reads the
        // robot's joint file, limits its joints and poses it.
        table = kgiRobotJointTable::instance();
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        robot = kgiWorld::instance()->getCurrentCharacter();
        appServices = &kgiCharacterServices::current();
        kgiCharacterServices::install(&services);
    }
    void TearDown() override
    {
        if (appServices != nullptr)
            kgiCharacterServices::install(appServices);
        kgiTestRemoveCharacters();
    }

    kgiRobotJointTable* table = nullptr;
    kgiCharacter* robot = nullptr;
    kgiCharacterServices* appServices = nullptr;
    kgiTestJoints::QuietServices services;
};

} // namespace

TEST_F(JointLimitView, PastTheLimitNothingMovesInsideOnlyThatLimb)
{
    ksgNode* elbow = robot->findNode("RElbow");
    ASSERT_NE(elbow, nullptr);
    ASSERT_NEAR(table->getJointAngle(elbow), -20.0f, 1e-3f) << "the initial pose of the joint file";
    RobotView view;
    const kgiTestImage start = view.repaint();
    start.save("robot_initial_pose");
    ASSERT_FALSE(start.empty());

    // RElbow: -87 to 5 degrees, 3 degrees of slack, servo offset 100.
    EXPECT_FALSE(table->setJointAngleByName(robot, "RElbow", 8.5f));
    EXPECT_EQ(services.captions, std::vector<std::string>{"Warning - 160"});
    EXPECT_EQ(services.texts, std::vector<std::string>{"Wr_OutOfRange   :  max=105  min=13"});
    const kgiTestImage refused = view.repaint();
    EXPECT_TRUE(refused.rgb == start.rgb) << "a refused value moved the robot";

    // Where the forearm is drawn: the pixels that change when it is hidden.
    auto footprint = [&](const kgiTestImage& shown) {
        HiddenSubtree hidden(elbow);
        return differing(shown, view.repaint());
    };
    const std::vector<bool> forearmBefore = footprint(start);

    services.captions.clear();
    EXPECT_TRUE(table->setJointAngleByName(robot, "RElbow", -70.0f));
    EXPECT_TRUE(services.captions.empty());
    const kgiTestImage bent = view.repaint();
    bent.save("robot_elbow_bent");
    const std::vector<bool> forearmAfter = footprint(bent);

    std::vector<bool> limb(forearmBefore.size());
    for (size_t i = 0; i < limb.size(); ++i)
        limb[i] = forearmBefore[i] || forearmAfter[i];
    limb = grown(limb, start.width, start.height);
    const std::vector<bool> changed = differing(start, bent);
    int outside = 0;
    for (size_t i = 0; i < changed.size(); ++i)
        outside += changed[i] && !limb[i];
    EXPECT_GT(countOf(changed), 200) << "the forearm did not move";
    EXPECT_GT(countOf(forearmBefore), 200) << "no forearm in the picture";
    EXPECT_EQ(outside, 0) << "pixels changed away from the forearm";
}
