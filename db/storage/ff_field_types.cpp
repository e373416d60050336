#include "db/storage/ff_field_types.h"
#include <array>
#include <limits>

namespace {

struct TypeInfo {
  const char *name;
  TffValueKind kind;
  int fixedLength; // -1: depends on the units
};

constexpr std::array<TypeInfo, ffFieldTypeCount> kTypes = {{
    {"fftBoolean", TffValueKind::Boolean, 1},      {"fftChar", TffValueKind::String, 1},
    {"fftWideChar", TffValueKind::String, 2},      {"fftByte", TffValueKind::Integer, 1},
    {"fftWord16", TffValueKind::Integer, 2},       {"fftWord32", TffValueKind::Integer, 4},
    {"fftInt8", TffValueKind::Integer, 1},         {"fftInt16", TffValueKind::Integer, 2},
    {"fftInt32", TffValueKind::Integer, 4},        {"fftAutoInc", TffValueKind::Integer, 4},
    {"fftSingle", TffValueKind::Float, 4},         {"fftDouble", TffValueKind::Float, 8},
    {"fftExtended", TffValueKind::Float, 10},      {"fftComp", TffValueKind::Integer, 8},
    {"fftCurrency", TffValueKind::Currency, 8},    {"fftStDate", TffValueKind::DateTime, 4},
    {"fftStTime", TffValueKind::DateTime, 4},      {"fftDateTime", TffValueKind::DateTime, 8},
    {"fftBLOB", TffValueKind::Bytes, 8},           {"fftBLOBMemo", TffValueKind::Bytes, 8},
    {"fftBLOBFmtMemo", TffValueKind::Bytes, 8},    {"fftBLOBOLEObj", TffValueKind::Bytes, 8},
    {"fftBLOBGraphic", TffValueKind::Bytes, 8},    {"fftBLOBDBSOLEObj", TffValueKind::Bytes, 8},
    {"fftBLOBTypedBin", TffValueKind::Bytes, 8},   {"fftBLOBFile", TffValueKind::Bytes, 8},
    {"fftByteArray", TffValueKind::Bytes, -1},     {"fftShortString", TffValueKind::String, -1},
    {"fftShortAnsiStr", TffValueKind::String, -1}, {"fftNullString", TffValueKind::String, -1},
    {"fftNullAnsiStr", TffValueKind::String, -1},  {"fftWideString", TffValueKind::String, -1},
}};

const TypeInfo &Info(TffFieldType type) { return kTypes.at(static_cast<size_t>(type)); }

} // namespace

TffValueKind ffValueKind(TffFieldType type) { return Info(type).kind; }

bool ffIsStringType(TffFieldType type) { return Info(type).kind == TffValueKind::String; }

bool ffIsBlobType(TffFieldType type) { return type >= fftBLOB && type <= fftBLOBFile; }

int ffFieldLength(TffFieldType type, int units) {
  switch (type) {
  case fftByteArray: return units;
  case fftShortString:
  case fftShortAnsiStr:
  case fftNullString:
  case fftNullAnsiStr: return units + 1;
  case fftWideString: return (units + 1) * 2;
  default: return Info(type).fixedLength;
  }
}

int ffMaxCharacters(TffFieldType type, int units) {
  switch (type) {
  case fftChar:
  case fftWideChar: return 1;
  case fftShortString:
  case fftShortAnsiStr:
  case fftNullString:
  case fftNullAnsiStr:
  case fftWideString: return units;
  default: return -1;
  }
}

qint64 ffIntegerMin(TffFieldType type) {
  switch (type) {
  case fftByte:
  case fftWord16:
  case fftWord32: return 0;
  case fftInt8: return -128;
  case fftInt16: return -32768;
  case fftInt32:
  case fftAutoInc: return std::numeric_limits<qint32>::min();
  default: return std::numeric_limits<qint64>::min();
  }
}

qint64 ffIntegerMax(TffFieldType type) {
  switch (type) {
  case fftByte: return 255;
  case fftWord16: return 65535;
  case fftWord32: return 4294967295LL;
  case fftInt8: return 127;
  case fftInt16: return 32767;
  case fftInt32:
  case fftAutoInc: return std::numeric_limits<qint32>::max();
  default: return std::numeric_limits<qint64>::max();
  }
}

QString ffFieldTypeName(TffFieldType type) { return QString::fromLatin1(Info(type).name); }

std::optional<TffFieldType> ffFieldTypeFromName(const QString &name) {
  for (int i = 0; i < ffFieldTypeCount; ++i)
    if (name == QLatin1String(kTypes[static_cast<size_t>(i)].name)) return static_cast<TffFieldType>(i);
  return std::nullopt;
}
