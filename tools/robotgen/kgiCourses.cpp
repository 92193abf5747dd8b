// The course scenes of the course lessons: a lane on the floor with a
// start line and a goal line, and for the obstacle course a low bar to step
// over and a wall to step around.
#include "kgiRobotDesc.h"
#include "kgiSampleDesc.h"

namespace {

using P = kgiRobotPartSpec;

// The lanes begin 14 cm behind the start and reach past where the course
// rows end; they hold the robot (29 cm wide with its arms out) with room
// to spare at the sides, on the right of x 0 where the lessons' view sees
// them whole.
const float LANE_BACK = -14.0f;

kgiRobotDesc course(const char* name)
{
    kgiRobotDesc d;
    d.modelName = name;
    d.rootName = "Course";
    for (int& s : d.defaultServos)
        s = 0;
    d.colours = {
        {"lane", {120, 150, 110, 255}, {20, 20, 20}, 5, {48, 60, 44, 255}},
        // The lines glow (a full ambient part): they stay bright from any
        // side the light comes from, and the start line stands out from
        // the floor grid's lines.
        {"white", {255, 255, 255, 255}, {40, 40, 40}, 10, {255, 255, 255, 255}},
        {"goal", {230, 30, 30, 255}, {60, 60, 60}, 20, {200, 20, 20, 255}},
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

// The lane from x0 to x1 and z0 to z1, and its lines. The lane's top lies
// just below the floor (y 0), the stripes' just above the lane: the
// robot's soles stay in view.
void lane(kgiRobotDesc& d, float x0, float x1, float z0, float z1)
{
    d.parts.push_back(box("Lane", "lane", x0, x1, -1.05f, -0.05f, z0, z1));
    // The start line: the robot is clear of it when all of it lies before
    // z 2.1; the goal line: reached when all of it lies beyond z 24.8.
    d.parts.push_back(box("StartLine", "white", x0, x1, -0.5f, -0.02f, 2.1f, 2.6f));
    d.parts.push_back(box("GoalLine", "goal", x0, x1, -0.5f, -0.02f, 24.3f, 24.8f));
    d.parts.push_back(box("GoalPostRight", "post", x0 - 1.5f, x0 - 0.5f, -0.05f, 20.0f, 24.05f, 25.05f));
    d.parts.push_back(box("GoalPostLeft", "post", x1 + 0.5f, x1 + 1.5f, -0.05f, 20.0f, 24.05f, 25.05f));
}

} // namespace

kgiRobotDesc kgiNormalCourse()
{
    kgiRobotDesc d = course("nomalCource");
    // Rows 34, 10, 10: the robot walks 36 cm along x -16.
    lane(d, -33.0f, 1.0f, LANE_BACK, 44.0f);
    return d;
}

kgiRobotDesc kgiObstacleCourse()
{
    kgiRobotDesc d = course("obsCource");
    // Rows 39, 35, 10, 36, 10: the robot steps 13 cm over the bar and walks
    // 18 cm along x -24, side steps to x -42 and walks 18 cm more. Its toes
    // reach z 32 in the first walk; in the second its heels cross the goal
    // line (the whole body past z 24.8) once its toes are beyond z 37.
    const float x0 = -59.0f, x1 = -8.0f;
    lane(d, x0, x1, LANE_BACK, 52.0f);
    // The low bar just past the start line, across the lane: 1 cm high,
    // between the toes of the start (row 39) and the heels after stepping
    // over it (row 35).
    d.parts.push_back(box("LowBar", "bar", x0, x1, -0.05f, 1.0f, 2.9f, 3.7f));
    // The wall in the part of the lane the robot starts in (x > -26), 12 cm
    // high, just ahead of where the first walk and the side step (row 36)
    // take the robot's toes: walking on without the side step runs into
    // it, and after the side step the robot walks past it before its heels
    // cross the goal line.
    d.parts.push_back(box("Wall", "wall", -26.0f, x1, -0.05f, 12.0f, 32.4f, 36.0f));
    return d;
}

std::vector<kgiCourseRun> kgiCourseRuns()
{
    return {{"nomalCource", {34, 10, 10}}, {"obsCource", {39, 35, 10, 36, 10}}};
}
