#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "i18n/lv_i18n.h"
#include "test_paths.h"

namespace {

const lv_i18n_lang_t* const kAllLangs[] = {&en_us_lang, &de_de_lang, &el_gr_lang, &es_es_lang, &fi_fi_lang,
                                           &fr_fr_lang, &it_it_lang, &nl_nl_lang, &ru_ru_lang};

// Keys whose text is the English one in every language: codes and formats that read the same anywhere.
const char* const kEnglishEverywhere[] = {
    "s_time",
    "s_welcome",
    "s_engineering_mode",
    "s_rcd_checkin",
    "s_EV_communicate_error",
    "s_interal_error",
    "s_local_list_conflict",
    "s_over_current_fault",
    "s_switch_fault",
    "s_reset_fault",
    "s_weaksignal",
    "s_rcd_6ma",
    "s_pe_leak",
    "s_pme_fault",
    "s_power_temp_over",
    "s_cp_status_e",
    "s_randomised_delay",
    "s_off_peak_time",
    "s_open_door",
    "s_locker_fault_sub",
    "s_meter_fault_sub",
    "s_card_reader_fault_sub",
    "s_ground_faule_sub",
    "s_high_temperature_fault_sub",
    "s_over_voltage_fault_sub",
    "s_low_voltage_fault_sub",
    "s_emergency_fault_sub",
    "s_phase_rotation_fault_sub",
    "s_not_available_null",
    "s_pe_wiring",
};

size_t table_size(const lv_i18n_phrase_t* t) {
    size_t n = 0;
    while (t[n].key != nullptr || t[n].text != nullptr) n++;
    return n;
}

const char* table_text(const lv_i18n_phrase_t* t, const char* key) {
    for (; t->key != nullptr; t++)
        if (std::strcmp(t->key, key) == 0) return t->text;
    return nullptr;
}

// Decodes UTF-8; an invalid sequence yields an empty result.
std::vector<uint32_t> code_points(const char* s) {
    std::vector<uint32_t> out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p != 0) {
        uint32_t c = *p++;
        int more = 0;
        if (c >= 0xF0 && c < 0xF8) {
            c &= 0x07;
            more = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            more = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            more = 1;
        } else if (c >= 0x80) {
            return {};
        }
        for (; more > 0; more--) {
            if ((*p & 0xC0) != 0x80) return {};
            c = (c << 6) | (*p++ & 0x3F);
        }
        out.push_back(c);
    }
    return out;
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

TEST(I18n, PackHoldsNineLanguagesInOrder) {
    const char* const names[] = {"en-US", "de-DE", "el-GR", "es-ES", "fi-FI",
                                 "fr-FR", "it-IT", "nl-NL", "ru-RU"};
    for (size_t i = 0; i < 9; i++) {
        ASSERT_NE(lv_i18n_language_pack[i], nullptr);
        EXPECT_EQ(lv_i18n_language_pack[i], kAllLangs[i]);
        EXPECT_STREQ(lv_i18n_language_pack[i]->locale_name, names[i]);
    }
    EXPECT_EQ(lv_i18n_language_pack[9], nullptr);
}

TEST(I18n, EveryLanguageHasTheSameKeysInTheSameOrder) {
    const lv_i18n_phrase_t* en = en_us_singulars;
    ASSERT_EQ(table_size(en), 82u);
    std::set<std::string> seen;
    for (size_t i = 0; i < 82; i++) {
        EXPECT_EQ(std::strncmp(en[i].key, "s_", 2), 0) << en[i].key;
        EXPECT_TRUE(seen.insert(en[i].key).second) << "duplicate key " << en[i].key;
    }
    for (const lv_i18n_lang_t* lang : kAllLangs) {
        SCOPED_TRACE(lang->locale_name);
        ASSERT_EQ(table_size(lang->singulars), 82u);
        for (size_t i = 0; i < 82; i++) {
            EXPECT_STREQ(lang->singulars[i].key, en[i].key) << "position " << i;
            EXPECT_NE(lang->singulars[i].text, nullptr) << en[i].key;
        }
        for (const lv_i18n_phrase_t* plural : lang->plurals) EXPECT_EQ(plural, nullptr);
        EXPECT_NE(lang->plural_fn, nullptr);
    }
}

// Which keys keep the English text is fixed; every other text is translated.
TEST(I18n, OnlyTheCodeKeysStayEnglish) {
    struct Expect {
        const lv_i18n_lang_t* lang;
        std::set<std::string> also_english;
    };
    const Expect expects[] = {
        {&de_de_lang, {"s_hard_reset", "s_soft_reset"}},
        {&el_gr_lang, {}},
        {&es_es_lang, {}},
        {&fi_fi_lang, {"s_hard_reset", "s_soft_reset"}},
        {&fr_fr_lang, {}},
        {&it_it_lang, {}},
        {&nl_nl_lang, {"s_hard_reset", "s_soft_reset", "s_downloading"}},
        {&ru_ru_lang, {}},
    };
    std::set<std::string> everywhere(std::begin(kEnglishEverywhere), std::end(kEnglishEverywhere));
    ASSERT_EQ(everywhere.size(), 30u);
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.lang->locale_name);
        for (const lv_i18n_phrase_t* p = e.lang->singulars; p->key != nullptr; p++) {
            const bool english = everywhere.count(p->key) || e.also_english.count(p->key);
            const char* en = table_text(en_us_singulars, p->key);
            ASSERT_NE(en, nullptr) << p->key;
            if (english)
                EXPECT_STREQ(p->text, en) << p->key;
            else
                EXPECT_STRNE(p->text, en) << p->key << " is not translated";
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

    for (int32_t n : {1, 21, 101, -1, -21}) EXPECT_EQ(ru_ru_plural_fn(n), one) << n;
    for (int32_t n : {2, 3, 4, 22, 104, -3}) EXPECT_EQ(ru_ru_plural_fn(n), few) << n;
    for (int32_t n : {0, 5, 11, 12, 13, 14, 111, 112, 25, 100, -5}) EXPECT_EQ(ru_ru_plural_fn(n), many) << n;
    EXPECT_EQ(ru_ru_plural_fn(INT32_MIN), many); // 2147483648 ends in 8

    for (int32_t n : {0, 1, -1}) EXPECT_EQ(fr_fr_plural_fn(n), one) << n;
    for (int32_t n : {2, -2, 100}) EXPECT_EQ(fr_fr_plural_fn(n), other) << n;

    uint8_t (*const one_only[])(int32_t) = {en_us_plural_fn, de_de_plural_fn, el_gr_plural_fn,
                                            es_es_plural_fn, fi_fi_plural_fn, it_it_plural_fn,
                                            nl_nl_plural_fn};
    for (auto fn : one_only) {
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
    for (const lv_i18n_lang_t* lang : kAllLangs) {
        for (const lv_i18n_phrase_t* p = lang->singulars; p->key != nullptr; p++) {
            const std::vector<uint32_t> cps = code_points(p->text);
            EXPECT_FALSE(cps.empty()) << lang->locale_name << " " << p->key << ": empty or not UTF-8";
            for (uint32_t cp : cps)
                EXPECT_NE(FT_Get_Char_Index(face, cp), 0u)
                    << lang->locale_name << " " << p->key << ": U+" << std::hex << cp << " missing";
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

TEST(I18nFonts, MonospaceFontHasEveryCharacter) {
    expect_font_covers_all_texts(std::string(SD_BUILD_DIR) + "/qorv_lvgl/assets/font/UbuntuMono-B.ttf");
}

TEST(I18nFonts, SansFontHasEveryCharacter) {
    expect_font_covers_all_texts(std::string(SD_BUILD_DIR) +
                                 "/qorv_lvgl/assets/font/HarmonyOS_Sans_Regular.ttf");
}

} // namespace
