#include "kgiSamplePose.h"

#include "kgiRobotCheck.h"
#include "kgiRobotFormat.h"

#include "kmlEuler.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

const char* const LEG_JOINTS[2][5] = {
    {"RThigh", "RLegUp", "RKnee", "RAnkle1", "RAnkle2"},
    {"LThigh", "LLegUp", "LKnee", "LAnkle1", "LAnkle2"},
};

// A foot's place is reached when its joint lies this close (cm) to the
// target and its sole this close to level (the length of the difference of
// unit vectors, about the angle in radians).
const double REACH = 1e-3;
const double LEVEL = 1e-4;
// Weight of the sole's tilt against the position in the leg solver: one
// radian of tilt counts as 10 cm.
const double TILT_WEIGHT = 10.0;

kmlVec3 column(const kmlMatrix4& m, int c)
{
    return kmlVec3(m(0, c), m(1, c), m(2, c));
}

kmlVec3 transformPoint(const kmlMatrix4& m, float x, float y, float z)
{
    return kmlVec3(m(0, 0) * x + m(0, 1) * y + m(0, 2) * z + m(0, 3),
                   m(1, 0) * x + m(1, 1) * y + m(1, 2) * z + m(1, 3),
                   m(2, 0) * x + m(2, 1) * y + m(2, 2) * z + m(2, 3));
}

kmlMatrix4 turnAbout(float degrees, const kmlVec3& axis)
{
    kmlMatrix4 m;
    if (degrees != 0.0f)
        m.setRotation(degrees, axis);
    return m;
}

// The six residuals of a leg: the foot joint's distance from its target and
// the tilt of its sole (its frame's x axis points straight down when level).
void legResidual(const kmlMatrix4& w, const kmlVec3& target, double r[6])
{
    for (int k = 0; k < 3; ++k)
        r[k] = double(w(k, 3)) - double(target[k]);
    const kmlVec3 down = column(w, 0);
    r[3] = TILT_WEIGHT * double(down[0]);
    r[4] = TILT_WEIGHT * (double(down[1]) + 1.0);
    r[5] = TILT_WEIGHT * double(down[2]);
}

// Solves the n x n system a x = b in place (partial pivoting); false when
// it is singular.
bool solveLinear(double a[5][5], double b[5], int n)
{
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-12)
            return false;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    for (int c = n - 1; c >= 0; --c) {
        for (int k = c + 1; k < n; ++k)
            b[c] -= a[c][k] * b[k];
        b[c] /= a[c][c];
    }
    return true;
}

} // namespace

kgiSamplePoser::kgiSamplePoser(const kgiRobotModel& robot) : robot(robot)
{
    const std::vector<kmlMatrix4> rest = robot.worldMatrices(robot.readyAngles(), rootMatrix({}, 0, 0, 0));
    for (int side = 0; side < 2; ++side) {
        for (int j = 0; j < 5; ++j)
            legs[side].joints[j] = robot.find(LEG_JOINTS[side][j]);
        legs[side].foot = legs[side].joints[4];
        // The nodes from below the root down to the foot, for its world
        // matrix alone.
        for (int n = legs[side].foot; n > 0; n = robot.getNodes()[size_t(n)].parent)
            legs[side].chain.insert(legs[side].chain.begin(), n);
        legs[side].restPosition =
            legs[side].foot >= 0 ? column(rest[size_t(legs[side].foot)], 3) : kmlVec3(0, 0, 0);
    }
}

kmlMatrix4 kgiSamplePoser::rootMatrix(const kgiSamplePlace& place, float drop, float lean, float tilt) const
{
    // Turned about the vertical, then leaning forward (about the robot's
    // left axis, x) and sideways (about the forward axis, z).
    kmlMatrix4 m = turnAbout(place.yaw, kmlVec3(0, 1, 0));
    m *= turnAbout(lean, kmlVec3(1, 0, 0));
    m *= turnAbout(-tilt, kmlVec3(0, 0, 1));
    kmlMatrix4 stand;
    const kmlVec3 r = kgiRobotModel::rootRotation();
    stand.setRotation(kmlEuler(r[0], r[1], r[2], kmlEuler::ZYX));
    m *= stand;
    m.setTranslation(kmlVec3(place.x, robot.getRootHeight() - drop, place.z));
    return m;
}

kmlMatrix4 kgiSamplePoser::footWorld(const Leg& leg, const std::vector<float>& angles, const kmlMatrix4& root) const
{
    kmlMatrix4 w = root;
    for (int node : leg.chain)
        w *= robot.localMatrix(node, angles);
    return w;
}

kmlVec3 kgiSamplePoser::footTarget(const Leg& leg, const kgiSamplePlace& place, float lift) const
{
    kmlMatrix4 m = turnAbout(place.yaw, kmlVec3(0, 1, 0));
    m.setTranslation(kmlVec3(place.x, lift, place.z));
    return transformPoint(m, leg.restPosition[0], leg.restPosition[1], leg.restPosition[2]);
}

bool kgiSamplePoser::solveLeg(const Leg& leg, const kmlVec3& target, std::vector<float>& angles,
                              const kmlMatrix4& root) const
{
    const float STEP = 0.01f; // degrees, for the numeric derivatives
    const double RAD = 3.14159265358979323846 / 180.0;
    for (int iteration = 0; iteration < 200; ++iteration) {
        double r[6];
        legResidual(footWorld(leg, angles, root), target, r);
        double position = 0.0, tilt = 0.0;
        for (int k = 0; k < 3; ++k) {
            position += r[k] * r[k];
            tilt += r[3 + k] * r[3 + k];
        }
        if (std::sqrt(position) < REACH && std::sqrt(tilt) < LEVEL * TILT_WEIGHT)
            return true;
        double jac[6][5];
        for (int j = 0; j < 5; ++j) {
            std::vector<float> moved = angles;
            moved[size_t(leg.joints[j])] += STEP;
            double rj[6];
            legResidual(footWorld(leg, moved, root), target, rj);
            for (int k = 0; k < 6; ++k)
                jac[k][j] = (rj[k] - r[k]) / (STEP * RAD);
        }
        // Damped least squares: (J'J + l I) d = -J'r, d in radians.
        double a[5][5], b[5];
        for (int i = 0; i < 5; ++i) {
            b[i] = 0.0;
            for (int k = 0; k < 6; ++k)
                b[i] -= jac[k][i] * r[k];
            for (int j = 0; j < 5; ++j) {
                a[i][j] = i == j ? 1e-6 : 0.0;
                for (int k = 0; k < 6; ++k)
                    a[i][j] += jac[k][i] * jac[k][j];
            }
        }
        if (!solveLinear(a, b, 5))
            return false;
        for (int j = 0; j < 5; ++j) {
            // No step of more than 20 degrees at once keeps the solver near
            // the initial pose's bend of the knee.
            const double d = std::max(-20.0, std::min(20.0, b[j] / RAD));
            angles[size_t(leg.joints[j])] += float(d);
        }
    }
    return false;
}

bool kgiSamplePoser::solve(const kgiSampleKey& key, kgiSamplePose& pose, const std::string& label,
                           std::vector<std::string>& faults) const
{
    pose.angles = robot.readyAngles();
    bool ok = true;
    for (const kgiSampleJointValue& v : key.joints) {
        const kgiRobotJointLine* line = nullptr;
        for (const kgiRobotJointLine& l : robot.getLines())
            if (l.name == v.name)
                line = &l;
        const int node = robot.find(v.name);
        if (!line || node < 0) {
            faults.push_back(label + ": no joint " + v.name);
            ok = false;
            continue;
        }
        pose.angles[size_t(node)] = float(line->direction) * v.value;
    }
    pose.root = rootMatrix(key.body, key.drop, key.lean, key.tilt);
    for (int side = 0; side < 2; ++side) {
        const Leg& leg = legs[side];
        if (leg.foot < 0) {
            faults.push_back(label + ": the robot has no leg " + LEG_JOINTS[side][0]);
            return false;
        }
        const bool placed = side == 0 ? key.rightPlaced : key.leftPlaced;
        const kgiSamplePlace& place = placed ? (side == 0 ? key.right : key.left) : key.body;
        const float lift = side == 0 ? key.rightLift : key.leftLift;
        if (!solveLeg(leg, footTarget(leg, place, lift), pose.angles, pose.root)) {
            faults.push_back(label + ": the " + (side == 0 ? "right" : "left") + " foot cannot reach its place");
            ok = false;
        }
    }
    // What the solution leaves: the model's lowest point onto the floor.
    const float low = lowestPoint(pose);
    pose.root(1, 3) -= low;
    if (std::fabs(low) > 0.5f) {
        faults.push_back(kgiRobotFormat("%s: the lowest point lies %.2f cm off the floor", label.c_str(), low));
        ok = false;
    }
    return ok;
}

namespace {

// The world box of one mesh: the corners of its own box.
void meshBounds(const kgiRobotMesh& m, const kmlMatrix4& world, kmlVec3& lo, kmlVec3& hi)
{
    for (int c = 0; c < 8; ++c) {
        const kmlVec3 p = transformPoint(world, (c & 1) ? m.boxMax[0] : m.boxMin[0], (c & 2) ? m.boxMax[1] : m.boxMin[1],
                                         (c & 4) ? m.boxMax[2] : m.boxMin[2]);
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
}

} // namespace

bool kgiSamplePoser::touches(const kgiSamplePose& pose, const kmlVec3& lo, const kmlVec3& hi) const
{
    const std::vector<kmlMatrix4> world = robot.worldMatrices(pose.angles, pose.root);
    const std::vector<kgiRobotNode>& nodes = robot.getNodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].mesh.vertexCount() == 0)
            continue;
        kmlVec3 a(FLT_MAX, FLT_MAX, FLT_MAX), b(-FLT_MAX, -FLT_MAX, -FLT_MAX);
        meshBounds(nodes[i].mesh, world[i], a, b);
        bool apart = false;
        for (int k = 0; k < 3; ++k)
            apart |= b[k] <= lo[k] || a[k] >= hi[k];
        if (!apart)
            return true;
    }
    return false;
}

void kgiSamplePoser::bounds(const kgiSamplePose& pose, kmlVec3& lo, kmlVec3& hi) const
{
    const std::vector<kmlMatrix4> world = robot.worldMatrices(pose.angles, pose.root);
    lo = kmlVec3(FLT_MAX, FLT_MAX, FLT_MAX);
    hi = kmlVec3(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    const std::vector<kgiRobotNode>& nodes = robot.getNodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        const kgiRobotMesh& m = nodes[i].mesh;
        if (m.vertexCount() == 0)
            continue;
        // The corners of the mesh's box, as the program's bounds take them.
        meshBounds(m, world[i], lo, hi);
    }
}

float kgiSamplePoser::lowestPoint(const kgiSamplePose& pose) const
{
    kmlVec3 lo, hi;
    bounds(pose, lo, hi);
    return lo[1];
}

float kgiSamplePoser::distanceFromInitial(const kgiSamplePose& pose) const
{
    const std::vector<float> ready = robot.readyAngles();
    float most = 0.0f;
    for (const kgiRobotJointLine& l : robot.getLines()) {
        const int node = robot.find(l.name);
        if (node >= 0)
            most = std::max(most, std::fabs(pose.angles[size_t(node)] - ready[size_t(node)]));
    }
    return most;
}

void kgiSamplePoser::check(const kgiSamplePose& pose, const std::string& label,
                           std::vector<std::string>& faults) const
{
    for (const kgiRobotJointLine& l : robot.getLines()) {
        const int node = robot.find(l.name);
        if (node < 0)
            continue;
        const float turn = pose.angles[size_t(node)];
        if (!(l.minAngle <= turn && turn <= l.maxAngle))
            faults.push_back(kgiRobotFormat("%s: %s at %.2f, outside its limits %g..%g", label.c_str(),
                                            l.name.c_str(), turn, l.minAngle, l.maxAngle));
        const int servo = kgiRobotCheck::servoValue(l, float(l.direction) * turn);
        if (servo < 10 || servo > 190)
            faults.push_back(kgiRobotFormat("%s: %s gives servo value %d", label.c_str(), l.name.c_str(), servo));
    }
    kgiRobotCheck::collisionsInPose(robot, pose.angles, label, faults);
    const float low = lowestPoint(pose);
    if (std::fabs(low) > FLOOR_TOLERANCE)
        faults.push_back(kgiRobotFormat("%s: the lowest point lies at %.3f, not on the floor", label.c_str(), low));
}
