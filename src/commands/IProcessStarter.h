#pragma once
#include <QString>
#include <QStringList>

// Starts another program, detached, from a program and its argument list: never through
// a shell, so no argument is ever read as a command. ProcessStarter is the real one;
// tests record the calls instead.
class IProcessStarter {
public:
    virtual ~IProcessStarter() = default;
    // False when the program could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};
