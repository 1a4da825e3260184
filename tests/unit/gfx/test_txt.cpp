// Text layout with the built-in Montserrat 14: sizes, word wrap, line ends, recolour commands and
// UTF-8 decoding of broken input.
#include "lvgl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const lv_font_t* font() {
    return &lv_font_montserrat_14;
}

lv_point_t text_size(const char* txt, lv_coord_t max_w = LV_COORD_MAX,
                     lv_text_flag_t flag = LV_TEXT_FLAG_NONE, lv_coord_t letter_space = 0,
                     lv_coord_t line_space = 0) {
    lv_point_t p{-1, -1};
    lv_txt_get_size(&p, txt, font(), letter_space, line_space, max_w, flag);
    return p;
}

std::vector<std::string> split_lines(const char* txt, lv_coord_t max_w,
                                     lv_text_flag_t flag = LV_TEXT_FLAG_NONE) {
    std::vector<std::string> lines;
    uint32_t start = 0;
    while (txt[start] != '\0' && lines.size() < 100) {
        const uint32_t len = _lv_txt_get_next_line(&txt[start], font(), 0, max_w, nullptr, flag);
        if (len == 0) break;
        lines.emplace_back(&txt[start], len);
        start += len;
    }
    return lines;
}

// Decodes a whole string from a heap copy of exactly its size, so reading past the terminator
// is caught by the address sanitizer.
std::vector<uint32_t> decode_all(const std::string& bytes) {
    std::vector<char> buf(bytes.begin(), bytes.end());
    buf.push_back('\0');
    std::vector<uint32_t> letters;
    uint32_t i = 0;
    while (buf[i] != '\0') {
        const uint32_t before = i;
        letters.push_back(_lv_txt_encoded_next(buf.data(), &i));
        EXPECT_GT(i, before);
        EXPECT_LE(i, bytes.size());
    }
    // At the terminator the decoder reports 0 and stays put.
    EXPECT_EQ(_lv_txt_encoded_next(buf.data(), &i), 0u);
    EXPECT_EQ(i, bytes.size());
    return letters;
}

} // namespace

TEST(Txt, SizesOfSingleAndMultiLineTexts) {
    struct Case {
        const char* txt;
        lv_coord_t w, h;
    };
    const Case cases[] = {
        {"Text", 29, 16}, {"", 0, 16},          {"a\n", 8, 32},  {"Charging", 68, 16}, {"22.5 kW", 56, 16},
        {"100%", 35, 16}, {"a\nTextx", 37, 32}, {"\n\n", 0, 48}, {"a\r", 8, 32},       {"a\r\nb", 10, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.txt);
        const lv_point_t p = text_size(c.txt);
        EXPECT_EQ(p.x, c.w);
        EXPECT_EQ(p.y, c.h);
    }
}

TEST(Txt, LetterAndLineSpacing) {
    // Letter spacing goes between letters only; line spacing between lines only.
    const lv_point_t p = text_size("aa\naaa", LV_COORD_MAX, LV_TEXT_FLAG_NONE, 2, 3);
    EXPECT_EQ(p.x, 3 * 8 + 2 * 2);
    EXPECT_EQ(p.y, 16 + 3 + 16);
    EXPECT_EQ(lv_txt_get_width("aaa", 3, font(), 2, LV_TEXT_FLAG_NONE), 28);
    // A zero-width control character gets no spacing.
    EXPECT_EQ(lv_txt_get_width("a\tb\x01", 4, font(), 1, LV_TEXT_FLAG_NONE), 8 + 1 + 8 + 1 + 10);
}

TEST(Txt, WordWrapAtFixedWidths) {
    struct Case {
        const char* txt;
        lv_coord_t width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Hello world foo", 60, {"Hello ", "world ", "foo"}},
        {"Supercalifragilistic", 50, {"Super", "califra", "gilistic"}},
        {"abc,def.ghi-jkl", 70, {"abc,def.", "ghi-jkl"}},
        // A word that fills the width exactly leaves no room: the space becomes a line of its own.
        {"Text Text", 29, {"Text", " ", "Text"}},
        {"Text Text", 33, {"Text ", "Text"}},
        {"one\ntwo three", 200, {"one\n", "two three"}},
        {"a\r\nb", 200, {"a\r\n", "b"}},
        {"a\r\n\r\nb", 200, {"a\r\n", "\r\n", "b"}},
        {"\nx", 200, {"\n", "x"}},
        // Too narrow for any letter: still one letter per line.
        {"abc", 0, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.txt << "\" at " << c.width);
        EXPECT_EQ(split_lines(c.txt, c.width), c.lines);
        if (c.width > 0) {
            const lv_point_t p = text_size(c.txt, c.width);
            EXPECT_EQ(p.y, (lv_coord_t)(16 * c.lines.size()));
            EXPECT_LE(p.x, c.width);
        }
    }
}

TEST(Txt, ExpandIgnoresTheWidthAndUsedWidthIsReported) {
    EXPECT_EQ(split_lines("Hello world foo", 20, LV_TEXT_FLAG_EXPAND),
              std::vector<std::string>{"Hello world foo"});
    lv_coord_t used = -1;
    EXPECT_EQ(_lv_txt_get_next_line("Text Text", font(), 0, 33, &used, LV_TEXT_FLAG_NONE), 5u);
    EXPECT_EQ(used, 33);
    const lv_point_t p = text_size("Hello world foo", 20, LV_TEXT_FLAG_EXPAND);
    EXPECT_EQ(p.y, 16);
    EXPECT_EQ(p.x, text_size("Hello world foo").x);
}

TEST(Txt, RecolourCommandsAreNotMeasured) {
    struct Case {
        const char* with_cmd;
        const char* shown;
    };
    const Case cases[] = {
        {"ab #ff0000 red# cd", "ab red cd"}, {"x #12 y# z", "x y z"},       {"x ## y", "x # y"},
        {"x #ff0000red# w", "x # w"},        {"x #0000ff a#b c", "x ab c"}, {"50# off", "50off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.with_cmd);
        EXPECT_EQ(lv_txt_get_width(c.with_cmd, (uint32_t)strlen(c.with_cmd), font(), 0, LV_TEXT_FLAG_RECOLOR),
                  lv_txt_get_width(c.shown, (uint32_t)strlen(c.shown), font(), 0, LV_TEXT_FLAG_NONE));
        EXPECT_EQ(text_size(c.with_cmd, LV_COORD_MAX, LV_TEXT_FLAG_RECOLOR).x, text_size(c.shown).x);
    }
    // Without the flag the command characters are ordinary letters.
    EXPECT_GT(text_size("ab #ff0000 red# cd").x, text_size("ab red cd").x);
    // The command state starts over on each line.
    EXPECT_EQ(text_size("#ff0000 ab\ncd#", LV_COORD_MAX, LV_TEXT_FLAG_RECOLOR).x, text_size("cd").x);
}

TEST(Txt, CommandStateMachine) {
    lv_text_cmd_state_t s = LV_TEXT_CMD_STATE_WAIT;
    EXPECT_FALSE(_lv_txt_is_cmd(&s, 'a'));
    EXPECT_TRUE(_lv_txt_is_cmd(&s, '#'));
    EXPECT_EQ(s, LV_TEXT_CMD_STATE_PAR);
    EXPECT_TRUE(_lv_txt_is_cmd(&s, 'f'));
    EXPECT_TRUE(_lv_txt_is_cmd(&s, ' '));
    EXPECT_EQ(s, LV_TEXT_CMD_STATE_IN);
    EXPECT_FALSE(_lv_txt_is_cmd(&s, 'r'));
    EXPECT_TRUE(_lv_txt_is_cmd(&s, '#'));
    EXPECT_EQ(s, LV_TEXT_CMD_STATE_WAIT);
    EXPECT_TRUE(_lv_txt_is_cmd(&s, '#'));
    EXPECT_FALSE(_lv_txt_is_cmd(&s, '#')); // "##" shows one '#'
    EXPECT_EQ(s, LV_TEXT_CMD_STATE_WAIT);
}

TEST(Txt, Utf8DecodingOfValidAndBrokenInput) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<uint32_t> letters;
    };
    const uint32_t R = 0xFFFD;
    const Case cases[] = {
        {"ascii and 2-byte", "A\xC3\xA9", {0x41, 0xE9}},
        {"3-byte", "\xE2\x82\xAC!", {0x20AC, '!'}},
        {"4-byte", "\xF0\x9F\x98\x80", {0x1F600}},
        {"truncated 3-byte at end", "\xE2\x82", {R, R}},
        {"truncated 4-byte before ascii",
         "\xF0\x9F"
         "a",
         {R, R, 'a'}},
        {"stray continuation",
         "\x80\xBF"
         "a",
         {R, R, 'a'}},
        {"overlong slash", "\xC0\xAF", {R, R}},
        {"overlong 3-byte", "\xE0\x80\xAF", {R, R, R}},
        {"surrogate", "\xED\xA0\x80", {R, R, R}},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"invalid lead", "\xFF\xFE", {R, R}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decode_all(c.bytes), c.letters);
        EXPECT_EQ(_lv_txt_get_encoded_length(c.bytes.c_str()), c.letters.size());
    }
    EXPECT_EQ(_lv_txt_encoded_size("\xE2\x82\xAC"), 3u);
    EXPECT_EQ(_lv_txt_encoded_size("\xE2\x82"), 1u);
    EXPECT_EQ(_lv_txt_encoded_next("\xC3\xA9", nullptr), 0xE9u);
}

TEST(Txt, BrokenUtf8IsLaidOutWithoutOverreads) {
    const std::string texts[] = {"abc\xE2", "\xF0", "ab\xC3\n\xE2\x82", "\xE2\x82 \xE2\x82 \xE2\x82"};
    for (const std::string& t : texts) {
        std::vector<char> buf(t.begin(), t.end());
        buf.push_back('\0');
        lv_point_t p;
        lv_txt_get_size(&p, buf.data(), font(), 0, 0, 30, LV_TEXT_FLAG_RECOLOR);
        EXPECT_GE(p.y, 16);
        EXPECT_GE(lv_txt_get_width(buf.data(), (uint32_t)t.size() + 8, font(), 0, LV_TEXT_FLAG_NONE), 0);
        size_t total = 0;
        for (const std::string& l : split_lines(buf.data(), 30)) total += l.size();
        EXPECT_EQ(total, t.size());
    }
}

TEST(Txt, NullFontOrTextMeasuresNothing) {
    lv_point_t p{5, 5};
    lv_txt_get_size(&p, "Text", nullptr, 0, 0, LV_COORD_MAX, LV_TEXT_FLAG_NONE);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    lv_txt_get_size(&p, nullptr, font(), 0, 0, LV_COORD_MAX, LV_TEXT_FLAG_NONE);
    EXPECT_EQ(p.y, 0);
    lv_coord_t used = 7;
    EXPECT_EQ(_lv_txt_get_next_line("Text", nullptr, 0, 100, &used, LV_TEXT_FLAG_NONE), 0u);
    EXPECT_EQ(used, 0);
    EXPECT_EQ(lv_txt_get_width("Text", 4, nullptr, 0, LV_TEXT_FLAG_NONE), 0);
    EXPECT_EQ(lv_font_get_glyph_width(nullptr, 'a', 0), 0);
}
