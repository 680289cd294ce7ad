#include "cli/console_platform.h"

#include "app/event_wait.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace tarnwick {

namespace {

void writeBytes(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

ConsolePlatform::ConsolePlatform(QString programFolder)
    : folder_(std::move(programFolder))
{
}

QString ConsolePlatform::oneLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

void ConsolePlatform::MsgBox(const QString& text)
{
    messages_.append(text);
    if (beforeMessage)
        beforeMessage();
    writeBytes(stderr, (oneLine(text) + QLatin1Char('\n')).toUtf8());
}

bool ConsolePlatform::askYesNo(const QString& text)
{
    MsgBox(text + QStringLiteral(" No."));
    return false;
}

bool ConsolePlatform::answer(FileDialog& dialog)
{
    if (answers_.empty())
        return false;
    // The window's dialogs hand back full paths; a relative path means the current directory.
    dialog.FileName = QFileInfo(answers_.front()).absoluteFilePath();
    answers_.pop_front();
    return true;
}

bool ConsolePlatform::ShowOpen(FileDialog& dialog)
{
    return answer(dialog);
}

bool ConsolePlatform::ShowSave(FileDialog& dialog)
{
    return answer(dialog);
}

void ConsolePlatform::setClipboardText(const QString& text)
{
    clipboardWritten_ = true;
    writeBytes(stdout, text.toUtf8());
}

void ConsolePlatform::pumped()
{
    if (onPump)
        onPump();
}

bool ConsolePlatform::DoEvents()
{
    if (unloaded_)
        return false;
    QCoreApplication::processEvents();
    pumped();
    return !unloaded_;
}

bool ConsolePlatform::waitForEvents(int maxMs)
{
    if (unloaded_)
        return false;
    waitForEventsBounded(maxMs);
    pumped();
    return !unloaded_;
}

void ConsolePlatform::Refresh()
{
    pumped();
}

bool ConsolePlatform::openWebAddress(const QString& address)
{
    // No browser to open from a console; the address is what the user needs.
    writeBytes(stderr, (address + QLatin1Char('\n')).toUtf8());
    return true;
}

} // namespace tarnwick
