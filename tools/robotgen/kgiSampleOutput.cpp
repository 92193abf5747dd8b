#include "kgiSampleOutput.h"

#include "kgiRobotFormat.h"
#include "kgiRobotOutput.h"

#include "kgiKmmFile.h"
#include "kmlQuat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const float INITIAL_TOLERANCE = 0.5f; // degrees

// The root's matrix between two keys: turned along the shortest way and
// moved in a straight line.
kmlMatrix4 blendRoot(const kmlMatrix4& a, const kmlMatrix4& b, float t)
{
    kmlMatrix4 m;
    m.setRotation(kmlQuat::slerp(a.toQuat(), b.toQuat(), t));
    m.setTranslation(kmlVec3(a(0, 3) + (b(0, 3) - a(0, 3)) * t, a(1, 3) + (b(1, 3) - a(1, 3)) * t,
                             a(2, 3) + (b(2, 3) - a(2, 3)) * t));
    return m;
}

bool nameIsPlain(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

} // namespace

std::vector<kgiSamplePose> kgiSampleOutput::pose(const kgiSamplePoser& poser, const kgiSampleMotion& motion,
                                                 std::vector<std::string>& faults)
{
    std::vector<kgiSamplePose> poses;
    const std::string& name = motion.name;
    const size_t n = motion.keys.size();
    if (n < 2 || n > size_t(MAX_KEYS))
        faults.push_back(kgiRobotFormat("%s: %zu keys, not 2 to %d", name.c_str(), n, MAX_KEYS));
    for (size_t k = 0; k < n; ++k) {
        const kgiSampleKey& key = motion.keys[k];
        const std::string label = kgiRobotFormat("%s key %zu (frame %d)", name.c_str(), k, key.frame);
        if (k == 0 ? key.frame != 0 : key.frame <= motion.keys[k - 1].frame)
            faults.push_back(label + ": keys must start at frame 0 and rise");
        kgiSamplePose p;
        if (poser.solve(key, p, label, faults))
            poser.check(p, label, faults);
        if ((k == 0 || k + 1 == n) && poser.distanceFromInitial(p) > INITIAL_TOLERANCE)
            faults.push_back(label + ": the first and the last key must be the initial pose");
        poses.push_back(p);
    }
    if (n > 0 && motion.keys[0].body.yaw != 0.0f)
        faults.push_back(name + ": the first key must face +z");
    return poses;
}

void kgiSampleOutput::checkList(const std::vector<kgiSampleMotion>& motions, std::vector<std::string>& faults)
{
    if (motions.size() != 40)
        faults.push_back(kgiRobotFormat("sample list: %zu rows, not 40", motions.size()));
    std::set<std::string> seen;
    for (size_t i = 0; i < motions.size(); ++i) {
        const kgiSampleMotion& m = motions[i];
        const std::string prefix = std::to_string(i + 1) + "_";
        if (m.row != int(i + 1) || m.name.compare(0, prefix.size(), prefix) != 0 || m.name.size() == prefix.size())
            faults.push_back("sample list: row " + std::to_string(i + 1) + " is named " + m.name);
        if (!nameIsPlain(m.name))
            faults.push_back("sample list: " + m.name + " holds a character other than letters, digits and _");
        if (!seen.insert(m.name).second)
            faults.push_back("sample list: " + m.name + " is listed twice");
        if (m.role.empty())
            faults.push_back("sample list: " + m.name + " states no role");
    }
}

std::string kgiSampleOutput::writeMotion(const kgiRobotModel& model, const kgiSampleMotion& motion,
                                         const std::vector<kgiSamplePose>& poses, const std::string& path)
{
    const std::vector<kgiRobotNode>& nodes = model.getNodes();
    std::vector<int> moving; // the root and the joints, as the program saves them
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].kind != kgiRobotNode::MESH)
            moving.push_back(int(i));
    const int last = motion.keys.back().frame;
    kgiKmmFile kmm;
    bool ok = kmm.create(int(moving.size()), last + 1, int(motion.keys.size()));
    for (size_t k = 0; ok && k < moving.size(); ++k) {
        const kgiRobotNode& n = nodes[size_t(moving[k])];
        ok = kmm.setNodeName(int(k), n.name.c_str()) && kmm.setNodeType(int(k), int(n.kind)) &&
             kmm.setNodeDepth(int(k), n.depth);
    }
    size_t key = 0;
    for (int f = 0; ok && f <= last; ++f) {
        while (key + 1 < motion.keys.size() && motion.keys[key + 1].frame <= f)
            ++key;
        const size_t next = std::min(key + 1, motion.keys.size() - 1);
        const int span = motion.keys[next].frame - motion.keys[key].frame;
        const float t = span > 0 ? float(f - motion.keys[key].frame) / float(span) : 0.0f;
        const kgiSamplePose& a = poses[key];
        const kgiSamplePose& b = poses[next];
        std::vector<float> angles(a.angles.size());
        for (size_t i = 0; i < angles.size(); ++i)
            angles[i] = a.angles[i] + (b.angles[i] - a.angles[i]) * t;
        for (size_t k = 0; ok && k < moving.size(); ++k) {
            const int node = moving[k];
            const kmlMatrix4 local = node == 0 ? blendRoot(a.root, b.root, t) : model.localMatrix(node, angles);
            ok = kmm.setKey(int(k), f, static_cast<const float*>(local));
        }
    }
    for (size_t k = 0; ok && k < motion.keys.size(); ++k)
        ok = kmm.setKeyFrame(int(k), motion.keys[k].frame);
    if (!ok || !kmm.writeMatrices(path.c_str()))
        return "cannot write " + path;
    return "";
}

std::string kgiSampleOutput::listText(const std::vector<kgiSampleMotion>& motions)
{
    std::string text;
    for (const kgiSampleMotion& m : motions)
        text += m.name + "\n";
    return text;
}

std::string kgiSampleOutput::writeSamples(const kgiRobotModel& model, const std::vector<kgiSampleMotion>& motions,
                                          const std::string& dataDir, std::vector<std::string>& faults)
{
    const size_t before = faults.size();
    checkList(motions, faults);
    kgiSamplePoser poser(model);
    std::vector<std::vector<kgiSamplePose>> poses;
    for (const kgiSampleMotion& m : motions)
        poses.push_back(pose(poser, m, faults));
    for (const kgiCourseRun& run : kgiCourseRuns())
        for (const kgiRobotDesc& course : {kgiNormalCourse(), kgiObstacleCourse()})
            if (course.modelName == run.course && faults.size() == before)
                checkCourseRun(poser, motions, poses, course, run, faults);
    if (faults.size() != before)
        return "";

    const fs::path base = fs::path(dataDir) / kgiRobotOutput::baseFolderName(model);
    std::error_code ec;
    fs::create_directories(base / "motion", ec);
    if (ec)
        return "cannot create " + (base / "motion").string() + ": " + ec.message();
    for (size_t i = 0; i < motions.size(); ++i) {
        const std::string& name = motions[i].name;
        std::string err = writeMotion(model, motions[i], poses[i], (base / "motion" / (name + ".kmm")).string());
        if (err.empty())
            err = kgiRobotOutput::writeText(
                kgiRobotOutput::timesheetText(kgiRobotOutput::sceneFileName(model), name + ".kmm"),
                (base / (name + ".ts")).string());
        if (!err.empty())
            return err;
    }
    return kgiRobotOutput::writeText(listText(motions), (base / "sample.txt").string());
}

namespace {

struct Box {
    kmlVec3 lo, hi;
    bool found = false;
};

// A course box by name, in world coordinates (the course's root stands at
// the origin unturned).
Box courseBox(const kgiRobotDesc& course, const char* name)
{
    Box b;
    for (const kgiRobotPartSpec& p : course.parts)
        if (std::string(p.name) == name) {
            for (int k = 0; k < 3; ++k) {
                b.lo[k] = p.centre[k] - p.size[k] / 2;
                b.hi[k] = p.centre[k] + p.size[k] / 2;
            }
            b.found = true;
        }
    return b;
}

bool overlaps(const kmlVec3& lo, const kmlVec3& hi, const Box& b)
{
    for (int k = 0; k < 3; ++k)
        if (hi[k] <= b.lo[k] || lo[k] >= b.hi[k])
            return false;
    return true;
}

} // namespace

void kgiSampleOutput::checkCourseRun(const kgiSamplePoser& poser, const std::vector<kgiSampleMotion>& motions,
                                     const std::vector<std::vector<kgiSamplePose>>& poses,
                                     const kgiRobotDesc& course, const kgiCourseRun& run,
                                     std::vector<std::string>& faults)
{
    const Box lane = courseBox(course, "Lane"), wall = courseBox(course, "Wall"), bar = courseBox(course, "LowBar");
    if (!lane.found)
        faults.push_back(run.course + ": no lane");
    kmlMatrix4 placed; // where the previous row ended
    int keys = 0;
    for (size_t r = 0; r < run.rows.size(); ++r) {
        const size_t row = size_t(run.rows[r] - 1);
        if (row >= motions.size() || poses[row].empty())
            continue;
        const std::vector<kgiSamplePose>& p = poses[row];
        // The rigid correction that puts this row's first key where the
        // last one ended.
        const kmlMatrix4 correction = r == 0 ? kmlMatrix4() : placed * p.front().root.getInverse();
        for (size_t k = 0; k < p.size(); ++k) {
            kgiSamplePose moved = p[k];
            moved.root = correction * p[k].root;
            kmlVec3 lo, hi;
            poser.bounds(moved, lo, hi);
            const std::string label = kgiRobotFormat("%s run, %s key %zu", run.course.c_str(),
                                                     motions[row].name.c_str(), k);
            if (r == 0 && k == 0 && !(hi[2] <= START_LINE - MARGIN))
                faults.push_back(kgiRobotFormat("%s: the robot reaches z %.2f at the start", label.c_str(), hi[2]));
            if (r + 1 == run.rows.size() && k + 1 == p.size() && !(lo[2] >= GOAL_LINE + MARGIN))
                faults.push_back(kgiRobotFormat("%s: the robot ends at z %.2f, not past the goal", label.c_str(), lo[2]));
            if (lane.found && (lo[0] < lane.lo[0] || hi[0] > lane.hi[0] || lo[2] < lane.lo[2] || hi[2] > lane.hi[2]))
                faults.push_back(label + ": the robot leaves the lane");
            if (wall.found && overlaps(lo, hi, wall))
                faults.push_back(label + ": the robot runs into the wall");
            if (bar.found && poser.touches(moved, bar.lo, bar.hi))
                faults.push_back(label + ": a part of the robot enters the low bar");
            placed = moved.root;
        }
        keys += int(p.size());
    }
    if (keys > RUN_KEYS)
        faults.push_back(kgiRobotFormat("%s run: %d keys, more than %d", run.course.c_str(), keys, RUN_KEYS));
}

std::string kgiSampleOutput::writeCourse(const kgiRobotDesc& course, const std::string& dataDir,
                                         std::vector<std::string>& faults)
{
    kgiRobotModel model;
    if (!model.build(course, faults))
        return "";
    model.setRootHeight(0.0f);
    const fs::path folder = fs::path(dataDir) / "course";
    std::error_code ec;
    fs::create_directories(folder / "character", ec);
    if (ec)
        return "cannot create " + (folder / "character").string() + ": " + ec.message();
    std::string err =
        kgiRobotOutput::writeScene(model, (folder / "character" / kgiRobotOutput::sceneFileName(model)).string());
    if (err.empty())
        err = kgiRobotOutput::writeText(kgiRobotOutput::timesheetText(kgiRobotOutput::sceneFileName(model), ""),
                                        (folder / kgiRobotOutput::timesheetFileName(model)).string());
    return err;
}
