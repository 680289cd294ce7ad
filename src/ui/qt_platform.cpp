#include "ui/qt_platform.h"

#include "app/app_path.h"
#include "app/event_wait.h"
#include "files/dialog_filter.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace tarnwick {

void QtPlatform::attach(QWidget* window, std::function<void()> sync)
{
    window_ = window;
    sync_ = std::move(sync);
}

void QtPlatform::MsgBox(const QString& text)
{
    // The window shows what the message speaks of (a run's end, its summary) as it appears.
    if (sync_)
        sync_();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tarnwick"), text, QMessageBox::Ok, window_);
    // Messages quote names, paths and placeholders such as "<H1>": they are never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtPlatform::askYesNo(const QString& question)
{
    if (sync_)
        sync_();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tarnwick"), question,
        QMessageBox::Yes | QMessageBox::No, window_);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtPlatform::ShowOpen(FileDialog& dialog)
{
    const QString path
        = QFileDialog::getOpenFileName(window_, QString(), dialog.InitDir, qtFilterFrom(dialog.Filter));
    if (path.isEmpty())
        return false;
    dialog.FileName = path;
    return true;
}

bool QtPlatform::ShowSave(FileDialog& dialog)
{
    const QString path
        = QFileDialog::getSaveFileName(window_, QString(), dialog.InitDir, qtFilterFrom(dialog.Filter));
    if (path.isEmpty())
        return false;
    dialog.FileName = path;
    return true;
}

void QtPlatform::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtPlatform::DoEvents()
{
    if (unloaded_)
        return false;
    if (sync_)
        sync_();
    QCoreApplication::processEvents();
    return !unloaded_;
}

bool QtPlatform::waitForEvents(int maxMs)
{
    if (unloaded_)
        return false;
    if (sync_)
        sync_();
    waitForEventsBounded(maxMs);
    return !unloaded_;
}

void QtPlatform::Refresh()
{
    if (sync_)
        sync_();
    if (window_)
        window_->repaint();
}

void QtPlatform::openWebAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

QString QtPlatform::programFolder()
{
    // Chosen once: the folder does not change while the program runs, and the choice probes
    // the disk, which a run writing pages would otherwise repeat for every page.
    if (programFolder_.isEmpty())
        programFolder_
            = resolveProgramFolder(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    return programFolder_;
}

void QtPlatform::Unload()
{
    unloaded_ = true;
    if (window_)
        window_->close();
    QCoreApplication::quit();
}

} // namespace tarnwick
