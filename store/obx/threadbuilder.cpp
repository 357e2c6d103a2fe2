#include "obx.h"

namespace obx {
namespace internal {

namespace {
constexpr size_t kInitialSize = 1024;
constexpr size_t kKeepLimit = 1024 * 1024; // a bigger buffer is released after its put
} // namespace

flatbuffers::FlatBufferBuilder &threadBuilder()
{
    thread_local flatbuffers::FlatBufferBuilder builder(kInitialSize);
    return builder;
}

void releaseThreadBuilderIfLarge()
{
    flatbuffers::FlatBufferBuilder &builder = threadBuilder();
    if (builder.GetSize() > kKeepLimit)
        builder.Reset();
}

} // namespace internal
} // namespace obx
