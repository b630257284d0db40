#include "platform/ByteCountFormatter.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(ByteCountFormatterTest, FileStyleUsesThousandsAndDropsTrailingZeros)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::pair<qint64, const char *> rows[] = {
        {0, "Zero KB"},
        {1, "1 byte"},
        {999, "999 bytes"},
        {1000, "1 KB"},
        {1499, "1 KB"},
        {999499, "999 KB"},
        {999500, "1 MB"}, // rounds up into the next unit, never "1,000 KB"
        {1234567, "1.2 MB"},
        {1000000, "1 MB"}, // "1.0" loses its zero
        {12345678901, "12.35 GB"},
        {1500000000, "1.5 GB"},
        {999999999999, "1 TB"},
        {-2500, "-3 KB"},
    };
    for (const auto &[bytes, expected] : rows)
        EXPECT_EQ(ByteCountFormatter::fileStyle(bytes).toStdString(), expected) << bytes;

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ByteCountFormatter::fileStyle(1234567).toStdString(), "1,2 MB");
    EXPECT_EQ(ByteCountFormatter::fileStyle(2000000).toStdString(), "2 MB");
    QLocale::setDefault(QLocale::c());
}
