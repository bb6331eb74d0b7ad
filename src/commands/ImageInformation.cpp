#include "ImageInformation.h"
#include "Globals.h"
#include "IControlBounds.h"
#include "IDialogs.h"
#include "Units.h"

ImageInformation::ImageInformation(Globals& globals, const IScaleForm& form) : m_globals(globals), m_form(form) {}

QString ImageInformation::Message(double pictureWidth, double pictureHeight) const
{
    // Whole HIMETRIC units first, then whole pixels, each to the nearest (halves to even).
    const auto toPixels = [](double himetric, auto convert) {
        return Units::RoundHalfEven(convert(double(Units::RoundHalfEven(himetric)), Units::Himetric, Units::Pixels));
    };
    const long long height = toPixels(pictureHeight, [this](double v, int from, int to) { return m_form.ScaleY(v, from, to); });
    const long long width = toPixels(pictureWidth, [this](double v, int from, int to) { return m_form.ScaleX(v, from, to); });
    return QStringLiteral("Height = %1  Width = %2").arg(height).arg(width);
}

void ImageInformation::mnuImgInfo_Click(const QString& sCurrentFile, double pictureWidth, double pictureHeight)
{
    if (sCurrentFile.isEmpty()) {
        m_globals.ShowError(QStringLiteral("You must select an image !"));
        return;
    }
    // No title of its own: the box carries the application's title.
    m_globals.Dialogs().MsgBox(Message(pictureWidth, pictureHeight), IDialogs::vbOKOnly, QString());
}
