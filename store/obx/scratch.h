#pragma once

// Buffers a query reuses from one run to the next on the same thread, so that scans and
// sorts allocate nothing per row. A run that starts inside another run's callback gets its own.

#include "queryrunner.h"

#include <memory>
#include <string_view>
#include <vector>

namespace obx {
namespace internal {

struct Scratch
{
    std::vector<QueryMatch> matches;
    std::vector<QueryMatch> selected;
    std::vector<uint64_t> numbers;
    std::vector<std::string_view> texts;
    std::vector<uint32_t> order;
    std::vector<uint64_t> rowCopy;
};

class ScratchLease
{
public:
    ScratchLease();
    ~ScratchLease();
    ScratchLease(const ScratchLease &) = delete;
    ScratchLease &operator=(const ScratchLease &) = delete;
    Scratch &operator*() const { return *scratch_; }
    Scratch *operator->() const { return scratch_; }

private:
    Scratch *scratch_;
};

} // namespace internal
} // namespace obx
