#include "app/system_clock.h"

#include <QThread>

namespace tarnwick {

SystemClockPlatform::SystemClockPlatform()
    : generator_(std::random_device {}())
{
}

void SystemClockPlatform::Sleep(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

QDateTime SystemClockPlatform::now()
{
    return QDateTime::currentDateTime();
}

// The generator is seeded from the system's entropy when the program starts; seeding it again
// from the clock would give two runs started in one millisecond (shards of one list, say) the
// same shuffle.
void SystemClockPlatform::Randomize()
{
}

double SystemClockPlatform::Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
}

} // namespace tarnwick
