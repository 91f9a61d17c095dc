#pragma once
// The freeing block on Linux: one private anonymous mapping, every byte
// written, unmapped when the block goes. See docs/freeing-block.md for why it
// is taken this way.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/BlockAllocator.h"

namespace vk::lnx {

class MappedBlock : public Block {
  public:
    MappedBlock(void* base, std::size_t mappedBytes, std::size_t size);
    ~MappedBlock() override;
    MappedBlock(const MappedBlock&) = delete;
    MappedBlock& operator=(const MappedBlock&) = delete;

    std::size_t size() const override { return size_; }
    const unsigned char* data() const { return static_cast<const unsigned char*>(base_); }

  private:
    void* base_;
    std::size_t mapped_;
    std::size_t size_;
};

class MappedBlockAllocator : public BlockAllocator {
  public:
    // What the block is filled with.
    static constexpr unsigned char kFill = ' ';

    // How many bytes can still be backed; nothing when unknown.
    using Headroom = std::function<std::optional<std::uint64_t>()>;

    MappedBlockAllocator();
    explicit MappedBlockAllocator(Headroom headroom);

    // Throws OutOfMemory when the machine (or the process's cgroup) cannot
    // back the block, or the mapping is refused (RLIMIT_AS, RLIMIT_DATA,
    // strict overcommit).
    std::unique_ptr<Block> allocateAndFill(std::size_t bytes) override;

  private:
    Headroom headroom_;
};

}  // namespace vk::lnx
