#include "base/TextCodec.h"

#include <gtest/gtest.h>
#include <cstring>

using namespace gipso;

TEST(TextCodec, Utf8ElseWindows1252)
{
    // Valid UTF-8 loses its BOM; anything else is Windows-1252 as a whole, 0x80-0x9F included.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" "Citt\xC3\xA0 \xE2\x82\xAC"), QStringView(u"Citt\u00e0 \u20ac").toString());
    EXPECT_EQ(decodeText("Citt\xE0 \x80\x8D\x9F \xC3\xA0"), QStringView(u"Citt\u00e0 \u20ac\u008d\u0178 \u00c3\u00a0").toString());
    EXPECT_EQ(decodeText("\xC0\xAF"), QStringView(u"\u00c0\u00af").toString()); // overlong
    // A field that starts with a byte order mark keeps it (found by the text-file fuzzer: the
    // blanks after it came back trimmed on the next import).
    EXPECT_EQ(decodeUtf8("\xEF\xBB\xBF  x"), QStringView(u"\ufeff  x").toString());
    // Surrogates, code points above U+10FFFF and a character cut short are not UTF-8 either.
    for (const char *bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ok\xE2\x82"}) {
        Utf8Check check;
        check.feed(bad, std::strlen(bad));
        EXPECT_FALSE(check.valid()) << bad;
    }
    // Files are checked block by block: a character may straddle two blocks.
    Utf8Check split;
    split.feed("abc\xE2\x82", 5);
    split.feed("\xAC\xF0\x9F\x98\x80", 5);
    EXPECT_TRUE(split.valid());
}
