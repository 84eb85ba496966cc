#pragma once

#include <functional>

class QObject;

namespace pelmora {

// Runs `handler` in the event loop when SIGTERM, SIGINT or SIGHUP arrives, so
// that the program ends the same way as when its window is closed. Does
// nothing where these signals do not exist.
void RouteTerminationSignals(QObject* owner, std::function<void()> handler);

}  // namespace pelmora
