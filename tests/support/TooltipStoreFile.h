#pragma once
#include "Sql.h"
#include "TooltipStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QtGlobal>

#include <optional>

using Text = std::optional<QString>;

// sFolder/Tooltips.mdb made with the schema file the build uses (TESSEL_TOOLTIP_SCHEMA_FILE).
inline QString CreateStore(const QString& sFolder)
{
    QFile schema(QStringLiteral(TESSEL_TOOLTIP_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", TESSEL_TOOLTIP_SCHEMA_FILE);
    const QString sql = QString::fromUtf8(schema.readAll()).remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    const QString file = sFolder + QStringLiteral("/Tooltips.mdb");
    Sql(file, sql.split(QRegularExpression(QStringLiteral(";\\s*")), Qt::SkipEmptyParts));
    return file;
}

inline QStringList AllRows(const QString& sFile)  // "Path|Tooltip", rowid order
{
    return Sql(sFile, {QStringLiteral("SELECT Path || '|' || Tooltip FROM tblTooltip ORDER BY rowid")});
}

// A comment added the way the New command adds it.
inline void AddComment(TooltipStore& store, const QString& sPath, const QString& sText)
{
    store.AddNew();
    store.SetField(QStringLiteral("Path"), sPath);
    store.SetField(QStringLiteral("Tooltip"), sText);
    store.Update();
}
