#pragma once
#include <QString>

class Globals;
class IScaleForm;

// "Image Information": tells the size in screen pixels of the picture in the preview. The
// picture lives in the main window, so its HIMETRIC size is handed in together with the
// window's scale conversions. Create one per main window over its Globals and scale.
class ImageInformation {
public:
    ImageInformation(Globals& globals, const IScaleForm& form);

    // Shows "Height = H  Width = W"; with no image chosen yet, the shared error box.
    void mnuImgInfo_Click(const QString& sCurrentFile, double pictureWidth, double pictureHeight);
    // The message for a picture of the given HIMETRIC size.
    QString Message(double pictureWidth, double pictureHeight) const;

private:
    Globals& m_globals;
    const IScaleForm& m_form;
};
