#pragma once
// The process's pool of idle memory drawing surfaces, so that painting does
// not make and delete a surface for every draw. Four slots, each touched
// only by single atomic exchanges: any thread may take or put without a lock.

#include <atomic>

#include "platform/gdi/records.h"

class MemoryDcPool {
public:
    static constexpr int slotCount = 4;

    // The first pooled surface in slot order (the slot is left empty), or a
    // new memory surface when none is pooled; null when none can be made.
    [[nodiscard]] static gdi::HDC TakeDc();

    // Puts dc into slot 0, shifting pooled surfaces toward slot 3 until an
    // empty slot takes them; with all four full, the one pushed out of slot 3
    // is deleted. A null dc is ignored.
    static void PutDc(gdi::HDC dc);

    // Deletes every pooled surface. Runs at process end; tests call it to
    // start from an empty pool.
    static void DeletePooledDcs();

private:
    friend struct MemoryDcPoolTesting;
    using DcFactory = gdi::HDC (*)();  // null: CreateCompatibleDC
    static std::atomic<gdi::HDC> slots[slotCount];
    static std::atomic<DcFactory> factory;
};
