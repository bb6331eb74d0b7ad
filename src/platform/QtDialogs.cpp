#include "QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QString titleOrDefault(const QString& title) { return title.isEmpty() ? ApplicationTitle() : title; }
}

int QtDialogs::MsgBox(const QString& text, int style, const QString& title)
{
    const int buttons = style & 0x0F;
    const int icon = style & 0xF0;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(titleOrDefault(title));
    box.setText(text);
    switch (icon) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (buttons == 1) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), titleOrDefault(title),
                                               prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}
