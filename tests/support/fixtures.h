#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick::test {

/// The path of a file under tests/fixtures.
QString fixturePath(const QString& relative);
/// The bytes of a file under tests/fixtures; a missing file fails the current test.
QByteArray readFixture(const QString& relative);
/// The bytes of any file, empty when it cannot be read.
QByteArray readFileBytes(const QString& path);
void writeFileBytes(const QString& path, const QByteArray& bytes);

} // namespace tarnwick::test
