// A shim over the C library's file calls, for tests of what a download does when the drive
// fails: linked into a test program, or preloaded into a program, it fails, slows or ends
// the process at a chosen call on files of one folder. Nothing else is touched.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The kinds of call counted, each on a file of the armed folder or on the folder itself:
// "open" (the folder, or a file opened without creating it), "create", "write" (write and
// pwrite), "setxattr", "fdatasync", "fsync", "pread" (before the file was flushed: what the
// cache holds), "readback" (a pread after it: what the drive holds), "close", "rename"
// (renameat2, renameat and linkat), "unlink".

// From now on, calls on `folder` and the files in it are counted; the `nth` call of `kind`
// (counted from 1) fails with `error`, or, with `error` 0, reads back one byte changed (for
// "readback": a drive that returns what it was not given). `nth` 0 fails none, -1 every one.
void fsfault_arm(const char* folder, const char* kind, int nth, int error);
// Counting stops; nothing fails any more.
void fsfault_disarm(void);
// How many calls of that kind were counted since the folder was armed.
int fsfault_count(const char* kind);
// The process is killed (SIGKILL) at the call after the first `calls` counted ones.
void fsfault_kill_after(int calls);

#ifdef __cplusplus
}
#endif

// Preloaded, it reads its settings from the environment instead:
//   PICTROVE_FSFAULT_FOLDER   the folder (required for the others to take effect)
//   PICTROVE_FSFAULT_KIND, PICTROVE_FSFAULT_NTH, PICTROVE_FSFAULT_ERRNO   as fsfault_arm
//   PICTROVE_FSFAULT_KILL_AFTER=N   SIGKILL the process right after the Nth counted call
//   PICTROVE_FSFAULT_FLUSH_DELAY_MS=M   every fdatasync and fsync takes M ms longer
