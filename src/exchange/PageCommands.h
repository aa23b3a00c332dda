#pragma once

#include <QDate>
#include <QString>

class QTextStream;

// Pages out and in without a window, for the command line. Both need a QGuiApplication (the
// bodies are laid out as documents); QT_QPA_PLATFORM=offscreen or minimal serves where there is
// no display. folder is the diary folder (its year files, and "Velmora.hol" and "Velmora.ini"
// for the day headings and memo captions when present). Messages go to err, one per problem;
// the result is the exit status: 0 done, 1 nothing or not all done, 2 a wrong argument.

// format: html, markdown, odt or text; output: the file, or for markdown the folder. An invalid
// from or to leaves that end of the range open.
int ExportPages(const QString& folder, const QString& format, const QString& output, QDate from,
                QDate to, bool withPrivateMemo, QTextStream& err);

// format: rednotebook or markdown; path: the folder to read. Everything is checked before
// anything is written: a file that cannot be read imports nothing at all.
int ImportPages(const QString& folder, const QString& format, const QString& path,
                QTextStream& err);
