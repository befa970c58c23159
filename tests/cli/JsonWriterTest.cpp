#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Quoted(std::string_view text)
{
    return JsonWriter().String(text).Text();
}

TEST(JsonWriter, PlacesCommasAndColonsInNestedDocuments)
{
    JsonWriter json;
    json.BeginObject().Key("a").Number(1).Key("b").BeginArray();
    json.BeginObject().EndObject().BeginArray().EndArray().Bool(true).Null().Number(18446744073709551615ull);
    json.EndArray().Key("c").BeginObject().Key("d").Bool(false).EndObject().EndObject();
    EXPECT_EQ(json.Text(), R"({"a":1,"b":[{},[],true,null,18446744073709551615],"c":{"d":false}})");
}

TEST(JsonWriter, EscapesQuotesBackslashesAndEveryControlCharacter)
{
    EXPECT_EQ(Quoted("a\"b\\c/d"), R"("a\"b\\c/d")");
    EXPECT_EQ(Quoted("\b\f\n\r\t"), R"("\b\f\n\r\t")");
    EXPECT_EQ(Quoted(std::string("\0\x01\x1f\x7f", 4)), R"("\u0000\u0001\u001f\u007f")");
    EXPECT_EQ(JsonWriter().BeginObject().Key("k\"\n").Number(0).EndObject().Text(), R"({"k\"\n":0})");
}

TEST(JsonWriter, WritesEverythingBeyondAsciiAsEscapesWithSurrogatePairs)
{
    EXPECT_EQ(Quoted("é"), R"("\u00e9")");
    EXPECT_EQ(Quoted("日本"), R"("\u65e5\u672c")");
    EXPECT_EQ(Quoted("😀"), R"("\ud83d\ude00")");
    EXPECT_EQ(Quoted("\xf4\x8f\xbf\xbf"), R"("\udbff\udfff")") << "U+10FFFF, the last code point";
    EXPECT_EQ(Quoted("C:\\ファイル 😀.txt"), R"("C:\\\u30d5\u30a1\u30a4\u30eb \ud83d\ude00.txt")");
}

TEST(JsonWriter, BytesThatAreNotUtf8BecomeReplacementCharacters)
{
    EXPECT_EQ(Quoted("a\xff"
                     "b"),
              R"("a\ufffdb")");
    EXPECT_EQ(Quoted("\xc3"), R"("\ufffd")") << "cut short at the end";
    EXPECT_EQ(Quoted("\xc3(x"), R"("\ufffd(x")") << "a lead byte without its continuation";
    EXPECT_EQ(Quoted("\xc0\xaf"), R"("\ufffd\ufffd")") << "an overlong slash";
    EXPECT_EQ(Quoted("\xed\xa0\x80"), R"("\ufffd\ufffd\ufffd")") << "a lone surrogate";
    EXPECT_EQ(Quoted("\xf4\x90\x80\x80"), R"("\ufffd\ufffd\ufffd\ufffd")") << "past U+10FFFF";
}

} // namespace
