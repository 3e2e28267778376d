#pragma once
// Numbered objects: every window, gadget, image, menu and tray icon is named by a static number
// of the program's choosing (0 to kMaxStaticNumber) or, for -1, by a dynamic number that the table
// hands out: the whole address of the object's record, as wide as a pointer, so no two objects
// share one. Windows never maps the first 64 KiB of an address space, so a dynamic number always
// lies above every static one. A number is never used as an address: an unknown value simply
// reads as "not in use".

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

namespace kv {

using ObjectNumber = intptr_t;
constexpr ObjectNumber kDynamicNumber = -1;
// The largest static number; a larger one is refused like any failed creation, before anything
// is allocated.
constexpr ObjectNumber kMaxStaticNumber = 0xFFFF;

// Record: default-constructible (the free state), movable, with `bool InUse() const` that is true
// once the record holds its platform handle.
template <class Record>
class ObjectTable {
  public:
    // Frees whatever object holds a number; called before a number is (re)used.
    using ReleaseFunction = void (*)(ObjectNumber);

    ObjectTable(ObjectNumber growthStep, ReleaseFunction release)
        : growthStep_(growthStep), release_(release) {}
    ObjectTable(const ObjectTable&) = delete;
    ObjectTable& operator=(const ObjectTable&) = delete;

    // The record to fill for `number`, with the number it now stands under in `assigned`
    // (the new dynamic number for -1). A previous holder of a static number is released first.
    // nullptr when the number is refused (below -1, above kMaxStaticNumber) or the table cannot
    // grow.
    Record* Allocate(ObjectNumber number, ObjectNumber* assigned = nullptr) {
        if (number == kDynamicNumber) {
            try {
                dynamic_.push_back(std::make_unique<Record>());
            } catch (const std::exception&) {
                return nullptr;
            }
            Record* record = dynamic_.back().get();
            if (assigned)
                *assigned = NumberOf(record);
            return record;
        }
        if (!IsStatic(number))
            return nullptr;
        try {
            if (number >= Capacity())
                slots_.resize(static_cast<size_t>(std::min(number + growthStep_, kStaticLimit)));
            if (!slots_[number])
                slots_[number] = std::make_unique<Record>();
        } catch (const std::exception&) {
            return nullptr;
        }
        if (release_)
            release_(number);
        if (assigned)
            *assigned = number;
        return slots_[number].get();
    }

    // The record of an object in use, or nullptr.
    Record* Lookup(ObjectNumber number) {
        Record* record = Find(number);
        return record && record->InUse() ? record : nullptr;
    }

    // Frees the number; the platform object must already be gone.
    void Release(ObjectNumber number) {
        if (IsStatic(number)) {
            if (Record* record = Find(number))
                *record = Record{};
            return;
        }
        for (auto it = dynamic_.begin(); it != dynamic_.end(); ++it) {
            if (NumberOf(it->get()) == number) {
                dynamic_.erase(it);
                return;
            }
        }
    }

    ObjectNumber Capacity() const { return static_cast<ObjectNumber>(slots_.size()); }

    // Calls `visit` with every number in use: static numbers ascending, then dynamic ones from the
    // oldest to the newest. The walk keeps its place to itself, so `visit` may free or create
    // objects and walk the table again (a platform call that dispatches messages); a number freed
    // meanwhile is skipped.
    template <class Visit>
    void ForEachNumber(Visit visit) {
        for (ObjectNumber i = 0; i < Capacity(); ++i) {
            if (Lookup(i))
                visit(i);
        }
        std::vector<ObjectNumber> dynamic;
        try {
            for (const std::unique_ptr<Record>& record : dynamic_) {
                if (record->InUse())
                    dynamic.push_back(NumberOf(record.get()));
            }
        } catch (const std::exception&) {
        }
        for (ObjectNumber number : dynamic) {
            if (Lookup(number))
                visit(number);
        }
    }

  private:
    static constexpr ObjectNumber kStaticLimit = kMaxStaticNumber + 1;

    static bool IsStatic(ObjectNumber number) { return number >= 0 && number <= kMaxStaticNumber; }

    static ObjectNumber NumberOf(const Record* record) {
        return reinterpret_cast<ObjectNumber>(record);
    }

    Record* Find(ObjectNumber number) {
        if (IsStatic(number))
            return number < Capacity() ? slots_[number].get() : nullptr;
        for (const std::unique_ptr<Record>& record : dynamic_) {
            if (NumberOf(record.get()) == number)
                return record.get();
        }
        return nullptr;
    }

    ObjectNumber growthStep_;
    ReleaseFunction release_;
    // Each record has its own allocation, so a record handed out stays in place while platform
    // calls made during its creation allocate other numbers and the tables grow. A static slot
    // is empty until its number is first used.
    std::vector<std::unique_ptr<Record>> slots_;
    // Oldest first; dynamic numbers are the addresses of these records.
    std::vector<std::unique_ptr<Record>> dynamic_;
};

}  // namespace kv
