// The command line's life on the installed platform: the application started without
// widgets, the command run on it, the exit status.
#pragma once

#include "cli/Options.h"

#include <cstdio>
#include <string>

// Results on `out`, failures on `errors`.
int RunCli(const CliOptions& options, FILE* out, FILE* errors);
// The camera session's own diagnostics (every listing, every transfer) would bury what a
// script needs to read and break the updating line: standard error is left to them only
// when PICTROVE_CLI_DIAGNOSTICS is set. The stream the program's own messages go to.
FILE* QuietenDiagnostics();
// The program's answer to --help, --version and usage errors, or -1 when it is to run.
int AnswerWithoutCamera(const CliOptions& options, bool parsed, const std::string& error);
