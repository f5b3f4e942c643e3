#include "NamesFormat.h"

#include "Codepage932.h"

namespace kakeibo::NamesFormat {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<QByteArray> FieldReader::next()
{
    if (m_pos >= m_bytes.size())
        return std::nullopt;
    while (m_pos < m_bytes.size() && isBlank(m_bytes[m_pos]))
        ++m_pos;
    const bool quoted = m_pos < m_bytes.size() && m_bytes[m_pos] == kQuote;
    QByteArray field = quoted ? quotedField() : unquotedField();
    consumeSeparator();
    return field;
}

QByteArray FieldReader::quotedField()
{
    const qsizetype start = m_pos + 1;
    qsizetype end = m_bytes.indexOf(kQuote, start);
    if (end < 0)
        end = m_bytes.size();
    m_pos = std::min(end + 1, m_bytes.size());
    skipToSeparator();
    return m_bytes.sliced(start, end - start).toByteArray();
}

QByteArray FieldReader::unquotedField()
{
    const qsizetype start = m_pos;
    skipToSeparator();
    qsizetype end = m_pos;
    while (end > start && isBlank(m_bytes[end - 1]))
        --end;
    return m_bytes.sliced(start, end - start).toByteArray();
}

bool FieldReader::atSeparator() const
{
    const char c = m_bytes[m_pos];
    return c == kComma || c == kCR || c == kLF;
}

void FieldReader::skipToSeparator()
{
    while (m_pos < m_bytes.size() && !atSeparator())
        ++m_pos;
}

void FieldReader::consumeSeparator()
{
    if (m_pos >= m_bytes.size())
        return;
    const char c = m_bytes[m_pos++];
    if (c == kCR && m_pos < m_bytes.size() && m_bytes[m_pos] == kLF)
        ++m_pos;
}

Expected<Names> decode(QByteArrayView bytes)
{
    FieldReader reader(bytes);
    Names names;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const auto field = reader.next();
        if (!field)
            return Error::file(Error::Kind::FileFormat, {},
                               QStringLiteral("項目名が %1 つしかありません (6 つ必要です)").arg(slot));
        names[slot] = Codepage932::decode(*field);
    }
    return names;
}

Names mapInputMethodVariants(const Names &names)
{
    Names mapped;
    for (int slot = 0; slot < kSlotCount; ++slot)
        mapped[slot] = Codepage932::mapInputMethodVariants(names[slot]);
    return mapped;
}

std::optional<Unstorable> findUnstorable(const Names &names)
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const QString &name = names[slot];
        for (const QChar c : name) {
            // Control characters (tab, escape, the line breaks ...) are
            // stored as no one can see them: a name holds none.
            if (c == QLatin1Char(kQuote) || c.category() == QChar::Other_Control)
                return Unstorable{slot, QString(c)};
        }
        if (auto character = Codepage932::firstUnrepresentable(name))
            return Unstorable{slot, *character};
    }
    return std::nullopt;
}

void appendQuotedLine(QByteArray &file, QByteArrayView field)
{
    file += kQuote;
    file += field;
    file += kQuote;
    file += kCR;
    file += kLF;
}

QByteArray encode(const Names &names)
{
    QByteArray file;
    for (const QString &name : names)
        appendQuotedLine(file, Codepage932::encode(name));
    return file;
}

} // namespace kakeibo::NamesFormat
