// CallBoundary.cpp - see CallBoundary.h.
#include "CallBoundary.h"

#include <cxxabi.h>

namespace {

DWORD threadSlot = TLS_OUT_OF_INDEXES;
ThreadRecord sharedRecord = {};

// The record of the thread's outermost boundary; the shared one when the
// thread is in none (the module throws only inside its boundaries) or there
// is no slot. Asking the slot clears the thread's last error, which the
// exception machinery must not change under the code it runs through.
ThreadRecord* CurrentRecord() noexcept
{
    if (threadSlot == TLS_OUT_OF_INDEXES)
        return &sharedRecord;
    const DWORD error = GetLastError();
    ThreadRecord* record = static_cast<ThreadRecord*>(TlsGetValue(threadSlot));
    SetLastError(error);
    return record != nullptr ? record : &sharedRecord;
}

}  // namespace

// The C++ runtime asks these for the thread's exception record whenever it
// throws, catches or rethrows. They stand in for the runtime's own, which
// would take the record from the heap the first time and abort without it.
namespace __cxxabiv1 {
static_assert(sizeof(ThreadRecord::exceptions) >= 2 * sizeof(void*), "a pointer and a count");

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept
{
    return reinterpret_cast<__cxa_eh_globals*>(CurrentRecord()->exceptions);
}

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept
{
    return reinterpret_cast<__cxa_eh_globals*>(CurrentRecord()->exceptions);
}
}  // namespace __cxxabiv1

void TakeThreadSlot() { threadSlot = TlsAlloc(); }

void ReleaseThreadSlot()
{
    if (threadSlot != TLS_OUT_OF_INDEXES)
        TlsFree(threadSlot);
    threadSlot = TLS_OUT_OF_INDEXES;
}

CallBoundary::CallBoundary() noexcept : own_(), record_(&own_), outermost_(false)
{
    ThreadRecord* const outer = CurrentRecord();
    if (outer != &sharedRecord || threadSlot == TLS_OUT_OF_INDEXES) {
        record_ = outer;
        return;
    }
    // A slot past the first 64 takes memory on a thread's first use; a
    // thread that cannot have it shares the record.
    const DWORD error = GetLastError();
    outermost_ = TlsSetValue(threadSlot, &own_) != FALSE;
    SetLastError(error);
    if (!outermost_)
        record_ = &sharedRecord;
}

CallBoundary::~CallBoundary()
{
    // DoConfig's caller may ask why the dialog could not be created.
    if (!outermost_)
        return;
    const DWORD error = GetLastError();
    TlsSetValue(threadSlot, nullptr);
    SetLastError(error);
}
