#include "BenchSupport.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace bench {

AppDir::AppDir(const QString &source)
{
    for (const char *name : {"Icon.ico", "Item.dat"})
        QFile::copy(QDir(source).filePath(QString::fromLatin1(name)), m_dir.filePath(QString::fromLatin1(name)));
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString nameOf(qsizetype length, const QString &start)
{
    const QString pattern = QStringLiteral("家計簿の項目名");
    QString name;
    name.reserve(length);
    name += start.left(length);
    while (name.size() < length)
        name += pattern.left(std::min(pattern.size(), length - name.size()));
    return name;
}

long long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

QString figures(const std::vector<double> &values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1 %2 %3")
        .arg(*low, 9, 'f', 3)
        .arg(median(values), 9, 'f', 3)
        .arg(*high, 9, 'f', 3);
}

} // namespace bench
