// How the process keeps the memory its files free: a command that reads, builds and
// writes one file after another frees large blocks after every file and asks for
// them again for the next one.
#pragma once

namespace host {

// Keeps freed memory in the process for the next file instead of giving it back to
// the system at once (which costs a page fault on each of its pages when it is asked
// for again). Call once, before the first file; where the C library offers no such
// setting, nothing changes.
void KeepFreedMemoryForNextFiles();

}  // namespace host
