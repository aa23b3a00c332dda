#pragma once

// The program's options, for scripts and backups: the export and import of the diary without a
// window. Started without options the program opens its window.

#include <QString>

#include "storage/DiaryPlace.h"

// True when argv holds options for RunCommandLine (any "--" option but --folder, -h, -v); Qt's
// one-dash window options (-session, -platform) and --folder alone are left to the window.
bool HasOptions(int argc, char* argv[]);

// Parses the options and runs what they ask, on an application of its own that needs no display.
// Returns the exit status: 0 when done, non-zero with a message on stderr otherwise.
int RunCommandLine(int argc, char* argv[]);

// The window's options, from the application's arguments once Qt has taken its own: folder
// receives the folder named by --folder ("" when none). Returns what is wrong (another argument,
// a folder that does not exist); "" when nothing is.
QString ReadWindowOptions(QString& folder);

// Where the diary of this start lies: chosenFolder when not empty, else by the executable's
// folder and the environment (ChooseDiaryPlaces).
TPlaces DiaryPlaces(const QString& chosenFolder);
