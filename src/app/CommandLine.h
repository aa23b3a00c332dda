#pragma once

// The program's options, for scripts and backups: the export and import of the diary without a
// window. Started without options the program opens its window.

// True when argv holds options for RunCommandLine (any "--" option, -h, -v); Qt's one-dash
// window options (-session, -platform) are left to the window.
bool HasOptions(int argc, char* argv[]);

// Parses the options and runs what they ask, on an application of its own that needs no display.
// Returns the exit status: 0 when done, non-zero with a message on stderr otherwise.
int RunCommandLine(int argc, char* argv[]);
