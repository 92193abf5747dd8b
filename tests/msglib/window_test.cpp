#include "kgiMsgDlg.h"
#include "kgiMsgWindowImpl.h"
#include "kgiSpeechSynth.h"

#include "support/fox/kgiFoxTestApp.h"
#include "support/fox/kgiRootProperties.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cmath>
#include <functional>

using namespace FX;

namespace {

// Speech that only records what it is asked.
struct FakeSpeech : kgi::kgiSpeechEngine {
    std::vector<std::string>* spoken;
    bool* speaking;
    FakeSpeech(std::vector<std::string>* spoken, bool* speaking) : spoken(spoken), speaking(speaking) {}
    bool speak(const std::string& text) override
    {
        spoken->push_back(text);
        *speaking = true;
        return false; // the window's say must not depend on it
    }
    void stop() override { *speaking = false; }
    bool isSpeaking() override { return *speaking; }
};

class MsgWindowTest : public ::testing::Test {
protected:
    FXApp* app = nullptr;
    std::vector<std::string> spoken;
    bool speaking = false;

    void SetUp() override
    {
        app = kgiSharedFoxApp();
        if (!app)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    void TearDown() override { kgi::destroyMsgWindow(); }

    std::unique_ptr<kgi::kgiMsgWindowImpl> makeWindow()
    {
        return std::make_unique<kgi::kgiMsgWindowImpl>(app, std::make_unique<FakeSpeech>(&spoken, &speaking));
    }

    // Where the X server has the window, for checks that FOX's own record
    // would not catch.
    FXRectangle serverGeometry(kgi::kgiMsgDlg* dlg)
    {
        app->flush(true);
        Display* d = static_cast<Display*>(app->getDisplay());
        Window root = 0, child = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(d, dlg->id(), &root, &x, &y, &w, &h, &border, &depth);
        XTranslateCoordinates(d, dlg->id(), root, 0, 0, &x, &y, &child);
        return FXRectangle(FXshort(x), FXshort(y), FXshort(w), FXshort(h));
    }
};

TEST_F(MsgWindowTest, DefaultWindowSitsAtTheWorkAreaCorner)
{
    kgi::kgiMsgWindow* w = kgi::createMsgWindow(-1, -1, -1, -1);
    ASSERT_NE(w, nullptr);
    FXWindow* root = app->getRootWindow();
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(w->getPosition(&x, &y));
    ASSERT_TRUE(w->getSize(&width, &height));
    // 4 pixels wider than the default 564, so it reaches past the right edge.
    EXPECT_EQ(width, 568);
    EXPECT_EQ(height, 100);
    EXPECT_EQ(x, root->getWidth() - 564);
    EXPECT_EQ(y, root->getHeight() - 100);
    EXPECT_TRUE(w->getPosition(nullptr, nullptr));
    EXPECT_TRUE(w->getSize(nullptr, nullptr));
}

TEST_F(MsgWindowTest, DefaultPlaceFollowsTheCurrentDesktopsWorkArea)
{
    struct Case {
        const char* what;
        std::vector<long> areas;   // empty: no _NET_WORKAREA
        std::vector<long> current; // empty: no _NET_CURRENT_DESKTOP
        int right, bottom;         // -1: the root window's
    };
    const Case cases[] = {
        {"second of two desktops current", {0, 0, 1280, 1000, 50, 20, 1000, 900}, {1}, 1050, 920},
        {"first desktop current", {10, 0, 1000, 700, 50, 20, 1000, 900}, {0}, 1010, 700},
        {"no current desktop: the first", {0, 30, 1200, 900}, {}, 1200, 930},
        {"current desktop without an entry", {0, 30, 1200, 900}, {3}, -1, -1},
        {"empty area", {0, 0, 0, 0}, {0}, -1, -1},
        {"no properties", {}, {}, -1, -1},
    };
    FXWindow* root = app->getRootWindow();
    for (const Case& c : cases) {
        kgiRootProperties props(app);
        if (!c.areas.empty())
            props.cardinals("_NET_WORKAREA", c.areas);
        if (!c.current.empty())
            props.cardinals("_NET_CURRENT_DESKTOP", c.current);
        kgi::kgiMsgWindow* w = kgi::createMsgWindow(-1, -1, -1, -1);
        ASSERT_NE(w, nullptr);
        int x = 0, y = 0;
        w->getPosition(&x, &y);
        EXPECT_EQ(x, (c.right < 0 ? root->getWidth() : c.right) - 564) << c.what;
        EXPECT_EQ(y, (c.bottom < 0 ? root->getHeight() : c.bottom) - 100) << c.what;
    }
}

TEST_F(MsgWindowTest, TextFontHoldsJapaneseAndFitsTheHostsLayout)
{
    auto w = makeWindow();
    FXFont* font = w->dialog()->textFont();
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->id(), FXID(0));
    // Hiragana, katakana, a kanji, a full-width digit.
    for (FXwchar c : {FXwchar(0x3042), FXwchar(0x30ED), FXwchar(0x6F22), FXwchar(0xFF11)})
        EXPECT_TRUE(font->hasChar(c)) << std::hex << c;
    FXString line;
    line.assign('0', 70);
    EXPECT_LE(font->getTextWidth(line), 564);
    EXPECT_LE(font->getFontHeight(), 16);
    // The largest such size: not a small font that fits trivially.
    EXPECT_GE(font->getTextWidth(line), 490);
    EXPECT_GE(font->getFontHeight(), 14);
    std::printf("text font: %s %u deci-points, line %d px, 70 characters %d px\n",
                font->getActualName().text(), font->getActualSize(), font->getFontHeight(),
                font->getTextWidth(line));
}

TEST_F(MsgWindowTest, LaterCallsPlaceTheSameWindow)
{
    kgi::kgiMsgWindow* first = kgi::createMsgWindow(-1, -1, -1, -1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(kgi::createMsgWindow(10, 20, 300, 54), first);
    auto* dlg = static_cast<kgi::kgiMsgWindowImpl*>(first)->dialog();
    FXRectangle r = serverGeometry(dlg);
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.y, 20);
    EXPECT_EQ(r.w, 304);
    EXPECT_EQ(r.h, 54);

    // Out of sight the way the program hides it, and back.
    EXPECT_EQ(kgi::createMsgWindow(12800, 10240, 0, 0), first);
    int x = 0, y = 0, width = -1, height = -1;
    first->getPosition(&x, &y);
    first->getSize(&width, &height);
    EXPECT_EQ(x, 12800);
    EXPECT_EQ(y, 10240);
    EXPECT_EQ(width, 4);
    EXPECT_LE(height, 1); // an X window is never empty


    // x alone defaulted: right edge minus the width asked for.
    EXPECT_EQ(kgi::createMsgWindow(-1, 5, 200, 22), first);
    first->getPosition(&x, &y);
    EXPECT_EQ(x, app->getRootWindow()->getWidth() - 200);
    EXPECT_EQ(y, 5);
}

TEST_F(MsgWindowTest, DestroyWithoutWindowDoesNothingAndANewWindowFollows)
{
    kgi::destroyMsgWindow();
    kgi::destroyMsgWindow();
    kgi::kgiMsgWindow* w = kgi::createMsgWindow(1, 2, 3, 4);
    ASSERT_NE(w, nullptr);
    kgi::destroyMsgWindow();
    kgi::destroyMsgWindow();
    ASSERT_NE(kgi::createMsgWindow(-1, -1, -1, -1), nullptr);
}

TEST_F(MsgWindowTest, SayShowsTheTextAndSpeaksTheOther)
{
    auto w = makeWindow();
    // "Hello" in kanji and kana, CP932 bytes; the label holds UTF-8.
    EXPECT_TRUE(w->say("\x83\x8D\x83\x7B\x83\x62\x83\x67\n2", "robotto"));
    EXPECT_EQ(std::string(w->dialog()->getText().text()),
              "\xE3\x83\xAD\xE3\x83\x9C\xE3\x83\x83\xE3\x83\x88\n2");
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0], "robotto");
    EXPECT_TRUE(w->isSpeaking());
    EXPECT_TRUE(w->stopSpeech());
    EXPECT_FALSE(w->isSpeaking());

    EXPECT_TRUE(w->say(nullptr, nullptr));
    EXPECT_EQ(w->dialog()->getText(), FXString(""));
    EXPECT_EQ(spoken.back(), "");
}

// Speech on the test's clock: each text runs (plays, or the outside
// program runs) for playFor seconds, and the engine knows the length it
// would be heard for (negative: it cannot tell).
struct ClockedSpeech : kgi::kgiSpeechEngine {
    const double* now;
    double heard;
    bool aloud;
    double playFor;
    double playUntil = -1.0;
    ClockedSpeech(const double* now, double heard, bool aloud, double playFor)
        : now(now), heard(heard), aloud(aloud), playFor(playFor)
    {
    }
    bool speak(const std::string&) override
    {
        playUntil = *now + playFor;
        return true;
    }
    void stop() override { playUntil = -1.0; }
    bool isSpeaking() override { return *now < playUntil; }
    double heardSeconds() override { return heard; }
    bool playsAloud() override { return aloud; }
};

TEST_F(MsgWindowTest, AWindowSpeaksAsLongAsItsSpeechWouldBeHeard)
{
    // 100 characters, the line break counted: 0.5 s + 100 x 70 ms.
    const std::string page = std::string(99, 'a') + "\n";
    struct Case {
        const char* what;
        std::function<std::unique_ptr<kgi::kgiSpeechEngine>(const double*)> engine;
        double ends; // seconds after say
    };
    const Case cases[] = {
        {"an engine that cannot tell (the outside program): the reading time",
         [](const double* now) { return std::make_unique<ClockedSpeech>(now, -1.0, false, 0.0); }, 7.5},
        {"no engine at all: the reading time", [](const double*) { return nullptr; }, 7.5},
        {"the outside program still running past the reading time",
         [](const double* now) { return std::make_unique<ClockedSpeech>(now, -1.0, false, 9.0); }, 9.0},
        {"a silent synthesiser: the length it measured",
         [](const double* now) { return std::make_unique<ClockedSpeech>(now, 2.0, false, 0.0); }, 2.0},
        {"speech played aloud ends with its sound, before the reading time",
         [](const double* now) { return std::make_unique<ClockedSpeech>(now, -1.0, true, 1.0); }, 1.0},
    };
    for (const Case& c : cases) {
        double now = 100.0;
        kgi::kgiMsgWindowImpl w(app, c.engine(&now));
        w.dialog()->setClock([&now] { return now; });
        EXPECT_FALSE(w.isSpeaking()) << c.what << ": nothing said yet";
        w.say("a page", page.c_str());
        const double said = now;
        double ended = -1.0;
        for (int i = 0; i < 400 && ended < 0.0; ++i, now += 0.05)
            if (!w.isSpeaking())
                ended = now - said;
        EXPECT_NEAR(ended, c.ends, 0.051) << c.what;
        EXPECT_FALSE(w.isSpeaking()) << c.what << ": and for good";

        // Stopping ends it at once.
        now = 200.0;
        w.say("a page", page.c_str());
        EXPECT_TRUE(w.isSpeaking()) << c.what;
        w.stopSpeech();
        EXPECT_FALSE(w.isSpeaking()) << c.what;
    }
}

TEST_F(MsgWindowTest, ASilentSynthesiserSpeaksForItsSynthesisedLength)
{
    double now = 10.0;
    auto synth = std::make_unique<kgi::kgiSpeechSynth>(kgi::kgiSpeechSynth::SILENT);
    kgi::kgiSpeechSynth* engine = synth.get();
    kgi::kgiMsgWindowImpl w(app, std::move(synth));
    w.dialog()->setClock([&now] { return now; });
    // "Konnichiwa" three times, in kana.
    const std::string kana = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
    w.say("text", (kana + "\x81\x41" + kana + "\x81\x41" + kana).c_str());
    const double length = engine->heardSeconds();
    ASSERT_GT(length, 1.0);
    now += length - 0.05;
    EXPECT_TRUE(w.isSpeaking());
    now += 0.1;
    EXPECT_FALSE(w.isSpeaking());
}

TEST_F(MsgWindowTest, ColorModeSetsTheBackground)
{
    auto w = makeWindow();
    EXPECT_EQ(w->dialog()->getBackColor(), FXRGB(0xFF, 0xFF, 0xCC)); // before any mode
    struct Case {
        int mode;
        FXColor color;
    };
    const Case cases[] = {{1, FXRGB(0xFF, 0x71, 0xDA)}, {0, FXRGB(0xFF, 0xFF, 0xCC)},
                          {2, FXRGB(0xFF, 0xFF, 0xCC)}, {-1, FXRGB(0xFF, 0xFF, 0xCC)}};
    for (const Case& c : cases) {
        EXPECT_TRUE(w->setColorMode(c.mode));
        EXPECT_EQ(w->dialog()->getBackColor(), c.color) << c.mode;
        EXPECT_EQ(w->dialog()->childAtIndex(0)->getBackColor(), c.color) << c.mode;
    }
}

TEST_F(MsgWindowTest, LeftButtonDragMovesTheWindow)
{
    auto w = makeWindow();
    kgi::kgiMsgDlg* dlg = w->dialog();
    w->move(100, 200);
    FXWindow* text = dlg->childAtIndex(0);

    FXEvent e{};
    e.root_x = 130;
    e.root_y = 210;
    // The press arrives on the text, which fills the window.
    EXPECT_TRUE(text->handle(text, FXSEL(SEL_LEFTBUTTONPRESS, 0), &e));
    EXPECT_TRUE(dlg->grabbed());
    e.root_x = 180;
    e.root_y = 190;
    dlg->handle(dlg, FXSEL(SEL_MOTION, 0), &e);
    int x = 0, y = 0;
    w->getPosition(&x, &y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 180);
    e.root_x = 40;
    e.root_y = 50;
    dlg->handle(dlg, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &e);
    EXPECT_FALSE(dlg->grabbed());
    w->getPosition(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 40);

    // Motion without a drag moves nothing.
    e.root_x = 500;
    dlg->handle(dlg, FXSEL(SEL_MOTION, 0), &e);
    w->getPosition(&x, &y);
    EXPECT_EQ(x, 10);
}

TEST_F(MsgWindowTest, NeverClosesByItself)
{
    auto w = makeWindow();
    kgi::kgiMsgDlg* dlg = w->dialog();
    for (FXuint key : {KEY_Return, KEY_KP_Enter, KEY_Escape}) {
        FXEvent e{};
        e.code = key;
        EXPECT_TRUE(dlg->handle(dlg, FXSEL(SEL_KEYPRESS, 0), &e)) << key;
    }
    // What the window manager's close button sends.
    dlg->handle(app, FXSEL(SEL_CLOSE, 0), nullptr);
    EXPECT_FALSE(dlg->close(TRUE));
    EXPECT_TRUE(dlg->shown());
    EXPECT_NE(dlg->id(), FXID(0));
}

TEST_F(MsgWindowTest, LoadedModuleExportsTheFactory)
{
    void* module = dlopen(KGI_MSGLIB_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto create = reinterpret_cast<kgiCreateMsgWindowFn>(dlsym(module, "CreateMsgWindow"));
    auto destroy = reinterpret_cast<kgiDestroyMsgWindowFn>(dlsym(module, "DestroyMsgWindow"));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    // Nothing else leaks out of the module.
    EXPECT_EQ(dlsym(module, "_ZN3kgi15createMsgWindowEiiii"), nullptr);

    kgi::kgiMsgWindow* w = create(-1, -1, -1, -1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(create(7, 8, 100, 30), w);
    int width = 0, height = 0;
    EXPECT_TRUE(w->getSize(&width, &height));
    EXPECT_EQ(width, 104);
    EXPECT_EQ(height, 30);
    EXPECT_TRUE(w->setColorMode(1));
    destroy();
    destroy();
    dlclose(module);
}

} // namespace
