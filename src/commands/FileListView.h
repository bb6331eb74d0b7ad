#pragma once
#include "IFileListView.h"

class FileList;

// The main window's file list as the file commands see it. Create one over the window's
// flbFiles and keep it as long as the list.
class FileListView : public IFileListView {
public:
    explicit FileListView(FileList& list) : m_list(list) {}

    QString Path() const override;
    QString FileName() const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;
    int ListCount() const override;
    void Refresh() override;

private:
    FileList& m_list;
};
