// Shared pieces of the in-process benchmarks: a temporary application
// directory with the program's files, timing, and the figures as a line.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A temporary application directory holding copies of Icon.ico and Item.dat
// from the application directory given.
class AppDir {
public:
    explicit AppDir(const QString &source);
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

double median(std::vector<double> values);

// A category name of `length` characters: `start`, then the words of a name
// repeated (the whole text cut to length).
QString nameOf(qsizetype length, const QString &start);

// The peak resident memory of this process so far (VmHWM), in KiB.
long long peakResidentKiB();

// "min median max" in milliseconds.
QString figures(const std::vector<double> &values);

} // namespace bench
