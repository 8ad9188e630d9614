#pragma once
// The string forms every binary record of the system uses (little-endian):
//   short wide string   byte n, then n UTF-16LE code units
//   short 8-bit string  byte n, then n bytes in the ANSI code page
//   long 8-bit string   i32 n, then n bytes
// A read that runs past the end of the stream throws EReadError.

#include "platform/rtl/streams.h"

#include <QByteArray>
#include <QString>

// The most a one-byte length can count.
constexpr int ShortStringMaxLength = 255;

QString ReadShortWideString(TStream& stream);
// A text longer than 255 code units is cut to its first 255 so that the length byte
// stays true and the fields after it keep their place; a surrogate pair split by the
// cut loses its dangling first half (the text then holds 254 code units).
void WriteShortWideString(TStream& stream, const QString& text);

QByteArray ReadShortAnsiString(TStream& stream);
// Cut to 255 bytes, as the wide form.
void WriteShortAnsiString(TStream& stream, const QByteArray& text);

// A negative length, or one larger than what the stream still holds, throws
// EReadError before anything is allocated.
QByteArray ReadLongAnsiString(TStream& stream);
// The length is written even when it is 0; a text beyond the i32 range throws EWriteError.
void WriteLongAnsiString(TStream& stream, const QByteArray& text);
