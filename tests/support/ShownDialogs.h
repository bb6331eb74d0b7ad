#pragma once
#include "ScriptedDialogs.h"

#include <QStringList>

// Every box the scripted dialogs showed, one line each: "kind|text|style|title|default".
inline QStringList Shown(const ScriptedDialogs& dialogs)
{
    QStringList boxes;
    for (const ScriptedDialogs::Call& c : dialogs.calls())
        boxes << QStringList{c.kind, c.text, QString::number(c.style), c.title, c.defaultText}.join(QLatin1Char('|'));
    return boxes;
}

// The program's error box as Shown lists it: OK with the exclamation icon, the program's title.
inline QString ErrorBox(const QString& text)
{
    return QStringLiteral("MsgBox|%1|48|Images Browser and Viewer|").arg(text);
}
