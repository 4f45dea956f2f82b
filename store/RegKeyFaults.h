// For tests only: registry writes stopped after a count, as a process killed at that point leaves
// the registry. The program itself never sets a stop.
#pragma once

// After `writes` more calls that write or delete through RegKey (a key created, a value set, a
// value or key deleted), every further one is skipped; a negative count lifts the stop.
void StopRegistryWritesAfter(int writes);
// Whether a call was skipped since the stop was set.
bool RegistryWritesStopped();
