#include "EditCommand.h"
#include "Associations.h"
#include "ExecLine.h"
#include "Globals.h"
#include "IProcessStarter.h"
#include "PathNames.h"

namespace {
const QString Placeholder = QStringLiteral("%1");
}

EditCommand::EditCommand(Globals& globals, IProcessStarter& starter, RegistryReader reader)
    : m_globals(globals), m_starter(starter), m_reader(reader ? std::move(reader) : RegistryReader(GetRegValue))
{
}

QStringList EditCommand::CommandArguments(const QString& command, const QString& path)
{
    QStringList arguments;
    if (!ExecLine::Split(command, arguments) || arguments.isEmpty() || arguments.first().isEmpty())
        return {};
    // The program itself must come from the association, never from the file name.
    if (arguments.first().contains(Placeholder, Qt::CaseInsensitive))
        return {};
    for (QString& argument : arguments)
        argument.replace(Placeholder, path, Qt::CaseInsensitive);
    return arguments;
}

void EditCommand::mnuEdit_Click(const QString& sCurrentFile)
{
    // With no image yet there is no file type to look up.
    if (sCurrentFile.isEmpty()) {
        m_globals.ShowError(QStringLiteral("You must select an image !"));
        return;
    }
    // A name Qt decoded lossily would hand the application another file, or none.
    if (IsLossilyDecodedName(sCurrentFile)) {
        m_globals.ShowError(QStringLiteral("File not found: %1").arg(sCurrentFile));
        return;
    }
    const QString fileType = sCurrentFile.right(4);
    const QString className = m_reader(RegistryKey::ClassesRoot, fileType, QString());
    const QString command = m_reader(RegistryKey::ClassesRoot, className + QStringLiteral("\\Shell\\Open\\Command"), QString());
    const QStringList arguments =
        command == QLatin1String("Error") ? QStringList() : CommandArguments(command, sCurrentFile);
    if (arguments.isEmpty()) {
        m_globals.ShowError(QStringLiteral("Unable to locate the Application to open the image"));
        return;
    }
    // A program that cannot be started (gone since it was registered) is told, not ignored.
    if (!m_starter.StartDetached(arguments.first(), arguments.mid(1)))
        m_globals.ShowError(QStringLiteral("Unable to start the application %1").arg(arguments.first()));
}
