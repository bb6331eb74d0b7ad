#pragma once
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <functional>

// Runs SQL over a connection of the test's own, not through the code under test, and
// returns the first column of the last statement's rows. `whileOpen` runs before the
// connection closes, which rolls back a transaction left open. One caller at a time.
inline QStringList Sql(const QString& sFile, const QStringList& statements, const std::function<void()>& whileOpen = {})
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(sFile);
        db.open();  // a failure shows in the first statement
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            for (rows.clear(); query.next();)
                rows << query.value(0).toString();
        }
        if (whileOpen)
            whileOpen();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return rows;
}
