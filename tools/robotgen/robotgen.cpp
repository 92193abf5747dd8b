// Factory robot tool: builds the DORUZAVO-1 model from its description,
// checks it, and lays out the default data the program starts with.
//
//   robotgen <data folder>
//
// Exits 1 (writing nothing) when the description does not pass its checks,
// so a broken robot fails the build instead of reaching the program.
#include "kgiRobotCheck.h"
#include "kgiRobotOutput.h"

#include "kneScene.h"
#include "kneSceneReader.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
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
    if (!err.empty()) {
        std::fprintf(stderr, "robotgen: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
