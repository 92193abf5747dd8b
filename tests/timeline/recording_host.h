#pragma once
// A time-line host that records what the widget set asks of the
// application, in call order, and answers from plain fields.
#include "kgiTimelineHost.h"

#include <algorithm>
#include <string>
#include <vector>

class kgiRecordingHost : public kgiTimelineHost {
public:
    bool lesson = false;
    bool permissionA = true;
    bool permissionB = true;
    bool answerYes = false;
    // What the lesson answers a key edit.
    bool lessonAccepts = true;
    std::string base;
    std::vector<std::string> calls;

    int count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }

    bool isLessonMode() override { return lesson; }
    void playAnswerSound(bool good) override { calls.push_back(good ? "sound(good)" : "sound(not good)"); }
    bool checkLessonKeyEdit(int frame, int keyIndex, int kind) override {
        calls.push_back("checkLessonKeyEdit(" + std::to_string(frame) + "," + std::to_string(keyIndex) + "," +
                        std::to_string(kind) + ")");
        return lessonAccepts;
    }
    bool checkLessonKeyTime(bool exactOnly) override {
        calls.push_back(exactOnly ? "checkLessonKeyTime(exact)" : "checkLessonKeyTime");
        return true;
    }
    bool lessonActionDone() override { return record("lessonActionDone", true); }
    bool lessonStepBack() override { return record("lessonStepBack", true); }
    bool lessonOnPlay() override { return record("lessonOnPlay", true); }
    bool canUseFrameButtonA() override { return permissionA; }
    bool canUseFrameButtonB() override { return permissionB; }
    void redrawTimeline() override { calls.push_back("redrawTimeline"); }
    void redrawAll() override { calls.push_back("redrawAll"); }
    void updateTimeline(bool lessonCheck) override { calls.push_back(lessonCheck ? "updateTimeline(check)" : "updateTimeline"); }
    // The robot follows playback; the motion write starts.
    bool robotSync = false;
    bool writeStarts = false;
    // The last question asked.
    std::string askedCaption;
    std::string askedText;
    bool getRobotSyncFlag() override { return robotSync; }
    bool loadRemoconList() override { return record("loadRemoconList", false); }
    bool robotWriteMotions() override { return record("robotWriteMotions", writeStarts); }
    void robotLinkCommand() override { calls.push_back("robotLinkCommand"); }
    void robotReadSystemData() override { calls.push_back("robotReadSystemData"); }
    bool robotStartCommand(bool show) override { return record(show ? "robotStartCommand(true)" : "robotStartCommand(false)", false); }
    std::string languageText(const char* key) override { return key; }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        askedCaption = caption;
        askedText = text;
        return record("askYesNo", answerYes);
    }
    std::string baseDir() override { return base; }

private:
    bool record(const char* call, bool answer) {
        calls.emplace_back(call);
        return answer;
    }
};
