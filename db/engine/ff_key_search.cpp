#include "db/engine/ff_key_search.h"
#include "db/storage/ff_sql_schema.h"
#include <algorithm>

namespace {

const QString kTrue = QStringLiteral("1");
const QString kFalse = QStringLiteral("0");

// SQLite walks a segment ascending (nulls first) or descending (nulls last).
bool WalksAscending(const TffKeySegment &segment, TffScan scan) {
  return (scan == TffScan::Forward) != segment.Descending;
}

quint64 Bit(int segment) { return quint64(1) << segment; }

// The values of one key, bound to its slots. A searched key (not a record's) matches a case-insensitive text
// between its low and its high value.
struct KeyValues {
  TffSlots::Key Slots;
  const QList<QVariant> &Values;
  bool Searched = true;
};

// A condition that the segment is null, or that it compares with the key's value.
TffSqlPart IsNull(const TffIndexSchema &index, int segment) {
  return {index.Segments[segment].Expression + QStringLiteral(" IS NULL"), Bit(segment), 0};
}
TffSqlPart HasValue(const TffIndexSchema &index, int segment, const QString &comparison) {
  return {index.Segments[segment].Expression + comparison, 0, Bit(segment)};
}
// A comparison with the key's value: coming after it (> or <, by the direction) means beyond the greatest
// text it matches, at or after it (>= or <=) at or beyond the least.
TffSqlPart Compare(const TffIndexSchema &index, const KeyValues &key, int segment, const char *op) {
  const TffSlots numbers(index);
  const bool high = qstrcmp(op, ">") == 0 || qstrcmp(op, "<=") == 0;
  const int slot = high ? numbers.HighOf(key.Slots, segment) : numbers.Of(key.Slots, segment);
  return HasValue(index, segment, QStringLiteral(" %1 ?%2").arg(QLatin1String(op)).arg(slot));
}

TffSqlPart Equal(const TffIndexSchema &index, const KeyValues &key, int segment) {
  if (!key.Values[segment].isValid()) return IsNull(index, segment);
  if (!key.Searched || !index.Segments[segment].NoCase) return Compare(index, key, segment, "=");
  const TffSlots numbers(index);
  return HasValue(index, segment,
                  QStringLiteral(" BETWEEN ?%1 AND ?%2")
                      .arg(numbers.Of(key.Slots, segment))
                      .arg(numbers.HighOf(key.Slots, segment)));
}

// The conditions, as consecutive runs in scan order, for a segment to come after (or at) the key's value.
QList<TffSqlPart> After(const TffIndexSchema &index, const KeyValues &key, int segment, TffScan scan,
                        bool inclusive) {
  const bool hasValue = key.Values[segment].isValid();
  if (WalksAscending(index.Segments[segment], scan)) {
    if (!hasValue)
      return {inclusive ? TffSqlPart{kTrue} : HasValue(index, segment, QStringLiteral(" IS NOT NULL"))};
    return {Compare(index, key, segment, inclusive ? ">=" : ">")};
  }
  if (!hasValue) {
    if (inclusive) return {IsNull(index, segment)};
    return {};
  }
  return {Compare(index, key, segment, inclusive ? "<=" : "<"), IsNull(index, segment)};
}

// The parts joined by an operator, leaving out those that are its identity, which also stands for no parts.
TffSqlPart Joined(const QList<TffSqlPart> &parts, const QString &op, const QString &identity) {
  TffSqlPart result;
  QStringList sql;
  for (const TffSqlPart &part : parts) {
    if (part.Sql == identity) continue;
    sql.append(u'(' + part.Sql + u')');
    result.NullSegments |= part.NullSegments;
    result.ValueSegments |= part.ValueSegments;
  }
  result.Sql = sql.isEmpty() ? identity : sql.join(op);
  return result;
}

TffSqlPart Conjunction(const QList<TffSqlPart> &parts) {
  return Joined(parts, QStringLiteral(" AND "), kTrue);
}

// What a disjunction asks of each segment is not tracked.
TffSqlPart Disjunction(const QList<TffSqlPart> &parts) {
  TffSqlPart result = Joined(parts, QStringLiteral(" OR "), kFalse);
  result.NullSegments = result.ValueSegments = 0;
  return result;
}

// Key fields from `from` on come at or after (inclusive) or after `key` in scan order, the fields before
// `from` being equal to it already.
TffSqlPart Bound(const TffIndexSchema &index, const KeyValues &key, int from, TffScan scan, bool inclusive) {
  if (from >= key.Values.size()) return {inclusive ? kTrue : kFalse};
  const bool last = from == key.Values.size() - 1;
  const TffSqlPart strictlyAfter = Disjunction(After(index, key, from, scan, last && inclusive));
  if (last) return strictlyAfter;
  return Disjunction(
      {strictlyAfter, Conjunction({Equal(index, key, from), Bound(index, key, from + 1, scan, inclusive)})});
}

QList<TffSqlPart> SeekRuns(const TffIndexSchema &index, const KeyValues &key, TffScan scan, bool inclusive,
                           bool withRowId, int fixedSegments) {
  QList<TffSqlPart> runs;
  const auto prefix = [&](int count) {
    QList<TffSqlPart> equalities;
    for (int i = 0; i < count; ++i) equalities.append(Equal(index, key, i));
    return equalities;
  };
  const int size = int(key.Values.size());
  if (withRowId) {
    QList<TffSqlPart> parts = prefix(size);
    parts.append({QStringLiteral("%1 %2 ?%3")
                      .arg(ffSqlQuote(QLatin1String(ffRowIdColumn)),
                           scan == TffScan::Forward ? QStringLiteral(">") : QStringLiteral("<"))
                      .arg(TffSlots(index).RowId())});
    runs.append(Conjunction(parts));
  }
  for (int i = size - 1; i >= fixedSegments; --i) {
    const bool atOrAfter = inclusive && !withRowId && i == size - 1;
    for (const TffSqlPart &condition : After(index, key, i, scan, atOrAfter)) {
      QList<TffSqlPart> parts = prefix(i);
      parts.append(condition);
      runs.append(Conjunction(parts));
    }
  }
  return runs;
}

} // namespace

QList<QVariant> TffSlots::Values(int limit, const TffKey &position, const QVariant &rowId,
                                 const TffKey &start, const TffKey &end) const {
  QList<QVariant> values(Count());
  values[Limit - 1] = qint64(limit);
  const auto place = [&](Key key, const TffKey &fields) {
    for (int i = 0; i < fields.size() && i < fields_; ++i) {
      values[Of(key, i) - 1] = fields.Low[i];
      values[HighOf(key, i) - 1] = fields.High[i];
    }
  };
  place(Position, position);
  values[RowId() - 1] = rowId;
  place(Start, start);
  place(End, end);
  return values;
}

bool ffKeyValuesEqual(const QVariant &a, const QVariant &b) {
  if (!a.isValid() || !b.isValid()) return a.isValid() == b.isValid();
  return a == b;
}

int ffRangeFixedSegments(const TffIndexSchema &, const TffKeyRange &range) {
  int equal = 0;
  while (equal < range.Start.size() && equal < range.End.size() &&
         ffKeyValuesEqual(range.Start.Low[equal], range.End.Low[equal]) &&
         ffKeyValuesEqual(range.Start.High[equal], range.End.High[equal]))
    ++equal;
  return equal;
}

TffSqlPart ffRangeCondition(const TffIndexSchema &index, const TffKeyRange &range) {
  const KeyValues start{TffSlots::Start, range.Start.Low}, end{TffSlots::End, range.End.Low};
  QList<TffSqlPart> parts;
  // Leading fields on which both bounds agree hold exactly that value: equalities the index seeks on.
  const int equal = ffRangeFixedSegments(index, range);
  for (int i = 0; i < equal; ++i) parts.append(Equal(index, start, i));
  if (!range.Start.isEmpty())
    parts.append(Bound(index, start, equal, TffScan::Forward, range.StartInclusive));
  if (!range.End.isEmpty()) parts.append(Bound(index, end, equal, TffScan::Backward, range.EndInclusive));
  return Conjunction(parts);
}

QList<TffSqlPart> ffSeekRuns(const TffIndexSchema &index, TffScan scan, const TffKey &key, bool inclusive,
                             bool withRowId, int fixedSegments) {
  return SeekRuns(index, {TffSlots::Position, key.Low, !withRowId}, scan, inclusive, withRowId,
                  fixedSegments);
}

TffRangeReads ffRangeReads(const TffIndexSchema &index, const TffKeyRange &range, TffScan scan) {
  const int fixed = ffRangeFixedSegments(index, range);
  // The records at or after one bound, walking away from it: runs in that walking order.
  const auto from = [&](const KeyValues &bound, bool inclusive, TffScan away) -> QList<TffSqlPart> {
    if (bound.Values.isEmpty()) return {TffSqlPart{kTrue}};
    if (fixed < bound.Values.size()) return SeekRuns(index, bound, away, inclusive, false, fixed);
    if (!inclusive) return {};
    QList<TffSqlPart> equalities;
    for (int i = 0; i < fixed; ++i) equalities.append(Equal(index, bound, i));
    return {Conjunction(equalities)};
  };
  const bool forward = scan == TffScan::Forward;
  const KeyValues start{TffSlots::Start, range.Start.Low}, end{TffSlots::End, range.End.Low};
  const KeyValues &behind = forward ? start : end;
  const KeyValues &ahead = forward ? end : start;
  const bool behindInclusive = forward ? range.StartInclusive : range.EndInclusive;
  const bool aheadInclusive = forward ? range.EndInclusive : range.StartInclusive;
  const TffScan back = forward ? TffScan::Backward : TffScan::Forward;

  TffRangeReads reads{{}, {}, {kTrue}};
  reads.Ahead = from(ahead, aheadInclusive, back);
  std::reverse(reads.Ahead.begin(), reads.Ahead.end());
  reads.FromEdge = ffIntersectRuns(from(behind, behindInclusive, scan), reads.Ahead);
  // Written on the columns with a unary plus, which SQLite never seeks on: the runs of a read seek from
  // the position and up to the bound ahead, and this only checks each record found.
  TffIndexSchema unsought = index;
  for (TffKeySegment &segment : unsought.Segments) segment.Expression.prepend(u'+');
  if (!behind.Values.isEmpty())
    reads.Behind = Disjunction({Bound(unsought, behind, 0, scan, behindInclusive)});
  return reads;
}

QList<TffSqlPart> ffIntersectRuns(const QList<TffSqlPart> &a, const QList<TffSqlPart> &b) {
  QList<TffSqlPart> runs;
  for (const TffSqlPart &x : a)
    for (const TffSqlPart &y : b) {
      TffSqlPart both = Conjunction({x, y});
      // A segment cannot be null and hold a value: SQLite would seek for such a run in vain.
      if ((both.NullSegments & both.ValueSegments) == 0) runs.append(std::move(both));
    }
  return runs;
}

QString ffOrderBy(const TffIndexSchema &index, TffScan scan) {
  QStringList terms;
  for (const TffKeySegment &segment : index.Segments)
    terms.append(segment.Expression +
                 (WalksAscending(segment, scan) ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
  terms.append(ffSqlQuote(QLatin1String(ffRowIdColumn)) +
               (scan == TffScan::Forward ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
  return terms.join(QStringLiteral(", "));
}
