#pragma once
// The factory tool's checks of its own robot: what the program relies on
// when it loads the model, reads its joint table, mirrors poses, levels the
// feet and tests parts for collision. Each check appends one readable
// message per fault; an empty list means the robot is sound. The build
// fails when any message comes out.
#include "kgiRobotModel.h"

#include <string>
#include <vector>

class kgiRobotCheck {
public:
    // Every check below, in this order.
    static std::vector<std::string> all(const kgiRobotModel& model);

    // Node tree and names: node 0 is the only root and the only node of
    // depth 0, depths step down by at most one, names are unique, of
    // letters, digits and underscores, at most 55 characters, and none but
    // the root's begins with the root's name; meshes sit only on leaf mesh
    // nodes, each with its colour; every joint is a line of the table.
    static void structure(const kgiRobotModel& model, std::vector<std::string>& faults);
    // The names the program looks up exist where it looks for them: one
    // limb root per limb, wrists below arm roots, feet and ankles below leg
    // roots, grips below the wrists turning about z, "Body" and "RShoulder".
    static void lookups(const kgiRobotModel& model, std::vector<std::string>& faults);
    // The joint table as written (parsed back from its text): 24 lines,
    // servo channels 0..23 once each in the board's left/right layout, the
    // initial values inside the limits and read back from the model's rest
    // pose exactly onto the power-on servo pose, and the servo values of
    // both limits, widened by the limit test's 3 degrees, on 10..190.
    static void jointTable(const kgiRobotModel& model, std::vector<std::string>& faults);
    // Mirroring: every joint frame's z is the left-right axis, twins turn
    // into each other as L -> T L T (T = diag(1, 1, -1)) at rest, centre
    // joints into themselves, and the program's own pairing finds exactly
    // the twins of the description.
    static void mirroring(const kgiRobotModel& model, std::vector<std::string>& faults);
    // Inverse kinematics: an IK drag that grabs any joint of a limb (a
    // finger, a foot) pulls the limb from its limb root, as the program
    // builds the chain over the node tree it loads (servo joints take part,
    // helpers, meshes and the root do not, and helpers do not branch).
    static void ikChains(const kgiRobotModel& model, std::vector<std::string>& faults);
    // Feet stand level in the ready pose: world Euler angles (order ZYX)
    // y 0 and z -90, the target of the foot-levelling tool.
    static void feet(const kgiRobotModel& model, std::vector<std::string>& faults);
    // No two parts that are not joined overlap in the ready pose, nor with
    // both hands closed, so the model never starts in collision colour.
    static void collisions(const kgiRobotModel& model, std::vector<std::string>& faults);
    // The same test in one pose (stored turns by node); `pose` names it in
    // the messages.
    static void collisionsInPose(const kgiRobotModel& model, const std::vector<float>& angles,
                                 const std::string& pose, std::vector<std::string>& faults);

    // Parses joint table text as the program scans it
    // ("%d : %s = %f :%d,%f,%f,%d :%d,%f,%f;"); lines that do not scan
    // whole are reported in `faults`.
    static std::vector<kgiRobotJointLine> parseJointTable(const std::string& text,
                                                          std::vector<std::string>& faults);
    // The servo value the program sends for a joint value.
    static int servoValue(const kgiRobotJointLine& line, float value);
    // The joint value the program reads from a local rotation (Euler angles
    // of order ZYX, degrees) under a line's axis and direction.
    static float jointValue(const kgiRobotJointLine& line, const kmlVec3& rotation);

    // Grip angles of a closed hand, first and second grip (degrees).
    static constexpr float GRIP_CLOSED_1 = 70.0f;
    static constexpr float GRIP_CLOSED_2 = 85.0f;
    // The limit test lets a joint go this many degrees past its limits.
    static constexpr float LIMIT_MARGIN = 3.0f;
    // Parts must stand at least this far apart (cm) to count as separate.
    static constexpr float CLEARANCE = 0.05f;
};
