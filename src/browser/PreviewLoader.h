#pragma once
#include <QImage>
#include <QObject>
#include <QSize>

class Picture;
class PictureBox;
class PictureDecoder;

// Brings a preview's pixels in without holding up a selection: the camera's embedded
// thumbnail at once when there is one, then a decode on a worker thread at the size that
// covers the screen (so a later pane resize never needs the file again). Only the latest
// picture's pixels are ever shown. One per preview control.
class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(PictureBox& box, QObject* parent = nullptr);
    ~PreviewLoader() override;

    // Shows `picture` (whose header was just read) in the box with `thumbnail` (the
    // camera's, or none) until its decode arrives, and starts that decode, or, with
    // decodeNow false, keeps it pending until Resume (while the full-screen viewer decodes
    // the same file, a second decode would only slow its step down).
    void Show(const Picture& picture, const QImage& thumbnail, QSize coverBox, bool decodeNow = true);
    // Completes a pending preview: with the viewer's pixels of the same file when it
    // hands them over, otherwise by decoding now.
    void Resume(const QString& path = QString(), const QImage& pixels = QImage());
    PictureDecoder& Decoder() const { return *m_decoder; }

private:
    PictureBox& m_box;
    PictureDecoder* m_decoder;
    QString m_pendingPath;
    QSize m_pendingCover;
};
