#pragma once
#include "IDialogs.h"

#include <QQueue>
#include <QVector>

// A dialogs implementation for tests: records every call and answers from queues.
// An empty queue answers OK for a message box and "" (cancel) for a prompt.
class ScriptedDialogs : public IDialogs {
public:
    struct Call {
        QString kind;  // "MsgBox" or "InputBox"
        QString text;  // message text or prompt
        int style = 0;
        QString title;
        QString defaultText;
    };

    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

    void queueMsgBoxAnswer(int answer) { m_msgAnswers.enqueue(answer); }
    void queueInputAnswer(const QString& answer) { m_inputAnswers.enqueue(answer); }

    const QVector<Call>& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

private:
    QVector<Call> m_calls;
    QQueue<int> m_msgAnswers;
    QQueue<QString> m_inputAnswers;
};
