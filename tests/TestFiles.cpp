#include "TestFiles.h"

#include <QFile>
#include <QTest>

#include <stdexcept>

namespace TestFiles {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void require(bool condition, const char *text, const char *file, int line)
{
    if (condition)
        return;
    QTest::qFail(text, file, line);
    throw std::runtime_error(text);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    TEST_REQUIRE(file.open(QIODevice::WriteOnly));
    TEST_REQUIRE(file.write(bytes) == bytes.size());
}

} // namespace TestFiles
