#pragma once
// The readable description of a robot model from which the factory tool
// builds the binary scene, the joint table and the default project.
//
// Everything is given in the robot's straight standing pose (every servo
// joint at angle 0), in the world frame of the editor: x runs to the
// robot's left, y up (the floor is y = 0), z forward (the robot faces +z).
// Lengths are centimetres.
//
// Only the right side and the centre line are written down. Every joint or
// part with a left name gets a left twin: its offsets mirrored in x, its
// twist and roll limits mirrored, its own servo. That makes the two sides
// exact mirror images, which the program's pose mirroring needs.
#include <cstdint>
#include <string>
#include <vector>

// A colour of the model, stored as one material of the scene file: every
// value is a byte, read back as byte / 255.
struct kgiRobotColour {
    const char* name;
    uint8_t diffuse[4];  // red, green, blue, alpha
    uint8_t specular[3];
    uint8_t shininess;
    uint8_t ambient[4];
};

// A mesh of the model: a generated box or cylinder hung below a joint.
struct kgiRobotPartSpec {
    enum Shape { BOX, CYLINDER };
    // Direction of a cylinder's axis in the standing pose.
    enum Along { UP, SIDEWAYS, FORWARD };

    const char* name;     // node name (right side or centre)
    const char* leftName; // node name of the left twin; null on the centre line
    const char* joint;    // the joint (or the root) the part moves with
    Shape shape;
    // BOX: width (x), height (y), depth (z). CYLINDER: radius, length, unused.
    float size[3];
    Along along;          // CYLINDER only
    float centre[3];      // centre of the part relative to its joint
    const char* colour;
};

// A servo joint: one hinge of the robot, one line of the joint table. Or,
// with `helper` set, a fixed node that only carries joints (see below).
struct kgiRobotJointSpec {
    // Rotation axis of the joint, as the joint table numbers it. In every
    // joint's own frame x runs along the limb (down in the standing pose),
    // y to the back and z to the robot's left:
    //   TWIST 0: about the limb (waist, neck, wrists),
    //   ROLL  1: about the front-back axis (hips, shoulders sideways, ankles
    //            sideways),
    //   PITCH 2: about the left-right axis (every forward or backward bend).
    enum Axis { TWIST = 0, ROLL = 1, PITCH = 2 };

    const char* name;
    const char* leftName; // left twin, or null on the centre line
    const char* parent;   // parent joint (or the root)
    float offset[3];      // position relative to the parent joint
    Axis axis;
    // Right-side angles in degrees, as rotations about the axis (a positive
    // pitch swings a hanging limb backward; a positive roll swings a right
    // limb outward). The joint value of a right or centre joint is this
    // angle; the left twin's value means the same movement on its side.
    float initial;        // the ready pose the program starts in
    float minAngle;
    float maxAngle;
    int servo;            // board channel 0..23
    int leftServo;        // channel of the left twin; -1 on the centre line
    // Servo value = joint value x scale + offset: offset is what the board
    // reads at joint value 0.
    float servoOffset;
    float servoScale;
    // A helper node instead of a servo: it never turns, has no line in the
    // joint table, and its axis, angles and servo fields are not read. It
    // is stored as node kind 4, which the program takes for a helper and
    // (having no servo) leaves out of IK chains: a joint whose joints hang
    // below one helper does not branch for IK. Make it with helperNode.
    bool helper = false;

    static kgiRobotJointSpec helperNode(const char* name, const char* leftName, const char* parent)
    {
        return {name, leftName, parent, {0, 0, 0}, TWIST, 0, 0, 0, -1, -1, 0, 0, true};
    }
};

// A whole robot: the root node, the joints, the parts, the colours and the
// order of the joint table's lines.
struct kgiRobotDesc {
    std::string modelName; // model id: names the files and the folders
    const char* rootName;  // the root node (the pelvis); no other name may begin with it
    std::vector<kgiRobotColour> colours;
    std::vector<kgiRobotJointSpec> joints; // parents before children
    std::vector<kgiRobotPartSpec> parts;
    std::vector<std::string> lineOrder;    // joint table lines, by node name
    int defaultServos[24];                 // the board's pose at power-on

    // The DORUZAVO-1 humanoid shipped with the program.
    static kgiRobotDesc doruzavo1();
};
