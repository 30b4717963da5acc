#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "image/image_testing.h"
#include "image/memory_dc_pool.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_testing.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::ImageTest;

std::array<gdi::HDC, 4> Slots() {
    return {MemoryDcPoolTesting::PeekSlot(0), MemoryDcPoolTesting::PeekSlot(1), MemoryDcPoolTesting::PeekSlot(2),
            MemoryDcPoolTesting::PeekSlot(3)};
}

class Pool : public ImageTest {};

TEST_F(Pool, AnEmptyPoolMakesANewSurface) {
    const gdi::HDC dc = MemoryDcPool::TakeDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(gdi::GetObjectType(dc), gdi::OBJ_MEMDC);
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), 1);
    MemoryDcPool::PutDc(dc);
    EXPECT_EQ(MemoryDcPool::TakeDc(), dc) << "taken back from the pool, not made again";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), 1);
    MemoryDcPool::PutDc(dc);
}

TEST_F(Pool, ReturnedSurfacesLandInSlotZeroAndTheFifthPushesOneOut) {
    std::vector<gdi::HDC> dcs;
    for (int i = 0; i < 5; ++i) dcs.push_back(gdi::CreateCompatibleDC(nullptr));
    using Row = std::array<gdi::HDC, 4>;
    MemoryDcPool::PutDc(dcs[0]);
    EXPECT_EQ(Slots(), (Row{dcs[0], nullptr, nullptr, nullptr}));
    MemoryDcPool::PutDc(dcs[1]);
    EXPECT_EQ(Slots(), (Row{dcs[1], dcs[0], nullptr, nullptr}));
    MemoryDcPool::PutDc(dcs[2]);
    MemoryDcPool::PutDc(dcs[3]);
    EXPECT_EQ(Slots(), (Row{dcs[3], dcs[2], dcs[1], dcs[0]}));
    MemoryDcPool::PutDc(dcs[4]);
    EXPECT_EQ(Slots(), (Row{dcs[4], dcs[3], dcs[2], dcs[1]}));
    EXPECT_EQ(gdi::GetObjectType(dcs[0]), 0u) << "pushed out of slot 3 and deleted";
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), 4);

    // Taking empties the first full slot; a put fills the first gap it meets.
    EXPECT_EQ(MemoryDcPool::TakeDc(), dcs[4]);
    EXPECT_EQ(MemoryDcPool::TakeDc(), dcs[3]);
    EXPECT_EQ(Slots(), (Row{nullptr, nullptr, dcs[2], dcs[1]}));
    MemoryDcPool::PutDc(dcs[3]);
    EXPECT_EQ(Slots(), (Row{dcs[3], nullptr, dcs[2], dcs[1]}));
    MemoryDcPool::PutDc(dcs[4]);
    EXPECT_EQ(Slots(), (Row{dcs[4], dcs[3], dcs[2], dcs[1]}));
    MemoryDcPool::PutDc(nullptr);
    EXPECT_EQ(Slots(), (Row{dcs[4], dcs[3], dcs[2], dcs[1]})) << "null is not pooled";

    MemoryDcPool::DeletePooledDcs();
    EXPECT_EQ(Slots(), (Row{}));
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), 0);
}

TEST_F(Pool, ConcurrentTakersNeverShareOrLoseASurface) {
    constexpr int threads = 4;
    constexpr int rounds = 2000;
    std::atomic<bool> shared{false};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) {
                const gdi::HDC dc = MemoryDcPool::TakeDc();
                if (dc == nullptr) continue;
                // Two holders of one surface would both flip its text colour.
                const gdi::COLORREF mark = gdi::GetTextColor(dc);
                gdi::SetTextColor(dc, mark ^ 1);
                std::this_thread::yield();
                if (gdi::GetTextColor(dc) != (mark ^ 1)) shared = true;
                gdi::SetTextColor(dc, mark);
                MemoryDcPool::PutDc(dc);
            }
        });
    }
    for (std::thread& worker : pool) worker.join();
    EXPECT_FALSE(shared);
    // Every surface made is either pooled or was deleted when pushed out.
    int pooled = 0;
    for (gdi::HDC dc : Slots()) pooled += dc != nullptr;
    EXPECT_EQ(gdi::LiveObjectCount(gdi::OBJ_MEMDC), pooled);
    EXPECT_LE(pooled, 4);
}

}  // namespace
