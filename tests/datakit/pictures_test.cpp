#include "kgiPicture.h"
#include "kgiPictureSet.h"
#include "kutImg.h"

#include "contact_sheet.h"
#include "kit_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>

namespace {

using kit::fs::path;

const path DATA = KGI_DATA_DIR;
const kgiRgb TOOLBAR_KEY(192, 192, 192);
const kgiRgb WHITE(255, 255, 255);

const char* const TOOLBAR_ICONS[] = {"open", "save", "undo", "redo", "copy", "cut",
                                     "paste", "zoom", "agent", "pose_undo", "pose_redo", "new"};
const char* const CURVE_ICONS[] = {"tree", "curver", "curveg", "curveb", "pos", "rot",
                                   "def", "lin", "fast", "slow", "fitx", "fity",
                                   "fitxy", "tin", "tout", "tinout"};
const char* const FRAME_BUTTONS[] = {"s_begin", "s_play", "s_stop", "s_end"};
const char* const TRASH_IMAGES[] = {"b_trash", "b_trash2"};

path toolbarIcon(const std::string& name) { return DATA / "icons/toolbar" / (name + ".bmp"); }
path curveIcon(const std::string& name) { return DATA / "icons/curve" / (name + ".bmp"); }
path timelineImage(const std::string& name) { return DATA / "icons/3d" / (name + ".bmp"); }

// A file as the program reads it, top row first; an empty 1 x 1 picture
// when it does not load.
kgiPicture load(const path& file) {
    kutFoxImg img;
    if (!img.loadBitmap(file.string())) return kgiPicture(1, 1, kgiRgb());
    kgiPicture out(img.getWidth(), img.getHeight(), kgiRgb());
    const unsigned char* p = img.getPixels();
    for (int y = 0; y < img.getHeight(); ++y)
        for (int x = 0; x < img.getWidth(); ++x, p += 4) out.set(x, y, kgiRgb(p[0], p[1], p[2]));
    return out;
}

bool samePixels(const kgiPicture& a, const kgiPicture& b) {
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight()) return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

TEST(Pictures, BmpWriterAndReaderAgreeOnEveryRowPadding) {
    const path dir = kit::freshDir("bmp_round_trip");
    for (int w = 1; w <= 5; ++w) {
        SCOPED_TRACE(w);
        kgiPicture pic(w, 3, kgiRgb());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                pic.set(x, y, kgiRgb(static_cast<std::uint8_t>(40 * x + 1),
                                     static_cast<std::uint8_t>(60 * y + 2),
                                     static_cast<std::uint8_t>(7 * x + 11 * y + 3)));
        const path file = dir / ("w" + std::to_string(w) + ".bmp");
        ASSERT_EQ(pic.writeBmp(file.string()), "");

        kutFoxImg fox;  // top row first
        kutGLImg gl;    // bottom row first
        ASSERT_TRUE(fox.loadBitmap(file.string()));
        ASSERT_TRUE(gl.loadBitmap(file.string()));
        ASSERT_EQ(fox.getWidth(), w);
        ASSERT_EQ(fox.getHeight(), 3);
        ASSERT_EQ(gl.getWidth(), w);
        ASSERT_EQ(gl.getHeight(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) {
                const kgiRgb c = pic.at(x, y);
                const unsigned char* f = fox.getPixels() + 4 * (y * w + x);
                const unsigned char* g = gl.getPixels() + 4 * ((2 - y) * w + x);
                EXPECT_EQ(kgiRgb(f[0], f[1], f[2]), c) << x << "," << y;
                EXPECT_EQ(kgiRgb(g[0], g[1], g[2]), c) << x << "," << y;
                EXPECT_EQ(f[3], 255);
                EXPECT_EQ(g[3], 255);
            }
    }
    kit::fs::remove_all(dir);
}

TEST(Pictures, EveryWindowImageLoadsAtItsSize) {
    struct Expect {
        path file;
        int maxHeight;  // 0: exactly 16 x 16
    };
    std::vector<Expect> all;
    for (const char* n : TOOLBAR_ICONS) all.push_back({toolbarIcon(n), 0});
    for (const char* n : CURVE_ICONS) all.push_back({curveIcon(n), 0});
    for (const char* n : FRAME_BUTTONS) all.push_back({timelineImage(n), 12});
    for (const char* n : TRASH_IMAGES) all.push_back({timelineImage(n), 18});
    for (const Expect& e : all) {
        SCOPED_TRACE(e.file.string());
        kutGLImg gl;
        kutFoxImg fox;
        ASSERT_TRUE(gl.loadBitmap(e.file.string()));
        ASSERT_TRUE(fox.loadBitmap(e.file.string()));
        EXPECT_EQ(gl.getWidth(), fox.getWidth());
        EXPECT_EQ(gl.getHeight(), fox.getHeight());
        if (e.maxHeight == 0) {
            EXPECT_EQ(fox.getWidth(), 16);
            EXPECT_EQ(fox.getHeight(), 16);
        } else {
            EXPECT_LE(fox.getHeight(), e.maxHeight);
        }
    }
    // The frame-button widget sizes the group from s_begin.bmp alone.
    const kgiPicture begin = load(timelineImage("s_begin"));
    for (const char* n : FRAME_BUTTONS) {
        const kgiPicture p = load(timelineImage(n));
        EXPECT_EQ(p.getWidth(), begin.getWidth()) << n;
        EXPECT_EQ(p.getHeight(), begin.getHeight()) << n;
    }
}

TEST(Pictures, IconsAreTransparentAroundTheirDrawingAndNowhereInside) {
    std::vector<std::pair<path, kgiRgb>> icons;
    for (const char* n : TOOLBAR_ICONS) icons.push_back({toolbarIcon(n), TOOLBAR_KEY});
    for (const char* n : CURVE_ICONS) icons.push_back({curveIcon(n), WHITE});
    for (const auto& [file, key] : icons) {
        SCOPED_TRACE(file.string());
        const kgiPicture p = load(file);
        ASSERT_EQ(p.getWidth(), 16);
        const int w = p.getWidth(), h = p.getHeight();

        // Flood the key colour in from the border.
        std::vector<char> reached(static_cast<std::size_t>(w * h), 0);
        std::deque<kgiPoint> todo;
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(p.at(x, 0), key) << "top border at " << x;
            EXPECT_EQ(p.at(x, h - 1), key) << "bottom border at " << x;
            todo.push_back({x, 0});
            todo.push_back({x, h - 1});
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(p.at(0, y), key) << "left border at " << y;
            EXPECT_EQ(p.at(w - 1, y), key) << "right border at " << y;
            todo.push_back({0, y});
            todo.push_back({w - 1, y});
        }
        while (!todo.empty()) {
            const kgiPoint q = todo.front();
            todo.pop_front();
            if (!p.contains(q.x, q.y) || reached[q.y * w + q.x] || p.at(q.x, q.y) != key) continue;
            reached[q.y * w + q.x] = 1;
            todo.push_back({q.x + 1, q.y});
            todo.push_back({q.x - 1, q.y});
            todo.push_back({q.x, q.y + 1});
            todo.push_back({q.x, q.y - 1});
        }

        int drawn = 0, left = w, right = -1, top = h, bottom = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (p.at(x, y) == key) {
                    EXPECT_TRUE(reached[y * w + x]) << "transparent hole at " << x << "," << y;
                    continue;
                }
                ++drawn;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        // A drawing that fills a fair part of the square, not a speck.
        EXPECT_GE(drawn, 24);
        EXPECT_GE(right - left + 1, 10);
        EXPECT_GE(bottom - top + 1, 10);
    }
}

TEST(Pictures, PicturesThatMustDifferDo) {
    const std::pair<path, path> pairs[] = {
        {timelineImage("b_trash"), timelineImage("b_trash2")},
        {timelineImage("s_play"), timelineImage("s_stop")},
        {timelineImage("s_begin"), timelineImage("s_end")},
        {curveIcon("tin"), curveIcon("tout")},
        {curveIcon("tin"), curveIcon("tinout")},
        {curveIcon("tout"), curveIcon("tinout")},
        {curveIcon("fast"), curveIcon("slow")},
        {toolbarIcon("undo"), toolbarIcon("pose_undo")},
        {toolbarIcon("redo"), toolbarIcon("pose_redo")},
        {toolbarIcon("undo"), toolbarIcon("redo")},
    };
    for (const auto& [a, b] : pairs) {
        const kgiPicture pa = load(a), pb = load(b);
        ASSERT_GT(pa.getWidth() * pa.getHeight(), 1) << a;
        ASSERT_GT(pb.getWidth() * pb.getHeight(), 1) << b;
        EXPECT_FALSE(samePixels(pa, pb)) << a.filename() << " and " << b.filename();
    }
}

TEST(Pictures, ChannelIconsStrokeInTheCurveCanvasColours) {
    // The canvas draws X, Y and Z in (0.8, 0, 0), (0, 0.8, 0.4), (0, 0, 0.8).
    const std::pair<const char*, kgiRgb> channels[] = {
        {"curver", kgiRgb(204, 0, 0)}, {"curveg", kgiRgb(0, 204, 102)}, {"curveb", kgiRgb(0, 0, 204)}};
    for (const auto& [name, colour] : channels) {
        SCOPED_TRACE(name);
        const kgiPicture p = load(curveIcon(name));
        int stroke = 0;
        for (int y = 0; y < p.getHeight(); ++y)
            for (int x = 0; x < p.getWidth(); ++x) {
                if (p.at(x, y) == WHITE) continue;
                EXPECT_EQ(p.at(x, y), colour) << x << "," << y;
                ++stroke;
            }
        EXPECT_GT(stroke, 0);
    }
}

// The 3D canvas's tool-bar buttons: the files of each button in the order
// of its looks (normal, under the pointer, pushed, the other pushed view),
// named exactly as the canvas loads them.
struct CanvasButton {
    std::vector<std::string> files;
    bool camera;  // also drawn with Japanese labels in cam_jp
};

std::vector<CanvasButton> canvasButtons() {
    std::vector<CanvasButton> out;
    auto three = [](const std::string& n) {
        return std::vector<std::string>{n + "_normal.bmp", n + "_onMouse.bmp", n + "_pushed.bmp"};
    };
    auto four = [&](const std::string& n) {
        std::vector<std::string> f = three(n);
        f.push_back(n + "_pushed_T.bmp");
        return f;
    };
    for (const char* n : {"key", "SIK", "FK-subtree2", "grid", "ghost", "CenterOfGravity",
                          "mirrorMode", "landing", "Initialization"})
        out.push_back({three(n), false});
    out.push_back({{"FK-body_normal.bmp", "MotionMode_onMouse.bmp", "MotionMode2_pushed.bmp"}, false});
    out.push_back({{"redo_nomal.bmp", "redo_onMouse.bmp", "redo_pushed.bmp"}, false});
    out.push_back({{"undo_nomal.bmp", "undo_onMouse.bmp", "undo_pushed.bmp"}, false});
    for (const char* n : {"top", "side", "front"}) out.push_back({four(n), true});
    out.push_back({three("cam"), true});
    return out;
}

TEST(Pictures, CanvasButtonsLoadAt32AndShowTheirLookAtTheCornerPixel) {
    int plain = 0, japanese = 0;
    const kgiRgb strip(199, 199, 199);
    for (const CanvasButton& b : canvasButtons()) {
        std::vector<std::string> folders{"icons/3d"};
        if (b.camera) folders.push_back("icons/3d/cam_jp");
        for (const std::string& folder : folders) {
            std::vector<kgiRgb> marks;
            for (const std::string& f : b.files) {
                const path file = DATA / folder / f;
                SCOPED_TRACE(file.string());
                kutGLImg gl;
                ASSERT_TRUE(gl.loadBitmap(file.string()));
                EXPECT_EQ(gl.getWidth(), 32);
                EXPECT_EQ(gl.getHeight(), 32);
                const kgiPicture p = load(file);
                int grey = 0;
                for (int y = 0; y < 32; ++y)
                    for (int x = 0; x < 32; ++x) grey += p.at(x, y) == strip;
                EXPECT_EQ(grey, 0) << "the strip's grey inside a button";
                marks.push_back(p.at(0, 0));
                ++(folder == "icons/3d" ? plain : japanese);
            }
            for (std::size_t i = 0; i < marks.size(); ++i)
                for (std::size_t j = i + 1; j < marks.size(); ++j)
                    EXPECT_NE(marks[i], marks[j]) << b.files[i] << " and " << b.files[j] << " in " << folder;
        }
    }
    EXPECT_EQ(plain, 51);
    EXPECT_EQ(japanese, 15);
}

TEST(Pictures, CanvasCameraPicturesDifferByLanguageAndView) {
    for (const CanvasButton& b : canvasButtons()) {
        if (!b.camera) continue;
        for (const std::string& f : b.files) {
            const kgiPicture en = load(DATA / "icons/3d" / f), ja = load(DATA / "icons/3d/cam_jp" / f);
            ASSERT_EQ(en.getWidth(), 32) << f;
            ASSERT_EQ(ja.getWidth(), 32) << f;
            EXPECT_FALSE(samePixels(en, ja)) << f << ": the Japanese label is missing";
        }
        if (b.files.size() == 4) {
            // The second pushed look shows the opposite view, not just another corner.
            kgiPicture pushed = load(DATA / "icons/3d" / b.files[2]);
            kgiPicture other = load(DATA / "icons/3d" / b.files[3]);
            pushed.set(0, 0, kgiRgb());
            other.set(0, 0, kgiRgb());
            EXPECT_FALSE(samePixels(pushed, other)) << b.files[3];
        }
    }
}

// Not a check: a sheet of every generated picture, as the program reads
// them, kept beside the test output for a person to look at.
TEST(Pictures, ContactSheetIsWritten) {
    std::vector<kgiPicture> pictures;
    for (const kgiPictureDef& def : kgiPictureSet::all()) pictures.push_back(load(DATA / def.path));
    const path sheet = path(KGI_TEST_TMP).parent_path() / "pictures_contact_sheet.png";
    ASSERT_TRUE(writeContactSheet(pictures, 6, 8, sheet.string()));
    std::cout << "contact sheet: " << sheet.string() << "\n";
}

} // namespace
