#pragma once

namespace pelmora {

// Losing the session manager is no reason to end: the program goes on as one
// started without a session manager does. (libICE's default answer to a lost
// connection is to end the process on the spot, unsaved.)
void KeepRunningWithoutSessionManager();

// Runs save(context) when a library ends the process with exit(), as Qt
// does when its connection to the X server breaks, so that even then the
// settings are written. The program's own ways out end it with _Exit and
// never get here. A null `save` cancels it.
void SaveOnLibraryExit(void (*save)(void*), void* context);

}  // namespace pelmora
