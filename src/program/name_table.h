// A fixed table from names to values, added and looked up with any case.
// Names are short and few, and every identifier of the text is looked up, so
// this is a small open-addressing table with a cheap hash instead of a
// general-purpose map.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pasdraw::program {

template <class Value, std::size_t Slots = 512>
class NameTable {
    static_assert((Slots & (Slots - 1)) == 0, "Slots must be a power of two");

public:
    static constexpr std::size_t MaxLength = 32;

    // `name` must be at most MaxLength long; the table keeps it in lower
    // case, so tables of names in any case can be added as they are. The
    // table must keep a free slot. The first value added for a name stays.
    constexpr void add(std::string_view name, Value value) {
        Slot added{};
        for (std::size_t k = 0; k < name.size(); ++k) added.name[k] = lower(name[k]);
        added.length = static_cast<uint8_t>(name.size());
        added.value = value;
        added.used = true;
        const std::string_view key = added.key();
        for (std::size_t k = hash(key) & (Slots - 1);; k = (k + 1) & (Slots - 1)) {
            if (slots_[k].used && slots_[k].key() == key) return;
            if (!slots_[k].used) {
                slots_[k] = added;
                return;
            }
        }
    }

    const Value* find(std::string_view word) const {
        if (word.size() > MaxLength) return nullptr;
        char low[MaxLength];
        for (std::size_t k = 0; k < word.size(); ++k) low[k] = lower(word[k]);
        const std::string_view key(low, word.size());
        for (std::size_t k = hash(key) & (Slots - 1);; k = (k + 1) & (Slots - 1)) {
            if (!slots_[k].used) return nullptr;
            if (slots_[k].key() == key) return &slots_[k].value;
        }
    }

private:
    static constexpr char lower(char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }

    // FNV-1a.
    static constexpr std::size_t hash(std::string_view s) {
        uint32_t h = 2166136261u;
        for (char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    struct Slot {
        char name[MaxLength]{};
        uint8_t length = 0;
        bool used = false;
        Value value{};
        constexpr std::string_view key() const { return {name, length}; }
    };
    std::array<Slot, Slots> slots_{};
};

}  // namespace pasdraw::program
