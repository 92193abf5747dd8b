#include "lesson_walk_rig.h"

#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"
#include "kgiGLFrameButtons.h"
#include "kgiGLFrameline.h"
#include "kgiGLTsMgr.h"
#include "kgiMediaHost.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiSimBoard.h"
#include "kgiBoardPump.h"
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"
#include "kgiViewCanvas.h"
#include "kgiWorld.h"
#include "ksgViewpoint.h"
#include "kutTime.h"

#include "session_support_test.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/window/kgiWindowTest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

// Start-up's argument list.
struct Arguments {
    std::string program = "Zodarovu0";
    std::string mode;
    std::vector<char*> argv;

    explicit Arguments(const std::string& m) : mode(m) {
        argv = {program.data(), mode.empty() ? nullptr : this->mode.data(), nullptr};
    }
    int argc() const { return mode.empty() ? 1 : 2; }
};

// The ports a port map can name (COM1 to COM16), as the port box offers.
constexpr int COM_PORTS = 16;

// Set once the walk is made.
kgiLessonWalk* theWalk = nullptr;

// After the last test, while everything static still stands: the
// characters go, so that their freed trees are told to canvases and node
// groups that still exist (the world's own clean-up runs among the static
// destructors, after some of them).
class WalkEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        if (!theWalk) return;
        kgiWorld::instance()->setPlaying(false);
        kgiTestRemoveCharacters();
    }
};
const ::testing::Environment* const walkEnvironment = ::testing::AddGlobalTestEnvironment(new WalkEnvironment);

} // namespace

std::string kgiWalkText::line() const {
    return !text.empty() && text.back() == '\n' ? text.substr(0, text.size() - 1) : text;
}

// The message host's stand-in, also keeping each text with the clock and
// speaking from it on as the real window does.
class kgiLessonWalk::RecordingMessage : public kgiStandInMessage {
public:
    explicit RecordingMessage(kgiLessonWalk& w) : kgiStandInMessage(w.messages), walk(w) {}
    void showText(const std::string& text, const std::string& speech, int x, int y, int colorMode) override {
        // No step shows an empty page, nor one that says nothing.
        EXPECT_GT(text.size(), kgiLessonTexts::PRESENT_ABOVE)
            << "an empty page at step " << walk.step() << " page " << walk.page();
        EXPECT_GT(speech.size(), kgiLessonTexts::PRESENT_ABOVE)
            << "a page without speech at step " << walk.step() << " page " << walk.page();
        walk.texts.push_back(kgiWalkText{text, speech, x, y, colorMode, walk.clock});
        if (walk.speakOnShow) walk.messages.speaking = true;
        kgiStandInMessage::showText(text, speech, x, y, colorMode);
    }

private:
    kgiLessonWalk& walk;
};

// The answering services, kept open for the walk's idle passes.
class kgiLessonWalk::ModalAnswering : public kgiAnsweringServices {
public:
    ModalAnswering(kgiLessonWalk& w, const kgiApp& a) : kgiAnsweringServices(a), walk(w) {}
    void showMessage(const std::string& caption, const std::string& text) override {
        walk.whileModal(walk.passesWhileAsked);
        kgiAnsweringServices::showMessage(caption, text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        walk.whileModal(walk.passesWhileAsked);
        return kgiAnsweringServices::askYesNo(caption, text);
    }
    bool inputText(const kgiInputRequest& request, std::string& text) override {
        walk.whileModal(walk.passesWhileAsked);
        return kgiAnsweringServices::inputText(request, text);
    }

private:
    kgiLessonWalk& walk;
};

// The file dialog: the walk's script answers once the modal window has
// stood for its passes.
class kgiLessonWalk::ModalFileDialogs : public kgiFileDialogs {
public:
    explicit ModalFileDialogs(kgiLessonWalk& w) : walk(w) {}
    bool choose(const kgiFileDialogRequest& request, std::string& path) override {
        walk.whileModal(walk.passesWhileChoosing);
        return walk.scripted.choose(request, path);
    }

private:
    kgiLessonWalk& walk;
};

kgiLessonWalk::kgiLessonWalk() = default;

void kgiLessonWalk::whileModal(int passes) {
    // A box opened by a pass inside another box is answered at once.
    if (passes <= 0 || asking > 0) return;
    ++asking;
    // A modal window over the main window, closed once the idle task has
    // run the passes behind it (the toolkit's modal loop runs it, as it
    // does behind a real box); the frame interval restarted on each, as
    // idle() does.
    kgiApp& a = app();
    FX::FXDialogBox box(main, "Asked", FX::DECOR_TITLE, 0, 0, 200, 100);
    const long opened = a.getIdlePasses();
    kgiTimeoutAction close;
    close.action = [&] {
        kutResetTime();
        if (a.getIdlePasses() >= opened + passes)
            box.handle(&box, FXSEL(FX::SEL_COMMAND, FX::FXDialogBox::ID_CANCEL), nullptr);
        else
            a.addTimeout(&close, kgiTimeoutAction::ID_FIRE, 5);
    };
    kutResetTime();
    a.addTimeout(&close, kgiTimeoutAction::ID_FIRE, 5);
    box.execute(FX::PLACEMENT_OWNER);
    a.removeTimeout(&close, kgiTimeoutAction::ID_FIRE);
    lastModalPasses = a.getIdlePasses() - opened;
    --asking;
}

kgiLessonWalk& kgiLessonWalk::get() {
    // Never destroyed: the application it plugs into lives as long.
    static kgiLessonWalk* walk = theWalk = new kgiLessonWalk();
    static const bool opened = walk->open();
    if (!opened) ADD_FAILURE() << "the walk's windows could not be set up";
    return *walk;
}

bool kgiLessonWalk::open() {
    kgiApp* application = kgiTestApp();
    if (!application) return false;
    kgiApp& a = *application;
    // The fixture texts speak only in English.
    if (a.getSettings().language != 0) a.loadLanguage(0);
    // The program installs the joint table before start-up.
    kgiRobotJointTable::instance();
    kgiLessonManager* m = kgiLessonManager::instance();
    m->setClock([this] {
        if (autoAdvance) clock += CLOCK_STEP;
        return clock;
    });
    a.setLessonManager(m);

    kgiAppMakers makers;
    makers.optionsDialog = &kgiOptionsDialog::make;
    makers.robotSession = []() -> kgiRobotConnection* { return new kgiRobotSession(); };
    makers.soundPlayer = [this]() -> kgiSoundOutput* { return new kgiStandInSound(sounds); };
    makers.msgWindowHost = [this]() -> kgiMessageHost* { return new RecordingMessage(*this); };
    a.setMakers(makers);
    answering = std::make_unique<ModalAnswering>(*this, a);
    kgiCharacterServices::install(answering.get());
    fileDialogs = std::make_unique<ModalFileDialogs>(*this);
    kgiFileDialogs::install(fileDialogs.get());

    main = new kgiTimesheetWindow(&a);
    main->create();
    a.setMainWindow(main);
    a.setTimelineCanvas(main->timelineCanvas());
    if (!kgiTestRunUntil([&] { return main->shown() && !a.getCanvases().empty(); })) return false;
    baseTitle = main->getTitle().text();

    // The program without a lesson, once: the model's folders known (the
    // step files' place) and canvas 0 centred on the robot.
    if (!kgiTestLoadFactoryRobot()) return false;
    idle(2);
    centred = viewMatrix();

    // The shipped step files as staged, before a fixture replaces one.
    const std::filesystem::path tutorial =
        std::filesystem::path(kgiLessonManager::stepFilePath(a.getBaseDir(), a.getModelId(), 0, 1)).parent_path();
    shipped = tutorial.parent_path() / "tutorial.shipped";
    std::error_code error;
    std::filesystem::remove_all(shipped, error);
    std::filesystem::copy(tutorial, shipped, std::filesystem::copy_options::recursive, error);
    return !error;
}

void kgiLessonWalk::useShippedStepFile(int mode) {
    const kgiApp& a = app();
    const std::filesystem::path path =
        kgiLessonManager::stepFilePath(a.getBaseDir(), a.getModelId(), a.getSettings().language, mode);
    std::error_code error;
    std::filesystem::copy_file(shipped / path.filename(), path, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) ADD_FAILURE() << "the shipped step file could not be put back: " << path << ": " << error.message();
}

std::string kgiLessonWalk::pageLine(int step, int page, int bank) const {
    kgiWalkText t;
    t.text = manager().getTexts().get(bank, 0, page, step);
    return t.line();
}

std::string kgiLessonWalk::label(int mode, int step, int page) {
    return "m" + std::to_string(mode) + " s" + std::to_string(step) + " p" + std::to_string(page);
}

std::string kgiLessonWalk::noticeLabel(int mode, int step, int page) {
    return "m" + std::to_string(mode) + " n" + std::to_string(step) + " p" + std::to_string(page);
}

void kgiLessonWalk::writeStepFile(int mode, int lastStep, const std::map<int, int>& pages) {
    const kgiApp& a = app();
    const std::filesystem::path path =
        kgiLessonManager::stepFilePath(a.getBaseDir(), a.getModelId(), a.getSettings().language, mode);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int s = 0; s <= lastStep; ++s) {
        const auto it = pages.find(s);
        const int count = std::clamp(it != pages.end() ? it->second : (s == 0 ? 2 : 1), 1,
                                     kgiLessonTexts::PAGES);
        out << "[" << s << "]\n";
        for (int p = 0; p < count; ++p) out << ":0,0," << p << "\n" << label(mode, s, p) << "\n";
    }
    // The notices last: a bank chosen stays chosen for the lines after it.
    out << "[" << NOTICE << "]\n:1,0,0\n" << noticeLabel(mode, NOTICE, 0) << "\n";
    if (!out) ADD_FAILURE() << "the step file could not be written: " << path;
}

bool kgiLessonWalk::start(int mode) {
    kgiApp& a = app();
    texts.clear();
    messages.record.clear();
    sounds.played.clear();
    messages.speaking = false;
    kgiTestRemoveCharacters();
    Arguments args(std::to_string(mode));
    autoAdvance = true;
    a.startUp(args.argc(), args.argv.data());
    autoAdvance = false;
    return world().getCurrentCharacter() != nullptr && a.isLessonMode();
}

kgiApp& kgiLessonWalk::app() const { return *kgiTestApp(); }

kgiLessonManager& kgiLessonWalk::manager() const { return *kgiLessonManager::instance(); }

kgiWorld& kgiLessonWalk::world() const { return *kgiWorld::instance(); }

kgiOptionsDialog* kgiLessonWalk::optionsDialog() const {
    return dynamic_cast<kgiOptionsDialog*>(app().getOptionsDialog());
}

kgiGLTsMgr& kgiLessonWalk::timeline() const { return *main->getCanvas()->getManager(); }

kgiGLFrameButtons& kgiLessonWalk::frameButtons() const { return *timeline().getFrameButtons(); }

void kgiLessonWalk::useMediaHost() {
    world().setMediaTracksMaker([]() -> kgiMediaTracks* { return kgiMediaHost::instance(); });
}

std::vector<float> kgiLessonWalk::viewMatrix() const {
    const std::vector<kgiViewCanvas*>& canvases = app().getCanvases();
    ksgViewpoint* vp = canvases.empty() ? nullptr : canvases[0]->getViewpoint();
    if (!vp) return {};
    const kmlMatrix4 m = vp->getMatrix();
    return std::vector<float>(static_cast<const float*>(m), static_cast<const float*>(m) + 16);
}

int kgiLessonWalk::mode() const { return manager().getMode(); }
int kgiLessonWalk::step() const { return manager().getStep(); }
int kgiLessonWalk::page() const { return manager().getPage(); }
bool kgiLessonWalk::waiting() const { return manager().isWaiting(); }

void kgiLessonWalk::idle(int passes) {
    int n = 0;
    idleUntil([&] { return ++n >= passes; }, passes);
}

bool kgiLessonWalk::idleUntil(const std::function<bool()>& done, int maxPasses) {
    // Playback moves by the real time since the previous pass: held to the
    // moments between two passes, so the test's steps move it.
    kutResetTime();
    return kgiTestRunUntil(
        [&] {
            kutResetTime();
            return done();
        },
        maxPasses);
}

kgiWalkText kgiLessonWalk::lastShown() const { return texts.empty() ? kgiWalkText() : texts.back(); }

std::vector<kgiWalkText> kgiLessonWalk::textsSince(std::size_t mark) const {
    if (mark >= texts.size()) return {};
    return std::vector<kgiWalkText>(texts.begin() + static_cast<std::ptrdiff_t>(mark), texts.end());
}

bool kgiLessonWalk::emptiedAfterLastText() const {
    const std::vector<std::string>& calls = messages.record.calls;
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
        if (*it == "hideWindow") return true;
        if (it->compare(0, 9, "showText(") == 0) return false;
    }
    return false;
}

std::vector<int> kgiLessonWalk::soundsSince(std::size_t mark) const {
    std::vector<int> ids;
    for (std::size_t i = mark; i < sounds.played.size(); ++i) ids.push_back(sounds.played[i].first);
    return ids;
}

namespace {
// Whether byte i of the main window's record governs something: a widget
// the window has, or one of its two flags.
bool mainByteShown(const kgiTimesheetWindow& w, int i, bool* enabled) {
    const kgiLockTarget t = kgiMainCommandTable::target(i);
    if (t.kind == kgiLockTarget::SHORTCUTS) {
        *enabled = w.getShortcutsEnabled();
        return true;
    }
    if (t.kind == kgiLockTarget::REFRESH) {
        *enabled = w.getRefreshEnabled();
        return true;
    }
    FX::FXWindow* widget = w.lockWidget(i);
    if (!widget) return false;
    *enabled = widget->isEnabled();
    return true;
}
} // namespace

std::set<int> kgiLessonWalk::mainEnabled() const {
    std::set<int> on;
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i) {
        bool enabled = false;
        if (mainByteShown(*main, i, &enabled) && enabled) on.insert(i);
    }
    return on;
}

std::set<int> kgiLessonWalk::allMainBytes() {
    std::set<int> all;
    const kgiLessonWalk& walk = get();
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i) {
        bool enabled = false;
        if (mainByteShown(*walk.main, i, &enabled)) all.insert(i);
    }
    return all;
}

std::set<int> kgiLessonWalk::optionsEnabled() const {
    std::set<int> on;
    if (const kgiOptionsDialog* d = optionsDialog())
        for (int byte : kgiOptionsDialog::GOVERNED_BYTES)
            if (FX::FXWindow* widget = d->governedWidget(byte); widget && widget->isEnabled()) on.insert(byte);
    return on;
}

std::set<int> kgiLessonWalk::allOptionsBytes() const {
    std::set<int> all;
    if (const kgiOptionsDialog* d = optionsDialog())
        for (int byte : kgiOptionsDialog::GOVERNED_BYTES)
            if (d->governedWidget(byte)) all.insert(byte);
    return all;
}

std::string kgiLessonWalk::titleSuffix() const {
    const std::string title = main->getTitle().text();
    return title.compare(0, baseTitle.size(), baseTitle) == 0 ? title.substr(baseTitle.size()) : title;
}

long kgiLessonWalk::mainCommand(int id) { return main->handle(main, FXSEL(FX::SEL_COMMAND, id), nullptr); }

long kgiLessonWalk::optionsCommand(int id) {
    kgiOptionsDialog* d = optionsDialog();
    return d ? d->handle(d, FXSEL(FX::SEL_COMMAND, id), nullptr) : 0;
}

bool kgiLessonWalk::choose(FX::FXList* list, int id, int row) {
    kgiOptionsDialog* d = optionsDialog();
    if (!d || !list || row < 0 || row >= list->getNumItems()) return false;
    list->setCurrentItem(row);
    list->selectItem(row);
    // As the list sends it on a click: the row in the data.
    d->handle(list, FXSEL(FX::SEL_COMMAND, id), reinterpret_cast<void*>(static_cast<FX::FXival>(row)));
    return true;
}

bool kgiLessonWalk::chooseSample(int row) {
    const kgiOptionsDialog* d = optionsDialog();
    return d && choose(d->widgets().sampleList, kgiOptionsDialog::ID_SAMPLE_LIST, row);
}

bool kgiLessonWalk::chooseRobotMotion(int row) {
    const kgiOptionsDialog* d = optionsDialog();
    return d && choose(d->widgets().remoconList, kgiOptionsDialog::ID_REMOCON_LIST, row);
}

bool kgiLessonWalk::chooseComPort(int port) {
    kgiOptionsDialog* d = optionsDialog();
    if (!d) return false;
    FX::FXComboBox* box = d->widgets().comPort;
    if (port < 1 || port > box->getNumItems()) return false;
    box->setCurrentItem(port - 1);
    // As the box sends it when a line of its list is picked: the text.
    d->handle(box, FXSEL(FX::SEL_COMMAND, kgiOptionsDialog::ID_COM_PORT),
              const_cast<char*>(box->getText().text()));
    return true;
}

long kgiLessonWalk::clickOptionsCheck(FX::FXMenuCheck* check, int id) {
    kgiOptionsDialog* d = optionsDialog();
    if (!d || !check) return 0;
    check->setCheck(!check->getCheck());
    return d->handle(check, FXSEL(FX::SEL_COMMAND, id), reinterpret_cast<void*>(FX::FXuval(check->getCheck())));
}

void kgiLessonWalk::useBoard(kgiSimBoard& board, int port) {
    kgiAppMakers makers = app().getMakers();
    const std::string missing = (std::filesystem::path(kgiTestBaseDir()) / "no_device").string();
    makers.robotSession = [&board, port, missing]() -> kgiRobotConnection* {
        auto* session = new kgiRobotSession();
        session->setTimeSource(kgiTestSession::steppingClock);
        kgiRobotLink& link = session->getLink();
        if (kgiPointPortAt(link, static_cast<unsigned>(port), board.devicePath())) {
            std::ofstream map(link.portMapFile, std::ios::app);
            for (int p = 1; p <= COM_PORTS; ++p)
                if (p != port) map << "COM" << p << "=" << missing << "\n";
        }
        return session;
    };
    app().setMakers(makers);
}

bool kgiLessonWalk::settleLink(int maxPasses) {
    constexpr uint32_t CH = kgiRobotSession::CHANNEL;
    return idleUntil(
        [&] {
            auto* session = dynamic_cast<kgiRobotSession*>(app().getRobotSession());
            if (!session) return false;
            const kgiRobotLink& link = session->getLink();
            return link.machinesIdle(CH) && link.linkBusy[CH] == 0 && !session->isInfoReading();
        },
        maxPasses);
}

bool kgiLessonWalk::boardGotPlay(kgiSimBoard& board, int motion) {
    const uint8_t play[] = {0xF8, 0x40, 0x01, static_cast<uint8_t>(motion)};
    std::vector<uint8_t> bytes;
    for (const kgiSimBoard::Received& r : board.received())
        if (!r.garbled) bytes.push_back(r.byte);
    return std::search(bytes.begin(), bytes.end(), std::begin(play), std::end(play)) != bytes.end();
}

bool kgiLessonWalk::pressFrameButton(int button) {
    kgiGLFrameButtons& b = frameButtons();
    const int width = 2 * b.getHalfWidth() / 3;
    const int x = b.getGroupX() + width * button + width / 2;
    const int y = (b.getY() + b.getPictureBottom()) / 2;
    return b.onMouse(kgiGLWidget::BUTTON_LEFT, kgiGLWidget::ACTION_PRESS, 0, x, y);
}

void kgiLessonWalk::playToEnd() {
    kgiWorld& w = world();
    if (!w.isPlaying()) return;
    const float fps = w.getFps() > 0.0f ? w.getFps() : 1.0f;
    w.advancePlaybackBy((w.getEndFrame() - w.getCurrentTime() + 2.0f) / fps, false);
    if (w.isPlaying()) w.setPlaying(false);
}

namespace {
// A mouse event for the time line's canvas.
FX::FXEvent canvasEvent(FX::FXuint type, int x, int y, int clicks) {
    FX::FXEvent e{};  // no modifier held
    e.type = type;
    e.win_x = e.root_x = x;
    e.win_y = e.root_y = y;
    e.click_count = clicks;
    return e;
}

FX::FXuint pressOf(int button) {
    return button == kgiGLWidget::BUTTON_RIGHT    ? FX::SEL_RIGHTBUTTONPRESS
           : button == kgiGLWidget::BUTTON_MIDDLE ? FX::SEL_MIDDLEBUTTONPRESS
                                                  : FX::SEL_LEFTBUTTONPRESS;
}

FX::FXuint releaseOf(int button) {
    return button == kgiGLWidget::BUTTON_RIGHT    ? FX::SEL_RIGHTBUTTONRELEASE
           : button == kgiGLWidget::BUTTON_MIDDLE ? FX::SEL_MIDDLEBUTTONRELEASE
                                                  : FX::SEL_LEFTBUTTONRELEASE;
}
} // namespace

void kgiLessonWalk::timelinePress(int button, int x, int y, int clicks) {
    FX::FXEvent e = canvasEvent(pressOf(button), x, y, clicks);
    main->getCanvas()->handle(main, FXSEL(e.type, 0), &e);
}

void kgiLessonWalk::timelineMotion(int x, int y) {
    FX::FXEvent e = canvasEvent(FX::SEL_MOTION, x, y, 0);
    main->getCanvas()->handle(main, FXSEL(e.type, 0), &e);
}

void kgiLessonWalk::timelineRelease(int button, int x, int y) {
    FX::FXEvent e = canvasEvent(releaseOf(button), x, y, 1);
    main->getCanvas()->handle(main, FXSEL(e.type, 0), &e);
}

kgiLessonWalk::Point kgiLessonWalk::keyPoint(int f) const {
    const kgiGLFrameline& line = *timeline().getFrameLine();
    return {line.columnOf(f) + line.getPixelsPerFrame() / 2, line.getY() + line.getKeyRowHeight() / 2};
}

kgiLessonWalk::Point kgiLessonWalk::timePoint(int f) const {
    const kgiGLFrameline& line = *timeline().getFrameLine();
    const int keyBottom = line.getY() + line.getKeyRowHeight();
    return {keyPoint(f).x, (keyBottom + line.getY() + line.getHeight()) / 2};
}

void kgiLessonWalk::dragKey(int button, int from, int to) {
    const Point a = keyPoint(from);
    const Point b = keyPoint(to);
    timelinePress(button, a.x, a.y);
    timelineMotion((a.x + b.x) / 2, b.y);
    timelineMotion(b.x, b.y);
    timelineRelease(button, b.x, b.y);
}

bool kgiLessonWalk::walkRows(int finalStep, const std::vector<kgiWalkRow>& rows) {
    for (const kgiWalkRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(step(), row.step);
        EXPECT_TRUE(waiting());
        if (step() != row.step || !waiting()) return false;
        EXPECT_EQ(mainEnabled(), row.mainEnabled);
        EXPECT_EQ(optionsEnabled(), row.optionsEnabled);
        const std::size_t soundsBefore = soundMark();
        const std::size_t textsBefore = textMark();

        row.act(*this);
        EXPECT_EQ(soundsSince(soundsBefore), row.sounds);
        EXPECT_EQ(step(), row.next);
        if (row.playing) {
            EXPECT_TRUE(world().isPlaying());
            // Playback moves on by the real time a pass takes (long in a
            // slow build): what a pass left while it still plays counts.
            for (int pass = 0; pass < 3 && world().isPlaying(); ++pass) {
                idle(1);
                if (!world().isPlaying()) break;
                EXPECT_FALSE(waiting()) << "set up while playback runs";
                EXPECT_EQ(textMark(), textsBefore) << "a text while playback runs";
            }
            playToEnd();
        }
        if (row.next < finalStep) {
            const bool settled = idleUntil([&] { return waiting(); });
            EXPECT_TRUE(settled) << "step " << row.next << " never waited";
            if (!settled) return false;
        } else {
            idle(2);
        }
        const std::vector<kgiWalkText> texts = textsSince(textsBefore);
        EXPECT_EQ(texts.size(), row.shown.size());
        for (std::size_t i = 0; i < texts.size() && i < row.shown.size(); ++i) {
            const kgiWalkRow::Shown& expected = row.shown[i];
            EXPECT_EQ(texts[i].line(), pageLine(expected.step, 0, expected.colour == 1 ? 1 : 0));
            EXPECT_EQ(texts[i].x, 350);
            EXPECT_EQ(texts[i].y, expected.y) << texts[i].line();
            EXPECT_EQ(texts[i].colour, expected.colour) << texts[i].line();
        }
        if (row.check) row.check(*this);
        if (::testing::Test::HasFatalFailure()) return false;
    }
    return true;
}

::testing::AssertionResult kgiLessonWalk::walkIntroduction() {
    using ::testing::AssertionFailure;
    const kgiWalkText first = lastShown();
    if (step() != 0 || !waiting()) return AssertionFailure() << "not in the introduction: step " << step();
    if (first.line() != pageLine(0, 0)) return AssertionFailure() << "first page: \"" << first.line() << "\"";
    if (first.x != kgiLessonManager::MESSAGE_X || first.y != kgiLessonManager::MESSAGE_Y_UPPER || first.colour != 0)
        return AssertionFailure() << "first page at (" << first.x << ", " << first.y << ") in colour mode "
                                  << first.colour;
    if (!(first.clock > 2.0f)) return AssertionFailure() << "first page after " << first.clock << " s";
    // Each further page once the one before has been spoken, as long as
    // the file has them.
    const kgiLessonTexts& t = manager().getTexts();
    for (int p = 1; p < kgiLessonTexts::PAGES && t.isPresent(0, 0, p, 0) && t.isPresent(0, 1, p, 0); ++p) {
        const std::size_t shownBefore = textMark();
        idle(2);
        if (textMark() != shownBefore) return AssertionFailure() << "page " << p << " while page " << p - 1 << " spoke";
        setSpeaking(false);
        if (!idleUntil([&] { return page() == p; })) return AssertionFailure() << "no page " << p;
        if (lastShown().line() != pageLine(0, p))
            return AssertionFailure() << "page " << p << ": \"" << lastShown().line() << "\"";
    }
    setSpeaking(false);
    if (!idleUntil([&] { return step() == 1 && waiting(); }))
        return AssertionFailure() << "step 1 was not set up: step " << step();
    if (lastShown().line() != pageLine(1, 0))
        return AssertionFailure() << "step 1 shows \"" << lastShown().line() << "\"";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult kgiLessonWalk::walkToEnd(int finalStep, const std::function<void(int page)>& onPage) {
    using ::testing::AssertionFailure;
    const bool speakingShows = speakOnShow;
    speakOnShow = true;
    struct Restore {
        kgiLessonWalk& w;
        bool on;
        ~Restore() { w.speakOnShow = on; }
    } restore{*this, speakingShows};

    playToEnd();
    idle(2);
    const int m = mode();
    if (m <= 0) return AssertionFailure() << "no lesson runs";
    if (step() != finalStep || waiting())
        return AssertionFailure() << "not at the final step's start: step " << step() << (waiting() ? " waiting" : "");

    // Nothing before 4 s of the step.
    const float began = manager().getStepTimer();
    std::size_t mark = textMark();
    if (clock < began + 3.9f) {
        clock = began + 3.9f;
        idle(3);
        if (textMark() != mark)
            return AssertionFailure() << "the final text showed " << clock - began << " s into the step";
    }
    if (clock < began + 4.1f) clock = began + 4.1f;
    if (!idleUntil([&] { return textMark() > mark; }))
        return AssertionFailure() << "the final text never showed";
    kgiWalkText first = texts[mark];
    if (first.line() != pageLine(finalStep, 0) || first.x != 350 || first.y != 40 || first.colour != 0)
        return AssertionFailure() << "final text \"" << first.line() << "\" at (" << first.x << ", " << first.y
                                  << ") colour " << first.colour;
    if (!(first.clock - began > 4.0f))
        return AssertionFailure() << "the final text showed " << first.clock - began << " s into the step";
    const float shownAt = first.clock;

    // Each page while the previous one has been spoken.
    for (int p = 0;; ++p) {
        idle(2);
        if (onPage) onPage(p);
        clock += 0.25f;
        idle(2);
        if (mode() <= 0) return AssertionFailure() << "the lesson ended while page " << p << " was spoken";
        if (textMark() != mark + static_cast<std::size_t>(p) + 1)
            return AssertionFailure() << "a text showed while page " << p << " was spoken";
        setSpeaking(false);
        const kgiLessonTexts& t = manager().getTexts();
        if (!(t.isPresent(0, 0, p + 1, finalStep) && t.isPresent(0, 1, p + 1, finalStep))) break;
        if (!idleUntil([&] { return textMark() > mark + static_cast<std::size_t>(p) + 1; }))
            return AssertionFailure() << "page " << p + 1 << " never showed";
        const kgiWalkText& next = texts.back();
        if (next.line() != pageLine(finalStep, p + 1) || next.y != 40 || next.colour != 0)
            return AssertionFailure() << "page " << p + 1 << " showed as \"" << next.line() << "\" at y " << next.y;
    }
    const std::size_t allPages = textMark();

    // Spoken to its end before 4 s: the lesson stays until 4 s have passed.
    idle(3);
    if (clock - shownAt < 3.9f) {
        if (mode() <= 0)
            return AssertionFailure() << "the lesson ended " << clock - shownAt << " s after the final text";
        clock = shownAt + 3.9f;
        idle(3);
        if (mode() <= 0)
            return AssertionFailure() << "the lesson ended " << clock - shownAt << " s after the final text";
    }
    // Past 4 s, but the window speaks: still not.
    setSpeaking(true);
    clock = shownAt + 6.0f;
    idle(3);
    if (mode() <= 0) return AssertionFailure() << "the lesson ended while the window spoke";
    setSpeaking(false);
    if (!idleUntil([&] { return mode() <= 0; })) return AssertionFailure() << "the lesson never ended";

    if (textMark() != allPages) return AssertionFailure() << "a text showed after the final pages";
    if (app().isLessonMode()) return AssertionFailure() << "the application still is in a lesson";
    if (mainEnabled() != allMainBytes())
        return AssertionFailure() << "not every command of the main window is enabled";
    if (optionsDialog() && optionsEnabled() != allOptionsBytes())
        return AssertionFailure() << "not every command of the options window is enabled";
    for (int i = 0; i < kgiLessonControl::PERMISSION_COUNT; ++i)
        if (!manager().getPermission(i)) return AssertionFailure() << "permission " << i << " still off";
    if (!emptiedAfterLastText()) return AssertionFailure() << "the message window was not emptied";
    return ::testing::AssertionSuccess();
}
