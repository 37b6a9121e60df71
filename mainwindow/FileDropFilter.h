#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace parvix {

class Form2;

// Takes files dragged onto the main window from a file manager and hands them to Form2::dropFiles.
// It watches the window and every control in it that takes drops of its own (the text boxes), so a
// file dropped on a text box is not pasted into it as text.
class FileDropFilter : public QObject
{
    Q_OBJECT

public:
    // Installs itself on `form` and its controls; owned by `form`.
    explicit FileDropFilter(Form2& form);

    // The local files a drag carries, in its order, as native paths; folders and other URLs left out.
    static QStringList localFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form2& m_form;
};

} // namespace parvix
