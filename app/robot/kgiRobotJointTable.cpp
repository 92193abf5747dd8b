#include "kgiRobotJointTable.h"

#include "kgiCharacter.h"
#include "kgiLineScan.h"
#include "ksgNode.h"
#include "kutPath.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <unordered_set>

const char* const kgiRobotJointTable::DEFAULT_NAME = "robo.ts";
const char* const kgiRobotJointTable::NO_JOINT = "NULL";

namespace {

// Line format of a joint: line number, name, initial value (read again by
// the initial pose), axis, limits, direction, servo, scale, offset.
const char* const JOINT_LINE = "%d : %s = %f :%d,%f,%f,%d :%d,%f,%f;";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// A joint line as a record; false (with the reason) for a line refused.
bool parseJointLine(const char* line, std::string& jointName, kgiJointRecord& r, const char*& why)
{
    int lineNumber = 0;
    float initial = 0.0f;
    const int read = kgiLineScan::scan(line, JOINT_LINE, &lineNumber, &jointName, &initial, &r.axis,
                                       &r.minAngle, &r.maxAngle, &r.direction, &r.servoId, &r.scale,
                                       &r.offset);
    if (read != 10) {
        why = "its fields do not all read";
        return false;
    }
    for (float v : {initial, r.minAngle, r.maxAngle, r.scale, r.offset})
        if (!std::isfinite(v)) {
            why = "a number is not finite";
            return false;
        }
    // Servo values become joint values by dividing by the scale.
    if (r.scale == 0.0f) {
        why = "its scale is 0";
        return false;
    }
    r.eulerOrder = kgiJointRecord::orderOfAxis(r.axis);
    return true;
}

} // namespace

kgiRobotJointTable::kgiRobotJointTable() : name(DEFAULT_NAME) {}

kgiRobotJointTable::kgiRobotJointTable(std::string n) : name(std::move(n)) {}

kgiRobotJointTable::~kgiRobotJointTable() = default;

kgiRobotJointTable* kgiRobotJointTable::instance()
{
    static kgiRobotJointTable table{std::string(DEFAULT_NAME)};
    static const bool installed = [] {
        kgiPartTable::install(&table);
        table.listener.listenFor(&table);
        return true;
    }();
    (void)installed;
    return &table;
}

// --- joint file ---

bool kgiRobotJointTable::loadModelIni(const std::string& modelFilePath, kgiCharacter* character)
{
    // The join puts a separator before an empty folder ("/character"),
    // which would be the file system's root.
    const std::string folder = kutExtractPath(modelFilePath);
    const std::string characterDir = folder.empty() ? std::string("character") : kutAppendPath(folder, "character");
    modelIniPath = kutPrependPath(characterDir, "model.ini");
    return readJointFile(character);
}

bool kgiRobotJointTable::readJointFile(kgiCharacter* character)
{
    nodes.fill(nullptr);
    nodes[0] = character ? character->getRoot() : nullptr;
    nodeCount = 1;
    selectedPart = -1;

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(modelIniPath.c_str(), "r"));
    if (!file)
        return false;

    // Records of an earlier file would answer servo lookups for joints this
    // model gives other servos.
    joints.clear();
    char line[LINE_BUFFER];
    int piece = 0;
    bool toldFull = false;
    while (std::fgets(line, sizeof line, file.get())) {
        ++piece;
        if (std::strlen(line) < 4 || !std::strchr(line, ','))
            continue;
        std::string jointName;
        kgiJointRecord record;
        const char* why = nullptr;
        if (!parseJointLine(line, jointName, record, why)) {
            std::cerr << modelIniPath << ": line " << piece << " refused: " << why << "\n";
            continue;
        }
        if (nodeCount >= MAX_NODES) {
            if (!toldFull)
                std::cerr << modelIniPath << ": joints after the " << (MAX_NODES - 1)
                          << "th are ignored (from line " << piece << ")\n";
            toldFull = true;
            continue;
        }
        joints[jointName] = record;
        nodes[std::size_t(nodeCount)] = character ? character->findNode(jointName) : nullptr;
        ++nodeCount;
    }
    return true;
}

kgiJointRecord kgiRobotJointTable::findJoint(const std::string& jointName) const
{
    const auto it = joints.find(jointName);
    return it == joints.end() ? kgiJointRecord() : it->second;
}

kgiJointRecord kgiRobotJointTable::findJointByServo(int id) const
{
    for (const auto& j : joints)
        if (j.second.servoId == id)
            return j.second;
    return kgiJointRecord();
}

std::string kgiRobotJointTable::jointNameByServo(int id) const
{
    for (const auto& j : joints)
        if (j.second.servoId == id)
            return j.first;
    return NO_JOINT;
}

bool kgiRobotJointTable::isTableFile(const std::string& path) const
{
    return kutRemovePath(path) == name;
}

// --- the core's seam ---

ksgNode* kgiRobotJointTable::getNode(int i)
{
    return i >= 0 && i < nodeCount && i < MAX_NODES ? nodes[std::size_t(i)] : nullptr;
}

void kgiRobotJointTable::setupJoints(kgiCharacter* character, const std::string& projectPath)
{
    if (!character)
        return;
    loadModelIni(projectPath, character);
    setupJointLimits(character->getRoot());
    applyInitialPose(character);
}

// --- freed trees ---

kgiRobotJointTable::TreeListener::~TreeListener()
{
    if (owner)
        kgiFreedTreeNotice::unsubscribe(this);
}

void kgiRobotJointTable::TreeListener::listenFor(kgiRobotJointTable* table)
{
    owner = table;
    kgiFreedTreeNotice::subscribe(this);
}

void kgiRobotJointTable::TreeListener::treeFreed(kgiCharacter*, ksgNode* root)
{
    if (owner)
        owner->forgetTree(root);
}

void kgiRobotJointTable::forgetTree(ksgNode* root)
{
    if (!root)
        return;
    // The tree still stands; entries are compared as pointers only, so an
    // entry of some other tree is never followed.
    std::unordered_set<const ksgNode*> inTree;
    std::vector<const ksgNode*> pending{root};
    while (!pending.empty()) {
        const ksgNode* n = pending.back();
        pending.pop_back();
        inTree.insert(n);
        for (const ksgNode* c = n->getChild(); c; c = c->getSibling())
            pending.push_back(c);
    }
    if (nodes[0] == root) {
        nodes.fill(nullptr);
        nodeCount = 0;
    } else {
        for (ksgNode*& n : nodes)
            if (n && inTree.count(n))
                n = nullptr;
    }
    if (selectedPart >= 0 && (selectedPart >= nodeCount || !nodes[std::size_t(selectedPart)]))
        selectedPart = -1;
    if (baseNode && inTree.count(baseNode))
        baseNode = nullptr;
}
