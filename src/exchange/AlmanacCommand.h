#pragma once

#include <QString>

class QTextStream;

// The almanac of a year on standard output as UTF-8 CSV (calendar/AlmanacCsv.h), for the command
// line. folder is the diary folder whose "Velmora.hol" names the holidays; yearText the year,
// 1900 to 2100. Returns the exit status: 0 done, 2 a wrong argument.
int PrintAlmanac(const QString& folder, const QString& yearText, QTextStream& err);
