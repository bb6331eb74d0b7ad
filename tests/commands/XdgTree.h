#pragma once
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// A private set of freedesktop folders: config (XDG_CONFIG_HOME), etcxdg
// (XDG_CONFIG_DIRS), data (XDG_DATA_HOME), sysdata plus a link to the system's shared
// MIME database (XDG_DATA_DIRS), so association lookups see only what a test wrote.
// Build one in initTestCase; it points the environment at itself.
struct XdgTree {
    QTemporaryDir dir;
    bool ready = false;

    XdgTree()
    {
        // Found once, before any tree moves the environment away; Qt depends on it.
        static const QString mime = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                           QStringLiteral("mime"), QStandardPaths::LocateDirectory);
        if (mime.isEmpty() || !dir.isValid())
            return;
        for (const char* sub : {"config", "etcxdg", "data/applications", "sysdata/applications", "mimedata", "bin"})
            QDir().mkpath(at(QLatin1String(sub)));
        QFile::link(mime, at(QStringLiteral("mimedata/mime")));
        const auto point = [this](const char* variable, const QString& rel) {
            qputenv(variable, QFile::encodeName(at(rel)));
        };
        point("HOME", QStringLiteral("home"));
        point("XDG_CONFIG_HOME", QStringLiteral("config"));
        point("XDG_CONFIG_DIRS", QStringLiteral("etcxdg"));
        point("XDG_DATA_HOME", QStringLiteral("data"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(at(QStringLiteral("sysdata")) + ':' + at(QStringLiteral("mimedata"))));
        qunsetenv("XDG_CURRENT_DESKTOP");
        qputenv("LC_ALL", "de_DE.UTF-8");
        ready = true;
    }

    QString at(const QString& rel) const { return dir.path() + QLatin1Char('/') + rel; }

    void write(const QString& rel, const QString& text) const
    {
        QDir().mkpath(QFileInfo(at(rel)).absolutePath());
        QFile file(at(rel));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    void application(const QString& rel, const QString& exec, const QString& extra = QString()) const
    {
        write(rel, QStringLiteral("[Desktop Entry]\nType=Application\nName=App\nExec=%1\n%2").arg(exec, extra));
    }

    // The associations the association and edit tests share.
    void writeStandardAssociations() const
    {
        write(QStringLiteral("config/mimeapps.list"),
              QStringLiteral("# the user's choices\n[Default Applications]\n"
                             "image/jpeg=gone.desktop;quoted.desktop;\nimage/png = vendor-unquoted.desktop\n"
                             "image/gif=twice.desktop\nimage/tiff=percent.desktop\nimage/x-xpixmap=fields.desktop\n"
                             "image/vnd.microsoft.icon=hidden.desktop;shadowed.desktop;\nimage/x-tga=long.desktop\n"
                             "image/vnd.adobe.photoshop=selfnamed.desktop\n"
                             "[Added Associations]\ntext/plain=added.desktop;\n"
                             "[Removed Associations]\ntext/plain=removed.desktop;\n"));
        write(QStringLiteral("etcxdg/mimeapps.list"), QStringLiteral("[Default Applications]\nimage/jpeg=other.desktop\n"));
        write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
              QStringLiteral("[MIME Cache]\ntext/plain=removed.desktop;cached.desktop;\n"));
        const struct { const char* rel; QString exec; const char* extra; } apps[] = {
            {"data/applications/quoted.desktop", QStringLiteral("viewer \"%f\""), ""},
            {"sysdata/applications/other.desktop", QStringLiteral("other %f"), ""},
            {"sysdata/applications/vendor/unquoted.desktop", QStringLiteral("\"/opt/my viewer/bin/view\" --open %U"), ""},
            {"data/applications/twice.desktop", QStringLiteral("compare %f --again=%f"), ""},
            {"data/applications/percent.desktop", QStringLiteral("printf 100%% %F"), ""},
            {"data/applications/fields.desktop", QStringLiteral("painter %i %c %k %d %f"),
             "Name[de]=Maler\nIcon=painter-icon\n"},
            {"data/applications/hidden.desktop", QStringLiteral("hidden %f"), "Hidden=true\n"},
            {"data/applications/shadowed.desktop", QStringLiteral("shadow-user %f"), ""},
            {"sysdata/applications/shadowed.desktop", QStringLiteral("shadow-system %f"), ""},
            {"data/applications/long.desktop", QStringLiteral("tool %1 %f").arg(QString(300, QLatin1Char('x'))), ""},
            {"data/applications/selfnamed.desktop", QStringLiteral("%f --flag"), ""},
            {"data/applications/removed.desktop", QStringLiteral("removed %f"), ""},
            {"sysdata/applications/cached.desktop", QStringLiteral("cached-editor %u"), ""},
        };
        for (const auto& app : apps)
            application(QLatin1String(app.rel), app.exec, QLatin1String(app.extra));
        write(QStringLiteral("data/applications/added.desktop"), QStringLiteral("[Desktop Entry]\nType=Link\nURL=x\n"));
    }
};
