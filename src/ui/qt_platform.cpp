#include "ui/qt_platform.h"

#include "app/app_path.h"
#include "app/event_wait.h"
#include "files/dialog_filter.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QUrl>

namespace tarnwick {

void QtPlatform::attach(QWidget* window, std::function<void()> sync)
{
    window_ = window;
    sync_ = std::move(sync);
}

namespace {

// Room beside the title for the buttons a window manager puts in the title bar, in average
// character widths: a box as narrow as "Stopped!" would otherwise show its title as "T...".
constexpr int kTitleRoomChars = 24;

int showBox(QMessageBox::StandardButtons buttons, const QString& text, QWidget* parent)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tarnwick"), text, buttons, parent);
    // Messages quote names, paths and placeholders such as "<H1>": they are never markup.
    box.setTextFormat(Qt::PlainText);
    // QMessageBox sizes itself from its layout, so a minimum width has to be a spacer in it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const QFontMetrics metrics(box.font());
        const int width
            = metrics.horizontalAdvance(box.windowTitle()) + metrics.averageCharWidth() * kTitleRoomChars;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(),
            0, 1, grid->columnCount());
    }
    if (buttons & QMessageBox::No)
        box.setDefaultButton(QMessageBox::No);
    return box.exec();
}

} // namespace

void QtPlatform::MsgBox(const QString& text)
{
    // The window shows what the message speaks of (a run's end, its summary) as it appears.
    if (sync_)
        sync_();
    showBox(QMessageBox::Ok, text, window_);
}

bool QtPlatform::askYesNo(const QString& text)
{
    if (sync_)
        sync_();
    return showBox(QMessageBox::Yes | QMessageBox::No, text, window_) == QMessageBox::Yes;
}

bool QtPlatform::ShowOpen(FileDialog& dialog)
{
    const QString path
        = QFileDialog::getOpenFileName(window_, QString(), dialog.InitDir, qtOpenFilterFrom(dialog.Filter));
    if (path.isEmpty())
        return false;
    dialog.FileName = path;
    return true;
}

bool QtPlatform::ShowSave(FileDialog& dialog)
{
    QFileDialog box(window_, QString(), dialog.InitDir, qtFilterFrom(dialog.Filter));
    box.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension gets the chosen filter's, as desktop programs add it, so
    // the Open dialog's filter shows the file; the dialog asks before replacing that name.
    box.setDefaultSuffix(filterExtension(box.selectedNameFilter()));
    QObject::connect(&box, &QFileDialog::filterSelected, &box,
        [&box](const QString& filter) { box.setDefaultSuffix(filterExtension(filter)); });
    if (box.exec() != QDialog::Accepted || box.selectedFiles().value(0).isEmpty())
        return false;
    dialog.FileName = box.selectedFiles().constFirst();
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

bool QtPlatform::openWebAddress(const QString& address)
{
    return QDesktopServices::openUrl(QUrl(address));
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
    instance_.stop();
    if (window_)
        window_->close();
    QCoreApplication::quit();
}

} // namespace tarnwick
