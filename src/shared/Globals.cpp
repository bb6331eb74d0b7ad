#include "Globals.h"
#include "IDialogs.h"

#include <QFile>
#include <QHash>

namespace {
QHash<int, QString> readStringTable()
{
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab > 0)
            table.insert(line.left(tab).toInt(), QString::fromUtf8(line.mid(tab + 1)));
    }
    return table;
}
}

QString LoadResString(int id)
{
    // The table is compiled in and never changes, so it is read once.
    static const QHash<int, QString> table = readStringTable();
    return table.value(id);
}

void Globals::ShowError(const QString& sMsg)
{
    m_dialogs.MsgBox(sMsg, IDialogs::vbExclamation, LoadResString(ResId::AppTitle));
}
