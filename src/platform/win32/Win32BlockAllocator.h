#pragma once
// The freeing block on Windows: one committed VirtualAlloc region, every
// byte written, released with VirtualFree when the block goes.
#include <cstddef>
#include <memory>

#include "platform/BlockAllocator.h"

namespace vk::win32 {

class VirtualBlock : public Block {
  public:
    VirtualBlock(void* base, std::size_t size);
    ~VirtualBlock() override;
    VirtualBlock(const VirtualBlock&) = delete;
    VirtualBlock& operator=(const VirtualBlock&) = delete;

    std::size_t size() const override { return size_; }
    const unsigned char* data() const { return static_cast<const unsigned char*>(base_); }

  private:
    void* base_;
    std::size_t size_;
};

class Win32BlockAllocator : public BlockAllocator {
  public:
    // What the block is filled with.
    static constexpr unsigned char kFill = ' ';

    // Throws OutOfMemory when Windows refuses the commit: the commit limit is
    // reached, or no hole of the size is left in the address space (a
    // 32-bit process has 2 to 4 GB of it).
    std::unique_ptr<Block> allocateAndFill(std::size_t bytes) override;
};

}  // namespace vk::win32
