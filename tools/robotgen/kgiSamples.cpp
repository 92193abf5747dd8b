// The sample motions of the options dialog's sample tab: forty short
// motions of DORUZAVO-1 a beginner can read, play and chain into motions
// of their own, and the rows the lessons choose.
//
// Every sample starts and ends in the initial pose (the ready crouch of
// the joint table) with the robot standing where it started or where its
// steps took it, the first key facing +z; so "Add" can chain any sample
// after any other, whichever base part the settings name. Each key is
// written as the place of the body and the feet and the values of the
// other joints (see kgiSampleDesc.h); the factory tool solves the legs and
// checks every key.
//
// Joint values as the joint tab shows them. Arms: shoulder swing
// (negative forward, up to -87), arm lift sideways (20 at rest, up to
// 175 overhead), elbow bend (-20 at rest, negative bends forward); the
// left arm's values mean the same movement on its side. Waist "Body" and
// "Head" turn about the vertical (positive to the robot's right as the
// right-side joints count it). Grips close from 0 (open) to 87.
//
// The lessons rely on these rows:
//   1  the bow: keys at 0, 15, 45 and 75 exactly (lesson texts name them),
//      also the lessons' timesheet 1_Bow.ts;
//   10 the walking unit of the courses: D = kgiSampleCourseLayout::WALK
//      straight ahead;
//   13 the motion lesson 1 reads and plays;
//   27 the media lesson's dance: a key every 20 frames from 0 to 500, on
//      the beat of its music (100 beats a minute at 33.333 frames a second);
//   34, 39 the starts of the normal and the obstacle course;
//   35, 36 the obstacle course's moves: over the low bar, past the wall.
#include "kgiSampleDesc.h"

#include <cmath>

namespace {

using Keys = std::vector<kgiSampleKey>;
using L = kgiSampleCourseLayout;

kgiSampleKeyMaker stand(int frame, float x = 0.0f, float z = 0.0f, float yaw = 0.0f)
{
    return key(frame).at(x, z, yaw).feet(x, z, yaw);
}

// Walks straight ahead (or back, for a negative distance) from (x, z)
// facing yaw 0, in steps of at most `stride` per foot, starting with the
// right foot: each step lifts a foot, swings it past the other and sets it
// down, the body halfway between the feet, the arms swinging against the
// legs. `every` frames a key.
Keys walk(float distance, float stride, int every, int startFrame = 0)
{
    Keys k;
    int f = startFrame;
    k.push_back(stand(f));
    // Each step sets the moving foot one stride `s` ahead of the other; the
    // last one brings the trailing foot level.
    const int steps = int(std::ceil(std::fabs(distance) / stride)) + 1;
    const float s = distance / float(steps - 1);
    float right = 0.0f, left = 0.0f;
    for (int i = 0; i < steps; ++i) {
        const bool rightMoves = i % 2 == 0;
        const float target = i == steps - 1 ? distance : float(i + 1) * s;
        float& moving = rightMoves ? right : left;
        const float other = rightMoves ? left : right;
        const float mid = (moving + target) / 2;
        const float swing = rightMoves ? 10.0f : -10.0f;
        kgiSampleKeyMaker lifted = key(f += every).at(0, (other + mid) / 2).drop(0.6f);
        if (rightMoves)
            lifted.rightFoot(0, mid, 0, 1.8f).leftFoot(0, other);
        else
            lifted.leftFoot(0, mid, 0, 1.8f).rightFoot(0, other);
        lifted.rightArm(swing, 22, -24).leftArm(-swing, 22, -24);
        k.push_back(lifted);
        moving = target;
        if (i < steps - 1)
            k.push_back(key(f += every)
                            .at(0, (right + left) / 2)
                            .drop(0.6f)
                            .rightFoot(0, right)
                            .leftFoot(0, left)
                            .rightArm(swing / 2, 21, -22)
                            .leftArm(-swing / 2, 21, -22));
    }
    k.push_back(stand(f += every, 0, distance));
    return k;
}

// Side steps of `each` cm (negative to the robot's right) until `distance`
// is covered: the leading foot out, then the other after it.
Keys sideSteps(float distance, float each, int every)
{
    Keys k;
    int f = 0;
    k.push_back(stand(f));
    const int steps = int(std::ceil(std::fabs(distance / each)));
    const float s = distance / float(steps);
    float x = 0.0f;
    for (int i = 0; i < steps; ++i) {
        const float next = x + s;
        const bool toRight = s < 0;
        // Lead foot lifted and out.
        kgiSampleKeyMaker a = key(f += every).at(x + s / 4, 0).drop(0.5f).arms(0, 30, -25);
        kgiSampleKeyMaker b = key(f += every).at(x + s / 2, 0).drop(0.5f).arms(0, 35, -25);
        kgiSampleKeyMaker c = key(f += every).at(x + 3 * s / 4, 0).drop(0.5f).arms(0, 30, -25);
        if (toRight) {
            a.rightFoot(x + s / 2, 0, 0, 1.5f).leftFoot(x, 0);
            b.rightFoot(next, 0).leftFoot(x, 0);
            c.rightFoot(next, 0).leftFoot(x + s / 2, 0, 0, 1.5f);
        } else {
            a.leftFoot(x + s / 2, 0, 0, 1.5f).rightFoot(x, 0);
            b.leftFoot(next, 0).rightFoot(x, 0);
            c.leftFoot(next, 0).rightFoot(x + s / 2, 0, 0, 1.5f);
        }
        k.push_back(a);
        k.push_back(b);
        k.push_back(c);
        x = next;
    }
    k.push_back(stand(f += every, distance, 0));
    return k;
}

// Turns on the spot by `degrees` (positive to the left) in turns of at most
// `each`: the foot on the turning side is lifted and set down turned, then
// the other follows.
Keys turn(float degrees, float each, int every)
{
    Keys k;
    int f = 0;
    k.push_back(stand(f));
    const int steps = int(std::ceil(std::fabs(degrees / each)));
    const float s = degrees / float(steps);
    float yaw = 0.0f;
    for (int i = 0; i < steps; ++i) {
        const float next = yaw + s;
        kgiSampleKeyMaker a = key(f += every).at(0, 0, yaw + s / 2).drop(0.5f).arms(0, 25, -30);
        kgiSampleKeyMaker b = key(f += every).at(0, 0, next).drop(0.5f).arms(0, 25, -30);
        if (s > 0) { // left foot leads a turn to the left
            a.leftFoot(0, 0, next, 1.5f).rightFoot(0, 0, yaw);
            b.leftFoot(0, 0, next).rightFoot(0, 0, next, 1.5f);
        } else {
            a.rightFoot(0, 0, next, 1.5f).leftFoot(0, 0, yaw);
            b.rightFoot(0, 0, next).leftFoot(0, 0, next, 1.5f);
        }
        k.push_back(a);
        k.push_back(b);
        yaw = next;
    }
    k.push_back(stand(f += every, 0, 0, degrees));
    return k;
}

// A standing pose with the given arm values at every key between two
// initial poses: the motions of the arms, head and waist.
Keys poses(const std::vector<kgiSampleKeyMaker>& middle, int end)
{
    Keys k;
    k.push_back(stand(0));
    for (const kgiSampleKeyMaker& m : middle)
        k.push_back(m);
    k.push_back(stand(end));
    return k;
}

} // namespace

std::vector<kgiSampleMotion> kgiSampleMotions()
{
    std::vector<kgiSampleMotion> rows;
    auto add = [&rows](const std::string& name, const std::string& role, Keys keys) {
        rows.push_back({int(rows.size()) + 1, std::to_string(rows.size() + 1) + "_" + name, role, std::move(keys)});
    };

    add("Bow", "a polite bow: standing, bending, deep bow, standing (lessons 2 to 5 open it as 1_Bow.ts)",
        {stand(0),
         stand(15).at(0, -0.6f).feet(0, 0).lean(14).drop(0.3f).arms(-8, 18, -25),
         stand(45).at(0, -1.6f).feet(0, 0).lean(32).drop(0.9f).arms(-14, 16, -30),
         stand(75)});
    add("WaveRight", "waves the right hand high at the side",
        poses({stand(10).rightArm(0, 150, -40), stand(20).rightArm(0, 165, -60), stand(30).rightArm(0, 140, -30),
               stand(40).rightArm(0, 165, -60), stand(50).rightArm(0, 140, -30)},
              62));
    add("WaveLeft", "waves the left hand high at the side",
        poses({stand(10).leftArm(0, 150, -40), stand(20).leftArm(0, 165, -60), stand(30).leftArm(0, 140, -30),
               stand(40).leftArm(0, 165, -60), stand(50).leftArm(0, 140, -30)},
              62));
    add("BothArmsUp", "raises both arms overhead and lowers them",
        poses({stand(15).arms(0, 90, -10), stand(30).arms(0, 160, 0), stand(50).arms(0, 160, 0)}, 70));
    add("Squat", "a knee bend with the arms held forward",
        poses({stand(20).drop(2.4f).arms(-70, 20, -10), stand(35).drop(2.4f).arms(-70, 20, -10)}, 55));
    add("StepRight", "one side step to the right", sideSteps(-4.0f, 4.0f, 8));
    add("StepLeft", "one side step to the left", sideSteps(4.0f, 4.0f, 8));
    add("ShakeHead", "looks left and right, saying no",
        poses({stand(8).set("Head", 40), stand(18).set("Head", -40), stand(28).set("Head", 40),
               stand(38).set("Head", -40)},
              46));
    add("ArmCircle", "arm exercise: arms forward, up at the sides, out and down",
        poses({stand(12).arms(-80, 20, 0), stand(24).arms(0, 90, 0), stand(36).arms(0, 160, 0), stand(48).arms(0, 90, 0)},
              60));
    add("WalkForward", "walks straight ahead 18 cm: the courses' walking unit", walk(L::WALK, 6.0f, 7));
    add("Clap", "claps the hands in front of the chest three times",
        poses({stand(8).arms(-70, 25, -30), stand(14).arms(-70, 9, -30), stand(20).arms(-70, 25, -30),
               stand(26).arms(-70, 9, -30), stand(32).arms(-70, 25, -30), stand(38).arms(-70, 9, -30)},
              48));
    add("LookAround", "turns the waist and the head to look around",
        poses({stand(15).set("Body", 35).set("Head", 30), stand(35).set("Body", -35).set("Head", -30),
               stand(50).set("Body", 0).set("Head", 0)},
              58));
    add("Cheer", "a lively cheer: both arms pumped high, fists closed, knees bouncing",
        poses({stand(6).drop(1.2f).arms(-20, 150, -70).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(12).arms(0, 165, -10).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(18).drop(1.2f).arms(-20, 150, -70).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(24).arms(0, 165, -10).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(30).drop(1.2f).arms(-20, 150, -70).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85)},
              40));
    add("TurnLeft", "turns a quarter to the left on the spot", turn(90.0f, 22.5f, 7));
    add("TurnRight", "turns a quarter to the right on the spot", turn(-90.0f, 22.5f, 7));
    add("WalkShort", "walks ahead 9 cm", walk(9.0f, 6.0f, 7));
    add("WalkLong", "walks ahead 27 cm", walk(27.0f, 6.0f, 7));
    add("WalkBack", "walks back 12 cm", walk(-12.0f, 5.0f, 8));
    add("KickRight", "a kick forward with the right foot",
        {stand(0),
         stand(10).at(0.6f, -0.3f).rightFoot(0, 0).leftFoot(0, 0).drop(0.8f).tilt(4).arms(0, 35, -30),
         key(20).at(0.6f, -0.6f).drop(1.0f).tilt(4).leftFoot(0, 0).rightFoot(0, 2, 0, 1.5f).arms(10, 35, -40),
         key(28).at(0.6f, -0.8f).drop(1.0f).tilt(4).leftFoot(0, 0).rightFoot(0, 6, 0, 3.0f).arms(-20, 35, -40),
         key(40).at(0.6f, -0.3f).drop(0.8f).tilt(4).leftFoot(0, 0).rightFoot(0, 0, 0, 1.0f).arms(0, 35, -30),
         stand(52)});
    add("KickLeft", "a kick forward with the left foot",
        {stand(0),
         stand(10).at(-0.6f, -0.3f).rightFoot(0, 0).leftFoot(0, 0).drop(0.8f).tilt(-4).arms(0, 35, -30),
         key(20).at(-0.6f, -0.6f).drop(1.0f).tilt(-4).rightFoot(0, 0).leftFoot(0, 2, 0, 1.5f).arms(10, 35, -40),
         key(28).at(-0.6f, -0.8f).drop(1.0f).tilt(-4).rightFoot(0, 0).leftFoot(0, 6, 0, 3.0f).arms(-20, 35, -40),
         key(40).at(-0.6f, -0.3f).drop(0.8f).tilt(-4).rightFoot(0, 0).leftFoot(0, 0, 0, 1.0f).arms(0, 35, -30),
         stand(52)});
    add("KneeLifts", "leg exercise: lifts each knee in turn",
        {stand(0),
         key(10).drop(0.3f).leftFoot(0, 0).rightFoot(0, 2.0f, 0, 2.6f).arms(-30, 20, -60),
         stand(20),
         key(30).drop(0.3f).rightFoot(0, 0).leftFoot(0, 2.0f, 0, 2.6f).arms(-30, 20, -60),
         stand(40),
         key(50).drop(0.3f).leftFoot(0, 0).rightFoot(0, 2.0f, 0, 2.6f).arms(-30, 20, -60),
         stand(60),
         key(70).drop(0.3f).rightFoot(0, 0).leftFoot(0, 2.0f, 0, 2.6f).arms(-30, 20, -60),
         stand(80)});
    add("LegSwing", "leg exercise: swings each leg out to the side",
        {stand(0),
         key(12).at(0.8f, 0).drop(0.8f).leftFoot(0, 0).rightFoot(-3, 0, 0, 2.5f).arms(0, 60, -10),
         stand(24),
         key(36).at(-0.8f, 0).drop(0.8f).rightFoot(0, 0).leftFoot(3, 0, 0, 2.5f).arms(0, 60, -10),
         stand(48)});
    add("WaistTwist", "twists the waist left and right with the arms out",
        poses({stand(10).arms(0, 80, -10), stand(22).arms(0, 80, -10).set("Body", 45),
               stand(38).arms(0, 80, -10).set("Body", -45), stand(50).arms(0, 80, -10)},
              60));
    add("SideBend", "bends to each side, the other arm overhead",
        poses({stand(15).feet(0, 0).tilt(12).rightArm(0, 150, -20), stand(25), stand(40).feet(0, 0).tilt(-12).leftArm(0, 150, -20)},
              52));
    add("Punches", "punches forward, right and left in turn",
        poses({stand(6).arms(-20, 25, -80), stand(12).rightArm(-80, 15, 0).leftArm(-20, 25, -80),
               stand(18).arms(-20, 25, -80), stand(24).leftArm(-80, 15, 0).rightArm(-20, 25, -80),
               stand(30).arms(-20, 25, -80), stand(36).rightArm(-80, 15, 0).leftArm(-20, 25, -80)},
              46));
    add("Salute", "a salute with the right hand",
        poses({stand(12).rightArm(-40, 80, -85), stand(36).rightArm(-40, 80, -85)}, 48));
    add("Dance", "the media lesson's dance: a key on every beat of its music (100 a minute), 15 s",
        [] {
            // Six moves in turn, the feet kept on their places, the hips
            // swaying; a key every 20 frames, 33.333 frames a second.
            Keys k{stand(0)};
            for (int beat = 1; beat < 25; ++beat) {
                kgiSampleKeyMaker m = stand(beat * 20).feet(0, 0);
                switch (beat % 6) {
                case 1: m.drop(0.8f).arms(0, 140, -10); break;
                case 2: m.at(-0.8f, 0).tilt(-5).rightArm(0, 90, 0).leftArm(-60, 20, -60); break;
                case 3: m.drop(0.8f).arms(-70, 9, -30); break;
                case 4: m.at(0.8f, 0).tilt(5).leftArm(0, 90, 0).rightArm(-60, 20, -60); break;
                case 5: m.drop(0.4f).arms(-30, 60, -80).set("Body", 30).set("Head", -20); break;
                default: m.drop(0.4f).arms(-30, 60, -80).set("Body", -30).set("Head", 20); break;
                }
                k.push_back(m);
            }
            k.push_back(stand(500));
            return k;
        }());
    add("ShortDance", "a short dance: a sway each way with the arms up",
        poses({stand(10).feet(0, 0).at(-0.8f, 0).tilt(-5).arms(0, 130, -20),
               stand(20).feet(0, 0).drop(0.8f).arms(-70, 9, -30),
               stand(30).feet(0, 0).at(0.8f, 0).tilt(5).arms(0, 130, -20),
               stand(40).feet(0, 0).drop(0.8f).arms(-70, 9, -30)},
              52));
    add("Point", "points ahead with the right hand and looks that way",
        poses({stand(12).rightArm(-85, 20, 0).set("Head", -10), stand(36).rightArm(-85, 20, 0).set("Head", -10)}, 48));
    add("HandsOpenClose", "holds the hands out and closes and opens them",
        poses({stand(10).arms(-60, 20, -20),
               stand(20).arms(-60, 20, -20).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(30).arms(-60, 20, -20),
               stand(40).arms(-60, 20, -20).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(50).arms(-60, 20, -20)},
              60));
    add("TurnAround", "turns half round to the left on the spot", turn(180.0f, 22.5f, 6));
    add("Stretch", "stretches the arms overhead and leans back a little",
        poses({stand(15).arms(0, 160, 0), stand(30).feet(0, 0).lean(-6).arms(0, 165, 0), stand(45).arms(0, 160, 0)}, 60));
    add("Welcome", "opens the arms wide in welcome",
        poses({stand(15).arms(-30, 75, -15), stand(40).arms(-30, 75, -15).set("Head", 0)}, 55));
    add("NormalStart", "the normal course's start: stands ready behind the start line",
        {stand(0, L::NORMAL_START_X, L::NORMAL_START_Z),
         stand(15, L::NORMAL_START_X, L::NORMAL_START_Z).arms(-30, 20, -60),
         stand(30, L::NORMAL_START_X, L::NORMAL_START_Z)});
    add("StepOverBar", "steps over a low bar just ahead, 13 cm forward (obstacle course)",
        {stand(0),
         key(8).at(0, -0.5f).drop(0.4f).leftFoot(0, 0).rightFoot(0, 1.5f, 0, 2.0f).arms(0, 24, -30),
         key(16).at(0, 5.5f).drop(0.8f).leftFoot(0, 0).rightFoot(0, L::STEP_OVER, 0, 2.0f).arms(0, 24, -30),
         key(24).at(0, 6.5f).drop(1.0f).leftFoot(0, 0).rightFoot(0, L::STEP_OVER).arms(0, 24, -30),
         key(32).at(0, 8.0f).drop(1.0f).rightFoot(0, L::STEP_OVER).leftFoot(0, 0, 0, 2.0f).arms(0, 24, -30),
         key(40).at(0, 10.5f).drop(0.8f).rightFoot(0, L::STEP_OVER).leftFoot(0, L::STEP_OVER, 0, 1.8f).arms(0, 24, -30),
         stand(48, 0, L::STEP_OVER)});
    add("SideStepRight", "side steps 18 cm to the right, past the wall (obstacle course)",
        sideSteps(L::SIDE_STEP, 4.5f, 7));
    add("SideStepLeft", "side steps 18 cm to the left", sideSteps(-L::SIDE_STEP, 4.5f, 7));
    add("Goodbye", "waves goodbye with both hands high",
        poses({stand(10).arms(0, 150, -30), stand(20).arms(0, 165, -60), stand(30).arms(0, 140, -30),
               stand(40).arms(0, 165, -60)},
              52));
    add("ObstacleStart", "the obstacle course's start: stands ready in the wall's half behind the start line",
        {stand(0, L::OBSTACLE_START_X, L::OBSTACLE_START_Z),
         stand(15, L::OBSTACLE_START_X, L::OBSTACLE_START_Z).arms(-30, 20, -60),
         stand(30, L::OBSTACLE_START_X, L::OBSTACLE_START_Z)});
    add("Victory", "a victory pose: both arms up, fists closed, a little jump of the knees",
        poses({stand(10).drop(1.5f).arms(-30, 40, -70),
               stand(20).arms(0, 155, -10).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85),
               stand(40).arms(0, 155, -10).set("R_GR1", 70).set("R_GR2", 85).set("L_GR1", 70).set("L_GR2", 85)},
              55));
    return rows;
}
