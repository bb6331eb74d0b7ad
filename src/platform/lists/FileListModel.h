#pragma once
#include <QAbstractListModel>
#include <QStringList>

// The rows of a FileList: plain names, so that a view over 100,000 files costs one
// string per row and paints only what is visible.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void SetNames(QStringList names);
    const QStringList& Names() const { return m_names; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList m_names;
};

// Reads, filters and orders the names of one folder: the visible regular files whose
// names match the pattern, sorted by name without regard to case.
class IFileSystem;
class WildcardPattern;
QStringList ListMatchingFiles(const IFileSystem& fs, const QString& folder,
                              const WildcardPattern& pattern);
