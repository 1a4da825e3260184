#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "i18n/lv_i18n.h"
#include "lvgl.h"
#include "test_paths.h"

namespace {

const char* const kLocales[] = {"en-US", "de-DE", "el-GR", "es-ES", "fi-FI",
                                "fr-FR", "it-IT", "nl-NL", "ru-RU"};

// Keys that read as in English in every language: the codes, formats and the blank of the screens.
const char* const kEnglishEverywhere =
    "s_time s_welcome s_engineering_mode s_rcd_checkin s_EV_communicate_error s_interal_error "
    "s_local_list_conflict s_over_current_fault s_switch_fault s_reset_fault s_weaksignal s_rcd_6ma "
    "s_pe_leak "
    "s_pme_fault s_power_temp_over s_cp_status_e s_randomised_delay s_off_peak_time s_open_door "
    "s_locker_fault_sub s_meter_fault_sub s_card_reader_fault_sub s_ground_faule_sub "
    "s_high_temperature_fault_sub s_over_voltage_fault_sub s_low_voltage_fault_sub s_emergency_fault_sub "
    "s_phase_rotation_fault_sub s_not_available_null s_pe_wiring";

std::set<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

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

// English has all 82 keys once; every other language has a text for each, its own or, for the codes
// and formats that read the same anywhere, the English one.
TEST(I18n, EveryKeyInEveryLanguage) {
    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
    const lv_i18n_phrase_t* en = lv_i18n_language_pack[0]->singulars;
    std::set<std::string> keys;
    for (const lv_i18n_phrase_t* p = en; p->key != nullptr; p++) {
        EXPECT_EQ(std::strncmp(p->key, "s_", 2), 0) << p->key;
        EXPECT_TRUE(keys.insert(p->key).second) << "duplicate key " << p->key;
    }
    ASSERT_EQ(keys.size(), 82u);
    const std::set<std::string> everywhere = words(kEnglishEverywhere);
    const std::map<std::string, std::set<std::string>> also_english = {
        {"de-DE", {"s_hard_reset", "s_soft_reset"}},
        {"fi-FI", {"s_hard_reset", "s_soft_reset"}},
        {"nl-NL", {"s_hard_reset", "s_soft_reset", "s_downloading"}},
    };
    for (size_t i = 0; i < 9; i++) {
        const char* locale = kLocales[i];
        SCOPED_TRACE(locale);
        ASSERT_STREQ(lv_i18n_language_pack[i]->locale_name, locale) << "the pack's order";
        for (const lv_i18n_phrase_t* p = lang_of(locale)->singulars; p->key != nullptr; p++)
            EXPECT_TRUE(keys.count(p->key)) << p->key << " is no English key";
        for (const std::string& key : keys) {
            ASSERT_EQ(lv_i18n_set_locale("en-US"), 0);
            const std::string english = lv_i18n_get_text(key.c_str());
            ASSERT_EQ(lv_i18n_set_locale(locale), 0);
            const bool same =
                everywhere.count(key) || (also_english.count(locale) && also_english.at(locale).count(key));
            EXPECT_EQ(lv_i18n_get_text(key.c_str()) == english, same || std::strcmp(locale, "en-US") == 0)
                << key;
        }
    }
}

TEST(I18n, LookupAndItsFallbacks) {
    ASSERT_EQ(lv_i18n_init(lv_i18n_language_pack), 0);
    EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), "Connect the charging plug");
    const struct {
        const char* locale;
        const char* connect_plug;
    } rows[] = {
        {"de-DE", "Ladestecker verbinden"},        {"el-GR", "Συνδέστε το βύσμα φόρτισης"},
        {"es-ES", "Conecte el enchufe de carga"},  {"fi-FI", "Kytke latauskaapeli"},
        {"fr-FR", "Connectez la prise de charge"}, {"it-IT", "Collegare la spina di ricarica"},
        {"nl-NL", "Sluit de oplaadstekker aan"},   {"ru-RU", "Подключите коннектор"},
        {"en-US", "Connect the charging plug"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        ASSERT_EQ(lv_i18n_set_locale(row.locale), 0);
        EXPECT_STREQ(lv_i18n_get_current_locale(), row.locale);
        EXPECT_STREQ(lv_i18n_get_text("s_connect_plug"), row.connect_plug);
        EXPECT_STREQ(lv_i18n_get_text("s_ground_faule_sub"), "GroundFailure");
        EXPECT_STREQ(lv_i18n_get_text("s_not_available_null"), " ");
        EXPECT_STREQ(lv_i18n_get_text("s_time"), "%02dh %02dm %02ds");
        // Texts that are no keys come back as they are, the very same pointer.
        const char* error = "ERROR";
        const char* empty = "";
        EXPECT_EQ(lv_i18n_get_text(error), error);
        EXPECT_EQ(lv_i18n_get_text(empty), empty);
        EXPECT_STREQ(lv_i18n_get_text("s_no_such_key"), "s_no_such_key");
    }

    // Names are exact: a wrong case or an unknown name changes nothing.
    ASSERT_EQ(lv_i18n_set_locale("fr-FR"), 0);
    EXPECT_EQ(lv_i18n_set_locale("en-us"), -1);
    EXPECT_EQ(lv_i18n_set_locale("FR-FR"), -1);
    EXPECT_EQ(lv_i18n_set_locale("pt-PT"), -1);
    EXPECT_STREQ(lv_i18n_get_current_locale(), "fr-FR");
    EXPECT_EQ(lv_i18n_set_locale("fr-FR"), 0);
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

TEST(I18n, PluralCategories) {
    const uint8_t one = LV_I18N_PLURAL_TYPE_ONE, few = LV_I18N_PLURAL_TYPE_FEW;
    const uint8_t many = LV_I18N_PLURAL_TYPE_MANY, other = LV_I18N_PLURAL_TYPE_OTHER;

    auto ru_ru_plural_fn = lang_of("ru-RU")->plural_fn;
    auto fr_fr_plural_fn = lang_of("fr-FR")->plural_fn;
    for (int32_t n : {1, 21, 101, -1, -21}) EXPECT_EQ(ru_ru_plural_fn(n), one) << n;
    for (int32_t n : {2, 3, 4, 22, 104, -3}) EXPECT_EQ(ru_ru_plural_fn(n), few) << n;
    for (int32_t n : {0, 5, 11, 12, 13, 14, 111, 112, 25, 100, -5}) EXPECT_EQ(ru_ru_plural_fn(n), many) << n;
    EXPECT_EQ(ru_ru_plural_fn(INT32_MIN), many); // 2147483648 ends in 8

    for (int32_t n : {0, 1, -1}) EXPECT_EQ(fr_fr_plural_fn(n), one) << n;
    for (int32_t n : {2, -2, 100}) EXPECT_EQ(fr_fr_plural_fn(n), other) << n;

    for (const char* locale : {"en-US", "de-DE", "el-GR", "es-ES", "fi-FI", "it-IT", "nl-NL"}) {
        auto fn = lang_of(locale)->plural_fn;
        EXPECT_EQ(fn(1), one);
        EXPECT_EQ(fn(-1), one);
        for (int32_t n : {0, 2, 11, 21, -2, INT32_MIN}) EXPECT_EQ(fn(n), other) << n;
    }
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
