// The runtime's formatter (lv_snprintf), as used by lv_label_set_text_fmt.
#include "lvgl.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>
#include <stdint.h>
#include <string>

namespace {

// Formats through lv_vsnprintf. Deliberately without a format attribute: several cases use
// conversions the compiler's checker does not know (%b) or leave arguments out (%f).
std::string fmt(const char* format, ...) {
    char buf[256];
    va_list va;
    va_start(va, format);
    int n = lv_vsnprintf(buf, sizeof(buf), format, va);
    va_end(va);
    std::string s(buf);
    EXPECT_EQ((size_t)n, s.size()) << format;
    return s;
}

TEST(Printf, LabelExample) {
    EXPECT_EQ(
        fmt("[%d|%02d|%5d|%-4d|%s|%%|%x|%X|%u|%ld|%c]", 7, 7, 42, 3, "str", 255, 255, 4000000000u, -5L, 'Z'),
        "[7|07|   42|3   |str|%|ff|FF|4000000000|-5|Z]");
}

TEST(Printf, FlagsWidthAndPrecision) {
    EXPECT_EQ(fmt("%+d % d %+d % d", 5, 5, -5, -5), "+5  5 -5 -5");
    EXPECT_EQ(fmt("%05d|%-05d|%+05d", -42, 42, 42), "-0042|42   |+0042");
    EXPECT_EQ(fmt("%.3d|%6.3d|%06.3d|%-6.3d|", 7, 7, 7, -7), "007|   007|   007|-007  |");
    EXPECT_EQ(fmt("[%.0d][%5.0d][%.0u]", 0, 0, 0u), "[][     ][]");
    EXPECT_EQ(fmt("%#x %#X %#o %#b %#x %#o", 255, 255, 8, 5, 0, 0), "0xff 0XFF 010 0b101 0 0");
    EXPECT_EQ(fmt("%#08x|%#-8x|", 255, 255), "0x0000ff|0xff    |");
    EXPECT_EQ(fmt("%b %o %x", 10, 8, 0xBEEF), "1010 10 beef");
    EXPECT_EQ(fmt("%*d|%-*d|%*d|", 4, 7, 4, 7, -4, 7), "   7|7   |7   |");
    EXPECT_EQ(fmt("%.*d|%.*s|", 3, 5, 2, "abcdef"), "005|ab|");
    EXPECT_EQ(fmt("%5s|%-5s|%.2s|%.0s|%3s", "ab", "ab", "abcdef", "gone", "long"), "   ab|ab   |ab||long");
    EXPECT_EQ(fmt("%c|%3c|%-3c|", 'a', 'b', 'c'), "a|  b|c  |");
    EXPECT_EQ(fmt("100%% %5%"), "100% %");
}

TEST(Printf, LengthModifiers) {
    EXPECT_EQ(fmt("%hhd %hhu %hd %hu", 200, 257, 65537, 65535 + 3), "-56 1 1 2");
    EXPECT_EQ(fmt("%d %i", INT_MIN, INT_MAX), "-2147483648 2147483647");
    EXPECT_EQ(fmt("%lld %llu", LLONG_MIN, ULLONG_MAX), "-9223372036854775808 18446744073709551615");
    EXPECT_EQ(fmt("%ld %lu", -70000L, 70000UL), "-70000 70000");
    EXPECT_EQ(fmt("%zu %zd %td %jd %ju", (size_t)123, (size_t)45, (ptrdiff_t)-4, (intmax_t)-9, (uintmax_t)9),
              "123 45 -4 -9 9");
    EXPECT_EQ(fmt("%llx %lX", 0x123456789abcdefULL, 0xABCUL), "123456789abcdef ABC");
}

TEST(Printf, PointersAndNullStrings) {
    std::string want = std::string(sizeof(void*) * 2 - 4, '0') + "12AB";
    EXPECT_EQ(fmt("%p", (void*)0x12ab), want);
    // A null string prints "(null)" instead of crashing.
    EXPECT_EQ(fmt("[%s|%3.2s]", (const char*)nullptr, (const char*)nullptr), "[(null)| (n]");
}

TEST(Printf, FloatConversionsPrintTheirLetter) {
    EXPECT_EQ(fmt("%f"), "f");
    EXPECT_EQ(fmt("%.1f kW"), "f kW");
    EXPECT_EQ(fmt("%e %G %5.2F"), "e G F");
}

TEST(Printf, TruncatesButReportsTheFullLength) {
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(lv_snprintf(buf, 5, "hello %s", "world"), 11);
    EXPECT_STREQ(buf, "hell");
    EXPECT_EQ(buf[5], '#');

    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(lv_snprintf(buf, 1, "%d", 12345), 5);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], '#');

    // Count 0 writes nothing at all; a null buffer just measures.
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(lv_snprintf(buf, 0, "%s", "abc"), 3);
    EXPECT_EQ(buf[0], '#');
    EXPECT_EQ(lv_snprintf(nullptr, 0, "%05d|%s", 42, "label"), 11);

    // Exactly fitting.
    EXPECT_EQ(lv_snprintf(buf, 8, "%07d", 1), 7);
    EXPECT_STREQ(buf, "0000001");
}

} // namespace
