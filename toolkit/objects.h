#pragma once
// Numbered objects: every window, gadget, image, menu and tray icon is named by a static number
// of the program's choosing (0 to kMaxStaticNumber) or, for -1, by a dynamic number that the table
// hands out: the whole address of the object's record, as wide as a pointer, so no two objects
// share one. Windows never maps the first 64 KiB of an address space, so a dynamic number always
// lies above every static one. A number is never used as an address: an unknown value simply
// reads as "not in use".

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

using ObjectNumber = intptr_t;
constexpr ObjectNumber kDynamicNumber = -1;
// The largest static number; a larger one is refused like any failed creation, before anything
// is allocated.
constexpr ObjectNumber kMaxStaticNumber = 0xFFFF;

// Frees whatever object holds a number; called before a number is (re)used.
using ReleaseFunction = void (*)(ObjectNumber);

// The table's work for records of any kind, done once for all kinds; ObjectTable gives it types.
class ObjectSlots {
  public:
    struct Destroyer {
        void (*destroy)(void* record) = nullptr;
        void operator()(void* record) const { destroy(record); }
    };
    using Owned = std::unique_ptr<void, Destroyer>;
    struct RecordKind {
        Owned (*make)();  // a record in its free state; throws when out of memory
        void (*clear)(void* record);
        bool (*inUse)(const void* record);
    };

    ObjectSlots(ObjectNumber growthStep, ReleaseFunction release, const RecordKind& kind)
        : growthStep_(growthStep), release_(release), kind_(kind) {}
    ObjectSlots(const ObjectSlots&) = delete;
    ObjectSlots& operator=(const ObjectSlots&) = delete;

    void* Allocate(ObjectNumber number, ObjectNumber* assigned);
    void* Lookup(ObjectNumber number) const;
    void Release(ObjectNumber number);
    ObjectNumber Capacity() const { return static_cast<ObjectNumber>(slots_.size()); }
    // The dynamic numbers in use, oldest first; as many as memory allows.
    std::vector<ObjectNumber> DynamicNumbers() const;

  private:
    void* Find(ObjectNumber number) const;

    ObjectNumber growthStep_;
    ReleaseFunction release_;
    const RecordKind& kind_;
    // Each record has its own allocation, so a record handed out stays in place while platform
    // calls made during its creation allocate other numbers and the tables grow. A static slot
    // is empty until its number is first used.
    std::vector<Owned> slots_;
    // Oldest first; dynamic numbers are the addresses of these records.
    std::vector<Owned> dynamic_;
};

// Record: default-constructible (the free state), movable, with `bool InUse() const` that is true
// once the record holds its platform handle.
template <class Record>
class ObjectTable {
  public:
    ObjectTable(ObjectNumber growthStep, ReleaseFunction release)
        : slots_(growthStep, release, kKind) {}

    // The record to fill for `number`, with the number it now stands under in `assigned`
    // (the new dynamic number for -1). A previous holder of a static number is released first.
    // nullptr when the number is refused (below -1, above kMaxStaticNumber) or the table cannot
    // grow.
    Record* Allocate(ObjectNumber number, ObjectNumber* assigned = nullptr) {
        return static_cast<Record*>(slots_.Allocate(number, assigned));
    }

    // The record of an object in use, or nullptr.
    Record* Lookup(ObjectNumber number) { return static_cast<Record*>(slots_.Lookup(number)); }

    // Frees the number; the platform object must already be gone.
    void Release(ObjectNumber number) { slots_.Release(number); }

    ObjectNumber Capacity() const { return slots_.Capacity(); }

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
        for (ObjectNumber number : slots_.DynamicNumbers()) {
            if (Lookup(number))
                visit(number);
        }
    }

  private:
    static ObjectSlots::Owned Make() {
        return ObjectSlots::Owned(std::make_unique<Record>().release(), {Destroy});
    }
    static void Destroy(void* record) {
        std::default_delete<Record>()(static_cast<Record*>(record));
    }
    static constexpr ObjectSlots::RecordKind kKind = {
        Make,
        [](void* record) { *static_cast<Record*>(record) = Record{}; },
        [](const void* record) { return static_cast<const Record*>(record)->InUse(); },
    };

    ObjectSlots slots_;
};

}  // namespace kv
