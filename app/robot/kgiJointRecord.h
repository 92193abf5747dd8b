#pragma once
// One joint of the robot as its joint file (model.ini) describes it: the
// rotation axis of its model node, its limits, and the servo it drives.
// The defaults are the record a lookup of an unknown name or servo gives:
// no servo axis, no limit worth the name, no servo.
#include <cstdint>

struct kgiJointRecord {
    // Rotation axis of the node: 0 x, 1 y, 2 z; 3 no axis (not a servo
    // joint).
    std::int32_t axis = 3;
    // Euler order code (kmlEuler) that takes the joint angle out of the
    // node's local matrix; derived from axis when read (0 -> 0, 1 -> 3,
    // else 5).
    std::int32_t eulerOrder = 5;
    // Limits of the raw angle, degrees.
    float minAngle = -180.0f;
    float maxAngle = 180.0f;
    // Sign between the raw angle and the joint value.
    std::int32_t direction = 1;
    // Servo channel 0..23; -1 none.
    std::int32_t servoId = -1;
    // Servo units per degree and the servo value at angle 0.
    float scale = 1.0f;
    float offset = 0.0f;

    // The Euler order code that goes with an axis.
    static std::int32_t orderOfAxis(std::int32_t axis) { return axis == 0 ? 0 : (axis == 1 ? 3 : 5); }

    bool operator==(const kgiJointRecord& o) const
    {
        return axis == o.axis && eulerOrder == o.eulerOrder && minAngle == o.minAngle &&
               maxAngle == o.maxAngle && direction == o.direction && servoId == o.servoId &&
               scale == o.scale && offset == o.offset;
    }
    bool operator!=(const kgiJointRecord& o) const { return !(*this == o); }
};
