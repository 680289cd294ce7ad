#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/shown_window.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

TEST(FileDrop, DroppedFilesOpenAsTheirOpenCommandsOpenThem)
{
    struct Case {
        const char* file;
        QByteArray content;
        std::function<QString(const Form1&)> shown;
        QString expected;
        QStringList messages;
    };
    const Case cases[] = {
        { "seeds.kwrds", "a - cheap flights\r\nb - hotels\r\n",
            [](const Form1& f) { return f.List2.items().join('|') + ' ' + f.Label7.Caption(); },
            "a - cheap flights|b - hotels 2" },
        { "LIST.URLS", "http://a.example/\r\n\r\nhttp://b.example/\r\n",
            [](const Form1& f) { return f.List1.items().join('|') + ' ' + f.Label1.Caption(); },
            "http://a.example/|http://b.example/ 2" },
        { "run.sdata", "Title\r\nDescription", [](const Form1& f) { return f.RichTextBox1.Text(); },
            "Title\r\nDescription\r\n" },
        { "page.tplate", "<html>!@@!</html>", [](const Form1& f) { return f.RichTextBox2.Text(); },
            "<html>!@@!</html>\r\n" },
        { "too-many.urls", QByteArray("http://x.example/\r\n").repeated(30002),
            [](const Form1& f) { return f.Label1.Caption(); }, "30001", { "Limit reached!" } },
        { "notes.txt", "http://c.example/\r\n", [](const Form1& f) { return f.List1.items().join('|'); },
            "" },
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        test::ShownWindow w;
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        test::writeFileBytes(path, c.content);

        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(path) });
        const bool opens = !c.expected.isEmpty();
        // A file the window opens is taken even over the spider data pane, which would otherwise
        // paste its name as text; any other file the window refuses.
        QWidget* target = opens
            ? qobject_cast<QPlainTextEdit*>(w.window.widgetFor(w.f.RichTextBox1))->viewport()
            : static_cast<QWidget*>(&w.window);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(enter.isAccepted(), opens) << c.file;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);

        EXPECT_EQ(c.shown(w.f), c.expected) << c.file;
        EXPECT_EQ(w.p.messages, c.messages) << c.file;
        // No dialog: the dropped file is the one to open.
        EXPECT_TRUE(w.p.dialogs.empty()) << c.file;
    }
}

} // namespace
} // namespace tarnwick
