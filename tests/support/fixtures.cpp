#include "support/fixtures.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tarnwick::test {

QString fixturePath(const QString& relative)
{
    return QStringLiteral(TARNWICK_FIXTURES "/") + relative;
}

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray readFixture(const QString& relative)
{
    EXPECT_TRUE(QFile::exists(fixturePath(relative))) << "missing fixture " << relative.toStdString();
    return readFileBytes(fixturePath(relative));
}

void writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

} // namespace tarnwick::test
