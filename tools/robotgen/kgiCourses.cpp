// The course scenes of the course lessons: a lane on the floor with a
// start line and a goal line, and for the obstacle course a low bar to step
// over and a wall to step around.
#include "kgiRobotDesc.h"
#include "kgiSampleDesc.h"

namespace {

using P = kgiRobotPartSpec;

// The lane: 60 cm wide (the robot with its arms out is 29 cm, and the
// obstacle course's side step takes it 18 cm across), from 16 cm behind the
// start to 56 cm ahead, past where the course rows end.
const float LANE_HALF_WIDTH = 30.0f;
const float LANE_BACK = -16.0f;
const float LANE_FRONT = 56.0f;

kgiRobotDesc course(const char* name)
{
    kgiRobotDesc d;
    d.modelName = name;
    d.rootName = "Course";
    for (int& s : d.defaultServos)
        s = 0;
    d.colours = {
        {"lane", {120, 150, 110, 255}, {20, 20, 20}, 5, {48, 60, 44, 255}},
        {"white", {245, 245, 245, 255}, {40, 40, 40}, 10, {98, 98, 98, 255}},
        {"goal", {220, 40, 40, 255}, {60, 60, 60}, 20, {88, 16, 16, 255}},
        {"post", {240, 200, 40, 255}, {80, 80, 80}, 30, {96, 80, 16, 255}},
        {"bar", {250, 140, 20, 255}, {80, 80, 80}, 30, {100, 56, 8, 255}},
        {"wall", {60, 110, 200, 255}, {60, 60, 60}, 20, {24, 44, 80, 255}},
    };
    return d;
}

// A box standing on the root: width (x), height (y) and depth (z), its
// lowest and highest y, its z from front to back and its x from side to
// side.
P box(const char* name, const char* colour, float x0, float x1, float y0, float y1, float z0, float z1)
{
    return {name, nullptr, "Course", P::BOX, {x1 - x0, y1 - y0, z1 - z0}, P::UP,
            {(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2}, colour};
}

// The lane and its lines. The lane's top lies just below the floor (y 0),
// the stripes' just above the lane: the robot's soles stay in view.
void lane(kgiRobotDesc& d)
{
    const float side = LANE_HALF_WIDTH;
    d.parts.push_back(box("Lane", "lane", -side, side, -1.05f, -0.05f, LANE_BACK, LANE_FRONT));
    // The start line: the robot is clear of it when all of it lies before
    // z 2.1; the goal line: reached when all of it lies beyond z 24.8.
    d.parts.push_back(box("StartLine", "white", -side, side, -0.5f, -0.02f, 2.1f, 2.6f));
    d.parts.push_back(box("GoalLine", "goal", -side, side, -0.5f, -0.02f, 24.3f, 24.8f));
    d.parts.push_back(box("GoalPostRight", "post", -side - 1.5f, -side - 0.5f, -0.05f, 30.0f, 24.05f, 25.05f));
    d.parts.push_back(box("GoalPostLeft", "post", side + 0.5f, side + 1.5f, -0.05f, 30.0f, 24.05f, 25.05f));
    d.parts.push_back(box("GoalBanner", "goal", -side - 1.5f, side + 1.5f, 27.0f, 30.0f, 24.3f, 24.8f));
}

} // namespace

kgiRobotDesc kgiNormalCourse()
{
    kgiRobotDesc d = course("nomalCource");
    lane(d);
    return d;
}

kgiRobotDesc kgiObstacleCourse()
{
    kgiRobotDesc d = course("obsCource");
    lane(d);
    // The low bar just past the start line, across the lane: 1 cm high,
    // between the toes of the start (row 39) and the heels after stepping
    // over it (row 35).
    d.parts.push_back(box("LowBar", "bar", -LANE_HALF_WIDTH, LANE_HALF_WIDTH, -0.05f, 1.0f, 2.9f, 3.7f));
    // The wall in the robot's half of the lane (x > 3), 12 cm high, beyond
    // where the first walk and the side step (row 36) take the robot, so
    // the second walk passes it in the other half.
    d.parts.push_back(box("Wall", "wall", 3.0f, LANE_HALF_WIDTH, -0.05f, 12.0f, 37.0f, 45.0f));
    return d;
}
