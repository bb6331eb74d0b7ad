#include "TooltipErrors.h"

namespace {
QString reasonClause(int number, const QString& detail)
{
    switch (number) {
    case TooltipErr::NotOpen:
        return QStringLiteral("the comment database is not open");
    case TooltipErr::DiskFull:
        return QStringLiteral("the disk holding the comment database is full");
    case TooltipErr::UpdateWithoutEdit:
        return QStringLiteral("no comment is being added or edited");
    case TooltipErr::NoCurrentRecord:
        return QStringLiteral("there is no current comment");
    case TooltipErr::FileNotFound:
        return QStringLiteral("the comment database %1 does not exist").arg(detail);
    case TooltipErr::ReadOnly:
        return QStringLiteral("the comment database is read-only");
    case TooltipErr::CannotRead:
        return QStringLiteral("the comment database %1 cannot be read").arg(detail);
    case TooltipErr::Corrupt:
        return QStringLiteral("the comment database is damaged");
    case TooltipErr::TableMissing:
        return QStringLiteral("the comment database %1 has no comment table").arg(detail);
    case TooltipErr::RecordDeleted:
        return QStringLiteral("the comment was changed or deleted meanwhile by another copy of the program");
    case TooltipErr::Locked:
        return QStringLiteral("the comment database is locked by another program");
    case TooltipErr::ItemNotFound:
        return QStringLiteral("the comment table has no field %1").arg(detail);
    case TooltipErr::NotADatabase:
        return QStringLiteral("the file %1 is not a comment database").arg(detail);
    default:
        return QStringLiteral("the comment database reported an error (%1)").arg(detail);
    }
}
}

AppError TooltipError(int number, const QString& detail)
{
    QString sentence = reasonClause(number, detail);
    sentence[0] = sentence[0].toUpper();
    return AppError(number, QStringLiteral("TooltipStore"), sentence + QLatin1Char('.'));
}

QString TooltipErrorReason(const AppError& error)
{
    // Every store description is a clause with its first letter raised and a full stop
    // added (see TooltipError), so the clause comes back by undoing exactly that.
    QString clause = error.Description();
    if (clause.endsWith(QLatin1Char('.')))
        clause.chop(1);
    if (!clause.isEmpty())
        clause[0] = clause[0].toLower();
    return clause;
}
