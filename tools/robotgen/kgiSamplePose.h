#pragma once
// Turns the keys of a sample description into poses of the factory robot
// and holds each pose to the rules every sample keeps: joint values inside
// the joint table's limits (so the board gets servo values from 10 to
// 190), no two parts that are not joined overlapping, the lowest point on
// the floor.
//
// The legs are solved: each foot is put where the key places it, its sole
// level, by the five joints of its leg (hip sideways and forward, knee,
// ankle forward and sideways). The root is then lowered or raised by the
// little the solution leaves so the lowest point of the model lies on the
// floor (y = 0).
#include "kgiRobotModel.h"
#include "kgiSampleDesc.h"

#include "kmlMatrix4.h"

#include <string>
#include <vector>

struct kgiSamplePose {
    std::vector<float> angles; // stored turns by node, as kgiRobotModel takes them
    kmlMatrix4 root;           // the root's local (= world) matrix
};

class kgiSamplePoser {
public:
    explicit kgiSamplePoser(const kgiRobotModel& robot);

    // The pose of one key. False, with a message in `faults` naming
    // `label`, when a joint is unknown or a foot cannot reach its place.
    bool solve(const kgiSampleKey& key, kgiSamplePose& pose, const std::string& label,
               std::vector<std::string>& faults) const;
    // The rules of every key: limits (margin 0), servo values 10..190, no
    // part collision, lowest point within FLOOR_TOLERANCE of the floor.
    void check(const kgiSamplePose& pose, const std::string& label, std::vector<std::string>& faults) const;
    // Largest difference (degrees) of any joint from its initial value.
    float distanceFromInitial(const kgiSamplePose& pose) const;
    // The lowest point of the model in the pose (y).
    float lowestPoint(const kgiSamplePose& pose) const;
    // The world box of the whole model in the pose.
    void bounds(const kgiSamplePose& pose, kmlVec3& lo, kmlVec3& hi) const;
    // Whether the world box of any one part overlaps the box lo..hi.
    bool touches(const kgiSamplePose& pose, const kmlVec3& lo, const kmlVec3& hi) const;
    // The root's local matrix for a body place, drop and leans, before the
    // floor correction.
    kmlMatrix4 rootMatrix(const kgiSamplePlace& place, float drop, float lean, float tilt) const;

    static constexpr float FLOOR_TOLERANCE = 0.05f;

private:
    // Node indices of one leg, hip to foot.
    struct Leg {
        int joints[5];
        int foot;            // the sideways ankle joint that carries the sole
        kmlVec3 restPosition; // the foot joint's world position in the initial pose
        std::vector<int> chain; // the nodes from below the root to the foot
    };
    // The foot's world matrix: only its chain evaluated.
    kmlMatrix4 footWorld(const Leg& leg, const std::vector<float>& angles, const kmlMatrix4& root) const;
    bool solveLeg(const Leg& leg, const kmlVec3& target, std::vector<float>& angles, const kmlMatrix4& root) const;
    kmlVec3 footTarget(const Leg& leg, const kgiSamplePlace& place, float lift) const;

    const kgiRobotModel& robot;
    Leg legs[2]; // right, left
};
