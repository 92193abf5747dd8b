// The application's time-line host: every call goes to kgiApp::instance(),
// looked up anew each time, so the host outlives any application.
#include "kgiTimelineHost.h"

#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiNarrowString.h"

namespace {

class kgiAppTimelineHost : public kgiTimelineHost {
public:
    bool isLessonMode() override {
        kgiApp* a = kgiApp::instance();
        return a && a->isLessonMode();
    }
    void playAnswerSound(bool good) override {
        if (kgiApp* a = kgiApp::instance()) a->playAnswerSound(good);
    }
    bool checkLessonKeyEdit(int frame, int keyIndex, int kind) override {
        kgiApp* a = kgiApp::instance();
        return a && a->checkLessonKeyEdit(frame, keyIndex, kind);
    }
    bool checkLessonKeyTime(bool exactOnly) override {
        kgiApp* a = kgiApp::instance();
        return a && a->checkLessonKeyTime(exactOnly);
    }
    bool lessonActionDone() override {
        kgiApp* a = kgiApp::instance();
        return a && a->lessonActionDone();
    }
    bool lessonStepBack() override {
        kgiApp* a = kgiApp::instance();
        return a && a->lessonStepBack();
    }
    bool lessonOnPlay() override {
        kgiApp* a = kgiApp::instance();
        return a && a->lessonOnPlay();
    }
    bool canUseFrameButtonA() override {
        kgiApp* a = kgiApp::instance();
        return !a || a->canUseFrameButtonA();
    }
    bool canUseFrameButtonB() override {
        kgiApp* a = kgiApp::instance();
        return !a || a->canUseFrameButtonB();
    }
    void redrawTimeline() override {
        if (kgiApp* a = kgiApp::instance()) a->redrawTimeline();
    }
    void redrawAll() override {
        if (kgiApp* a = kgiApp::instance()) a->redrawAll();
    }
    void updateTimeline(bool lessonCheck) override {
        if (kgiApp* a = kgiApp::instance()) a->updateTimeline(lessonCheck);
    }
    bool getRobotSyncFlag() override {
        kgiApp* a = kgiApp::instance();
        return a && a->getRobotSyncFlag();
    }
    bool loadRemoconList() override {
        kgiApp* a = kgiApp::instance();
        return a && a->loadRemoconList();
    }
    bool robotWriteMotions() override {
        kgiApp* a = kgiApp::instance();
        return a && a->robotWriteMotions();
    }
    void robotLinkCommand() override {
        if (kgiApp* a = kgiApp::instance()) a->robotLinkCommand();
    }
    void robotReadSystemData() override {
        if (kgiApp* a = kgiApp::instance()) a->robotReadSystemData();
    }
    bool robotStartCommand(bool showMessage) override {
        kgiApp* a = kgiApp::instance();
        return a && a->robotStartCommand(showMessage);
    }
    std::string languageText(const char* key) override {
        kgiApp* a = kgiApp::instance();
        if (!a) return key ? std::string(key) : std::string();
        return kgiNarrowString::toNarrowText(a->languageText(key));
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        // Without an application there is nobody to ask: no. The question
        // goes through the program's services, as every other box does.
        return kgiApp::instance() && kgiCharacterServices::current().askYesNo(caption, text);
    }
    std::string baseDir() override {
        kgiApp* a = kgiApp::instance();
        return a ? a->getBaseDir() : std::string();
    }
};

} // namespace

kgiTimelineHost* kgiTimelineHost::application() {
    static kgiAppTimelineHost host;
    return &host;
}
