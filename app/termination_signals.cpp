#include "termination_signals.h"

#include <QObject>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#endif

namespace pelmora {

#ifdef Q_OS_UNIX

namespace {

int signalWriteEnd = -1;

// Only async-signal-safe work here: one byte into the socket wakes the loop.
// The code it interrupted finds errno as it left it.
void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
    errno = saved;
}

}  // namespace

void RouteTerminationSignals(QObject* owner, std::function<void()> handler) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) return;
    signalWriteEnd = fds[0];

    auto* notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [fd = fds[1], handler = std::move(handler)] {
        char buffer[16];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        handler();
    });

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

#else

void RouteTerminationSignals(QObject*, std::function<void()>) {}

#endif

}  // namespace pelmora
