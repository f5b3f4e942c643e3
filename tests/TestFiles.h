// Whole files for the tests: read back, or "<missing>" when they cannot be
// read; written in full, or the test fails.
#pragma once

#include <QByteArray>
#include <QString>

namespace TestFiles {

QByteArray read(const QString &path);
void write(const QString &path, const QByteArray &bytes);

} // namespace TestFiles
