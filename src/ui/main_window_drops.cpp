#include "ui/main_window.h"

#include "app/platform.h"
#include "files/file_commands.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tarnwick {

namespace {

/// The local files among `mime`'s addresses that an Open command takes, in order.
QStringList openableFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && opensDroppedFile(url.toLocalFile()))
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

bool MainWindow::takeDroppedFiles(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = openableFiles(drop->mimeData());
    if (paths.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (event->type() != QEvent::Drop)
        return true;
    for (const QString& path : paths) {
        if (platform_.unloaded())
            break;
        run([this, &path] { openDroppedFile(form_, platform_, path); });
    }
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!takeDroppedFiles(event))
        QMainWindow::dragEnterEvent(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (!takeDroppedFiles(event))
        QMainWindow::dropEvent(event);
}

} // namespace tarnwick
