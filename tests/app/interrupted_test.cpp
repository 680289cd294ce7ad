#include "app/interrupted.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

// Each call answers the next (result, errno) pair; errno starts as EINTR, as the Ctrl-C handler leaves it.
TEST(RetryInterrupted, AgainOnlyAfterAnInterruptedFailure)
{
    const std::tuple<const char*, std::vector<std::pair<int, int>>, int, int> rows[] = {
        { "a success with EINTR left from before", { { 3, 0 }, { 9, 0 } }, 3, 1 },
        { "an end of file with EINTR left from before", { { 0, 0 }, { 9, 0 } }, 0, 1 },
        { "interrupted twice, then done", { { -1, EINTR }, { -1, EINTR }, { 5, 0 } }, 5, 3 },
        { "another failure", { { -1, EIO }, { 9, 0 } }, -1, 1 },
    };
    for (const auto& [name, answers, wantResult, wantCalls] : rows) {
        int calls = 0;
        errno = EINTR;
        const int result = retryInterrupted([&] {
            const auto [answer, error] = answers.at(calls++);
            if (error)
                errno = error;
            return answer;
        });
        EXPECT_EQ(result, wantResult) << name;
        EXPECT_EQ(calls, wantCalls) << name;
    }
}

} // namespace
} // namespace tarnwick
