#pragma once

#include "app/platform.h"

#include <random>

namespace tarnwick {

/// The parts of a platform that are the same wherever the program runs for real: the wall
/// clock, a real sleep and a random generator seeded once from the system's entropy. The window's and the
/// command line's platforms build on it; the tests' fake replaces all of it with a virtual clock.
class SystemClockPlatform : public Platform {
public:
    SystemClockPlatform();

    void Sleep(int ms) override;
    QDateTime now() override;
    void Randomize() override;
    double Rnd() override;

private:
    std::mt19937_64 generator_;
};

} // namespace tarnwick
