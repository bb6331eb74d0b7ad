#include "PictureControl.h"
#include "ControlAdapter.h"
#include "PictureBox.h"

double PictureControl::Left() const { return m_bounds.Left(); }
double PictureControl::Top() const { return m_bounds.Top(); }
double PictureControl::Width() const { return m_bounds.Width(); }
double PictureControl::Height() const { return m_bounds.Height(); }
void PictureControl::SetLeft(double v) { m_bounds.SetLeft(v); }
void PictureControl::SetTop(double v) { m_bounds.SetTop(v); }
void PictureControl::SetWidth(double v) { m_bounds.SetWidth(v); }
void PictureControl::SetHeight(double v) { m_bounds.SetHeight(v); }
long PictureControl::PictureWidthHimetric() const { return m_box.GetPicture().Width(); }
long PictureControl::PictureHeightHimetric() const { return m_box.GetPicture().Height(); }
