// What velk does when it is interrupted (SIGINT, SIGTERM, SIGHUP): its worker processes get the
// same signal and are waited for, the temporary files of outputs not yet in place are removed
// (core/file_io.h), and velk then dies of the signal, so that its exit status is 128 + the signal
// and a shell loop that runs it stops as well.
#pragma once

#include <sys/types.h>

// Installs the handlers; called once on the main thread before anything is written.
void HandleInterruptions();

// The worker processes to pass a signal on to, while they run (at most MaxWorkerProcesses).
inline constexpr int MaxWorkerProcesses = 1024;
void AddWorkerProcess(pid_t process);
void RemoveWorkerProcess(pid_t process);
