#include "FileList.h"
#include "AppError.h"
#include "FileListModel.h"
#include "FormSurface.h"
#include "IFileSystem.h"
#include "KeyCodes.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>


FileList::FileList(const IFileSystem& fs, const QString& startFolder, QWidget* parent)
    : QListView(parent), m_fs(fs), m_model(new FileListModel(this)),
      m_path(QDir::cleanPath(startFolder)), m_pattern(QStringLiteral("*.*"))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { syncFromView(); });
    invalidate();
}

void FileList::SetPath(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    m_fs.CheckFolder(clean);
    m_path = clean;
    invalidate();
}

void FileList::SetPattern(const QString& pattern)
{
    m_pattern = WildcardPattern(pattern);
    invalidate();
}

void FileList::Refresh()
{
    invalidate();
}

void FileList::invalidate()
{
    m_stale = true;
    m_listIndex = -1;
    // The view fills itself at the next turn of the event loop if nobody asks sooner.
    QTimer::singleShot(0, this, [this] { ensureListed(); });
}

void FileList::ensureListed() const
{
    if (!m_stale)
        return;
    m_stale = false;
    QStringList names;
    try {
        names = ListMatchingFiles(m_fs, m_path, m_pattern);
    } catch (const AppError&) {
        // A folder that vanished or became unreadable since it was opened lists as empty.
    }
    auto* self = const_cast<FileList*>(this);
    QSignalBlocker block(self->selectionModel());
    self->m_model->SetNames(std::move(names));
}

int FileList::ListCount() const
{
    ensureListed();
    return static_cast<int>(m_model->Names().size());
}

QString FileList::List(int index) const
{
    ensureListed();
    return index >= 0 && index < m_model->Names().size() ? m_model->Names().at(index) : QString();
}

QString FileList::FileName() const
{
    return List(m_listIndex);
}

bool FileList::Selected(int index) const
{
    return index >= 0 && index == m_listIndex;
}

void FileList::SetSelected(int index, bool selected)
{
    if (index < 0 || index >= ListCount())
        throw AppError(ErrNo::InvalidPropertyArrayIndex, QStringLiteral("FileList.Selected"),
                       QStringLiteral("Invalid property array index"));
    if (selected)
        SetListIndex(index);
    else if (index == m_listIndex)
        showIndex(-1), m_listIndex = -1;
}

void FileList::SetListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        throw AppError(ErrNo::InvalidPropertyValue, QStringLiteral("FileList.ListIndex"),
                       QStringLiteral("Invalid property value"));
    if (index == m_listIndex)
        return;
    m_listIndex = index;
    showIndex(index);
    Q_EMIT Click();
}

void FileList::showIndex(int index)
{
    m_settingIndex = true;
    if (index < 0) {
        selectionModel()->clear();
    } else {
        const QModelIndex mi = m_model->index(index);
        selectionModel()->setCurrentIndex(mi, QItemSelectionModel::ClearAndSelect);
        scrollTo(mi);
    }
    m_settingIndex = false;
}

void FileList::syncFromView()
{
    // Only a selected row is a choice of the user's: the view also makes rows current
    // without selecting them (on focus, before a press selects).
    if (m_settingIndex)
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.first().row() == m_listIndex)
        return;
    m_listIndex = rows.first().row();
    Q_EMIT Click();
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    ensureListed();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT KeyPress(KeyCodes::Enter);
        return;
    }
    QListView::keyPressEvent(event);
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 128 && text.at(0).isPrint())
        Q_EMIT KeyPress(text.at(0).unicode());
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    // The right button opens the File menu on release and never moves the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FileList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        QListView::mouseReleaseEvent(event);
    Q_EMIT MouseUp(MouseButtonCode(event->button()), ShiftCode(event->modifiers()),
                   event->position().toPoint());
}

void FileList::focusInEvent(QFocusEvent* event)
{
    // With nothing selected, the first arrow key must select the first row, so the
    // row the view made current on focus is let go again.
    QListView::focusInEvent(event);
    if (m_listIndex == -1 && currentIndex().isValid()) {
        m_settingIndex = true;
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        m_settingIndex = false;
    }
}

void FileList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        Q_EMIT DblClick();
}
