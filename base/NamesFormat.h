// The names file "Item.dat", shared by its reader and its writer.
//
// As written: six lines, slot 0 first, each a double quote (22), the name
// in code page 932, a double quote and CR LF (0D 0A); nothing else.
// As read, a tolerant reader of such files:
// - fields are separated by a comma or a line end (CR LF, a lone CR or a
//   lone LF), so six lines, one line of six fields or any mix read alike;
// - spaces and tabs before a field are skipped;
// - a field that begins with a double quote runs to the next double quote
//   (or the end of the file) and may hold commas; text between the closing
//   quote and the next separator is ignored;
// - an unquoted field runs to the next separator, without the spaces and
//   tabs at its end;
// - an empty line, or nothing between two commas, is an empty name;
// - a field needs at least one byte left in the file: a file that ends
//   before the sixth field is too short; whatever follows the sixth field
//   is not read.
// Each field is decoded whole; bytes that are not code page 932 give U+FFFD.
#pragma once

#include "Error.h"
#include "Slots.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <array>
#include <optional>

namespace kakeibo::NamesFormat {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The largest names file the program reads: six names of a million
// characters each take 12 MiB, a real book a few hundred bytes. A larger
// file is refused rather than read into memory.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;

using Names = std::array<QString, kSlotCount>;

// The text file service for input: the fields of a file, one at a time.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The raw bytes of the next field; nothing when the file has no more.
    std::optional<QByteArray> next();

private:
    QByteArray quotedField();
    QByteArray unquotedField();
    void skipToSeparator();
    void consumeSeparator();
    bool atSeparator() const;

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// The six names of a file; a FileFormat error when it has fewer fields.
Expected<Names> decode(QByteArrayView bytes);

// A name that cannot be stored exactly: its slot and the first character.
struct Unstorable {
    int slot;
    QString character;
};

// Maps the input-method variants of every name to code page 932's own.
Names mapInputMethodVariants(const Names &names);

// The first name holding an ASCII double quote, a control character (a line
// break, a tab ...) or a character
// code page 932 cannot represent; nothing when all six store exactly.
std::optional<Unstorable> findUnstorable(const Names &names);

// The text file service for output: one field as a line in double quotes.
void appendQuotedLine(QByteArray &file, QByteArrayView field);

// The bytes of the file; the names must be storable (findUnstorable).
QByteArray encode(const Names &names);

} // namespace kakeibo::NamesFormat
