// parvix-bench-run: runs one command and prints its wall time and peak memory, for bench/run.sh.
//
//   parvix-bench-run [--stdout FILE] [--warm MIB] [--] PROGRAM ARG...
//
// --warm touches and frees MIB of memory just before the clock starts. On a virtual machine whose
// host takes back memory the guest leaves free, the first touch of such memory is slow, and every run
// writes its output into freshly allocated page cache: warming gives each run the same start.
//
// Prints "SECONDS PEAK_KIB CPU_SECONDS" on stdout, CPU being user plus system time, and exits with the
// command's status; the command's own stdout goes to FILE, or to /dev/null. Timing starts just before
// fork and ends when wait4 returns, so every program measured pays the same start-up.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

int usage()
{
    std::fputs("usage: parvix-bench-run [--stdout FILE] [--warm MIB] [--] PROGRAM ARG...\n", stderr);
    return 64;
}

void warm(std::size_t mebibytes)
{
    const std::size_t size = mebibytes << 20;
    void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;
    auto* bytes = static_cast<volatile unsigned char*>(memory);
    for (std::size_t i = 0; i < size; i += 4096)
        bytes[i] = 1;
    ::munmap(memory, size);
}

} // namespace

int main(int argc, char** argv)
{
    std::string output = "/dev/null";
    std::size_t warmMebibytes = 0;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--stdout" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "--warm" && i + 1 < argc) {
            warmMebibytes = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--") {
            ++i;
            break;
        } else {
            break;
        }
    }
    if (i >= argc)
        return usage();

    // Opened before the clock starts: creating the output is not part of what is measured.
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        std::fprintf(stderr, "parvix-bench-run: %s: %s\n", output.c_str(), std::strerror(errno));
        return 70;
    }

    if (warmMebibytes > 0)
        warm(warmMebibytes);
    const double start = now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::fprintf(stderr, "parvix-bench-run: fork: %s\n", std::strerror(errno));
        return 70;
    }
    if (child == 0) {
        ::dup2(out, 1);
        ::execvp(argv[i], argv + i);
        std::fprintf(stderr, "parvix-bench-run: %s: %s\n", argv[i], std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::fprintf(stderr, "parvix-bench-run: wait4: %s\n", std::strerror(errno));
            return 70;
        }
    }
    const double seconds = now() - start;
    ::close(out);

    const auto cpu = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    std::printf("%.6f %ld %.6f\n", seconds, usage.ru_maxrss, cpu(usage.ru_utime) + cpu(usage.ru_stime));
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
