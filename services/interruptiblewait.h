#pragma once
// The pause every job and every flow operation uses: it sleeps in slices of at
// most 50 ms and ends early once AppConfig::runFlag is cleared, holding the fine
// (1 ms) timer resolution only while it waits.

// Waits `ms` milliseconds or until the run flag is cleared. Returns at once when ms
// is below 1 (without touching the timer resolution). With the flag already clear
// the timer resolution is still raised and restored, without sleeping.
void interruptibleWait(int ms);
