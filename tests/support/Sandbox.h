#pragma once

#include <functional>
#include <string>
#include <vector>

namespace parvix::test {

// Called once by main before the tests: gives the test process a mount namespace of its own, so the
// tests can mount small file systems that no other process sees and that vanish with the process.
void enterPrivateMountNamespace();
// Empty when mounting works; otherwise why it does not.
const std::string& mountUnavailableReason();

// A tmpfs with `options` (such as "size=64k") mounted on a new folder for the life of the object.
class TmpfsMount
{
public:
    TmpfsMount(std::string folder, const std::string& options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    void remountReadOnly();
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

struct ProgramRun
{
    int status = -1; // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
};

struct RunOptions
{
    bool asNobody = false;
    long maxOpenFiles = 0; // 0 leaves the limit alone
    std::string workingDirectory = {};
    // Runs in the test while the program runs, with its process id; the run then waits for its end.
    std::function<void(int pid)> whileRunning = {};
};

// Runs a program directly (never through a shell), stdin from /dev/null, and collects its output.
ProgramRun runProgram(const std::vector<std::string>& arguments, const RunOptions& options = {});

// Runs `body` in a child process that has dropped to the user nobody, and returns what it returned
// (or "exception: …"). Without root the process already meets file modes and stays who it is.
std::string runAsNobody(const std::function<std::string()>& body);

// Opens a folder or file to everyone (mode 0755/0644 style), so nobody can reach the test's files.
void openToEveryone(const std::string& path);

} // namespace parvix::test
