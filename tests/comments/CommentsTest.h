#pragma once
#include "AppError.h"
#include "TooltipStore.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using Text = std::optional<QString>;

// Comment databases for the tests, made with the schema file the build uses and read
// over a connection of their own, not through the code under test.
QString CreateStore(const QString& sFolder);  // sFolder/Tooltips.mdb with the table
void Exec(const QString& sFile, const QStringList& statements);
QStringList Query(const QString& sFile, const QString& sql);  // columns joined by "|"
QStringList AllRows(const QString& sFile);                    // "Path|Tooltip", rowid order
QByteArray Contents(const QString& sFile);
void WriteFile(const QString& sFile, const QByteArray& bytes);
QStringList EntriesOf(const QString& sFolder);

// A comment added the way the New command adds it.
void AddComment(TooltipStore& store, const QString& sPath, const QString& sText);
// The AppError number a call throws, 0 when it returns.
int ErrorOf(const std::function<void()>& call);

inline const QByteArray kJetHeader("\x00\x01\x00\x00Standard Jet DB\x00", 20);

class CommentsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_temp;
    QString m_awkwardFolder;  // a store with a comment for each awkward key

private Q_SLOTS:
    void initTestCase();

    // TooltipStore and its SQLite file
    void keysAreMatchedExactly_data();
    void keysAreMatchedExactly();
    void unusableFilesAreNotOpened_data();
    void unusableFilesAreNotOpened();
    void readOnlyStoreShowsButRefuses_data();
    void readOnlyStoreShowsButRefuses();
    void recordsetFollowsTheFirstRow_data();
    void recordsetFollowsTheFirstRow();
    void rekeyingMovesOnlyTheFirstRow_data();
    void rekeyingMovesOnlyTheFirstRow();
    void twoCopiesShareTheFile();
    void busyStoreIsWaitedForThenReported();
    void buildCreatesStoreOnlyWhenMissing();

    // CommentCommands
    void newTooltip_data();
    void newTooltip();
    void editTooltip_data();
    void editTooltip();
    void deleteTooltip_data();
    void deleteTooltip();
    void refusedChanges_data();
    void refusedChanges();
};
