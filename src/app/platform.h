#pragma once

#include "app/controls.h"

#include <QDateTime>
#include <QString>

namespace tarnwick {

class FileSystem;
class PrivateInstance;

/// Every service of the desktop that a handler needs. Handlers never reach a toolkit
/// directly, so they run the same under the window (ui/QtPlatform), the command line
/// (cli/ConsolePlatform) and the tests (a scripted fake with a virtual clock).
class Platform {
public:
    virtual ~Platform() = default;

    /// A modal message box titled "Tarnwick" with only an OK button; returns once dismissed.
    virtual void MsgBox(const QString& text) = 0;
    /// A modal question titled "Tarnwick" with Yes and No buttons; true for Yes. Closing it
    /// without choosing counts as No, so nothing is lost by a stray key.
    virtual bool askYesNo(const QString& text) = 0;

    /// Open and save dialogs from the dialog's Filter ("Description (*.ext)|*.ext") and
    /// InitDir. On OK the full path goes into FileName and the result is true; on cancel
    /// the result is false and FileName is left as it was.
    virtual bool ShowOpen(FileDialog& dialog) = 0;
    virtual bool ShowSave(FileDialog& dialog) = 0;

    /// Replaces the clipboard's content with plain text.
    virtual void setClipboardText(const QString& text) = 0;

    /// Runs pending events once. False once the window has been unloaded (Quit): the
    /// caller then ends at once and touches no state.
    [[nodiscard]] virtual bool DoEvents() = 0;
    /// Sleeps until an event arrives or `maxMs` pass, then runs pending events; the wait
    /// of loops that wait on the network, so they sleep instead of spinning. Same result
    /// as DoEvents.
    [[nodiscard]] virtual bool waitForEvents(int maxMs) = 0;
    /// Repaints the window from the state now, without running other events.
    virtual void Refresh() = 0;
    /// Blocks for `ms` milliseconds (the harvest's 250 ms ticks).
    virtual void Sleep(int ms) = 0;

    virtual QDateTime now() = 0;
    /// Marks the start of a new random sequence (the real generator needs no new seed).
    virtual void Randomize() = 0;
    /// The next value of the random generator, uniform in [0, 1).
    virtual double Rnd() = 0;

    /// Opens an address, a web page or a local file's file:// address, with the handler the
    /// desktop has for it (the user's browser, a text viewer). False when nothing could be
    /// started to open it.
    virtual bool openWebAddress(const QString& address) = 0;
    /// The folder that holds the program, as the system gives it (AppPath adds the separator).
    virtual QString programFolder() = 0;

    /// Closes the window and ends the program once control returns to the event loop.
    virtual void Unload() = 0;
    virtual bool unloaded() const = 0;

    /// The file system the saves write through (files/file_system.h).
    virtual FileSystem& fileSystem() = 0;
    /// The search instance the harvest may start (instance/private_instance.h), kept as long
    /// as the platform: for the window's life, or the command line's command.
    virtual PrivateInstance& privateInstance() = 0;
};

} // namespace tarnwick
