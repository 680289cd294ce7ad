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

void SystemClockPlatform::Randomize()
{
    generator_.seed(static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch()));
}

double SystemClockPlatform::Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
}

} // namespace tarnwick
