#include "ProcessStarter.h"

#include <QProcess>

bool ProcessStarter::StartDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}
