// A minimal X session manager for the tests: starts the program as a client
// of its session, then takes steps given on the command line:
//   checkpoint      save request (shutdown False); the client must answer
//   cancel-logout   save request for a logout, answered, then cancelled
//   die             Die, with no save request since the last change: the
//                   client must save and end
//   vanish          the session manager goes away without a word
//   alive           the client is still running half a second later
//   idle            the client is still running two seconds later, having
//                   used under a tenth of a core meanwhile
//   end             SIGTERM to the client, which must end
//   run:COMMAND     a shell command, which must succeed
// Usage: session_manager PROGRAM STEP...
#include <X11/SM/SMlib.h>
// After SMlib.h, which brings the types it needs.
#include <X11/ICE/ICEutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

pid_t client = 0;
SmsConn session = nullptr;
bool registered = false;
bool saveDone = false;
int listenCount = 0;
IceListenObj* listeners = nullptr;
std::vector<IceConn> connections;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "FAIL: %s\n", why.c_str());
    if (client > 0) kill(client, SIGKILL);
    std::exit(1);
}

Status RegisterClient(SmsConn connection, SmPointer, char* previousId) {
    std::free(previousId);
    char* id = SmsGenerateClientID(connection);
    SmsRegisterClientReply(connection, id);
    std::free(id);
    registered = true;
    return 1;
}
void SaveYourselfDone(SmsConn, SmPointer, Bool) { saveDone = true; }
void SetProperties(SmsConn, SmPointer, int count, SmProp** properties) {
    for (int i = 0; i < count; ++i) SmFreeProperty(properties[i]);
    std::free(properties);
}
void DeleteProperties(SmsConn, SmPointer, int count, char** names) {
    for (int i = 0; i < count; ++i) std::free(names[i]);
    std::free(names);
}
void CloseConnection(SmsConn connection, SmPointer, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    SmsCleanUp(connection);
    session = nullptr;
}
void Ignore(SmsConn, SmPointer) {}
void IgnoreInteract(SmsConn, SmPointer, int) {}
void IgnoreInteractDone(SmsConn, SmPointer, Bool) {}
void IgnoreSaveRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

Status NewClient(SmsConn connection, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
    session = connection;
    std::memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.callback = RegisterClient;
    callbacks->interact_request.callback = IgnoreInteract;
    callbacks->interact_done.callback = IgnoreInteractDone;
    callbacks->save_yourself_request.callback = IgnoreSaveRequest;
    callbacks->save_yourself_phase2_request.callback = Ignore;
    callbacks->save_yourself_done.callback = SaveYourselfDone;
    callbacks->close_connection.callback = CloseConnection;
    callbacks->set_properties.callback = SetProperties;
    callbacks->delete_properties.callback = DeleteProperties;
    callbacks->get_properties.callback = Ignore;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
            SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
            SmsGetPropertiesProcMask;
    return 1;
}

Bool AnyHost(char*) { return True; }
// A client that goes is seen by the poll loop; libICE's default would exit.
void IgnoreIOError(IceConn) {}

// The client's processor time so far, in seconds.
double CpuSeconds() {
    std::FILE* file = std::fopen(("/proc/" + std::to_string(client) + "/stat").c_str(), "r");
    if (!file) Fail("cannot read the client's processor time");
    char stat[1024] = "";
    const std::size_t length = std::fread(stat, 1, sizeof stat - 1, file);
    std::fclose(file);
    stat[length] = '\0';
    // After the command's name in parentheses: state, then 10 fields before user and system time.
    unsigned long user = 0, system = 0;
    const char* rest = std::strrchr(stat, ')');
    if (!rest || std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2) {
        Fail("cannot read the client's processor time");
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool ClientEnded() {
    int status = 0;
    return waitpid(client, &status, WNOHANG) == client;
}

// Serves the session's connections until `done` or `seconds` have passed.
template <typename Done>
bool ServeUntil(Done done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::vector<pollfd> fds;
        for (int i = 0; i < listenCount; ++i) fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn connection : connections) fds.push_back({IceConnectionNumber(connection), POLLIN, 0});
        if (poll(fds.data(), fds.size(), 50) <= 0) continue;
        // Only the connections polled: one accepted below waits for the next round.
        const std::size_t polled = connections.size();
        for (int i = 0; i < listenCount; ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            IceAcceptStatus status;
            if (IceConn connection = IceAcceptConnection(listeners[i], &status)) connections.push_back(connection);
        }
        for (std::size_t i = 0; i < polled; ++i) {
            if (!(fds[listenCount + i].revents & (POLLIN | POLLHUP))) continue;
            if (IceProcessMessages(connections[i], nullptr, nullptr) != IceProcessMessagesSuccess) {
                IceSetShutdownNegotiation(connections[i], False);
                IceCloseConnection(connections[i]);
                connections.erase(connections.begin() + static_cast<long>(i));
                break;
            }
        }
    }
    return true;
}

void SaveYourself(Bool shutdown, int interactStyle) {
    if (!session) Fail("no client in the session");
    saveDone = false;
    SmsSaveYourself(session, SmSaveBoth, shutdown, interactStyle, False);
    if (!ServeUntil([] { return saveDone; }, 10)) Fail("the client never answered the save request");
}

void Step(const std::string& step) {
    if (step == "checkpoint") {
        SaveYourself(False, SmInteractStyleNone);
        SmsSaveComplete(session);
    } else if (step == "cancel-logout") {
        SaveYourself(True, SmInteractStyleAny);
        SmsShutdownCancelled(session);
    } else if (step == "die") {
        SmsDie(session);
        if (!ServeUntil(ClientEnded, 10)) Fail("Die did not end the client");
        client = 0;
    } else if (step == "vanish") {
        // As a session manager that crashed: every socket simply closes.
        // The connections' memory stays held, as a crashed process's would.
        static std::vector<IceConn> abandoned;
        [[maybe_unused]] static SmsConn abandonedSession = session;
        for (IceConn connection : connections) close(IceConnectionNumber(connection));
        for (int i = 0; i < listenCount; ++i) close(IceGetListenConnectionNumber(listeners[i]));
        abandoned.swap(connections);
        listenCount = 0;
        session = nullptr;
    } else if (step == "alive") {
        ServeUntil([] { return false; }, 0.5);
        if (ClientEnded()) Fail("the client ended");
    } else if (step == "idle") {
        const double before = CpuSeconds();
        ServeUntil([] { return false; }, 2);
        if (ClientEnded()) Fail("the client ended");
        const double used = CpuSeconds() - before;
        if (used > 0.2) Fail("the client used " + std::to_string(used) + " s of processor time in 2 s");
    } else if (step == "end") {
        kill(client, SIGTERM);
        if (!ServeUntil(ClientEnded, 10)) Fail("SIGTERM did not end the client");
        client = 0;
    } else if (step.rfind("run:", 0) == 0) {
        // Served meanwhile only by the socket buffers: the client's messages are small.
        if (std::system(step.c_str() + 4) != 0) Fail("step failed: " + step.substr(4));
    } else {
        Fail("unknown step " + step);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) Fail("usage: session_manager PROGRAM STEP...");
    char error[256] = "";
    IceSetIOErrorHandler(IgnoreIOError);
    if (!SmsInitialize("pelmora-test", "1.0", NewClient, nullptr, AnyHost, sizeof error, error)) Fail(error);
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error)) Fail(error);
    for (int i = 0; i < listenCount; ++i) IceSetHostBasedAuthProc(listeners[i], AnyHost);
    char* address = IceComposeNetworkIdList(listenCount, listeners);
    setenv("SESSION_MANAGER", address, 1);
    std::free(address);

    client = fork();
    if (client == 0) {
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    if (!ServeUntil([] { return registered; }, 20)) Fail("the program never joined the session");
    for (int i = 2; i < argc; ++i) Step(argv[i]);
    if (client > 0) kill(client, SIGKILL);
    std::puts("session manager: all steps passed");
    return 0;
}
