#include "ime/ime_rig.h"

#include "kgiApp.h"
#include "platform/inputmethod.h"
#include "support/window/kgiTimeoutAction.h"
#include "support/xserver/kgiTestXServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

pid_t server = -1;
std::string serverHome;

// The input method starts a helper server of its own when it first needs
// one, which leaves its parent and lives on after it: every process whose
// HOME is the server's folder is the server's.
void endHelpers()
{
    if (serverHome.empty())
        return;
    const std::string mark = "HOME=" + serverHome;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc", ec)) {
        const std::string name = e.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const pid_t pid = pid_t(std::stol(name));
        if (pid == getpid())
            continue;
        std::ifstream environ(e.path() / "environ", std::ios::binary);
        std::string entry;
        while (std::getline(environ, entry, '\0')) {
            if (entry == mark) {
                kill(pid, SIGTERM);
                break;
            }
        }
    }
}

void stopServer()
{
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }
    endHelpers();
    std::error_code ignored;
    if (!serverHome.empty())
        fs::remove_all(serverHome, ignored);
}

double now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Whether the server announces the input method "uim" on the display.
bool announced(Display* dpy)
{
    Atom servers = XInternAtom(dpy, "XIM_SERVERS", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), servers, 0, 1024, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            char* name = XGetAtomName(dpy, atoms[i]);
            found = name && std::string(name) == "@server=uim" && XGetSelectionOwner(dpy, atoms[i]) != None;
            if (name)
                XFree(name);
        }
    }
    if (data)
        XFree(data);
    return found;
}

// uim-xim on the display DISPLAY names, with a home folder of its own (the
// input method keeps its settings and its learning there); true once it
// announces itself. It ends with the test process however that ends.
bool startServer()
{
    serverHome = (fs::current_path() / ("uim_home_" + std::to_string(getpid()))).string();
    std::error_code ignored;
    fs::remove_all(serverHome, ignored);
    fs::create_directories(serverHome);
    std::atexit(stopServer);
    const pid_t parent = getpid();
    server = fork();
    if (server == 0) {
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            _exit(127);
        setenv("HOME", serverHome.c_str(), 1);
        // Neither it nor the helper it may leave running holds the test
        // runner's pipes open.
        kgiTestX::quietStandardStreams();
        const char* argv[] = {"uim-xim", "--engine=anthy-utf8", nullptr};
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    if (server < 0)
        return false;
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr)
        return false;
    bool up = false;
    for (const double end = now() + 60.0; !up && now() < end;) {
        up = announced(dpy);
        if (!up) {
            // A server that ended (no fonts for its text, say) never comes.
            if (waitpid(server, nullptr, WNOHANG) == server) {
                server = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    XCloseDisplay(dpy);
    if (!up)
        ADD_FAILURE() << "uim-xim did not start on " << (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    return up;
}

kgiApp* makeImeApp()
{
    if (!kgiImeLocalesBuilt() || std::getenv("DISPLAY") == nullptr)
        return nullptr;
    // The user's language: Japanese text, the input method uim.
    for (const char* v : {"LC_ALL", "LC_CTYPE", "LANGUAGE"})
        unsetenv(v);
    setenv("LOCPATH", KGI_IME_LOCALE_DIR, 1);
    setenv("LANG", "ja_JP.UTF-8", 1);
    setenv("XMODIFIERS", "@im=uim", 1);
    bool serverUp = false;
    kgiTestBeforeDisplayOpens([&serverUp] { serverUp = startServer(); });
    kgiApp* app = kgiTestApp();
    kgiTestBeforeDisplayOpens(nullptr);
    if (app == nullptr || !serverUp)
        return nullptr;
    // As the program does after the toolkit's start-up.
    platform::keepOnlyCharacterLocale();
    if (!app->hasInputMethod()) {
        ADD_FAILURE() << "the toolkit opened no input method";
        return nullptr;
    }
    return app;
}

} // namespace

bool kgiImeLocalesBuilt()
{
    return fs::exists(fs::path(KGI_IME_LOCALE_DIR) / "ja_JP.UTF-8" / "LC_CTYPE");
}

kgiApp* kgiImeTestApp()
{
    static kgiApp* app = makeImeApp();
    return app;
}

void kgiImeSwitchOn()
{
    kgiTestKeyDown("Shift_L");
    kgiTestKey("space");
    kgiTestKeyUp("Shift_L");
}

void kgiImeType(const char* letters)
{
    for (const char* p = letters; *p; ++p) {
        const char name[2] = {*p, '\0'};
        kgiTestKey(name);
    }
}

kgiImeChange kgiImeDiff(const kgiTestImage& before, const kgiTestImage& after)
{
    kgiImeChange c;
    if (before.width != after.width || before.height != after.height)
        return c;
    for (int y = 0; y < after.height; ++y) {
        for (int x = 0; x < after.width; ++x) {
            if (before.at(x, y) == after.at(x, y))
                continue;
            if (c.count == 0) {
                c.left = c.right = x;
                c.top = c.bottom = y;
            }
            ++c.count;
            c.left = std::min(c.left, x);
            c.right = std::max(c.right, x);
            c.top = std::min(c.top, y);
            c.bottom = std::max(c.bottom, y);
        }
    }
    return c;
}

// --- script ---------------------------------------------------------------------

kgiImeScript::kgiImeScript(std::vector<Step> s, double secondsPerStep)
    : steps(std::move(s)), limit(secondsPerStep), timer(new kgiTimeoutAction)
{
    timer->action = [this] { fire(); };
}

kgiImeScript::~kgiImeScript()
{
    if (FX::FXApp* app = FX::FXApp::instance())
        app->removeTimeout(timer, kgiTimeoutAction::ID_FIRE);
    delete timer;
}

void kgiImeScript::start()
{
    next = 0;
    failed.clear();
    stepStart = now();
    FX::FXApp::instance()->addTimeout(timer, kgiTimeoutAction::ID_FIRE, 20);
}

std::string kgiImeScript::failure() const
{
    if (!failed.empty())
        return failed;
    if (next < steps.size())
        return steps[next].name + " (never reached)";
    return std::string();
}

void kgiImeScript::fire()
{
    FX::FXApp* app = FX::FXApp::instance();
    if (next >= steps.size())
        return;
    Step& step = steps[next];
    if (step.ready && !step.ready()) {
        if (now() - stepStart > limit) {
            failed = step.name;
            next = steps.size();
            // Whatever is modal is cancelled so that the test goes on.
            if (FX::FXWindow* modal = app->getModalWindow())
                modal->handle(nullptr, FXSEL(FX::SEL_COMMAND, FX::FXDialogBox::ID_CANCEL), nullptr);
            return;
        }
        app->addTimeout(timer, kgiTimeoutAction::ID_FIRE, 20);
        return;
    }
    ++next;
    stepStart = now();
    if (step.act)
        step.act();
    if (next < steps.size())
        app->addTimeout(timer, kgiTimeoutAction::ID_FIRE, 20);
}
