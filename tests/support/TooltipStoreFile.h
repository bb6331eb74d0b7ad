#pragma once
#include "Sql.h"
#include "TooltipStore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtGlobal>

#include <optional>

using Text = std::optional<QString>;

// sFolder/Tooltips.mdb made with the schema file the build uses (TESSEL_TOOLTIP_SCHEMA_FILE);
// the folder is made first if need be.
inline QString CreateStore(const QString& sFolder)
{
    QDir().mkpath(sFolder);
    QFile schema(QStringLiteral(TESSEL_TOOLTIP_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", TESSEL_TOOLTIP_SCHEMA_FILE);
    const QString sql = QString::fromUtf8(schema.readAll()).remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    const QString file = sFolder + QStringLiteral("/Tooltips.mdb");
    Sql(file, sql.split(QRegularExpression(QStringLiteral(";\\s*")), Qt::SkipEmptyParts));
    return file;
}

// A store CreateStore makes in sFolder, opened (over `files` when given).
struct OpenedStore {
    QString file;
    TooltipStore store;
    explicit OpenedStore(const QString& sFolder, std::shared_ptr<IFileComment> files = {}) : file(CreateStore(sFolder))
    {
        if (files)
            store.SetFileComment(std::move(files));
        store.Open(sFolder);
    }
};

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

// The current comment's text changed the way the Edit command changes it.
inline void EditComment(TooltipStore& store, const QString& sText)
{
    store.Edit();
    store.SetField(QStringLiteral("Tooltip"), sText);
    store.Update();
}
