#pragma once

#include "app/system_clock.h"
#include "files/file_system.h"
#include "instance/posix_instance_system.h"
#include "instance/private_instance.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace tarnwick {

/// The platform of tarnwick-cli: a message is one line on standard error, a dialog is
/// answered by a path from the command line, the clipboard is standard output, sleeps are
/// real and the pump is Qt's event loop (QCoreApplication, no window).
class ConsolePlatform : public SystemClockPlatform {
public:
    /// `programFolder` is the folder AppPath builds on (--home, else the current directory).
    explicit ConsolePlatform(QString programFolder);

    void MsgBox(const QString& text) override;
    /// No one answers on the command line: the question is written out and answered No.
    bool askYesNo(const QString& text) override;
    bool ShowOpen(FileDialog& dialog) override;
    bool ShowSave(FileDialog& dialog) override;
    void setClipboardText(const QString& text) override;
    bool DoEvents() override;
    bool waitForEvents(int maxMs) override;
    void Refresh() override;
    bool openWebAddress(const QString& address) override;
    QString programFolder() override { return folder_; }
    void Unload() override { unloaded_ = true; }
    bool unloaded() const override { return unloaded_; }
    FileSystem& fileSystem() override { return files_; }
    /// Stopped when the platform goes, at the end of the command (Ctrl-C and SIGTERM end it too).
    PrivateInstance& privateInstance() override { return instance_; }

    /// The answer of the next dialog, open or save. Without one queued a dialog is cancelled.
    void answerNextDialog(const QString& path) { answers_.push_back(path); }
    /// Forgets answers no dialog asked for (a save that had nothing to save shows none).
    void dropAnswers() { answers_.clear(); }

    /// Runs at every pump and repaint: where a command keeps its progress line and where an
    /// interrupt is turned into Stop All.
    std::function<void()> onPump;
    /// Runs before a message is written, so a progress line can make room for it.
    std::function<void()> beforeMessage;

    /// Every message shown, in order.
    const QStringList& messages() const { return messages_; }
    bool clipboardWritten() const { return clipboardWritten_; }

    /// A message as one line: its line breaks become single spaces, nothing else changes.
    static QString oneLine(const QString& text);

private:
    bool answer(FileDialog& dialog);
    void pumped();

    QString folder_;
    std::deque<QString> answers_;
    QStringList messages_;
    bool clipboardWritten_ = false;
    bool unloaded_ = false;
    PosixFileSystem files_;
    PrivateInstance instance_ { std::make_unique<PosixInstanceSystem>() };
};

} // namespace tarnwick
