#include "text/text_input.h"

#include <gtest/gtest.h>

#include <random>

#include <charconv>

#include <bit>

#include <limits>
#include <string>
#include <vector>

#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

std::vector<std::string> AllLines(TextInput& input) {
    std::vector<std::string> lines;
    std::string_view line;
    while (input.ReadLine(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(TextInput, LinesWithCrLfAndFinalLineWithoutLineFeed) {
    TextInput input("first\r\n\r\nthird\rstill third\nlast");
    EXPECT_EQ(AllLines(input),
              (std::vector<std::string>{"first", "", "third\rstill third", "last"}));
    EXPECT_TRUE(input.eof());
    EXPECT_TRUE(input.fail());
}

TEST(TextInput, EmptyFileHasNoLine) {
    TextInput input("");
    std::string_view line;
    EXPECT_FALSE(input.ReadLine(line));
    EXPECT_TRUE(input.eof());
}

TEST(TextInput, LineLengthLimit) {
    const std::string longest(TextInput::kMaxLineLength, 'a');
    TextInput ok(longest + "\nnext\n");
    std::string_view line;
    ASSERT_TRUE(ok.ReadLine(line));
    EXPECT_EQ(line.size(), 1022u);
    ASSERT_TRUE(ok.ReadLine(line));
    EXPECT_EQ(line, "next");

    TextInput tooLong(longest + "b\nnext\n");
    EXPECT_FALSE(tooLong.ReadLine(line));
    EXPECT_TRUE(tooLong.fail());
    EXPECT_FALSE(tooLong.eof());
    // A failed stream stays failed.
    EXPECT_FALSE(tooLong.ReadLine(line));
    int32_t value = 0;
    EXPECT_FALSE(tooLong.ReadInt(value));
    EXPECT_EQ(tooLong.tell(), TextInput::kNoPosition);
}

TEST(TextInput, TellAndSeekBack) {
    TextInput input("one\ntwo\n");
    std::string_view line;
    const size_t start = input.tell();
    ASSERT_TRUE(input.ReadLine(line));
    const size_t second = input.tell();
    EXPECT_EQ(second, 4u);
    ASSERT_TRUE(input.ReadLine(line));
    EXPECT_EQ(input.tell(), input.size());
    input.seek(second);
    ASSERT_TRUE(input.ReadLine(line));
    EXPECT_EQ(line, "two");
    input.seek(start);
    ASSERT_TRUE(input.ReadLine(line));
    EXPECT_EQ(line, "one");

    // Reading past the end fails the stream, and a failed stream does not move.
    AllLines(input);
    EXPECT_EQ(input.tell(), TextInput::kNoPosition);
    input.seek(start);
    EXPECT_TRUE(input.fail());
    EXPECT_FALSE(input.ReadLine(line));
}

TEST(TextInput, IntegerExtraction) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
        size_t used;  // by ParseInt
    };
    const Case cases[] = {
        {"42", true, 42, 2},
        {"  \t-17xyz", true, -17, 6},
        {"+8", true, 8, 2},
        {"007", true, 7, 3},
        {"1.9", true, 1, 1},
        {"2147483647", true, 2147483647, 10},
        {"-2147483648", true, std::numeric_limits<int32_t>::min(), 11},
        {"2147483648", false, std::numeric_limits<int32_t>::max(), 0},
        {"-2147483649", false, std::numeric_limits<int32_t>::min(), 0},
        {"99999999999999999999999", false, std::numeric_limits<int32_t>::max(), 0},
        {"abc", false, 0, 0},
        {"-", false, 0, 0},
        {"+-1", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        int32_t parsed = 99;
        EXPECT_EQ(ParseInt(c.text, parsed), c.used) << c.text;
        EXPECT_EQ(parsed, c.value) << c.text;

        TextInput input(c.text);
        int32_t read = 99;
        EXPECT_EQ(input.ReadInt(read), c.ok) << c.text;
        EXPECT_EQ(input.fail(), !c.ok) << c.text;
        if (*c.text != '\0') {
            EXPECT_EQ(read, c.value) << c.text << ": the value that `>>` stores";
        }
    }
}

TEST(TextInput, UnsignedExtraction) {
    uint32_t value = 0;
    EXPECT_EQ(ParseUnsigned("4294967295", value), 10u);
    EXPECT_EQ(value, 4294967295u);
    EXPECT_EQ(ParseUnsigned("-1", value), 2u);
    EXPECT_EQ(value, 4294967295u);
    EXPECT_EQ(ParseUnsigned("4294967296", value), 0u);
    EXPECT_EQ(value, 4294967295u);
    EXPECT_EQ(ParseUnsigned("x", value), 0u);
    EXPECT_EQ(value, 0u);
}

TEST(TextInput, FloatExtraction) {
    struct Case {
        const char* text;
        float value;
        size_t used;
    };
    const Case cases[] = {
        {"1.5", 1.5f, 3},
        {" -0.25e2,", -25.0f, 8},
        {".5", 0.5f, 2},
        {"5.", 5.0f, 2},
        {"+3", 3.0f, 2},
        {"7abc", 7.0f, 1},
        {"1e", 0.0f, 0},
        {".", 0.0f, 0},
        {"-", 0.0f, 0},
        {"+-1", 0.0f, 0},
        {"x1", 0.0f, 0},
        {"1e999", std::numeric_limits<float>::max(), 0},
        {"-1e999", std::numeric_limits<float>::lowest(), 0},
    };
    for (const Case& c : cases) {
        float value = 99;
        EXPECT_EQ(ParseFloat(c.text, value), c.used) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    float tiny = 1;
    EXPECT_EQ(ParseFloat("1e-60", tiny), 5u);
    EXPECT_GE(tiny, 0.0f);
    EXPECT_LT(tiny, 1e-37f);
}

// Plain decimals take a shortcut; it must round exactly like the general conversion.
TEST(TextInput, FloatParsingAgreesWithTheGeneralConversion) {
    std::mt19937_64 random(7);
    auto check = [](const std::string& text) {
        float fast = 0;
        float general = 0;
        ASSERT_EQ(ParseFloat(text, fast), text.size()) << text;
        std::string_view number = text;
        if (number.front() == '+') {
            number.remove_prefix(1);
        }
        std::from_chars(number.data(), number.data() + number.size(), general);
        ASSERT_EQ(std::bit_cast<uint32_t>(fast), std::bit_cast<uint32_t>(general)) << text;
    };
    for (int n = 0; n < 200000; ++n) {
        const uint64_t digits = random() % 1000000000000000ull;
        const int fraction = static_cast<int>(random() % 16);
        std::string text = std::to_string(digits);
        if (fraction > 0) {
            text.insert(0, std::string(fraction + 1 > static_cast<int>(text.size())
                                           ? fraction + 1 - static_cast<int>(text.size())
                                           : 0,
                                       '0'));
            text.insert(text.size() - static_cast<size_t>(fraction), 1, '.');
        }
        check((n % 3 == 0 ? "-" : n % 3 == 1 ? "+" : "") + text);
    }
    // Ties between two floats, and numbers just beside them.
    for (const char* text : {"16777217", "16777217.0", "16777219", "0.5", "-0.0", "5.",
                             "33554434.999999", "1.00000005960464477", "0.000000000000001",
                             "123.456789", "340282356779733661637539395458142568447.9"}) {
        check(text);
    }
}

TEST(TextInput, DirectReadsAcrossLinesAndEndState) {
    TextInput input("1 2.5\n  -3\tword\n");
    int32_t i = 0;
    float f = 0;
    ASSERT_TRUE(input.ReadInt(i));
    ASSERT_TRUE(input.ReadFloat(f));
    EXPECT_EQ(f, 2.5f);
    ASSERT_TRUE(input.ReadInt(i));
    EXPECT_EQ(i, -3);
    std::string_view word;
    ASSERT_TRUE(input.ReadWord(word));
    EXPECT_EQ(word, "word");
    EXPECT_TRUE(input.good()) << "the final line feed is still unread";
    EXPECT_FALSE(input.ReadInt(i));
    EXPECT_TRUE(input.eof());
    EXPECT_TRUE(input.fail());

    TextInput bad("12 x\n");
    ASSERT_TRUE(bad.ReadInt(i));
    EXPECT_FALSE(bad.ReadInt(i));
    EXPECT_TRUE(bad.fail());
    EXPECT_FALSE(bad.eof());
}

TEST(TextInput, TrimBlanksKeepsInnerBlanks) {
    EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks(" \t "), "");
}

// Files are read in place where they can be: each shape of ending reads the same lines.
TEST(TextInput, OpenFileFoldsLineEndsAndEndsTheLastLine) {
    testing::TempDir dir;
    // 64 lines of 64 bytes: a page of 4096 bytes; the last line has no line feed when the
    // file ends on the page boundary, and also when it ends one byte before it.
    std::string page;
    std::vector<std::string> pageLines;
    for (int i = 0; i < 64; ++i) {
        pageLines.push_back(std::string(62, 'x') + std::to_string(i % 10));
        page += pageLines.back() + "\n";
    }
    std::vector<std::string> shortLast = pageLines;
    shortLast.back().pop_back();
    std::vector<std::string> longLast = pageLines;
    longLast.back() += "x";
    struct Case {
        std::string content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\n", {"a\rb"}},
        {page, pageLines},
        {page.substr(0, 4095) + "x", longLast},
        {page.substr(0, 4094), shortLast},
        {page.substr(0, 4094) + "\r\n", shortLast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.size());
        std::optional<TextInput> input = TextInput::OpenFile(dir.Write("f.txt", c.content));
        ASSERT_TRUE(input.has_value());
        EXPECT_EQ(AllLines(*input), c.lines);
    }
}

TEST(TextInput, OpenFileReadsWholeFileAndReportsMissingFiles) {
    testing::TempDir dir;
    const std::string path = dir.Write("in.smd", "version 1\r\nend");
    std::optional<TextInput> input = TextInput::OpenFile(path);
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->text(), "version 1\nend\n");
    EXPECT_FALSE(TextInput::OpenFile(dir.File("missing.smd")).has_value());
    EXPECT_FALSE(TextInput::OpenFile(dir.File("")).has_value()) << "a folder is no file";
}

}  // namespace
}  // namespace toravel
