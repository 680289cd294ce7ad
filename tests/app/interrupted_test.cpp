#include "app/interrupted.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

// Each call answers the next (result, errno) pair; errno starts as EINTR, as the Ctrl-C handler leaves it.
TEST(RetryInterrupted, AgainOnlyAfterAnInterruptedFailure)
{
    const struct {
        const char* row;
        std::vector<std::pair<int, int>> answers;
        int result, calls;
    } rows[] = {
        { "a success with EINTR left from before", { { 3, 0 }, { 9, 0 } }, 3, 1 },
        { "an end of file with EINTR left from before", { { 0, 0 }, { 9, 0 } }, 0, 1 },
        { "interrupted twice, then done", { { -1, EINTR }, { -1, EINTR }, { 5, 0 } }, 5, 3 },
        { "another failure", { { -1, EIO }, { 9, 0 } }, -1, 1 },
    };
    for (const auto& row : rows) {
        int calls = 0;
        errno = EINTR;
        const int result = retryInterrupted([&] {
            const auto [answer, error] = row.answers.at(calls++);
            if (error)
                errno = error;
            return answer;
        });
        EXPECT_EQ(result, row.result) << row.row;
        EXPECT_EQ(calls, row.calls) << row.row;
    }
}

} // namespace
} // namespace tarnwick
