// Translations: nine languages, looked up by key in the current language, then in the default one
// (the pack's first, "en-US"), and failing both the key itself comes back. A language's table holds
// only texts of its own: keys that read as in English (the fault codes, the time format) are found in
// en-US.
#pragma once

#include <cstdint>

enum {
    LV_I18N_PLURAL_TYPE_ZERO,
    LV_I18N_PLURAL_TYPE_ONE,
    LV_I18N_PLURAL_TYPE_TWO,
    LV_I18N_PLURAL_TYPE_FEW,
    LV_I18N_PLURAL_TYPE_MANY,
    LV_I18N_PLURAL_TYPE_OTHER,
    _LV_I18N_PLURAL_TYPE_NUM,
};

// One entry of a language's table. A table ends with an entry whose key and text are both null; a null
// text alone means "not translated here".
typedef struct {
    const char* key;
    const char* text;
} lv_i18n_phrase_t;

typedef struct {
    const char* locale_name;
    const lv_i18n_phrase_t* singulars;
    const lv_i18n_phrase_t* plurals[_LV_I18N_PLURAL_TYPE_NUM]; // unused here: all null
    uint8_t (*plural_fn)(int32_t count);                       // the plural category of a count
} lv_i18n_lang_t;

// A language pack: pointers to language records, ended by a null pointer.
typedef const lv_i18n_lang_t* lv_i18n_language_pack_t;

// The nine languages, made by the build from the string tables in i18n/lang/*.json; the first, en-US,
// is the default.
extern const lv_i18n_language_pack_t lv_i18n_language_pack[];

// Installs a pack and makes its first language current; -1 for a null or empty pack.
int lv_i18n_init(const lv_i18n_language_pack_t* langs);
// Makes the language named exactly `l_name` current; -1 (and no change) when the pack has none.
int lv_i18n_set_locale(const char* l_name);
// The text of `msg_id`; never null for a non-null key. Points into constant tables.
const char* lv_i18n_get_text(const char* msg_id);
// The current locale name, or null before lv_i18n_init.
const char* lv_i18n_get_current_locale(void);

// Shared plural rules: "one" only for 1 (English and most of the pack), "one" for 0 and 1 (French),
// and the East Slavic one/few/many rule (Russian).
uint8_t lv_i18n_plural_one_only(int32_t count);
uint8_t lv_i18n_plural_zero_or_one(int32_t count);
uint8_t lv_i18n_plural_east_slavic(int32_t count);
