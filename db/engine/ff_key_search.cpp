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

// A condition that the segment is null, or that it holds a value.
TffSqlPart IsNull(const TffIndexSchema &index, int segment) {
  return {index.Segments[segment].Expression + QStringLiteral(" IS NULL"), {}, Bit(segment), 0};
}
TffSqlPart HasValue(const TffIndexSchema &index, int segment, const QString &comparison,
                    const QList<QVariant> &binds) {
  return {index.Segments[segment].Expression + comparison, binds, 0, Bit(segment)};
}

TffSqlPart Equal(const TffIndexSchema &index, int segment, const QVariant &value) {
  if (!value.isValid()) return IsNull(index, segment);
  return HasValue(index, segment, QStringLiteral(" = ?"), {value});
}

// The conditions, as consecutive runs in scan order, for a segment to come after (or at) a value.
QList<TffSqlPart> After(const TffIndexSchema &index, int segment, TffScan scan, const QVariant &value,
                        bool inclusive) {
  if (WalksAscending(index.Segments[segment], scan)) {
    if (!value.isValid())
      return {inclusive ? TffSqlPart{kTrue, {}}
                        : HasValue(index, segment, QStringLiteral(" IS NOT NULL"), {})};
    return {HasValue(index, segment, inclusive ? QStringLiteral(" >= ?") : QStringLiteral(" > ?"), {value})};
  }
  if (!value.isValid()) {
    if (inclusive) return {IsNull(index, segment)};
    return {};
  }
  return {HasValue(index, segment, inclusive ? QStringLiteral(" <= ?") : QStringLiteral(" < ?"), {value}),
          IsNull(index, segment)};
}

// The parts joined by an operator, leaving out those that are its identity, which also stands for no parts.
TffSqlPart Joined(const QList<TffSqlPart> &parts, const QString &op, const QString &identity) {
  TffSqlPart result;
  QStringList sql;
  for (const TffSqlPart &part : parts) {
    if (part.Sql == identity) continue;
    sql.append(u'(' + part.Sql + u')');
    result.Binds += part.Binds;
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
TffSqlPart Bound(const TffIndexSchema &index, const QList<QVariant> &key, int from, TffScan scan,
                 bool inclusive) {
  if (from >= key.size()) return {inclusive ? kTrue : kFalse, {}};
  const bool last = from == key.size() - 1;
  const TffSqlPart strictlyAfter = Disjunction(After(index, from, scan, key[from], last && inclusive));
  if (last) return strictlyAfter;
  return Disjunction({strictlyAfter, Conjunction({Equal(index, from, key[from]),
                                                  Bound(index, key, from + 1, scan, inclusive)})});
}

} // namespace

bool ffKeyValuesEqual(const QVariant &a, const QVariant &b) {
  if (!a.isValid() || !b.isValid()) return a.isValid() == b.isValid();
  return a == b;
}

int ffRangeFixedSegments(const TffIndexSchema &index, const TffKeyRange &range) {
  int equal = 0;
  while (equal < range.Start.size() && equal < range.End.size() &&
         ffKeyValuesEqual(range.Start[equal], range.End[equal]))
    ++equal;
  return equal;
}

TffSqlPart ffRangeCondition(const TffIndexSchema &index, const TffKeyRange &range) {
  QList<TffSqlPart> parts;
  // Leading fields on which both bounds agree hold exactly that value: equalities the index seeks on.
  const int equal = ffRangeFixedSegments(index, range);
  for (int i = 0; i < equal; ++i) parts.append(Equal(index, i, range.Start[i]));
  if (!range.Start.isEmpty())
    parts.append(Bound(index, range.Start, equal, TffScan::Forward, range.StartInclusive));
  if (!range.End.isEmpty())
    parts.append(Bound(index, range.End, equal, TffScan::Backward, range.EndInclusive));
  return Conjunction(parts);
}

QList<TffSqlPart> ffSeekRuns(const TffIndexSchema &index, TffScan scan, const QList<QVariant> &key,
                             bool inclusive, std::optional<qint64> rowId, int fixedSegments) {
  QList<TffSqlPart> runs;
  const auto prefix = [&](int count) {
    QList<TffSqlPart> equalities;
    for (int i = 0; i < count; ++i) equalities.append(Equal(index, i, key[i]));
    return equalities;
  };
  const QString rowIdColumn = ffSqlQuote(QLatin1String(ffRowIdColumn));
  if (rowId) {
    QList<TffSqlPart> parts = prefix(int(key.size()));
    parts.append({rowIdColumn + (scan == TffScan::Forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?")),
                  {QVariant(*rowId)}});
    runs.append(Conjunction(parts));
  }
  for (int i = int(key.size()) - 1; i >= fixedSegments; --i) {
    const bool atOrAfter = inclusive && !rowId && i == key.size() - 1;
    for (const TffSqlPart &condition : After(index, i, scan, key[i], atOrAfter)) {
      QList<TffSqlPart> parts = prefix(i);
      parts.append(condition);
      runs.append(Conjunction(parts));
    }
  }
  return runs;
}

TffRangeReads ffRangeReads(const TffIndexSchema &index, const TffKeyRange &range, TffScan scan) {
  const int fixed = ffRangeFixedSegments(index, range);
  // The records at or after one bound, walking away from it: runs in that walking order.
  const auto from = [&](const QList<QVariant> &bound, bool inclusive, TffScan away) -> QList<TffSqlPart> {
    if (bound.isEmpty()) return {TffSqlPart{kTrue, {}}};
    if (fixed < bound.size()) return ffSeekRuns(index, away, bound, inclusive, std::nullopt, fixed);
    if (!inclusive) return {};
    QList<TffSqlPart> equalities;
    for (int i = 0; i < fixed; ++i) equalities.append(Equal(index, i, bound[i]));
    return {Conjunction(equalities)};
  };
  const bool forward = scan == TffScan::Forward;
  const QList<QVariant> &behind = forward ? range.Start : range.End;
  const QList<QVariant> &ahead = forward ? range.End : range.Start;
  const bool behindInclusive = forward ? range.StartInclusive : range.EndInclusive;
  const bool aheadInclusive = forward ? range.EndInclusive : range.StartInclusive;
  const TffScan back = forward ? TffScan::Backward : TffScan::Forward;

  TffRangeReads reads{{}, {}, {kTrue, {}}};
  reads.Ahead = from(ahead, aheadInclusive, back);
  std::reverse(reads.Ahead.begin(), reads.Ahead.end());
  reads.FromEdge = ffIntersectRuns(from(behind, behindInclusive, scan), reads.Ahead);
  // Written on the columns with a unary plus, which SQLite never seeks on: the runs of a read seek from
  // the position and up to the bound ahead, and this only checks each record found.
  TffIndexSchema unsought = index;
  for (TffKeySegment &segment : unsought.Segments) segment.Expression.prepend(u'+');
  if (!behind.isEmpty()) reads.Behind = Disjunction({Bound(unsought, behind, 0, scan, behindInclusive)});
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
