#pragma once

// Per index: whether two different texts ever shared a 64-bit hash. Until one does, a hash
// match in an index proves equality, and counts can be taken from the index alone.

#include <atomic>
#include <cstdint>
#include <memory>

namespace obx {
namespace internal {

class CollisionFlags
{
public:
    void reset(uint32_t maxIndexId)
    {
        size_ = size_t(maxIndexId) + 1;
        flags_.reset(new std::atomic<bool>[size_]);
        for (size_t i = 0; i < size_; ++i)
            flags_[i].store(false);
    }
    bool collided(uint32_t indexId) const { return indexId < size_ && flags_[indexId].load(std::memory_order_relaxed); }
    void set(uint32_t indexId)
    {
        if (indexId < size_)
            flags_[indexId].store(true);
    }

private:
    std::unique_ptr<std::atomic<bool>[]> flags_;
    size_t size_ = 0;
};

} // namespace internal
} // namespace obx
