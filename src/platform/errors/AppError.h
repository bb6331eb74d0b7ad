#pragma once
#include <QString>
#include <exception>
#include <functional>

// An error as the program's procedures raise and trap it: a number, the source that
// raised it and a description. Everything that can fail in the program throws this,
// so the three failure regimes (ignore, trap, pass on) work the same everywhere.
class AppError : public std::exception {
public:
    AppError(int number, QString source, QString description);

    int Number() const { return m_number; }
    const QString& Source() const { return m_source; }
    const QString& Description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// Error numbers the platform layer raises, as the classic runtime numbered them.
namespace ErrNo {
constexpr int InvalidProcedureCall = 5;
constexpr int OutOfMemory = 7;
constexpr int Overflow = 6;
constexpr int InternalError = 51;
constexpr int FileNotFound = 53;
constexpr int DeviceIO = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int DeviceUnavailable = 68;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectNotSet = 91;  // "Object variable or With block variable not set"
constexpr int InvalidFileFormat = 321;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPropertyArrayIndex = 381;
constexpr int InvalidPicture = 481;
// The base a class adds its own error numbers to; a class error raised as the base itself.
constexpr int ObjectError = -2147221504;  // 0x80040000
}

class IDialogs;

// The "ignore every failing step" regime: runs one step and swallows any failure.
// Returns whether the step completed.
bool TryStep(const std::function<void()>& step);

// The boundary of an event handler: an error that reaches it untrapped is shown as
// "Run-time error N:" with its description, and the program goes on.
void RunEventHandler(IDialogs& dialogs, const std::function<void()>& handler);
