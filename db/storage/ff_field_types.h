// The engine's field types and what follows from a type: the stored length of a field, the kind of value
// it holds and its name in the stored dictionary.
#pragma once
#include <QString>
#include <optional>

// In the engine's order. Names are stored by text, so the numbering is never written anywhere.
enum TffFieldType : int {
  fftBoolean,
  fftChar,
  fftWideChar,
  fftByte,
  fftWord16,
  fftWord32,
  fftInt8,
  fftInt16,
  fftInt32,
  fftAutoInc,
  fftSingle,
  fftDouble,
  fftExtended,
  fftComp,
  fftCurrency,
  fftStDate,
  fftStTime,
  fftDateTime,
  fftBLOB,
  fftBLOBMemo,
  fftBLOBFmtMemo,
  fftBLOBOLEObj,
  fftBLOBGraphic,
  fftBLOBDBSOLEObj,
  fftBLOBTypedBin,
  fftBLOBFile,
  fftByteArray,
  fftShortString,
  fftShortAnsiStr,
  fftNullString,
  fftNullAnsiStr,
  fftWideString,
};

inline constexpr int ffFieldTypeCount = fftWideString + 1;

// The kind of value a field holds, and the QVariant type the engine hands out for it:
//   Boolean -> bool; Integer -> qint64 (AutoInc, Int32 and smaller: int); Float -> double;
//   Currency -> double (kept exact to four decimals); DateTime -> double, a TDateTime (days since
//   30 December 1899, time as the fraction); String -> QString; Bytes -> QByteArray (BLOBs, byte arrays).
enum class TffValueKind { Boolean, Integer, Float, Currency, DateTime, String, Bytes };

TffValueKind ffValueKind(TffFieldType type);
bool ffIsStringType(TffFieldType type);
bool ffIsBlobType(TffFieldType type);

// The stored length in bytes of a field of this type with the given units: fixed for numbers and dates, 8
// for a BLOB reference, the units for a byte array, the units plus a length byte or terminating zero for
// 8-bit strings, and twice that for wide strings.
int ffFieldLength(TffFieldType type, int units);

// For a string type: the most characters a value may have (the units, one for a single character);
// otherwise -1.
int ffMaxCharacters(TffFieldType type, int units);

// The smallest and largest value of an integer type.
qint64 ffIntegerMin(TffFieldType type);
qint64 ffIntegerMax(TffFieldType type);

QString ffFieldTypeName(TffFieldType type);
std::optional<TffFieldType> ffFieldTypeFromName(const QString &name);
