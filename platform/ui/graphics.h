#pragma once
// Graphics objects of the toolkit: rectangles, fonts, pens, brushes and the
// system colours the drawing code names.
//
// A TFont, TPen or TBrush is a plain value holder with an OnChange event; a
// canvas reads it at every drawing operation, a control applies its font to its
// widget when the font changes.
//
// Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/control_types.h"
#include "platform/ui/enum_set.h"

#include <QFont>
#include <QString>

#include <cstdint>

// Rectangles have exclusive right and bottom edges.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) {
  return TRect{left, top, left + width, top + height};
}

// System colours beyond those every control uses (control_types.h).
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);

// The RGB value 0x00BBGGRR of a colour; a system colour is resolved through the
// application palette.
TColor ColorToRGB(TColor color);
constexpr uint8_t GetRValue(TColor rgb) { return static_cast<uint8_t>(static_cast<uint32_t>(rgb) & 0xFFu); }
constexpr uint8_t GetGValue(TColor rgb) { return static_cast<uint8_t>((static_cast<uint32_t>(rgb) >> 8) & 0xFFu); }
constexpr uint8_t GetBValue(TColor rgb) { return static_cast<uint8_t>((static_cast<uint32_t>(rgb) >> 16) & 0xFFu); }
constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16));
}

// Character sets a font may ask for.
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset SHIFTJIS_CHARSET = 128;
constexpr TFontCharset HANGEUL_CHARSET = 129;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
constexpr TFontCharset GREEK_CHARSET = 161;
constexpr TFontCharset TURKISH_CHARSET = 162;
constexpr TFontCharset RUSSIAN_CHARSET = 204;
constexpr TFontCharset EASTEUROPE_CHARSET = 238;

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// How glyph edges are rendered: fqNonAntialiased gives pure on/off pixels,
// fqAntialiased (and the ClearType kinds) blended edges; the others leave it to the system.
enum TFontQuality : uint8_t {
  fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural
};
using TFontStyles = TEnumSet<TFontStyle>;

class TFont : public TObject {
public:
  // The application's default family and point size, default character set,
  // window-text colour, no style.
  TFont();

  const QString& Name() const { return name_; }
  void SetName(const QString& value);
  // Points; Height is the same size as a negative pixel count (96 pixels per inch).
  int Size() const { return size_; }
  void SetSize(int value);
  int Height() const;
  void SetHeight(int value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  // Qt finds the glyphs of every script by itself; the character set is kept for
  // the code that asks which one a form uses.
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset value);
  TFontQuality Quality() const { return quality_; }
  void SetQuality(TFontQuality value);

  // Copies every property and fires OnChange once.
  void Assign(const TFont& source);
  QFont ToQFont() const;

  TNotifyEvent OnChange;

private:
  void Changed();

  QString name_;
  int size_ = 8;
  TColor color_ = clWindowText;
  TFontStyles style_;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontQuality quality_ = fqDefault;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TObject {
public:
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);

  TNotifyEvent OnChange;

private:
  void Changed();

  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
};

enum TBrushStyle : uint8_t { bsSolid, bsClear };

class TBrush : public TObject {
public:
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);

  TNotifyEvent OnChange;

private:
  void Changed();

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};
