#pragma once
// The freeing run's block: one allocation, every byte written, released when
// the owning handle goes (on every path, by RAII).
#include <cstddef>
#include <memory>

namespace vk {

class Block {
  public:
    virtual ~Block() = default;
    virtual std::size_t size() const = 0;
};

class BlockAllocator {
  public:
    virtual ~BlockAllocator() = default;
    // Allocates `bytes` and writes every byte. Throws OutOfMemory when the
    // memory cannot be had; it never lets the process be killed for it.
    virtual std::unique_ptr<Block> allocateAndFill(std::size_t bytes) = 0;
};

}  // namespace vk
