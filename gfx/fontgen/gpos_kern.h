// Pair kerning from an OpenType GPOS table (the 'kern' feature), for faces without a legacy
// 'kern' table, where FT_Get_Kerning has nothing to report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fontgen {

class GposKerning {
  public:
    // Takes a copy of the raw GPOS table; an empty or malformed table yields no kerning.
    explicit GposKerning(std::vector<uint8_t> table);

    // Horizontal advance adjustment of `left` followed by `right`, in font units.
    int pair_value(uint16_t left, uint16_t right) const;
    bool empty() const { return lookups_.empty(); }

  private:
    struct Subtable {
        size_t offset; // absolute offset of a PairPos subtable
    };
    std::vector<std::vector<Subtable>> lookups_;
    std::vector<uint8_t> data_;

    uint16_t u16(size_t off) const;
    uint32_t u32(size_t off) const;
    int coverage_index(size_t coverage, uint16_t glyph) const;
    uint16_t glyph_class(size_t class_def, uint16_t glyph) const;
    bool subtable_value(size_t sub, uint16_t left, uint16_t right, int& value) const;
    void collect_lookups();
};

} // namespace fontgen
