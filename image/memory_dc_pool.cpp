#include "image/memory_dc_pool.h"

#include "image/image_testing.h"
#include "platform/gdi/surfaces.h"
#include "platform/kernel/sync.h"

std::atomic<gdi::HDC> MemoryDcPool::slots[MemoryDcPool::slotCount] = {};
std::atomic<MemoryDcPool::DcFactory> MemoryDcPool::factory{nullptr};

namespace {

// Pooled surfaces are released when the process ends. The drawing service
// outlives every static object, so this may run in any order with them.
struct PoolRelease {
    ~PoolRelease() { MemoryDcPool::DeletePooledDcs(); }
} poolRelease;

}  // namespace

gdi::HDC MemoryDcPool::TakeDc() {
    for (std::atomic<gdi::HDC>& slot : slots) {
        if (gdi::HDC dc = kernel::InterlockedExchange<gdi::HDC__>(&slot, nullptr)) return dc;
    }
    const DcFactory make = factory.load();
    return make != nullptr ? make() : gdi::CreateCompatibleDC(nullptr);
}

void MemoryDcPool::PutDc(gdi::HDC dc) {
    gdi::HDC carried = dc;
    for (std::atomic<gdi::HDC>& slot : slots) {
        if (carried == nullptr) return;
        carried = kernel::InterlockedExchange<gdi::HDC__>(&slot, carried);
    }
    if (carried != nullptr) gdi::DeleteDC(carried);
}

void MemoryDcPool::DeletePooledDcs() {
    for (std::atomic<gdi::HDC>& slot : slots) {
        if (gdi::HDC dc = kernel::InterlockedExchange<gdi::HDC__>(&slot, nullptr)) {
            gdi::DeleteDC(dc);
        }
    }
}

gdi::HDC MemoryDcPoolTesting::PeekSlot(int index) {
    if (index < 0 || index >= MemoryDcPool::slotCount) return nullptr;
    return MemoryDcPool::slots[index].load();
}

void MemoryDcPoolTesting::SetDcFactory(DcFactory make) { MemoryDcPool::factory.store(make); }
