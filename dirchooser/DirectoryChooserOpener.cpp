#include "DirectoryChooserOpener.h"

#include "Form1.h"
#include "NativeDirectorySource.h"
#include "Platform.h"

namespace parvix {

DirectoryChooserOpener::DirectoryChooserOpener(Questions& questions, std::unique_ptr<DirectorySource> source)
    : m_questions(questions), m_source(std::move(source))
{
    if (!m_source)
        m_source = std::make_unique<NativeDirectorySource>();
}

DirectoryChooserOpener::~DirectoryChooserOpener() = default;

std::optional<QString> DirectoryChooserOpener::open()
{
    if (!m_form)
        m_form = std::make_unique<Form1>(*m_source, m_questions);
    std::optional<QString> chosen;
    if (m_form->exec() == QDialog::Accepted)
        chosen = m_form->directory() + QLatin1Char(kSeparator);
    if (m_form->wasClosed())
        m_form.reset();
    return chosen;
}

} // namespace parvix
