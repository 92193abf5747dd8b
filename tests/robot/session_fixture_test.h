#pragma once
// Fixtures of the robot session's tests. Every test may assume:
//  - a world character holding a small tree of six joints J0..J5 (servos
//    0..5) whose joint file gives scale 1 and offset 100, except J5 with
//    offset 180 (so 20 degrees is a value past the board's 190); the
//    program's joint table has read that file; servos 6..23 drive nothing;
//  - the world at 10 frames per second (one frame = 100 ms) and time 0;
//  - recording services: boxes are kept, texts are the language keys;
//  - the session's clock is steppingClock (session_support_test.h).
// SessionOnBoard adds a simulated board in its own thread, COM1 pointed at
// it, and a session whose link is open and has read the robot's
// information. Nothing here needs a display or an application object.
#include "robot/joint_fixture_test.h"
#include "robot/session_support_test.h"

#include "kgiBoardPump.h"
#include "kgiRobotLink.h"
#include "kgiRobotSession.h"
#include "kgiSimBoard.h"
#include "kgiWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kgiTestSession {

class SessionFixture : public ::testing::Test {
protected:
    static constexpr int JOINTS = 6;

    void SetUp() override
    {
        kgiCharacterServices::install(&services);
        world = kgiWorld::instance();
        world->setFps(10.0f);
        world->setCurrentTime(0.0f);
        characterId = world->createCharacter();
        world->setCurrentCharacter(characterId);
        character = world->getCurrentCharacter();
        ASSERT_NE(character, nullptr);
        root.reset(new ksgTransform);
        kgiTestJoints::TreeOfJoints::make(nullptr, root.get(), "Root", kgiKmdData::ROOT);
        std::string ini;
        for (int j = 0; j < JOINTS; ++j) {
            ksgTransform* joint = new ksgTransform;
            kgiTestJoints::TreeOfJoints::make(root.get(), joint, jointName(j).c_str(), kgiKmdData::FREE_JOINT);
            ini += std::to_string(j + 1) + " : " + jointName(j) + " = 0 :2,-90,90,1 :" + std::to_string(j) +
                   ",1.0," + (j == 5 ? "180.0" : "100.0") + ";\n";
        }
        root->update(0.0f, false, true);
        character->attachRoot(root.get());
        folder.write("character/model.ini", ini);
        ASSERT_TRUE(table().loadModelIni(folder.path + "/model.ts", character));
    }

    void TearDown() override
    {
        world->removeCharacter(characterId);
        root.reset();
        kgiCharacterServices::install(nullptr);
    }

    static std::string jointName(int j) { return "J" + std::to_string(j); }
    static kgiRobotJointTable& table() { return *kgiRobotJointTable::instance(); }

    // Sets joint j of the current pose (degrees).
    void setJoint(int j, float degrees)
    {
        ASSERT_TRUE(table().setJointAngleByName(character, jointName(j), degrees));
    }
    // Keys at the frames with the joint values given per frame (degrees,
    // one list per joint from J0; joints not given stay at 0).
    void keyMotion(const std::vector<float>& frames, const std::vector<std::vector<float>>& values)
    {
        for (size_t k = 0; k < frames.size(); ++k) {
            for (int j = 0; j < JOINTS; ++j) {
                const float v = size_t(j) < values.size() ? values[j][k] : 0.0f;
                ASSERT_TRUE(table().addJointKeyByName(character, jointName(j), frames[k], v));
            }
            character->editKeyTimes().push_back(frames[k]);
        }
    }

    std::unique_ptr<kgiRobotSession> newSession()
    {
        std::unique_ptr<kgiRobotSession> s(new kgiRobotSession);
        s->setTimeSource(steppingClock);
        return s;
    }

    kgiTestJoints::QuietServices services;
    kgiTestJoints::TempDir folder;
    kgiWorld* world = nullptr;
    int characterId = -1;
    kgiCharacter* character = nullptr;
    std::unique_ptr<ksgTransform> root;
};

class SessionOnBoard : public SessionFixture {
protected:
    static constexpr uint32_t CH = kgiRobotSession::CHANNEL;

    void SetUp() override
    {
        SessionFixture::SetUp();
        ASSERT_TRUE(board.ok());
        for (int s = 0; s < 24; ++s) board.servo[s] = 100;
        prepareBoard();
        board.start();
        session = newSession();
        ASSERT_TRUE(kgiPointPortAt(link(), 1, board.devicePath()));
        link().baseImageFile = folder.path + "/baseimage.bin";
        ASSERT_TRUE(session->openLink());
        if (readInfoFirst) {
            ASSERT_TRUE(updateUntil([this] { return !session->isInfoReading() && idle(); }));
        }
    }

    void TearDown() override
    {
        session.reset();
        board.stop();
        std::remove((folder.path + "/comports.txt").c_str());
        SessionFixture::TearDown();
    }

    // Board settings a test needs before the board's thread runs.
    virtual void prepareBoard() {}

    kgiRobotLink& link() { return session->getLink(); }
    bool idle()
    {
        return link().machinesIdle(CH) && link().Q_Read[CH] == link().Q_Write[CH] && !link().inFlight[CH];
    }
    // Updates until done() holds; false when it never did within max.
    bool updateUntil(const std::function<bool()>& done, int max = 3000)
    {
        for (int i = 0; i < max; ++i) {
            if (done()) return true;
            session->update();
        }
        return done();
    }
    // The speed byte of the last pose the board took (-1: none).
    int lastPoseSpeed()
    {
        const std::vector<kgiSimBoard::Received> r = board.received();
        for (size_t i = r.size(); i-- > 1;)
            if (r[i - 1].byte == 0xB2 && i + 1 < r.size() && r[i + 1].byte == 0xEB) return r[i].byte;
        return -1;
    }

    kgiSimBoard board;
    std::unique_ptr<kgiRobotSession> session;
    bool readInfoFirst = true;
};

} // namespace kgiTestSession
