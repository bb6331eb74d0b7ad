#pragma once
#include "AppError.h"
#include "TooltipStore.h"

#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>

// The fixed sequence of comment commands that comment_writer runs and test_crash_safety
// checks against. Command n acts on image n / 4 only, in four phases, so the rows the
// store must hold after any number of completed commands follow from that number alone:
//   0  New comment      Path = OldPath(i), Tooltip = Tip(i, 0)
//   1  Edit             Tooltip = Tip(i, 1)
//   2  Rename re-key    Path = NewPath(i)
//   3  Delete (even i)  the row goes; odd i: Edit again, Tooltip = Tip(i, 2)
// Every command changes its image's row, so "committed or not" is always visible.
namespace CommentScript {

using Row = QPair<QString, QString>;  // Path, Tooltip

// Keys in the spirit of real ones: the quote and the semicolon would break a spliced query.
inline QString OldPath(int image) { return QStringLiteral("/pics/shot \"%1\";.jpg").arg(image); }
inline QString NewPath(int image) { return QStringLiteral("/pics/renamed/shot-%1.jpg").arg(image); }
inline QString Tip(int image, int version)
{
    return QStringLiteral("comment %1 v%2 ").arg(image).arg(version) + QString(image % 7 * 10, QLatin1Char('x'));
}

// Runs command n the way the comment commands and the rename do.
inline void Run(TooltipStore& store, qint64 command)
{
    const int image = int(command / 4), phase = int(command % 4);
    // Edit and Delete act on the current row (without one they throw 3021); the re-key finds its own.
    if (phase == 1 || phase == 3)
        store.Lookup(phase == 3 ? NewPath(image) : OldPath(image));
    if (phase == 2) {
        UpdateTooltipPath(store, OldPath(image), NewPath(image));
        return;
    }
    if (phase == 3 && image % 2 == 0) {
        store.Delete();
        return;
    }
    if (phase == 0) {
        store.AddNew();
        store.SetField(QStringLiteral("Path"), OldPath(image));
    } else {
        store.Edit();
    }
    store.SetField(QStringLiteral("Tooltip"), Tip(image, phase == 0 ? 0 : phase == 1 ? 1 : 2));
    store.Update();
}

// Every row the store holds once commands 0 .. committed-1 have committed, sorted.
inline QList<Row> RowsAfter(qint64 committed)
{
    QList<Row> rows;
    for (int image = 0; qint64(image) * 4 < committed; ++image) {
        const qint64 done = std::min<qint64>(committed - qint64(image) * 4, 4);
        if (done < 3)
            rows.push_back(Row(OldPath(image), Tip(image, int(done) - 1)));
        else if (done == 3 || image % 2 == 1)
            rows.push_back(Row(NewPath(image), Tip(image, int(done) - 2)));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace CommentScript
