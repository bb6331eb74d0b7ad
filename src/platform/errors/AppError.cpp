#include "AppError.h"
#include "IDialogs.h"

#include <new>

AppError::AppError(int number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_what(m_description.toUtf8())
{
}

bool TryStep(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void RunEventHandler(IDialogs& dialogs, const std::function<void()>& handler)
{
    int number = 0;
    QString description;
    try {
        handler();
        return;
    } catch (const AppError& e) {
        number = e.Number();
        description = e.Description();
    } catch (const std::bad_alloc&) {
        number = ErrNo::OutOfMemory;
        description = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        number = ErrNo::InternalError;
        description = QStringLiteral("Internal error: ") + QString::fromLocal8Bit(e.what());
    }
    // Shown outside the catch so a failing message box cannot rethrow into Qt.
    try {
        dialogs.MsgBox(QStringLiteral("Run-time error %1:\n\n%2").arg(number).arg(description),
                       IDialogs::vbOKOnly, QString());
    } catch (...) {
    }
}
