#pragma once

// Ages as a Japanese family counts them: the full age (満年齢), which grows on each birthday,
// and the counted age (数え年), one in the year of birth and one more every New Year.

enum class TAgeCount { Full, Counted };

// The counted age in year of someone born in birthYear: 1 in the year of birth.
int CountedAge(int birthYear, int year);

// The long-life celebration (還暦, 古希, 喜寿, 傘寿, 米寿, 卒寿, 白寿, 百寿; UTF-8) held in year by
// someone born in birthYear, by count: counted, 還暦 comes at 数え61 and the others at their
// number; full, every one at that full age, 還暦 at 満60 as many families now hold it. nullptr
// in other years.
const char* LongLifeCelebration(int birthYear, int year, TAgeCount count);
