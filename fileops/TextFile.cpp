#include "FileError.h"
#include "FileServices.h"

namespace parvix {

void replaceFile(FileServices& files, const std::string& path, const std::function<void(File&)>& write)
{
    std::string temporary;
    auto file = files.createTemporary(path, AtLink::Replace, temporary);
    try {
        write(*file);
        file->flush();
        // Renamed while it is open, so that nobody takes it for a leftover in between.
        files.rename(temporary, path, AtLink::Replace);
        file->close();
    } catch (...) {
        file.reset();
        try {
            files.remove(temporary);
        } catch (const FileError&) {
            // Renamed already, or gone: nothing is left to remove.
        }
        throw;
    }
}

void writeTextFile(FileServices& files, const std::string& path, const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += files.textLineBytes(line);
        text += "\r\n";
    }
    replaceFile(files, path,
                [&](File& file) { file.write(0, reinterpret_cast<const std::byte*>(text.data()), text.size()); });
}

} // namespace parvix
