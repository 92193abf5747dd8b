// DORUZAVO-1, the small humanoid the program ships with: about 36 cm tall,
// 24 servos, two legs of five joints, two arms of three joints with a
// turning wrist and a two-finger hook hand, a turning waist and head.
// The tool's checks (kgiRobotCheck) hold the model to these rules on
// every build.
//
// Size and axes
// -------------
// Centimetres: the floor grid is 5 apart over 200, the view sees 0.1 to
// 1000, the centre-of-gravity cone is 0.5 wide. y is up and the floor is
// y = 0 (the root is placed so the soles touch it); the robot faces +z;
// x runs from its right (-x) to its left (+x).
//
// Node tree
// ---------
// The root "Robot" is the pelvis: node 0, the first record, the only node
// of depth 0 and the only root-kind node (kind 1); it carries the whole
// pose when the program moves or turns the robot. No other name begins
// with "Robot". Every other node is a servo joint (kind 3, a hinge with one
// line in the joint table), a mesh node (kind 5): a box or cylinder hung
// directly below the joint it moves with, with one colour, or one of the
// two hand helpers (kind 4, "RHand"/"LHand": fixed, no servo, carrying the
// grips; see Inverse kinematics below). A joint never
// carries a mesh itself, because collision and centre of gravity only see
// the meshes of a part's children whose first child is the model. Every
// joint is a listed servo: setting a joint (also at start-up) replaces its
// local rotation by one turn about its own axis, so no joint may hide a
// second turn or a change of frame. Names are letters, digits and
// underscores, at most 55 characters; about 60 nodes in all, far below the
// 1,000 node ids the program's collision table has room for.
//
// Names the program looks up
// --------------------------
// "Body" (the base part of the settings), "RShoulder" (the only limb a
// lesson lets the user drag), the wrists "R_WR1"/"L_WR1" and their grips
// "R_GR1", "R_GR2", "L_GR1", "L_GR2" (turning about z; the hand tools close
// them to 70 and 85 degrees), the ankles "RAnkle1"/"LAnkle1" and the feet
// "RAnkle2"/"LAnkle2". Each limb has one limb root at its top, "RThigh",
// "LThigh", "RShoulder", "LShoulder": the pop-up menu offers the limb's
// commands from it, so each wrist hangs below an arm root and each foot
// below a leg root.
//
// Frames
// ------
// In the standing pose every joint frame, the root's included, has x along
// the limb pointing down, y to the back and z to the robot's left. That is
// what mirroring needs (it flips the left-right axis of every local frame,
// T L T with T = diag(1, 1, -1)), and it is the frame the foot-levelling
// tool aims for: a level foot has world Euler angles (order ZYX) y 0 and
// z -90. So pitch joints turn about z, rolls about y, twists about x, and a
// left joint's rest turn is its right twin's with roll and twist negated.
//
// Ready pose and servos
// ---------------------
// The servos' power-on pose (100, 76, 145, 93, 100 on the legs, 100, 30,
// 80 on the arms, 100 elsewhere) is a slight crouch: hips bent 24 degrees
// forward, knees 45, ankles 21 back so the soles stay flat, arms 20 degrees
// out from the sides with the elbows bent 20. The model rests in that
// crouch and the joint table starts there; each offset is chosen so that
// the initial angle gives exactly the power-on value, with one servo unit
// per degree. Every limit keeps its servo value within 13..187, so that
// even the 3-degree tolerance of the limit test stays on the board's
// 10..190. In the ready pose, and with the hands closed, no two parts that
// are not joined overlap, so the model never starts in collision colour.
//
// Mirroring
// ---------
// Twins are sibling joints of the same kind with the same children: the
// right and left limb hang from the same parent, right first and left last,
// after the centre joint of that parent (the program pairs a joint with its
// later siblings, and a pair with no sibling after it always matches).
// Their bone lengths and distances from the root are equal, well within
// the 10 % the pairing allows, and every joint more than 1 % of the
// robot's size off the centre line has its twin. Head, waist and shoulders
// hang at clearly different distances, so no centre joint is taken for a
// limb. Twin joints drive twin servos: legs 0-4 and 18-22, arms 6-8 and
// 12-14, hands 9-11 and 15-17; the waist (5) and the head (23) are alone.
//
// Inverse kinematics
// ------------------
// An IK drag turns the joints above the grabbed one up to the joint below
// the first one that branches: that has two or more servo joints as
// children (helpers and meshes do not count). The body, which carries the
// head and both arms, stops an arm drag at the shoulder; a leg drag runs
// up to the hip, below the root. A drag on any joint of a limb must pull
// the limb from its limb root, so no joint inside a limb may carry two
// servo joints: the hand's two grips hang below the hand helper, not below
// the wrist itself, and the feet carry meshes only. The check ikChains
// holds every limb joint to this.
//
// Joint table
// -----------
// One line per joint, numbered from 0 (the options dialog's rows); no other
// lines. The first 19 lines are the joints a mirrored drag in
// inverse-kinematics mode may start from: both legs, both arms, the wrists,
// then the waist. The head and the fingers come last; picking a finger
// mirrors from its wrist, which brings the whole hand along.
#include "kgiRobotDesc.h"

namespace {

using J = kgiRobotJointSpec;
using P = kgiRobotPartSpec;

// Servo channels of the board. Lower body 0-4 and 18-22 (right and left
// leg), upper body 6-8 and 12-14 (right and left arm); the spare channels
// drive the waist (5), the hands (9-11 right, 15-17 left) and the head (23).
const int DEFAULT_SERVOS[24] = {100, 76, 145, 93, 100, 100, 100, 30, 80, 100, 100, 100,
                                100, 30, 80, 100, 100, 100, 100, 76, 145, 93, 100, 100};

} // namespace

kgiRobotDesc kgiRobotDesc::doruzavo1()
{
    kgiRobotDesc s;
    s.modelName = "DORUZAVO_1";
    s.rootName = "Robot";
    for (int i = 0; i < 24; ++i)
        s.defaultServos[i] = DEFAULT_SERVOS[i];

    //            name      diffuse RGBA          specular      shine  ambient RGBA
    s.colours = {
        {"shell",  {232, 234, 238, 255}, {96, 96, 96},    40, {92, 94, 96, 255}},  // white covers
        {"frame",  {62, 66, 74, 255},    {64, 64, 64},    20, {26, 27, 30, 255}},  // servo cases
        {"accent", {36, 96, 206, 255},   {110, 110, 120}, 60, {14, 38, 82, 255}},  // blue plates
        {"visor",  {22, 24, 30, 255},    {180, 180, 190}, 90, {8, 9, 12, 255}},    // face glass
        {"sole",   {45, 45, 48, 255},    {16, 16, 16},    5,  {18, 18, 19, 255}},  // rubber soles
    };

    s.joints = {
        // ---- centre line ------------------------------------------------
        // Body: the waist servo turns the whole upper body about the
        // vertical. The settings' base part "Body" names it, so keeping the
        // trunk still while a motion is appended keeps this node still.
        {"Body", nullptr, "Robot", {0, 2.0f, 0}, J::TWIST, 0, -60, 60, 5, -1, 100, 1},
        // Head: the neck servo turns the head left and right. Hung first
        // among Body's joints so that the shoulder pair comes last.
        {"Head", nullptr, "Body", {0, 10.0f, 0}, J::TWIST, 0, -80, 80, 23, -1, 100, 1},

        // ---- arms (limb root: RShoulder / LShoulder) ---------------------
        // Shoulder: swings the whole arm forward (negative) and back. The
        // limb root the pop-up menu looks for, and the only limb a lesson
        // lets the user drag.
        {"RShoulder", "LShoulder", "Body", {-5.6f, 7.6f, 0}, J::PITCH, 0, -87, 87, 6, 12, 100, 1},
        // Arm: lifts the arm sideways; 20 degrees out in the ready pose so
        // it clears the trunk, servo 30. The arm cannot come closer to the
        // body than 3 degrees (servo 13).
        {"RArm", "LArm", "RShoulder", {-1.8f, 0, 0}, J::ROLL, 20, 3, 175, 7, 13, 10, 1},
        // Elbow: bends the forearm forward (negative), 20 degrees in the
        // ready pose (servo 80).
        {"RElbow", "LElbow", "RArm", {0, -6.2f, 0}, J::PITCH, -20, -87, 5, 8, 14, 100, 1},
        // Wrist: turns the hand about the forearm. The hand tools find the
        // hand by this name.
        {"R_WR1", "L_WR1", "RElbow", {0, -6.2f, 0}, J::TWIST, 0, -87, 87, 9, 15, 100, 1},
        // Hand: a helper node at the wrist that carries both grips, so
        // that the wrist has one child for IK, not two. With the two grips
        // straight below it the wrist would branch, and an IK drag that
        // grabs a finger would turn the wrist alone; through the helper it
        // pulls the arm from the shoulder, as a drag on the wrist does.
        J::helperNode("RHand", "LHand", "R_WR1"),
        // Grips: two hook fingers side by side below the palm, curling
        // toward the palm about the left-right axis. The hand tools close
        // them to 70 and 85 degrees and open them to 0.
        {"R_GR1", "L_GR1", "RHand", {0.65f, -2.6f, 0.3f}, J::PITCH, 0, -5, 87, 10, 16, 100, 1},
        {"R_GR2", "L_GR2", "RHand", {-0.65f, -2.6f, 0.3f}, J::PITCH, 0, -5, 87, 11, 17, 100, 1},

        // ---- legs (limb root: RThigh / LThigh) ----------------------------
        // Thigh: the hip's sideways servo, at the hip; swings the leg out
        // (positive) or in. The limb root of the leg.
        {"RThigh", "LThigh", "Robot", {-2.6f, -1.8f, 0}, J::ROLL, 0, -20, 45, 0, 18, 100, 1},
        // LegUp: the hip's forward servo at the same point; carries the
        // thigh. 24 degrees forward in the ready pose (servo 76).
        {"RLegUp", "LLegUp", "RThigh", {0, 0, 0}, J::PITCH, -24, -87, 30, 1, 19, 100, 1},
        // Knee: bends the shin back, 45 degrees in the ready pose (145).
        {"RKnee", "LKnee", "RLegUp", {0, -7.0f, 0}, J::PITCH, 45, -3, 87, 2, 20, 100, 1},
        // Ankle1: the ankle's forward servo; tilts the foot back 21 degrees
        // in the ready pose so the sole lies flat (servo 93: its horn sits
        // 14 units off the centre, hence the offset 114).
        {"RAnkle1", "LAnkle1", "RKnee", {0, -7.0f, 0}, J::PITCH, -21, -73, 73, 3, 21, 114, 1},
        // Ankle2: the ankle's sideways servo, which carries the foot; the
        // floor and foot tools find the foot by this name.
        {"RAnkle2", "LAnkle2", "RAnkle1", {0, -1.4f, 0}, J::ROLL, 0, -35, 35, 4, 22, 100, 1},
    };

    // Box sizes are width, height, depth; cylinders radius, length.
    s.parts = {
        // name            left           joint        shape        size                  along       centre                 colour
        {"Hips",           nullptr,       "Robot",     P::BOX,      {7.6f, 2.4f, 4.2f},   P::UP,      {0, 0.6f, 0},          "frame"},
        {"WaistBlock",     nullptr,       "Body",      P::CYLINDER, {2.2f, 1.8f, 0},      P::UP,      {0, 0.5f, 0},          "frame"},
        {"Torso",          nullptr,       "Body",      P::BOX,      {9.4f, 8.4f, 5.6f},   P::UP,      {0, 5.6f, 0},          "shell"},
        {"ChestPlate",     nullptr,       "Body",      P::BOX,      {6.6f, 3.8f, 0.8f},   P::UP,      {0, 7.0f, 3.0f},       "accent"},
        {"Backpack",       nullptr,       "Body",      P::BOX,      {6.8f, 5.6f, 1.8f},   P::UP,      {0, 5.4f, -3.5f},      "frame"},
        {"Neck",           nullptr,       "Head",      P::CYLINDER, {1.1f, 1.4f, 0},      P::UP,      {0, 0.5f, 0},          "frame"},
        {"HeadShell",      nullptr,       "Head",      P::BOX,      {5.6f, 5.0f, 5.4f},   P::UP,      {0, 3.6f, 0.2f},       "shell"},
        {"Visor",          nullptr,       "Head",      P::BOX,      {4.6f, 1.8f, 0.6f},   P::UP,      {0, 4.2f, 2.9f},       "visor"},
        {"RShoulderBlock", "LShoulderBlock", "RShoulder", P::BOX,   {2.2f, 2.8f, 3.4f},   P::UP,      {-0.5f, 0, 0},         "frame"},
        {"RUpperArm",      "LUpperArm",   "RArm",      P::BOX,      {2.4f, 4.6f, 2.8f},   P::UP,      {0, -3.1f, 0},         "shell"},
        {"RElbowBlock",    "LElbowBlock", "RElbow",    P::CYLINDER, {1.3f, 2.6f, 0},      P::SIDEWAYS, {0, 0, 0},            "frame"},
        {"RForearm",       "LForearm",    "RElbow",    P::BOX,      {2.2f, 4.4f, 2.6f},   P::UP,      {0, -3.3f, 0},         "shell"},
        {"RPalm",          "LPalm",       "R_WR1",     P::BOX,      {2.6f, 2.6f, 1.4f},   P::UP,      {0, -1.2f, 0},         "frame"},
        {"RFinger1",       "LFinger1",    "R_GR1",     P::BOX,      {0.9f, 2.4f, 1.1f},   P::UP,      {0, -1.2f, 0},         "accent"},
        {"RFinger2",       "LFinger2",    "R_GR2",     P::BOX,      {0.9f, 2.4f, 1.1f},   P::UP,      {0, -1.2f, 0},         "accent"},
        {"RHipBlock",      "LHipBlock",   "RThigh",    P::BOX,      {2.4f, 2.6f, 3.6f},   P::UP,      {0, 0, 0},             "frame"},
        {"RUpperLeg",      "LUpperLeg",   "RLegUp",    P::BOX,      {2.8f, 4.4f, 3.2f},   P::UP,      {0, -3.8f, 0},         "shell"},
        {"RKneeBlock",     "LKneeBlock",  "RKnee",     P::CYLINDER, {1.4f, 2.8f, 0},      P::SIDEWAYS, {0, 0, 0},            "frame"},
        {"RShin",          "LShin",       "RKnee",     P::BOX,      {2.8f, 4.6f, 3.0f},   P::UP,      {0, -3.5f, 0},         "shell"},
        {"RShinGuard",     "LShinGuard",  "RKnee",     P::BOX,      {2.0f, 3.4f, 0.5f},   P::UP,      {0, -3.4f, 1.6f},      "accent"},
        {"RAnkleBlock",    "LAnkleBlock", "RAnkle1",   P::BOX,      {2.6f, 2.0f, 3.0f},   P::UP,      {0, -0.4f, 0},         "frame"},
        {"RFootBlock",     "LFootBlock",  "RAnkle2",   P::BOX,      {2.4f, 1.0f, 2.8f},   P::UP,      {0, -0.5f, 0},         "frame"},
        {"RSole",          "LSole",       "RAnkle2",   P::BOX,      {4.8f, 0.9f, 8.8f},   P::UP,      {-0.4f, -1.45f, 0.9f}, "sole"},
    };

    s.lineOrder = {
        "RThigh", "RLegUp", "RKnee", "RAnkle1", "RAnkle2",
        "LThigh", "LLegUp", "LKnee", "LAnkle1", "LAnkle2",
        "RShoulder", "RArm", "RElbow", "LShoulder", "LArm", "LElbow",
        "R_WR1", "L_WR1", "Body",
        "Head", "R_GR1", "R_GR2", "L_GR1", "L_GR2",
    };
    return s;
}
