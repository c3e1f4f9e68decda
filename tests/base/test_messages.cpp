#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "base/TextCodec.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace gipso;

TEST(Messages, LookupAndFormat)
{
    setLanguage(kEnglish);
    EXPECT_EQ(messageText(631), QStringLiteral("Delete all $0s?"));
    EXPECT_EQ(formatMessage(messageText(631), {QStringLiteral("WayPoint")}), QStringLiteral("Delete all WayPoints?"));
    EXPECT_EQ(formatMessage(messageText(665), {120, 3}), QStringLiteral("120 TrackPoints and 3 tracks downloaded."));
    EXPECT_EQ(formatMessage(QStringLiteral("$0 and $0"), {QStringLiteral("$0")}), QStringLiteral("$0 and $0"));
    EXPECT_EQ(formatMessage(QStringLiteral("$0 $1"), {QStringLiteral("a")}), QStringLiteral("a $1"));
    EXPECT_EQ(messageText(237), QString()); // an id without text
    // Ids of two blocks of the tables, then the other language.
    EXPECT_EQ(messageText(175), QStringLiteral("&Import points from File"));
    EXPECT_EQ(messageText(176), QStringLiteral("Export points to &File"));
    setLanguage(kItalian);
    EXPECT_EQ(messageText(631), QStringLiteral("Cancellare tutti i $0s?"));
    setLanguage(1031); // no tables for German
    EXPECT_EQ(messageText(160), QString());
    setLanguage(kEnglish);
}

TEST(Messages, ErrorsShowTheTextOfTheLanguageInForce)
{
    // Raised in one language, shown in the other: the standard text follows the language.
    setLanguage(kItalian);
    const GipsoError raised(err::TypeMismatch);
    setLanguage(kEnglish);
    EXPECT_EQ(errorMessage(raised), QStringLiteral("ERROR N° 13 - Type mismatch"));
    // Every number the logic raises has its text in both languages.
    for (int number : {err::InvalidCall, err::Overflow, err::OutOfMemory, err::DivisionByZero, err::TypeMismatch,
                       err::FileNotFound, err::FileIo, err::PathAccess})
        for (int language : {kEnglish, kItalian}) {
            setLanguage(language);
            EXPECT_FALSE(GipsoError(number).description().isEmpty()) << number << " " << language;
        }
    // A description of its own is shown as it was given.
    setLanguage(kItalian);
    EXPECT_EQ(errorMessage(GipsoError(err::FileIo, QStringLiteral("disk full"))), QStringLiteral("ERRORE N° 57 - disk full"));
    setLanguage(kEnglish);
}

TEST(DateValue, ConversionsAndFormats)
{
    EXPECT_EQ(formatDateValue(0), QStringLiteral("30/12/1899"));
    const double v = toDateValue(QDate(2003, 2, 1), QTime(4, 5, 6));
    EXPECT_DOUBLE_EQ(v, 37653.0 + (4 * 3600 + 5 * 60 + 6) / 86400.0);
    EXPECT_EQ(formatDateValue(v), QStringLiteral("01/02/2003"));
    EXPECT_EQ(formatTimeValue(v), QStringLiteral("04:05:06"));
    // A time a hair before midnight rounds to the next day, not to 24:00:00.
    const double late = toDateValue(QDate(2020, 1, 1)) + (86400.0 - 0.2) / 86400.0;
    EXPECT_EQ(formatDateValue(late) + " " + formatTimeValue(late), QStringLiteral("02/01/2020 00:00:00"));
    // Days before 1899: the fraction still counts from midnight.
    EXPECT_DOUBLE_EQ(toDateValue(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
    EXPECT_EQ(formatDateValue(-1.25) + " " + formatTimeValue(-1.25), QStringLiteral("29/12/1899 06:00:00"));
    // No calendar day outside years 100 to 9999, nor for NaN: the epoch is shown.
    EXPECT_EQ(formatDateValue(std::nan("")), QStringLiteral("30/12/1899"));
    EXPECT_EQ(formatDateValue(3e6), QStringLiteral("30/12/1899"));

    EXPECT_EQ(parseDateText(u" 1/2/2003 "), 37653.0);
    EXPECT_EQ(parseTimeText(u"4:05"), (4 * 3600 + 5 * 60) / 86400.0);
    for (const char16_t *bad : {u"31/02/2003", u"", u"aa/bb/cccc", u"1/2"})
        EXPECT_FALSE(parseDateText(bad)) << QString::fromUtf16(bad).toStdString();
    for (const char16_t *bad : {u"25:00:00", u"12:60", u"x", u"-1:00"})
        EXPECT_FALSE(parseTimeText(bad)) << QString::fromUtf16(bad).toStdString();
}

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
