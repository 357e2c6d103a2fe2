#include "scratch.h"

namespace obx {
namespace internal {

namespace {

struct ScratchStack
{
    std::vector<std::unique_ptr<Scratch>> buffers;
    size_t depth = 0;
};

thread_local ScratchStack stack;

// Buffers grown by one huge query are given back rather than kept for the thread's life.
constexpr size_t kKeepMatches = 1 << 20;

} // namespace

ScratchLease::ScratchLease()
{
    if (stack.depth == stack.buffers.size())
        stack.buffers.emplace_back(new Scratch);
    scratch_ = stack.buffers[stack.depth++].get();
}

ScratchLease::~ScratchLease()
{
    --stack.depth;
    scratch_->matches.clear();
    scratch_->selected.clear();
    if (scratch_->matches.capacity() > kKeepMatches) {
        *scratch_ = Scratch();
    }
}

} // namespace internal
} // namespace obx
