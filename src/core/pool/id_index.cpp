#include "core/pool/id_index.h"

#include <algorithm>
#include <bit>

namespace {
constexpr std::size_t MinCapacity = 16;
}

std::size_t IdIndex::home(std::int32_t id) const
{
    // Fibonacci hashing: ids drawn at random and ids counted up from 1 both spread evenly.
    return static_cast<std::size_t>((std::uint64_t(std::uint32_t(id)) * 0x9E3779B97F4A7C15ull) >> m_shift);
}

std::size_t IdIndex::slotOf(std::int32_t id) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = home(id);
    while (m_slots[i].count != 0 && m_slots[i].id != id) i = (i + 1) & mask;
    return i;
}

IdIndex::Found IdIndex::find(std::int32_t id) const
{
    if (m_slots.empty()) return {};
    const Slot& slot = m_slots[slotOf(id)];
    return slot.count == 0 ? Found{} : Found{slot.count, slot.entry};
}

void IdIndex::reserve(std::size_t ids)
{
    // At most half full, so a probe stays short.
    const std::size_t wanted = std::bit_ceil(std::max(MinCapacity, 2 * ids));
    if (wanted > m_slots.size()) rehash(wanted);
}

void IdIndex::rehash(std::size_t capacity)
{
    std::vector<Slot> old(capacity);
    old.swap(m_slots);
    m_shift = 64 - std::countr_zero(capacity);
    for (const Slot& slot : old)
        if (slot.count != 0) m_slots[slotOf(slot.id)] = slot;
}

void IdIndex::add(std::int32_t id, Player* entry)
{
    if (2 * (m_used + 1) > m_slots.size()) reserve(m_used + 1);
    Slot& slot = m_slots[slotOf(id)];
    if (slot.count == 0) {
        slot = {id, 1, entry};
        ++m_used;
    } else {
        ++slot.count;
        slot.entry = nullptr;  // which of them comes first is the list's to say
    }
}

int IdIndex::remove(std::int32_t id)
{
    if (m_slots.empty()) return 0;
    std::size_t i = slotOf(id);
    if (m_slots[i].count == 0) return 0;
    if (--m_slots[i].count > 0) return m_slots[i].count;
    // Shift the slots of the probe run back over the hole, so every id stays reachable from home.
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t j = (i + 1) & mask; m_slots[j].count != 0; j = (j + 1) & mask) {
        const std::size_t k = home(m_slots[j].id);
        const bool stays = i <= j ? (i < k && k <= j) : (i < k || k <= j);
        if (stays) continue;
        m_slots[i] = m_slots[j];
        i = j;
    }
    m_slots[i] = Slot{};
    --m_used;
    return 0;
}

void IdIndex::setEntry(std::int32_t id, Player* entry)
{
    if (m_slots.empty()) return;
    Slot& slot = m_slots[slotOf(id)];
    if (slot.count != 0) slot.entry = entry;
}

void IdIndex::clear()
{
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_used = 0;
    m_shift = 64;
}
