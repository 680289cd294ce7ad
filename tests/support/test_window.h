#pragma once

#include "app/form1.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QTemporaryDir>

#include <memory>

namespace tarnwick::test {

/// A loaded window on a fake platform with a fresh program folder; a scripted control unless given one.
struct TestWindow {
    explicit TestWindow(std::unique_ptr<TransferControl> inet = nullptr);

    Form1& f() { return *form; }
    /// A path inside the program folder.
    QString path(const QString& name) const { return home.filePath(name); }
    /// Answers the next dialog with `chosen` and runs `command`.
    void run(void (*command)(Form1&, Platform&), const QString& chosen)
    {
        p.answerDialog(chosen);
        command(*form, p);
    }
    /// Fills the URL list with http://e0/, http://e1/, ...
    void fillUrls(int count);

    QTemporaryDir home;
    FakePlatform p;
    /// The scripted control, or null when the test gave a real one.
    FakeTransferControl* transfer = nullptr;
    std::unique_ptr<Form1> form;
};

/// A window ready to spider `urls`, `parallel` requests at once.
struct SpiderWindow : TestWindow {
    SpiderWindow(std::unique_ptr<TransferControl> inet, const QStringList& urls, const char* parallel = "1");

    FakeTransferControl& fake() { return static_cast<FakeTransferControl&>(*form->Inet1); }
    /// Everything the run leaves behind, pages included, as one text.
    QString outputs() const;
};

} // namespace tarnwick::test
