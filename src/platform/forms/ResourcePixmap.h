#pragma once
#include <QPixmap>
#include <QString>

// Reads a PNG compiled into the program (an icon, a cursor) with the built-in PNG reader
// alone. Left to guess, the image reader first loads every image plugin installed to ask
// whether it reads PNG, which costs a start-up milliseconds before its first frame. A
// null pixmap when there is no such resource.
QPixmap ResourcePixmap(const QString& path);
