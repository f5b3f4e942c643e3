// Errors of the account book as values.
//
// The file services and conversions return an Error instead of throwing; the
// frame raises it as a RuntimeError when a routine cannot go on, and one
// service of the window layer (Messages::describe) turns it into the message
// the user reads. A Refusal is the one error the user can recover from: the frame
// shows it and the program goes on.
#pragma once

#include <QString>

#include <exception>
#include <optional>
#include <utility>
#include <variant>

namespace kakeibo {

struct Error {
    enum class Kind {
        Conversion,    // a text that is not a number
        Overflow,      // a result outside the signed 32-bit range
        FileNotFound,  // a file that must exist does not
        FileOpen,      // the system refused to open a file
        FileRead,
        FileWrite,
        FileFlush,     // the data could not be forced onto the device
        FileFormat,    // the file holds fewer fields than the program needs
        FileTooLarge,  // the file is larger than any book the program reads
        BookInUse,     // another copy of the program holds the book
        BookLock,      // the book could not be locked for this copy
        DirectoryWrite,  // the directory refused a new file
        Picture,       // a file that is not an image the program can show
        Internal,
    };

    Kind kind = Kind::Internal;
    QString subject;  // the full path of the file, or the text that failed
    QString reason;   // the system's own reason, where there is one

    static Error conversion(const QString &text) { return {Kind::Conversion, text, {}}; }
    static Error overflow(const QString &what = {}) { return {Kind::Overflow, what, {}}; }
    static Error file(Kind kind, const QString &path, const QString &reason = {})
    {
        return {kind, path, reason};
    }
};

// A value or the Error that prevented it.
template <typename T>
class Expected {
public:
    Expected(T value) : m_state(std::move(value)) {}
    Expected(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    const T &value() const { return std::get<T>(m_state); }
    const Error &error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

// An error that no handler traps ends the program after it is reported.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(Error error) : m_error(std::move(error)) {}
    const Error &error() const { return m_error; }
    const char *what() const noexcept override { return "kakeibo runtime error"; }

private:
    Error m_error;
};

// An action the program declines; the user is told why and carries on.
class Refusal : public std::exception {
public:
    explicit Refusal(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "kakeibo refusal"; }

private:
    QString m_message;
};

// Raises the error of an Expected, or yields (a copy of) its value.
template <typename T>
T valueOrRaise(const Expected<T> &result)
{
    if (!result.ok())
        throw RuntimeError(result.error());
    return result.value();
}

inline void raiseIf(const std::optional<Error> &error)
{
    if (error)
        throw RuntimeError(*error);
}

} // namespace kakeibo
