#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

namespace parvix {

// The join list box List1 together with the entries on their way into it. Appends are gathered and
// handed to the box in one go, since one insertion per entry would make a cut into many thousands of
// pieces crawl. Everything that reads the list reads it here, so nothing sees it without the entries
// still on their way.
class JoinList : public QObject
{
public:
    // Makes the box on `page`; the box owns this.
    explicit JoinList(QWidget* page);

    // The box itself, with every entry in it: for acting on its rows, its selection and its looks.
    QListWidget& box();

    void clear();
    void append(const QString& entry);
    std::int64_t count() const;
    // Empty outside the list.
    QString entry(std::int64_t index) const;
    // Every entry, in the list's order: what a join or "Add" is given.
    std::vector<std::string> entries() const;

    // Hands the gathered entries to the box, before the user is to see it.
    void flush();

    // A box in view lays all its rows out again for every batch it is handed. While an operation runs it
    // therefore takes the entries only when flushed, or when the operation ends, while a box out of view
    // (a cut runs on the Cut file page) takes them as they come, so that no long pause is left for the
    // end. Outside an operation every append is shown once the window next takes events.
    void setOperationRunning(bool running);

private:
    QListWidget& m_box;
    bool m_operationRunning = false;
    std::vector<QString> m_pending;
};

} // namespace parvix
