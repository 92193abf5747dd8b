#include "kgiMessage.h"
#include "kgiNarrowString.h"

#include "support/fox/kgiFoxTestApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace FX;

TEST(NarrowString, ConvertsBothWays) {
    struct Case {
        std::string narrow;  // CP932 bytes
        const char* utf8;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"", ""},
        {"\x93\xfa\x96\x7b\x8c\xea", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},  // "Japanese" in kanji
        {"C:\\motion\\a.mdm", "C:\\motion\\a.mdm"},
    };
    for (const Case& c : cases) {
        kgiNarrowString fromFile(c.narrow);
        EXPECT_STREQ(fromFile.getWide().text(), c.utf8);
        kgiNarrowString fromWidget{FXString(c.utf8)};
        EXPECT_EQ(fromWidget.getNarrow(), c.narrow);
    }
}

TEST(NarrowString, EmptyTextReplacesTheOldOne) {
    kgiNarrowString s(std::string("old"));
    s.setNarrow("");
    s.fromNarrow();
    EXPECT_TRUE(s.getWide().empty());
    s.setWide("new");
    s.toNarrow();
    s.setWide("");
    s.toNarrow();
    EXPECT_TRUE(s.getNarrow().empty());
}

TEST(NarrowString, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(kgiNarrowString::toNarrowText(FXString("a\xf0\x9f\x98\x80" "b")), "a?b");
}

// Answers the next modal box with a given button once the box is up, and
// keeps its caption and message.
class kgiBoxAnswerer : public FXObject {
    FXDECLARE(kgiBoxAnswerer)
public:
    enum { ID_ANSWER = 1 };
    explicit kgiBoxAnswerer(FXSelector button = 0) : button(button) {}
    long onAnswer(FXObject*, FXSelector, void*) {
        FXApp* app = FXApp::instance();
        FXWindow* box = app->getModalWindow();
        if (!box) {
            app->addTimeout(this, ID_ANSWER, 20);
            return 1;
        }
        caption = static_cast<FXTopWindow*>(box)->getTitle();
        box->handle(this, FXSEL(SEL_COMMAND, button), nullptr);
        return 1;
    }
    FXSelector button;
    FXString caption;
};

FXDEFMAP(kgiBoxAnswerer) kgiBoxAnswererMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiBoxAnswerer::ID_ANSWER, kgiBoxAnswerer::onAnswer),
};
FXIMPLEMENT(kgiBoxAnswerer, FXObject, kgiBoxAnswererMap, ARRAYNUMBER(kgiBoxAnswererMap))

TEST(MessageBox, AskYesNoIsTrueOnlyForYes) {
    FXApp* app = kgiSharedFoxApp();
    if (!app) GTEST_SKIP() << "no display";
    struct Case {
        FXSelector button;
        bool expected;
    };
    const Case cases[] = {
        {FXMessageBox::ID_CLICKED_YES, true},
        {FXMessageBox::ID_CLICKED_NO, false},
        {FXDialogBox::ID_CANCEL, false},  // what closing the box sends
    };
    for (const Case& c : cases) {
        kgiBoxAnswerer answerer(c.button);
        app->addTimeout(&answerer, kgiBoxAnswerer::ID_ANSWER, 20);
        EXPECT_EQ(askYesNo("Warning - 141", "Continue?"), c.expected) << c.button;
        EXPECT_STREQ(answerer.caption.text(), "Warning - 141");
    }
}

TEST(MessageBox, ShowMessageTakesCodePageTextAndPercentSigns) {
    FXApp* app = kgiSharedFoxApp();
    if (!app) GTEST_SKIP() << "no display";
    kgiBoxAnswerer answerer(FXMessageBox::ID_CLICKED_OK);
    app->addTimeout(&answerer, kgiBoxAnswerer::ID_ANSWER, 20);
    showMessage("\x83\x47\x83\x89\x81\x5b", "100% %s %n");  // caption "error" in katakana
    EXPECT_STREQ(answerer.caption.text(), "\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc");
}

TEST(NarrowString, ExactConversionTakesOnlyWholeTexts) {
    struct Case {
        const char* utf8;
        bool whole;
        std::string narrow;  // CP932 bytes when whole
    };
    const Case cases[] = {
        {"walk", true, "walk"},
        {"", true, ""},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", true, "\x93\xfa\x96\x7b\x8c\xea"},
        // Many-to-one forms the code page still holds: wave dash, circled one.
        {"\xe3\x80\x9c\xe2\x91\xa0", true, "\x81\x60\x87\x40"},
        {"caf\xc3\xa9", false, ""},                  // an accented letter
        {"a\xf0\x9f\x98\x80" "b", false, ""},         // an emoji
        {"a\xe3\x81", false, ""},                    // a sequence cut off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string narrow = "untouched";
        EXPECT_EQ(kgiNarrowString::toNarrowTextExact(FXString(c.utf8), narrow), c.whole);
        EXPECT_EQ(narrow, c.whole ? c.narrow : "untouched");
        kgiNarrowString s(std::string("old"));
        s.setWide(c.utf8);
        EXPECT_EQ(s.toNarrowExact(), c.whole);
        EXPECT_EQ(s.getNarrow(), c.whole ? c.narrow : "old");
    }
}

// Runs one action per modal window as each comes up, from a timeout.
class kgiModalScript : public FXObject {
    FXDECLARE(kgiModalScript)
public:
    enum { ID_STEP = 1 };
    std::vector<std::function<void(FXWindow*)>> steps;
    size_t next = 0;
    FXWindow* last = nullptr;
    long onStep(FXObject*, FXSelector, void*) {
        FXApp* app = FXApp::instance();
        FXWindow* modal = app->getModalWindow();
        // The next window: a modal one that is not the one acted on last.
        if (next < steps.size()) {
            if (modal && modal != last && modal->shown()) {
                last = modal;
                steps[next++](modal);
            }
            app->addTimeout(this, ID_STEP, 20);
        }
        return 1;
    }
};

FXDEFMAP(kgiModalScript) kgiModalScriptMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiModalScript::ID_STEP, kgiModalScript::onStep),
};
FXIMPLEMENT(kgiModalScript, FXObject, kgiModalScriptMap, ARRAYNUMBER(kgiModalScriptMap))

TEST(InputBox, TakesOnlyATextTheCodePageHoldsWhole) {
    FXApp* app = kgiSharedFoxApp();
    if (!app) GTEST_SKIP() << "no display";
    FXString refusedCaption, refusedText, reopenedWith;
    kgiModalScript script;
    script.steps = {
        [](FXWindow* box) {
            ASSERT_TRUE(box->isMemberOf(FXMETACLASS(FXInputDialog)));
            static_cast<FXInputDialog*>(box)->setText("caf\xc3\xa9");
            box->handle(nullptr, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
        },
        [&](FXWindow* box) {
            ASSERT_TRUE(box->isMemberOf(FXMETACLASS(FXMessageBox)));
            refusedCaption = static_cast<FXTopWindow*>(box)->getTitle();
            box->handle(nullptr, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
        },
        // The input box again, with the text as it was typed.
        [&](FXWindow* box) {
            ASSERT_TRUE(box->isMemberOf(FXMETACLASS(FXInputDialog)));
            reopenedWith = static_cast<FXInputDialog*>(box)->getText();
            static_cast<FXInputDialog*>(box)->setText("\xe6\x97\xa5\xe6\x9c\xac");
            box->handle(nullptr, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
        },
    };
    app->addTimeout(&script, kgiModalScript::ID_STEP, 20);
    std::string text = "before";
    EXPECT_TRUE(inputText(nullptr, "Input Name", "", "", 0, 0, PLACEMENT_SCREEN, text, "\x83\x47\x83\x89\x81\x5b",
                          "no code page form"));
    EXPECT_EQ(script.next, 3u);
    EXPECT_STREQ(refusedCaption.text(), "\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc");
    EXPECT_STREQ(reopenedWith.text(), "caf\xc3\xa9");
    EXPECT_EQ(text, "\x93\xfa\x96\x7b");

    // Cancel after a refusal: nothing taken.
    kgiModalScript cancel;
    cancel.steps = {
        [](FXWindow* box) {
            static_cast<FXInputDialog*>(box)->setText("a\xf0\x9f\x98\x80");
            box->handle(nullptr, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
        },
        [](FXWindow* box) { box->handle(nullptr, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr); },
        [](FXWindow* box) { box->handle(nullptr, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr); },
    };
    app->addTimeout(&cancel, kgiModalScript::ID_STEP, 20);
    text = "before";
    EXPECT_FALSE(inputText(nullptr, "Input Name", "", "", 0, 0, PLACEMENT_SCREEN, text));
    EXPECT_EQ(cancel.next, 3u);
    EXPECT_EQ(text, "before");
}

TEST(CursorPosition, IsThePointerOnTheRootWindow) {
    FXApp* app = kgiSharedFoxApp();
    if (!app) GTEST_SKIP() << "no display";
    for (const FXPoint& p : {FXPoint(123, 45), FXPoint(7, 300)}) {
        app->getRootWindow()->setCursorPosition(p.x, p.y);
        int x = -1, y = -1;
        EXPECT_TRUE(getCursorPos(x, y));
        EXPECT_EQ(x, p.x);
        EXPECT_EQ(y, p.y);
    }
}
