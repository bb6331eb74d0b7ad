#pragma once
#include "FormScale.h"
#include "Globals.h"
#include "NewestWins.h"
#include "PicturePrefetcher.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class ControlAdapter;
class IDialogs;
class PictureControl;
class QScreen;
class PictureBox;
class QAction;
class QLabel;
class QMenu;
class ScrollBar16;

// The full-screen viewer: one picture on a black screen, fitted or enlarged 1x to 3x with
// scroll bars, a popup menu, and stepping through the owner's list. It owns no list: it
// asks its owner which file to show (QueryFileName) and tells it about keys and steps
// (KeyDown), both answered synchronously through direct connections. Create one per
// opening, owned by the main window, connect the signals, then call ShowFullScreen().
// It hides itself on Esc or Close and destroys itself (deleteLater) when a picture
// cannot be shown, so the owner should hold it in a QPointer.
class frmFullScreen : public QWidget {
    Q_OBJECT
public:
    // The tooltip of the owner's preview image, which holds the current image's comment.
    using PreviewToolTip = std::function<QString()>;

    // `ahead` holds the pictures decoded ahead for the screen; the owner shares it with the
    // viewers it opens, so a picture it had decoded while the user lingered shows at once.
    frmFullScreen(IDialogs& dialogs, PreviewToolTip previewToolTip, std::shared_ptr<PicturePrefetcher> ahead,
                  QWidget* owner = nullptr);
    ~frmFullScreen() override;

    static QString HintText();
    // The device pixels a viewer opened on `screen` covers, to decode its pictures for.
    static QSize ScreenBox(const QScreen* screen);

    // Covers the owner's screen and shows the window; the first resize shows the picture.
    // Returns normally even when that picture fails and the window unloads itself.
    void ShowFullScreen();

    // Window and control events, as the window's own handlers run them.
    void Form_Resize();
    void Form_KeyDown(short KeyCode, short Shift);
    // X and Y in the image control's pixels.
    void imgFullScr_MouseDown(short Button, short Shift, double X, double Y);
    void HScrollImg_Change();
    void VScrollImg_Change();

    // Menu commands.
    void mnuNext_Click();
    void mnuPrevious_Click();
    void mnuClose_Click();
    void mnuFitToScreen_Click();
    void mnuZoom_Click(short Index);

    // Asks the owner for the file and starts loading it on a worker; the picture shows when
    // it arrives, unless a newer ShowPicture came first. On any failure reports it and unloads.
    void ShowPicture();
    // Whether a picture asked for, or sharper pixels for a zoom, are still being read or decoded.
    bool IsLoading() const { return m_loading; }
    void FitToWindow();
    void ZoomPicture();

    // 0 fit to screen; 1, 2 or 3 times the natural size.
    int32_t Zoom() const { return lZoom; }
    // Whether a failed picture has closed the window, which is about to be destroyed.
    bool IsUnloading() const { return m_unloading; }

    // The controls, as the layout and tests reach them.
    QLabel* Label1 = nullptr;
    PictureBox* imgFullScr = nullptr;
    PictureControl& ImgBounds() const { return *m_img; }
    ScrollBar16& HScrollImg() const { return *m_hScroll; }
    ScrollBar16& VScrollImg() const { return *m_vScroll; }
    QMenu* mnuPopup = nullptr;
    QAction* mnuNext = nullptr;
    QAction* mnuPrevious = nullptr;
    QAction* mnuFitToScreen = nullptr;
    QMenu* mnuZoomSel = nullptr;
    QAction* mnuZoom(int Index) const { return m_mnuZoom.at(size_t(Index)); }
    QAction* mnuClose = nullptr;
    const FormScale& Scale() const { return m_scale; }
    PicturePrefetcher& Prefetcher() { return *m_prefetcher; }

Q_SIGNALS:
    // At the start of every picture load: the owner puts the full path to show into sFileName.
    void QueryFileName(QString& sFileName);
    // Every key but Esc, and Next (KeyCodes::Down) and Previous (KeyCodes::Up) with
    // Shift 0: for Down and Up the owner steps its list by one, with wrap-around, before
    // returning.
    void KeyDown(short& KeyCode, short& Shift);
    // After a picture is shown: the owner names the entries before and after it in its
    // list (wrapping around), so they can be decoded ahead. Unanswered means none.
    void QueryNeighbours(QString& sPrevious, QString& sNext);

public:
    void setVisible(bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    static void setMark(QAction* item, bool checked);
    void handle(const std::function<void()>& handler);
    void scrollChanged(ScrollBar16& bar, bool horizontal);
    QSize coverBox() const;
    // After a mode command: the pixels the new mode needs, when those shown are too few.
    void modeChanged();
    bool wantsSharperPixels() const;
    void sharpenPixels();
    void sharpened(const QImage& pixels);
    void prefetchNeighbours(const Picture& shownBefore, const QImage& pixelsBefore);
    struct Loaded {
        Picture picture;
        QImage pixels;
        bool failed = false;
    };
    void showLoaded(const QString& sFileName, const Loaded& loaded);
    void unload();

    Globals m_globals;
    PreviewToolTip m_previewToolTip;
    FormScale m_scale;
    std::shared_ptr<PicturePrefetcher> m_prefetcher;
    // Declared after the prefetcher, so it is gone (its jobs finished) before the prefetcher.
    NewestWins m_loads;
    bool m_loading = false;
    std::unique_ptr<ControlAdapter> m_imgBounds;
    std::unique_ptr<PictureControl> m_img;
    std::unique_ptr<ScrollBar16> m_hScroll;
    std::unique_ptr<ScrollBar16> m_vScroll;
    std::unique_ptr<ControlAdapter> m_hBounds;
    std::unique_ptr<ControlAdapter> m_vBounds;
    std::array<QAction*, 4> m_mnuZoom{}; // 1..3
    int32_t lZoom = 0;
    bool m_showing = false;
    bool m_unloading = false;
};
