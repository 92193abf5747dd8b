#include "kgiMessage.h"
#include "kgiNarrowString.h"

#include "support/fox/kgiFoxTestApp.h"

#include <gtest/gtest.h>

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
