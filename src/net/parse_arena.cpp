#include "net/parse_arena.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwick {

ParseArena::~ParseArena()
{
    for (const auto& [block, size] : live_)
        std::free(block);
}

GumboOptions ParseArena::options()
{
    GumboOptions o = kGumboDefaultOptions;
    o.allocator = &ParseArena::allocate;
    o.deallocator = &ParseArena::release;
    o.userdata = this;
    // Each parse error keeps a copy of the stack of open elements: a page of unclosed
    // elements would need memory quadratic in its size. Nothing here reads the errors.
    o.max_errors = 0;
    return o;
}

void* ParseArena::allocate(void* self, std::size_t size)
{
    auto* arena = static_cast<ParseArena*>(self);
    void* block = std::malloc(size);
    if (block == nullptr)
        return nullptr;
    arena->live_.emplace(block, size);
    arena->bytes_ += size;
    arena->peak_ = std::max(arena->peak_, arena->bytes_);
    return block;
}

void ParseArena::release(void* self, void* block)
{
    auto* arena = static_cast<ParseArena*>(self);
    const auto found = arena->live_.find(block);
    if (found == arena->live_.end())
        return;
    arena->bytes_ -= found->second;
    arena->live_.erase(found);
    std::free(block);
}

} // namespace tarnwick
