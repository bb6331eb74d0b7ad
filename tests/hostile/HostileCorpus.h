#pragma once
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>


// A folder of files made to break a picture browser: damaged and empty pictures, headers
// that claim gigapixels, names no shell or query should see unquoted, names that are not
// UTF-8, and things that are not files at all but carry a picture's extension. Build one
// in a fresh folder; Listed says what the file list must offer and what each entry does.
class HostileCorpus {
public:
    // What selecting an entry does. Preview: the header reads, so the preview takes the
    // picture and the caption its size. Viewer: the pixels decode too, so the full-screen
    // viewer shows it; otherwise it reports "Unable to Open " and the path, and closes.
    struct Entry {
        QByteArray name;  // as on disk: raw bytes
        bool preview = false;
        bool viewer = false;
        QSize size;       // pixel size the caption shows when the preview takes it
        const char* why = "";
    };

    explicit HostileCorpus(const QString& folder);

    const QString& Folder() const { return m_folder; }
    const QList<Entry>& Listed() const { return m_listed; }
    // The entry behind a name as the list shows it (lossily decoded names share one).
    const Entry* Find(const QString& shownName) const;
    // FIFOs in the corpus, which nothing may ever open for reading.
    const QList<QByteArray>& Fifos() const { return m_fifos; }
    // The folder whose sub-folder "a/b" leads back to it.
    QString LoopFolder() const { return m_folder + QStringLiteral("/loop"); }

    static QString Decoded(const QByteArray& rawName);
    static QByteArray Jpeg(QSize size, QColor colour = Qt::darkCyan);
    static QByteArray Bmp(QSize size, QColor colour = Qt::darkGreen);
    // A GIF written by hand (nothing in Qt writes one): one frame of `frame` pixels on a
    // logical screen of `screen` pixels.
    static QByteArray Gif(QSize screen, QSize frame);
    static void WriteRaw(const QByteArray& path, const QByteArray& contents);
    static QByteArray ReadRaw(const QByteArray& path);
    static bool MakeFifo(const QByteArray& path);

private:
    void add(const QByteArray& name, const QByteArray& contents, bool preview, bool viewer, QSize size,
             const char* why);

    QString m_folder;
    QList<Entry> m_listed;
    QList<QByteArray> m_fifos;
};
