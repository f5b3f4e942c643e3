// Prints code page 932 as this build has it, one line per input: every
// character of the Basic Multilingual Plane (its bytes, or "-" when it is
// refused) and every sequence of one and two bytes (the text it reads as,
// in UTF-16 code units). Two builds agree byte for byte when their tables
// are the same file.
// Usage: cp932_dump OUTPUT_FILE
#include "Codepage932.h"

#include <QFile>
#include <QTextStream>

namespace {

QString hexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QString unitsOf(const QString &text)
{
    QString units;
    for (const QChar c : text)
        units += QStringLiteral("%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return units.trimmed();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QTextStream out(&file);
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        const QString character(1, QChar(char16_t(unit)));
        const bool refused = kakeibo::Codepage932::firstUnrepresentable(character).has_value();
        out << "U+" << QString::number(unit, 16) << ' '
            << (refused ? QStringLiteral("-") : hexOf(kakeibo::Codepage932::encode(character))) << '\n';
    }
    for (int first = 0; first <= 0xFF; ++first) {
        const QByteArray one(1, char(first));
        out << hexOf(one) << ' ' << unitsOf(kakeibo::Codepage932::decode(one)) << '\n';
        for (int second = 0; second <= 0xFF; ++second) {
            const QByteArray two = one + char(second);
            out << hexOf(two) << ' ' << unitsOf(kakeibo::Codepage932::decode(two)) << '\n';
        }
    }
    return out.status() == QTextStream::Ok && file.flush() ? 0 : 1;
}
