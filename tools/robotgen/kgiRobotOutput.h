#pragma once
// What the factory tool writes: the binary scene (.kmd) through the scene
// library, the joint table (model.ini), the default project's timesheet
// (.ts) and its motion-key file (.kmm), and the data folders the program
// starts in.
#include "kgiRobotModel.h"

#include <string>
#include <vector>

class kgiRobotOutput {
public:
    // The joint table, one line per joint in the description's line order.
    static std::string jointTableText(const kgiRobotModel& model);
    // The joint tab's display names, one line per joint-table line in its
    // order ("%02d : %s", the joint's node name: short and without blanks,
    // since a reader takes a name up to its first blank). The program
    // rewrites this file when the user renames a row.
    static std::string motorNamesText(const kgiRobotModel& model);
    // The default project: folders "character" and "motion", default
    // preferences, the quaternion controller, the model and motion files.
    static std::string timesheetText(const kgiRobotModel& model);
    // A timesheet naming a model file and a motion file; without a motion
    // file (empty) it has no Motion line: a scene without keys.
    static std::string timesheetText(const std::string& sceneFile, const std::string& motionFile);

    // Each returns an empty string on success, else what went wrong.
    static std::string writeScene(const kgiRobotModel& model, const std::string& path);
    // One frame holding the rest pose of every joint and no key frame: what
    // the program itself saves for a model without keys.
    static std::string writeMotion(const kgiRobotModel& model, const std::string& path);
    static std::string writeText(const std::string& text, const std::string& path);

    // Lays out the default base directory below `dataDir`:
    //   <model>base/<model>.ts, <model>base/character/<model>.kmd,
    //   model.ini and motNames.txt, <model>base/motion/<model>.kmm, and the
    //   model folder
    //   <model>/ with motion/, pose/, media/ and character/ (copies of the
    //   .kmd and model.ini): the program's file dialogs start there and the
    //   factory project saves into it.
    static std::string writeDataTree(const kgiRobotModel& model, const std::string& dataDir);

    static std::string sceneFileName(const kgiRobotModel& m) { return m.getSpec().modelName + ".kmd"; }
    static std::string motionFileName(const kgiRobotModel& m) { return m.getSpec().modelName + ".kmm"; }
    static std::string timesheetFileName(const kgiRobotModel& m) { return m.getSpec().modelName + ".ts"; }
    static std::string baseFolderName(const kgiRobotModel& m) { return m.getSpec().modelName + "base"; }

    // Node flag word values: the node kind in the low four bits.
    // Frame records: translation and Euler rotation (6 floats) and a
    // 32-bit flag word after each record.
    static const unsigned FRAME_BITS = 0x30 | 0x40000;
};
