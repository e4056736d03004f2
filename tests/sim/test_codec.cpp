// Reply texts: escape decoding and reply files.
#include "escapes.h"
#include "reply_script.h"

#include <gtest/gtest.h>

using namespace tevran::sim;
using namespace std::string_literals;

TEST(Escapes, DecodesEveryKindAndKeepsPlainText)
{
    EXPECT_EQ(decode_escapes("u6 -52.31 700.2"), "u6 -52.31 700.2");
    EXPECT_EQ(decode_escapes(R"(a\rb\nc\td\\e)"), "a\rb\nc\td\\e");
    EXPECT_EQ(decode_escapes(R"(\x00\x7f\xFF\x4a)"), "\x00\x7f\xff\x4a"s);
    // \x takes exactly two digits: the third is ordinary text.
    EXPECT_EQ(decode_escapes(R"(\x414)"), "A4");
    EXPECT_EQ(decode_escapes(R"(\\r)"), "\\r");
    EXPECT_EQ(decode_escapes(""), "");
}

TEST(Escapes, RejectsMalformedEscapes)
{
    EXPECT_THROW(decode_escapes(R"(abc\)"), EscapeError);
    EXPECT_THROW(decode_escapes(R"(\q)"), EscapeError);
    EXPECT_THROW(decode_escapes(R"(\x4)"), EscapeError);
    EXPECT_THROW(decode_escapes(R"(\xg0)"), EscapeError);
    EXPECT_THROW(decode_escapes(R"(\x)"), EscapeError);
}

TEST(ReplyScript, LinesEndInLfOrCrLfAndDashMeansNoAnswer)
{
    const auto script = ReplyScript::parse("first\r\n-\nthird\\r\\x41\n-\r\n\nlast");
    ASSERT_EQ(script.size(), 6u);
    EXPECT_EQ(script.reply(0), "first");
    EXPECT_EQ(script.reply(1), std::nullopt);
    EXPECT_EQ(script.reply(2), "third\rA");
    EXPECT_EQ(script.reply(3), std::nullopt);
    EXPECT_EQ(script.reply(4), "");          // an empty line answers a bare CR
    EXPECT_EQ(script.reply(5), "last");      // last line without LF still counts
    EXPECT_EQ(script.reply(6), std::nullopt); // nothing after the last line
    EXPECT_EQ(script.reply(1000), std::nullopt);
}

TEST(ReplyScript, OnlyTheLineEndIsStrippedAndOnlyExactDashIsSilent)
{
    const auto script = ReplyScript::parse("- \n--\n\\x2d\n \r\n");
    ASSERT_EQ(script.size(), 4u);
    EXPECT_EQ(script.reply(0), "- ");
    EXPECT_EQ(script.reply(1), "--");
    EXPECT_EQ(script.reply(2), "-"); // an escaped dash is a real answer
    EXPECT_EQ(script.reply(3), " ");
    EXPECT_EQ(ReplyScript::parse("").size(), 0u);
    EXPECT_EQ(ReplyScript::parse("\n").size(), 1u);
}

TEST(ReplyScript, NamesTheLineOfABadEscape)
{
    try {
        ReplyScript::parse("good\nalso good\nbad \\x4\n");
        FAIL() << "no error";
    } catch (const ReplyScriptError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("line 3: ", 0), 0u) << e.what();
    }
}

TEST(ReplyScript, MissingFileIsASystemError)
{
    EXPECT_THROW(ReplyScript::load("/nonexistent/tevran-replies.txt"), std::system_error);
}
