// The timed courses: the course scene beside the robot, the start signal,
// the stopwatch and the goal. The line tests look only at z, the axis the
// robot walks along in both course scenes.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiKmdData.h"
#include "kgiRobotJointTable.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgScene.h"
#include "ksgTransform.h"
#include "ksgViewpoint.h"
#include "kgiViewCanvas.h"
#include "kmlVec3.h"
#include "kutPath.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
const char* const NORMAL_COURSE_FILE = "nomalCource.ts";
const char* const OBSTACLE_COURSE_FILE = "obsCource.ts";

// Canvas 0's turn from the view start-up gives towards a course scene.
constexpr float COURSE_YAW = 60.0f, COURSE_PITCH = -25.0f, COURSE_ZOOM = -22.0f;
constexpr float COURSE_SHIFT_X = 10.0f, COURSE_SHIFT_Y = 3.0f;

// The current character's model bounds; false without a character or model.
bool currentBounds(kgcAxisAlignedBox& box) {
    const kgiCharacter* character = kgiWorld::instance()->getCurrentCharacter();
    const ksgNode* root = character ? character->getRoot() : nullptr;
    if (!root) return false;
    box = root->getBounds();
    return true;
}

// The frame a time falls in is frame 0 (times are never negative).
bool atFrameZero(float time) { return time < 1.0f && time > -1.0f; }
} // namespace

float kgiLessonManager::getCourseTime() const {
    // Reading the stopwatch moves it on (start, goal, reset at frame 0); the
    // interface asks for it as a plain query.
    return const_cast<kgiLessonManager*>(this)->readStopwatch();
}

float kgiLessonManager::readStopwatch() {
    if (courseKind <= 0) return 0.0f;
    const kgiWorld* world = kgiWorld::instance();
    float result = 0.0f;
    if (atFrameZero(world->getCurrentTime())) {
        if (!world->isPlaying() && courseState != 0)
            if (kgiApp* app = kgiApp::instance()) app->enableOptionsDialog(true);
        courseStartTime = -1.0f;
        courseState = 0;
    } else if (isGoalReached()) {
        result = courseTime;
    } else {
        const float t = now();
        // A run starts once: its first reading is 0.0 again whenever the
        // clock has not moved since the start, which must not restart it.
        if (world->isPlaying() && courseTime == 0.0f && courseStartTime < 0.0f) {
            courseStartTime = t;
            courseState = 1;
        }
        if (courseStartTime > -1.0f && courseState == 1) result = t - courseStartTime;
    }
    courseTime = result;
    return result;
}

bool kgiLessonManager::isGoalReached() {
    if (courseStartTime < 0.0f) {
        goalReached = false;
        return false;
    }
    if (!goalReached && kgiWorld::instance()->isPlaying()) goalReached = checkGoalLine();
    return goalReached;
}

bool kgiLessonManager::isStartLineClear() const {
    kgcAxisAlignedBox box;
    if (!currentBounds(box)) return false;
    const float z = box.getMax()[2];
    std::fprintf(stderr, "Time= %g    maxZ= %g\n", courseTime, z);
    return z < START_LINE_Z;
}

bool kgiLessonManager::checkGoalLine() {
    kgcAxisAlignedBox box;
    if (!currentBounds(box)) return false;
    const float z = box.getMin()[2];
    std::fprintf(stderr, "Time= %g    minZ= %g\n", courseTime, z);
    if (!(z > GOAL_LINE_Z)) return false;
    if (kgiApp* app = kgiApp::instance()) app->playSound(courseSounds[GOAL], false);
    courseState = 2;
    return true;
}

void kgiLessonManager::onPlayStart() {
    kgiApp* app = kgiApp::instance();
    if (kgiWorld::instance()->getCurrentTime() != 0.0f) {
        if (app && app->getRobotSyncFlag()) app->requestRemocon(ROBOT_START_REQUEST);
        return;
    }
    if (courseKind > 0) {
        if (!isStartLineClear()) return;
        // Each sound waits until the one before has ended, so the signal
        // keeps its beat; the event loop stands still meanwhile.
        if (app) {
            app->playSound(courseSounds[READY], true);
            app->playSound(courseSounds[SET], true);
            if (app->getRobotSyncFlag()) app->requestRemocon(ROBOT_START_REQUEST);
            app->playSound(courseSounds[GO], true);
        }
        courseState = 1;
    } else if (startSignalOnPlay) {
        if (app) app->playSound(courseSounds[READY], true);
        courseStartTime = 0.0f;
    }
}

void kgiLessonManager::playEndSound() {
    kgiApp* app = kgiApp::instance();
    if (!app) return;
    if (courseKind > 0)
        app->playSound(courseSounds[GOAL], false);
    else if (startSignalOnPlay)
        app->playSound(courseSounds[SET], false);
}

int kgiLessonManager::getCourseStartState() const {
    if (mode != NORMAL_COURSE && mode != OBSTACLE_COURSE) return -1;
    return atFrameZero(kgiWorld::instance()->getCurrentTime()) ? 0 : -1;
}

void kgiLessonManager::registerCourseSounds() {
    kgiApp* app = kgiApp::instance();
    if (!app) return;
    static const char* const ENGLISH[4] = {"ready.wav", "set.wav", "go.wav", "goal.wav"};
    static const char* const OTHER[4] = {"readyJ.wav", "setJ.wav", "pistol.wav", "goalJ.wav"};
    const char* const* names = app->getSettings().language == 0 ? ENGLISH : OTHER;
    const std::string se = kutAppendPath(app->getBaseDir(), "se");
    for (std::size_t i = 0; i < courseSounds.size(); ++i) courseSounds[i] = app->loadSound(kutAppendPath(se, names[i]));
}

kgiCharacter* kgiLessonManager::loadCourseTimesheet() {
    const char* file = courseKind == NORMAL_COURSE     ? NORMAL_COURSE_FILE
                       : courseKind == OBSTACLE_COURSE ? OBSTACLE_COURSE_FILE
                                                       : nullptr;
    kgiCharacter* course = file ? loadCourse(file, false) : nullptr;
    if (course) showCourseView();
    return course;
}

void kgiLessonManager::showCourseView() {
    kgiApp* app = kgiApp::instance();
    if (!app || app->getCanvases().empty()) return;
    ksgViewpoint* vp = app->getCanvases()[0]->getViewpoint();
    if (!vp) return;
    // The view as start-up leaves it, whatever it was turned to before:
    // facing the robot's front, centred on the robot. The course's turn
    // starts from there, so a second load shows the same view.
    vp->setBaseOrientation(0.0f, 0.0f, 0.0f);
    vp->setYaw(0.0f);
    vp->setPitch(0.0f);
    vp->setRoll(0.0f);
    kgiWorld* world = kgiWorld::instance();
    const kgiCharacter* robot = world->getCurrentCharacter();
    vp->center(robot && robot->getRoot() ? robot->getRoot()->getBounds() : world->getBounds());
    app->moveCanvasView(0, COURSE_YAW, COURSE_PITCH, COURSE_ZOOM, COURSE_SHIFT_X, COURSE_SHIFT_Y);
}

kgiCharacter* kgiLessonManager::loadCourse(const std::string& file, bool joints) {
    const kgiApp* app = kgiApp::instance();
    const std::string courseDir = kutAppendPath(app ? app->getBaseDir() : std::string("."), "course");
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    if (id == -1) return nullptr;
    kgiCharacter* character = world->getCharacters()->find(id);
    if (!character || !character->load(kutAppendPath(courseDir, file))) {
        world->removeCharacter(id);
        return nullptr;
    }
    // The frame after the current one first, so that the controllers move
    // and the model shows the pose at the current frame.
    const float time = world->getCurrentTime();
    character->setTime(static_cast<float>(static_cast<long>(time + 1.0f)));
    character->setTime(static_cast<float>(static_cast<long>(time)));

    if (joints && character->getRoot()) {
        kgiRobotJointTable::instance()->setupJointLimits(character->getRoot());
        courseNodes.fill(nullptr);
        courseNodes[0] = character->getRoot();
        courseNodeCount = 1;
        // The course's own joint file, beside its model as the robot's is.
        const std::string ini = kutAppendPath(kutAppendPath(courseDir, "character"), "model.ini");
        if (std::FILE* f = std::fopen(ini.c_str(), "r")) {
            char line[256];
            char name[256];
            int number = 0, axis = 0, a = 0, b = 0;
            float value = 0.0f, min = 0.0f, max = 0.0f, scale = 0.0f, offset = 0.0f;
            // The table holds MAX_COURSE_NODES entries: further joints of a
            // longer file are left out.
            while (courseNodeCount < MAX_COURSE_NODES && std::fgets(line, sizeof line, f)) {
                if (std::strlen(line) <= 3 || !std::strchr(line, ',')) continue;
                if (std::sscanf(line, "%d : %255s = %f :%d,%f,%f,%d :%d,%f,%f;", &number, name, &value, &axis,
                                &min, &max, &a, &b, &scale, &offset) < 2)
                    continue;
                courseNodes[static_cast<std::size_t>(courseNodeCount++)] = character->findNode(name);
            }
            std::fclose(f);
        }
    }

    if (kgiScene* scene = world->getScene()) {
        ksgNode* root = character->getRoot();
        ksgScene* base = kgiWorldLinks::sceneBase(scene);
        if (base && root && root->asTransform()) base->addRoot(root->asTransform());
    }
    return character;
}

bool kgiLessonManager::keyNodeAt(ksgNode* node, float frame, float x, float y, float z) {
    ksgMotionController* mc = node && node->asTransform() ? getMotionController(node) : nullptr;
    if (!mc) return false;
    const std::unique_ptr<ksgMotionFrame> key(mc->newFrame());
    if (!key) return false;
    kmlMatrix4 local = node->getLocal();
    local.setTranslation(kmlVec3(x, y, z));
    key->setTime(frame);
    key->fromMatrix(local);
    // Layer -1: the base curves, where the keys of the time line live.
    const bool added = mc->addFrame(key.get(), -1);
    node->update(0.0f, false, true);
    return added;
}
