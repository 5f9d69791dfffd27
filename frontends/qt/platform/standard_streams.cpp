#include "frontends/qt/platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace vorlak {
namespace {

void ignorePipeSignal(int) {}

}  // namespace

void keepStandardStreamsHarmless() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number, which is this one: the lower ones are open.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) close(opened);
    }
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction quiet {};
    quiet.sa_handler = ignorePipeSignal;
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &quiet, nullptr);
}

}  // namespace vorlak
