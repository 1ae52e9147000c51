#pragma once
// Letting window events run from inside a routine that waits: the messages pending for
// this thread are dispatched and the call returns.

namespace corvale {

// Dispatches what is pending (keys of an open dialog go through its dialog manager) and
// returns; a quit request seen on the way is put back for the main loop.
void LetWindowEventsRun();

}  // namespace corvale
