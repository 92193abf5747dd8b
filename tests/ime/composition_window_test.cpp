// Composition with a real input method (uim-xim with Anthy, ime_rig.h) in
// the program's text widgets: romaji typed become hiragana being composed,
// shown at the widget's caret, and Return commits them as one key press
// carrying the whole text; Escape, or the focus moving to a widget that
// takes no text, drops them. Then the same in the robot motion list's name
// box, down to the list file in code page 932. And the program without any
// input method, where the fields take plain keys as ever.
#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiOptionsDialog.h"
#include "kgiRobotJointTable.h"
#include "kgiRobotSession.h"
#include "kgiTextCaret.h"
#include "kgiWorld.h"
#include "platform/codepage.h"

#include "core/child_process_test.h"
#include "ime/ime_rig.h"
#include "support/app/kgiAppStandIns.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace FX;
namespace fs = std::filesystem;

namespace {

// "にほんご" as the toolkit holds it and as the list file keeps it.
const std::string NIHONGO = "\xe3\x81\xab\xe3\x81\xbb\xe3\x82\x93\xe3\x81\x94";
const std::string NIHONGO_CP932 = "\x82\xc9\x82\xd9\x82\xf1\x82\xb2";

// The key presses a widget passes to its target before it acts on them.
class KeyRecorder : public FXObject {
    FXDECLARE(KeyRecorder)
public:
    enum { ID_WIDGET = 1 };
    struct Press {
        FXint code;
        std::string text;
    };
    std::vector<Press> presses;
    long onKeyPress(FXObject*, FXSelector, void* ptr)
    {
        const auto* ev = static_cast<const FXEvent*>(ptr);
        presses.push_back({ev->code, ev->text.text()});
        return 0;
    }
};

FXDEFMAP(KeyRecorder) KeyRecorderMap[] = {
    FXMAPFUNC(SEL_KEYPRESS, KeyRecorder::ID_WIDGET, KeyRecorder::onKeyPress),
};
FXIMPLEMENT(KeyRecorder, FXObject, KeyRecorderMap, ARRAYNUMBER(KeyRecorderMap))

std::string textOf(FXWindow* w)
{
    if (w->isMemberOf(FXMETACLASS(FXTextField)))
        return static_cast<FXTextField*>(w)->getText().text();
    return static_cast<FXText*>(w)->getText().text();
}

// The caret hidden (drawn in the background colour), so that only the
// composed text changes what the widget shows.
void hideCaret(FXWindow* w)
{
    if (w->isMemberOf(FXMETACLASS(FXTextField)))
        static_cast<FXTextField*>(w)->setCursorColor(w->getBackColor());
    else
        static_cast<FXText*>(w)->setCursorColor(w->getBackColor());
}

// The composed text stands where the input method was told: from the
// caret on, on the caret row's base line.
void expectAtSpot(const FXPoint& spot, const kgiImeChange& change)
{
    EXPECT_NEAR(change.left, spot.x, 3);
    EXPECT_GT(change.right - change.left, 20) << "four characters are wider";
    EXPECT_LT(change.top, spot.y);
    EXPECT_GE(change.bottom, spot.y - 2);
    EXPECT_LE(change.bottom, spot.y + 4);
}

void expectAtCaret(FXWindow* w, const kgiImeChange& change)
{
    FXPoint spot;
    ASSERT_TRUE(kgiCaretSpot(w, spot));
    expectAtSpot(spot, change);
}

// A window with a field, a text widget and a button, all keys of the two
// text widgets recorded.
struct Panel {
    kgiTestWindow win{360, 200, "composition"};
    KeyRecorder keys;
    FXTextField* field;
    FXText* text;
    FXButton* button;

    Panel()
    {
        field = new FXTextField(win.shell(), 20, &keys, KeyRecorder::ID_WIDGET, FRAME_SUNKEN | LAYOUT_FILL_X);
        field->setText("ab");
        text = new FXText(win.shell(), &keys, KeyRecorder::ID_WIDGET, LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0,
                          300, 80);
        text->setText("x\ty");
        button = new FXButton(win.shell(), "Button", nullptr, nullptr, 0, BUTTON_NORMAL | LAYOUT_FIX_WIDTH, 0, 0,
                              120);
        win.show();
    }
    // Focus and caret at the end of the widget's text; the pointer over
    // the widget itself or over the button.
    void focus(FXWindow* w, bool pointerOverWidget)
    {
        kgiApp* app = kgiImeTestApp();
        w->setFocus();
        if (w == field)
            field->setCursorPos(field->getText().length());
        else
            text->setCursorPos(text->getLength());
        hideCaret(w);
        FXWindow* under = pointerOverWidget ? w : button;
        FXint x = 0, y = 0;
        under->translateCoordinatesTo(x, y, win.shell(), under->getWidth() / 2, under->getHeight() / 2);
        win.movePointer(x, y);
        ASSERT_TRUE(win.runUntil([&] { return app->getImeTarget() == w; }, KGI_IME_PASSES));
    }
    // Switches the method on and types the romaji; true once the composed
    // text shows, with what changed in the widget.
    bool compose(FXWindow* w, const char* romaji, kgiImeChange& change)
    {
        kgiImeSwitchOn();
        win.settle();
        const kgiTestImage before = kgiTestGrab(w);
        keys.presses.clear();
        kgiImeType(romaji);
        const bool shown = win.runUntil([&] {
            change = kgiImeDiff(before, kgiTestGrab(w));
            return change.count > 30;
        }, KGI_IME_PASSES);
        lastBefore = before;
        return shown;
    }
    // True once the widget shows exactly what it showed before composing.
    bool backAsBefore(FXWindow* w)
    {
        return win.runUntil([&] { return kgiImeDiff(lastBefore, kgiTestGrab(w)).count == 0; }, KGI_IME_PASSES);
    }
    kgiTestImage lastBefore;
};

} // namespace

TEST(ImeComposition, CommittedTextArrivesAsOneKeyPressAtTheCaret)
{
    KGI_REQUIRE_IME_APP();
    struct Case {
        const char* name;
        bool textWidget;
        bool pointerOverWidget;
        int fontPoints;  // 0: the toolkit's font
        std::string after;
    };
    const Case cases[] = {
        {"field, pointer elsewhere", false, false, 0, "ab" + NIHONGO},
        {"field, pointer over it", false, true, 0, "ab" + NIHONGO},
        {"text widget, pointer elsewhere", true, false, 0, "x\ty" + NIHONGO},
        {"field in a large font", false, false, 20, "ab" + NIHONGO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FXFont> font;
        Panel panel;
        FXWindow* w = c.textWidget ? static_cast<FXWindow*>(panel.text) : panel.field;
        if (c.fontPoints) {
            font.reset(new FXFont(kgiImeTestApp(), "helvetica", c.fontPoints));
            font->create();
            panel.field->setFont(font.get());
            panel.win.settle();
        }
        panel.focus(w, c.pointerOverWidget);
        kgiImeChange change;
        ASSERT_TRUE(panel.compose(w, "nihongo", change)) << "no composed text showed";
        expectAtCaret(w, change);
        // In the widget's font, as far as the server has its size: a large
        // font gets large composed text.
        const int height = change.bottom - change.top + 1;
        if (c.fontPoints)
            EXPECT_GE(height, 20);
        else
            EXPECT_LE(height, 19);
        if (&c == &cases[0])
            kgiTestGrab(panel.win.shell()).save("ime_composition_at_caret");
        // The romaji went to the input method, not to the widget.
        EXPECT_TRUE(panel.keys.presses.empty());
        EXPECT_NE(textOf(w), c.after);

        kgiTestKey("Return");
        ASSERT_TRUE(panel.win.runUntil([&] { return textOf(w) == c.after; }, KGI_IME_PASSES)) << textOf(w);
        ASSERT_EQ(panel.keys.presses.size(), 1u);
        EXPECT_EQ(panel.keys.presses[0].text, NIHONGO);
    }
}

TEST(ImeComposition, EscapeDropsTheComposedText)
{
    KGI_REQUIRE_IME_APP();
    Panel panel;
    panel.focus(panel.field, false);
    kgiImeChange change;
    ASSERT_TRUE(panel.compose(panel.field, "nihongo", change));
    kgiTestKey("Escape");
    EXPECT_TRUE(panel.backAsBefore(panel.field));
    panel.win.settle();
    EXPECT_EQ(textOf(panel.field), "ab");
    EXPECT_TRUE(panel.keys.presses.empty());
}

TEST(ImeComposition, FocusOnAWidgetThatTakesNoTextClosesTheComposition)
{
    KGI_REQUIRE_IME_APP();
    kgiApp* app = kgiImeTestApp();
    // The focus goes to the button beside the field, or to a button in
    // another window (where the field keeps its input context).
    for (bool otherWindow : {false, true}) {
        SCOPED_TRACE(otherWindow ? "another window" : "the same window");
        Panel panel;
        panel.focus(panel.field, false);
        kgiImeChange change;
        ASSERT_TRUE(panel.compose(panel.field, "nihongo", change));

        kgiTestWindow other(200, 60, "other");
        auto* otherButton = new FXButton(other.shell(), "Other");
        if (otherWindow) {
            other.show();
            // Clear of the panel, whose pixels are compared.
            other.shell()->move(500, 400);
            otherButton->setFocus();
            other.focus();
        } else {
            panel.button->setFocus();
        }
        ASSERT_TRUE(panel.win.runUntil([&] { return app->getImeTarget() == nullptr; }, KGI_IME_PASSES));
        EXPECT_TRUE(panel.backAsBefore(panel.field)) << "the composed text still shows";
        // Keys now go to the button as they are; nothing reaches the field.
        kgiImeType("ka");
        kgiTestKey("Return");
        panel.win.settle();
        EXPECT_EQ(textOf(panel.field), "ab");
        EXPECT_TRUE(panel.keys.presses.empty());

        // Back in the field the composition starts there again, afresh.
        panel.field->setFocus();
        panel.win.focus();
        EXPECT_TRUE(panel.win.runUntil([&] { return app->getImeTarget() == panel.field; }, KGI_IME_PASSES));
        panel.win.settle();
        EXPECT_EQ(textOf(panel.field), "ab");
        EXPECT_TRUE(panel.keys.presses.empty());
    }
}

// --- the robot motion list's name box ---------------------------------------------

namespace {

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> fileLines(const fs::path& p)
{
    std::vector<std::string> out;
    std::ifstream in(p, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

class ImeNameBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        KGI_REQUIRE_IME_APP();
        app = kgiImeTestApp();
        kgiRobotJointTable::instance();
        kgiAppMakers makers = fakes.makers();
        makers.optionsDialog = &kgiOptionsDialog::make;
        // The real session stores the entry and its list.
        makers.robotSession = [] { return new kgiRobotSession(); };
        app->setMakers(makers);
        app->setMainWindow(&fakes.mainWindow);
        app->setLessonManager(&fakes.lesson);
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        kgiCharacter* robot = kgiWorld::instance()->getCurrentCharacter();
        for (int frame : {0, 10}) {
            kgiWorld::instance()->setCurrentTime(static_cast<float>(frame));
            ASSERT_TRUE(robot->addKey(frame));
        }
        // A factory folder of the test's own, with four entries listed.
        folder = fs::path(kgiTestBaseDir()) / "IMEbase";
        fs::remove_all(folder);
        fs::create_directories(folder / "remocon");
        std::ofstream(folder / "remocon" / "list.txt", std::ios::binary) << "1:walk\n2:\n3:\n4:kick\n";
        app->setModelFolders("IME");
        app->showOptionsDialog(true);
        dialog = dynamic_cast<kgiOptionsDialog*>(app->getOptionsDialog());
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override
    {
        if (app == nullptr)
            return;
        app->deleteOptionsDialog();
        app->deleteRobotSession();
        app->setLessonManager(nullptr);
        app->setMainWindow(nullptr);
        app->setMakers(kgiAppMakers());
        kgiWorld::instance()->setCurrentTime(0.0f);
        kgiTestRemoveCharacters();
    }

    // Entry i chosen and its name box opened (modal) with the script's
    // steps run inside it; the dialog's answer.
    long rename(int i, std::vector<kgiImeScript::Step> steps, std::string& failure)
    {
        FXList* list = dialog->widgets().remoconList;
        list->setCurrentItem(i);
        list->selectItem(i);
        kgiImeScript script(std::move(steps));
        script.start();
        const long answer = dialog->handle(nullptr, FXSEL(SEL_COMMAND, kgiOptionsDialog::ID_RENAME_ENTRY), nullptr);
        failure = script.failure();
        return answer;
    }

    // The steps up to composed text showing in the box: the box focused (no
    // window manager does it), the pointer off the field, the method
    // switched on, the romaji typed.
    std::vector<kgiImeScript::Step> composeSteps(const char* romaji)
    {
        return {
            {"the name box", [this] { return app->getModalWindow() != nullptr; },
             [this] {
                 box = app->getModalWindow();
                 kgiTestFocus(box);
             }},
            {"the box's field as the composition's target",
             [this] {
                 FXWindow* t = app->getImeTarget();
                 return t && t->getShell() == box;
             },
             [this] {
                 nameField = static_cast<FXTextField*>(app->getImeTarget());
                 presetText = nameField->getText().text();
                 hideCaret(nameField);
                 kgiTestMovePointer(box, 2, 2);
                 kgiImeSwitchOn();
             }},
            {"the method switched on", nullptr,
             [this, romaji] {
                 nameField->repaint();
                 before = kgiTestGrab(nameField);
                 kgiImeType(romaji);
             }},
            {"the composed text showing",
             [this] {
                 change = kgiImeDiff(before, kgiTestGrab(nameField));
                 return change.count > 30;
             },
             [this] {
                 caretSpot = FXPoint(0, 0);
                 kgiCaretSpot(nameField, caretSpot);
                 shot = kgiTestGrab(box);
             }},
        };
    }

    kgiAppStandIns fakes;
    kgiApp* app = nullptr;
    kgiOptionsDialog* dialog = nullptr;
    fs::path folder;
    FXWindow* box = nullptr;
    FXTextField* nameField = nullptr;
    std::string presetText;
    kgiTestImage before;
    kgiTestImage shot;
    kgiImeChange change;
    FXPoint caretSpot;
};

} // namespace

TEST_F(ImeNameBox, JapaneseNameIsStoredInCodePage932)
{
    std::vector<kgiImeScript::Step> steps = composeSteps("nihongo");
    steps.push_back({"", nullptr, [] { kgiTestKey("Return"); }});
    std::string committed;
    steps.push_back({"the name committed", [this] { return std::string(nameField->getText().text()) == NIHONGO; },
                     [&] {
                         committed = nameField->getText().text();
                         kgiTestKey("Return");
                     }});
    std::string failure;
    EXPECT_EQ(rename(2, steps, failure), 1);
    ASSERT_TRUE(failure.empty()) << "did not come: " << failure;
    shot.save("ime_name_box_composition");
    // The box is gone: its caret point was taken while the text showed.
    expectAtSpot(caretSpot, change);
    EXPECT_EQ(committed, NIHONGO);

    // The list shows the name, the list file keeps it in code page 932,
    // and that converts back to the very bytes typed.
    EXPECT_EQ(std::string(dialog->widgets().remoconList->getItemText(2).text()), "3:" + NIHONGO);
    const std::vector<std::string> listed = fileLines(folder / "remocon" / "list.txt");
    ASSERT_GE(listed.size(), 3u);
    EXPECT_EQ(listed[2], "3:" + NIHONGO_CP932);
    EXPECT_EQ(platform::cp932ToUtf8(listed[2].substr(2)), NIHONGO);
    EXPECT_EQ(listed[0], "1:walk");
    EXPECT_TRUE(fs::exists(folder / "remocon" / (NIHONGO + ".obc")));
}

TEST_F(ImeNameBox, EscapeLeavesTheBoxAsItWas)
{
    const std::string list = readFile(folder / "remocon" / "list.txt");
    std::vector<kgiImeScript::Step> steps = composeSteps("nihongo");
    steps.push_back({"", nullptr, [] { kgiTestKey("Escape"); }});
    std::string afterEscape;
    steps.push_back({"the composed text gone",
                     [this] { return kgiImeDiff(before, kgiTestGrab(nameField)).count == 0; },
                     [&] {
                         afterEscape = nameField->getText().text();
                         // Nothing composed any more: Escape is the box's.
                         kgiTestKey("Escape");
                     }});
    std::string failure;
    rename(3, steps, failure);
    ASSERT_TRUE(failure.empty()) << "did not come: " << failure;
    EXPECT_EQ(presetText, "kick");
    EXPECT_EQ(afterEscape, "kick");
    EXPECT_EQ(std::string(dialog->widgets().remoconList->getItemText(3).text()), "4:kick");
    EXPECT_EQ(readFile(folder / "remocon" / "list.txt"), list);
}

// --- without an input method ------------------------------------------------------

namespace {

// The program in Japanese without an input method running: it starts, says
// nothing about one, and a field takes plain keys.
void typeWithoutInputMethod(const char* modifiers)
{
    for (const char* v : {"LC_ALL", "LC_CTYPE", "LANGUAGE"})
        unsetenv(v);
    setenv("LOCPATH", KGI_IME_LOCALE_DIR, 1);
    setenv("LANG", "ja_JP.UTF-8", 1);
    if (modifiers)
        setenv("XMODIFIERS", modifiers, 1);
    else
        unsetenv("XMODIFIERS");
    const std::string errors = (fs::current_path() / ("stderr_" + std::to_string(getpid()))).string();
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    CHILD_CHECK(fd >= 0);
    const int saved = dup(2);
    dup2(fd, 2);
    close(fd);

    kgiApp* app = kgiTestApp();
    platform::keepOnlyCharacterLocale();
    {
        kgiTestWindow win(300, 80);
        auto* field = new FXTextField(win.shell(), 20, nullptr, 0, FRAME_SUNKEN | LAYOUT_FILL_X);
        win.show();
        field->setFocus();
        win.settle();
        kgiImeType("abc");
        kgiTestKey("space");
        kgiImeType("de");
        win.runUntil([&] { return field->getText().length() >= 6; }, KGI_IME_PASSES);
        dup2(saved, 2);
        CHILD_CHECK(app != nullptr);
        CHILD_CHECK(std::string(field->getText().text()) == "abc de");
        CHILD_CHECK(app->getImeTarget() == nullptr || app->getImeTarget() == field);
    }
    std::string said = readFile(errors);
    fs::remove(errors);
    std::transform(said.begin(), said.end(), said.begin(), [](unsigned char c) { return std::tolower(c); });
    if (said.find("input method") != std::string::npos || said.find("locale") != std::string::npos)
        std::fprintf(stderr, "said: %s\n", said.c_str());
    CHILD_CHECK(said.find("input method") == std::string::npos);
    CHILD_CHECK(said.find("locale") == std::string::npos);
}

} // namespace

TEST(ImeAbsent, FieldsTakePlainKeysAndNothingIsSaid)
{
    if (!kgiImeLocalesBuilt() || !hasDisplay()) {
        if (kgiTestEnvRequired()) FAIL() << "no test locales or display";
        GTEST_SKIP() << "no test locales or display";
    }
    // No XMODIFIERS at all, and one naming a method that does not run.
    EXPECT_IN_CHILD([] { typeWithoutInputMethod(nullptr); });
    EXPECT_IN_CHILD([] { typeWithoutInputMethod("@im=uim"); });
}
