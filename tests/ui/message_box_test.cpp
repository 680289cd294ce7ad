#include "ui/qt_platform.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(MessageBox, ShowsMessagesAsPlainText)
{
    QtPlatform p;
    QStringList shown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box->textFormat() == Qt::PlainText)
                shown.append(box->text());
            box->accept();
        }
    });
    poll.start(10);
    const QString message = QStringLiteral("No !%%! symbol in template <H1>, <H2>... tag. Please add!");
    p.MsgBox(message);
    EXPECT_EQ(shown, QStringList { message });
}

} // namespace
} // namespace tarnwick
