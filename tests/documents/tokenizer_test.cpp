#include "kgiTextFile.h"
#include "kgiTokenizer.h"

#include "docs_test_util.h"
#include "support/kgiCommaLocale.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cmath>
#include <locale.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> splitWith(kgiTokenizer& tk, std::string text)
{
    tk.split(&text[0]);
    std::vector<std::string> out;
    for (int i = 0; i < tk.getTokenCount(); ++i)
        out.push_back(tk.getToken(i));
    return out;
}

std::vector<std::string> tokensOf(const kgiTokenizer& tk)
{
    std::vector<std::string> out;
    for (int i = 0; i < tk.getTokenCount(); ++i)
        out.push_back(tk.getToken(i));
    return out;
}

// A stream over the given bytes, through a real file as the readers use.
struct TextStream {
    kgiTestDir dir;
    FILE* f = nullptr;
    explicit TextStream(const std::string& text)
    {
        writeText(dir.file("in.txt"), text);
        f = std::fopen(dir.file("in.txt").c_str(), "r");
    }
    ~TextStream()
    {
        if (f)
            std::fclose(f);
    }
};

} // namespace

TEST(Tokenizer, SplitsLinesOfEveryFormat)
{
    using V = std::vector<std::string>;
    struct Case { const char* delimiters; std::string line; V tokens; };
    const Case cases[] = {
        {nullptr, "KMM1 2 0 1\n", V{"KMM1", "2", "0", "1"}},
        {nullptr, "Hip_R : S\n", V{"Hip_R", "S"}},
        {nullptr, "\t\tCharacter \"chara\"\n", V{"Character", "chara"}},
        {nullptr, "\tSelection 0,120\n", V{"Selection", "0", "120"}},
        {nullptr, "Proj.set {\n", V{"Proj.set", "{"}},
        // Code page 932 names stay bytes, whatever their high bit.
        {nullptr, "\x83\x65\x83\x58\xff\x80 : F", V{"\x83\x65\x83\x58\xff\x80", "F"}},
        {nullptr, "", V{}},
        {nullptr, " \t:,\"\n", V{}},
        {kgiTokenizer::CURVE_DELIMITERS, "12: {(1.5,-2.0),0.25,(3.0,4.0)}\n",
         V{"12", "1.5", "-2.0", "0.25", "3.0", "4.0"}},
        {kgiTokenizer::CURVE_DELIMITERS, "arm(L): F", V{"arm", "L", "F"}},
    };
    for (const Case& c : cases) {
        kgiTokenizer tk;
        if (c.delimiters)
            tk.setDelimiters(c.delimiters);
        EXPECT_EQ(splitWith(tk, c.line), c.tokens) << c.line;
    }
    kgiTokenizer tk;
    EXPECT_EQ(tk.split(nullptr), 0);
    EXPECT_EQ(tk.setDelimiters(""), 0);
    EXPECT_EQ(tk.setDelimiters(nullptr), 0);
    EXPECT_EQ(splitWith(tk, "a:b"), (V{"a", "b"})) << "a refused set must leave the old one";
}

TEST(Tokenizer, QuotedValuesStayWhole)
{
    kgiTokenizer tk(" \t:\n,");
    tk.setQuotes("\"");
    using V = std::vector<std::string>;
    EXPECT_EQ(splitWith(tk, "\t\tCharacter \"my robot: v2.kmd\"\n"),
              (V{"Character", "my robot: v2.kmd"}));
    EXPECT_EQ(splitWith(tk, "\tMotion \"\""), (V{"Motion", ""}));
    EXPECT_EQ(splitWith(tk, "key\"open ended"), (V{"key", "open ended"}));
    EXPECT_EQ(splitWith(tk, "Selection 3,7"), (V{"Selection", "3", "7"}));
}

TEST(Tokenizer, ReadLineSkipsEmptyLinesWhereReadRawLineStops)
{
    {
        TextStream s("\n\n   \nend\n");
        kgiTokenizer tk;
        EXPECT_EQ(tk.readLine(s.f), 1);
        EXPECT_STREQ(tk.getToken(0), "end");
        EXPECT_EQ(tk.readLine(s.f), 0);
        EXPECT_TRUE(tk.atEnd());
    }
    {
        TextStream s("\n\n   \nend\n");
        kgiTokenizer tk;
        EXPECT_EQ(tk.readRawLine(s.f), 0);
        EXPECT_FALSE(tk.atEnd());
        EXPECT_EQ(tk.readRawLine(s.f), 0);
        EXPECT_EQ(tk.readRawLine(s.f), 0);
        EXPECT_EQ(tk.readRawLine(s.f), 1);
        EXPECT_EQ(tk.readRawLine(s.f), 0);
        EXPECT_TRUE(tk.atEnd());
    }
    kgiTokenizer tk;
    EXPECT_EQ(tk.readLine(nullptr), 0);
    EXPECT_EQ(tk.readRawLine(nullptr), 0);
}

TEST(Tokenizer, CrLfLinesReadLikeLf)
{
    TextStream s("KMM1 1 0\r\n\r\nend\r\nlast");
    kgiTokenizer tk;
    tk.readLine(s.f);
    EXPECT_EQ(tokensOf(tk), (std::vector<std::string>{"KMM1", "1", "0"}));
    EXPECT_EQ(tk.readRawLine(s.f), 0);
    tk.readRawLine(s.f);
    EXPECT_STREQ(tk.getToken(0), "end");
    tk.readRawLine(s.f);
    EXPECT_STREQ(tk.getToken(0), "last") << "a last line without a line feed still counts";
}

TEST(Tokenizer, LongLinesAndManyTokensComeWhole)
{
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "t" + std::to_string(i) + " ";
    const std::string longToken(5000, 'x');
    TextStream s(many + "\n" + longToken + " tail\n");
    kgiTokenizer tk;
    ASSERT_EQ(tk.readLine(s.f), 600);
    EXPECT_STREQ(tk.getToken(599), "t599");
    EXPECT_EQ(tk.getToken(600), nullptr);
    ASSERT_EQ(tk.readLine(s.f), 2);
    EXPECT_EQ(std::string(tk.getToken(0)), longToken);
    EXPECT_STREQ(tk.getToken(1), "tail");
}

TEST(TextNumbers, ConvertLikeAtoiAndAtofInTheCNotation)
{
    struct IntCase { const char* text; int value; };
    const IntCase ints[] = {
        {"42", 42}, {"-7", -7}, {"+5", 5}, {"12abc", 12}, {"1.9", 1}, {"", 0}, {"x1", 0},
        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(kgiTextFile::parseInt(c.text), c.value) << c.text;
    EXPECT_EQ(kgiTextFile::parseInt(nullptr), 0);

    struct FloatCase { const char* text; float value; };
    const FloatCase floats[] = {
        {"1.5", 1.5f}, {"-0.25", -0.25f}, {"+2", 2.0f}, {"1e3", 1000.0f}, {"3.5}", 3.5f},
        {"1,5", 1.0f}, {"abc", 0.0f}, {"--1", 0.0f}, {"1e-60", 0.0f},
        {"1e60", INFINITY}, {"-1e400", -INFINITY},
    };
    for (const FloatCase& c : floats)
        EXPECT_EQ(kgiTextFile::parseFloat(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isnan(kgiTextFile::parseFloat("nan")));

    std::string out;
    kgiTextFile::appendFloat(out, 1.0 / 3.0);
    out += ' ';
    kgiTextFile::appendFloat(out, -0.0);
    out += ' ';
    kgiTextFile::appendFloat(out, 1e30);
    EXPECT_EQ(out, "0.333333 -0.000000 1000000000000000019884624838656.000000");
}

TEST(TextNumbers, PlainDecimalsReadBitForBitAsTheFullConversion)
{
    // Plain decimals take a shorter way than the general conversion; every
    // one must give the same float, sign of zero included. Random digit
    // strings around the limits of that way (2^24, ten decimals) and the
    // forms the writers put out.
    std::vector<std::string> texts = {"16777216", "16777217", "1677721.6", "1677721.7",
                                      "0.0000000001", "0.00000000001", "9.999999999", "1.",
                                      "0.5", "0.000000", "18.029882", "0.939693", "3.5}"};
    std::mt19937 rng(68);
    std::uniform_int_distribution<int> digit(0, 9), whole(0, 9), decimals(0, 12);
    for (int i = 0; i < 200000; ++i) {
        std::string t;
        const int w = 1 + whole(rng) % 9;
        for (int k = 0; k < w; ++k)
            t += char('0' + digit(rng));
        const int d = decimals(rng);
        if (d > 0 || i % 7 == 0)
            t += '.';
        for (int k = 0; k < d; ++k)
            t += char('0' + digit(rng));
        texts.push_back(t);
    }
    int mismatches = 0;
    for (const std::string& t : texts) {
        float expected = 0.0f;
        std::from_chars(t.data(), t.data() + t.size(), expected);
        for (const bool negative : {false, true}) {
            const float want = negative ? -expected : expected;
            const float got = kgiTextFile::parseFloat((negative ? "-" + t : t).c_str());
            if (std::memcmp(&got, &want, sizeof got) != 0 && ++mismatches < 5)
                ADD_FAILURE() << t << ": " << got << " instead of " << want;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TextNumbers, TheThreadLocaleChangesNothing)
{
    locale_t comma = kgiNewCommaLocale();
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    locale_t old = uselocale(comma);
    std::string out;
    kgiTextFile::appendFloat(out, 0.5);
    const float back = kgiTextFile::parseFloat("0.5");
    uselocale(old);
    freelocale(comma);
    EXPECT_EQ(out, "0.500000");
    EXPECT_EQ(back, 0.5f);
}
