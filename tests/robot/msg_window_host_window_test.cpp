// The host with the real message plug-in, as a lesson uses it: a Japanese
// text shown readable and whole, coloured, hidden, and its speech ending.
#include "kgiMsgWindowHost.h"

#include "support/fox/kgiFoxTestApp.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace FX;

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// A rectangle of the screen as the X server shows it.
class Shot {
public:
    Shot(FXApp* app, int x, int y, int w, int h) : width(w), height(h)
    {
        Display* d = static_cast<Display*>(app->getDisplay());
        XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, unsigned(w), unsigned(h),
                                  AllPlanes, ZPixmap);
        if (!image)
            return;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                unsigned long p = XGetPixel(image, col, row);
                pixels.push_back({int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)});
            }
        XDestroyImage(image);
    }
    bool valid() const { return !pixels.empty(); }
    Rgb at(int x, int y) const { return pixels[size_t(y * width + x)]; }
    // How many pixels of the rows [top, bottom) satisfy `test`.
    int count(int top, int bottom, const std::function<bool(Rgb)>& test) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < width; ++x)
                n += test(at(x, y)) ? 1 : 0;
        return n;
    }
    // Kept beside the test's output for a person to look at.
    void save(const std::string& name) const
    {
        std::ofstream out(name, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        for (const Rgb& p : pixels)
            out << char(p.r) << char(p.g) << char(p.b);
    }

    int width, height;

private:
    std::vector<Rgb> pixels;
};

void PrintTo(const Rgb& p, std::ostream* out)
{
    *out << "(" << p.r << ", " << p.g << ", " << p.b << ")";
}

bool dark(Rgb p)
{
    return p.r + p.g + p.b < 300;
}

class MsgWindowHostScreenTest : public ::testing::Test {
protected:
    FXApp* app = nullptr;
    std::string previous;
    std::filesystem::path base;

    void SetUp() override
    {
        app = kgiSharedFoxApp();
        if (!app)
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        // The plug-in chooses its voice from the settings file of the
        // directory the program runs in: Japanese, the synthesiser.
        previous = std::filesystem::current_path().string();
        base = std::filesystem::current_path() / "host_base";
        std::filesystem::create_directories(base / "settings");
        std::ofstream(base / "settings" / "settings.txt", std::ios::binary) << "language=1\n";
        std::filesystem::current_path(base);
    }
    void TearDown() override
    {
        if (!previous.empty())
            std::filesystem::current_path(previous);
    }

    // Lets the server and the toolkit draw, then takes the rectangle once
    // `ready` holds (or after a generous bound).
    Shot settle(int x, int y, int w, int h, const std::function<bool(const Shot&)>& ready)
    {
        for (int i = 0;; ++i) {
            app->runWhileEvents();
            app->repaint();
            app->flush(true);
            Shot shot(app, x, y, w, h);
            if ((shot.valid() && ready(shot)) || i == 200)
                return shot;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
};

TEST_F(MsgWindowHostScreenTest, JapaneseLessonTextShowsWholeColouredAndHides)
{
    kgiMsgWindowHost host;
    ASSERT_TRUE(host.isBound());
    // "Robot" and "Hello" (katakana, hiragana and a kanji) on two lines, in
    // code page 932 as the lessons keep them.
    const char* text = "\x83\x8D\x83\x7B\x83\x62\x83\x67\x82\xCC\x8A\xD6\x90\xDF\n"
                       "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x42\n";
    host.showText(text, "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", 100, 120, 0);

    // 568 x 38 at (100, 120): two 16-pixel lines and 6 to spare.
    const Rgb paleYellow{255, 255, 204};
    Shot shown = settle(100, 120, 568, 38, [&](const Shot& s) {
        return s.at(567, 37) == paleYellow && s.count(0, 16, dark) > 0 && s.count(16, 32, dark) > 0;
    });
    shown.save(previous + "/host_text.ppm");
    EXPECT_EQ(shown.at(0, 0), paleYellow);
    EXPECT_EQ(shown.at(567, 37), paleYellow);
    EXPECT_GT(shown.count(0, 16, dark), 20) << "first line";
    EXPECT_GT(shown.count(16, 32, dark), 20) << "second line";
    EXPECT_EQ(shown.count(32, 38, dark), 0) << "no third line";
    Shot outside(app, 100 + 568, 120 + 38, 1, 1);
    EXPECT_NE(outside.at(0, 0), paleYellow);

    // The speech ends by itself (silently without a sound device).
    for (int i = 0; i < 1000 && host.isSpeaking(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(host.isSpeaking());

    host.showText(text, "", 100, 120, 1);
    const Rgb pink{255, 113, 218};
    Shot pinkShot = settle(100, 120, 568, 38, [&](const Shot& s) { return s.at(0, 0) == pink; });
    pinkShot.save(previous + "/host_text_pink.ppm");
    EXPECT_EQ(pinkShot.at(0, 0), pink);
    EXPECT_GT(pinkShot.count(16, 32, dark), 20);

    host.hideWindow();
    EXPECT_FALSE(host.isSpeaking());
    auto ours = [&](Rgb p) { return p == pink || p == paleYellow; };
    Shot hidden = settle(100, 120, 568, 38, [&](const Shot& s) { return s.count(0, 38, ours) == 0; });
    hidden.save(previous + "/host_hidden.ppm");
    EXPECT_EQ(hidden.count(0, 38, ours), 0);
}

} // namespace
