// The frame buttons.
#include "kgiGLFrameButtons.h"

#include "kgiTimelineHost.h"
#include "kgiWorld.h"

#include "kutPath.h"

namespace {

const float RED[3] = {1.0f, 0.0f, 0.0f};
const float HOVER_GREEN[3] = {132.0f / 255.0f, 199.0f / 255.0f, 44.0f / 255.0f};

} // namespace

kgiGLFrameButtons::kgiGLFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host)
    : kgiGLWidget(x, y, w, h, host), groupX(x) {
    const std::string folder = pictureFolder();
    beginImage.loadBitmap(kutPrependPath(folder, "s_begin.bmp"));
    playImage.loadBitmap(kutPrependPath(folder, "s_play.bmp"));
    stopImage.loadBitmap(kutPrependPath(folder, "s_stop.bmp"));
    endImage.loadBitmap(kutPrependPath(folder, "s_end.bmp"));
    halfWidth = 3 * beginImage.getWidth() / 2;
}

void kgiGLFrameButtons::placeGroup(int px) {
    // Lowered first, then raised: a widget narrower than the group keeps it
    // at its left edge.
    const int right = x + width - 2 * halfWidth;
    if (px > right) px = right;
    if (px < x) px = x;
    groupX = px;
}

int kgiGLFrameButtons::buttonAt(int px, int py) const {
    const int w = beginImage.getWidth();
    if (w > 0 && y < py && py < y + height && groupX < px && px < groupX + 2 * halfWidth) return (px - groupX) / w;
    return -1;
}

void kgiGLFrameButtons::onMotion(int px, int py) {
    hover = buttonAt(px, py);
}

bool kgiGLFrameButtons::onMouse(int button, int action, int modifier, int px, int py) {
    (void)modifier;
    if (button != BUTTON_LEFT || action != ACTION_PRESS) return false;
    // The button under the press itself, in case no motion brought the
    // pointer there first.
    hover = buttonAt(px, py);
    switch (hover) {
    case BUTTON_BEGIN:
        return goToStart();
    case BUTTON_PLAY:
        return playOrStop();
    case BUTTON_END:
        return goToEnd();
    default:
        return false;
    }
}

bool kgiGLFrameButtons::goToStart() {
    kgiTimelineHost* host = getHost();
    if (!host->canUseFrameButtonB()) return false;
    host->lessonActionDone();
    kgiWorld* world = kgiWorld::instance();
    if (world->isPlaying()) return false;
    world->setCurrentTime(world->getStartFrame());
    return true;
}

bool kgiGLFrameButtons::playOrStop() {
    kgiTimelineHost* host = getHost();
    if (!host->canUseFrameButtonA()) return false;
    host->lessonActionDone();
    kgiWorld* world = kgiWorld::instance();
    if (host->getRobotSyncFlag()) {
        // The robot plays along: it is stopped from the robot's side, and
        // started only after its motions are written and the user holds it.
        if (world->isPlaying()) return false;
        host->loadRemoconList();
        if (host->robotWriteMotions()) {
            const std::string caption = host->languageText("ROBOT_COM_Wr_FallDown");
            const std::string text = host->languageText("ROBOT_COM_Wr_HoldRobot") + "\n" +
                                     host->languageText("ROBOT_COM_Wr_Memory") + "\n" +
                                     host->languageText("ROBOT_COM_Wr_Nonstop");
            if (!host->askYesNo(caption, text)) {
                host->robotLinkCommand();
                host->lessonStepBack();
                return false;
            }
            host->redrawAll();
            host->lessonActionDone();
            host->robotReadSystemData();
            host->robotStartCommand(true);
        } else {
            host->robotStartCommand(false);
        }
    }
    host->lessonOnPlay();
    world->setPlaying(!world->isPlaying());
    return true;
}

bool kgiGLFrameButtons::goToEnd() {
    kgiTimelineHost* host = getHost();
    if (host->isLessonMode()) {
        host->playAnswerSound(false);
        return false;
    }
    kgiWorld* world = kgiWorld::instance();
    if (world->isPlaying()) return false;
    world->setCurrentTime(world->getEndFrame());
    return true;
}

void kgiGLFrameButtons::draw() {
    kgiGLWidget::draw();
    const bool playing = kgiWorld::instance()->isPlaying();
    const int iy = getPictureBottom();
    const int bw = beginImage.getWidth();
    const kutGLImg& middle = playing ? stopImage : playImage;
    beginImage.draw(groupX, iy);
    middle.draw(groupX + bw, iy);
    endImage.draw(groupX + bw + middle.getWidth(), iy);

    const auto box = [this, iy](int left, int right) {
        beginLines();
        line(left, y + 2, right, y + 2);
        line(right, y + 2, right, iy);
        line(right, iy, left, iy);
        line(left, iy, left, y + 2);
        endShape();
    };
    if (playing) {
        useColor(RED[0], RED[1], RED[2]);
        box(groupX + bw, groupX + bw + playImage.getWidth() - 1);
    }
    if (hover != -1 && !(playing && hover == BUTTON_PLAY)) {
        useColor(HOVER_GREEN[0], HOVER_GREEN[1], HOVER_GREEN[2]);
        const int left = groupX + hover * bw;
        box(left, left + bw - 1);
    }
}
