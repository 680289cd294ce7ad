#include "support/fake_instance_system.h"

#include "instance/private_instance.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

namespace tarnwick::test {

FakeInstanceSystem::~FakeInstanceSystem()
{
    for (size_t i = 0; i < started_.size(); ++i)
        EXPECT_TRUE(started_[i].reaped) << "child " << i + 1 << " outlived its owner or was left a zombie";
}

qint64 FakeInstanceSystem::start(const ChildLaunch& launch, int& error)
{
    launches.push_back(launch);
    Child script = launch.arguments.value(0) == QLatin1String("-c") ? writes() : answers();
    script.startError = fallbackError;
    if (!children.empty()) {
        script = children.front();
        children.pop_front();
    }
    error = script.startError;
    if (error != 0)
        return 0;
    if (launch.arguments.value(0) == QLatin1String("-c") && script.exitCode == 0) // secret and all
        QFile(launch.arguments.value(3)).open(QIODevice::WriteOnly);
    QFile output(launch.outputFile);
    if (output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        output.write(script.output);
    started_.push_back({ script });
    return static_cast<qint64>(started_.size());
}

std::optional<ChildExit> FakeInstanceSystem::reap(qint64 child)
{
    Running& running = started_.at(static_cast<size_t>(child - 1));
    EXPECT_FALSE(running.reaped) << "child " << child << " reaped twice";
    if (!running.ended && running.script.endsAtReap >= 0 && running.reaps++ >= running.script.endsAtReap)
        running.ended = running.script.exitCode < 0 ? ChildExit { 0, -running.script.exitCode }
                                                    : ChildExit { running.script.exitCode, 0 };
    running.reaped = running.ended.has_value();
    return running.ended;
}

void FakeInstanceSystem::signal(qint64 child, int number)
{
    signalled.push_back(number);
    Running& running = started_.at(static_cast<size_t>(child - 1));
    EXPECT_FALSE(running.reaped) << "a signal to child " << child << " after it was reaped";
    if (!running.ended && (number == SIGKILL || !running.script.ignoresTerm))
        running.ended = ChildExit { 0, number };
}

std::optional<ChildExit> FakeInstanceSystem::awaitExit(qint64 child, int)
{
    Running& running = started_.at(static_cast<size_t>(child - 1));
    running.reaped = running.ended.has_value();
    return running.ended;
}

int FakeInstanceSystem::freePort()
{
    if (ports.empty())
        return ++nextPort_;
    const int port = ports.front();
    ports.pop_front();
    return port;
}

bool FakeInstanceSystem::answers(const QString&)
{
    // The child asked is the one started last.
    Running& running = started_.back();
    return !running.ended && running.script.answersAtProbe >= 0
        && running.probes++ >= running.script.answersAtProbe;
}

InstanceSetup setupIn(const QString& folder)
{
    return { QStringLiteral("/usr/bin/python3"), folder + QStringLiteral("/config/tarnwick/searx.yml"),
        folder + QStringLiteral("/example.yml"), folder + QStringLiteral("/run/tarnwick"),
        folder + QStringLiteral("/state/tarnwick/searx.log") };
}

FakeInstance::FakeInstance()
{
    auto owned = std::make_unique<FakeInstanceSystem>();
    system = owned.get();
    instance = std::make_unique<PrivateInstance>(std::move(owned), setupIn(folder.path()));
}

FakeInstance::~FakeInstance() = default;

} // namespace tarnwick::test
