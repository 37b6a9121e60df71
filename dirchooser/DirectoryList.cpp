#include "DirectoryList.h"

#include "DirectoryPaths.h"
#include "DirectorySource.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace parvix {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 10;

// Moves each entry right by its depth in the tree.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) { return index.data(kLevelRole).toInt() * kIndentPerLevel; }
};

} // namespace

DirectoryList::DirectoryList(DirectorySource& source, QWidget* parent) : QListWidget(parent), m_source(source)
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QAbstractItemView::doubleClicked, this, &DirectoryList::openEntry);
}

int DirectoryList::setPath(const QString& directory)
{
    QStringList subdirectories;
    if (const int error = m_source.subdirectories(directory, subdirectories))
        return error;
    fill(directory, subdirectories);
    return 0;
}

void DirectoryList::showPath(const QString& directory)
{
    QStringList subdirectories;
    m_source.subdirectories(directory, subdirectories);
    fill(directory, subdirectories);
}

void DirectoryList::refresh()
{
    QStringList subdirectories;
    if (m_source.subdirectories(m_path, subdirectories) != 0)
        return;
    // Keep the highlight where the user left it.
    const QString highlighted = currentItem() ? currentItem()->data(kPathRole).toString() : QString();
    const QSignalBlocker blocker(this);
    const QString directory = m_path;
    fill(directory, subdirectories);
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(kPathRole).toString() == highlighted)
            setCurrentRow(row);
    }
}

void DirectoryList::fill(const QString& directory, const QStringList& subdirectories)
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    const QStringList chain = pathChain(directory);
    int level = 0;
    for (const QString& step : chain) {
        auto* entry = new QListWidgetItem(openIcon, displayName(step), this);
        entry->setData(kPathRole, step);
        entry->setData(kLevelRole, level++);
    }
    const int currentRow = count() - 1;
    for (const QString& name : subdirectories) {
        auto* entry = new QListWidgetItem(closedIcon, name, this);
        entry->setData(kPathRole, childPath(directory, name));
        entry->setData(kLevelRole, level);
    }
    setCurrentRow(currentRow);
    // Show from the root down when it fits; on a deep path give up parents, not the first subdirectories.
    const int rowHeight = sizeHintForRow(0);
    const int visibleRows = rowHeight > 0 ? viewport()->height() / rowHeight : 0;
    const int wantedBelow = std::min(static_cast<int>(subdirectories.size()), 3);
    scrollToItem(item(std::clamp(currentRow + 1 + wantedBelow - visibleRows, 0, currentRow)),
                 QAbstractItemView::PositionAtTop);

    m_path = directory;
    m_source.shown(directory);
    emit pathChanged(m_path);
}

void DirectoryList::openEntry(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    // A directory that has gone or cannot be read is not entered; listing the current one again
    // drops entries that no longer exist.
    if (setPath(index.data(kPathRole).toString()) != 0)
        refresh();
}

void DirectoryList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QModelIndex highlighted = currentIndex();
        if (highlighted.isValid() && highlighted.data(kPathRole).toString() != m_path) {
            openEntry(highlighted);
            event->accept();
            return;
        }
        // Enter on the current directory itself is left to the window: it presses the default button.
        event->ignore();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace parvix
