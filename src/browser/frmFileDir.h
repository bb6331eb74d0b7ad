#pragma once
#include "BrowserServices.h"
#include "FormControls.h"
#include "FormScale.h"
#include "Globals.h"
#include "IPreviewTooltip.h"
#include "SelectionLoader.h"
#include "TooltipStore.h"
#include "frmFullScreen.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QTimer;

class BrowserLayout;
class ControlAdapter;
class CSplitter;
class DriveList;
class FileList;
class FolderList;
class FormSurface;
class MenuTree;
class PictureBox;
class PictureControl;
class CommentCommands;
class EditCommand;
class FileCommands;
class FileListView;
class ImageInformation;
class PreviewLoader;
class QtSplitterHost;

// The main window: drive, folder and file lists chained together, the preview, the
// menus, and the start and end of the program's life. Create it with the services it
// should use, call Form_Load(), then show it; closing it unloads it and emits Unloaded.
class frmFileDir : public QMainWindow, public IPreviewTooltip {
    Q_OBJECT
public:
    static constexpr double DesignClientWidth = 11880;   // twips
    static constexpr double DesignClientHeight = 8310;   // twips
    // How often a comment re-key refused by a locked store is tried again.
    static constexpr int RekeyRetryIntervalMs = 2000;
    // The file list's pattern unless the settings name another ([Browser] pattern=).
    static QString FilePattern() { return QStringLiteral("*.jpg;*.gif;*.bmp;*.dib"); }

    explicit frmFileDir(const BrowserServices& services, QWidget* parent = nullptr);
    ~frmFileDir() override;

    void Form_Load();
    // What the command line asked for, once the window shows: the folder opened, the file
    // selected as if clicked, or shown full screen (always so for a file the list's
    // pattern leaves out). An empty folder keeps the one Form_Load opened.
    void OpenAtStart(const QString& folder, const QString& file, bool fullScreen);
    void Form_Unload(int& Cancel);

    // Layout.
    void Form_Resize();
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_Paint(QPainter& painter);

    // Navigation.
    void dirFolders_Change();
    void DriveList_Change();
    void SetFolder(const QString& sPath);
    void StepSelection(short KeyCode);
    void flbFiles_Click();
    void flbFiles_KeyPress(int& KeyAscii);
    void Form_KeyPress(int& KeyAscii);
    void flbFiles_MouseUp(int Button, int Shift, QPoint pos);
    void flbFiles_DblClick();
    void mnuExit_Click();

    // Full-screen hand-off.
    void mnuFullScreen_Click();
    void mnuVFS_Click();
    void imgSmall_Click();
    void frmScreen_KeyDown(short& KeyCode, short& Shift);
    void frmScreen_QueryFileName(QString& sFileName);
    void frmScreen_QueryNeighbours(QString& sPrevious, QString& sNext);
    frmFullScreen* Viewer() const;

    // The current image: the folder, one "/" always inserted, and the file name.
    QString CurrentFile() const override { return sCurrentFile; }
    void SetToolTipText(const QString& text) override;
    TooltipStore& Comments() { return m_store; }
    FileCommands& Files() const { return *m_fileCommands; }
    PreviewLoader& Preview() const { return *m_previewLoader; }
    SelectionLoader& Selection() const { return *m_selection; }
    QString AppName() const;
    QString ExeFolder() const;

    // The controls, as tests and the layout reach them.
    ::DriveList* DriveList = nullptr;
    FolderList* dirFolders = nullptr;
    FileList* flbFiles = nullptr;
    PictureBox* imgSmall = nullptr;
    ControlAdapter& Bounds(QWidget* control) const;
    CSplitter* splitter = nullptr;
    CSplitter* subSplitter = nullptr;
    QtSplitterHost& SplitterHost() const { return *m_splitterHost; }
    const FormScale& Scale() const { return m_scale; }
    const MenuTree& Menus() const { return *m_menus; }
    FormSurface* Surface() const { return m_surface; }

Q_SIGNALS:
    // The window has unloaded: the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectControls();
    void connectMenus();
    void onMenu(const char* name, std::function<void()> handler);
    void connectCommands();
    void connectSurface();
    void setUpLayout();
    void fitPreview();
    void selectionPictureLoaded(const QString& path, const SelectionLoader::PictureRead& read);
    QSize previewPane() const;
    void selectionCommentsLoaded(const QString& path, bool ok, const QVector<TooltipRow>& rows);
    void openViewer();
    void viewerGone();
    QString entryPath(int index) const;
    std::pair<QString, QString> neighbourPaths() const;
    void handle(const std::function<void()>& handler);
    void retryPendingRekeys();

    BrowserServices m_services;
    Globals m_globals;
    FormSurface* m_surface = nullptr;
    FormScale m_scale;
    std::unique_ptr<MenuTree> m_menus;
    FormControls m_controls;
    std::unique_ptr<PictureControl> m_preview;
    std::unique_ptr<QtSplitterHost> m_splitterHost;
    std::unique_ptr<BrowserLayout> m_layout;  // after the host: its splitters draw through it
    std::unique_ptr<PreviewLoader> m_previewLoader;
    std::unique_ptr<SelectionLoader> m_selection;
    TooltipStore m_store;
    QTimer* m_rekeyRetry = nullptr;  // runs while comment re-keys wait for the store
    std::unique_ptr<CommentCommands> m_commentCommands;
    std::unique_ptr<FileListView> m_fileListView;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<EditCommand> m_editCommand;
    std::unique_ptr<ImageInformation> m_imageInfo;
    QPointer<frmFullScreen> frmScreen;
    QString sCurrentFile;
    int m_laidOutOuterHeight = -1;  // the outer height, in pixels, the file list was placed for
};
