// Shared main for the benchmarks: runs them, then prints each subject's time as a ratio to its
// baseline measured in the same run.
#pragma once

#include <string>

// Declares that benchmark `subject` is reported as a ratio to benchmark `baseline`, with the
// largest ratio aimed for (0: none, the ratio is only shown). Call from a static initialiser. Wall-clock time by
// default; CPU time where the work is pure computation and other processes on the machine would distort it.
bool DeclareRatio(const std::string &label, const std::string &subject, const std::string &baseline, double target,
                  bool cpuTime = false);

// True when the program runs as a short smoke test (--smoke): tiny inputs, one quick pass.
bool SmokeRun();
