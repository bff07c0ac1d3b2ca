// Called by a thread that is about to end: its windows go, its queue refuses
// further messages and threads waiting on a send to it get 0, before anyone
// waiting on the thread's handle is released.
#pragma once

namespace tevrin::win32 {
void EndThreadMessaging();
}  // namespace tevrin::win32
