#include "PathNames.h"

#include <QFile>

QString JoinPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

bool IsLossilyDecodedName(const QString& name)
{
    return name.contains(QChar(QChar::ReplacementCharacter)) || QFile::encodeName(name).contains('\0');
}
