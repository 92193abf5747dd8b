#pragma once
// The robot joint table: ties the joints of the loaded robot model to the
// robot's 24 servos. It reads the joint file "model.ini" in the "character"
// folder beside the model file, one kgiJointRecord per joint, and keeps the
// model nodes the file names (the robot's parts). Joint values, servo
// values, joint limits and the initial pose all go through it.
//
// There is one table per program (instance()); it is the core's installed
// kgiPartTable and hears the core's freed-tree notice, so it never keeps a
// node of a tree that was freed. The class is a value type: a copy copies
// every record and node pointer, but a copy is neither installed nor
// subscribed, so hold one only while no character's tree can go.
//
// Every walk over the joints goes up to getNodeCount() and passes over null
// entries (a joint the model lacks): a null entry is not the end.
#include "kgiCollisionCheckParts.h"
#include "kgiFreedTreeNotice.h"
#include "kgiJointRecord.h"
#include "kmlMatrix3.h"
#include "kmlMatrix4.h"
#include "kmlQuat.h"
#include "kmlVec.h"
#include "kmlVec3.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class kgiCharacter;
class ksgNode;

class kgiRobotJointTable : public kgiPartTable {
public:
    // Node entries: the model root and at most 254 joints.
    static constexpr int MAX_NODES = 255;
    // Bytes of one read of the joint file; a longer line is read in pieces.
    static constexpr int LINE_BUFFER = 256;
    // Servo value of a servo no joint drives.
    static constexpr int UNMAPPED_SERVO_VALUE = 100;
    // Widening of the limits for the setters (the options dialog's field
    // passes 0).
    static constexpr float SET_MARGIN = 3.0f;
    // Name of the table's file, as isTableFile compares it.
    static const char* const DEFAULT_NAME; // "robo.ts"
    // Name a servo lookup gives when no joint drives the servo.
    static const char* const NO_JOINT; // "NULL"

    // Empty records and nodes, no selection, no base node.
    kgiRobotJointTable();
    explicit kgiRobotJointTable(std::string name);
    kgiRobotJointTable(const kgiRobotJointTable&) = default;
    kgiRobotJointTable& operator=(const kgiRobotJointTable&) = default;
    ~kgiRobotJointTable() override;

    // The program's table, built on first use, installed as the core's
    // kgiPartTable and subscribed to the freed-tree notice; it lives until
    // the program ends.
    static kgiRobotJointTable* instance();

    // --- joint file ---
    // modelIniPath = the model file's folder + "/character/model.ini"
    // ("character/model.ini" in the base directory for a path without a
    // folder), then readJointFile.
    bool loadModelIni(const std::string& modelFilePath, kgiCharacter* character) override;
    // Reads modelIniPath. Entry 0 becomes the character's model root. When
    // the file opens, the records start empty and every accepted line adds
    // its record and its node (null when the model lacks it); true. When it
    // does not open, only the root stays (count 1), the records stay; false.
    // Either way no part is selected afterwards. A line is refused (one
    // line on standard error) when its ten fields do not all read, a number
    // is not finite or its scale is 0; lines past the 254th joint likewise.
    bool readJointFile(kgiCharacter* character);
    // Copies of the record of that name, or of the first record in name
    // order with that servo; the default record when there is none.
    kgiJointRecord findJoint(const std::string& name) const;
    kgiJointRecord findJointByServo(int id) const;
    // The name of that first record; NO_JOINT when there is none.
    std::string jointNameByServo(int id) const;
    std::string getModelIniPath() const { return modelIniPath; }
    std::string getName() const { return name; }
    void setName(const std::string& s) { name = s; }
    // The joint records by name.
    const std::map<std::string, kgiJointRecord>& getJoints() const { return joints; }
    int getSelectedPart() const { return selectedPart; }
    ksgNode* getBaseNode() const { return baseNode; }

    // --- the core's seam ---
    // Entries 0 (the root) up to the count; null past it and for a joint
    // the model lacks.
    int getNodeCount() override { return nodeCount; }
    ksgNode* getNode(int i) override;
    // Start-up after a model load: loadModelIni, setupJointLimits on the
    // model root, applyInitialPose.
    void setupJoints(kgiCharacter* character, const std::string& projectPath) override;
    // Part collisions and the centre of gravity (the character is only
    // checked for null: the table works on its own entries). The pair test
    // passes over null entries and stops at no hit; the centre is false
    // when no part child carries a mesh with volume.
    bool checkPartCollisions(kgiCharacter* c, unsigned char flags[FLAG_COUNT]) override;
    void clearCollisionHits(kgiCharacter* c) override;
    bool computeCenterOfGravity(kgiCharacter* c, kmlVec3& centre) override;

    // --- joint values (degrees) ---
    // Node operations answer false (0.0 for the readers) for a null node or
    // one that is not a transform; those that evaluate or key the node's
    // motion also without a motion controller.
    // The joint value: direction x the Euler angle the axis picks (0 x,
    // 1 y, else z) of the local matrix under the record's order.
    float getJointAngleByName(kgiCharacter* c, const std::string& jointName) const;
    float getJointAngle(ksgNode* node) const;
    static float jointAngleOf(ksgNode* node, const kgiJointRecord& record);
    // The joint value the node's base curves hold at time t (frames); offset
    // layers and tracks are ignored, the current pose is not touched.
    float getJointAngleAt(ksgNode* node, float t) const;
    // Sets the joint unless direction x value lies beyond a limit widened
    // by margin (a value on the widened bound is accepted) or is not finite:
    // then the joint stays and "Warning - 160" is given (the status line
    // instead of a box while a robot session is open and no read of servo
    // group 0 is pending); false. The local rotation becomes the single
    // rotation about the axis (translation kept). A node that is not a
    // transform is only updated; true.
    bool applyJointAngle(ksgNode* node, float value, const kgiJointRecord& record, float margin);
    // The named node with the given record, margin SET_MARGIN; false when
    // the name finds no node.
    bool setJointAngleWithRecord(kgiCharacter* c, const std::string& jointName, float value,
                                 const kgiJointRecord& record);
    // The same with the name's own record.
    bool setJointAngleByName(kgiCharacter* c, const std::string& jointName, float value);
    bool setJointAngle(ksgNode* node, float value);
    // Keys the joint value at time t (no limit test); whether the motion
    // took the key.
    bool addJointKeyByName(kgiCharacter* c, const std::string& jointName, float t, float value);
    bool addJointKey(ksgNode* node, float t, float value);
    // A node's local placement: translation and Euler angles of order 5,
    // whatever its record says.
    static bool getNodePose(ksgNode* node, float& px, float& py, float& pz, float& rx, float& ry,
                            float& rz);
    static bool getNodePoseAt(ksgNode* node, float t, float& px, float& py, float& pz, float& rx,
                              float& ry, float& rz);
    static bool setNodePose(ksgNode* node, float px, float py, float pz, float rx, float ry, float rz);
    static bool addNodePoseKey(ksgNode* node, float t, float px, float py, float pz, float rx, float ry,
                               float rz);
    // Keys what the base curves hold at t again; whether the key was added.
    static bool rekeyBaseFrame(ksgNode* node, float t);
    // The named node's local matrix becomes its default; false when the
    // name finds no node.
    static bool makeJointPoseDefault(kgiCharacter* c, const std::string& jointName);
    // FK/IK flags and hinge limits of the subtree's joints from their
    // records. Nodes without kgiKmdData, and parts (type 5), are passed
    // over with everything below them.
    void setupJointLimits(ksgNode* node) override;
    // Applies the values of the joint file's lines as each joint's default
    // pose, then places the model on the floor (one pose undo entry). False
    // when a line failed (the others are applied); true without a file.
    bool applyInitialPose(kgiCharacter* c) override;
    // The file name of path (folder removed) is the table's name.
    bool isTableFile(const std::string& path) const;
    // The first call records the joint nodes' names and depths (pre-order,
    // as setupJointLimits walks); later calls compare against it.
    bool matchModelStructure(ksgNode* root);

    // --- servo values: the one place of the conversion rule ---
    // value x scale + offset + 0.5, truncated toward zero (clamped to int).
    static int toServo(float value, const kgiJointRecord& record);
    // (servo - offset) / scale.
    static float fromServo(int servo, const kgiJointRecord& record);
    // Servo value of servo id from the current pose or from the motion at
    // time t; UNMAPPED_SERVO_VALUE when no joint drives it.
    int servoValue(kgiCharacter* c, int id) const;
    int servoValueAt(kgiCharacter* c, int id, float t) const;
    // The joint value of a servo value of servo id (its record's rule).
    float jointValueOfServo(int id, int servo) const;

    // --- robot text files ---
    // They work on the world's current character (false without one, or
    // without a model). Numbers are written and read in the C notation
    // whatever the user's locale; "\r\n" line ends read as "\n".
    //
    // Each import reads the whole file before it changes anything. A file
    // of which no line reads (empty, binary, of another format, or one that
    // does not open) is refused: an "Error" box naming it, nothing changed,
    // no undo entry, false. When some lines do not read, the others are
    // loaded and then "Warning - 170" says how many lines were skipped and
    // the number of the first (lines count from 1; blank lines count but
    // are never skipped).
    //
    // A joint-value line "n : name = value :": sets the joint and makes its
    // pose the default. A line without "=", or whose name and value do not
    // read, shows "Error - 062" and fails.
    bool applyJointValueLine(const std::string& line, kgiCharacter* c);
    // Writes the pose file: per line of the joint file "name = value" of
    // the joint's current value (an empty line for a line shorter than 4
    // characters or one that is no joint line), an empty line, then the
    // root's name and placement. The path loses the extension of its file
    // name (a dot in a folder stays) and gets ".mdp". Written under a
    // temporary name and renamed over the target only when every write and
    // the close succeeded: on failure false, any earlier file kept.
    bool exportPoseMdp(const std::string& path) override;
    // Applies every line longer than 3 characters that reads as
    // applyPoseLine reads it, after one pose undo entry; a joint line reads
    // only when the model has the joint. The root line sets the root only
    // with applyRoot. False when a line did not read or failed the limit
    // test (the others are applied), or when the file was refused.
    bool importPoseMdp(const std::string& path, bool applyRoot) override;
    // One line per key: "F<frame> [ <root> px=.., ry=.. ] name=value,...;"
    // over the table's joints (joints the model lacks are left out). Path
    // rule and writing as exportPoseMdp, with ".mdm"; false for an empty
    // path.
    bool exportMotionMdm(const std::string& path) override;
    // Keys every motion line of the file that reads (see applyMotionLine)
    // at its frame + start, then pushes one kgiAddKeysUndo (start .. the
    // last key). When the keys would pass the key limit: the lines keyed so
    // far keep their undo entry, "Warning - 153", false. False when the
    // file was refused.
    bool importMotionMdm(const std::string& path, int start) override;
    // Refuses the file as importMotionMdm (start 0) would, changing
    // nothing; true when a line of it reads.
    bool checkMotionMdm(const std::string& path) override;
    // Replaces the motion by the default pose at frame 0 and the script's
    // MOVE and DELAY steps, with two undo entries: the old motion's removal
    // (when there was one) and the script's keys. The lines that read are
    // MOVE lines with value fields that are each empty, blank-ended or a
    // whole number, SPEED lines of a number of 1 or more, and DELAY lines
    // without a negative number; text after the last carriage return is a
    // line cut short. Lines without these words are passed over uncounted.
    // A step whose key time lies outside 0 .. 65,535 keys nothing. At the
    // key limit (more MOVE lines than Keys_MAX) the motion and the history
    // are given back as they were before, after "Warning - 153"; false.
    bool importPellScript(const std::string& path) override;
    // One pose-file line: the root line (its first word, up to a blank,
    // ":" or "=", is the root's name) sets the root's placement only with
    // applyRoot, else it is accepted when it reads; every other line sets
    // a joint (limit test). A line without "=", or whose numbers do not
    // read or are not finite, shows "Warning - 170" and fails.
    bool applyPoseLine(const std::string& line, kgiCharacter* c, bool applyRoot);
    // One motion-file line keyed at its frame + start; whether it keyed.
    // Nothing is keyed for a line that does not read or does not end with
    // its ";" (one cut short), a root placement that is not finite, a
    // negative frame, or a key time outside 0 .. 65,535 (the motion-key
    // file's frames). A name=value pair with a name
    // over 55 or a value over 63 characters, or a value that is not finite,
    // is passed over.
    bool applyMotionLine(const std::string& line, kgiCharacter* c, int start);

    // --- hand, foot and floor tools ---
    // They work on the world's current character, its model root and the
    // world's current time and frame range. "Key times in range" are the
    // character's key times t with start <= t <= end, in list order; the
    // tools that visit them give the world its current time back.
    //
    // Lowers or raises the model so that its lowest point is at height 0
    // (one pose undo entry first, unless poseUndo is false); false for a
    // null character or model. Without update the root's local matrix
    // moves and the world matrices and bounds wait for the next update (a
    // re-key reads the local matrices only).
    bool placeOnFloor(kgiCharacter* c, bool poseUndo = true, bool update = true);
    // Opens (close false) or closes the hand of the nearest wrist
    // ("L_WR1" or "R_WR1") at or above the picked node, then runs the
    // collision check of the current character; always true (a node off
    // the hands sets nothing).
    bool setHand(ksgNode* node, bool close) override;
    // Grips of side 1 (right, "R_GR1" and "R_GR2") or any other side
    // (left) of the character holding node: 70 and 85 degrees closed, 0
    // open, about z; always true.
    bool setGrips(ksgNode* node, int side, bool close);
    // placeOnFloor for the pose on screen, or at every key time in range
    // with the key taken again (one kgiAddKeyUndo per key re-keyed; none for
    // a key the key limit refused). False without a current character.
    bool putOnFloor(bool allKeys) override;
    // Whether the node is a foot ("LAnkle2", "RAnkle2") or lies below one.
    bool isInFoot(ksgNode* node) override;
    // levelFoot for the pose on screen, or at every key time in range with
    // the key taken again; the keys rewritten are one kgiRekeyRangeUndo.
    // False for a null node or, over keys, without a current character.
    bool levelFootOverKeys(ksgNode* node, bool allKeys) override;
    // Turns the root about its origin so that the foot (the node's, or the
    // foot above it) is level: its order-5 angles y 0 and z -90, its x
    // axis straight down. The turn is about a level world axis, so the
    // heading stays; it is repeated (at most ten times) while it still
    // lessens the tilt, and where it cannot lessen it at all the root keeps
    // its turn. Then the model goes on the floor (also when the node is in
    // no foot). Whether the foot was found.
    bool levelFoot(ksgNode* node);
    // Whether a foot and an ankle joint ("LAnkle1", "RAnkle1") lie at or
    // above the node; changes nothing.
    bool levelAnkles(ksgNode* node) override;
    // Keeps the world placement of the node's transform (its own or its
    // nearest transform ancestor's) and makes the node the base part.
    bool storeReferencePlacement(ksgNode* node);
    // After an IK drag step: moves the current character's root so that
    // the base part is back at its stored placement. False without a base
    // part or when it is not in the current character's model; true and
    // no change for a base part without any transform.
    bool keepBasePartFixed() override;
    // appended: alignBasePartOverRange. Otherwise moves the root so that
    // the node is placed as at the last key before the current time (one
    // pose undo entry, the root not keyed); false with no key before.
    bool alignBasePart(ksgNode* node, bool appended) override;
    bool alignBasePartToTime(ksgNode* node, float earlier);
    // After a motion was appended: the rigid move that takes the node from
    // its placement at the first key in range to its placement at the key
    // before moves the root at every key in range, each re-keyed; one
    // kgiRekeyRangeUndo for them. "Warning - 151" when the first key in
    // range is the first key, "Warning - 152" without a key in range:
    // false, nothing changed.
    bool alignBasePartOverRange(ksgNode* node);

    // --- parts, collision and centre of gravity ---
    // A part is an entry of the table; the part holding a node is the first
    // entry met from the node up through its ancestors. Its meshes are the
    // models its children carry as their first child, and theirs below.
    //
    // Joined: one part's nearest servo-joint ancestor (a record with an
    // axis) is the other (the top of the tree when there is none).
    bool arePartsJoined(ksgNode* a, ksgNode* b);
    void clearCollisionHits();
    // The selection colour of every part off.
    void clearAllPartSelections();
    // The selection colour of the part holding the node on (the hover of
    // the 3D view) or off; nothing for a node no part holds.
    void selectPart(ksgNode* node) override;
    void clearPartMark(ksgNode* node) override;
    // Unmarks the selected part; then marks the part holding the node, makes
    // it the selected part and stores its placement as the base part's, or,
    // when it was the selected part, leaves none selected. A node no part
    // holds keeps the selection index.
    void toggleSelectedPart(ksgNode* node) override;
    void setPartSelected(ksgNode* part, bool flag);
    // Mark colour on or off; the selection colour goes either way.
    void setPartMarked(ksgNode* part, bool flag);
    bool isInSelectedPart(ksgNode* node);
    // The second collision mark off on every part.
    void clearAllPartMarks();
    // The centre of gravity, or a zero vector when it cannot be computed.
    kmlVec3 computeCenterOfGravity();
    static kmlVec<3> mulMatrix3Vec3(const kmlMatrix3& m, const kmlVec<3>& v);
    static kmlVec<3> scaleVec3(const kmlVec<3>& v, float s);

private:
    // The notice's listener. A copy of the table gets an unsubscribed one,
    // and assigning a table keeps the listener the target had.
    class TreeListener : public kgiFreedTreeListener {
    public:
        TreeListener() = default;
        TreeListener(const TreeListener&) : kgiFreedTreeListener() {}
        TreeListener& operator=(const TreeListener&) { return *this; }
        ~TreeListener() override;
        void listenFor(kgiRobotJointTable* table);
        void treeFreed(kgiCharacter* character, ksgNode* root) override;

    private:
        kgiRobotJointTable* owner = nullptr;
    };

    // Drops every entry, the selection and the base node inside the tree
    // below root (the count becomes 0 when root is entry 0).
    void forgetTree(ksgNode* root);
    // The index of the part that holds the node: the first entry met from
    // the node up through its ancestors; -1 when none holds it.
    int partIndexOf(ksgNode* node) const;
    // The nearest ancestor of node whose joint record has an axis (a servo
    // joint), or the top of its tree when there is none.
    ksgNode* servoJointAbove(ksgNode* node) const;
    // Volume-weighted mean of the parts' mesh box centres in the world;
    // false (centre unchanged) when no mesh has volume.
    bool centreOfGravity(kmlVec3& centre) const;

    // The rigid move of the model root that takes a base part from world
    // matrix now to world matrix ref: the root's local L becomes
    // ref x inverse(now) x L. The terms that depend on ref and now alone
    // are computed once, so one correction can move many keys.
    struct RootCorrection {
        kmlQuat rotation;
        kmlMatrix3 rotationMatrix;
        kmlVec<3> offset;
        static RootCorrection between(const kmlMatrix4& ref, const kmlMatrix4& now);
        kmlMatrix4 apply(const kmlMatrix4& local) const;
    };
    // Applies the correction to the current character's root and updates
    // it (with update false, as placeOnFloor without it); false without a
    // current character or root transform.
    bool moveRoot(const RootCorrection& correction, bool update = true);
    // "Warning - 160" for a joint value outside the record's limits.
    void warnOutOfRange(ksgNode* node, const kgiJointRecord& record) const;
    // The node's joint value under a record from a matrix.
    static float pickAngle(const kmlMatrix4& m, const kgiJointRecord& record);

    std::array<ksgNode*, MAX_NODES> nodes{};
    std::int32_t nodeCount = 0;
    std::string name;
    std::map<std::string, kgiJointRecord> joints;
    std::vector<std::string> structureNames;
    std::vector<int> structureDepths;
    std::string modelIniPath;
    std::int32_t selectedPart = -1;
    float referencePosition[3] = {0.0f, 0.0f, 0.0f};
    float referenceAngles[3] = {0.0f, 0.0f, 0.0f};
    kmlMatrix4 referenceMatrix;
    ksgNode* baseNode = nullptr;

    TreeListener listener;
};
