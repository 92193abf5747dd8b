// Factory robot tool: builds the DORUZAVO-1 model from its description,
// checks it, and lays out the default data the program starts with.
//
//   robotgen <data folder>
//   robotgen --report      (where each sample key puts the robot)
//
// Exits 1 (writing nothing) when the description does not pass its checks,
// so a broken robot fails the build instead of reaching the program.
#include "kgiRobotCheck.h"
#include "kgiRobotOutput.h"
#include "kgiSampleOutput.h"

#include "kneScene.h"
#include "kneSceneReader.h"

#include <cstdio>
#include <filesystem>

namespace {

// Prints where every key of every sample puts the robot: the root and the
// model's box. For laying out the courses.
int report()
{
    kgiRobotModel model;
    std::vector<std::string> faults;
    if (!model.build(kgiRobotDesc::doruzavo1(), faults))
        return 1;
    kgiSamplePoser poser(model);
    for (const kgiSampleMotion& m : kgiSampleMotions()) {
        std::vector<kgiSamplePose> poses = kgiSampleOutput::pose(poser, m, faults);
        for (size_t k = 0; k < poses.size(); ++k) {
            kmlVec3 lo, hi;
            poser.bounds(poses[k], lo, hi);
            const kmlMatrix4& r = poses[k].root;
            std::printf("%-16s %3d root %7.2f %6.2f %7.2f  x %7.2f..%6.2f  y %6.2f..%6.2f  z %7.2f..%6.2f\n",
                        m.name.c_str(), m.keys[k].frame, r(0, 3), r(1, 3), r(2, 3), lo[0], hi[0], lo[1], hi[1],
                        lo[2], hi[2]);
        }
    }
    for (const std::string& f : faults)
        std::printf("fault: %s\n", f.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--report")
        return report();
    if (argc != 2) {
        std::fprintf(stderr, "usage: robotgen <data folder>\n");
        return 2;
    }
    kgiRobotModel model;
    std::vector<std::string> faults;
    if (model.build(kgiRobotDesc::doruzavo1(), faults))
        faults = kgiRobotCheck::all(model);
    for (const std::string& f : faults)
        std::fprintf(stderr, "robotgen: %s\n", f.c_str());
    if (!faults.empty())
        return 1;

    std::string err = kgiRobotOutput::writeDataTree(model, argv[1]);
    if (err.empty()) {
        // The scene must read back through the library the program uses.
        const std::filesystem::path scene = std::filesystem::path(argv[1]) /
                                            kgiRobotOutput::baseFolderName(model) / "character" /
                                            kgiRobotOutput::sceneFileName(model);
        kneScene check;
        if (kneSceneReader::readFile(check, scene.string().c_str()) != 0)
            err = "the written scene does not read back";
    }
    // The sample list and the course scenes of the lessons.
    if (err.empty())
        err = kgiSampleOutput::writeSamples(model, kgiSampleMotions(), argv[1], faults);
    for (const kgiRobotDesc& course : {kgiNormalCourse(), kgiObstacleCourse()})
        if (err.empty() && faults.empty())
            err = kgiSampleOutput::writeCourse(course, argv[1], faults);
    for (const std::string& f : faults)
        std::fprintf(stderr, "robotgen: %s\n", f.c_str());
    if (!err.empty())
        std::fprintf(stderr, "robotgen: %s\n", err.c_str());
    return err.empty() && faults.empty() ? 0 : 1;
}
