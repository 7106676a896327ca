#include "core/lua/mem_pool.h"

#include <cstdlib>

namespace luai {

std::atomic<size_t> SmallBlockPool::stray_{0};

// The chunk's first granule holds the link to the previous chunk, keeping blocks aligned.
void* SmallBlockPool::carve(size_t size) {
  size_t bytes = (classOf(size) + 1) * kGranule;
  if (static_cast<size_t>(end_ - cur_) < bytes) {
    char* chunk = static_cast<char*>(std::malloc(kChunkBytes));
    if (chunk == nullptr) return nullptr;
    *reinterpret_cast<void**>(chunk) = chunkList_;
    chunkList_ = chunk;
    ++chunks_;
    cur_ = chunk + kGranule;
    end_ = chunk + kChunkBytes;
  }
  void* p = cur_;
  cur_ += bytes;
  ++live_;
  return p;
}

SmallBlockPool::~SmallBlockPool() {
  if (live_ != 0) stray_ += live_;
  while (void* chunk = chunkList_) {
    chunkList_ = *static_cast<void**>(chunk);
    std::free(chunk);
  }
}

}  // namespace luai
