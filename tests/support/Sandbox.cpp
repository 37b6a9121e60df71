#include "Sandbox.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvix::test {

namespace {

std::string g_mountReason = "the mount namespace was not set up";

std::string errorText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Switches this (child) process to nobody; returns false when that fails.
bool becomeNobody()
{
    if (::geteuid() != 0)
        return true;
    const passwd* user = ::getpwnam("nobody");
    const uid_t uid = user ? user->pw_uid : 65534;
    const group* nogroup = ::getgrnam("nogroup");
    const gid_t gid = nogroup ? nogroup->gr_gid : (user ? user->pw_gid : 65534);
    return ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

void enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        g_mountReason = errorText("cannot make a mount namespace (unshare)");
        return;
    }
    // Mounts made here must not leak into the parent namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        g_mountReason = errorText("cannot make the mounts private");
        return;
    }
    g_mountReason.clear();
}

const std::string& mountUnavailableReason()
{
    return g_mountReason;
}

TmpfsMount::TmpfsMount(std::string folder, const std::string& options) : m_path(std::move(folder))
{
    if (::mkdir(m_path.c_str(), 0755) != 0 && errno != EEXIST)
        throw std::runtime_error(errorText("mkdir " + m_path));
    if (::mount("parvix-test", m_path.c_str(), "tmpfs", 0, options.c_str()) != 0)
        throw std::runtime_error(errorText("mount tmpfs -o " + options + " on " + m_path));
}

TmpfsMount::~TmpfsMount()
{
    ::umount2(m_path.c_str(), MNT_DETACH);
}

void TmpfsMount::remountReadOnly()
{
    if (::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw std::runtime_error(errorText("remount read-only " + m_path));
}

ProgramRun runProgram(const std::vector<std::string>& arguments, const RunOptions& options)
{
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (!out || !err)
        throw std::runtime_error(errorText("tmpfile"));
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(errorText("fork"));
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        ::dup2(::fileno(out), 1);
        ::dup2(::fileno(err), 2);
        // Nothing of the test process leaks into the program: its open files count against its limit.
        ::close_range(3, ~0U, 0);
        if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
            ::_exit(125);
        if (options.asNobody && !becomeNobody())
            ::_exit(126);
        if (options.maxOpenFiles > 0) {
            const rlimit limit{static_cast<rlim_t>(options.maxOpenFiles), static_cast<rlim_t>(options.maxOpenFiles)};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        std::vector<char*> argv;
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ProgramRun run;
    if (options.whileRunning)
        options.whileRunning(pid);
    run.status = waitFor(pid);
    std::rewind(out);
    std::rewind(err);
    run.out = readAll(::fileno(out));
    run.err = readAll(::fileno(err));
    std::fclose(out);
    std::fclose(err);
    return run;
}

std::string runAsNobody(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error(errorText("pipe"));
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(errorText("fork"));
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string result;
        if (!becomeNobody()) {
            result = errorText("exception: cannot become nobody");
        } else {
            try {
                result = body();
            } catch (const std::exception& error) {
                result = std::string("exception: ") + error.what();
            }
        }
        const char* data = result.data();
        std::size_t left = result.size();
        while (left > 0) {
            const ssize_t put = ::write(pipeFds[1], data, left);
            if (put <= 0)
                break;
            data += put;
            left -= static_cast<std::size_t>(put);
        }
        ::_exit(0); // no destructors or exit handlers of the test process in the child
    }
    ::close(pipeFds[1]);
    std::string result = readAll(pipeFds[0]);
    ::close(pipeFds[0]);
    if (waitFor(pid) != 0)
        result += "\n(child ended abnormally)";
    return result;
}

void openToEveryone(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        throw std::runtime_error(errorText("stat " + path));
    const mode_t mode = S_ISDIR(st.st_mode) ? 0755 : 0644;
    if (::chmod(path.c_str(), mode) != 0)
        throw std::runtime_error(errorText("chmod " + path));
}

} // namespace parvix::test
