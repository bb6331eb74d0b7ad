#include "FileListView.h"
#include "FileList.h"

QString FileListView::Path() const { return m_list.Path(); }
QString FileListView::FileName() const { return m_list.FileName(); }
int FileListView::ListIndex() const { return m_list.ListIndex(); }
void FileListView::SetListIndex(int index) { m_list.SetListIndex(index); }
int FileListView::ListCount() const { return m_list.ListCount(); }
void FileListView::Refresh() { m_list.Refresh(); }
