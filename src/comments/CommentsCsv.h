#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

class TooltipStore;

// The comment table as a CSV file (RFC 4180, UTF-8, header "Path,Tooltip"), to back the
// comments up or take them to another machine. The command line's --export-comments and
// --import-comments run it over the store beside the program; tests over any store.
// Every failure (unreadable or malformed file, store refusing a row) throws AppError.
class CommentsCsv {
public:
    struct ImportCount {
        int added = 0;
        int skipped = 0;  // rows the store already held with the same Path and Tooltip, or empty ones
    };

    // Writes every row, in the store's order, to sFile (replaced whole only once written);
    // a field without a value is written empty. Returns the number of rows written.
    static int Export(TooltipStore& store, const QString& sFile);
    // Adds each row of sFile that the store does not hold yet; never replaces or doubles one.
    static ImportCount Import(TooltipStore& store, const QString& sFile);

    // The command line's --export-comments FILE / --import-comments FILE: opens the store
    // in sStoreFolder, runs Export or Import and returns the process's exit code (0, or 1
    // when it failed; a failed import adds nothing), with the one line to print in
    // sMessage (to standard output on success, else to standard error).
    enum class Mode { Export, Import };
    static int Run(Mode mode, const QString& sStoreFolder, const QString& sFile, QString& sMessage);

    // The text of a CSV file and back; Parse throws AppError on a malformed text.
    static QByteArray Format(const QVector<QStringList>& records);
    static QVector<QStringList> Parse(const QByteArray& bytes);
};
