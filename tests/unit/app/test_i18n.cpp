#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "i18n/lv_i18n.h"
#include "lvgl.h"
#include "test_paths.h"

namespace {

const char* const kLocales[] = {"en-US", "de-DE", "el-GR", "es-ES", "fi-FI",
                                "fr-FR", "it-IT", "nl-NL", "ru-RU"};

// The record of a locale in the program's pack.
const lv_i18n_lang_t* lang_of(const char* locale) {
    for (const lv_i18n_language_pack_t* l = lv_i18n_language_pack; *l != nullptr; l++)
        if (std::strcmp((*l)->locale_name, locale) == 0) return *l;
    return nullptr;
}

// Runs first in this program: nothing has installed a pack yet.
TEST(I18n, NothingIsCurrentBeforeInit) {
    EXPECT_EQ(lv_i18n_get_current_locale(), nullptr);
    EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), "s_connect_plug");
    EXPECT_EQ(lv_i18n_set_locale("en-US"), -1);

    const lv_i18n_language_pack_t empty[] = {nullptr};
    EXPECT_EQ(lv_i18n_init(nullptr), -1);
    EXPECT_EQ(lv_i18n_init(empty), -1);
    EXPECT_EQ(lv_i18n_get_current_locale(), nullptr);

    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "en-US");
}

// Every language has a text for each English key (its own or the English one), and no key that
// English lacks.
TEST(I18n, EveryKeyInEveryLanguage) {
    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
    std::set<std::string> keys;
    for (const lv_i18n_phrase_t* p = lang_of("en-US")->singulars; p->key != nullptr; p++)
        EXPECT_TRUE(keys.insert(p->key).second) << "duplicate key " << p->key;
    for (const char* locale : kLocales) {
        SCOPED_TRACE(locale);
        ASSERT_EQ(lv_i18n_set_locale(locale), 0);
        for (const lv_i18n_phrase_t* p = lang_of(locale)->singulars; p->key != nullptr; p++)
            EXPECT_TRUE(keys.count(p->key)) << p->key << " is no English key";
        for (const std::string& key : keys) EXPECT_NE(lv_i18n_get_text(key.c_str()), key) << key;
    }
}

TEST(I18n, LookupAndItsFallbacks) {
    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
    EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), "Connect the charging plug");
    ASSERT_EQ(lv_i18n_set_locale("el-GR"), 0);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "el-GR");
    EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), "Συνδέστε το βύσμα φόρτισης");
    // Texts that are no keys come back as they are, the very same pointer.
    const char* error = "ERROR";
    const char* empty = "";
    EXPECT_EQ(lv_i18n_get_text(error), error);
    EXPECT_EQ(lv_i18n_get_text(empty), empty);
    EXPECT_STREQ(lv_i18n_get_text("s_no_such_key"), "s_no_such_key");

    // Names are exact: a wrong case or an unknown name changes nothing.
    ASSERT_EQ(lv_i18n_set_locale("fr-FR"), 0);
    EXPECT_EQ(lv_i18n_set_locale("en-us"), -1);
    EXPECT_EQ(lv_i18n_set_locale("pt-PT"), -1);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "fr-FR");
}

// A hand-made pack: missing keys and null texts fall back to the pack's first language, then to the key.
TEST(I18n, MissingAndNullTextsFallBackToTheFirstLanguage) {
    static const lv_i18n_phrase_t base_table[] = {
        {"s_a", "A"}, {"s_b", "B"}, {"s_c", nullptr}, {"s_c", "C2"}, {nullptr, nullptr}};
    static const lv_i18n_phrase_t other_table[] = {
        {"s_a", nullptr}, {"s_a", "a later"}, {"s_b", nullptr}, {"s_d", "D"}, {nullptr, nullptr}};
    static const lv_i18n_lang_t base = {"xx-XX", base_table, {}, nullptr};
    static const lv_i18n_lang_t other = {"yy-YY", other_table, {}, nullptr};
    static const lv_i18n_lang_t bare = {"zz-ZZ", nullptr, {}, nullptr};
    const lv_i18n_language_pack_t pack[] = {&base, &other, &bare, nullptr};

    ASSERT_EQ(lv_i18n_init(pack), 0);
    EXPECT_STREQ(lv_i18n_get_text("s_c"), "C2");
    EXPECT_STREQ(lv_i18n_get_text("s_d"), "s_d"); // the first language does not look further
    ASSERT_EQ(lv_i18n_set_locale("yy-YY"), 0);
    EXPECT_STREQ(lv_i18n_get_text("s_a"), "a later");
    EXPECT_STREQ(lv_i18n_get_text("s_b"), "B");
    EXPECT_STREQ(lv_i18n_get_text("s_c"), "C2");
    EXPECT_STREQ(lv_i18n_get_text("s_d"), "D");
    EXPECT_STREQ(lv_i18n_get_text("s_e"), "s_e");
    ASSERT_EQ(lv_i18n_set_locale("zz-ZZ"), 0);
    EXPECT_STREQ(lv_i18n_get_text("s_a"), "A");
    EXPECT_EQ(lv_i18n_set_locale("en-US"), -1); // not in this pack

    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
}

// Both fonts of the asset set (staged in the build directory) must draw every character of every language.
void expect_font_covers_all_texts(const std::string& path) {
    ASSERT_TRUE(std::filesystem::exists(path)) << "asset font missing: " << path;
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&lib), 0);
    ASSERT_EQ(FT_New_Face(lib, path.c_str(), 0, &face), 0) << path;
    for (const char* locale : kLocales) {
        const lv_i18n_lang_t* lang = lang_of(locale);
        for (const lv_i18n_phrase_t* p = lang->singulars; p->key != nullptr; p++) {
            for (uint32_t i = 0; p->text[i] != '\0';) {
                const uint32_t cp = _lv_txt_encoded_next(p->text, &i);
                EXPECT_NE(FT_Get_Char_Index(face, cp), 0u)
                    << lang->locale_name << " " << p->key << ": U+" << std::hex << cp << " missing";
            }
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

TEST(I18nFonts, BothFontsHaveEveryCharacter) {
    for (const char* font : {"UbuntuMono-B.ttf", "HarmonyOS_Sans_Regular.ttf"}) {
        SCOPED_TRACE(font);
        expect_font_covers_all_texts(std::string(SD_BUILD_DIR) + "/qorv_lvgl/assets/font/" + font);
    }
}

} // namespace
