#pragma once
#include "AppError.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FileListView.h"
#include "Globals.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileOperations.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <memory>

// A folder "pics" of up to five images a.jpg .. e.jpg (each holding its own name), an
// empty folder "other", a private home with its trash, and the file commands over the
// real file list, scripted dialogs and the real file operations with scripted faults.
struct CommandsRig {
    static inline const QString Title = QStringLiteral("Images Browser and Viewer");
    QTemporaryDir tmp;
    ScriptedFileSystem fs;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    ScriptedFileOperations ops;
    std::unique_ptr<FileList> list;
    std::unique_ptr<FileListView> view;
    std::unique_ptr<FileCommands> commands;
    QVector<QPair<QString, QString>> rekeys;
    bool rekeyFails = false;

    explicit CommandsRig(int files = 5)
    {
        qputenv("HOME", QFile::encodeName(at("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(at("home/data")));
        TestFiles::makeDir(at("pics/sub"));
        TestFiles::makeDir(at("other"));
        for (int i = 0; i < files; ++i)
            TestFiles::write(at(QStringLiteral("pics/%1.jpg").arg(QChar('a' + i))), QByteArray(1, char('a' + i)) + ".jpg");
        list = std::make_unique<FileList>(fs, at("pics"));
        list->SetPattern(QStringLiteral("*.jpg"));
        view = std::make_unique<FileListView>(*list);
        commands = std::make_unique<FileCommands>(*view, globals, ops, fs, [this](const QString& o, const QString& n) {
            rekeys.push_back({o, n});
            if (rekeyFails)
                throw AppError(3000, QStringLiteral("TooltipStore"), QStringLiteral("The store is locked"));
        });
    }

    QString at(const QString& rel) const { return tmp.path() + QLatin1Char('/') + rel; }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The shared error box: the text, OK with the exclamation icon, the program's title.
    static void verifyError(const ScriptedDialogs::Call& call, const QString& text)
    {
        QCOMPARE(call.text, text);
        QCOMPARE(call.style, 48);
        QCOMPARE(call.title, Title);
    }
};
