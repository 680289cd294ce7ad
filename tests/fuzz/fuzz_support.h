#pragma once

#include "app/form1.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

namespace tarnwick::fuzz {

/// A window state at its start-up defaults over fake platform and transfer control, kept for the process.
struct Harness {
    Harness();
    std::unique_ptr<Form1> form;
    test::FakeTransferControl* inet = nullptr;
    test::FakePlatform platform;
    QTemporaryDir folder;
};

/// Makes the core application the handlers' event pumps need; call once per process.
void ensureApplication();
/// Writes `bytes` to a scratch file in `dir` and returns its path.
QString writeScratch(const QTemporaryDir& dir, const QByteArray& bytes);

} // namespace tarnwick::fuzz
