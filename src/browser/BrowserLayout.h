#pragma once
#include "CRect.h"

#include <functional>
#include <memory>

class ControlAdapter;
class CSplitter;
class FormScale;
class QPainter;
class QtSplitterHost;
class QWidget;

// How the main window divides its client area: a vertical bar between the left pane and
// the file list, a horizontal bar in the left pane between the folder list and the
// preview, and the drive list kept over the top of the file list. The window feeds it its
// size, mouse and paint events; the layout moves the controls and says when the preview's
// pane changed. Create one when the window lays itself out, with the window's splitter
// host, client area, scale and the controls' bounds; then Init it.
class BrowserLayout {
public:
    struct Controls {
        ControlAdapter& driveList;
        ControlAdapter& fileList;
        ControlAdapter& folders;
        ControlAdapter& preview;
    };

    BrowserLayout(QtSplitterHost& host, QWidget& surface, const FormScale& scale, const Controls& controls,
                  std::function<void()> previewPaneChanged);
    ~BrowserLayout();

    // Puts both bars at the middle of their areas and the panes' controls in place.
    void Init();
    // The client area changed size: both bars keep their fractions.
    void Resize();
    // The window's mouse over its client area, in its scale units.
    void MouseDown();
    void MouseMove(float X, float Y);
    void MouseUp(float X, float Y);
    // Draws both bars; called from the client area's paint event.
    void Paint(QPainter& painter);

    // The preview's pane, in the window's scale units.
    CRect PreviewRect() const;
    CSplitter& Splitter() const { return *m_splitter; }
    CSplitter& SubSplitter() const { return *m_subSplitter; }

private:
    void splitterMoved();
    void subSplitterMoved();
    void putDriveListOverFileList();
    void placeFileListBelowDriveList();

    QtSplitterHost& m_host;
    QWidget& m_surface;
    const FormScale& m_scale;
    Controls m_controls;
    std::function<void()> m_previewPaneChanged;
    std::unique_ptr<CSplitter> m_splitter;
    std::unique_ptr<CSplitter> m_subSplitter;
};
