#include "platform/core/variant.h"
#include "platform/core/number_format.h"
#include <cmath>
#include <limits>
#include <optional>

QString VarTypeAsText(TVarType type) {
  switch (type) {
  case varEmpty: return QStringLiteral("Empty");
  case varNull: return QStringLiteral("Null");
  case varInteger: return QStringLiteral("Integer");
  case varDouble: return QStringLiteral("Double");
  case varDate: return QStringLiteral("Date");
  case varBoolean: return QStringLiteral("Boolean");
  case varString: return QStringLiteral("String");
  default: return QStringLiteral("Unknown");
  }
}

// The operations that need to look inside a Variant.
class VariantOps {
public:
  using Storage = Variant::Storage;
  using DateValue = Variant::DateValue;

  static const Storage &Of(const Variant &v) { return v.value_; }
  static Variant Make(Storage value) { return Variant(std::move(value)); }
  static Variant Date(double days) { return Make(DateValue{days}); }

  [[noreturn]] static void CastError(const Variant &from, TVarType to) {
    throw EVariantTypeCastError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                    .arg(VarTypeAsText(from.VarType()), VarTypeAsText(to)));
  }

  // A string read as a number: an integer text stays an integer, any other number text is a float.
  static Variant NumberFromString(const Variant &v, TVarType wanted) {
    const QString &text = std::get<QString>(v.value_);
    int64_t integer;
    if (IsDecimalInteger(text) && TryStrToInt64(text, integer)) return Variant(integer);
    double value;
    if (TryStrToFloat(text, value)) return Variant(value);
    CastError(v, wanted);
  }

  static bool IsDecimalInteger(const QString &text) {
    for (const QChar c : text)
      if (c == QLatin1Char('$') || c == QLatin1Char('x') || c == QLatin1Char('X')) return false;
    return true;
  }

  // Arithmetic operand: null stays null, everything else becomes an integer, float or date-time.
  enum class Kind { Null, Integer, Float, Date };
  struct Operand {
    Kind kind;
    int64_t integer = 0;
    double real = 0;
  };

  static Operand Numeric(const Variant &v, TVarType wanted) {
    const Storage &s = v.value_;
    if (std::holds_alternative<Variant::NullValue>(s)) return {Kind::Null};
    if (std::holds_alternative<std::monostate>(s)) return {Kind::Integer, 0};
    if (const auto *i = std::get_if<int64_t>(&s)) return {Kind::Integer, *i};
    if (const auto *b = std::get_if<bool>(&s)) return {Kind::Integer, *b ? -1 : 0};
    if (const auto *d = std::get_if<double>(&s)) return {Kind::Float, 0, *d};
    if (const auto *t = std::get_if<DateValue>(&s)) return {Kind::Date, 0, t->days};
    return Numeric(NumberFromString(v, wanted), wanted);
  }

  static double Real(const Operand &o) { return o.kind == Kind::Integer ? double(o.integer) : o.real; }

  static Variant Arithmetic(const Variant &a, const Variant &b, char op) {
    if (a.IsNull() || b.IsNull()) return Variant::Null();
    if (op == '+' && (a.IsString() || b.IsString()) && (a.IsString() || a.IsEmpty()) &&
        (b.IsString() || b.IsEmpty()))
      return Variant(a.ToString() + b.ToString());
    const Operand x = Numeric(a, varDouble);
    const Operand y = Numeric(b, varDouble);
    if (op == '/') {
      if (Real(y) == 0) throw EZeroDivide(QStringLiteral("Floating point division by zero"));
      return Variant(Real(x) / Real(y));
    }
    if (x.kind == Kind::Integer && y.kind == Kind::Integer) {
      int64_t result;
      const bool overflow = op == '+'   ? __builtin_add_overflow(x.integer, y.integer, &result)
                            : op == '-' ? __builtin_sub_overflow(x.integer, y.integer, &result)
                                        : __builtin_mul_overflow(x.integer, y.integer, &result);
      if (!overflow) return Variant(result);
    }
    const double p = Real(x);
    const double q = Real(y);
    const double result = op == '+' ? p + q : op == '-' ? p - q : p * q;
    // A date-time moved by a number stays a date-time; the distance between two is a number of days.
    const bool dateResult = (op == '+' && (x.kind == Kind::Date) != (y.kind == Kind::Date)) ||
                            (op == '-' && x.kind == Kind::Date && y.kind != Kind::Date);
    return dateResult ? Date(result) : Variant(result);
  }

  // Integer operand of mod; nullopt for null.
  static std::optional<int64_t> Integer(const Variant &v) {
    if (v.IsNull()) return std::nullopt;
    return v.ToInt64();
  }

  static int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

  static int Compare(const Variant &a, const Variant &b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() && b.IsNull() ? 0 : a.IsNull() ? -1 : 1;
    if (a.IsEmpty() && b.IsEmpty()) return 0;
    if ((a.IsString() || a.IsEmpty()) && (b.IsString() || b.IsEmpty())) {
      const int c = QString::compare(a.ToString(), b.ToString(), Qt::CaseSensitive);
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const bool aDate = std::holds_alternative<DateValue>(a.value_);
    const bool bDate = std::holds_alternative<DateValue>(b.value_);
    if ((aDate && b.IsString()) || (bDate && a.IsString())) return Sign(a.ToDateTime() - b.ToDateTime());
    const Operand x = Numeric(a, varDouble);
    const Operand y = Numeric(b, varDouble);
    if (x.kind == Kind::Integer && y.kind == Kind::Integer)
      return x.integer < y.integer ? -1 : x.integer > y.integer ? 1 : 0;
    return Sign(Real(x) - Real(y));
  }
};

Variant Variant::Null() { return Variant(Storage(NullValue{})); }
Variant Variant::FromDateTime(TDateTime value) { return Variant(Storage(DateValue{value})); }

TVarType Variant::VarType() const {
  switch (value_.index()) {
  case 0: return varEmpty;
  case 1: return varNull;
  case 2: return varInteger;
  case 3: return varDouble;
  case 4: return varDate;
  case 5: return varBoolean;
  default: return varString;
  }
}

bool Variant::IsNumeric() const {
  const TVarType type = VarType();
  return type == varInteger || type == varDouble || type == varDate || type == varBoolean;
}

int64_t Variant::ToInt64() const {
  if (IsNull()) VariantOps::CastError(*this, varInteger);
  if (IsString()) return VariantOps::NumberFromString(*this, varInteger).ToInt64();
  const VariantOps::Operand o = VariantOps::Numeric(*this, varInteger);
  if (o.kind == VariantOps::Kind::Integer) return o.integer;
  // Floats round half to even, as the class library's variant conversions do.
  const double rounded = std::nearbyint(o.real);
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
    throw EVariantOverflowError(QStringLiteral("Arithmetic overflow error"));
  return int64_t(rounded);
}

int Variant::ToInt() const {
  const int64_t value = ToInt64();
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw EVariantOverflowError(QStringLiteral("Arithmetic overflow error"));
  return int(value);
}

double Variant::ToDouble() const {
  if (IsNull()) VariantOps::CastError(*this, varDouble);
  return VariantOps::Real(VariantOps::Numeric(*this, varDouble));
}

bool Variant::ToBool() const {
  if (IsNull()) VariantOps::CastError(*this, varBoolean);
  if (const auto *b = std::get_if<bool>(&value_)) return *b;
  if (IsString()) {
    const QString &text = std::get<QString>(value_);
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    double value;
    if (!TryStrToFloat(text, value)) VariantOps::CastError(*this, varBoolean);
    return value != 0;
  }
  return ToDouble() != 0;
}

QString Variant::ToString() const {
  switch (VarType()) {
  case varEmpty: return QString();
  case varNull: VariantOps::CastError(*this, varString);
  case varInteger: return IntToStr(std::get<int64_t>(value_));
  case varDouble: return FloatToStr(std::get<double>(value_));
  case varDate: return DateTimeToStr(std::get<DateValue>(value_).days);
  case varBoolean: return std::get<bool>(value_) ? QStringLiteral("True") : QStringLiteral("False");
  default: return std::get<QString>(value_);
  }
}

TDateTime Variant::ToDateTime() const {
  if (IsNull()) VariantOps::CastError(*this, varDate);
  if (IsString()) {
    const QString &text = std::get<QString>(value_);
    TDateTime value;
    if (TryStrToDateTime(text, value) || TryStrToFloat(text, value)) return value;
    VariantOps::CastError(*this, varDate);
  }
  return ToDouble();
}

Variant Variant::operator-() const {
  const VariantOps::Operand o = VariantOps::Numeric(*this, varDouble);
  switch (o.kind) {
  case VariantOps::Kind::Null: return Null();
  case VariantOps::Kind::Integer:
    if (o.integer == std::numeric_limits<int64_t>::min()) return Variant(-double(o.integer));
    return Variant(-o.integer);
  case VariantOps::Kind::Float: return Variant(-o.real);
  case VariantOps::Kind::Date: return FromDateTime(-o.real);
  }
  return Variant();
}

Variant operator+(const Variant &a, const Variant &b) { return VariantOps::Arithmetic(a, b, '+'); }
Variant operator-(const Variant &a, const Variant &b) { return VariantOps::Arithmetic(a, b, '-'); }
Variant operator*(const Variant &a, const Variant &b) { return VariantOps::Arithmetic(a, b, '*'); }
Variant operator/(const Variant &a, const Variant &b) { return VariantOps::Arithmetic(a, b, '/'); }

bool operator==(const Variant &a, const Variant &b) { return VariantOps::Compare(a, b) == 0; }
bool operator<(const Variant &a, const Variant &b) { return VariantOps::Compare(a, b) < 0; }

Variant Null() { return Variant::Null(); }
Variant Unassigned() { return Variant(); }
Variant VarFromDateTime(TDateTime value) { return Variant::FromDateTime(value); }

QString VarToStr(const Variant &value) { return value.IsNull() ? QString() : value.ToString(); }

int VarCompare(const Variant &a, const Variant &b) { return VariantOps::Compare(a, b); }

Variant Mod(const Variant &a, const Variant &b) {
  const auto x = VariantOps::Integer(a);
  const auto y = VariantOps::Integer(b);
  if (!x || !y) return Null();
  if (*y == 0) throw EDivByZero(QStringLiteral("Division by zero"));
  if (*y == -1) return Variant(0);
  return Variant(*x % *y);
}
