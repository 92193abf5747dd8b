#pragma once
// Stand-in children for the widget manager: each logs its events, takes a
// press when told to, and runs a test's step on press or motion.
#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLMediaPlaybackBar.h"
#include "kgiGLPlaybackBar.h"
#include "kgiGLScroller.h"
#include "kgiGLTsMgr.h"

#include <functional>
#include <string>
#include <vector>

// What the probes saw, in order ("playback press 0", "line motion").
struct ProbeLog {
    std::vector<std::string> calls;
    void add(const std::string& s) { calls.push_back(s); }
    int count(const std::string& s) const {
        int n = 0;
        for (const std::string& c : calls) n += c == s;
        return n;
    }
};

// A child that logs its events, takes presses when told to, and runs a
// test's step on motion.
template <class Base>
class Probe : public Base {
public:
    Probe(std::string name, ProbeLog& log, int x, int y, int w, int h, kgiTimelineHost* host)
        : Base(x, y, w, h, host), name(std::move(name)), log(log) {}

    bool takesPress = false;
    std::function<void(Probe&, int button)> onPress;
    std::function<void(Probe&, int button)> onRelease;
    std::function<void(Probe&, int px, int py)> onMove;

    bool onMouse(int button, int action, int modifier, int px, int py) override {
        log.add(name + (action == 0 ? " press " : " release ") + std::to_string(button));
        // Only the stored event of the widget base: the real widget's press
        // (a frame line's drag, say) is what a probe stands in for.
        this->kgiGLWidget::onMouse(button, action, modifier, px, py);
        if (action == 1 && onRelease) onRelease(*this, button);
        if (action != 0 || !takesPress) return false;
        if (onPress) onPress(*this, button);
        return true;
    }
    void onMotion(int px, int py) override {
        log.add(name + " motion");
        if (onMove) onMove(*this, px, py);
    }
    // The protected window of a frame line, for the steps.
    void setDragMode(int m) { this->dragMode = m; }
    void panTo(int f) { this->moveWindowTo(f); }

    const std::string name;
    ProbeLog& log;
};

class ProbeMaker : public kgiGLTsWidgetMaker {
public:
    ProbeLog log;
    Probe<kgiGLScroller>* scroller = nullptr;
    Probe<kgiGLFrameline>* overview = nullptr;
    Probe<kgiGLFrameline>* line = nullptr;
    Probe<kgiGLFrameButtons>* buttons = nullptr;
    Probe<kgiGLPlaybackBar>* playback = nullptr;
    Probe<kgiGLMediaPlaybackBar>* media = nullptr;

    kgiGLScroller* makeScroller(int x, int y, int w, int h, kgiTimelineHost* host) override {
        return scroller = new Probe<kgiGLScroller>("scroller", log, x, y, w, h, host);
    }
    // The overview row is made first, then the lower line.
    kgiGLFrameline* makeFrameline(int x, int y, int w, int h, kgiTimelineHost* host) override {
        auto* p = new Probe<kgiGLFrameline>(overview ? "line" : "overview", log, x, y, w, h, host);
        (overview ? line : overview) = p;
        return p;
    }
    kgiGLFrameButtons* makeFrameButtons(int x, int y, int w, int h, kgiTimelineHost* host) override {
        return buttons = new Probe<kgiGLFrameButtons>("buttons", log, x, y, w, h, host);
    }
    kgiGLPlaybackBar* makePlaybackBar(int x, int y, int w, int h, kgiTimelineHost* host) override {
        return playback = new Probe<kgiGLPlaybackBar>("playback", log, x, y, w, h, host);
    }
    kgiGLMediaPlaybackBar* makeMediaBar(int x, int y, int w, int h, kgiTimelineHost* host) override {
        return media = new Probe<kgiGLMediaPlaybackBar>("media", log, x, y, w, h, host);
    }
};

