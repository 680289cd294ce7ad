#include "support/test_window.h"

#include "app/startup.h"

namespace tarnwick::test {

TestWindow::TestWindow(std::unique_ptr<TransferControl> inet)
{
    if (!inet) {
        auto fake = std::make_unique<FakeTransferControl>();
        transfer = fake.get();
        inet = std::move(fake);
    }
    form = std::make_unique<Form1>(std::move(inet));
    Form_Load(*form);
    p.folder = home.path();
}

void TestWindow::run(void (*command)(Form1&, Platform&), const QString& chosen)
{
    p.answerDialog(chosen);
    command(*form, p);
}

void TestWindow::fillUrls(int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries.append(QStringLiteral("http://e%1/").arg(i));
    form->List1.replaceAll(entries);
}

} // namespace tarnwick::test
