#pragma once
// The system's ANSI code page, Windows-1252: bytes below 0x80 and 0xA0..0xFF are
// the same code points as Latin-1; 0x80..0x9F are the code page's own table (the
// five unassigned bytes map to the C1 controls of the same value, as Windows does).

#include <QByteArray>
#include <QString>

QString AnsiToString(const QByteArray& bytes);
// Characters the code page cannot hold become '?', one per code point.
QByteArray StringToAnsi(const QString& text);
