#include "GuiTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QThread>

namespace parvix::test {

Button ScriptedBoxes::present(QWidget*, const MessageBoxRequest& request)
{
    shown.push_back(request);
    dismissed = false;
    if (onShow)
        onShow(request);
    if (dismissed)
        return Button::No;
    if (!m_answers.empty()) {
        const Button answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return isYesNo(request.style) ? Button::Yes : Button::Ok;
}

QStringList ScriptedBoxes::texts() const
{
    QStringList result;
    for (const auto& request : shown)
        result.push_back(request.text);
    return result;
}

FileDialogAnswer ScriptedDialogs::getOpenFileName(QWidget*, const FileDialogRequest& request)
{
    shown.push_back(request);
    if (m_answers.empty())
        return {};
    const FileDialogAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void onWindowThread(const std::function<void()>& probe)
{
    if (QThread::currentThread() == qApp->thread())
        probe();
    else
        QMetaObject::invokeMethod(qApp, probe, Qt::BlockingQueuedConnection);
}

void writePatternFile(const QString& path, qint64 size, int seed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot create a test file");
    QByteArray block(64 * 1024, Qt::Uninitialized);
    quint32 state = static_cast<quint32>(seed) * 2654435761u + 1;
    for (qint64 written = 0; written < size;) {
        for (auto& byte : block) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<char>(state >> 24);
        }
        const qint64 chunk = std::min<qint64>(block.size(), size - written);
        file.write(block.constData(), chunk);
        written += chunk;
    }
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace parvix::test
