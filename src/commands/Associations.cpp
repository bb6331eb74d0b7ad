#include "Associations.h"
#include "DesktopEntry.h"
#include "MimeAppsList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>

namespace {

const QString Error = QStringLiteral("Error");
constexpr int RegistryBufferSize = 255;

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

// One base folder from the environment; unset, empty or relative means the default.
QString baseFolder(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QStringList baseFolders(const char* variable, const QStringList& fallback)
{
    QStringList folders;
    for (const QString& part : qEnvironmentVariable(variable).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(part))
            folders.push_back(part);
    return folders.isEmpty() ? fallback : folders;
}

QStringList dataFolders()
{
    return QStringList{baseFolder("XDG_DATA_HOME", homeFolder() + QStringLiteral("/.local/share"))} +
           baseFolders("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QString messagesLocale()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

// Looks for `rest` in `folder`, where each '-' of the id may also stand for a subfolder.
QString findIn(const QString& folder, const QString& rest)
{
    const QString direct = folder + QLatin1Char('/') + rest;
    if (QFileInfo(direct).isFile())
        return direct;
    for (int dash = rest.indexOf(QLatin1Char('-')); dash > 0; dash = rest.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString sub = folder + QLatin1Char('/') + rest.left(dash);
        if (QFileInfo(sub).isDir()) {
            const QString found = findIn(sub, rest.mid(dash + 1));
            if (!found.isEmpty())
                return found;
        }
    }
    return QString();
}

// The open command of an installed, usable application; "" otherwise.
QString applicationCommand(const QString& desktopId)
{
    const QString path = Associations::FindDesktopFile(desktopId);
    if (path.isEmpty())
        return QString();
    const DesktopEntry entry = DesktopEntry::Parse(readText(path), path);
    const QString tryExec = entry.TryExec();
    if (!tryExec.isEmpty()) {
        const bool present = QDir::isAbsolutePath(tryExec) ? QFileInfo(tryExec).isExecutable()
                                                           : !QStandardPaths::findExecutable(tryExec).isEmpty();
        if (!present)
            return QString();
    }
    QString command;
    return entry.OpenCommand(messagesLocale(), command) ? command : QString();
}

}

QString RegistryBufferText(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() + 1 > RegistryBufferSize)
        return Error;
    QByteArray buffer = bytes;
    buffer.append('\0');
    buffer.append(QByteArray(RegistryBufferSize - buffer.size(), ' '));
    int begin = 0, end = buffer.size();
    while (begin < end && buffer.at(begin) == ' ')
        ++begin;
    while (end > begin && buffer.at(end - 1) == ' ')
        --end;
    buffer = buffer.mid(begin, end - begin);
    const int nul = buffer.indexOf('\0');
    if (nul >= 0)
        buffer.truncate(nul);
    return QString::fromUtf8(buffer);
}

QString GetRegValue(std::uint32_t hKey, const QString& sSubKey, const QString& sValueName)
{
    if (hKey != RegistryKey::ClassesRoot || !sValueName.isEmpty())
        return Error;
    static const QString commandKey = QStringLiteral("\\Shell\\Open\\Command");
    QString value;
    if (sSubKey.size() > 1 && sSubKey.startsWith(QLatin1Char('.')) && !sSubKey.contains(QLatin1Char('\\'))) {
        value = Associations::MimeTypeForExtension(sSubKey);
    } else if (sSubKey.endsWith(commandKey, Qt::CaseInsensitive)) {
        const QString type = sSubKey.left(sSubKey.size() - commandKey.size());
        if (!type.isEmpty() && !type.contains(QLatin1Char('\\')))
            value = Associations::DefaultOpenCommand(type);
    }
    return value.isEmpty() ? Error : RegistryBufferText(value);
}

QString Associations::MimeTypeForExtension(const QString& extension)
{
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(QStringLiteral("file") + extension);
    return types.isEmpty() ? QString() : types.first().name();
}

QStringList Associations::MimeAppsFiles()
{
    QStringList desktops;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops.push_back(name.toLower());
    const QStringList folders =
        QStringList{baseFolder("XDG_CONFIG_HOME", homeFolder() + QStringLiteral("/.config"))} +
        baseFolders("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")}) + ApplicationFolders();
    QStringList files;
    for (const QString& folder : folders) {
        for (const QString& desktop : desktops)
            files.push_back(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        files.push_back(folder + QStringLiteral("/mimeapps.list"));
    }
    return files;
}

QStringList Associations::ApplicationFolders()
{
    QStringList folders;
    for (const QString& data : dataFolders())
        folders.push_back(data + QStringLiteral("/applications"));
    return folders;
}

QString Associations::FindDesktopFile(const QString& desktopId)
{
    // An id is a file name; one holding a '/' could reach outside the folders.
    if (!desktopId.endsWith(QLatin1String(".desktop")) || desktopId.contains(QLatin1Char('/')) ||
        desktopId.startsWith(QLatin1Char('.')))
        return QString();
    for (const QString& folder : ApplicationFolders()) {
        const QString found = findIn(folder, desktopId);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QString Associations::DefaultOpenCommand(const QString& mimeType)
{
    QStringList types{mimeType};
    const QMimeType known = QMimeDatabase().mimeTypeForName(mimeType);
    if (known.isValid()) {
        if (known.name() != mimeType)
            types.push_back(known.name());
        // Every type descends from application/octet-stream; whatever opens arbitrary
        // bytes is no editor for an image, so that ancestor is left out.
        for (const QString& parent : known.allAncestors())
            if (parent != QLatin1String("application/octet-stream"))
                types.push_back(parent);
    }

    std::vector<MimeAppsList> lists;
    for (const QString& file : MimeAppsFiles())
        if (QFileInfo(file).isFile())
            lists.push_back(MimeAppsList::Parse(readText(file)));
    std::vector<MimeAppsList> caches;
    for (const QString& folder : ApplicationFolders()) {
        const QString file = folder + QStringLiteral("/mimeinfo.cache");
        if (QFileInfo(file).isFile())
            caches.push_back(MimeAppsList::ParseCache(readText(file)));
    }

    for (const QString& type : types) {
        // The user's (or the system's) chosen default comes first...
        for (const MimeAppsList& list : lists)
            for (const QString& id : list.Defaults(type))
                if (const QString command = applicationCommand(id); !command.isEmpty())
                    return command;
        // ...then the applications that declare the type, less those a more important
        // list removed.
        QSet<QString> removed;
        for (const MimeAppsList& list : lists) {
            for (const QString& id : list.Added(type))
                if (!removed.contains(id))
                    if (const QString command = applicationCommand(id); !command.isEmpty())
                        return command;
            for (const QString& id : list.Removed(type))
                removed.insert(id);
        }
        for (const MimeAppsList& cache : caches)
            for (const QString& id : cache.Added(type))
                if (!removed.contains(id))
                    if (const QString command = applicationCommand(id); !command.isEmpty())
                        return command;
    }
    return QString();
}
