#pragma once
#include <QString>

#include <functional>

// Comment re-keys that could not be written when their image was renamed or moved (another
// program held the comment database locked), kept in a file until the store takes them,
// so that a comment follows its image even then. TooltipStore keeps one over DefaultFile();
// construct one over any other file to read or fill it.
//
// One line per re-key, appended whole and synced to disk before Append returns. A line cut
// short by a crash is skipped, and costs no complete line before or after it. Running
// copies of the program share the file: every change to it is made under a lock file
// beside it.
class RekeyJournal {
public:
    struct Entry {
        QString store;  // the comment database's canonical path: entries of other stores are left alone
        QString oldPath;
        QString newPath;
    };

    // "$XDG_DATA_HOME/tessel/comment-rekeys.journal", the user's own: it is written exactly
    // when the store is not, so it does not live beside the store. Empty when the user has
    // no data folder.
    static QString DefaultFile();

    explicit RekeyJournal(QString file);
    const QString& File() const { return m_file; }

    // Adds an entry after every earlier one; it is on disk when the call returns. Throws
    // AppError when the file cannot be written.
    void Append(const Entry& entry);

    // Hands the entries of `store` to `apply`, oldest first, and removes each one that it
    // returns true for; the first false or exception stops there and keeps that entry and
    // all later ones. Returns whether entries of `store` remain: also true when another
    // copy of the program is working on the file at this moment. Never throws.
    bool Apply(const QString& store, const std::function<bool(const Entry&)>& apply);

private:
    QString m_file;
};
