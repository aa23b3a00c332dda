#pragma once

#include <QDate>
#include <QString>
#include <QTextStream>

// The notes' export and import as the command line runs them, without a window: the diary in
// folder, its note files named after the program ("Velmora.tdo", "Velmora.mem"). Each returns
// the process's exit status; what went wrong goes to err.

// Writes both note lists to output as format "ics". The range of days is for the pages; the
// notes are rules and go out whole.
int ExportNotes(const QString& folder, const QString& format, const QString& output, QDate from,
                QDate to, bool withPrivateMemo, QTextStream& err);

// Adds the notes of the .ics at path that the lists lack, and lists what it left out and why.
// Refused while a window has the folder open; the diary's files are backed up first; a broken
// file adds nothing.
int ImportNotes(const QString& folder, const QString& format, const QString& path,
                QTextStream& err);
