#pragma once
// The readable description of the sample motions the options dialog's
// sample tab lists, and of the course scenes the course lessons load.
//
// A sample is a row of the sample list: its number, its name and a short
// statement of its role, and its keys. A key says where the robot stands
// and how it holds itself; the factory tool turns it into joint values
// (solving the legs so that each foot lands where the key puts it, its sole
// level) and checks the result against the robot's rules.
//
// Units as in the robot's description: centimetres and degrees, x to the
// robot's left, y up, z forward (the robot starts facing +z).
#include <string>
#include <vector>

// A place on the floor: where the robot stands, or where one foot stands,
// given as the place of a whole robot standing there in the initial pose
// (x and z of its root, turned by yaw), so a foot's place names the spot
// that foot takes when the robot stands at (x, z) turned by yaw.
struct kgiSamplePlace {
    float x = 0.0f;
    float z = 0.0f;
    float yaw = 0.0f; // degrees, positive turns the robot to its left
};

struct kgiSampleJointValue {
    std::string name; // a joint of the joint table
    float value;      // its joint value, as the joint table and the options dialog show it
};

struct kgiSampleKey {
    int frame = 0;
    // The body (the root): its place, how far the hips sink below their
    // height in the initial pose, and how far they lean forward (lean) and
    // to the robot's left (tilt), degrees.
    kgiSamplePlace body;
    float drop = 0.0f;
    float lean = 0.0f;
    float tilt = 0.0f;
    // The feet: each stands on its place, lifted by `lift` above the floor,
    // its sole level. A foot's place defaults to the body's.
    kgiSamplePlace right, left;
    float rightLift = 0.0f, leftLift = 0.0f;
    bool rightPlaced = false, leftPlaced = false;
    // Every other joint (arms, waist, head, hands): its value; joints not
    // named keep their initial value.
    std::vector<kgiSampleJointValue> joints;
};

// Builds a key in the description's reading order:
//   key(15).at(0, 3).rightFoot(0, 6, 0, 2).arms(-30, 20, -40)
class kgiSampleKeyMaker {
public:
    explicit kgiSampleKeyMaker(int frame) { k.frame = frame; }
    // The body stands at (x, z) turned by yaw.
    kgiSampleKeyMaker& at(float x, float z, float yaw = 0.0f);
    kgiSampleKeyMaker& drop(float cm);
    kgiSampleKeyMaker& lean(float degrees);
    kgiSampleKeyMaker& tilt(float degrees);
    // A foot's place (as for the body) and its lift above the floor.
    kgiSampleKeyMaker& rightFoot(float x, float z, float yaw = 0.0f, float lift = 0.0f);
    kgiSampleKeyMaker& leftFoot(float x, float z, float yaw = 0.0f, float lift = 0.0f);
    // Both feet on the places they take when the robot stands at (x, z)
    // turned by yaw.
    kgiSampleKeyMaker& feet(float x, float z, float yaw = 0.0f);
    // One joint value.
    kgiSampleKeyMaker& set(const std::string& joint, float value);
    // Both arms alike (shoulder swing, arm lift, elbow bend).
    kgiSampleKeyMaker& arms(float shoulder, float arm, float elbow);
    kgiSampleKeyMaker& rightArm(float shoulder, float arm, float elbow);
    kgiSampleKeyMaker& leftArm(float shoulder, float arm, float elbow);
    operator kgiSampleKey() const { return k; }

private:
    kgiSampleKey k;
};

inline kgiSampleKeyMaker key(int frame)
{
    return kgiSampleKeyMaker(frame);
}

struct kgiSampleMotion {
    int row;           // line of sample.txt, from 1
    std::string name;  // "<row>_<Name>": the file names and the list text
    std::string role;  // what the motion is for
    std::vector<kgiSampleKey> keys;
};

// The 40 rows of the sample list, in their order.
std::vector<kgiSampleMotion> kgiSampleMotions();

// Where the course rows put the robot and how far the rows the course
// lessons chain carry it; the course scenes are laid out for these.
struct kgiSampleCourseLayout {
    static constexpr float WALK = 18.0f;             // row 10: D, the root moves 18 cm along +z
    static constexpr float NORMAL_START_X = -16.0f;  // row 34: the root at the normal course's start
    static constexpr float NORMAL_START_Z = -5.6f;
    static constexpr float OBSTACLE_START_X = -24.0f; // row 39: the root at the obstacle course's start,
    static constexpr float OBSTACLE_START_Z = -5.6f;  //   in the part of the lane the wall stands in
    static constexpr float STEP_OVER = 13.0f;        // row 35: forward over the low bar
    static constexpr float SIDE_STEP = -18.0f;       // row 36: to the robot's right, past the wall
    // The lanes lie to the robot's right of x 0 (-x): the lessons' view of
    // canvas 0 shows that side whole.
};

// A course lesson's run: the course scene and the rows it reads (the
// first) and adds (the others), in order.
struct kgiCourseRun {
    std::string course; // the course model's name
    std::vector<int> rows;
};
// Lesson 6: 34, 10, 10 on the normal course; lesson 7: 39, 35, 10, 36, 10
// on the obstacle course.
std::vector<kgiCourseRun> kgiCourseRuns();

// The normal course and the obstacle course: scenes of boxes on a root
// (kgiRobotDesc without joints), see kgiCourses.cpp.
struct kgiRobotDesc;
kgiRobotDesc kgiNormalCourse();
kgiRobotDesc kgiObstacleCourse();
