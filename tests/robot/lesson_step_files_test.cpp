// The lessons' step files as the build ships them: converted from their
// UTF-8 sources, laid out as the lesson manager reads them, and naming
// what the program shows (captions from the language file of the same
// language, sample names from the sample list).
#include "kgiLessonManager.h"
#include "kgiModelBuilder.h"
#include "kgiModelData.h"
#include "kgiMsgWindowHost.h"
#include "kgiOptionsData.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::string SOURCE_DIR = KGI_TUTORIAL_SOURCE_DIR;
const std::string TUTORIAL_DIR = KGI_TUTORIAL_DIR;
const std::string DATA_DIR = KGI_DATA_DIR;

// The lesson modes with files, and the final step of each (the step after
// its last ordinary step).
struct Lesson {
    int mode;
    int finalStep;
};
const Lesson LESSONS[] = {{1, 5}, {2, 10}, {3, 9}, {4, 11}, {5, 6}, {6, 10}, {7, 14}, {9, 8}};

struct Language {
    int number;             // the settings' language
    const char* prefix;     // of the step files
    const char* langFile;   // settings/...
    // How the texts name the time line's image buttons and the tool bar's
    // zoom button.
    const char* goToStart;
    const char* play;
    const char* zoom;
};
const Language LANGUAGES[] = {
    {0, "Estep", "lang_eng.txt", "go-to-start button", "play button", "zoom button"},
    {1, "step", "lang_jap.txt", "\xE5\x85\x88\xE9\xA0\xAD\xE3\x81\xB8\xE6\x88\xBB\xE3\x82\x8B"
                                "\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3",                // 先頭へ戻るボタン
     "\xE5\x86\x8D\xE7\x94\x9F\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3",                   // 再生ボタン
     "\xE3\x82\xBA\xE3\x83\xBC\xE3\x83\xA0\xE3\x83\x9C\xE3\x82\xBF\xE3\x83\xB3"},      // ズームボタン
};

const int BANKS = kgiLessonTexts::BANKS, KINDS = kgiLessonTexts::KINDS;
const int PAGES = kgiLessonTexts::PAGES, STEPS = kgiLessonTexts::STEPS;
const int NOTICE_STEP = 19;
// The message window: 6 lines at most (it opens at y 40 or 450), each
// counted as the host counts it.
const int MAX_LINES = 6;

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string fileName(const Language& l, int mode)
{
    return l.prefix + std::to_string(mode) + ".txt";
}

// The shipped file of a lesson, read by the lesson manager's reader from
// where the manager looks for it.
kgiLessonTexts readShipped(const Language& l, int mode)
{
    kgiLessonTexts texts;
    const std::string path = kgiLessonManager::stepFilePath(DATA_DIR, "DORUZAVO_1", l.number, mode);
    EXPECT_TRUE(texts.readFile(path, l.number == 0)) << path;
    return texts;
}

// The language file's texts by key (code page 932, as the program reads them).
std::map<std::string, std::string> readCaptions(const Language& l)
{
    std::map<std::string, std::string> out;
    std::istringstream in(readBytes(DATA_DIR + "/settings/" + l.langFile));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

// True when the text holds the whole number n (not as part of a longer one).
bool namesNumber(const std::string& text, int n)
{
    const std::string digits = std::to_string(n);
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t at = text.find(digits); at != std::string::npos; at = text.find(digits, at + 1)) {
        const std::size_t end = at + digits.size();
        if ((at == 0 || !isDigit(text[at - 1])) && (end == text.size() || !isDigit(text[end])))
            return true;
    }
    return false;
}

// The characters of a UTF-8 text.
std::vector<char32_t> codePoints(const std::string& utf8)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

// What the Japanese voice reads as written: kana, the long-vowel mark,
// Japanese commas and full stops, blanks and line feeds. A kanji, a Latin
// letter or a digit would be spelt out or skipped.
bool isSpokenKana(char32_t c)
{
    return (c >= 0x3041 && c <= 0x3096) || (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC ||
           c == 0x3001 || c == 0x3002 || c == ' ' || c == '\n';
}

} // namespace

TEST(LessonStepFiles, EachShippedFileConvertsBackToItsSource)
{
    for (const Language& l : LANGUAGES)
        for (const Lesson& lesson : LESSONS) {
            const std::string name = fileName(l, lesson.mode);
            const std::string source = readBytes(SOURCE_DIR + "/" + name);
            const std::string shipped = readBytes(TUTORIAL_DIR + "/" + name);
            ASSERT_FALSE(source.empty()) << name;
            ASSERT_FALSE(shipped.empty()) << name;
            EXPECT_EQ(platform::cp932ToUtf8(shipped), source) << name;
            // Japanese is converted, not copied.
            EXPECT_EQ(shipped == source, l.number == 0) << name;
        }
}

TEST(LessonStepFiles, TheReaderKeepsEverySourceLine)
{
    for (const Language& l : LANGUAGES)
        for (const Lesson& lesson : LESSONS) {
            const std::string name = fileName(l, lesson.mode);
            const std::string text = readBytes(TUTORIAL_DIR + "/" + name);
            ASSERT_FALSE(text.empty()) << name;
            EXPECT_EQ(text.back(), '\n') << name << ": the last line has no line feed";
            std::istringstream in(text);
            std::string line, previous;
            for (int n = 1; std::getline(in, line); ++n) {
                const std::string where = name + ":" + std::to_string(n);
                // Shorter lines are dropped; a CR would be part of the text.
                EXPECT_GE(line.size(), 2u) << where;
                EXPECT_EQ(line.find('\r'), std::string::npos) << where;
                // A step header keeps the previous bank, kind and page, so
                // its own ':' line must follow it at once.
                if (!previous.empty() && previous[0] == '[') {
                    EXPECT_EQ(line[0], ':') << where << ": step " << previous << " has no page line";
                }
                if (line[0] == '[') {
                    int step = -1;
                    char close = 0;
                    EXPECT_EQ(std::sscanf(line.c_str(), "[%d%c", &step, &close), 2) << where;
                    EXPECT_EQ(close, ']') << where;
                    EXPECT_TRUE(step >= 0 && step < STEPS) << where;
                } else if (line[0] == ':') {
                    int bank = -1, kind = -1, page = -1;
                    EXPECT_EQ(std::sscanf(line.c_str(), ":%d,%d,%d", &bank, &kind, &page), 3) << where;
                    EXPECT_TRUE(bank >= 0 && bank < BANKS) << where;
                    // English speech is the reader's copy of the display
                    // lines; Japanese brings its own.
                    EXPECT_TRUE(kind == 0 || (kind == 1 && l.number != 0)) << where;
                    EXPECT_TRUE(page >= 0 && page < PAGES) << where;
                }
                previous = line;
            }
        }
}

TEST(LessonStepFiles, EveryStepOfEveryLessonHasItsPagesAndSpeech)
{
    for (const Language& l : LANGUAGES)
        for (const Lesson& lesson : LESSONS) {
            const std::string name = fileName(l, lesson.mode);
            const kgiLessonTexts texts = readShipped(l, lesson.mode);
            for (int step = 0; step < STEPS; ++step) {
                int pages = 0;
                for (int page = 0; page < PAGES; ++page) {
                    const std::string where =
                        name + " step " + std::to_string(step) + " page " + std::to_string(page);
                    const bool shown = texts.isPresent(0, 0, page, step);
                    // The page tick shows a page only with both texts, and
                    // stops at the first page without them.
                    EXPECT_EQ(shown, texts.isPresent(0, 1, page, step)) << where;
                    EXPECT_FALSE(shown && pages < page) << where << " follows a missing page";
                    pages += shown;
                    // Notices are one page, of step 19 only.
                    const bool notice = step == NOTICE_STEP && page == 0;
                    for (int kind = 0; kind < KINDS; ++kind)
                        EXPECT_EQ(texts.isPresent(1, kind, page, step), notice) << where << " bank 1";
                }
                const std::string where = name + " step " + std::to_string(step);
                if (step <= lesson.finalStep) {
                    EXPECT_GE(pages, 1) << where;
                } else {
                    EXPECT_EQ(pages, 0) << where << " lies past the final step";
                }
                if (step == 0) {
                    EXPECT_LE(pages, 3) << where;
                }
            }
        }
}

TEST(LessonStepFiles, EveryPageFitsTheMessageWindow)
{
    const int maxHeight = MAX_LINES * kgiMsgWindowHost::LINE_HEIGHT + kgiMsgWindowHost::EXTRA_HEIGHT;
    for (const Language& l : LANGUAGES)
        for (const Lesson& lesson : LESSONS) {
            const kgiLessonTexts texts = readShipped(l, lesson.mode);
            for (int bank = 0; bank < BANKS; ++bank)
                for (int page = 0; page < PAGES; ++page)
                    for (int step = 0; step < STEPS; ++step) {
                        const std::string where = fileName(l, lesson.mode) + " bank " +
                                                  std::to_string(bank) + " step " +
                                                  std::to_string(step) + " page " +
                                                  std::to_string(page);
                        const std::string& shown = texts.get(bank, 0, page, step);
                        const std::string& spoken = texts.get(bank, 1, page, step);
                        EXPECT_LE(kgiMsgWindowHost::windowHeight(shown.c_str()), maxHeight) << where;
                        // The reader keeps no more of a page than this.
                        EXPECT_LT(shown.size(), kgiLessonTexts::SLOT_LIMIT) << where;
                        EXPECT_LT(spoken.size(), kgiLessonTexts::SLOT_LIMIT) << where;
                        if (l.number == 0)
                            continue;
                        for (char32_t c : codePoints(platform::cp932ToUtf8(spoken))) {
                            EXPECT_TRUE(isSpokenKana(c))
                                << where << ": U+" << std::hex << unsigned(c) << " in the speech";
                        }
                    }
        }
}

TEST(LessonStepFiles, TheStepsNameTheCaptionsOfTheirLanguage)
{
    // Steps whose page 0 names a command by its caption (language keys).
    struct Caption {
        int mode, step;
        const char* key;
    };
    const Caption CAPTIONS[] = {
        {1, 1, "Tool_Option"}, {1, 2, "Sample"}, {1, 3, "Spl_Read"},
        {2, 2, "Tool_Option"}, {2, 3, "ROBOT_COM"}, {2, 4, "ROBOT_COM"},
        {2, 5, "ROBOT_COM_Pose_Reflection"},
        {3, 1, "ROBOT_COM"}, {3, 3, "ROBOT_COM_AddList"}, {3, 5, "ROBOT_COM_WriteIRC"},
        {3, 8, "ROBOT_COM_PlayRimocon"},
        {4, 9, "File"}, {4, 9, "File_Save_as"},
        {6, 1, "Tool_Option"}, {6, 3, "Spl_Read"}, {6, 5, "Spl_Add"}, {6, 7, "Spl_Add"},
        {7, 1, "Tool_Option"}, {7, 3, "Spl_Read"}, {7, 5, "Spl_Add"}, {7, 7, "Spl_Add"},
        {7, 9, "Spl_Add"}, {7, 11, "Spl_Add"},
        {9, 1, "View"}, {9, 1, "View_Media_Window"}, {9, 2, "File"}, {9, 2, "Media_Add"},
        {9, 4, "Tool_Option"}, {9, 6, "Spl_Read"},
    };
    // Steps that name an image button, and the frames the key steps ask for.
    enum Button { GO_TO_START, PLAY, ZOOM };
    struct Named {
        int mode, step, page;
        Button button;
    };
    const Named BUTTONS[] = {
        {1, 4, 0, PLAY}, {1, 5, 2, GO_TO_START}, {2, 1, 0, PLAY}, {2, 6, 0, GO_TO_START},
        {2, 7, 0, PLAY}, {4, 1, 0, PLAY}, {4, 2, 0, ZOOM}, {4, 7, 0, GO_TO_START},
        {4, 8, 0, PLAY}, {5, 1, 0, PLAY}, {5, 4, 0, GO_TO_START}, {5, 5, 0, PLAY},
        {6, 8, 0, GO_TO_START}, {6, 9, 0, PLAY}, {7, 12, 0, GO_TO_START}, {7, 13, 0, PLAY},
        {9, 7, 0, PLAY},
    };
    struct Frame {
        int mode, step;
        int frame;
    };
    const Frame FRAMES[] = {{4, 3, 197}, {4, 4, 160}, {4, 5, 27}};

    for (const Language& l : LANGUAGES) {
        const std::map<std::string, std::string> captions = readCaptions(l);
        std::map<int, kgiLessonTexts> texts;
        for (const Lesson& lesson : LESSONS)
            texts.emplace(lesson.mode, readShipped(l, lesson.mode));
        for (const Caption& c : CAPTIONS) {
            ASSERT_TRUE(captions.count(c.key)) << l.langFile << " has no " << c.key;
            const std::string& caption = captions.at(c.key);
            EXPECT_NE(texts.at(c.mode).get(0, 0, 0, c.step).find(caption), std::string::npos)
                << fileName(l, c.mode) << " step " << c.step << " does not name "
                << platform::cp932ToUtf8(caption) << " (" << c.key << ")";
        }
        for (const Named& b : BUTTONS) {
            const char* phrase = b.button == PLAY ? l.play : b.button == ZOOM ? l.zoom : l.goToStart;
            EXPECT_NE(platform::cp932ToUtf8(texts.at(b.mode).get(0, 0, b.page, b.step)).find(phrase),
                      std::string::npos)
                << fileName(l, b.mode) << " step " << b.step << " page " << b.page
                << " does not name the " << phrase;
        }
        for (const Frame& f : FRAMES)
            EXPECT_TRUE(namesNumber(texts.at(f.mode).get(0, 0, 0, f.step), f.frame))
                << fileName(l, f.mode) << " step " << f.step << " does not name frame " << f.frame;
        // The final step of lesson 1 frees the go-to-start button while
        // its third page shows.
        EXPECT_TRUE(texts.at(1).isPresent(0, 0, 2, 5)) << fileName(l, 1);
    }
}

TEST(LessonStepFiles, TheAnswerStepsNameTheirSampleRows)
{
    // The rows each "Answer n" step expects, as the options window lists
    // them from the shipped sample list.
    struct Answer {
        int mode, step, row;
    };
    const Answer ANSWERS[] = {{1, 2, 13}, {6, 2, 34}, {6, 4, 10}, {6, 6, 10}, {7, 2, 39},
                              {7, 4, 35}, {7, 6, 10}, {7, 8, 36}, {7, 10, 10}, {9, 5, 27}};
    const std::vector<std::string> names =
        kgiOptionsData::readSampleNames(DATA_DIR + "/DORUZAVO_1base/sample.txt");
    ASSERT_EQ(names.size(), 40u);
    for (const Language& l : LANGUAGES)
        for (const Answer& a : ANSWERS) {
            const std::string page = readShipped(l, a.mode).get(0, 0, 0, a.step);
            const std::string where = fileName(l, a.mode) + " step " + std::to_string(a.step);
            const std::size_t number = page.find("No." + std::to_string(a.row));
            ASSERT_NE(number, std::string::npos) << where << " does not name No." << a.row;
            EXPECT_TRUE(namesNumber(page.substr(number + 3), a.row)) << where;
            EXPECT_NE(page.find(names[a.row - 1]), std::string::npos)
                << where << " does not name " << names[a.row - 1];
        }
}

TEST(LessonStepFiles, ThePoseLessonNamesTheLastKeyOfTheShippedBow)
{
    // Lesson 5 waits for a click at the bow's last key, as the key import
    // reads it from the timesheet the lesson opens.
    kgiModelBuilder bow;
    ASSERT_TRUE(bow.load(DATA_DIR + "/DORUZAVO_1base/1_Bow.ts", kgiModelBuilder::KEEP_MODEL_DATA));
    const kgiModelData* data = bow.getModelData();
    ASSERT_TRUE(data && !data->models.empty() && data->models[0].keyFrames &&
                data->models[0].keyCount > 0);
    const int last = data->models[0].keyFrames[data->models[0].keyCount - 1];
    for (const Language& l : LANGUAGES)
        EXPECT_TRUE(namesNumber(readShipped(l, 5).get(0, 0, 0, 2), last))
            << fileName(l, 5) << " step 2 does not name frame " << last;
}
