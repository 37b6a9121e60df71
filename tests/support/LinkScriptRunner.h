#pragma once

#include <string>

namespace parvix::test {

// What running a Link.bat gives: the file its last line writes and the bytes it ends up holding.
struct LinkScriptResult
{
    std::string target;
    std::string bytes;
};

// Carries out the "copy/B" lines of `folder`'s Link.bat the way cmd would, reading the named files
// from that folder: each line concatenates its sources ("a"+"b"+…) into its target, and a source
// naming the target means what the target holds at that moment. Throws std::runtime_error when a
// line is not of that form or does not end in CR LF.
LinkScriptResult runLinkScript(const std::string& folder);

} // namespace parvix::test
