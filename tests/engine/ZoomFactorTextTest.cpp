// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom-factor read-out: digits with a decimal comma and the German number words.
#include "FrameRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
std::string digits(long double zoom)
{
    return zoomFactorDigits(zoom).toStdString();
}

std::string words(long double zoom)
{
    return zoomFactorWords(zoom).toStdString();
}
}

TEST(ZoomFactorText, ExampleReadOuts)
{
    struct Row
    {
        long double zoom;
        const char *digits;
        const char *words;
    };
    const Row rows[] = {
        {1.0L, "1,000", ""},
        {1.5L, "1,500", ""},
        {123.25L, "123,2", ""},
        {999.75L, "999,7", ""},
        {0.5L, ",5000", ""},
        {1000.0L, "1000", ""},
        {1000000.0L, "1000000", ""},
        {1000001.0L, "1000001", "(1 Millionen)"},
        {1234567.89L, "1234567", "(1,23 Millionen)"},
        {2500000.0L, "2500000", "(2,5 Millionen)"},
        {std::ldexp(1.0L, 33), "8589934592", "(8,58 Milliarden)"},
        {std::ldexp(1.0L, 40), "1099511627776", "(1,09 Billionen)"},
        {std::ldexp(1.0L, 50), "1125899906842624", "(1,12 Billiarden)"},
        {std::ldexp(1.0L, 61), "2305843009213693952", "(2,3 Trillionen)"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(digits(row.zoom), row.digits) << "zoom " << double(row.zoom);
        EXPECT_EQ(words(row.zoom), row.words) << "zoom " << double(row.zoom);
    }
}

TEST(ZoomFactorText, DigitsTruncateTheStoredValueAndNeverRound)
{
    // The double nearest 12.34 lies just below it.
    EXPECT_EQ(digits(static_cast<long double>(12.34)), "12,33");
    EXPECT_EQ(digits(9.9999L), "9,999");
    EXPECT_EQ(digits(99.999L), "99,99");
    EXPECT_EQ(digits(1999.99L), "1999");
    EXPECT_EQ(digits(0.1234L), ",1234");
    // The word needs strictly more than a million.
    EXPECT_EQ(words(1000000.5L), "(1 Millionen)");
    EXPECT_EQ(words(999999.99L), "");
}

TEST(ZoomFactorText, EveryKeyframeBoundary)
{
    const char *const names[] = {"Millionen", "Milliarden", "Billionen", "Billiarden", "Trillionen"};
    for (int n = 0; n <= 61; ++n) {
        const unsigned long long exact = 1ULL << n;
        const std::string shown = digits(std::ldexp(1.0L, n));
        SCOPED_TRACE("2^" + std::to_string(n));

        std::string expected = std::to_string(exact);
        if (exact < 1000) {
            // Four significant digits, the comma after the integer part.
            expected += ',';
            expected.append(5 - expected.size(), '0');
            EXPECT_EQ(shown, expected);
        } else if (exact < 10000000000000ULL) {
            EXPECT_EQ(shown, expected);
        } else {
            // Above 10^13 the last two digits may come out differently rounded.
            ASSERT_EQ(shown.size(), expected.size());
            EXPECT_EQ(shown.substr(0, shown.size() - 2), expected.substr(0, expected.size() - 2));
        }

        // Words: the largest unit the factor exceeds, the short number truncated to hundredths.
        std::string expectedWords;
        unsigned long long unit = 1000000ULL;
        int word = -1;
        while (word < 4 && exact > unit * (word < 0 ? 1 : 1000)) {
            if (word >= 0)
                unit *= 1000;
            ++word;
        }
        if (word >= 0) {
            const unsigned long long hundredths = exact / (unit / 100);
            std::string number = std::to_string(hundredths / 100);
            const unsigned long long fraction = hundredths % 100;
            if (fraction != 0)
                number += ',' + std::to_string(fraction / 10)
                    + (fraction % 10 ? std::to_string(fraction % 10) : "");
            expectedWords = "(" + number + " " + names[word] + ")";
        }
        EXPECT_EQ(words(std::ldexp(1.0L, n)), expectedWords);
    }
}
