#include "toolkit/objects.h"

#include <algorithm>
#include <exception>

namespace kv {
namespace {

constexpr ObjectNumber kStaticLimit = kMaxStaticNumber + 1;

bool IsStatic(ObjectNumber number) {
    return number >= 0 && number <= kMaxStaticNumber;
}

ObjectNumber NumberOf(const ObjectSlots::Owned& record) {
    return reinterpret_cast<ObjectNumber>(record.get());
}

}  // namespace

void* ObjectSlots::Allocate(ObjectNumber number, ObjectNumber* assigned) {
    if (number == kDynamicNumber) {
        try {
            dynamic_.push_back(kind_.make());
        } catch (const std::exception&) {
            return nullptr;
        }
        if (assigned)
            *assigned = NumberOf(dynamic_.back());
        return dynamic_.back().get();
    }
    if (!IsStatic(number))
        return nullptr;
    try {
        if (number >= Capacity())
            slots_.resize(static_cast<size_t>(std::min(number + growthStep_, kStaticLimit)));
        if (!slots_[number])
            slots_[number] = kind_.make();
    } catch (const std::exception&) {
        return nullptr;
    }
    if (release_)
        release_(number);
    if (assigned)
        *assigned = number;
    return slots_[number].get();
}

void* ObjectSlots::Lookup(ObjectNumber number) const {
    void* record = Find(number);
    return record && kind_.inUse(record) ? record : nullptr;
}

void ObjectSlots::Release(ObjectNumber number) {
    if (IsStatic(number)) {
        if (void* record = Find(number))
            kind_.clear(record);
        return;
    }
    const auto record = std::find_if(dynamic_.begin(), dynamic_.end(), [number](const Owned& held) {
        return NumberOf(held) == number;
    });
    if (record != dynamic_.end())
        dynamic_.erase(record);
}

std::vector<ObjectNumber> ObjectSlots::DynamicNumbers() const {
    std::vector<ObjectNumber> numbers;
    try {
        for (const Owned& record : dynamic_) {
            if (kind_.inUse(record.get()))
                numbers.push_back(NumberOf(record));
        }
    } catch (const std::exception&) {
    }
    return numbers;
}

void* ObjectSlots::Find(ObjectNumber number) const {
    if (IsStatic(number))
        return number < Capacity() ? slots_[number].get() : nullptr;
    for (const Owned& record : dynamic_) {
        if (NumberOf(record) == number)
            return record.get();
    }
    return nullptr;
}

}  // namespace kv
