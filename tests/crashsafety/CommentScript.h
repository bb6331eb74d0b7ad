#pragma once
#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>
#include <optional>

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

inline int ImageOf(qint64 command) { return int(command / 4); }
inline int PhaseOf(qint64 command) { return int(command % 4); }

// Keys in the spirit of real ones: the quote and the semicolon would break a spliced query.
inline QString OldPath(int image)
{
    return QStringLiteral("/pics/shot \"%1\";.jpg").arg(image);
}
inline QString NewPath(int image)
{
    return QStringLiteral("/pics/renamed/shot-%1.jpg").arg(image);
}
inline QString Tip(int image, int version)
{
    return QStringLiteral("comment %1 v%2 ").arg(image).arg(version) + QString(image % 7 * 10, QLatin1Char('x'));
}

// The row of `image` once its first `phasesDone` commands (0..4) have committed.
inline std::optional<Row> RowAfter(int image, int phasesDone)
{
    switch (phasesDone) {
    case 0: return std::nullopt;
    case 1: return Row(OldPath(image), Tip(image, 0));
    case 2: return Row(OldPath(image), Tip(image, 1));
    case 3: return Row(NewPath(image), Tip(image, 1));
    default:
        if (image % 2 == 0)
            return std::nullopt;
        return Row(NewPath(image), Tip(image, 2));
    }
}

// Every row the store holds once commands 0 .. committed-1 have committed, sorted.
inline QList<Row> RowsAfter(qint64 committed)
{
    QList<Row> rows;
    const int images = ImageOf(committed + 3);
    for (int image = 0; image < images; ++image) {
        const qint64 done = std::clamp<qint64>(committed - qint64(image) * 4, 0, 4);
        if (const std::optional<Row> row = RowAfter(image, int(done)))
            rows.push_back(*row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace CommentScript
