// CallBoundary.h - where calls from the player and from Windows enter the
// module: DoConfig and the two dialog procedures.
//
// Nothing may leave the module into the browser: what a handler throws ends
// at its boundary. And the first exception a thread meets must not need
// memory: the C++ runtime linked into the module would take the thread's
// exception record from the heap and end the browser's process when memory
// is already exhausted. So the module keeps that record itself, in the
// frame of the outermost boundary of the thread, found through one
// thread-local slot taken when the module is loaded. Nested boundaries (a
// dialog procedure inside DoConfig, a second DoConfig inside a dialog's
// loop) share it.
#ifndef KESTROVA_CONFIG_CALL_BOUNDARY_H
#define KESTROVA_CONFIG_CALL_BOUNDARY_H

#include <windows.h>

#include "Kestrova/PlayerEngine.h"

// What the module keeps for a thread while the thread runs in the module.
struct ThreadRecord {
    // The runtime's record of the exceptions caught and in flight on the
    // thread: a pointer and a count, zero when none; room for four words.
    void* exceptions[4];
    // The player whose DoConfig is opening a settings dialog on the thread.
    PlayerHost* openingHost;
};

class CallBoundary {
public:
    CallBoundary() noexcept;
    ~CallBoundary();
    CallBoundary(const CallBoundary&) = delete;
    CallBoundary& operator=(const CallBoundary&) = delete;

    ThreadRecord& Thread() noexcept { return *record_; }

private:
    ThreadRecord own_;
    ThreadRecord* record_;
    bool outermost_;
};

// The slot, taken at process attach and given back when the module is
// unloaded. Without one (a process that has used up its thread-local
// slots) every thread shares one record: exceptions met on two threads at
// once could then confuse each other, and a dialog opened on one thread
// while another thread's DoConfig opens its own could serve that player.
void TakeThreadSlot();
void ReleaseThreadSlot();

// handler() inside a boundary, for a dialog procedure: a handler that
// throws (it ran out of memory) ends where it stands and the dialog goes
// on as the system's default handling leaves it.
template <typename Handler>
INT_PTR GuardedDialogMessage(Handler&& handler) noexcept
{
    CallBoundary boundary;
    try {
        return handler(boundary.Thread());
    } catch (...) {
        // Each handler leaves the dialog whole where it stops (see its
        // comments); there is nobody to tell.
        return FALSE;
    }
}

#endif  // KESTROVA_CONFIG_CALL_BOUNDARY_H
