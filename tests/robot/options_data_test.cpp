// The options and information windows' texts and file readers, without a
// display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

#include "kgiOptionsData.h"

namespace fs = std::filesystem;
using namespace kgiOptionsData;

namespace {

std::array<std::uint32_t, INFO_WORDS> words(std::initializer_list<std::pair<int, std::uint32_t>> set)
{
    std::array<std::uint32_t, INFO_WORDS> w{};
    for (auto& p : set)
        w[static_cast<std::size_t>(p.first)] = p.second;
    return w;
}

std::array<std::uint32_t, INFO_WORDS> kind(const char* text)
{
    auto w = words({});
    for (int i = 0; i < 8 && text[i]; ++i)
        w[static_cast<std::size_t>(8 + i)] = static_cast<unsigned char>(text[i]);
    return w;
}

class TempDir {
public:
    TempDir()
    {
        path = fs::temp_directory_path() /
               ("kgi_options_data_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const fs::path p = path / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string missing() const { return (path / "absent.txt").string(); }
    fs::path path;
};

} // namespace

TEST(OptionsInfoTexts, RowsFormatTheirWords)
{
    struct Case {
        std::array<std::uint32_t, INFO_WORDS> w;
        int row;
        const char* text;
    } cases[] = {
        {words({{1, 1}, {2, 5}}), 1, "1.5"},
        {words({{6, 10}, {7, 5}}), 5, "A5"},
        {words({{6, 1}, {7, 15}}), 5, "1F"},
        {words({}), 5, "00"},
        {words({{16, 7}, {17, 3}, {18, 9}}), 7, "2007/3/9"},
        {words({{19, 9}, {20, 5}, {21, 0}}), 8, "9:5:0"},
        {words({{22, 52}, {23, 18}}), 9, "4660"},
        {words({{0, 200}}), 0, "200"},
        {kind("REMOCON "), 6, "REMOCON "},
        {kind("REMOCOX "), 6, "OTHER FILE"},
        {kind("REMO"), 6, "OTHER FILE"},   // a 0 word ends the text early
        {kind(""), 6, "OTHER FILE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(infoTexts(c.w.data())[static_cast<std::size_t>(c.row)], c.text) << "row " << c.row;
}

TEST(OptionsInfoTexts, NoTextPassesNineteenCharactersWhateverTheWordsHold)
{
    for (std::uint32_t fill : {255u, 0xFFFFFFFFu}) {
        std::array<std::uint32_t, INFO_WORDS> w;
        w.fill(fill);
        for (const std::string& t : infoTexts(w.data()))
            EXPECT_LE(t.size(), INFO_TEXT_MAX) << fill << ": " << t;
    }
}

TEST(OptionsFrameCount, LastKeyTruncatedAndMovedPastAKey)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float last;
        int frame;
    } cases[] = {{0.0f, 0}, {24.0f, 25}, {24.9f, 25}, {0.5f, 0}, {-3.5f, -3}, {nan, 0}, {1e20f, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(frameCount(c.last), c.frame) << c.last;
}

TEST(OptionsServoText, ValueRoundedAndFoldedAbove360)
{
    kgiJointRecord plain; // the default record of an unknown joint: scale 1, offset 0
    kgiJointRecord servo;
    servo.scale = 2.0f;
    servo.offset = 100.0f;
    struct Case {
        float angle;
        const kgiJointRecord* record;
        const char* text;
    } cases[] = {
        {400.0f, &plain, "40"}, {359.6f, &plain, "360"}, {360.0f, &plain, "360"},
        {-3.7f, &plain, "-3"},  {10.2f, &servo, "120"},  {150.0f, &servo, "40"},
    };
    for (const Case& c : cases) {
        std::string text = "old";
        EXPECT_TRUE(servoText(c.angle, *c.record, text)) << c.angle;
        EXPECT_EQ(text, c.text) << c.angle;
    }
}

TEST(OptionsServoText, ValueWithoutAnIntKeepsTheText)
{
    kgiJointRecord plain;
    for (float angle : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                        3e9f, -3e9f}) {
        std::string text = "17";
        EXPECT_FALSE(servoText(angle, plain, text)) << angle;
        EXPECT_EQ(text, "17");
    }
}

TEST(OptionsFiles, SampleNames)
{
    TempDir dir;
    const std::string longLine(300, 'x');
    const std::string path = dir.write("sample.txt", "ab\n"
                                                     "a\n"
                                                     "cd\r\n"
                                                     "e\r\n" +
                                                         longLine + "\n" + "\x95\xe0\x82\xad\n" + "end");
    const std::vector<std::string> want = {"ab", "cd", std::string(255, 'x'), std::string(45, 'x'),
                                           "\xe6\xad\xa9\xe3\x81\x8f", "end"};
    EXPECT_EQ(readSampleNames(path), want);
    EXPECT_TRUE(readSampleNames(dir.missing()).empty());
}

TEST(OptionsFiles, NameHeads)
{
    TempDir dir;
    std::array<std::string, MAX_JOINT_ROWS> names;
    const std::string model = dir.write("model.ini", "0 : HEAD = 1 0 -90 90\r\n"
                                                     "1 : NECK=0\n"
                                                     "255 : TOOFAR = 0\n"
                                                     "254 : LAST = 0\n"
                                                     "2 : \n"
                                                     "3 :\n"
                                                     "junk line\n");
    EXPECT_EQ(readNameHeads(model, names, false), 3);
    EXPECT_EQ(names[0], "HEAD");
    EXPECT_EQ(names[1], "NECK=0");
    EXPECT_EQ(names[254], "LAST");
    EXPECT_TRUE(names[2].empty());

    std::array<std::string, MAX_JOINT_ROWS> motors;
    const std::string mot = dir.write("motNames.txt", "00 : Head\n01 : Left arm\n02 : \x98\x72\n");
    EXPECT_EQ(readNameHeads(mot, motors, true), 3);
    EXPECT_EQ(motors[0], "Head");
    EXPECT_EQ(motors[1], "Left"); // a name ends at a blank
    EXPECT_EQ(motors[2], "\xe8\x85\x95");

    std::array<std::string, MAX_JOINT_ROWS> none;
    EXPECT_EQ(readNameHeads(dir.missing(), none, false), 0);
}

TEST(OptionsFiles, NameHeadsNeverCountPastTheRows)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += std::to_string(i % 255) + " : J" + std::to_string(i) + " = 0\n";
    std::array<std::string, MAX_JOINT_ROWS> names;
    EXPECT_EQ(readNameHeads(dir.write("model.ini", text), names, false), MAX_JOINT_ROWS);
}

TEST(OptionsFiles, RemoconItemsOrPlaceholders)
{
    TempDir dir;
    const std::vector<std::string> want = {"1:walk", "2:", "10:turn"};
    EXPECT_EQ(readRemoconItems(dir.write("list.txt", "1:walk\r\n2:\n\n3\n10:turn")), want);

    const std::vector<std::string> placeholders = readRemoconItems(dir.missing());
    ASSERT_EQ(placeholders.size(), 32u);
    EXPECT_EQ(placeholders.front(), "1:");
    EXPECT_EQ(placeholders.back(), "32:");
}
