#include "DirectoryChooserOpener.h"

#include "Form1.h"
#include "NativeDirectorySource.h"

#include <QLineEdit>

namespace parvix {

DirectoryChooserOpener::DirectoryChooserOpener(QLineEdit* text4, QLineEdit* text2, Questions& questions,
                                               std::unique_ptr<DirectorySource> source)
    : m_text4(text4), m_text2(text2), m_questions(questions), m_source(std::move(source))
{
    if (!m_source)
        m_source = std::make_unique<NativeDirectorySource>();
}

DirectoryChooserOpener::~DirectoryChooserOpener() = default;

void DirectoryChooserOpener::open()
{
    if (!m_form)
        m_form = std::make_unique<Form1>(*m_source, m_questions, m_text4, m_text2);
    m_form->exec();
    if (m_form->wasClosed())
        m_form.reset();
}

} // namespace parvix
