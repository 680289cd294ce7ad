#include <gtest/gtest.h>

#include "harvest/search_sites.h"

namespace tarnwick {
namespace {

TEST(KeywordEntry, SearchTermOfEveryShape)
{
    const struct {
        const char* entry;
        const char* term;
    } cases[] = {
        { "12 -  a b  - c - d", "a b" },
        { " - seed ", "seed" },
        { "  no separator here ", "no separator here" },
        // " - term" from the Add button, saved and opened again (spaces trimmed).
        { "- blue widgets", "blue widgets" },
        { "-  spaced  ", "spaced" },
        { "- first - second", "first" },
        { "-no space", "-no space" },
        { "-", "-" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(searchTerm(QString::fromUtf8(c.entry)), QString::fromUtf8(c.term)) << c.entry;
}

} // namespace
} // namespace tarnwick
