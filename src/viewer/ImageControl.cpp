#include "ImageControl.h"
#include "PictureBox.h"

ImageControl::ImageControl(PictureBox* box, const FormScale& scale) : m_box(box), m_bounds(box, scale) {}

long ImageControl::PictureWidthHimetric() const { return m_box->GetPicture().Width(); }
long ImageControl::PictureHeightHimetric() const { return m_box->GetPicture().Height(); }
