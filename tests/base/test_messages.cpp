#include "base/Messages.h"

#include <gtest/gtest.h>

using namespace gipso;

TEST(Messages, LookupFormatAndCache)
{
    setLanguage(kEnglish);
    EXPECT_EQ(messageText(631), QStringLiteral("Delete all $0s?"));
    EXPECT_EQ(formatMessage(messageText(631), {QStringLiteral("WayPoint")}), QStringLiteral("Delete all WayPoints?"));
    EXPECT_EQ(formatMessage(messageText(665), {120, 3}), QStringLiteral("120 TrackPoints and 3 tracks downloaded."));
    EXPECT_EQ(formatMessage(QStringLiteral("$0 and $0"), {QStringLiteral("x")}), QStringLiteral("x and x"));
    EXPECT_EQ(formatMessage(QStringLiteral("$0 $1"), {QStringLiteral("a")}), QStringLiteral("a $1"));
    EXPECT_EQ(messageText(224), QStringLiteral("Invalid file extension fot this operation! "));

    EXPECT_EQ(messageText(160), QStringLiteral("Gipso"));
    EXPECT_EQ(messageText(175), QStringLiteral("&Import points from File"));
    EXPECT_EQ(messageText(176), QStringLiteral("Export points to &File"));

    setLanguage(kItalian);
    EXPECT_EQ(messageText(631), QStringLiteral("Cancellare tutti i $0s?"));
    EXPECT_EQ(messageText(209), QStringLiteral("MODIFICA"));
    EXPECT_EQ(messageText(706), QStringLiteral("N°  $0 WayPoints."));

    setLanguage(1031); // no tables for German
    EXPECT_EQ(messageText(160), QString());
    EXPECT_EQ(messageText(239), QString());
    setLanguage(kEnglish);
    EXPECT_EQ(messageText(237), QString()); // an id without text
}
