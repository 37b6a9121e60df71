#include "JoinList.h"

#include <QListWidget>
#include <QStringList>

namespace parvix {

namespace {

// A single-selection list box whose current entry only the user or the program sets. The toolkit's list
// makes its first entry current, unselected, when the focus comes in, so that the first Down would
// select the second entry.
class ListBox : public QListWidget
{
public:
    explicit ListBox(QWidget* parent) : QListWidget(parent)
    {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setSortingEnabled(false);
        setUniformItemSizes(true);
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        const bool hadCurrent = currentIndex().isValid();
        QListWidget::focusInEvent(event);
        if (!hadCurrent && currentIndex().isValid())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
};

} // namespace

JoinList::JoinList(QWidget* page) : m_box(*new ListBox(page))
{
    setParent(&m_box);
}

QListWidget& JoinList::box()
{
    flush();
    return m_box;
}

void JoinList::clear()
{
    m_pending.clear();
    m_box.clear();
}

void JoinList::append(const QString& entry)
{
    if (m_pending.empty() && (!m_operationRunning || !m_box.isVisible()))
        QMetaObject::invokeMethod(this, &JoinList::flush, Qt::QueuedConnection);
    m_pending.push_back(entry);
}

std::int64_t JoinList::count() const
{
    return static_cast<std::int64_t>(m_box.count()) + static_cast<std::int64_t>(m_pending.size());
}

QString JoinList::entry(std::int64_t index) const
{
    const std::int64_t shown = m_box.count();
    if (index >= 0 && index < shown)
        return m_box.item(static_cast<int>(index))->text();
    const std::int64_t pending = index - shown;
    if (pending >= 0 && pending < static_cast<std::int64_t>(m_pending.size()))
        return m_pending[static_cast<std::size_t>(pending)];
    return {};
}

std::vector<std::string> JoinList::entries() const
{
    std::vector<std::string> all;
    all.reserve(static_cast<std::size_t>(count()));
    for (int row = 0; row < m_box.count(); ++row)
        all.push_back(m_box.item(row)->text().toStdString());
    for (const auto& entry : m_pending)
        all.push_back(entry.toStdString());
    return all;
}

void JoinList::flush()
{
    if (m_pending.empty())
        return;
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(m_pending.size()));
    for (auto& entry : m_pending)
        entries.push_back(std::move(entry));
    m_pending.clear();
    m_box.addItems(entries);
}

void JoinList::setOperationRunning(bool running)
{
    m_operationRunning = running;
    if (!running)
        flush();
}

} // namespace parvix
