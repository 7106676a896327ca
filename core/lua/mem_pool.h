#pragma once
// Small blocks for one script state: size classes of 16 bytes with a free list each, carved
// from large chunks that go back to the system only when the pool is destroyed. Making and
// dropping small objects then costs a few instructions instead of a trip through malloc/free.

#include <atomic>
#include <cstddef>

namespace luai {

// Under the address sanitizer every block comes from the system, so use after free in the
// interpreter is still caught.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kPoolUnderSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kPoolUnderSanitizer = true;
#else
inline constexpr bool kPoolUnderSanitizer = false;
#endif
#else
inline constexpr bool kPoolUnderSanitizer = false;
#endif

class SmallBlockPool {
 public:
  static constexpr size_t kGranule = 16;
  static constexpr size_t kMaxBlock = 2048;  // larger requests go to the system allocator
  static constexpr size_t kChunkBytes = 64 * 1024;

  SmallBlockPool() = default;
  ~SmallBlockPool();
  SmallBlockPool(const SmallBlockPool&) = delete;
  SmallBlockPool& operator=(const SmallBlockPool&) = delete;

  // Requests of 1..kMaxBlock bytes; null when the system gives no new chunk.
  void* alloc(size_t size) {
    void* p = reuse(size);
    return p ? p : carve(size);
  }
  // A freed block of the size's class, or null if there is none.
  void* reuse(size_t size) {
    FreeBlock*& head = free_[classOf(size)];
    FreeBlock* b = head;
    if (b == nullptr) return nullptr;
    head = b->next;
    ++live_;
    return b;
  }
  // `size` must be the size `p` was requested with.
  void free(void* p, size_t size) {
    FreeBlock* b = static_cast<FreeBlock*>(p);
    FreeBlock*& head = free_[classOf(size)];
    b->next = head;
    head = b;
    --live_;
  }

  size_t liveBlocks() const { return live_; }
  size_t chunkCount() const { return chunks_; }
  // Blocks still handed out when their pool was destroyed, over every pool of the process.
  static size_t strayBlocks() { return stray_.load(); }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  static constexpr size_t kClasses = kMaxBlock / kGranule;
  static size_t classOf(size_t size) { return (size - 1) / kGranule; }
  void* carve(size_t size);

  FreeBlock* free_[kClasses] = {};
  char* cur_ = nullptr;  // unused rest of the newest chunk
  char* end_ = nullptr;
  void* chunkList_ = nullptr;  // each chunk starts with the address of the one before
  size_t chunks_ = 0;
  size_t live_ = 0;
  static std::atomic<size_t> stray_;
};

}  // namespace luai
