#pragma once
#include "FormControls.h"
#include "FormScale.h"

#include <QWidget>
#include <memory>
#include <vector>

class ControlAdapter;
class FolderList;
class IFileSystem;
class QLabel;
class QPushButton;

// The small window in which the user picks the folder to move the selected image to.
// It is modeless and has no owner, so the main window stays usable; it deletes itself
// when closed. Create one with the file system and the main window's current folder,
// connect NewSelected, show it. Neither button answers Enter or Esc.
class frmNewPath : public QWidget {
    Q_OBJECT
public:
    static constexpr double DesignClientWidth = 4335;   // twips
    static constexpr double DesignClientHeight = 4170;  // twips

    frmNewPath(const IFileSystem& fs, const QString& startFolder);
    ~frmNewPath() override;

    // Opens the folder list on the start folder.
    void Form_Load();
    // "Move": reports the folder the list has open, then unloads.
    void cmdOK_Click();
    // "Cancel": unloads without a report.
    void cmdAbort_Click();

    QLabel* Label1 = nullptr;
    FolderList* dirNewPath = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdAbort = nullptr;
    const FormScale& Scale() const { return m_scale; }
    ControlAdapter& Bounds(QWidget* control) const;

Q_SIGNALS:
    // The chosen folder, raised before the window unloads; the receiver may change it.
    void NewSelected(QString& sPath);

private:
    QString m_startFolder;
    FormScale m_scale;
    FormControls m_controls;
};
