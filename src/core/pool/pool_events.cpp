#include "core/pool/pool_events.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
bool isEntryEvent(PoolChange change)
{
    return change == PoolChange::EntryStored || change == PoolChange::EntryDeleted || change == PoolChange::ListChanged;
}
}  // namespace

PoolEvents::Subscription& PoolEvents::Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        reset();
        m_slots = std::move(other.m_slots);
        m_slot = std::move(other.m_slot);
    }
    return *this;
}

void PoolEvents::Subscription::reset()
{
    if (!m_slot) return;
    m_slot->active = false;  // a dispatch under way holds a copy of the list and skips it
    if (const auto list = m_slots.lock()) std::erase(*list, m_slot);
    m_slot.reset();
    m_slots.reset();
}

PoolEvents::PoolEvents() : m_slots(std::make_shared<std::vector<std::shared_ptr<Subscription::Slot>>>()) {}

PoolEvents::Subscription PoolEvents::subscribe(Listener listener)
{
    auto slot = std::make_shared<Subscription::Slot>();
    slot->listener = std::move(listener);
    m_slots->push_back(slot);
    return Subscription(m_slots, std::move(slot));
}

void PoolEvents::publish(const PoolEvent& event)
{
    if (m_holds == 0) {
        dispatch(event);
        return;
    }
    if (isEntryEvent(event.change)) {
        if (m_entryEvents++ == 0) m_firstEntryEvent = event;
        m_entriesDue = m_entriesDue || event.scoringDue;
    } else {
        m_held[static_cast<std::size_t>(event.change)] = true;
    }
}

void PoolEvents::dispatch(const PoolEvent& event)
{
    // A copy, so a listener may subscribe or unsubscribe while the others wait their turn.
    const std::vector<std::shared_ptr<Subscription::Slot>> listeners = *m_slots;
    for (const auto& slot : listeners)
        if (slot->active) slot->listener(event);
}

void PoolEvents::releaseHeld()
{
    std::vector<PoolEvent> events;
    if (m_entryEvents == 1) events.push_back(m_firstEntryEvent);
    if (m_entryEvents > 1) events.push_back({PoolChange::ListChanged, 0, m_entriesDue});
    for (std::size_t kind = 0; kind < std::size(m_held); ++kind)
        if (m_held[kind]) events.push_back({static_cast<PoolChange>(kind)});
    m_entryEvents = 0;
    m_entriesDue = false;
    std::fill(std::begin(m_held), std::end(m_held), false);
    for (const PoolEvent& event : events) dispatch(event);
}

PoolEvents::Hold::Hold(PoolEvents* events) : m_events(events)
{
    if (m_events) ++m_events->m_holds;
}

void PoolEvents::Hold::release()
{
    PoolEvents* events = std::exchange(m_events, nullptr);
    if (events && --events->m_holds == 0) events->releaseHeld();
}

PoolEvents::Hold::~Hold()
{
    try {
        release();
    } catch (...) {
        // The windows' listeners report their own errors; a command unwinding has its own to show.
    }
}
