// The lesson step file reader: which slot each line lands in, the speech
// copy, the bounds of the table and of a slot, and line endings.
#include "kgiLessonManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct Slot {
    int bank, kind, page, step;
    std::string text;
};

// Every non-empty slot of the table, in table order.
std::vector<Slot> filledSlots(const kgiLessonTexts& texts) {
    std::vector<Slot> out;
    for (int b = 0; b < kgiLessonTexts::BANKS; ++b)
        for (int k = 0; k < kgiLessonTexts::KINDS; ++k)
            for (int p = 0; p < kgiLessonTexts::PAGES; ++p)
                for (int s = 0; s < kgiLessonTexts::STEPS; ++s)
                    if (!texts.get(b, k, p, s).empty()) out.push_back({b, k, p, s, texts.get(b, k, p, s)});
    return out;
}

std::string describe(const std::vector<Slot>& slots) {
    std::string out;
    for (const Slot& s : slots)
        out += "[" + std::to_string(s.bank) + "][" + std::to_string(s.kind) + "][" + std::to_string(s.page) + "][" +
               std::to_string(s.step) + "] \"" + s.text + "\"\n";
    return out;
}

class LessonTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("kgi_lesson_texts_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& content) {
        const std::string path = (dir / "Estep1.txt").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
        return path;
    }

    std::filesystem::path dir;
};

TEST_F(LessonTextsTest, LinesLandInTheirSlotsAndNowhereElse) {
    const std::string x1023(1023, 'x');
    struct Case {
        const char* name;
        std::string file;
        bool english;
        std::vector<Slot> expected;  // every slot that is not empty
    };
    const Case cases[] = {
        {"without a step line all text is step 0", "Hello there\nSecond line\n", true,
         {{0, 0, 0, 0, "Hello there\nSecond line\n"}, {0, 1, 0, 0, "Hello there\nSecond line\n"}}},
        {"lines of 2 characters or fewer are skipped, 3 kept", "a\n\nab\nxy", false, {{0, 0, 0, 0, "ab\n"}}},
        {"the speech copy speaks quotes and _ as blanks and No. as number",
         "Read \"Walk_1\", No. 13\n", true,
         {{0, 0, 0, 0, "Read \"Walk_1\", No. 13\n"}, {0, 1, 0, 0, "Read  Walk 1 , number  13\n"}}},
        {"another language has speech only from its kind-1 sections",
         "[2]\nshown\n:0,1,0\nspoken\n:1,0,3\nnotice\n", false,
         {{0, 0, 0, 2, "shown\n"}, {0, 1, 0, 2, "spoken\n"}, {1, 0, 3, 2, "notice\n"}}},
        {"sections outside the table drop their lines and nothing else",
         "[0]\nkeep0\n[20]\nstep20\n[-1]\nstepminus\n[1]\n:0,0,4\npage4\n:2,0,0\nbank2\n:0,2,0\nkind2\n"
         ":0,0,1\nkeep1\n",
         true, {{0, 0, 0, 0, "keep0\n"}, {0, 0, 1, 1, "keep1\n"}, {0, 1, 0, 0, "keep0\n"}, {0, 1, 1, 1, "keep1\n"}}},
        {"a long line is read in pieces and a slot keeps 1023 characters",
         std::string(1200, 'x') + "\nmore\n[1]\nnext\n", false, {{0, 0, 0, 0, x1023}, {0, 0, 0, 1, "next\n"}}},
        {"CR LF ends a line like LF", "one\r\nab\r\na\r\n[3]\r\nthree\r\n", false,
         {{0, 0, 0, 0, "one\nab\n"}, {0, 0, 0, 3, "three\n"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kgiLessonTexts texts;
        ASSERT_TRUE(texts.readFile(write(c.file), c.english));
        EXPECT_EQ(describe(filledSlots(texts)), describe(c.expected));
    }
}

TEST_F(LessonTextsTest, PiecesOfALongLineSplitAtAnyCharacter) {
    // The CR of a CR LF that falls at the end of a piece goes too, and the
    // speech copy of a long English line is capped like its display text.
    kgiLessonTexts texts;
    ASSERT_TRUE(texts.readFile(write(std::string(510, 'y') + "\r\nNo.\n"), true));
    EXPECT_EQ(texts.get(0, 0, 0, 0), std::string(510, 'y') + "No.\n");
    ASSERT_TRUE(texts.readFile(write(std::string(1100, '_') + "\n"), true));
    EXPECT_EQ(texts.get(0, 1, 0, 0), std::string(1023, ' '));
    EXPECT_TRUE(texts.isPresent(0, 1, 0, 0));
}

TEST_F(LessonTextsTest, AMissingFileLeavesEveryTextEmpty) {
    kgiLessonTexts texts;
    ASSERT_TRUE(texts.readFile(write("old\n"), true));
    EXPECT_FALSE(texts.readFile((dir / "missing.txt").string(), true));
    EXPECT_TRUE(filledSlots(texts).empty());
    // Outside the table every text is empty and absent.
    EXPECT_EQ(texts.get(0, 0, 0, 20), "");
    EXPECT_EQ(texts.get(2, 0, 0, 0), "");
    EXPECT_FALSE(texts.isPresent(0, 0, -1, 0));
}

TEST(LessonStepFile, PathNamesTheLanguagesFileInTheFactoryTutorialFolder) {
    EXPECT_EQ(kgiLessonManager::stepFilePath("/b", "DORUZAVO_1", 0, 3), "/b/DORUZAVO_1base/tutorial/Estep3.txt");
    EXPECT_EQ(kgiLessonManager::stepFilePath("/b", "DORUZAVO_1", 1, 3), "/b/DORUZAVO_1base/tutorial/step3.txt");
    EXPECT_EQ(kgiLessonManager::stepFilePath("/b", "DORUZAVO_1", 2, -1), "/b/DORUZAVO_1base/tutorial/step-1.txt");
}

} // namespace
