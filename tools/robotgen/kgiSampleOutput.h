#pragma once
// What the factory tool writes for the lessons: the sample motions of the
// sample list (each a timesheet in the factory folder with its motion-key
// file in "motion", both naming the factory model), the list itself
// (sample.txt), and the course scenes (timesheets without keys in the
// folder "course" of the base directory, each with its own model).
#include "kgiRobotModel.h"
#include "kgiSampleDesc.h"
#include "kgiSamplePose.h"

#include <string>
#include <vector>

class kgiSampleOutput {
public:
    // The poses of every key of a sample, checked: each key by the rules of
    // kgiSamplePoser::check; whole frames rising from 0; 2 to MAX_KEYS
    // keys; the first and the last key in the initial pose (within 0.5
    // degrees on every joint), the first facing +z. One message per fault.
    static std::vector<kgiSamplePose> pose(const kgiSamplePoser& poser, const kgiSampleMotion& motion,
                                           std::vector<std::string>& faults);
    // The sample list's own rules: 40 rows, row i named "<i>_..." of
    // letters, digits and "_", names distinct.
    static void checkList(const std::vector<kgiSampleMotion>& motions, std::vector<std::string>& faults);

    // The motion-key file of a sample in the layout the program saves:
    // the root and every joint, one full matrix per frame from 0 to the
    // last key (the frames between keys turned and moved evenly from one
    // key to the next), and the key-frame list.
    static std::string writeMotion(const kgiRobotModel& model, const kgiSampleMotion& motion,
                                   const std::vector<kgiSamplePose>& poses, const std::string& path);
    // sample.txt: one name a line, line feeds.
    static std::string listText(const std::vector<kgiSampleMotion>& motions);

    // Poses, checks and writes every sample into the model's factory
    // folder below `dataDir`, and the list. Design faults go to `faults`
    // (nothing is written then); the result is a write error, or empty.
    static std::string writeSamples(const kgiRobotModel& model, const std::vector<kgiSampleMotion>& motions,
                                    const std::string& dataDir, std::vector<std::string>& faults);
    // A course scene: "course/<model>.ts" and "course/character/<model>.kmd"
    // below `dataDir`, the model's root at the floor's height 0.
    static std::string writeCourse(const kgiRobotDesc& course, const std::string& dataDir,
                                   std::vector<std::string>& faults);

    // A course lesson's run as the options dialog chains it: the first row
    // read, every other appended after it, each moved rigidly so that it
    // starts where the one before ended (with both ends in the initial
    // pose, the same for every base part). At frame 0 the robot lies at
    // least MARGIN before the start line (z 2.1), at the last key at least
    // MARGIN beyond the goal line (z 24.8); at every key it stays over the
    // lane (the box "Lane"), clear of the box "Wall", and no part of it
    // enters the box "LowBar". At most RUN_KEYS keys in all.
    static void checkCourseRun(const kgiSamplePoser& poser, const std::vector<kgiSampleMotion>& motions,
                               const std::vector<std::vector<kgiSamplePose>>& poses, const kgiRobotDesc& course,
                               const kgiCourseRun& run, std::vector<std::string>& faults);

    static const int MAX_KEYS = 30;
    static const int RUN_KEYS = 150; // the shipped key limit
    static constexpr float START_LINE = 2.1f;
    static constexpr float GOAL_LINE = 24.8f;
    static constexpr float MARGIN = 0.5f;
};
