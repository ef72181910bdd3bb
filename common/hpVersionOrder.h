#pragma once

#include <QString>
#include <QVector>

// The order of the maker's releases. A release version is one to eight
// dotted decimal numbers of one to nine digits each ("1.0.10"); nothing else
// (no letters, blanks or signs) parses, and what does not parse is never
// newer than anything, so a garbled version can neither be offered nor
// installed.

// The numbers of version, or false when it is not a release version.
bool hpVersionParse(const QString &version, QVector<int> *numbers);

// Whether offered is a later release than current, number by number
// (1.0.10 > 1.0.9; a missing number counts as 0, so 1.0 equals 1.0.0). False
// when either does not parse.
bool hpVersionNewer(const QString &offered, const QString &current);
