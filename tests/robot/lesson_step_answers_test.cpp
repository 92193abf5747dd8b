// What the shipped step texts tell the user to press, held against what the
// program offers at that step: an image button of the time line or the tool
// bar only where the step engine frees it (or, on a closing page, as free
// once the lesson has ended), a button of the options window only where the
// step's record enables it, and a box answer only as the box that step's
// command shows has it. Every page of both languages that names an image
// button or a box answer has its row; the locks come from the lesson
// manager's own step table run against the application's stand-ins.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCommandWindow.h"
#include "kgiRobotOptions.h"

#include "lesson_rig_test.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string DATA_DIR = KGI_DATA_DIR;

// What a text names.
enum class Named { PLAY, TO_START, ZOOM, OK, YES, NO, CANCEL };

const char* nameOf(Named n) {
    switch (n) {
    case Named::PLAY: return "the play button";
    case Named::TO_START: return "the go-to-start button";
    case Named::ZOOM: return "the zoom button";
    case Named::OK: return "the answer OK";
    case Named::YES: return "the answer Yes";
    case Named::NO: return "the answer No";
    case Named::CANCEL: return "the answer Cancel";
    }
    return "?";
}

// How each language's texts name it (UTF-8). English answers are whole
// words ("No" not as in "No.13").
struct Phrases {
    Named named;
    std::vector<std::string> english;
    std::vector<std::string> japanese;
};
const Phrases PHRASES[] = {
    {Named::PLAY, {"play button", "press play"},
     {"\xE5\x86\x8D\xE7\x94\x9F\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3",                              // 再生ボタン
      "\xE5\x86\x8D\xE7\x94\x9F\xE3\x82\x92\xE6\x8A\xBC",                                          // 再生を押
      "\xE5\x86\x8D\xE7\x94\x9F\xE3\x81\x99\xE3\x82\x8B\xE3\x81\xA8"}},                            // 再生すると
    {Named::TO_START, {"go-to-start button"},
     {"\xE5\x85\x88\xE9\xA0\xAD\xE3\x81\xB8\xE6\x88\xBB\xE3\x82\x8B\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3"}},  // 先頭へ戻るボタン
    {Named::ZOOM, {"zoom button"}, {"\xE3\x82\xBA\xE3\x83\xBC\xE3\x83\xA0\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3"}},  // ズームボタン
    {Named::OK, {"OK"}, {"\xE3\x80\x8COK\xE3\x80\x8D"}},                                          // 「OK」
    {Named::YES, {"Yes"}, {"\xE3\x80\x8CYes\xE3\x80\x8D"}},
    {Named::NO, {"No"}, {"\xE3\x80\x8CNo\xE3\x80\x8D"}},
    {Named::CANCEL, {"Cancel"}, {"\xE3\x80\x8C" "Cancel\xE3\x80\x8D"}},
};

// Where it is, and what the program offers there.
enum class Offer {
    FREE,       // the step frees that image button (on that page)
    AFTER_END,  // a closing page: free once the lesson has ended, locked until then
    EXPLAINED,  // an introduction tells what a later step will ask
    OK_BOX,     // the step's command shows a message box: OK only
    QUESTION,   // ... a question: Yes or No
    INPUT,      // ... an input box or a file dialog: OK or Cancel
};

struct Row {
    int mode, step, page;
    Named named;
    Offer offer;
};

// Every page naming an image button or a box answer. The boxes, as the
// commands show them: lesson 2's play with the robot asks its question
// (kgiGLFrameButtons::playOrStop) and the transfer ends with a message
// (kgiRobotSession::reportDownloadEnd); lesson 3's name is asked by an
// input box, its write warns with a message box
// (kgiOptionsDialog::writeMotionToRobot), its transfer ends with a
// message; lesson 4 saves through the file dialog, lesson 9 imports
// through one.
const Row ROWS[] = {
    {1, 4, 0, Named::PLAY, Offer::FREE},
    {1, 5, 2, Named::TO_START, Offer::FREE},
    {1, 5, 2, Named::PLAY, Offer::AFTER_END},

    {2, 1, 0, Named::PLAY, Offer::FREE},
    {2, 6, 0, Named::TO_START, Offer::FREE},
    {2, 7, 0, Named::PLAY, Offer::FREE},
    {2, 8, 0, Named::YES, Offer::QUESTION},
    {2, 8, 0, Named::NO, Offer::QUESTION},
    {2, 9, 0, Named::OK, Offer::OK_BOX},

    {3, 4, 0, Named::OK, Offer::INPUT},
    {3, 4, 0, Named::CANCEL, Offer::INPUT},
    {3, 6, 0, Named::OK, Offer::OK_BOX},
    {3, 7, 0, Named::OK, Offer::OK_BOX},

    {4, 1, 0, Named::PLAY, Offer::FREE},
    {4, 2, 0, Named::ZOOM, Offer::FREE},
    {4, 7, 0, Named::TO_START, Offer::FREE},
    {4, 8, 0, Named::PLAY, Offer::FREE},
    {4, 10, 0, Named::OK, Offer::INPUT},
    {4, 10, 0, Named::CANCEL, Offer::INPUT},

    {5, 1, 0, Named::PLAY, Offer::FREE},
    {5, 4, 0, Named::TO_START, Offer::FREE},
    {5, 5, 0, Named::PLAY, Offer::FREE},

    {6, 0, 1, Named::PLAY, Offer::EXPLAINED},
    {6, 8, 0, Named::TO_START, Offer::FREE},
    {6, 9, 0, Named::PLAY, Offer::FREE},

    {7, 0, 1, Named::PLAY, Offer::EXPLAINED},
    {7, 12, 0, Named::TO_START, Offer::FREE},
    {7, 13, 0, Named::PLAY, Offer::FREE},

    {9, 3, 0, Named::OK, Offer::INPUT},
    {9, 3, 0, Named::CANCEL, Offer::INPUT},
    {9, 7, 0, Named::PLAY, Offer::FREE},
};

// Buttons of the options window and the tool bar's Option button, named by
// their captions (language keys), and the record flag that enables each.
struct Captioned {
    int mode, step;
    const char* key;
    bool optionsWindow;  // else the main window
    int flag;
};
const Captioned CAPTIONED[] = {
    {1, 1, "Tool_Option", false, 8}, {1, 3, "Spl_Read", true, 7},
    {2, 2, "Tool_Option", false, 8}, {2, 4, "ROBOT_COM", true, 15},
    {2, 5, "ROBOT_COM_Pose_Reflection", true, 31},
    {3, 1, "ROBOT_COM", true, 15}, {3, 3, "ROBOT_COM_AddList", true, 19},
    {3, 5, "ROBOT_COM_WriteIRC", true, 22}, {3, 8, "ROBOT_COM_PlayRimocon", true, 23},
    {4, 9, "File_Save_as", false, 19},
    {6, 1, "Tool_Option", false, 8}, {6, 3, "Spl_Read", true, 7}, {6, 5, "Spl_Add", true, 8},
    {7, 1, "Tool_Option", false, 8}, {7, 3, "Spl_Read", true, 7}, {7, 11, "Spl_Add", true, 8},
    {9, 1, "View_Media_Window", false, 26}, {9, 2, "Media_Add", false, 23},
    {9, 4, "Tool_Option", false, 8}, {9, 6, "Spl_Read", true, 7},
};

const int MODES[] = {1, 2, 3, 4, 5, 6, 7, 9};
// The step after each mode's last ordinary one.
const std::map<int, int> FINAL_STEP = {{1, 5}, {2, 10}, {3, 9}, {4, 11}, {5, 6}, {6, 10}, {7, 14}, {9, 8}};
// How a closing page says the lesson ends there.
const char* const LESSON_ENDS[2] = {"The lesson ends",
                                    "\xE3\x83\xAC\xE3\x83\x83\xE3\x82\xB9\xE3\x83\xB3\xE3\x81\xAF"
                                    "\xE7\xB5\x82\xE3\x82\x8F\xE3\x82\x8A"};  // レッスンは終わり

bool isWordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// Where the English phrase first stands as a word or words of its own
// ("No" not in "Now" or "No.13"); npos when nowhere.
std::size_t findEnglish(const std::string& text, const std::string& phrase) {
    for (std::size_t at = text.find(phrase); at != std::string::npos; at = text.find(phrase, at + 1)) {
        const std::size_t end = at + phrase.size();
        if (at > 0 && isWordCharacter(text[at - 1])) continue;
        if (end < text.size() && isWordCharacter(text[end])) continue;
        if (end + 1 < text.size() && text[end] == '.' && std::isdigit(static_cast<unsigned char>(text[end + 1])))
            continue;
        return at;
    }
    return std::string::npos;
}

// Where a UTF-8 text first names it; npos when it does not.
std::size_t firstMention(const std::string& utf8, Named n, int language) {
    std::size_t first = std::string::npos;
    for (const Phrases& p : PHRASES) {
        if (p.named != n) continue;
        for (const std::string& phrase : language == 0 ? p.english : p.japanese) {
            const std::size_t at = language == 0 ? findEnglish(utf8, phrase) : utf8.find(phrase);
            if (at < first) first = at;
        }
    }
    return first;
}

bool names(const std::string& utf8, Named n, int language) {
    return firstMention(utf8, n, language) != std::string::npos;
}

std::string page(int language, int mode, int step, int pageNo) {
    kgiLessonTexts texts;
    texts.readFile(kgiLessonManager::stepFilePath(DATA_DIR, "DORUZAVO_1", language, mode), language == 0);
    return platform::cp932ToUtf8(texts.get(0, 0, pageNo, step));
}

std::string where(int language, int mode, int step, int pageNo) {
    return std::string(language == 0 ? "Estep" : "step") + std::to_string(mode) + ".txt step " +
           std::to_string(step) + " page " + std::to_string(pageNo);
}

std::map<std::string, std::string> captions(int language) {
    std::ifstream in(DATA_DIR + "/settings/" + (language == 0 ? "lang_eng.txt" : "lang_jap.txt"), std::ios::binary);
    std::map<std::string, std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) out[line.substr(0, eq)] = platform::cp932ToUtf8(line.substr(eq + 1));
    }
    return out;
}

TEST(LessonStepAnswers, EveryNamedButtonOrAnswerHasItsRow) {
    std::set<std::tuple<int, int, int, Named>> listed;
    for (const Row& r : ROWS) listed.insert({r.mode, r.step, r.page, r.named});
    for (int language : {0, 1})
        for (int mode : MODES) {
            kgiLessonTexts texts;
            ASSERT_TRUE(
                texts.readFile(kgiLessonManager::stepFilePath(DATA_DIR, "DORUZAVO_1", language, mode), language == 0));
            std::set<std::tuple<int, int, int, Named>> found;
            for (int step = 0; step < kgiLessonTexts::STEPS; ++step)
                for (int p = 0; p < kgiLessonTexts::PAGES; ++p) {
                    const std::string text = platform::cp932ToUtf8(texts.get(0, 0, p, step));
                    for (const Phrases& ph : PHRASES)
                        if (names(text, ph.named, language)) found.insert({mode, step, p, ph.named});
                }
            for (const auto& f : found)
                EXPECT_TRUE(listed.count(f)) << where(language, mode, std::get<1>(f), std::get<2>(f)) << " names "
                                             << nameOf(std::get<3>(f)) << ", which has no row";
            for (const Row& r : ROWS) {
                if (r.mode != mode) continue;
                EXPECT_TRUE(found.count({r.mode, r.step, r.page, r.named}))
                    << where(language, r.mode, r.step, r.page) << " does not name " << nameOf(r.named);
            }
        }
}

TEST(LessonStepAnswers, AnswersAreTheButtonsOfTheBoxTheStepShows) {
    for (int language : {0, 1})
        for (const Row& r : ROWS) {
            const std::string text = page(language, r.mode, r.step, r.page);
            const std::string at = where(language, r.mode, r.step, r.page);
            switch (r.offer) {
            case Offer::OK_BOX:
                // A message box has OK alone: nothing to say Yes or No to.
                EXPECT_TRUE(names(text, Named::OK, language)) << at;
                EXPECT_FALSE(names(text, Named::YES, language)) << at << ": a message box has no Yes";
                EXPECT_FALSE(names(text, Named::NO, language)) << at << ": a message box has no No";
                EXPECT_FALSE(names(text, Named::CANCEL, language)) << at << ": a message box has no Cancel";
                break;
            case Offer::QUESTION:
                EXPECT_TRUE(r.named == Named::YES || r.named == Named::NO) << at << ": a question has Yes and No";
                EXPECT_FALSE(names(text, Named::OK, language)) << at << ": a question has no OK";
                break;
            case Offer::INPUT:
                EXPECT_TRUE(r.named == Named::OK || r.named == Named::CANCEL) << at;
                EXPECT_FALSE(names(text, Named::YES, language)) << at << ": an input box has no Yes";
                break;
            case Offer::EXPLAINED:
                EXPECT_EQ(r.step, 0) << at << ": only an introduction explains";
                break;
            case Offer::AFTER_END: {
                EXPECT_EQ(r.step, FINAL_STEP.at(r.mode)) << at << ": only a closing text";
                // First that the lesson ends, then what is free after it.
                const std::size_t ends = text.find(LESSON_ENDS[language]);
                EXPECT_NE(ends, std::string::npos) << at << " does not say the lesson ends";
                EXPECT_LT(ends, firstMention(text, r.named, language))
                    << at << " names " << nameOf(r.named) << ", locked still, before saying the lesson ends";
                break;
            }
            case Offer::FREE:
                break;
            }
        }
}

TEST(LessonStepAnswers, NamedCaptionsAreTheButtonsTheStepEnables) {
    for (int language : {0, 1}) {
        const std::map<std::string, std::string> caption = captions(language);
        for (const Captioned& c : CAPTIONED) {
            ASSERT_TRUE(caption.count(c.key)) << c.key;
            EXPECT_NE(page(language, c.mode, c.step, 0).find(caption.at(c.key)), std::string::npos)
                << where(language, c.mode, c.step, 0) << " does not name " << caption.at(c.key);
        }
    }
}

// The locks as the step engine leaves them on a page of a step: the
// permissions (2 play, 3 go-to-start) and the last records applied.
struct Locks {
    bool play = false, toStart = false;
    std::set<int> main, options;
};

Locks locksAt(LessonRig& r, int mode, int step, int pageNo) {
    r.manager.setMode(mode);
    r.app().applyLessonLocks();
    r.clearRecords();
    r.rig.fakes.options.applied.clear();
    r.manager.setStepValue(step);
    r.manager.setPage(0);
    r.manager.setWaiting(false);
    // The final step shows its text only after 4 s; the window speaks, so
    // nothing ends the lesson meanwhile.
    r.manager.setStepTimer(0.0f);
    r.clock = 100.0f;
    r.rig.fakes.message.speaking = true;
    r.manager.runStep();
    if (pageNo > 0) {
        r.manager.setPage(pageNo);
        r.manager.runStep();
    }
    Locks l;
    l.play = r.manager.getPermission(2);
    l.toStart = r.manager.getPermission(3);
    // What the windows were last given since the locks (all disabled
    // when the step gave nothing of its own).
    const auto& mains = r.rig.fakes.mainWindow.applied;
    if (!mains.empty())
        for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i)
            if (mains.back()[i]) l.main.insert(i);
    const auto& options = r.rig.fakes.options.applied;
    if (!options.empty())
        for (int i = 0; i < kgiOptionsCommandFlags::SIZE; ++i)
            if (options.back()[i]) l.options.insert(i);
    return l;
}

void locksOfNamedButtons() {
    LessonRig r;
    r.app().createOptionsDialog();
    CHILD_CHECK(r.app().getOptionsDialog() != nullptr);
    for (const Row& row : ROWS) {
        if (row.offer != Offer::FREE && row.offer != Offer::AFTER_END) continue;
        const std::string at = where(0, row.mode, row.step, row.page) + ": " + nameOf(row.named);
        const Locks l = locksAt(r, row.mode, row.step, row.page);
        const bool free = row.named == Named::PLAY       ? l.play
                          : row.named == Named::TO_START ? l.toStart
                                                         : l.main.count(7) > 0;
        CASE_CHECK(free == (row.offer == Offer::FREE), at.c_str());
    }
    for (const Captioned& c : CAPTIONED) {
        const std::string at = where(0, c.mode, c.step, 0) + ": " + c.key;
        const Locks l = locksAt(r, c.mode, c.step, 0);
        CASE_CHECK((c.optionsWindow ? l.options : l.main).count(c.flag) == 1, at.c_str());
    }
}

TEST(LessonStepAnswers, NamedButtonsAreFreeWhereTheTextAsksForThem) { EXPECT_IN_CHILD(locksOfNamedButtons); }

}  // namespace
