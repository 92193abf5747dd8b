#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "kgi3dCanvas.h"
#include "kgi3dWindow.h"
#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiLangKeys.h"
#include "kgiWorld.h"

#include "kutImg.h"

#include "support/window/kgiWindowTest.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace FX;
namespace fs = std::filesystem;
using W = kgiTimesheetWindow;

namespace {

void settle(int rounds = 10) {
    int n = 0;
    kgiTestRunUntil([&] { return ++n >= rounds; }, rounds);
}

struct WindowDeleter {
    void operator()(W* w) const {
        delete w;
        if (kgiTestApp()) kgiTestApp()->flush(true);
    }
};
using WindowPtr = std::unique_ptr<W, WindowDeleter>;

// A main window on the test application, built but not created.
WindowPtr buildWindow() { return WindowPtr(new W(kgiTestApp())); }

// The same, created, shown and drawn once.
WindowPtr showWindow() {
    WindowPtr w = buildWindow();
    w->create();
    kgiTestRunUntil([&] { return w->shown() && w->getCanvas()->getPaintCount() > 0; });
    settle();
    return w;
}

// The 3D windows the main window owns, in the order they were made.
std::vector<kgi3dWindow*> viewsOf(const W& w) {
    std::vector<kgi3dWindow*> out;
    for (FXWindow* c = kgiTestApp()->getRootWindow()->getFirst(); c; c = c->getNext())
        if (c->getOwner() == &w && c->isMemberOf(FXMETACLASS(kgi3dWindow))) out.push_back(static_cast<kgi3dWindow*>(c));
    return out;
}
kgi3dWindow* firstViewOf(const W& w) {
    const std::vector<kgi3dWindow*> views = viewsOf(w);
    return views.empty() ? nullptr : views.front();
}

// The entries of a pane that are no separators, in order.
std::vector<FXWindow*> paneEntries(FXMenuPane* pane) {
    std::vector<FXWindow*> out;
    for (FXWindow* c = pane->getFirst(); c; c = c->getNext())
        if (!c->isMemberOf(FXMETACLASS(FXMenuSeparator))) out.push_back(c);
    return out;
}

// Every widget the lock record may touch, and those it must never touch.
std::vector<FXWindow*> allLockable(const W& w) {
    std::vector<FXWindow*> out;
    for (int i = 0; i < W::BUTTON_COUNT; ++i) out.push_back(w.getButton(i));
    for (int p = 0; p < W::PANE_COUNT; ++p) {
        out.push_back(w.getMenuPane(p));
        for (FXWindow* e : paneEntries(w.getMenuPane(p))) out.push_back(e);
        out.push_back(w.getMenuTitle(p));
    }
    return out;
}

// The screen position of a window's (x, y) (no window manager: the root's
// coordinates).
void clickAt(FXWindow* w, int x, int y) {
    kgiApp* app = kgiTestApp();
    FXint rx = 0, ry = 0;
    w->translateCoordinatesTo(rx, ry, app->getRootWindow(), x, y);
    auto* d = static_cast<Display*>(app->getDisplay());
    XTestFakeMotionEvent(d, -1, rx, ry, CurrentTime);
    XSync(d, False);
    settle(3);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XSync(d, False);
    settle(3);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    settle(3);
}

// Answers the quit question as scripted and keeps what it was asked; texts
// still come from the application.
class RecordingServices : public kgiAppServices {
public:
    explicit RecordingServices(const kgiApp& app) : kgiAppServices(app), previous(&kgiCharacterServices::current()) {
        kgiCharacterServices::install(this);
    }
    ~RecordingServices() override { kgiCharacterServices::install(previous); }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        asked.push_back(caption + "|" + text);
        return answer;
    }
    bool answer = false;
    std::vector<std::string> asked;

private:
    kgiCharacterServices* previous;
};

} // namespace

// Sends the close box's message from a timeout, and ends a loop that would
// otherwise run on.
class kgiCloseProbe : public FXObject {
    FXDECLARE(kgiCloseProbe)
public:
    enum { ID_CLOSE = 1, ID_GIVE_UP };
    kgiCloseProbe() = default;
    explicit kgiCloseProbe(FXWindow* w) : window(w) {}
    long onClose(FXObject*, FXSelector, void*) {
        window->handle(window->getApp(), FXSEL(SEL_CLOSE, 0), nullptr);
        return 1;
    }
    long onGiveUp(FXObject*, FXSelector, void*) {
        window->getApp()->exit(7);
        return 1;
    }
    FXWindow* window = nullptr;
};
FXDEFMAP(kgiCloseProbe) kgiCloseProbeMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiCloseProbe::ID_CLOSE, kgiCloseProbe::onClose),
    FXMAPFUNC(SEL_TIMEOUT, kgiCloseProbe::ID_GIVE_UP, kgiCloseProbe::onGiveUp),
};
FXIMPLEMENT(kgiCloseProbe, FXObject, kgiCloseProbeMap, ARRAYNUMBER(kgiCloseProbeMap))

TEST(kgiTimesheetWindow, ToolBarButtonsIconsAndMenus) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    EXPECT_STREQ(w->getTitle().text(), "Time Line");

    const int icons[W::BUTTON_COUNT] = {W::ICON_OPEN, W::ICON_SAVE, W::ICON_UNDO, W::ICON_REDO, W::ICON_COPY,
                                        W::ICON_CUT,  W::ICON_PASTE, W::ICON_ZOOM, -1, W::ICON_AGENT};
    const int commands[W::BUTTON_COUNT] = {70, 72, 88, 89, 91, 90, 92, 115, 108, 116};
    kgiTestImage shot = w->getCanvas() ? kgiTestGrab(w.get()) : kgiTestImage();
    shot.save("timesheet_window");
    ASSERT_FALSE(shot.empty());

    // The buttons stand in this order among the tool bar's children.
    FXWindow* previous = nullptr;
    for (int i = 0; i < W::BUTTON_COUNT; ++i) {
        FXButton* b = w->getButton(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->getParent(), w->getToolBar());
        EXPECT_EQ(static_cast<int>(b->getSelector()), commands[i]) << "button " << i;
        if (previous) {
            EXPECT_GT(b->getX(), previous->getX()) << "button " << i;
        }
        previous = b;
        if (icons[i] < 0) {
            EXPECT_EQ(b->getIcon(), nullptr);
            EXPECT_EQ(b->getText(), w->label(kgiLangKey::Tool_Option));
            EXPECT_FALSE(b->getText().empty());
            continue;
        }
        EXPECT_EQ(b->getIcon(), w->getIcon(static_cast<W::Icon>(icons[i]))) << "button " << i;
        EXPECT_NE(b->getIcon(), nullptr) << "button " << i;
        EXPECT_TRUE(b->getText().empty()) << "button " << i;

        // The icon's most frequent drawn colour shows at the button.
        kutFoxImg bmp;
        ASSERT_TRUE(bmp.loadBitmap((fs::path(kgiTestBaseDir()) / "icons" / "toolbar" /
                                    W::ICON_FILES[icons[i]]).string()));
        std::map<FXColor, int> colours;
        const auto* px = reinterpret_cast<const FXColor*>(bmp.getPixels());
        for (int p = 0; p < bmp.getWidth() * bmp.getHeight(); ++p)
            if ((px[p] & FXRGB(255, 255, 255)) != FXRGB(192, 192, 192)) ++colours[px[p] & FXRGB(255, 255, 255)];
        ASSERT_FALSE(colours.empty());
        auto best = colours.begin();
        for (auto it = colours.begin(); it != colours.end(); ++it)
            if (it->second > best->second) best = it;
        FXint bx = 0, by = 0;
        b->translateCoordinatesTo(bx, by, w.get(), 0, 0);
        const kgiTestImage::Rgb rgb{int(FXREDVAL(best->first)), int(FXGREENVAL(best->first)),
                                    int(FXBLUEVAL(best->first))};
        EXPECT_GE(shot.count(bx, by, b->getWidth(), b->getHeight(), rgb, 8), best->second / 2)
            << W::ICON_FILES[icons[i]];
    }
    EXPECT_STREQ(w->getButton(7)->getTipText().text(), "Zoom");

    // The menu bar shows its six titles' text.
    FXint mx = 0, my = 0;
    w->getMenuBar()->translateCoordinatesTo(mx, my, w.get(), 0, 0);
    int dark = 0;
    for (int y = my; y < my + w->getMenuBar()->getHeight(); ++y)
        for (int x = mx; x < mx + w->getMenuBar()->getWidth(); ++x)
            if (shot.at(x, y)[0] >= 0 && shot.at(x, y)[0] < 100) ++dark;
    EXPECT_GT(dark, 50);
    const char* titles[] = {"File", "View", "Pose", "Keys", "Tools", "Help"};
    for (int p = 0; p < W::PANE_COUNT; ++p) EXPECT_EQ(w->getMenuTitle(p)->getText(), w->label(titles[p]));
    // Menu entries with icons, and the application's media texts.
    EXPECT_EQ(w->findMenuEntry(W::ID_LOAD_MDM)->getIcon(), w->getIcon(W::ICON_OPEN));
    EXPECT_EQ(w->findMenuEntry(W::ID_VIEW_NEW)->getIcon(), w->getIcon(W::ICON_NEW));
    EXPECT_EQ(w->findMenuEntry(W::ID_POSE_UNDO)->getIcon(), w->getIcon(W::ICON_POSE_UNDO));
    EXPECT_EQ(w->findMenuEntry(W::ID_MEDIA_ADD)->getText(), kgiTestApp()->languageText(kgiLangKey::Media_Add));
    EXPECT_NE(w->findMenuEntry(W::ID_MEDIA_ADD)->getText(), FXString(kgiLangKey::Media_Add));
}

TEST(kgiTimesheetWindow, CreatingItOpensThe3DWindow) {
    KGI_REQUIRE_TEST_APP();
    const size_t canvases = kgiTestApp()->getCanvases().size();
    WindowPtr w = buildWindow();
    EXPECT_TRUE(viewsOf(*w).empty());
    w->create();
    const std::vector<kgi3dWindow*> views = viewsOf(*w);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_STREQ(views[0]->getTitle().text(), "3DView");
    EXPECT_EQ(views[0]->getX(), 20);
    EXPECT_EQ(views[0]->getY(), 250);
    EXPECT_EQ(views[0]->getWidth(), 640);
    EXPECT_EQ(views[0]->getHeight(), 450);
    EXPECT_TRUE(views[0]->shown());
    EXPECT_TRUE(w->shown());
    EXPECT_EQ(kgiTestApp()->getCanvases().size(), canvases + 1);
    // Its canvas leaves the application with the window.
    w.reset();
    EXPECT_EQ(kgiTestApp()->getCanvases().size(), canvases);
}

TEST(kgiTimesheetWindow, WithoutTheIconFolderButtonsShowTexts) {
    KGI_REQUIRE_TEST_APP();
    const fs::path folder = fs::path(kgiTestBaseDir()) / "icons" / "toolbar";
    const fs::path away = fs::path(kgiTestBaseDir()) / "icons" / "toolbar.away";
    fs::rename(folder, away);
    WindowPtr w = buildWindow();
    fs::rename(away, folder);

    const char* texts[] = {"Open", "Save", "Undo", "Redo", "Copy", "Cut", "Paste", "Zoom", nullptr, "Vevur"};
    for (int i = 0; i < W::BUTTON_COUNT; ++i) {
        EXPECT_EQ(w->getButton(i)->getIcon(), nullptr);
        const FXString want = texts[i] ? FXString(texts[i]) : w->label(kgiLangKey::Tool_Option);
        EXPECT_EQ(w->getButton(i)->getText(), want) << "button " << i;
    }
    for (int p = 0; p < W::PANE_COUNT; ++p)
        for (FXWindow* e : paneEntries(w->getMenuPane(p)))
            EXPECT_EQ(static_cast<FXMenuCaption*>(e)->getIcon(), nullptr);
}

TEST(kgiTimesheetWindow, VevurStaysAtTheRightEnd) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    FXToolBar* bar = w->getToolBar();
    FXButton* vevur = w->getButton(9);
    for (const int width : {1024, 1250}) {
        w->resize(width, w->getHeight());
        kgiTestRunUntil([&] { return bar->getWidth() == width; });
        settle();
        EXPECT_EQ(bar->getWidth(), width);
        EXPECT_EQ(vevur->getX() + vevur->getWidth(), bar->getWidth() - bar->getBorderWidth() - bar->getPadRight())
            << "width " << width;
    }
}

TEST(kgiTimesheetWindow, TimeDisplayChecksFollowTheSetting) {
    KGI_REQUIRE_TEST_APP();
    kgiSettings& settings = kgiTestApp()->getSettings();
    const int saved = settings.drawNo;
    struct Case {
        int drawNo;
        bool frames;
        bool seconds;
    };
    for (const Case c : {Case{1, false, true}, Case{0, true, false}, Case{2, false, false}}) {
        settings.drawNo = c.drawNo;
        WindowPtr w = buildWindow();
        EXPECT_EQ(w->findMenuCheck(W::ID_DRAW_FRAME)->getCheck(), c.frames) << c.drawNo;
        EXPECT_EQ(w->findMenuCheck(W::ID_DRAW_MILLISEC)->getCheck(), c.seconds) << c.drawNo;
        EXPECT_EQ(settings.drawNo, c.drawNo);
    }
    // The commands switch both checks and the setting.
    WindowPtr w = buildWindow();
    w->handle(nullptr, FXSEL(SEL_COMMAND, W::ID_DRAW_MILLISEC), nullptr);
    EXPECT_TRUE(w->findMenuCheck(W::ID_DRAW_MILLISEC)->getCheck());
    EXPECT_FALSE(w->findMenuCheck(W::ID_DRAW_FRAME)->getCheck());
    EXPECT_EQ(settings.drawNo, 1);
    w->handle(nullptr, FXSEL(SEL_COMMAND, W::ID_DRAW_FRAME), nullptr);
    EXPECT_FALSE(w->findMenuCheck(W::ID_DRAW_MILLISEC)->getCheck());
    EXPECT_TRUE(w->findMenuCheck(W::ID_DRAW_FRAME)->getCheck());
    EXPECT_EQ(settings.drawNo, 0);
    settings.drawNo = saved;
}

namespace {

// Every character of every text of the table has a glyph in the normal font.
void expectGlyphsForEveryText(const W& w) {
    FXFont* font = kgiTestApp()->getNormalFont();
    const kgiLanguageTable& table = kgiTestApp()->getLanguageTable();
    int missing = 0;
    int wide = 0;
    auto check = [&](const FXString& s) {
        for (FXint p = 0; p < s.length(); p = s.inc(p)) {
            const FXwchar c = s.wc(p);
            if (c > 0x7f) ++wide;
            if (!font->hasChar(c)) ++missing;
        }
    };
    for (int i = 0; i < kgiLangKey::WINDOW_KEY_COUNT; ++i) check(table.windowText(i));
    for (int i = 0; i < kgiLangKey::APP_KEY_COUNT; ++i) check(table.appText(i));
    EXPECT_EQ(missing, 0) << font->getActualName().text();
    EXPECT_GT(wide, 100) << "the texts are Japanese";
    EXPECT_EQ(w.getMenuTitle(0)->getText(), *table.find(kgiLangKey::File));
}

} // namespace

TEST(kgiTimesheetWindow, JapaneseTextsHaveTheirGlyphs) {
    KGI_REQUIRE_TEST_APP();
    kgiSettings& settings = kgiTestApp()->getSettings();
    const FXString englishFont = kgiTestApp()->getNormalFont()->getFont();
    {
        // Started in Japanese.
        settings.language = 1;
        WindowPtr w = showWindow();
        EXPECT_EQ(settings.language, 1);
        expectGlyphsForEveryText(*w);
        const FXString japaneseOption = w->getButton(8)->getText();
        w->handle(nullptr, FXSEL(SEL_COMMAND, W::ID_LANG_ENG), nullptr);
        EXPECT_EQ(settings.language, 0);
        EXPECT_EQ(kgiTestApp()->getNormalFont()->getFont(), englishFont);
        EXPECT_NE(w->getButton(8)->getText(), japaneseOption);
        EXPECT_EQ(w->getButton(8)->getText(), w->label(kgiLangKey::Tool_Option));
    }
    {
        // Switched from English by the command.
        WindowPtr w = showWindow();
        EXPECT_EQ(w->getMenuTitle(0)->getText(), FXString("File"));
        w->handle(nullptr, FXSEL(SEL_COMMAND, W::ID_LANG_JPN), nullptr);
        settle();
        EXPECT_EQ(settings.language, 1);
        expectGlyphsForEveryText(*w);
        EXPECT_EQ(w->getButton(8)->getText(), w->label(kgiLangKey::Tool_Option));
        kgiTestGrab(w.get()).save("timesheet_window_japanese");
        w->changeLanguage(0);
    }
}

TEST(kgiTimesheetWindow, CloseBoxAsksTheQuitQuestion) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    RecordingServices services(*kgiTestApp());
    const std::string expected = std::string("Quit|") + kgiTestApp()->languageText(kgiLangKey::Me_QuitCheck).text();

    services.answer = false;
    w->handle(kgiTestApp(), FXSEL(SEL_CLOSE, 0), nullptr);
    ASSERT_EQ(services.asked.size(), 1u);
    EXPECT_EQ(services.asked[0], expected);
    settle();
    EXPECT_TRUE(w->shown());

    // Yes ends the event loop with 0.
    services.answer = true;
    kgiCloseProbe probe(w.get());
    kgiTestApp()->addTimeout(&probe, kgiCloseProbe::ID_CLOSE, 50);
    kgiTestApp()->addTimeout(&probe, kgiCloseProbe::ID_GIVE_UP, 5000);
    EXPECT_EQ(kgiTestApp()->run(), 0);
    kgiTestApp()->removeTimeout(&probe, kgiCloseProbe::ID_GIVE_UP);
    EXPECT_EQ(services.asked.size(), 2u);
    // The quit command asks the same.
    services.answer = false;
    w->handle(nullptr, FXSEL(SEL_COMMAND, W::ID_QUIT), nullptr);
    EXPECT_EQ(services.asked.size(), 3u);
}

TEST(kgiTimesheetWindow, StartUpSetsTheModelAndPoseFolders) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = buildWindow();
    EXPECT_EQ(std::string(w->getLastTimesheetFolder().text()), kgiTestBaseDir());
    kgiTestApp()->setMainWindow(w.get());
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    EXPECT_EQ(std::string(w->getLastTimesheetFolder().text()), kgiTestBaseDir() + "/DORUZAVO_1");
    EXPECT_EQ(std::string(w->getLastPoseFolder().text()), kgiTestBaseDir() + "/DORUZAVO_1/pose");
    w.reset();
    // The window's end leaves the application without a main window.
    EXPECT_EQ(kgiTestApp()->getMainWindow(), nullptr);
    kgiTestRemoveCharacters();
}

namespace {

// The widget each governed byte names, found by the window's layout: tool-bar
// buttons by position, panes in menu-bar order, entries by their place in
// their pane.
FXWindow* expectedLockWidget(const W& w, int byte) {
    auto entry = [&](int pane, int index) { return paneEntries(w.getMenuPane(pane)).at(static_cast<size_t>(index)); };
    if (byte >= 0 && byte <= 8) return w.getButton(byte);
    if (byte >= 10 && byte <= 15) return w.getMenuPane(byte - 10);
    static const std::map<int, std::pair<int, int>> entries = {
        {16, {0, 0}}, {17, {0, 1}}, {18, {0, 2}}, {19, {0, 3}}, {20, {0, 4}}, {21, {0, 8}},
        {22, {0, 5}}, {23, {0, 6}}, {24, {0, 7}}, {25, {1, 0}}, {26, {1, 1}}, {27, {2, 0}},
        {28, {2, 1}}, {29, {2, 2}}, {30, {2, 3}}, {31, {2, 4}}, {32, {2, 5}}, {33, {2, 6}},
        {34, {3, 0}}, {35, {3, 1}}, {36, {3, 2}}, {37, {3, 3}}, {38, {3, 4}}, {39, {3, 5}},
        {40, {3, 6}}, {41, {3, 7}}, {42, {3, 8}}, {47, {4, 0}}, {48, {4, 1}}, {49, {4, 2}},
        {50, {5, 0}}, {51, {5, 1}},
    };
    auto it = entries.find(byte);
    return it == entries.end() ? nullptr : entry(it->second.first, it->second.second);
}

kgiMainCommandLocks filled(unsigned char v) {
    kgiMainCommandLocks r;
    r.flags.fill(v);
    return r;
}

} // namespace

TEST(kgiTimesheetWindow, EachLockByteGovernsItsWidgetAlone) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = buildWindow();
    const std::vector<FXWindow*> all = allLockable(*w);
    for (int byte = 0; byte < kgiMainCommandLocks::SIZE; ++byte) {
        FXWindow* target = expectedLockWidget(*w, byte);
        if (!target) continue;
        kgiMainCommandLocks r = filled(1);
        r[byte] = 0;
        w->updateCommandStates(r);
        for (FXWindow* x : all) EXPECT_EQ(x->isEnabled(), x != target) << "byte " << byte;
    }
    // All 0: everything listed greyed, Vevur and the titles not; all 1 back.
    w->updateCommandStates(filled(0));
    for (FXWindow* x : all) {
        bool keeps = x == w->getButton(9);
        for (int p = 0; p < W::PANE_COUNT; ++p) keeps = keeps || x == w->getMenuTitle(p);
        EXPECT_EQ(x->isEnabled(), keeps);
    }
    EXPECT_FALSE(w->getShortcutsEnabled());
    EXPECT_FALSE(w->getRefreshEnabled());
    w->updateCommandStates(filled(1));
    for (FXWindow* x : all) EXPECT_TRUE(x->isEnabled());
    EXPECT_TRUE(w->getShortcutsEnabled());
    EXPECT_TRUE(w->getRefreshEnabled());
    // The two flags by their own bytes.
    kgiMainCommandLocks r = filled(1);
    r[52] = 0;
    w->updateCommandStates(r);
    EXPECT_FALSE(w->getShortcutsEnabled());
    EXPECT_TRUE(w->getRefreshEnabled());
    // The fills go through the table (bytes 43 to 46 kept).
    kgiMainCommandLocks f = filled(5);
    w->lockAllCommands(f);
    EXPECT_EQ(f[0], 0);
    EXPECT_EQ(f[53], 0);
    EXPECT_EQ(f[44], 5);
    w->unlockAllCommands(f);
    EXPECT_EQ(f[42], 1);
    EXPECT_EQ(f[46], 5);
}

TEST(kgiTimesheetWindow, ALockedPaneDoesNotOpen) {
    KGI_REQUIRE_TEST_APP();
    WindowPtr w = showWindow();
    FXMenuTitle* file = w->getMenuTitle(0);
    FXMenuPane* pane = w->getMenuPane(0);
    RecordingServices services(*kgiTestApp());

    // Locked pane, Quit entry usable: the title opens nothing to choose from.
    kgiMainCommandLocks r = filled(1);
    r[10] = 0;
    w->updateCommandStates(r);
    ASSERT_TRUE(paneEntries(pane).back()->isEnabled());
    clickAt(file, file->getWidth() / 2, file->getHeight() / 2);
    EXPECT_FALSE(pane->shown());
    clickAt(w->getCanvas(), 10, 10);

    // Unlocked, the same click opens it and its Quit entry answers.
    w->updateCommandStates(filled(1));
    clickAt(file, file->getWidth() / 2, file->getHeight() / 2);
    ASSERT_TRUE(pane->shown());
    FXWindow* quit = paneEntries(pane).back();
    clickAt(quit, quit->getWidth() / 2, quit->getHeight() / 2);
    EXPECT_EQ(services.asked.size(), 1u);
    EXPECT_FALSE(pane->shown());
}

// Drives the idle task from toolkit timeouts: 500 ms with nothing to do,
// playback started from a timeout until it has had a few passes (looked at
// every 100 ms, for at most 10 s: a pass draws both windows, which a
// sanitizer build on a busy machine may take long over), 500 ms quiet again.
class kgiIdleWindowsProbe : public FXObject {
    FXDECLARE(kgiIdleWindowsProbe)
public:
    enum { ID_PLAY = 1, ID_STOP, ID_END };
    long onPlay(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        quietPasses = app->getIdlePasses() - startPasses;
        kgiWorld::instance()->setPlaying(true);
        queuedOnPlay = app->hasChore(app, kgiApp::ID_IDLE);
        playStart = app->getIdlePasses();
        app->addTimeout(this, ID_STOP, 100);
        return 1;
    }
    long onStop(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        playPasses = app->getIdlePasses() - playStart;
        // Playback paces its passes: the next is queued or comes within a
        // quarter frame.
        queuedWhilePlaying = app->hasChore(app, kgiApp::ID_IDLE) ||
                             (app->hasTimeout(app, kgiApp::ID_IDLE_TIMEOUT) &&
                              app->remainingTimeout(app, kgiApp::ID_IDLE_TIMEOUT) <= kgiApp::PLAYBACK_PASS_MS);
        if (playPasses < 3 && ++stopLooks < 100) {
            app->addTimeout(this, ID_STOP, 100);
            return 1;
        }
        kgiWorld::instance()->setPlaying(false);
        stopPasses = app->getIdlePasses();
        app->addTimeout(this, ID_END, 500);
        return 1;
    }
    long onEnd(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        afterPasses = app->getIdlePasses() - stopPasses;
        queuedAfter = app->hasChore(app, kgiApp::ID_IDLE);
        app->exit(0);
        return 1;
    }
    long startPasses = 0, quietPasses = 0, playStart = 0, playPasses = 0, stopPasses = 0, afterPasses = 0;
    int stopLooks = 0;
    bool queuedOnPlay = false;
    bool queuedWhilePlaying = false;
    bool queuedAfter = true;
};
FXDEFMAP(kgiIdleWindowsProbe) kgiIdleWindowsProbeMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiIdleWindowsProbe::ID_PLAY, kgiIdleWindowsProbe::onPlay),
    FXMAPFUNC(SEL_TIMEOUT, kgiIdleWindowsProbe::ID_STOP, kgiIdleWindowsProbe::onStop),
    FXMAPFUNC(SEL_TIMEOUT, kgiIdleWindowsProbe::ID_END, kgiIdleWindowsProbe::onEnd),
};
FXIMPLEMENT(kgiIdleWindowsProbe, FXObject, kgiIdleWindowsProbeMap, ARRAYNUMBER(kgiIdleWindowsProbeMap))

TEST(kgiTimesheetWindow, IdleTaskWaitsWithBothWindowsShown) {
    KGI_REQUIRE_TEST_APP();
    kgiApp* app = kgiTestApp();
    WindowPtr w = showWindow();
    app->setMainWindow(w.get());
    app->setTimelineCanvas(w->timelineCanvas());
    kgi3dWindow* view = firstViewOf(*w);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(kgiTestLoadFactoryRobot());
    kgiWorld* world = kgiWorld::instance();
    world->setEndFrame(100.0f);
    world->setStartFrame(0.0f);
    world->setCurrentTime(0.0f);
    settle();

    kgiIdleWindowsProbe probe;
    probe.startPasses = app->getIdlePasses();
    app->addTimeout(&probe, kgiIdleWindowsProbe::ID_PLAY, 500);
    EXPECT_EQ(app->run(), 0);

    // Nothing to do: the fallback timeout's few passes, not one per turn.
    EXPECT_LE(probe.quietPasses, 20);
    // Playback from a timeout has its pass queued at once, each pass asks
    // for the next while it plays, and after it the loop waits again.
    EXPECT_TRUE(probe.queuedOnPlay);
    EXPECT_TRUE(probe.queuedWhilePlaying);
    EXPECT_GE(probe.playPasses, 3);
    EXPECT_FALSE(probe.queuedAfter);
    EXPECT_LE(probe.afterPasses, 20);

    EXPECT_TRUE(view->shown());
    EXPECT_TRUE(w->shown());
    kgiTestRemoveCharacters();
    app->setTimelineCanvas(nullptr);
    app->setMainWindow(nullptr);
}
