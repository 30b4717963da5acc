#pragma once
// A table of objects reached through checked handles. A handle packs a kind
// tag, a slot number and the slot's generation, so a handle of another kind,
// a made-up value or one whose object is gone is recognised and refused
// instead of reaching freed memory. The windowing and drawing services
// keep their objects in such tables.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

template <typename Handle, typename Object>
class CHandleTable {
public:
    // tag: 1..255, different for every kind of handle.
    explicit CHandleTable(unsigned tag) : tag_(tag & 0xFF) {}

    Handle Add(std::shared_ptr<Object> object) {
        std::size_t index;
        if (!freeSlots_.empty()) {
            index = freeSlots_.back();
            freeSlots_.pop_back();
        } else {
            if (slots_.size() >= maxSlots) return nullptr;
            index = slots_.size();
            slots_.push_back(Slot{});
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return Encode(index, slot.generation);
    }

    // The live object of a handle, or null.
    Object* Find(Handle handle) const {
        const Slot* slot = SlotOf(handle);
        return slot ? slot->object.get() : nullptr;
    }

    // The same, holding the object alive while the caller uses it.
    std::shared_ptr<Object> Lock(Handle handle) const {
        const Slot* slot = SlotOf(handle);
        return slot ? slot->object : nullptr;
    }

    // Ends a handle: every later look-up of it fails. The object goes when
    // its last holder lets go.
    bool Remove(Handle handle) {
        Slot* slot = const_cast<Slot*>(SlotOf(handle));
        if (!slot) return false;
        slot->object.reset();
        slot->generation = (slot->generation + 1) & generationMask;
        if (slot->generation == 0) slot->generation = 1;
        freeSlots_.push_back(static_cast<std::size_t>(slot - slots_.data()));
        return true;
    }

    std::size_t Count() const { return slots_.size() - freeSlots_.size(); }

    // Handles of every live object, oldest slot first: a snapshot, safe to
    // walk while objects are added or removed.
    std::vector<Handle> Handles() const {
        std::vector<Handle> result;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].object) result.push_back(Encode(i, slots_[i].generation));
        }
        return result;
    }

private:
    static constexpr std::uint64_t indexBits = 24;
    static constexpr std::uint64_t generationBits = 24;
    static constexpr std::uint64_t generationMask = (std::uint64_t{1} << generationBits) - 1;
    static constexpr std::size_t maxSlots = (std::size_t{1} << indexBits) - 2;

    struct Slot {
        std::shared_ptr<Object> object;
        std::uint64_t generation = 1;
    };

    Handle Encode(std::size_t index, std::uint64_t generation) const {
        const std::uint64_t value =
            (std::uint64_t{tag_} << (indexBits + generationBits)) | (generation << indexBits) | (index + 1);
        return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(value));
    }

    const Slot* SlotOf(Handle handle) const {
        const std::uint64_t value = reinterpret_cast<std::uintptr_t>(handle);
        if ((value >> (indexBits + generationBits)) != tag_) return nullptr;
        const std::uint64_t slotNumber = value & ((std::uint64_t{1} << indexBits) - 1);
        const std::uint64_t generation = (value >> indexBits) & generationMask;
        if (slotNumber == 0 || slotNumber > slots_.size()) return nullptr;
        const Slot& slot = slots_[slotNumber - 1];
        if (!slot.object || slot.generation != generation) return nullptr;
        return &slot;
    }

    std::uint64_t tag_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> freeSlots_;
};

}  // namespace platform
