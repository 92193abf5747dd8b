#pragma once
// For the fuzz targets of the robot's pose, motion and script files: one
// small robot for the whole run, the world's current character, with a
// joint table of its own over a joint file that gives its joints servos
// (one of them a joint the model lacks), services that answer a small key
// limit, keep message boxes quiet and count the files refused, and each
// input written to a file of a scratch folder for the readers.
#include "core/kmd_node_test.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiRobotJointTable.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "ksgTransform.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

class kgiRobotFilesFuzzWorld {
public:
    // Keys a character may hold here: enough for a line or a script of a
    // few dozen steps, few enough that inputs reach the limit.
    static constexpr int KEYS_MAX = 40;

    // name tells the targets' folders apart ("/tmp/kgi_<name>_<pid>").
    explicit kgiRobotFilesFuzzWorld(const char* name)
        : dir("/tmp/kgi_" + std::string(name) + "_" + std::to_string(::getpid()))
    {
        std::error_code ignored;
        std::filesystem::create_directories(dir + "/character", ignored);
        if (FILE* f = std::fopen((dir + "/character/model.ini").c_str(), "w")) {
            std::fputs("0 : Knee = 10.0 :2,-90.0,90.0,1 :0,1.0,100.0;\n"
                       "1 : Foot = 0.0 :1,-45.0,45.0,-1 :1,2.0,50.0;\n"
                       "2 : Elbow = 0.0 :0,-170.0,170.0,1 :2,0.5,114.0;\n"
                       "3 : Missing = 0.0 :2,-90.0,90.0,1 :3,1.0,100.0;\n",
                       f);
            std::fclose(f);
        }
        kgiCharacterServices::install(&services);
        // Kept to the end of the run, as the program keeps its own robot.
        ksgTransform* root = new ksgTransform;
        kgiTestNodes::addKeyableNode(nullptr, root, "Root", kgiKmdData::ROOT);
        ksgTransform* knee = new ksgTransform;
        kgiTestNodes::addKeyableNode(root, knee, "Knee", kgiKmdData::FREE_JOINT);
        kgiTestNodes::addKeyableNode(knee, new ksgTransform, "Foot", kgiKmdData::FREE_JOINT);
        kgiTestNodes::addKeyableNode(root, new ksgTransform, "Elbow", kgiKmdData::HINGE);
        root->update(0.0f, false, true);
        kgiWorld* world = kgiWorld::instance();
        const int id = world->createCharacter();
        character = world->getCharacters()->find(id);
        character->attachRoot(root);
        world->setCurrentCharacter(id);
        table.loadModelIni(dir + "/model.ts", character);
    }

    // The input as the file "fileName" of the folder; its path, or "" when
    // it cannot be written.
    std::string write(const std::string& fileName, const uint8_t* data, size_t size) const
    {
        const std::string path = dir + "/" + fileName;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return std::string();
        // An empty input may come without a buffer.
        if (size > 0)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
        return path;
    }

    // No keys and an empty key history.
    void clearMotion() const
    {
        if (character->getKeyCount() > 0)
            character->deleteKeys(0, int(character->getKeyTimes().back()) + 1);
        character->getKeyUndo().clear();
    }

    // Boxes stay quiet; the refusals ("Error") are counted.
    struct Services : kgiCharacterServices {
        int refusals = 0;
        int keysMax() const override { return KEYS_MAX; }
        void showMessage(const std::string& caption, const std::string&) override
        {
            if (caption == "Error")
                ++refusals;
        }
    };

    const std::string dir;
    Services services;
    kgiCharacter* character = nullptr;
    kgiRobotJointTable table;
};
