#include "ScriptedDialogs.h"

int ScriptedDialogs::MsgBox(const QString& text, int style, const QString& title)
{
    m_calls.push_back({QStringLiteral("MsgBox"), text, style, title, QString()});
    return m_msgAnswers.isEmpty() ? vbOK : m_msgAnswers.dequeue();
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText)
{
    m_calls.push_back({QStringLiteral("InputBox"), prompt, 0, title, defaultText});
    return m_inputAnswers.isEmpty() ? QString() : m_inputAnswers.dequeue();
}
