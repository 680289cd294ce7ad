#pragma once

#include <gumbo.h>

#include <cstddef>
#include <unordered_map>

namespace tarnwick {

/// Every block the HTML parser takes for one page, so that the whole tree goes at once: the
/// parser's own tree release recurses once per level and overflows the stack on a page that
/// nests a few hundred thousand elements. It also counts the peak of what the parse held.
class ParseArena {
public:
    ParseArena() = default;
    ParseArena(const ParseArena&) = delete;
    ParseArena& operator=(const ParseArena&) = delete;
    ~ParseArena();

    /// Parser options that allocate from this arena and record no parse errors.
    GumboOptions options();
    std::size_t peakBytes() const { return peak_; }

private:
    static void* allocate(void* self, std::size_t size);
    static void release(void* self, void* block);

    std::unordered_map<void*, std::size_t> live_;
    std::size_t bytes_ = 0;
    std::size_t peak_ = 0;
};

} // namespace tarnwick
