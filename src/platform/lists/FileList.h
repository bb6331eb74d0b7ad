#pragma once
#include "WildcardPattern.h"

#include <QListView>

class IFileSystem;
class FileListModel;

// The file list box: the files of one folder that match a pattern, one of them
// selected. Setting ListIndex selects and raises Click synchronously; a user's click
// or arrow key does the same. Reading the folder is deferred until the list is next
// used, so setting Path, Pattern and Refresh in a row reads a huge folder once.
class FileList : public QListView {
    Q_OBJECT
public:
    FileList(const IFileSystem& fs, const QString& startFolder, QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Throws AppError (and keeps its folder) when `path` is not a readable folder.
    void SetPath(const QString& path);
    QString Pattern() const { return m_pattern.Text(); }
    void SetPattern(const QString& pattern);
    // Re-reads the folder; the selection is cleared without a Click.
    void Refresh();

    int ListCount() const;
    int ListIndex() const { return m_listIndex; }
    void SetListIndex(int index);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    QString FileName() const;
    QString List(int index) const;

Q_SIGNALS:
    void Click();
    void DblClick();
    void KeyPress(int keyAscii);
    // Button 1 left, 2 right, 4 middle; `pos` in the list's own pixels.
    void MouseUp(int button, int shift, QPoint pos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void invalidate();
    void ensureListed() const;
    void showIndex(int index);
    void syncFromView();

    const IFileSystem& m_fs;
    FileListModel* m_model;
    QString m_path;
    WildcardPattern m_pattern;
    int m_listIndex = -1;
    mutable bool m_stale = true;
    bool m_settingIndex = false;
};
