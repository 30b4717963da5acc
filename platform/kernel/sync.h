#pragma once
// Locks and atomic exchange.

#include <atomic>
#include <mutex>
#include <optional>

#include "platform/types.h"

namespace kernel {

// A lock its holder may take again. Initialise before use, delete after.
struct CRITICAL_SECTION {
    std::optional<std::recursive_mutex> mutex;
};

void InitializeCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);

// Stores value in the pointer-sized slot and returns what was there, in one
// atomic step.
template <class T>
T* InterlockedExchange(std::atomic<T*>* slot, T* value) {
    return slot->exchange(value, std::memory_order_acq_rel);
}

inline LONG InterlockedExchange(std::atomic<LONG>* slot, LONG value) {
    return slot->exchange(value, std::memory_order_acq_rel);
}

}  // namespace kernel
