#include "i18n/lv_i18n.h"

#include <cstring>

namespace {

const lv_i18n_language_pack_t* current_lang_pack = nullptr;
const lv_i18n_lang_t* current_lang = nullptr;

// The first non-null text for `key` in a table, or null.
const char* find_text(const lv_i18n_phrase_t* table, const char* key) {
    if (table == nullptr) return nullptr;
    for (const lv_i18n_phrase_t* p = table; p->key != nullptr || p->text != nullptr; p++) {
        if (p->key != nullptr && p->text != nullptr && std::strcmp(p->key, key) == 0) return p->text;
    }
    return nullptr;
}

uint32_t magnitude(int32_t count) {
    return count < 0 ? 0u - uint32_t(count) : uint32_t(count);
}

} // namespace

int lv_i18n_init(const lv_i18n_language_pack_t* langs) {
    if (langs == nullptr || langs[0] == nullptr) return -1;
    current_lang_pack = langs;
    current_lang = langs[0];
    return 0;
}

int lv_i18n_set_locale(const char* l_name) {
    if (current_lang_pack == nullptr || l_name == nullptr) return -1;
    for (const lv_i18n_language_pack_t* lang = current_lang_pack; *lang != nullptr; lang++) {
        if (std::strcmp((*lang)->locale_name, l_name) == 0) {
            current_lang = *lang;
            return 0;
        }
    }
    return -1;
}

const char* lv_i18n_get_text(const char* msg_id) {
    if (current_lang == nullptr || msg_id == nullptr) return msg_id;
    if (const char* text = find_text(current_lang->singulars, msg_id)) return text;
    const lv_i18n_lang_t* fallback = current_lang_pack[0];
    if (current_lang == fallback) return msg_id;
    if (const char* text = find_text(fallback->singulars, msg_id)) return text;
    return msg_id;
}

const char* lv_i18n_get_current_locale(void) {
    return current_lang ? current_lang->locale_name : nullptr;
}

uint8_t lv_i18n_plural_one_only(int32_t count) {
    return magnitude(count) == 1 ? LV_I18N_PLURAL_TYPE_ONE : LV_I18N_PLURAL_TYPE_OTHER;
}

uint8_t lv_i18n_plural_zero_or_one(int32_t count) {
    return magnitude(count) <= 1 ? LV_I18N_PLURAL_TYPE_ONE : LV_I18N_PLURAL_TYPE_OTHER;
}

uint8_t lv_i18n_plural_east_slavic(int32_t count) {
    const uint32_t n = magnitude(count);
    const uint32_t n10 = n % 10;
    const uint32_t n100 = n % 100;
    if (n10 == 1 && n100 != 11) return LV_I18N_PLURAL_TYPE_ONE;
    if (n10 >= 2 && n10 <= 4 && (n100 < 12 || n100 > 14)) return LV_I18N_PLURAL_TYPE_FEW;
    if (n10 == 0 || n10 >= 5 || (n100 >= 11 && n100 <= 14)) return LV_I18N_PLURAL_TYPE_MANY;
    return LV_I18N_PLURAL_TYPE_OTHER;
}
