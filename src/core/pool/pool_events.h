#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// What changed in a pool. The list and the scoring pass raise these, the pool session carries
// them to whoever listens (the windows computed from the pool), so no window relays them to
// another.
enum class PoolChange : std::uint8_t {
    EntryStored,     // id: a sheet or the results stored (added or replaced)
    EntryDeleted,    // id: one entry deleted
    ListChanged,     // many entries at once (Pool New, an import): no id
    ResultsChanged,  // the results entry was stored or removed; comes after the change that did it
    OptionsChanged,  // round values, payouts, the teams or the regions: what is computed from them is stale
    Rescored,        // a scoring pass ran: points and the standings order may have changed
    WhatIfChanged,   // the What If sheet's chosen winners changed, or it closed
};

struct PoolEvent {
    PoolChange change = PoolChange::ListChanged;
    std::int32_t id = 0;      // EntryStored, EntryDeleted
    bool scoringDue = false;  // EntryStored, ListChanged: stored points wait for a scoring pass
    bool operator==(const PoolEvent&) const = default;
};

// Listeners of one pool's changes. A listener is called synchronously, in the order of
// subscription, and may subscribe, unsubscribe (itself or another) or cause further changes while
// it is called; one that unsubscribed is not called again, not even for the event under way.
class PoolEvents {
public:
    using Listener = std::function<void(const PoolEvent&)>;

    // Unsubscribes when destroyed or reset; it may outlive the publisher.
    class Subscription {
    public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept = default;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }
        void reset();
        explicit operator bool() const { return m_slot != nullptr; }

    private:
        friend class PoolEvents;
        struct Slot;
        Subscription(std::weak_ptr<std::vector<std::shared_ptr<Slot>>> list, std::shared_ptr<Slot> slot)
            : m_slots(std::move(list)), m_slot(std::move(slot))
        {
        }
        std::weak_ptr<std::vector<std::shared_ptr<Slot>>> m_slots;
        std::shared_ptr<Slot> m_slot;
    };

    // Holds the events back while it lives, and then tells each kind once: several entries stored
    // or deleted become one ListChanged (due for scoring when any of them was), so a command over
    // the whole list costs its listeners one refresh, not one per entry. Holds nest.
    class Hold {
    public:
        explicit Hold(PoolEvents* events);  // none: holds nothing
        ~Hold();                            // releases; a listener's error is dropped here
        void release();                     // tells what was held; a listener's error propagates
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        PoolEvents* m_events;
    };

    PoolEvents();
    PoolEvents(const PoolEvents&) = delete;
    PoolEvents& operator=(const PoolEvents&) = delete;

    [[nodiscard]] Subscription subscribe(Listener listener);
    void publish(const PoolEvent& event);

private:
    void dispatch(const PoolEvent& event);
    void releaseHeld();

    std::shared_ptr<std::vector<std::shared_ptr<Subscription::Slot>>> m_slots;
    int m_holds = 0;
    // What a hold keeps back: the entry changes (the first of them, how many, whether any was due
    // for scoring) and which of the other kinds came.
    PoolEvent m_firstEntryEvent;
    int m_entryEvents = 0;
    bool m_entriesDue = false;
    bool m_held[8] = {};  // by PoolChange
};

struct PoolEvents::Subscription::Slot {
    Listener listener;
    bool active = true;
};
