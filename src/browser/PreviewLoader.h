#pragma once
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

    // Shows `picture` (whose header was just read) in the box and starts its decode.
    void Show(const Picture& picture, QSize coverBox);
    PictureDecoder& Decoder() const { return *m_decoder; }

private:
    PictureBox& m_box;
    PictureDecoder* m_decoder;
};
