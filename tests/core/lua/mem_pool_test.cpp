#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "core/lua/gc.h"
#include "core/lua/mem_pool.h"
#include "core/lua/state.h"
#include "core/lua/vm_test_util.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

using luai::SmallBlockPool;

TEST(SmallBlockPool, HandsOutDistinctAlignedBlocksAndReusesFreedOnes) {
  const size_t sizes[] = {1, 15, 16, 17, 100, 255, 256, 511, 1000, SmallBlockPool::kMaxBlock};
  SmallBlockPool pool;
  std::vector<std::pair<void*, size_t>> blocks;
  std::set<void*> seen;
  for (int round = 0; round < 300; round++)
    for (size_t size : sizes) {
      void* p = pool.alloc(size);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
      EXPECT_TRUE(seen.insert(p).second) << "block handed out twice";
      std::memset(p, 0xAB, size);  // a block overlapping another shows up under the sanitizer
      blocks.emplace_back(p, size);
    }
  EXPECT_EQ(pool.liveBlocks(), blocks.size());
  size_t chunks = pool.chunkCount();
  EXPECT_GT(chunks, 1u);
  for (auto [p, size] : blocks) pool.free(p, size);
  EXPECT_EQ(pool.liveBlocks(), 0u);
  // the same requests again are served from the free lists, all from blocks seen before
  for (auto [p, size] : blocks) EXPECT_EQ(seen.count(pool.alloc(size)), 1u);
  EXPECT_EQ(pool.chunkCount(), chunks);
  for (auto [p, size] : blocks) pool.free(p, size);
}

void collectAll(lua_State* L) {
  for (int i = 0; i < 6; i++) luai::fullGC(L);  // the string table shrinks one step per collection
}

void runChunk(lua_State* L, const char* code) {
  ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=churn"), 0) << lua_tostring(L, -1);
  ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
}

// Tables, closures, upvalues and strings from one byte up past the largest pooled block.
const char* const kChurn = R"(
  local keep = {}
  for round = 1, 3 do
    for n = 0, 2200, 11 do
      local s = string.rep("x", n) .. round
      local t = {s, n, k = s}
      for i = 1, n / 20 do t[i] = i end
      local f = function() return t, s end
      keep[n] = {f, f()}
    end
    keep = {}
  end
)";

TEST(SmallBlockPool, StateReturnsToItsStartAfterChurnAndClosesClean) {
  size_t strayBefore = SmallBlockPool::strayBlocks();
  lua_State* L = lua_open();
  ASSERT_NE(L, nullptr);
  luaopen_base(L);
  luaopen_string(L);
  lua_settop(L, 0);
  runChunk(L, kChurn);  // grows the stack and string table once
  collectAll(L);
  luai::GlobalState* g = L->g;
  size_t bytes = g->totalbytes, blocks = g->pool.liveBlocks();
  runChunk(L, kChurn);
  collectAll(L);
  EXPECT_EQ(g->totalbytes, bytes);
  EXPECT_EQ(g->pool.liveBlocks(), blocks);
  if (!luai::kPoolUnderSanitizer) {
    EXPECT_GT(blocks, 0u) << "small objects come from the pool";
  }
  lua_close(L);
  EXPECT_EQ(SmallBlockPool::strayBlocks(), strayBefore) << "every block went back before close";
}

TEST(SmallBlockPool, HostAllocatorSeesEveryByteTheStateCounts) {
  vmtest::AllocCount host;
  lua_State* L = lua_openwith(vmtest::CountingAlloc, &host, nullptr);
  ASSERT_NE(L, nullptr);
  luaopen_base(L);
  luaopen_string(L);
  EXPECT_EQ(host.liveBytes, L->g->totalbytes);
  runChunk(L, "big = {} for i = 1, 200 do big[i] = {tostring(i), function() return i end} end");
  EXPECT_EQ(host.liveBytes, L->g->totalbytes);
  runChunk(L, kChurn);
  collectAll(L);
  EXPECT_EQ(host.liveBytes, L->g->totalbytes);
  EXPECT_EQ(L->g->pool.liveBlocks(), 0u);
  lua_close(L);
  EXPECT_EQ(host.liveBytes, 0u);
}

}  // namespace
