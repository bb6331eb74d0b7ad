#include "BrowserLayout.h"
#include "ControlAdapter.h"
#include "CSplitter.h"
#include "FormScale.h"
#include "QtSplitterHost.h"

#include <QWidget>

namespace {
// Pane numbers of CSplitter::GetRect and ResizeFrame.
constexpr int16_t FirstPane = 1;   // left of or above the bar
constexpr int16_t SecondPane = 2;  // right of or below the bar
// In twips: the file list starts this far below the drive list's top, and leaves this
// much of the window's outer height (frame, title and menu bar included) to the rest.
constexpr double FileListBelowDriveTop = 315;
constexpr double OuterHeightLeftOver = 615;
}

BrowserLayout::BrowserLayout(QtSplitterHost& host, QWidget& surface, const FormScale& scale,
                             const Controls& controls, std::function<void()> previewPaneChanged)
    : m_host(host), m_surface(surface), m_scale(scale), m_controls(controls),
      m_previewPaneChanged(std::move(previewPaneChanged)), m_splitter(std::make_unique<CSplitter>()),
      m_subSplitter(std::make_unique<CSplitter>())
{
    QObject::connect(m_splitter.get(), &CSplitter::SplitRect, m_splitter.get(), [this](float) { splitterMoved(); });
    QObject::connect(m_subSplitter.get(), &CSplitter::SplitRect, m_subSplitter.get(),
                     [this](float) { subSplitterMoved(); });
}

BrowserLayout::~BrowserLayout() = default;

void BrowserLayout::Init()
{
    CRect rc;
    rc.GetFormRect(m_scale);
    // The left pane laid out here is provisional: the sub-splitter has no area yet.
    m_splitter->Init(m_host, rc, 0.5f, SplitterType::Vertical);
    m_splitter->GetRect(FirstPane, rc);
    m_subSplitter->Init(m_host, rc, 0.5f, SplitterType::Horizontal);
}

void BrowserLayout::Resize()
{
    CRect rc;
    rc.GetFormRect(m_scale);
    m_splitter->Resize(rc);
    m_splitter->GetRect(FirstPane, rc);
    m_subSplitter->Resize(rc);
    putDriveListOverFileList();
    placeFileListBelowDriveList();
}

void BrowserLayout::putDriveListOverFileList()
{
    const ControlAdapter& files = m_controls.fileList;
    m_controls.driveList.SetLeft(files.Left());
    m_controls.driveList.SetTop(files.Top());
    m_controls.driveList.SetWidth(files.Width());
}

void BrowserLayout::placeFileListBelowDriveList()
{
    const ControlAdapter& drive = m_controls.driveList;
    m_controls.fileList.SetHeight(m_scale.Height() - drive.Height() - OuterHeightLeftOver);
    m_controls.fileList.SetTop(drive.Top() + FileListBelowDriveTop);
}

void BrowserLayout::splitterMoved()
{
    m_splitter->ResizeFrame(SecondPane, m_controls.fileList);
    CRect rc;
    m_splitter->GetRect(FirstPane, rc);
    m_subSplitter->Resize(rc);
    putDriveListOverFileList();
    // A full repaint draws both bars afresh and leaves no drag line behind.
    m_host.WipeTrackingLines();
    m_surface.update();
}

void BrowserLayout::subSplitterMoved()
{
    m_subSplitter->ResizeFrame(FirstPane, m_controls.folders);
    m_subSplitter->ResizeFrame(SecondPane, m_controls.preview);
    m_previewPaneChanged();
}

void BrowserLayout::MouseDown()
{
    m_splitter->MouseDown();
    m_subSplitter->MouseDown();
}

void BrowserLayout::MouseMove(float X, float Y)
{
    m_splitter->MouseMove(X, Y);
    m_subSplitter->MouseMove(X, Y);
}

void BrowserLayout::MouseUp(float X, float Y)
{
    m_splitter->MouseUp(X, Y);
    m_subSplitter->MouseUp(X, Y);
    placeFileListBelowDriveList();
}

void BrowserLayout::Paint(QPainter& painter)
{
    m_host.BeginPaint(&painter);
    m_splitter->DEdge(Edge::Raised);
    m_subSplitter->DEdge(Edge::Raised);
    m_host.EndPaint();
}

CRect BrowserLayout::PreviewRect() const
{
    CRect rc;
    m_subSplitter->GetRect(SecondPane, rc);
    return rc;
}
