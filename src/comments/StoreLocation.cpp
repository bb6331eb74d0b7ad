#include "StoreLocation.h"
#include "TooltipStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool present(const QString& file)
{
    // A dangling link is still the user's; it is never replaced.
    const QFileInfo info(file);
    return info.exists() || info.isSymLink();
}

} // namespace

QString StoreLocation::InstalledTemplate(const QString& exeFolder)
{
    return QDir::cleanPath(exeFolder + QStringLiteral("/../share/tessel/") + TooltipStore::FileName());
}

QString StoreLocation::Folder(const QString& exeFolder, const QString& dataHome)
{
    if (present(exeFolder + QLatin1Char('/') + TooltipStore::FileName()))
        return exeFolder;
    // Without a data home (no HOME either) there is no user's store; "/tessel" is not one.
    if (dataHome.isEmpty())
        return exeFolder;
    const QString userFolder = dataHome + QStringLiteral("/tessel");
    const QString userStore = userFolder + QLatin1Char('/') + TooltipStore::FileName();
    if (present(userStore))
        return userFolder;
    const QString installed = InstalledTemplate(exeFolder);
    if (QFileInfo(installed).isFile() && QDir().mkpath(userFolder))
        copyWithoutReplacing(installed, userStore);
    return userFolder;
}

bool StoreLocation::copyWithoutReplacing(const QString& from, const QString& to)
{
    // Copied whole under a temporary name beside the target, then given the target's name
    // only if that is still free: a store another start made meanwhile is kept.
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QTemporaryFile partial(to + QStringLiteral(".XXXXXX.partial"));
    if (!partial.open())
        return false;
    const QByteArray bytes = source.readAll();
    if (partial.write(bytes) != bytes.size() || !partial.flush() || ::fsync(partial.handle()) != 0)
        return false;
    const QByteArray tmpName = QFile::encodeName(partial.fileName());
    const QByteArray target = QFile::encodeName(to);
    int renamed = ::renameat2(AT_FDCWD, tmpName.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace rename: a hard link fails as well when
        // the name is taken.
        renamed = ::link(tmpName.constData(), target.constData());
    }
    // The temporary name goes with `partial` (after a rename there is nothing left to remove).
    return renamed == 0;
}
