#pragma once
#include "FileOperations.h"

#include <QHash>
#include <QVector>

#include <functional>

// The real file operations with scripted faults, for tests: a rename can be made to
// answer EXDEV so that the copying move runs on one file system, and any step of it (or
// the trash) can be made to fail with a chosen errno. Steps not told to fail run the
// real code, so a test sees exactly what the program would leave on the disk.
class ScriptedFileOperations : public FileOperations {
public:
    enum class Step {
        Rename,           // the one-step rename within a file system
        CreateTemporary,  // the hidden copy in the target folder
        CopyContents,     // fails after the real copy, so the temporary holds the bytes
        SyncFile,         // fails after the real fsync
        PlaceTemporary,   // the copy's rename to the new name
        SyncFolder,       // the target folder's fsync after the copy is in place
        RemoveSource,
        Trash,
    };

    // As if source and target lay on two file systems: the rename answers EXDEV.
    void SimulateCrossDevice(bool on) { m_crossDevice = on; }
    // Every later run of `step` fails with `err` until ClearFailures().
    void FailAt(Step step, int err) { m_failures.insert(step, err); }
    void ClearFailures() { m_failures.clear(); }
    // Runs `action` each time `step` has done its real work (CopyContents, SyncFile,
    // PlaceTemporary, SyncFolder): another program acting on the files mid-move.
    void AfterStep(Step step, std::function<void()> action) { m_actions.insert(step, std::move(action)); }

    // The steps run so far, in order (also the failed ones).
    const QVector<Step>& StepsRun() const { return m_steps; }
    void ClearSteps() { m_steps.clear(); }
    // The last temporary created (encoded path), empty when none was.
    const QByteArray& LastTemporary() const { return m_lastTemporary; }

protected:
    int renameInPlace(const QByteArray& from, const QByteArray& to) override;
    int createTemporary(const QByteArray& folder, int& fd, QByteArray& tempPath) override;
    int copyContents(int fromFd, int toFd) override;
    int syncFile(int fd) override;
    int placeTemporary(const QByteArray& tempPath, const QByteArray& to) override;
    int syncFolder(const QByteArray& folder) override;
    int removeSource(int folderFd, const QByteArray& name) override;
    void trashFile(const QString& path) override;

private:
    // Records the step; returns the injected errno or 0.
    int enter(Step step);
    // Runs the action set for the step, if any.
    void leave(Step step);

    bool m_crossDevice = false;
    QHash<Step, int> m_failures;
    QHash<Step, std::function<void()>> m_actions;
    QVector<Step> m_steps;
    QByteArray m_lastTemporary;
};
