#pragma once
// The robot's rigid parts as the collision check and the centre-of-gravity
// marker see them. The robot joint table knows which nodes are parts and
// which pairs are joined; it derives from this class and installs itself,
// so the application core needs no link to the robot tools. Until one is
// installed no part is tested and the centre of gravity is unknown.
#include "kmlVec3.h"

#include <string>

class kgiCharacter;
class ksgNode;

class kgiPartTable {
public:
    // Entries of the per-part hit table, indexed by part node id. Parts of
    // higher ids are tested but not recorded in the table.
    static constexpr int FLAG_COUNT = 1000;

    virtual ~kgiPartTable();

    // Tests every pair of the character's parts that are not joined (with
    // kgiCollisionCheck::checkPair) and fills flags; true when any collide.
    virtual bool checkPartCollisions(kgiCharacter* c, unsigned char flags[FLAG_COUNT]) = 0;
    // Clears the collision colour of every part.
    virtual void clearCollisionHits(kgiCharacter* c) = 0;
    // The character's centre of gravity in world coordinates; false when
    // it cannot be computed (no parts, no mesh).
    virtual bool computeCenterOfGravity(kgiCharacter* c, kmlVec3& centre) = 0;

    // The joints of the table, in the table's order: their number, and the
    // model node of entry i (null for a joint the model lacks or for an
    // index out of range). A table that knows no joints keeps these.
    virtual int getNodeCount() { return 0; }
    virtual ksgNode* getNode(int) { return nullptr; }

    // Start-up step after a model has loaded from projectPath: the joint
    // records of the model's folder, the joint limits of its tree and its
    // initial pose (kgiApp::setupRobotJoints passes it on). A table that
    // knows no joints does nothing.
    virtual void setupJoints(kgiCharacter*, const std::string& /*projectPath*/) {}

    // The part under the 3D view's pointer: selectPart lights up the part
    // that holds node, clearPartMark puts it back; nothing for a node no
    // part holds. A table that knows no parts does nothing.
    virtual void selectPart(ksgNode*) {}
    virtual void clearPartMark(ksgNode*) {}
    // After an IK drag step: re-places the model so that the chosen base
    // part keeps its world placement; false when no base part is chosen.
    virtual bool keepBasePartFixed() { return false; }

    // The joint commands of the 3D view's keys, tool bar and joint pop-up.
    // A table that knows no joints does nothing and answers false.
    // Puts the current character on the floor: the pose on screen, or with
    // allKeys every key of the frame range, re-keyed.
    virtual bool putOnFloor(bool /*allKeys*/) { return false; }
    // The node lies in a foot (at or below an ankle's end joint).
    virtual bool isInFoot(ksgNode*) { return false; }
    // Opens or closes the hand of the nearest wrist above the node.
    virtual bool setHand(ksgNode*, bool /*close*/) { return false; }
    // Levels the node's foot on the floor, at every key of the range with
    // allKeys.
    virtual bool levelFootOverKeys(ksgNode*, bool /*allKeys*/) { return false; }
    virtual bool levelAnkles(ksgNode*) { return false; }
    // Places the part of the node where it stood at the key before the
    // current time (appended false), or over the range (appended true).
    virtual bool alignBasePart(ksgNode*, bool /*appended*/) { return false; }
    // Selects the part that holds the node as the one kept fixed, or
    // deselects it when it was selected.
    virtual void toggleSelectedPart(ksgNode*) {}
    // The model's initial pose as the default pose, on the floor.
    virtual bool applyInitialPose(kgiCharacter*) { return false; }

    // The steps of a project load, one by one (setupJoints runs them all):
    // the joint records of the model beside the timesheet, and the joint
    // limits of the tree below node. A table that knows no joints does
    // nothing (loadModelIni answers false).
    virtual bool loadModelIni(const std::string& /*timesheetPath*/, kgiCharacter*) { return false; }
    virtual void setupJointLimits(ksgNode*) {}

    // The robot's own files, read into or written from the current
    // character: a motion (".mdm") from frame `start`, a pose (".mdp"; with
    // applyRoot also the root's placement), a script of the robot's
    // programming tool (".psf") as keys. Each shows its own message on bad
    // content and answers whether it succeeded. A table that knows no
    // joints reads and writes nothing and answers false, without a message.
    virtual bool importMotionMdm(const std::string& /*path*/, int /*start*/) { return false; }
    // Reads a motion file without changing anything: false, after its own
    // message, when no line of it reads (a command that would clear the
    // motion first then leaves it). A table that knows no joints answers
    // true and leaves the verdict to importMotionMdm.
    virtual bool checkMotionMdm(const std::string& /*path*/) { return true; }
    virtual bool exportMotionMdm(const std::string& /*path*/) { return false; }
    virtual bool importPoseMdp(const std::string& /*path*/, bool /*applyRoot*/) { return false; }
    virtual bool exportPoseMdp(const std::string& /*path*/) { return false; }
    virtual bool importPellScript(const std::string& /*path*/) { return false; }

    // The table in use, or null. The installer keeps it alive while it is
    // installed and installs null before destroying it.
    static void install(kgiPartTable* table);
    static kgiPartTable* installed();
};
