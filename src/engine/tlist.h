// The engine's object list: elements kept as plain values in insertion order, so a whole list
// can be copied and compared. A walk tolerates changes made while it runs: any element may be
// removed (a removed element the walk has yet to reach is skipped), and elements appended
// during the walk are visited by it. Removal is by identity (the element's address).
//
// Element addresses stay valid while the element is in the list and until the outermost walk
// ends (a deque never moves its elements on append). When that walk ends with dead slots left,
// they are swept out and the live elements move: code outside any walk must not keep an
// element's address across a walk (an update that walks the list, for one).
#pragma once

#include <cstddef>
#include <deque>
#include <utility>

template <typename T> class TList {
  public:
    TList() = default;
    TList(const TList& o) : slots_(o.slots_), live_(o.live_) { Sweep(); }
    TList& operator=(const TList& o) {
        if (this != &o) {
            slots_ = o.slots_;
            live_ = o.live_;
            walkers_ = 0;
            Sweep();
        }
        return *this;
    }

    // Appends a copy of value and returns the stored element.
    T& AddLast(const T& value) {
        slots_.push_back(Slot{value, true});
        ++live_;
        return slots_.back().value;
    }

    // Unlinks the element stored at obj. Returns false (and does nothing) when obj is not a
    // live element of this list, for example when it was removed already.
    bool Remove(const T* obj) {
        for (Slot& s : slots_) {
            if (s.live && &s.value == obj) {
                s.live = false;
                --live_;
                return true;
            }
        }
        return false;
    }

    // Removes every element.
    void Clear() {
        for (Slot& s : slots_) s.live = false;
        live_ = 0;
        if (walkers_ == 0) slots_.clear();
    }

    // Calls fn(T&) for each live element in insertion order; see the walk rules above.
    template <typename F> void ForEach(F&& fn) {
        ++walkers_;
        for (size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].live) fn(slots_[i].value);
        }
        if (--walkers_ == 0) Sweep();
    }
    template <typename F> void ForEach(F&& fn) const {
        for (const Slot& s : slots_)
            if (s.live) fn(s.value);
    }

    size_t Count() const { return live_; }
    bool Empty() const { return live_ == 0; }
    bool Contains(const T* obj) const {
        for (const Slot& s : slots_)
            if (s.live && &s.value == obj) return true;
        return false;
    }
    // The n-th live element (0-based) in insertion order, or null.
    T* At(size_t n) {
        for (Slot& s : slots_)
            if (s.live && n-- == 0) return &s.value;
        return nullptr;
    }

    bool operator==(const TList& o) const {
        if (live_ != o.live_) return false;
        auto a = slots_.begin(), b = o.slots_.begin();
        while (true) {
            while (a != slots_.end() && !a->live) ++a;
            while (b != o.slots_.end() && !b->live) ++b;
            if (a == slots_.end() || b == o.slots_.end()) return a == slots_.end() && b == o.slots_.end();
            if (!(a->value == b->value)) return false;
            ++a, ++b;
        }
    }

  private:
    struct Slot {
        T value;
        bool live;
    };
    void Sweep() {
        if (live_ == slots_.size()) return;
        std::deque<Slot> kept;
        for (Slot& s : slots_)
            if (s.live) kept.push_back(std::move(s));
        slots_.swap(kept);
    }

    std::deque<Slot> slots_;
    size_t live_ = 0;
    int walkers_ = 0;
};
