#pragma once
// Readable failure output for QString comparisons in every test that includes it.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
