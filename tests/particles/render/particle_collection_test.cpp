// The particle pool: slot order, moving records between the lists, resets.

#include "particles/render/particle_collection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

TEST(ParticleCollection, SlotsStartFreeLastSlotFirstAndMoveWithoutCopying)
{
    TParticleCollection pool;
    pool.InitNumParticles(3, 2, nullptr);
    EXPECT_EQ(pool.GetCapacity(), 3);
    EXPECT_EQ(pool.GetStride(), 8);
    float* base = pool.GetBuffer();
    ASSERT_EQ(pool.Free().size(), 3u);
    EXPECT_EQ(pool.Free().front(), base + 4);
    EXPECT_EQ(pool.Free().back(), base);

    float* a = pool.TakeFree();
    float* b = pool.TakeFree();
    EXPECT_EQ(a, base + 4);
    EXPECT_EQ(b, base + 2);
    EXPECT_EQ(pool.GetCount(), 2);
    EXPECT_EQ(pool.Live().front(), b);  // newest first

    auto next = pool.Retire(pool.Live().begin());
    EXPECT_EQ(*next, a);
    EXPECT_EQ(pool.GetCount(), 1);
    EXPECT_EQ(pool.Free().front(), b);
    EXPECT_EQ(pool.TakeFree(), b);
    EXPECT_EQ(pool.TakeFree(), base);
    EXPECT_EQ(pool.TakeFree(), nullptr);
    EXPECT_EQ(pool.GetCount(), 3);
}

TEST(ParticleCollection, CallersBufferIsUsedAndKeptAndResetEmptiesAll)
{
    std::vector<float> mine(8, 5.0f);
    {
        TParticleCollection pool;
        pool.InitNumParticles(2, 4, mine.data());
        EXPECT_EQ(pool.GetBuffer(), mine.data());
        pool.TakeFree();
        pool.Reset();
        EXPECT_EQ(pool.GetBuffer(), nullptr);
        EXPECT_EQ(pool.GetCapacity(), 0);
        EXPECT_EQ(pool.GetCount(), 0);
        EXPECT_TRUE(pool.Live().empty());
        EXPECT_TRUE(pool.Free().empty());
        pool.InitNumParticles(1, 4, mine.data());
    }
    EXPECT_EQ(mine[0], 5.0f);  // untouched and not freed by the pool

    TParticleCollection empty;
    empty.InitNumParticles(0, 10, nullptr);
    EXPECT_EQ(empty.TakeFree(), nullptr);
    empty.InitNumParticles(-4, 10, nullptr);
    EXPECT_EQ(empty.GetCapacity(), 0);
}

// Slots as offsets into the pool, in list order.
std::vector<long> Slots(const TParticleList& list, const float* base)
{
    std::vector<long> slots;
    for (const float* p : list)
        slots.push_back(p - base);
    return slots;
}

TEST(ParticleCollection, RetireMarkedLeavesTheListsAsRetiringEachInTurn)
{
    const std::vector<std::vector<uint8_t>> cases = {{0, 0, 0, 0, 0}, {1, 1, 1, 1, 1}, {0, 0, 0, 1, 1},
                                                     {1, 0, 1, 0, 1}, {0, 1, 0, 0, 0}, {1, 0, 0, 0, 0}};
    for (const std::vector<uint8_t>& dead : cases) {
        TParticleCollection marked;
        TParticleCollection oneByOne;
        for (TParticleCollection* pool : {&marked, &oneByOne}) {
            pool->InitNumParticles(6, 1, nullptr);
            for (int i = 0; i < 5; ++i)
                pool->TakeFree();
        }
        marked.RetireMarked(dead.data());
        size_t i = 0;
        for (auto it = oneByOne.Live().begin(); it != oneByOne.Live().end(); ++i)
            it = dead[i] ? oneByOne.Retire(it) : std::next(it);
        EXPECT_EQ(Slots(marked.Live(), marked.GetBuffer()), Slots(oneByOne.Live(), oneByOne.GetBuffer()));
        EXPECT_EQ(Slots(marked.Free(), marked.GetBuffer()), Slots(oneByOne.Free(), oneByOne.GetBuffer()));
        EXPECT_EQ(marked.GetCount(), oneByOne.GetCount());
    }
}

}  // namespace
