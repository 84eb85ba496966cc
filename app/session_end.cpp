#include "session_end.h"

#include <cstdlib>
#include <utility>

#ifdef PELMORA_HAVE_ICE
#include <X11/ICE/ICElib.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelmora {

#ifdef PELMORA_HAVE_ICE

namespace {

// The session manager's connection is gone. The toolkit still watches its
// descriptor, which now reads as end of file for ever; pointing the
// descriptor at a pipe that is never written keeps that watch quiet.
void OnSessionManagerLost(IceConn connection) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return;
    ::dup2(pipe[0], IceConnectionNumber(connection));
    ::close(pipe[0]);
    // pipe[1] stays open: a pipe with no writer would read as end of file too.
}

}  // namespace

void KeepRunningWithoutSessionManager() { IceSetIOErrorHandler(OnSessionManagerLost); }

#else

void KeepRunningWithoutSessionManager() {}

#endif

namespace {

// Plain values only: the exit handler runs after the destructors of every
// static constructed after it was registered, so it must reach nothing that
// has a destructor.
void (*saveAtExit)(void*) = nullptr;
void* saveContext = nullptr;

}  // namespace

void SaveOnLibraryExit(void (*save)(void*), void* context) {
    static const bool registered = (std::atexit([] {
                                        if (auto* save = std::exchange(saveAtExit, nullptr)) save(saveContext);
                                    }) == 0);
    (void)registered;
    saveContext = context;
    saveAtExit = save;
}

}  // namespace pelmora
