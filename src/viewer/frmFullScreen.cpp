#include "frmFullScreen.h"
#include "AppError.h"
#include "CRect.h"
#include "ControlAdapter.h"
#include "FormSurface.h"
#include "IDialogs.h"
#include "PictureControl.h"
#include "KeyCodes.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PictureFit.h"
#include "ScrollBar16.h"
#include "Units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

#include <cmath>
#include <limits>

namespace {

constexpr double BarThicknessTwips = 255;
constexpr double HintLeftTwips = 360;
constexpr double HintTopTwips = 360;
constexpr double HintWidthTwips = 75000; // far wider than any screen: the hint never wraps
constexpr double HintHeightTwips = 375;
const QColor HintColour(0xFF, 0xFF, 0x80); // &H0080FFFF

// A whole-number product as a 32-bit value would hold it.
int32_t Check32(qint64 value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw AppError(ErrNo::Overflow, QStringLiteral("ZoomPicture"), QStringLiteral("Overflow"));
    return int32_t(value);
}

}

QString frmFullScreen::HintText()
{
    return QStringLiteral(
        "Click the RIGHT mouse button to view the Next Image   -  hit the ESC key to exit Full Screen View");
}

frmFullScreen::frmFullScreen(IDialogs& dialogs, PreviewToolTip previewToolTip,
                             std::shared_ptr<PicturePrefetcher> ahead, QWidget* owner)
    : QWidget(owner, Qt::Window),
      m_globals(dialogs),
      m_previewToolTip(std::move(previewToolTip)),
      m_scale(this, this, Units::Pixels),
      m_prefetcher(std::move(ahead))
{
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFocusPolicy(Qt::StrongFocus);
    // What a window list or task bar shows for the viewer.
    setWindowTitle(QStringLiteral("Full Screen View"));
    createControls();
    createMenus();
}

frmFullScreen::~frmFullScreen() = default;

void frmFullScreen::createControls()
{
    const double barW = m_scale.ScaleX(BarThicknessTwips, Units::Twips, Units::Pixels);
    const double barH = m_scale.ScaleY(BarThicknessTwips, Units::Twips, Units::Pixels);

    Label1 = new QLabel(HintText(), this);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif); // the nearest sans face where Arial is not installed
    font.setBold(true);
    font.setPointSizeF(9.75);
    Label1->setFont(font);
    QPalette hint = Label1->palette();
    hint.setColor(QPalette::WindowText, HintColour);
    Label1->setPalette(hint);
    Label1->setWordWrap(false);
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label1->setGeometry(int(Units::RoundHalfEven(m_scale.ScaleX(HintLeftTwips, Units::Twips, Units::Pixels))),
                        int(Units::RoundHalfEven(m_scale.ScaleY(HintTopTwips, Units::Twips, Units::Pixels))),
                        int(Units::RoundHalfEven(m_scale.ScaleX(HintWidthTwips, Units::Twips, Units::Pixels))),
                        int(Units::RoundHalfEven(m_scale.ScaleY(HintHeightTwips, Units::Twips, Units::Pixels))));

    imgFullScr = new PictureBox(this);
    imgFullScr->installEventFilter(this);
    // The hint stays whole above the picture: a picture drawn over it would leave a sliver
    // of its glyphs wherever the picture's edge crosses the line.
    Label1->raise();
    m_imgBounds = std::make_unique<ControlAdapter>(imgFullScr, m_scale);
    m_img = std::make_unique<PictureControl>(*m_imgBounds, *imgFullScr);

    // The bars never take the keyboard: arrows and Page keys belong to the window.
    auto* hBar = new QScrollBar(Qt::Horizontal, this);
    auto* vBar = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {hBar, vBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->raise(); // a shown bar covers the edge of the picture
    }
    m_hScroll = std::make_unique<ScrollBar16>(hBar);
    m_vScroll = std::make_unique<ScrollBar16>(vBar);
    m_hBounds = std::make_unique<ControlAdapter>(hBar, m_scale);
    m_vBounds = std::make_unique<ControlAdapter>(vBar, m_scale);
    m_hBounds->SetBounds(0, 0, 0, barH);
    m_vBounds->SetBounds(0, 0, barW, 0);
    m_hScroll->OnChange([this] { handle([this] { HScrollImg_Change(); }); });
    m_vScroll->OnChange([this] { handle([this] { VScrollImg_Change(); }); });
}

void frmFullScreen::createMenus()
{
    // A menu that is never on a bar: the window has no menu bar, only this popup.
    mnuPopup = new QMenu(QStringLiteral("File"), this);
    const auto item = [this](QMenu* menu, const QString& caption, std::function<void()> command) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, command = std::move(command)] { handle(command); });
        return action;
    };
    mnuNext = item(mnuPopup, QStringLiteral("&Next Image"), [this] { mnuNext_Click(); });
    mnuPrevious = item(mnuPopup, QStringLiteral("Previous Image"), [this] { mnuPrevious_Click(); });
    mnuPopup->addSeparator();
    mnuFitToScreen = item(mnuPopup, QStringLiteral("Fit to Screen"), [this] { mnuFitToScreen_Click(); });
    mnuZoomSel = mnuPopup->addMenu(QStringLiteral("Zoom"));
    for (short i = 1; i <= 3; ++i)
        m_mnuZoom[size_t(i)] = item(mnuZoomSel, QStringLiteral("%1x").arg(i), [this, i] { mnuZoom_Click(i); });
    mnuPopup->addSeparator();
    mnuClose = item(mnuPopup, QStringLiteral("Close"), [this] { mnuClose_Click(); });

}

void frmFullScreen::setMark(QAction* item, bool checked)
{
    // Only the checked item is checkable: styles draw an empty box beside every other
    // checkable item, where a mark should simply be absent.
    item->setCheckable(checked);
    item->setChecked(checked);
}

void frmFullScreen::handle(const std::function<void()>& handler)
{
    if (m_unloading)
        return;
    RunEventHandler(m_globals.Dialogs(), handler);
}

void frmFullScreen::ShowFullScreen()
{
    // Starting at the screen's size spares a first load at some other size.
    if (QScreen* where = screen())
        setGeometry(where->geometry());
    showFullScreen();
}

void frmFullScreen::setVisible(bool visible)
{
    if (visible && m_unloading)
        return;
    const bool wasShowing = m_showing;
    m_showing = visible;
    QWidget::setVisible(visible);
    m_showing = wasShowing;
    // The first picture failed while the window was being shown: it was not hidden then
    // (Qt finishes showing it afterwards), so it is hidden now, and deleteLater is pending.
    if (visible && m_unloading)
        QWidget::setVisible(false);
}

void frmFullScreen::resizeEvent(QResizeEvent*)
{
    handle([this] { Form_Resize(); });
}

void frmFullScreen::keyPressEvent(QKeyEvent* event)
{
    const short code = VirtualKeyCode(event->key(), event->modifiers());
    if (code == 0) {
        QWidget::keyPressEvent(event); // a key without a virtual-key code is not passed on
        return;
    }
    const short shift = short(ShiftCode(event->modifiers()));
    handle([this, code, shift] { Form_KeyDown(code, shift); });
}

bool frmFullScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgFullScr
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // All buttons held: two at once is neither a left nor a right click.
        const short button = short(MouseButtonsCode(mouse->buttons()));
        const short shift = short(ShiftCode(mouse->modifiers()));
        const QPointF at = mouse->position();
        handle([this, button, shift, at] { imgFullScr_MouseDown(button, shift, at.x(), at.y()); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmFullScreen::Form_Resize()
{
    const double clientW = m_scale.ScaleWidth();
    const double clientH = m_scale.ScaleHeight();
    // A client area smaller than the bars (a minimised window) is not laid out or reloaded;
    // the next real size is.
    if (clientW < m_vBounds->Width() || clientH < m_hBounds->Height())
        return;
    m_hBounds->SetTop(clientH - m_hBounds->Height());
    m_hBounds->SetWidth(clientW - m_hBounds->Height());
    m_vBounds->SetLeft(clientW - m_vBounds->Width());
    m_vBounds->SetHeight(clientH);
    // Pixels decoded ahead for this size serve the picture shown (the first resize of a
    // viewer takes those decoded while the user lingered), provided its file is unchanged.
    ShowPicture();
}

namespace {
// A window's logical size in device pixels, rounded up so that pixels decoded for it cover it.
QSize devicePixels(QSize logical, qreal ratio)
{
    return QSize(int(std::ceil(logical.width() * ratio)), int(std::ceil(logical.height() * ratio)));
}
}

QSize frmFullScreen::ScreenBox(const QScreen* screen)
{
    // What coverBox() gives once the window covers the screen.
    return screen ? devicePixels(screen->geometry().size(), screen->devicePixelRatio()) : QSize();
}

QSize frmFullScreen::coverBox() const
{
    if (lZoom != 0)
        return QSize(); // a zoomed view draws from the natural size
    return devicePixels(size(), devicePixelRatioF());
}

void frmFullScreen::ShowPicture()
{
    if (m_unloading)
        return;
    QString sFileName;
    try {
        Q_EMIT QueryFileName(sFileName);
    } catch (const std::exception&) {
        m_globals.ShowError(QStringLiteral("Unable to Open ") + sFileName);
        unload();
        return;
    }
    // The header and pixels are read on a worker: a key held down or a slow file never
    // holds up the window, and Esc always answers at once. Only the newest file shows.
    const quint64 ticket = m_loads.Next();
    m_loading = true;
    const QSize cover = coverBox();
    if (lZoom != 0)
        imgFullScr->SetPixels(QImage());  // a natural-size decode never sits beside another
    m_loads.Run(
        ticket,
        [prefetcher = m_prefetcher, sFileName, cover, dpiX = m_scale.DpiX(), dpiY = m_scale.DpiY()] {
            Loaded loaded;
            try {
                loaded.picture = Picture::LoadPicture(sFileName, dpiX, dpiY);
                loaded.pixels = prefetcher->Take(loaded.picture, cover);
            } catch (const std::exception&) {
                loaded.failed = true;
            }
            return loaded;
        },
        [this, sFileName](const Loaded& loaded) { handle([&] { showLoaded(sFileName, loaded); }); });
}

void frmFullScreen::showLoaded(const QString& sFileName, const Loaded& loaded)
{
    m_loading = false;
    if (m_unloading)
        return;
    const Picture shownBefore = imgFullScr->GetPicture();
    QImage pixelsBefore = imgFullScr->Pixels();
    try {
        if (loaded.failed)
            throw AppError(ErrNo::InvalidPicture, QStringLiteral("ShowPicture"), QStringLiteral("Invalid picture"));
        imgFullScr->SetPicture(loaded.picture);
        // Only pixels small enough to be held for stepping back are kept beside the new ones.
        if (qint64(pixelsBefore.sizeInBytes()) > m_prefetcher->BudgetBytes())
            pixelsBefore = QImage();
        if (lZoom != 0)
            ZoomPicture();
        else
            FitToWindow();
        imgFullScr->SetPixels(loaded.pixels);
        imgFullScr->SetToolTipText(m_previewToolTip ? m_previewToolTip() : QString());
    } catch (const std::exception&) {
        m_globals.ShowError(QStringLiteral("Unable to Open ") + sFileName);
        unload();
        return;
    }
    // The mode may have changed while the picture was on its way.
    if (wantsSharperPixels())
        sharpenPixels();
    else
        prefetchNeighbours(shownBefore, pixelsBefore);
}

void frmFullScreen::prefetchNeighbours(const Picture& shownBefore, const QImage& pixelsBefore)
{
    const Picture& shown = imgFullScr->GetPicture();
    QString sPrevious;
    QString sNext;
    if (!shown.IsEmpty())
        TryStep([&] { Q_EMIT QueryNeighbours(sPrevious, sNext); });
    m_prefetcher->Prefetch(shown.Path(), sPrevious, sNext, coverBox(), shownBefore, pixelsBefore);
}

void frmFullScreen::unload()
{
    m_unloading = true;
    m_loads.Cancel();
    m_loading = false;
    m_prefetcher->Clear();
    // While Qt is still showing the window, hiding it now would be undone; setVisible
    // hides it once the show is over.
    if (!m_showing)
        close();
    deleteLater();
}

void frmFullScreen::FitToWindow()
{
    imgFullScr->hide();
    CRect rcClient;
    rcClient.GetFormRect(m_scale);
    FitPicture(rcClient, *m_img, m_scale);
    // The picture box always stretches its pixels to its bounds.
    m_vScroll->SetVisible(false);
    m_hScroll->SetVisible(false);
    imgFullScr->show();
}

void frmFullScreen::ZoomPicture()
{
    const Picture& picture = imgFullScr->GetPicture();
    // The form's conversion answers in single precision; the fractions stay.
    const int32_t himetricW = Check32(qint64(picture.Width()) * lZoom);
    const int32_t himetricH = Check32(qint64(picture.Height()) * lZoom);
    m_img->SetWidth(float(m_scale.ScaleX(float(himetricW), Units::Himetric, Units::Pixels)));
    m_img->SetHeight(float(m_scale.ScaleY(float(himetricH), Units::Himetric, Units::Pixels)));
    const double clientW = m_scale.ScaleWidth();
    const double clientH = m_scale.ScaleHeight();

    // A bar covers the picture's edge rather than shrinking the area it is compared with.
    if (m_img->Width() > clientW) {
        m_img->SetLeft(0);
        m_hScroll->SetMax(Units::RoundHalfEven(m_img->Width()));
        m_hScroll->SetValue(0);
        m_hScroll->SetSmallChange(Units::RoundHalfEven(clientW / 15));
        m_hScroll->SetLargeChange(Units::RoundHalfEven(clientW));
        m_hScroll->SetVisible(true);
    } else {
        m_img->SetLeft((clientW - m_img->Width()) / 2);
        m_hScroll->SetVisible(false);
    }
    if (m_img->Height() > clientH) {
        m_img->SetTop(0);
        m_vScroll->SetMax(Units::RoundHalfEven(m_img->Height()));
        m_vScroll->SetValue(0);
        m_vScroll->SetSmallChange(Units::RoundHalfEven(clientH / 12));
        m_vScroll->SetLargeChange(Units::RoundHalfEven(clientH));
        m_vScroll->SetVisible(true);
    } else {
        m_img->SetTop((clientH - m_img->Height()) / 2);
        m_vScroll->SetVisible(false);
    }
}

void frmFullScreen::scrollChanged(ScrollBar16& bar, bool horizontal)
{
    const int max = bar.Max();
    const int value = bar.Value();
    const int large = bar.LargeChange();
    const int rest = ScrollBar16::Check16(qint64(max) - value, "Max - Value");
    // Beyond Max - LargeChange the picture's far edge stays at the window's far edge.
    const double offset = rest >= large ? -value : large - max;
    if (horizontal)
        m_img->SetLeft(offset);
    else
        m_img->SetTop(offset);
}

void frmFullScreen::HScrollImg_Change() { scrollChanged(*m_hScroll, true); }
void frmFullScreen::VScrollImg_Change() { scrollChanged(*m_vScroll, false); }

void frmFullScreen::mnuFitToScreen_Click()
{
    setMark(mnuFitToScreen, true);
    for (int i = 1; i <= 3; ++i)
        setMark(m_mnuZoom[size_t(i)], false);
    lZoom = 0;
    FitToWindow();
    modeChanged();
}

void frmFullScreen::mnuZoom_Click(short Index)
{
    setMark(mnuFitToScreen, false);
    for (int i = 1; i <= 3; ++i)
        setMark(m_mnuZoom[size_t(i)], i == Index);
    lZoom = Index;
    ZoomPicture();
    modeChanged();
}

void frmFullScreen::modeChanged()
{
    // A picture on its way is laid out for the mode when it arrives.
    if (m_loading)
        return;
    if (wantsSharperPixels())
        sharpenPixels();
    else
        prefetchNeighbours(Picture(), QImage());
}

bool frmFullScreen::wantsSharperPixels() const
{
    const Picture& picture = imgFullScr->GetPicture();
    if (picture.IsEmpty())
        return false;
    const QSize wanted = PictureDecoder::DecodeSize(picture, coverBox());
    const QImage& have = imgFullScr->Pixels();
    return have.width() < wanted.width() || have.height() < wanted.height();
}

void frmFullScreen::sharpenPixels()
{
    // Pixels decoded for the fitted view are smaller than a zoomed view needs. They come
    // from a worker, so the window answers (Esc, a step) during a 24-megapixel decode.
    const Picture picture = imgFullScr->GetPicture();
    const QSize cover = coverBox();
    if (lZoom != 0) {
        // A natural-size decode is the largest allocation the viewer makes: the neighbours
        // decoded ahead go first, and the fitted pixels give way to a small copy that
        // stands in, stretched, until the decode is in.
        m_prefetcher->Clear();
        const QImage fitted = imgFullScr->Pixels();
        imgFullScr->SetPixels(fitted.scaled(fitted.size() / 2));
    }
    const quint64 ticket = m_loads.Next();
    m_loading = true;
    m_loads.Run(
        ticket,
        [prefetcher = m_prefetcher, picture, cover] {
            // Only the file laid out may sharpen it; a changed or undecodable one leaves
            // the pixels shown as they are.
            try {
                if (picture.IsFileUnchanged())
                    return prefetcher->Take(picture, cover);
            } catch (const std::exception&) {
            }
            return QImage();
        },
        [this](const QImage& pixels) { handle([&] { sharpened(pixels); }); });
}

void frmFullScreen::sharpened(const QImage& pixels)
{
    m_loading = false;
    if (m_unloading)
        return;
    if (!pixels.isNull())
        imgFullScr->SetPixels(pixels);
    // The mode may have changed while the decode ran; one that failed is not tried again.
    if (!pixels.isNull() && wantsSharperPixels())
        sharpenPixels();
    else
        prefetchNeighbours(Picture(), QImage());
}

void frmFullScreen::Form_KeyDown(short KeyCode, short Shift)
{
    if (KeyCode == KeyCodes::Esc) {
        mnuClose_Click();
        return;
    }
    Q_EMIT KeyDown(KeyCode, Shift);
    // The owner may have changed the code; Down and Up show the image it stepped to.
    if (KeyCode == KeyCodes::Down || KeyCode == KeyCodes::Up)
        ShowPicture();
}

void frmFullScreen::imgFullScr_MouseDown(short Button, short Shift, double X, double Y)
{
    if (Button == MouseButtonCodes::Left)
        mnuPopup->popup(imgFullScr->mapToGlobal(QPointF(X, Y)).toPoint());
    else if (Button == MouseButtonCodes::Right)
        mnuNext_Click();
}

void frmFullScreen::mnuNext_Click()
{
    short KeyCode = KeyCodes::Down;
    short Shift = 0;
    Q_EMIT KeyDown(KeyCode, Shift);
    ShowPicture();
}

void frmFullScreen::mnuPrevious_Click()
{
    short KeyCode = KeyCodes::Up;
    short Shift = 0;
    Q_EMIT KeyDown(KeyCode, Shift);
    ShowPicture();
}

void frmFullScreen::mnuClose_Click()
{
    // Hidden, not destroyed: the owner opens a new viewer next time. The pixels decoded
    // ahead are not needed any more.
    hide();
    m_loads.Cancel();  // a picture still on its way is not wanted any more
    m_loading = false;
    m_prefetcher->Clear();
    if (QWidget* owner = parentWidget())
        owner->activateWindow();
}
