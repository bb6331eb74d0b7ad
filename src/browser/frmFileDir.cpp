#include "frmFileDir.h"
#include "AppError.h"
#include "BrowserLayout.h"
#include "CommentCommands.h"
#include "ControlAdapter.h"
#include "CSplitter.h"
#include "DriveList.h"
#include "EditCommand.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FileListView.h"
#include "FormControls.h"
#include "FolderList.h"
#include "FormSurface.h"
#include "frmFullScreen.h"
#include "frmNewPath.h"
#include "ImageInformation.h"
#include "ISettingsStore.h"
#include "LogicalDrives.h"
#include "MenuTree.h"
#include "OpenDisk.h"
#include "PathNames.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureControl.h"
#include "PreviewLoader.h"
#include "QtSplitterHost.h"
#include "ResourcePixmap.h"
#include "SelectionLoader.h"
#include "SelectionStep.h"
#include "StoreLocation.h"
#include "Units.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>


frmFileDir::frmFileDir(const BrowserServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_globals(services.dialogs),
      m_surface(new FormSurface(this)), m_scale(this, m_surface, Units::Twips), m_controls(*this, m_scale)
{
    setObjectName(QStringLiteral("frmFileDir"));
    setWindowIcon(QIcon(ResourcePixmap(QStringLiteral(":/tessel.png"))));
    setCentralWidget(m_surface);
    m_menus = std::make_unique<MenuTree>(menuBar());
    createControls();
    m_splitterHost = std::make_unique<QtSplitterHost>(m_surface, objectName(), m_scale.UnitsPerPixelX(),
                                                      m_scale.UnitsPerPixelY());
    m_previewLoader = std::make_unique<PreviewLoader>(*imgSmall, [this] { return neighbourPaths(); });
    m_previewLoader->SetViewerAhead(std::make_shared<PicturePrefetcher>(), [this] { return frmFullScreen::ScreenBox(screen()); });
    m_selection = std::make_unique<SelectionLoader>();
    connect(m_selection.get(), &SelectionLoader::PictureLoaded, this,
            [this](const QString& path, const SelectionLoader::PictureRead& read) {
                handle([&] { selectionPictureLoaded(path, read); });
            });
    const ThumbnailCache thumbnails(m_services.thumbnailRoot);
    m_selection->SetThumbnailCache(thumbnails);
    m_previewLoader->SetThumbnailCache(thumbnails);
    connect(m_selection.get(), &SelectionLoader::CommentsLoaded, this,
            [this](const QString& path, bool ok, const QVector<TooltipRow>& rows) {
                handle([&] { selectionCommentsLoaded(path, ok, rows); });
            });
    m_commentCommands = std::make_unique<CommentCommands>(m_store, m_globals, *this);
    connectControls();
    connectSurface();
    connectCommands();
    connectMenus();

    // Opens at the design size of its client area, centred on the screen.
    const double twipsPerPixel = Units::TwipsPerPixel(logicalDpiX());
    const QSize client(qRound(DesignClientWidth / twipsPerPixel), qRound(DesignClientHeight / twipsPerPixel));
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

frmFileDir::~frmFileDir()
{
    // The viewer goes with the window's children, after our members: it must not call back.
    if (frmScreen)
        disconnect(frmScreen, nullptr, this, nullptr);
    // The splitters draw through the host: they go first.
    m_layout.reset();
}

void frmFileDir::createControls()
{
    const QString start = m_services.processFolder;
    DriveList = new ::DriveList(m_services.fileSystem, start, m_surface);
    DriveList->setObjectName(QStringLiteral("DriveList"));
    flbFiles = new FileList(m_services.fileSystem, start, m_surface);
    flbFiles->setObjectName(QStringLiteral("flbFiles"));
    dirFolders = new FolderList(m_services.fileSystem, start, m_surface);
    dirFolders->setObjectName(QStringLiteral("dirFolders"));
    imgSmall = new PictureBox(m_surface);
    imgSmall->setObjectName(QStringLiteral("imgSmall"));
    imgSmall->setCursor(QCursor(ResourcePixmap(QStringLiteral(":/cursorPreview.png")), 6, 6));

    // Design positions in twips; the layout moves them once the window is shown.
    m_controls.Place({
        {DriveList, 2160, 120, 2175, 315},
        {flbFiles, 2160, 600, 2175, 3795},
        {dirFolders, 120, 600, 1935, 1440},
        {imgSmall, 120, 2760, 1920, 1305},
    });
    m_preview = std::make_unique<PictureControl>(Bounds(imgSmall), *imgSmall);
    setTabOrder(dirFolders, flbFiles);
    setTabOrder(flbFiles, DriveList);
    // The first control of the tab order holds the keyboard when the window first shows.
    dirFolders->setFocus();
}

ControlAdapter& frmFileDir::Bounds(QWidget* control) const
{
    return m_controls.Bounds(control);
}

void frmFileDir::handle(const std::function<void()>& handler)
{
    RunEventHandler(m_services.dialogs, handler);
}

void frmFileDir::connectControls()
{
    connect(dirFolders, &FolderList::Change, this, [this] { handle([this] { dirFolders_Change(); }); });
    connect(dirFolders, &FolderList::OpenFailed, this, [this](const QString& path, const QString& why) {
        handle([&] { m_globals.ShowError(QStringLiteral("Unable to open the folder %1: %2").arg(path, why)); });
    });
    connect(DriveList, &::DriveList::Change, this, [this] { handle([this] { DriveList_Change(); }); });
    connect(imgSmall, &PictureBox::Click, this, [this] { handle([this] { imgSmall_Click(); }); });
    connect(flbFiles, &FileList::Click, this, [this] { handle([this] { flbFiles_Click(); }); });
    connect(flbFiles, &FileList::DblClick, this, [this] { handle([this] { flbFiles_DblClick(); }); });
    connect(flbFiles, &FileList::KeyPress, this, [this](int key) { handle([&] { flbFiles_KeyPress(key); }); });
    connect(flbFiles, &FileList::MouseUp, this, [this](int button, int shift, QPoint pos) {
        handle([&] { flbFiles_MouseUp(button, shift, pos); });
    });
}

void frmFileDir::onMenu(const char* name, std::function<void()> handler)
{
    connect(m_menus->Action(QLatin1String(name)), &QAction::triggered, this,
            [this, handler = std::move(handler)] { handle(handler); });
}

void frmFileDir::connectMenus()
{
    onMenu("mnuExit", [this] { mnuExit_Click(); });
    onMenu("mnuVFS", [this] { mnuVFS_Click(); });
    onMenu("mnuFullScreen", [this] { mnuFullScreen_Click(); });
    onMenu("mnuNewTooltip", [this] { m_commentCommands->NewTooltip(); });
    onMenu("mnuTooltipEd", [this] { m_commentCommands->EditTooltip(); });
    onMenu("mnuTooltipDel", [this] { m_commentCommands->DeleteTooltip(); });
}

void frmFileDir::connectSurface()
{
    const auto twips = [this](QPointF px) {
        return QPointF(px.x() * m_scale.UnitsPerPixelX(), px.y() * m_scale.UnitsPerPixelY());
    };
    connect(m_surface, &FormSurface::MouseDown, this, [this, twips](int b, int s, QPointF p) {
        handle([&] { Form_MouseDown(b, s, float(twips(p).x()), float(twips(p).y())); });
    });
    connect(m_surface, &FormSurface::MouseMove, this, [this, twips](int b, int s, QPointF p) {
        handle([&] { Form_MouseMove(b, s, float(twips(p).x()), float(twips(p).y())); });
    });
    connect(m_surface, &FormSurface::MouseUp, this, [this, twips](int b, int s, QPointF p) {
        handle([&] { Form_MouseUp(b, s, float(twips(p).x()), float(twips(p).y())); });
    });
    connect(m_surface, &FormSurface::Paint, this, [this](QPainter& p) { handle([&] { Form_Paint(p); }); });
    connect(m_surface, &FormSurface::Resized, this, [this] { handle([this] { Form_Resize(); }); });
}

void frmFileDir::setUpLayout()
{
    m_layout = std::make_unique<BrowserLayout>(
        *m_splitterHost, *m_surface, m_scale,
        BrowserLayout::Controls{Bounds(DriveList), Bounds(flbFiles), Bounds(dirFolders), Bounds(imgSmall)},
        [this] { fitPreview(); });
    splitter = &m_layout->Splitter();
    subSplitter = &m_layout->SubSplitter();
    m_layout->Init();
}

void frmFileDir::Form_Resize()
{
    if (m_scale.ScaleWidth() == 0 || !m_layout)
        return;  // minimised, or not laid out yet
    m_layout->Resize();
    m_laidOutOuterHeight = frameGeometry().height();
}

void frmFileDir::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // A window manager frames the window after the first layout, and moves it doing so:
    // the file list's height follows the outer height, so it is placed again then.
    if (m_laidOutOuterHeight >= 0 && frameGeometry().height() != m_laidOutOuterHeight)
        handle([this] { Form_Resize(); });
}

void frmFileDir::fitPreview()
{
    // Refits the picture already loaded; its file is read again only for pixels sharper
    // than those decoded, when the preview grew past them.
    if (!subSplitter)
        throw AppError(ErrNo::ObjectNotSet, objectName(), QStringLiteral("The layout is not set up"));
    FitPicture(m_layout->PreviewRect(), *m_preview, m_scale);
    const bool viewerShowing = frmScreen && frmScreen->isVisible();
    m_previewLoader->Decode(previewPane(), !viewerShowing);
}

void frmFileDir::Form_MouseDown(int Button, int Shift, float X, float Y)
{
    if (m_layout)
        m_layout->MouseDown();
}

void frmFileDir::Form_MouseMove(int Button, int Shift, float X, float Y)
{
    if (m_layout)
        m_layout->MouseMove(X, Y);
}

void frmFileDir::Form_MouseUp(int Button, int Shift, float X, float Y)
{
    if (!m_layout)
        return;
    m_layout->MouseUp(X, Y);
    m_laidOutOuterHeight = frameGeometry().height();
}

void frmFileDir::Form_Paint(QPainter& painter)
{
    if (m_layout)
        m_layout->Paint(painter);
}

void frmFileDir::connectCommands()
{
    // A re-key refused by another program's lock waits in the store's journal; it is tried
    // again now and then, each time with a short wait, until the store takes it.
    m_rekeyRetry = new QTimer(this);
    m_rekeyRetry->setInterval(RekeyRetryIntervalMs);
    connect(m_rekeyRetry, &QTimer::timeout, this, [this] { retryPendingRekeys(); });
    m_fileListView = std::make_unique<FileListView>(*flbFiles);
    m_fileCommands = std::make_unique<FileCommands>(
        *m_fileListView, m_globals, m_services.fileOperations, m_services.fileSystem,
        [this](const QString& oldPath, const QString& newPath) {
            try {
                UpdateTooltipPath(m_store, oldPath, newPath);
            } catch (const AppError&) {
                if (m_store.HasPendingRekeys())
                    m_rekeyRetry->start();
                throw;  // still reported as the rename's failure
            }
        });
    m_editCommand = std::make_unique<EditCommand>(m_globals, m_services.processStarter);
    m_imageInfo = std::make_unique<ImageInformation>(m_globals, m_scale);

    onMenu("mnuRen", [this] { m_fileCommands->mnuRen_Click(); });
    onMenu("mnuDelete", [this] { m_fileCommands->mnuDelete_Click(); });
    onMenu("mnuMove", [this] { m_fileCommands->mnuMove_Click(dirFolders->Path()); });
    onMenu("mnuEdit", [this] { m_editCommand->mnuEdit_Click(sCurrentFile); });
    onMenu("mnuImgInfo", [this] {
        const Picture& picture = imgSmall->GetPicture();
        m_imageInfo->mnuImgInfo_Click(sCurrentFile, picture.Width(), picture.Height());
    });
    for (int index : {0, 2, 3, 4, 5})
        connect(m_menus->ArrayItem(QStringLiteral("mnuDisk"), index), &QAction::triggered, this, [this, index] {
            handle([this, index] { OpenDisk::mnuDisk_Click(index, [this](const QString& root) { SetFolder(root); }); });
        });
    connect(m_menus->Menu(QStringLiteral("mnuFile")), &QMenu::aboutToShow, this, [this] {
        handle([this] { OpenDisk::UpdateDriveItems(*m_menus, m_services.logicalDrives.GetLogicalDrives()); });
    });
}

void frmFileDir::retryPendingRekeys()
{
    // A store that is closed or read-only takes none now; the next start tries again.
    if (!m_store.IsOpen() || m_store.IsReadOnly() || m_store.ApplyPendingRekeys(TooltipStore::RetryBusyTimeoutMs))
        m_rekeyRetry->stop();
}

QString frmFileDir::AppName() const
{
    return QFileInfo(m_services.executablePath).completeBaseName();
}

QString frmFileDir::ExeFolder() const
{
    return QFileInfo(m_services.executablePath).absolutePath();
}

void frmFileDir::Form_Load()
{
    // A failing step is abandoned without a message and the next one runs.
    const QString appName = AppName();
    const QString exeFolder = ExeFolder();
    TryStep([&] {
        dirFolders->SetPath(m_services.settings.GetSetting(appName, QStringLiteral("Startup"),
                                                           QStringLiteral("lastDir"), exeFolder));
    });
    TryStep([&] { dirFolders->SetPath(DriveList->Drive()); });
    TryStep([&] { flbFiles->SetPath(dirFolders->Path()); });
    TryStep([&] {
        const QString pattern = m_services.settings.GetSetting(appName, QStringLiteral("Browser"),
                                                               QStringLiteral("pattern"), FilePattern());
        flbFiles->SetPattern(pattern.trimmed().isEmpty() ? FilePattern() : pattern);
    });
    TryStep([&] { setUpLayout(); });
    TryStep([&] {
        const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        m_store.Open(StoreLocation::Folder(exeFolder, dataHome));
    });
    if (m_store.HasPendingRekeys())
        m_rekeyRetry->start();
    TryStep([&] { setWindowTitle(QStringLiteral("Tessel Image Explorer")); });
}

void frmFileDir::OpenAtStart(const QString& folder, const QString& file, bool fullScreen)
{
    if (folder.isEmpty())
        return;
    TryStep([&] { dirFolders->SetPath(folder); });
    TryStep([&] { flbFiles->SetPath(dirFolders->Path()); });
    const QString listed = QFileInfo(flbFiles->Path()).canonicalFilePath();
    if (file.isEmpty() || listed.isEmpty() || listed != QFileInfo(folder).canonicalFilePath())
        return;
    const QString name = QFileInfo(file).fileName();
    int index = -1;
    for (int i = 0; i < flbFiles->ListCount() && index < 0; ++i)
        if (flbFiles->List(i) == name)
            index = i;
    if (index >= 0) {
        // As a click does: the list's selection moves, and the Click it raises loads the
        // preview, the caption and the comment.
        TryStep([&] {
            flbFiles->SetListIndex(index);
            flbFiles->SetSelected(index, true);
        });
    } else {
        sCurrentFile = JoinPath(flbFiles->Path(), name);
        fullScreen = true;
    }
    if (fullScreen)
        openViewer();
}

void frmFileDir::Form_Unload(int& Cancel)
{
    Q_UNUSED(Cancel);
    m_services.settings.SaveSetting(AppName(), QStringLiteral("Startup"), QStringLiteral("lastDir"),
                                    flbFiles->Path());
    if (m_store.IsOpen())
        m_store.Close();
}

void frmFileDir::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    handle([&] { Form_Unload(cancel); });
    // A move dialog has no owner; it goes with the program rather than outliving it.
    if (frmNewPath* dialog = m_fileCommands ? m_fileCommands->MoveDialog() : nullptr)
        dialog->close();
    event->accept();
    Q_EMIT Unloaded();
}

void frmFileDir::dirFolders_Change()
{
    flbFiles->SetPath(dirFolders->Path());
    flbFiles->Refresh();
}

void frmFileDir::DriveList_Change()
{
    try {
        dirFolders->SetPath(DriveList->Drive());
    } catch (const AppError&) {
        // An unreadable volume quietly gives way to the program's own volume.
        DriveList->SetDrive(ExeFolder());
    }
}

void frmFileDir::SetFolder(const QString& sPath)
{
    try {
        dirFolders->SetPath(sPath);
    } catch (const AppError&) {
        m_globals.ShowError(QStringLiteral("Disk ") + sPath + QStringLiteral(" not ready"));
    }
}

void frmFileDir::StepSelection(short KeyCode)
{
    const int count = flbFiles->ListCount();
    if (count == 0)
        return;
    const int next = SteppedListIndex(flbFiles->ListIndex(), count, KeyCode);
    if (next != flbFiles->ListIndex())
        flbFiles->SetListIndex(next);
    if (flbFiles->ListIndex() != -1) {
        flbFiles->SetSelected(flbFiles->ListIndex(), true);
        sCurrentFile = JoinPath(flbFiles->Path(), flbFiles->FileName());
    }
}

void frmFileDir::flbFiles_Click()
{
    TryStep([&] { sCurrentFile = JoinPath(flbFiles->Path(), flbFiles->FileName()); });
    // The picture's header and the comment are read on workers: a slow file or a locked
    // store must not hold up the next key press. What they find arrives below; only the
    // newest selection's results are ever shown.
    TryStep([&] {
        if (m_store.IsOpen())
            m_store.BeginLookup(sCurrentFile);
        m_selection->Request(sCurrentFile, logicalDpiX(), logicalDpiY(), previewPane(), m_store.Reader());
    });
}

QSize frmFileDir::previewPane() const
{
    if (!subSplitter)
        return {};
    const CRect rc = m_layout->PreviewRect();
    const qreal ratio = imgSmall->devicePixelRatioF();
    return QSize(int(rc.Width() / m_scale.UnitsPerPixelX() * ratio), int(rc.Height() / m_scale.UnitsPerPixelY() * ratio));
}

void frmFileDir::selectionPictureLoaded(const QString& path, const SelectionLoader::PictureRead& read)
{
    // Each step may fail on its own (an unreadable file keeps the previous picture); the
    // next step still runs, and nothing is shown.
    TryStep([&] {
        if (read.picture)
            m_previewLoader->Show(*read.picture, read.thumbnail, read.thumbnailCovers);
    });
    // Placing the preview also starts its decode, at the size it is placed at.
    TryStep([&] { fitPreview(); });
    TryStep([&] {
        const Picture& shown = imgSmall->GetPicture();
        const long long height = Units::RoundHalfEven(m_scale.ScaleY(shown.Height(), Units::Himetric, Units::Pixels));
        const long long width = Units::RoundHalfEven(m_scale.ScaleX(shown.Width(), Units::Himetric, Units::Pixels));
        setWindowTitle(path + QStringLiteral("   - Height = ") + QString::number(height)
                       + QStringLiteral("  Width = ") + QString::number(width));
    });
}

void frmFileDir::selectionCommentsLoaded(const QString& path, bool ok, const QVector<TooltipRow>& rows)
{
    // A store that could not be read leaves the tooltip as it was, as a closed one does.
    if (!ok)
        return;
    m_store.CompleteLookup(path, rows);
    if (const std::optional<QString> tip = TooltipStore::TooltipOf(rows))
        imgSmall->SetToolTipText(*tip);
}

void frmFileDir::SetToolTipText(const QString& text)
{
    imgSmall->SetToolTipText(text);
}

void frmFileDir::flbFiles_KeyPress(int& KeyAscii)
{
    if (KeyAscii == KeyCodes::Enter)
        flbFiles_Click();
}

void frmFileDir::Form_KeyPress(int& KeyAscii)
{
    flbFiles_KeyPress(KeyAscii);
}

void frmFileDir::keyPressEvent(QKeyEvent* event)
{
    int key = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = KeyCodes::Enter;
    else if (event->text().size() == 1)
        key = event->text().at(0).unicode();
    if (key != 0)
        handle([&] { Form_KeyPress(key); });
    QMainWindow::keyPressEvent(event);
}

void frmFileDir::flbFiles_MouseUp(int Button, int Shift, QPoint pos)
{
    if (Button == MouseButtonCodes::Right)
        m_menus->Menu(QStringLiteral("mnuFile"))->popup(flbFiles->viewport()->mapToGlobal(pos));
}

void frmFileDir::flbFiles_DblClick()
{
    sCurrentFile = JoinPath(flbFiles->Path(), flbFiles->FileName());
    openViewer();
}

void frmFileDir::mnuFullScreen_Click()
{
    if (!sCurrentFile.isEmpty())
        openViewer();
}

void frmFileDir::mnuVFS_Click()
{
    mnuFullScreen_Click();
}

void frmFileDir::imgSmall_Click()
{
    mnuFullScreen_Click();
}

void frmFileDir::openViewer()
{
    // Only the newest viewer is served. An older one still on screen stays there; one
    // that was closed (hidden) is let go now rather than kept holding its pictures.
    if (frmScreen) {
        disconnect(frmScreen, nullptr, this, nullptr);
        if (!frmScreen->isVisible())
            frmScreen->deleteLater();
    }
    frmScreen = new frmFullScreen(m_services.dialogs, [this] { return imgSmall->ToolTipText(); },
                                  m_previewLoader->ViewerAhead(), this);
    connect(frmScreen, &frmFullScreen::QueryFileName, this, &frmFileDir::frmScreen_QueryFileName, Qt::DirectConnection);
    connect(frmScreen, &frmFullScreen::KeyDown, this, &frmFileDir::frmScreen_KeyDown, Qt::DirectConnection);
    connect(frmScreen, &frmFullScreen::QueryNeighbours, this, &frmFileDir::frmScreen_QueryNeighbours,
            Qt::DirectConnection);
    frmScreen->installEventFilter(this);
    // By the time destroyed() comes the viewer is half gone: nothing of it may be touched.
    connect(frmScreen, &QObject::destroyed, this, [this] { m_previewLoader->Resume(); });
    m_previewLoader->ViewerOpened();
    frmScreen->ShowFullScreen();
}

bool frmFileDir::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched == frmScreen)
        viewerGone();
    return QMainWindow::eventFilter(watched, event);
}

void frmFileDir::viewerGone()
{
    // The preview waited while the viewer showed the same files; it takes the viewer's
    // fitted pixels when they are of its picture, and decodes otherwise.
    if (frmScreen && frmScreen->Zoom() == 0)
        m_previewLoader->Resume(frmScreen->imgFullScr->GetPicture().Path(), frmScreen->imgFullScr->Pixels());
    else
        m_previewLoader->Resume();
}

void frmFileDir::frmScreen_KeyDown(short& KeyCode, short& Shift)
{
    Q_UNUSED(Shift);
    StepSelection(KeyCode);
}

void frmFileDir::frmScreen_QueryFileName(QString& sFileName)
{
    sFileName = sCurrentFile;
}

QString frmFileDir::entryPath(int index) const
{
    return index < 0 ? QString() : JoinPath(flbFiles->Path(), flbFiles->List(index));
}

std::pair<QString, QString> frmFileDir::neighbourPaths() const
{
    // The files a step up or down from the selection would show, so they can be decoded ahead.
    const int count = flbFiles->ListCount();
    const int index = flbFiles->ListIndex();
    if (count == 0 || index < 0)
        return {};
    return {entryPath(SteppedListIndex(index, count, KeyCodes::Up)),
            entryPath(SteppedListIndex(index, count, KeyCodes::Down))};
}

void frmFileDir::frmScreen_QueryNeighbours(QString& sPrevious, QString& sNext)
{
    std::tie(sPrevious, sNext) = neighbourPaths();
}

void frmFileDir::mnuExit_Click()
{
    close();
}

frmFullScreen* frmFileDir::Viewer() const
{
    return frmScreen;
}
