#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Player;

// The participant list's entries by id: how many entries have each id and, for an id that one
// entry alone has, which one. Open addressing over 16-byte slots, so a million ids cost one
// allocation, are indexed while the list loads and are found at once by every save.
class IdIndex {
public:
    struct Found {
        int count = 0;
        Player* entry = nullptr;  // set when count is 1
    };

    Found find(std::int32_t id) const;
    void reserve(std::size_t ids);  // room for this many ids without growing
    void add(std::int32_t id, Player* entry);
    // One entry with this id fewer; returns how many are left (the caller names the one left
    // with setEntry when that is one).
    int remove(std::int32_t id);
    void setEntry(std::int32_t id, Player* entry);
    void clear();

private:
    struct Slot {
        std::int32_t id = 0;
        std::int32_t count = 0;  // 0: a free slot
        Player* entry = nullptr;
    };
    std::size_t home(std::int32_t id) const;
    std::size_t slotOf(std::int32_t id) const;  // the id's slot, or the free one it would take
    void rehash(std::size_t capacity);

    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
    int m_shift = 64;
};
