#include "fuzz_support.h"

#include "app/startup.h"

#include <QCoreApplication>
#include <QFile>

namespace tarnwick::fuzz {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "tarnwick-fuzz";
    static char* argv[] = { name, nullptr };
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

Harness::Harness()
{
    ensureApplication();
    auto transfer = std::make_unique<test::FakeTransferControl>();
    inet = transfer.get();
    form = std::make_unique<Form1>(std::move(transfer));
    Form_Load(*form);
    platform.folder = folder.path();
}

QString writeScratch(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("scratch.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

} // namespace tarnwick::fuzz
