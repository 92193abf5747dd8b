#pragma once
// Small fixtures of the robot joint table's tests: a temporary folder for
// joint files, services that record message boxes, and a tree of a few
// joints with motion controllers, as the model builder makes them.
#include "core/kmd_node_test.h"
#include "core/pose_robot_fixture_test.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiKmdData.h"
#include "kgiModelParts.h"
#include "kgiRobotJointTable.h"
#include "ksgModel.h"
#include "ksgMotionController.h"
#include "ksgTransform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace kgiTestJoints {

// A joint record with its fields in a model.ini line's order (axis, limits,
// direction, servo, scale, offset); the Euler order follows the axis, as
// the reader sets it.
inline kgiJointRecord record(int axis, float min, float max, int direction, int servo, float scale, float offset)
{
    kgiJointRecord r;
    r.axis = axis;
    r.eulerOrder = kgiJointRecord::orderOfAxis(axis);
    r.minAngle = min;
    r.maxAngle = max;
    r.direction = direction;
    r.servoId = servo;
    r.scale = scale;
    r.offset = offset;
    return r;
}

// A folder of its own below the temporary directory, removed at the end.
struct TempDir {
    std::string path;
    TempDir()
    {
        static int serial = 0;
        path = (std::filesystem::temp_directory_path() /
                ("kgi_joints_" + std::to_string(::getpid()) + "_" + std::to_string(++serial)))
                   .string();
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    void write(const std::string& relative, const std::string& text) const
    {
        const std::filesystem::path p = std::filesystem::path(path) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }
};

// Records every box (caption and text); the language texts are the keys.
struct QuietServices : kgiCharacterServices {
    std::vector<std::string> captions;
    std::vector<std::string> texts;
    int keysMax() const override { return limit; }
    void showMessage(const std::string& caption, const std::string& text) override
    {
        captions.push_back(caption);
        texts.push_back(text);
    }
    int limit = 100000;
};

// Root (type 1) > Knee (2) > Foot (2) > Foot_Part0 (5, mesh), and
// Root > Elbow (3) > Hidden (2) under a part (5) "Shell"; every joint with
// a motion controller holding empty base curves.
struct TreeOfJoints {
    std::unique_ptr<ksgTransform> root{new ksgTransform};
    ksgTransform* knee = new ksgTransform;
    ksgTransform* foot = new ksgTransform;
    ksgTransform* elbow = new ksgTransform;
    ksgTransform* shell = new ksgTransform;
    ksgTransform* hidden = new ksgTransform;

    TreeOfJoints()
    {
        make(nullptr, root.get(), "Root", kgiKmdData::ROOT);
        make(root.get(), knee, "Knee", kgiKmdData::FREE_JOINT);
        make(knee, foot, "Foot", kgiKmdData::FREE_JOINT);
        make(foot, new ksgModel, "Foot_Part0", kgiKmdData::PART);
        make(root.get(), elbow, "Elbow", kgiKmdData::HINGE);
        make(elbow, shell, "Shell", kgiKmdData::PART);
        make(shell, hidden, "Hidden", kgiKmdData::FREE_JOINT);
        // The controllers' first evaluation (the rest pose) happens now,
        // not at the first update a test makes.
        root->update(0.0f, false, true);
    }

    static void make(ksgNode* parent, ksgNode* node, const char* name, int type)
    {
        kgiTestNodes::addKeyableNode(parent, node, name, type);
    }
};

// A table of its own (not the program's) over a character holding the
// small tree, a folder for its joint file and recording services.
class JointFixture : public ::testing::Test {
protected:
    void SetUp() override { kgiCharacterServices::install(&services); }
    void TearDown() override { kgiCharacterServices::install(nullptr); }

    std::string modelPath() const { return dir + "/model.ts"; }
    void writeModelIni(const std::string& text) { folder.write("character/model.ini", text); }
    // Writes the text and reads it; whether the read succeeded.
    bool readModelIni(const std::string& text)
    {
        writeModelIni(text);
        return table.loadModelIni(modelPath(), &character);
    }

    QuietServices services;
    TempDir folder;
    const std::string dir = folder.path;
    TreeOfJoints tree;
    ksgTransform* root = tree.root.get();
    kgiCharacter character; // after the tree: it is dropped while the tree stands
    kgiRobotJointTable table;

    struct Attach {
        Attach(kgiCharacter& c, ksgNode* r) { c.attachRoot(r); }
    } attached{character, root};
};

} // namespace kgiTestJoints
