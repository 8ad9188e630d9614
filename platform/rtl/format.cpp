// Format: "%[index:][-][width][.precision]type" over a list of TVarRec.

#include "platform/rtl/sys_utils.h"

#include <algorithm>

namespace {

// Widths and precisions beyond this are format errors rather than huge allocations.
constexpr int MaxWidth = 1 << 20;

class Formatter {
public:
  Formatter(const QString& fmt, std::initializer_list<TVarRec> args) : fmt_(fmt), args_(args) {}

  QString Run() {
    QString out;
    const qsizetype n = fmt_.size();
    while (pos_ < n) {
      const QChar c = fmt_[pos_++];
      if (c != u'%') {
        out += c;
        continue;
      }
      if (pos_ < n && fmt_[pos_] == u'%') {
        out += u'%';
        ++pos_;
        continue;
      }
      out += Specifier();
    }
    return out;
  }

private:
  [[noreturn]] void Fail() const {
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt_));
  }

  QChar Peek() const { return pos_ < fmt_.size() ? fmt_[pos_] : QChar(); }

  const TVarRec& NextArg() {
    if (next_ >= args_.size()) Fail();
    return args_.begin()[next_++];
  }

  static bool IsInteger(const TVarRec& a) {
    return a.kind == TVarRec::vtInteger || a.kind == TVarRec::vtInt64 || a.kind == TVarRec::vtUInt64;
  }

  // A decimal number or '*' (the next integer argument). Returns false when neither is there.
  bool Number(int& value) {
    if (Peek() == u'*') {
      ++pos_;
      const TVarRec& a = NextArg();
      if (!IsInteger(a)) Fail();
      const int64_t v = a.kind == TVarRec::vtUInt64 ? static_cast<int64_t>(std::min<uint64_t>(a.u, MaxWidth + 1)) : a.i;
      value = static_cast<int>(std::clamp<int64_t>(v, -(MaxWidth + 1), MaxWidth + 1));
      return true;
    }
    if (Peek() < u'0' || Peek() > u'9') return false;
    int64_t v = 0;
    while (pos_ < fmt_.size() && fmt_[pos_] >= u'0' && fmt_[pos_] <= u'9') {
      v = std::min<int64_t>(v * 10 + (fmt_[pos_].unicode() - u'0'), MaxWidth + 1);
      ++pos_;
    }
    value = static_cast<int>(v);
    return true;
  }

  QString Specifier() {
    bool left = false;
    int width = 0, precision = -1, number = 0;
    if (Number(number)) {
      if (Peek() == u':') {
        ++pos_;
        if (number < 0) Fail();
        next_ = static_cast<size_t>(number);
        if (Peek() == u'-') left = true, ++pos_;
        Number(width);
      } else {
        width = number;
      }
    } else {
      if (Peek() == u'-') left = true, ++pos_;
      Number(width);
    }
    if (Peek() == u'.') {
      ++pos_;
      if (!Number(precision)) precision = 0;
    }
    if (width < 0) left = true, width = -width;  // a negative '*' width justifies left
    if (width > MaxWidth || precision > MaxWidth) Fail();
    if (pos_ >= fmt_.size()) Fail();
    const char16_t type = fmt_[pos_++].toUpper().unicode();

    QString text = Convert(type, precision);
    if (text.size() < width) {
      const QString pad(width - text.size(), u' ');
      text = left ? text + pad : pad + text;
    }
    return text;
  }

  static QString ZeroPad(QString digits, int precision) {
    if (digits.size() < precision) digits.prepend(QString(precision - digits.size(), u'0'));
    return digits;
  }

  QString Convert(char16_t type, int precision) {
    const TVarRec& a = NextArg();
    switch (type) {
      case u'D': {
        if (!IsInteger(a)) Fail();
        if (a.kind == TVarRec::vtUInt64) return ZeroPad(UIntToStr(a.u), precision);
        const uint64_t magnitude = a.i < 0 ? 0 - static_cast<uint64_t>(a.i) : static_cast<uint64_t>(a.i);
        return (a.i < 0 ? QStringLiteral("-") : QString()) + ZeroPad(UIntToStr(magnitude), precision);
      }
      case u'U':
      case u'X': {
        if (!IsInteger(a)) Fail();
        uint64_t bits = a.u;
        if (a.kind == TVarRec::vtInteger) bits = static_cast<uint32_t>(a.i);
        if (a.kind == TVarRec::vtInt64) bits = static_cast<uint64_t>(a.i);
        return ZeroPad(type == u'U' ? UIntToStr(bits) : IntToHex(bits, 0), precision);
      }
      case u'E':
      case u'G':
        if (a.kind != TVarRec::vtExtended) Fail();
        if (precision < 0 || precision > 18) precision = 15;
        return type == u'E' ? FloatToStrF(a.e, ffExponent, precision, 3) : FloatToStrF(a.e, ffGeneral, precision, 0);
      case u'F':
      case u'N':
      case u'M':
        if (a.kind != TVarRec::vtExtended) Fail();
        if (precision < 0) precision = 2;
        return FloatToStrF(a.e, type == u'F' ? ffFixed : ffNumber, 18, std::min(precision, 18));
      case u'P':
        if (a.kind != TVarRec::vtPointer) Fail();
        return IntToHex(reinterpret_cast<uintptr_t>(a.p), static_cast<int>(2 * sizeof(void*)));
      case u'S':
        if (a.kind != TVarRec::vtString) Fail();
        return precision >= 0 ? a.s.left(precision) : a.s;
      default:
        Fail();
    }
  }

  const QString& fmt_;
  std::initializer_list<TVarRec> args_;
  qsizetype pos_ = 0;
  size_t next_ = 0;
};

}  // namespace

QString Format(const QString& fmt, std::initializer_list<TVarRec> args) { return Formatter(fmt, args).Run(); }
