#include "support/fake_platform.h"

#include "app/event_wait.h"
#include "support/fake_instance_system.h"

#include <QCoreApplication>

#include <cerrno>

namespace tarnwick::test {

FakePlatform::FakePlatform() = default;

FakePlatform::~FakePlatform() = default;

PrivateInstance& FakePlatform::privateInstance()
{
    if (instance != nullptr)
        return *instance;
    if (!noSearx_) {
        noSearx_ = std::make_unique<FakeInstance>();
        noSearx_->system->fallbackError = ENOENT;
    }
    return *noSearx_->instance;
}

void FakePlatform::MsgBox(const QString& text)
{
    messages.append(text);
    if (onMessage)
        onMessage(text);
}

bool FakePlatform::askYesNo(const QString& text)
{
    questions.append(text);
    const bool yes = !yesNoAnswers.empty() && yesNoAnswers.front();
    if (!yesNoAnswers.empty())
        yesNoAnswers.pop_front();
    return yes;
}

bool FakePlatform::answer(FileDialog& dialog, bool save)
{
    dialogs.push_back({ save, dialog.Filter, dialog.InitDir });
    if (dialogAnswers.empty())
        return false;
    std::optional<QString> next = dialogAnswers.front();
    dialogAnswers.pop_front();
    if (!next)
        return false;
    dialog.FileName = *next;
    return true;
}

void FakePlatform::setClipboardText(const QString& text)
{
    clipboard = text;
    clipboardSet = true;
}

void FakePlatform::pumped()
{
    ++pumps;
    if (onPump)
        onPump(pumps);
}

bool FakePlatform::DoEvents()
{
    if (isUnloaded)
        return false;
    QCoreApplication::processEvents();
    pumped();
    return !isUnloaded;
}

bool FakePlatform::waitForEvents(int maxMs)
{
    if (isUnloaded)
        return false;
    waitForEventsBounded(maxMs);
    pumped();
    return !isUnloaded;
}

void FakePlatform::Sleep(int ms)
{
    sleptMs += ms;
    clock = clock.addMSecs(ms);
}

double FakePlatform::Rnd()
{
    if (!rndValues.empty()) {
        const double value = rndValues.front();
        rndValues.pop_front();
        return value;
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

} // namespace tarnwick::test
