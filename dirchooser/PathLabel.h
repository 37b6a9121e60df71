#pragma once

#include <QLabel>

namespace parvix {

// A label that holds a path and shows as much of it as fits, eliding the middle of a long one; the
// whole path is its tool tip.
class PathLabel : public QLabel
{
public:
    explicit PathLabel(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    void setPath(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateShownText();

    QString m_path;
};

} // namespace parvix
