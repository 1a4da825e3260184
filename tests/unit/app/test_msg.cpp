#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "msg/msg.h"

namespace {

constexpr int32_t I32_MAX = std::numeric_limits<int32_t>::max();
constexpr int32_t I32_MIN = std::numeric_limits<int32_t>::min();
constexpr uint32_t U32_MAX = std::numeric_limits<uint32_t>::max();

// Owns a parsed document for the length of a test.
struct Doc {
    cJSON* root;
    explicit Doc(const std::string& json) : root(cJSON_Parse(json.c_str())) {}
    ~Doc() { cJSON_Delete(root); }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;
};

struct NumberCase {
    const char* value; // JSON text of "v", or null for an absent key
    int32_t i32;
    uint32_t u32;
    int16_t i16;
    uint16_t u16;
    int8_t i8;
    uint8_t u8;
    int64_t time;
};

TEST(MsgNumbers, EveryReaderFollowsTheConversionRule) {
    const NumberCase cases[] = {
        {"2.9", 2, 2, 2, 2, 2, 2, 2},
        {"-2.9", -2, 0, -2, 0, -2, 0, -2},
        {"-0.5", 0, 0, 0, 0, 0, 0, 0},
        {"1e12", I32_MAX, U32_MAX, -1, 0xFFFF, -1, 0xFF, 1000000000000},
        {"-1e12", I32_MIN, 0, 0, 0, 0, 0, -1000000000000},
        {nullptr, 0, 0, 0, 0, 0, 0, 0},
        {"\"12\"", 0, 0, 0, 0, 0, 0, 0},
        {"true", 0, 0, 0, 0, 0, 0, 0},
        {"false", 0, 0, 0, 0, 0, 0, 0},
        {"null", 0, 0, 0, 0, 0, 0, 0},
        {"[5]", 0, 0, 0, 0, 0, 0, 0},
        {"257", 257, 257, 257, 257, 1, 1, 257},
        {"65536", 65536, 65536, 0, 0, 0, 0, 65536},
        {"40000", 40000, 40000, -25536, 40000, 64, 64, 40000},
        {"200", 200, 200, 200, 200, -56, 200, 200},
        {"-1", -1, 0, -1, 0, -1, 0, -1},
        {"-40000", -40000, 0, 25536, 0, -64, 0, -40000},
        {"2147483647.9", I32_MAX, 2147483647u, -1, 0xFFFF, -1, 0xFF, 2147483647},
        {"2147483648", I32_MAX, 2147483648u, -1, 0, -1, 0, 2147483648},
        {"-2147483648.5", I32_MIN, 0, 0, 0, 0, 0, -2147483648},
        {"4294967295.5", I32_MAX, U32_MAX, -1, 0xFFFF, -1, 0xFF, 4294967295},
        {"1099511627776", I32_MAX, U32_MAX, -1, 0xFFFF, -1, 0xFF, int64_t(1) << 40},
        {"1e300", I32_MAX, U32_MAX, -1, 0xFFFF, -1, 0xFF, std::numeric_limits<int64_t>::max()},
        {"-1e300", I32_MIN, 0, 0, 0, 0, 0, std::numeric_limits<int64_t>::min()},
    };
    for (const NumberCase& c : cases) {
        const std::string json = c.value ? std::string("{\"v\": ") + c.value + "}" : "{}";
        SCOPED_TRACE(json);
        Doc doc(json);
        ASSERT_NE(doc.root, nullptr);
        const double v = msg_number(doc.root, "v");
        EXPECT_EQ(msg_to_i32(v), c.i32);
        EXPECT_EQ(msg_to_u32(v), c.u32);
        EXPECT_EQ(msg_low_i16(msg_to_i32(v)), c.i16);
        EXPECT_EQ(msg_low_u16(msg_to_u32(v)), c.u16);
        EXPECT_EQ(msg_low_i8(msg_to_i32(v)), c.i8);
        EXPECT_EQ(msg_low_u8(msg_to_u32(v)), c.u8);
        EXPECT_EQ(msg_to_i64(v), c.time);
    }
}

TEST(MsgNumbers, NotANumberAndInfinitiesOnTheirOwn) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(msg_to_i32(nan), 0);
    EXPECT_EQ(msg_to_u32(nan), 0u);
    EXPECT_EQ(msg_to_i64(nan), 0);
    EXPECT_EQ(msg_to_i32(inf), I32_MAX);
    EXPECT_EQ(msg_to_i32(-inf), I32_MIN);
    EXPECT_EQ(msg_to_u32(inf), U32_MAX);
    EXPECT_EQ(msg_to_u32(-inf), 0u);
    EXPECT_EQ(msg_to_i64(inf), std::numeric_limits<int64_t>::max());
    EXPECT_TRUE(std::isnan(msg_number(nullptr, "v")));
}

TEST(MsgPaths, KeysIgnoreCaseAndArraysGoByPosition) {
    Doc doc(
        R"({"Conns":[{"m1768Info":{"RunState":"S_K1K2ON"}},{"x":2}],"grid":[[1,2],[3,4]],"s":"t","n":7})");
    ASSERT_NE(doc.root, nullptr);
    EXPECT_STREQ(msg_text(doc.root, "CONNS[0].m1768info.runState"), "S_K1K2ON");
    EXPECT_EQ(msg_number(doc.root, "conns[1].x"), 2.0);
    EXPECT_EQ(msg_number(doc.root, "grid[1][0]"), 3.0);
    // Nothing below missing items, beyond the end of arrays, or below items of the wrong type; text
    // readers give nothing for other types.
    for (const char* path :
         {"conns[2].x", "conns[0].nothing.runState", "s.x", "n[0]", "conns.m1768Info", "n"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(msg_text(doc.root, path), nullptr);
        if (std::string(path) != "n") {
            EXPECT_TRUE(std::isnan(msg_number(doc.root, path)));
        }
    }
    EXPECT_EQ(msg_item(nullptr, "n"), nullptr);
}

TEST(MsgRead, TriggerMessages) {
    Doc doc(R"({"tRIGGER":"Prompt","Seconds":65836,"msg":260,"PERCENT":300})");
    msg_status_t m;
    msg_trigger_t t;
    ASSERT_TRUE(msg_read(doc.root, &m, &t));
    EXPECT_STREQ(t.command, "Prompt");
    EXPECT_TRUE(t.has_seconds);
    EXPECT_EQ(t.seconds, 300); // the low 16 bits
    EXPECT_EQ(t.index, 4);
    EXPECT_EQ(t.percent, 44);
    Doc other(R"({"Trigger":5})");
    ASSERT_TRUE(msg_read(other.root, &m, &t)); // a Trigger of any type makes a trigger message
    EXPECT_EQ(t.command, nullptr);
    EXPECT_FALSE(t.has_seconds);
}

TEST(MsgCodes, WholeStringsWithoutRegardToCase) {
    EXPECT_TRUE(msg_code_is("IDLE", "Idle"));
    EXPECT_TRUE(msg_code_is("emergency pushed", "Emergency Pushed"));
    EXPECT_FALSE(msg_code_is("Idl", "Idle"));
    EXPECT_FALSE(msg_code_is("Idle ", "Idle"));
    EXPECT_FALSE(msg_code_is(nullptr, "Idle"));
    EXPECT_FALSE(msg_code_is("\xC3\x89", "\xC3\xA9")); // only ASCII letters fold
}

} // namespace
