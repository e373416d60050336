// Function libraries: named functions that report expressions may call beyond the parser's own words. A
// library receives its arguments as expression texts, evaluates them itself with the report parser, and
// returns expression text that the parser splices in place of the call: a number, or a text in single
// quotes (inner quotes as they are; the parser doubles them).
//
// The standard library's functions: AVG, COUNT, MAX, MIN and SUM (aggregates, below), FORMATDATETIME(format,
// date), FORMATFLOAT(format, number), INPUT(prompt, default), LOWERCASE(text), NAMECASE(text),
// STRTODATE(text), STRTOTIME(text) and UPPERCASE(text).
//
// Aggregates total a field or an expression:
// - over a dataset (SUM(Dataset.Field), COUNT(Dataset)), when the first argument names a dataset and the
//   band collecting totals is printing: every record is read, and the dataset is left on the record where
//   it was found;
// - over the records of a band (SUM(expression, band, flag)) otherwise: while a footer band collects its
//   totals each record adds to the band's stored value, and while the footer prints the stored value is the
//   result. Reading a total that was never stored gives 0, and so does AVG of no records.
#pragma once
#include "platform/core/string_list.h"
#include "platform/core/variant.h"
#include <QString>

class TfrFunctionLibrary : public TObject {
public:
  TfrFunctionLibrary();
  QString ClassName() const override { return QStringLiteral("TfrFunctionLibrary"); }

  // Calls the function when this library knows the name (upper case): true, and Result set.
  bool TryFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                   QString &Result);
  // The function at Index of the sorted name list.
  virtual void DoFunction(int FNo, const Variant &P1, const Variant &P2, const Variant &P3,
                          QString &Result) = 0;

  // The library's function names, upper case, sorted.
  TStringList *List() { return &list_; }

protected:
  TStringList list_;
};

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
public:
  TfrStdFunctionLibrary();
  QString ClassName() const override { return QStringLiteral("TfrStdFunctionLibrary"); }
  void DoFunction(int FNo, const Variant &P1, const Variant &P2, const Variant &P3, QString &Result) override;
};

// The aggregate kinds.
enum class TfrAggregate { Sum, Min, Max, Avg, Count };

// An aggregate function's result text (see the top of this file).
QString frAggregate(TfrAggregate Kind, const QString &P1, const QString &P2, const QString &P3);
