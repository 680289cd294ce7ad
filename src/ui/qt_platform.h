#pragma once

#include "app/system_clock.h"
#include "files/file_system.h"
#include "instance/posix_instance_system.h"
#include "instance/private_instance.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tarnwick {

/// The desktop's services for the handlers: Qt message boxes, file dialogs and clipboard,
/// the Qt event loop. Every pump also redraws the window from the state (`sync`), so a long
/// run stays visible.
class QtPlatform : public SystemClockPlatform {
public:
    /// The window that owns dialogs and is redrawn after every pump.
    void attach(QWidget* window, std::function<void()> sync);

    void MsgBox(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool ShowOpen(FileDialog& dialog) override;
    bool ShowSave(FileDialog& dialog) override;
    void setClipboardText(const QString& text) override;
    bool DoEvents() override;
    bool waitForEvents(int maxMs) override;
    void Refresh() override;
    bool openWebAddress(const QString& address) override;
    QString programFolder() override;
    /// Also stops the private search instance: Quit ends everything the window started.
    void Unload() override;
    bool unloaded() const override { return unloaded_; }
    FileSystem& fileSystem() override { return files_; }
    PrivateInstance& privateInstance() override { return instance_; }

private:
    QPointer<QWidget> window_;
    std::function<void()> sync_;
    QString programFolder_;
    bool unloaded_ = false;
    PosixFileSystem files_;
    PrivateInstance instance_ { std::make_unique<PosixInstanceSystem>() };
};

} // namespace tarnwick
