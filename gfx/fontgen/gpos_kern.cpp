#include "gpos_kern.h"

#include <algorithm>
#include <bit>

namespace fontgen {

namespace {

constexpr uint16_t kLookupPairPos = 2;
constexpr uint16_t kLookupExtension = 9;
constexpr uint16_t kValueXAdvance = 0x0004;

size_t value_record_size(uint16_t format) {
    return 2u * (size_t)std::popcount(format);
}
// XPlacement and YPlacement come before XAdvance when present.
size_t x_advance_offset(uint16_t format) {
    return 2u * (size_t)std::popcount((uint16_t)(format & 0x3));
}

} // namespace

GposKerning::GposKerning(std::vector<uint8_t> table) : data_(std::move(table)) {
    if (data_.size() >= 10 && u16(0) == 1) collect_lookups();
}

uint16_t GposKerning::u16(size_t off) const {
    if (off + 2 > data_.size()) return 0;
    return (uint16_t)(data_[off] << 8 | data_[off + 1]);
}

uint32_t GposKerning::u32(size_t off) const {
    return (uint32_t)u16(off) << 16 | u16(off + 2);
}

// Every lookup that a 'kern' feature of any script refers to, with its pair-positioning subtables.
void GposKerning::collect_lookups() {
    const size_t feature_list = u16(6);
    const size_t lookup_list = u16(8);
    std::vector<uint16_t> indices;
    const uint16_t feature_count = u16(feature_list);
    for (uint16_t f = 0; f < feature_count; f++) {
        const size_t rec = feature_list + 2 + 6u * f;
        if (rec + 6 > data_.size() ||
            !std::equal(data_.begin() + (ptrdiff_t)rec, data_.begin() + (ptrdiff_t)rec + 4, "kern"))
            continue;
        const size_t feature = feature_list + u16(rec + 4);
        const uint16_t n = u16(feature + 2);
        for (uint16_t k = 0; k < n; k++) indices.push_back(u16(feature + 4 + 2u * k));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());

    const uint16_t lookup_count = u16(lookup_list);
    for (uint16_t index : indices) {
        if (index >= lookup_count) continue;
        const size_t lookup = lookup_list + u16(lookup_list + 2 + 2u * index);
        const uint16_t type = u16(lookup);
        const uint16_t sub_count = u16(lookup + 4);
        std::vector<Subtable> subs;
        for (uint16_t s = 0; s < sub_count; s++) {
            size_t sub = lookup + u16(lookup + 6 + 2u * s);
            if (type == kLookupExtension) {
                if (u16(sub + 2) != kLookupPairPos) continue;
                sub += u32(sub + 4);
            } else if (type != kLookupPairPos) {
                continue;
            }
            subs.push_back({sub});
        }
        if (!subs.empty()) lookups_.push_back(std::move(subs));
    }
}

int GposKerning::coverage_index(size_t coverage, uint16_t glyph) const {
    const uint16_t format = u16(coverage);
    const uint16_t count = u16(coverage + 2);
    if (format == 1) {
        for (uint16_t k = 0; k < count; k++)
            if (u16(coverage + 4 + 2u * k) == glyph) return k;
    } else if (format == 2) {
        for (uint16_t k = 0; k < count; k++) {
            const size_t range = coverage + 4 + 6u * k;
            if (glyph >= u16(range) && glyph <= u16(range + 2)) return u16(range + 4) + (glyph - u16(range));
        }
    }
    return -1;
}

uint16_t GposKerning::glyph_class(size_t class_def, uint16_t glyph) const {
    const uint16_t format = u16(class_def);
    if (format == 1) {
        const uint16_t start = u16(class_def + 2);
        const uint16_t count = u16(class_def + 4);
        if (glyph >= start && glyph - start < count) return u16(class_def + 6 + 2u * (glyph - start));
    } else if (format == 2) {
        const uint16_t count = u16(class_def + 2);
        for (uint16_t k = 0; k < count; k++) {
            const size_t range = class_def + 4 + 6u * k;
            if (glyph >= u16(range) && glyph <= u16(range + 2)) return u16(range + 4);
        }
    }
    return 0;
}

// True when the subtable applies to the pair; `value` is then its X advance adjustment.
bool GposKerning::subtable_value(size_t sub, uint16_t left, uint16_t right, int& value) const {
    const uint16_t format = u16(sub);
    const int cov = coverage_index(sub + u16(sub + 2), left);
    if (cov < 0) return false;
    const uint16_t vf1 = u16(sub + 4);
    const uint16_t vf2 = u16(sub + 6);
    const size_t record_size = value_record_size(vf1) + value_record_size(vf2);
    auto read_value = [&](size_t record) {
        return (vf1 & kValueXAdvance) ? (int)(int16_t)u16(record + x_advance_offset(vf1)) : 0;
    };

    if (format == 1) {
        if (cov >= u16(sub + 8)) return false;
        const size_t pair_set = sub + u16(sub + 10 + 2u * (size_t)cov);
        const uint16_t count = u16(pair_set);
        for (uint16_t k = 0; k < count; k++) {
            const size_t record = pair_set + 2 + k * (2 + record_size);
            if (u16(record) == right) {
                value = read_value(record + 2);
                return true;
            }
        }
        return false;
    }
    if (format == 2) {
        const uint16_t class1 = glyph_class(sub + u16(sub + 8), left);
        const uint16_t class2 = glyph_class(sub + u16(sub + 10), right);
        const uint16_t class1_count = u16(sub + 12);
        const uint16_t class2_count = u16(sub + 14);
        if (class1 >= class1_count || class2 >= class2_count) return false;
        value = read_value(sub + 16 + ((size_t)class1 * class2_count + class2) * record_size);
        return true;
    }
    return false;
}

int GposKerning::pair_value(uint16_t left, uint16_t right) const {
    int total = 0;
    for (const auto& lookup : lookups_) {
        for (const Subtable& sub : lookup) {
            int value = 0;
            if (subtable_value(sub.offset, left, right, value)) {
                total += value;
                break; // the first subtable that applies ends the lookup
            }
        }
    }
    return total;
}

} // namespace fontgen
