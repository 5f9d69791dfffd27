// Standard input, output and error as a desktop's launcher may leave them:
// closed, or a pipe whose reader has gone.
#pragma once

namespace vorlak {

// Call first thing in main. A closed standard stream is opened on /dev/null,
// so that no file the program opens later takes its number and receives its
// diagnostics. A write to a pipe whose reader has gone then fails with EPIPE
// instead of ending the program with SIGPIPE: the signal is caught by a
// handler that does nothing (not ignored, so that programs this one starts
// get the default back).
void keepStandardStreamsHarmless();

}  // namespace vorlak
