#include "text/line_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace toravel {
namespace {

std::vector<std::string> AllTokens(std::string text,
                                   LineTokenizer::Braces braces = LineTokenizer::Braces::kInToken) {
    TextInput input(std::move(text));
    LineTokenizer tokenizer;
    tokenizer.Reset(braces);
    std::vector<std::string> tokens;
    for (std::string_view t = tokenizer.NextToken(input); !t.empty();
         t = tokenizer.NextToken(input)) {
        tokens.emplace_back(t);
    }
    return tokens;
}

TEST(LineTokenizer, SplitsAtBlanksAndSkipsComments) {
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"   nodes    # the nodes follow\nnext\n", {"nodes", "next"}},
        {"// a comment line\n/x y\n", {"/x", "y"}},
        {"a#b c//d e\n", {"a#b", "c//d", "e"}},
        {"a\t\tb \t c\n", {"a", "b", "c"}},
        {"\n   \n\t\n# only a comment\n  // another\nlast", {"last"}},
        {"\"Bip01\" \"quoted name\"\n", {"\"Bip01\"", "\"quoted", "name\""}},
        {"end", {"end"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AllTokens(c.text), c.tokens) << c.text;
    }
}

TEST(LineTokenizer, BracesAreTokensOfTheirOwnOnlyWhenAsked) {
    using Tokens = std::vector<std::string>;
    const std::string text = "Material Skin{\n{Bip01}\nFrame a{}b }}\n#x{\n{\n";
    EXPECT_EQ(AllTokens(text),
              (Tokens{"Material", "Skin{", "{Bip01}", "Frame", "a{}b", "}}", "{"}));
    EXPECT_EQ(AllTokens(text, LineTokenizer::Braces::kSeparate),
              (Tokens{"Material", "Skin", "{", "{", "Bip01", "}", "Frame", "a", "{", "}", "b", "}",
                      "}", "{"}));
    // A reset without a brace rule goes back to braces inside tokens.
    TextInput input(std::string("a{b\n"));
    LineTokenizer tokenizer;
    tokenizer.Reset(LineTokenizer::Braces::kSeparate);
    tokenizer.Reset();
    EXPECT_EQ(tokenizer.NextToken(input), "a{b");
}

TEST(LineTokenizer, TokensIgnoreLineEnds) {
    EXPECT_EQ(AllTokens("0\r\nroot\r\n-1\r\n"), (std::vector<std::string>{"0", "root", "-1"}));
}

TEST(LineTokenizer, TooLongLineEndsTheTokens) {
    const std::string text = "first\n" + std::string(1023, 'x') + "\nlater\n";
    TextInput input(text);
    LineTokenizer tokenizer;
    EXPECT_EQ(tokenizer.NextToken(input), "first");
    EXPECT_EQ(tokenizer.NextToken(input), "");
    EXPECT_EQ(tokenizer.NextToken(input), "") << "a failed input stays failed";
}

TEST(LineTokenizer, DirectReadsMoveTheTokenizerOn) {
    // Numbers read directly up to the middle of a line: the next token follows them on that
    // line; tokens left in the old buffer are never returned.
    TextInput input("tex a b\n1 2 3 x y\n4 5   \nz\n");
    LineTokenizer tokenizer;
    EXPECT_EQ(tokenizer.NextToken(input), "tex");
    int32_t n = 0;
    for (int expected = 1; expected <= 3; ++expected) {
        ASSERT_TRUE(input.ReadInt(n));
        EXPECT_EQ(n, expected);
    }
    EXPECT_EQ(tokenizer.NextToken(input), "x");
    EXPECT_EQ(tokenizer.NextToken(input), "y");
    EXPECT_EQ(tokenizer.CurrentToken(), "y");
    ASSERT_TRUE(input.ReadInt(n));
    ASSERT_TRUE(input.ReadInt(n));
    EXPECT_EQ(n, 5);
    // Only blanks remain on the line: the next token comes from a later line.
    EXPECT_EQ(tokenizer.NextToken(input), "z");
    EXPECT_EQ(tokenizer.NextToken(input), "");
}

TEST(LineTokenizer, WholeLineFromTokenAndRestOfLine) {
    TextInput input("  grenade s.bmp  \n0 1\n");
    LineTokenizer tokenizer;
    EXPECT_EQ(tokenizer.NextToken(input), "grenade");
    EXPECT_EQ(tokenizer.RestOfLine(), " s.bmp  ");
    EXPECT_EQ(tokenizer.TakeLineFromToken(), "grenade s.bmp  ");
    EXPECT_EQ(tokenizer.NextToken(input), "0");
}

TEST(LineTokenizer, ResetStartsAFreshLine) {
    // The second input stands where the first one's buffered line ended; without the reset
    // the tokenizer would take it for the same line and return "b".
    TextInput first("a b\n");
    TextInput second("c d\ne f\n");
    LineTokenizer tokenizer;
    EXPECT_EQ(tokenizer.NextToken(first), "a");
    std::string_view line;
    ASSERT_TRUE(second.ReadLine(line));
    ASSERT_EQ(second.tell(), first.tell());
    tokenizer.Reset();
    EXPECT_EQ(tokenizer.NextToken(second), "e");
}

}  // namespace
}  // namespace toravel
