// Whole files for the tests: read back, or "<missing>" when they cannot be
// read; written in full, or the test fails.
#pragma once

#include <QByteArray>
#include <QString>

// For helpers called by test functions: a condition that fails fails the
// test and stops it (QVERIFY in a helper only returns from the helper).
#define TEST_REQUIRE(condition) TestFiles::require((condition), #condition, __FILE__, __LINE__)

namespace TestFiles {

void require(bool condition, const char *text, const char *file, int line);

QByteArray read(const QString &path);
void write(const QString &path, const QByteArray &bytes);

} // namespace TestFiles
