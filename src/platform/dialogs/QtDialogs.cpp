#include "QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <limits>

namespace {
QString titleOrDefault(const QString& title) { return title.isEmpty() ? ApplicationTitle() : title; }

// The text as rich text in which every path stands whole on a line of its own: plain text
// breaks a long path at any "/", and a path split over lines is easily misread. Markup in
// the text (a file name may hold "<b>") shows as typed.
QString withPathsUnbroken(const QString& text)
{
    const auto paragraph = [](const QStringList& words, bool unbroken) {
        return QStringLiteral("<p style=\"margin:0;%1\">%2</p>")
            .arg(unbroken ? QStringLiteral(" white-space:pre") : QString(), words.join(QLatin1Char(' ')).toHtmlEscaped());
    };
    QString html;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QStringList words;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            if (!word.contains(QLatin1Char('/'))) {
                words << word;
                continue;
            }
            if (!words.isEmpty())
                html += paragraph(words, false);
            html += paragraph({word}, true);
            words.clear();
        }
        if (!words.isEmpty() || line.isEmpty())
            html += paragraph(words, false);
    }
    return html;
}
}

int QtDialogs::MsgBox(const QString& text, int style, const QString& title)
{
    const int buttons = style & ButtonsMask;
    const int icon = style & IconMask;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(titleOrDefault(title));
    box.setTextFormat(Qt::RichText);
    box.setText(withPathsUnbroken(text));
    switch (icon) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == vbOKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // A line edit keeps at most 32,767 characters unless told otherwise, and cuts a longer
    // default or paste without a word; a comment is kept whole, however long.
    if (QLineEdit* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(std::numeric_limits<int>::max());
    dialog.setTextValue(defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}
