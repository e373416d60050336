#include "db/engine/ff_key_search.h"
#include "db/storage/ff_sql_schema.h"

namespace {

const QString kTrue = QStringLiteral("1");
const QString kFalse = QStringLiteral("0");

// SQLite walks a segment ascending (nulls first) or descending (nulls last).
bool WalksAscending(const TffKeySegment &segment, TffScan scan) {
  return (scan == TffScan::Forward) != segment.Descending;
}

TffSqlPart Equal(const TffKeySegment &segment, const QVariant &value) {
  if (!value.isValid()) return {segment.Expression + QStringLiteral(" IS NULL"), {}};
  return {segment.Expression + QStringLiteral(" = ?"), {value}};
}

// The conditions, as consecutive runs in scan order, for a segment to come after (or at) a value.
QList<TffSqlPart> After(const TffKeySegment &segment, TffScan scan, const QVariant &value, bool inclusive) {
  const QString &e = segment.Expression;
  if (WalksAscending(segment, scan)) {
    if (!value.isValid())
      return {inclusive ? TffSqlPart{kTrue, {}} : TffSqlPart{e + QStringLiteral(" IS NOT NULL"), {}}};
    return {{e + (inclusive ? QStringLiteral(" >= ?") : QStringLiteral(" > ?")), {value}}};
  }
  if (!value.isValid()) {
    if (inclusive) return {{e + QStringLiteral(" IS NULL"), {}}};
    return {};
  }
  return {{e + (inclusive ? QStringLiteral(" <= ?") : QStringLiteral(" < ?")), {value}},
          {e + QStringLiteral(" IS NULL"), {}}};
}

// The parts joined by an operator, leaving out those that are its identity, which also stands for no parts.
TffSqlPart Joined(const QList<TffSqlPart> &parts, const QString &op, const QString &identity) {
  TffSqlPart result;
  QStringList sql;
  for (const TffSqlPart &part : parts) {
    if (part.Sql == identity) continue;
    sql.append(u'(' + part.Sql + u')');
    result.Binds += part.Binds;
  }
  result.Sql = sql.isEmpty() ? identity : sql.join(op);
  return result;
}

TffSqlPart Conjunction(const QList<TffSqlPart> &parts) {
  return Joined(parts, QStringLiteral(" AND "), kTrue);
}

TffSqlPart Disjunction(const QList<TffSqlPart> &parts) {
  return Joined(parts, QStringLiteral(" OR "), kFalse);
}

// Key fields from `from` on come at or after (inclusive) or after `key` in scan order, the fields before
// `from` being equal to it already.
TffSqlPart Bound(const TffIndexSchema &index, const QList<QVariant> &key, int from, TffScan scan,
                 bool inclusive) {
  if (from >= key.size()) return {inclusive ? kTrue : kFalse, {}};
  const TffKeySegment &segment = index.Segments[from];
  const bool last = from == key.size() - 1;
  const TffSqlPart strictlyAfter = Disjunction(After(segment, scan, key[from], last && inclusive));
  if (last) return strictlyAfter;
  return Disjunction({strictlyAfter, Conjunction({Equal(segment, key[from]),
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
  for (int i = 0; i < equal; ++i) parts.append(Equal(index.Segments[i], range.Start[i]));
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
    for (int i = 0; i < count; ++i) equalities.append(Equal(index.Segments[i], key[i]));
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
    for (const TffSqlPart &condition : After(index.Segments[i], scan, key[i], atOrAfter)) {
      QList<TffSqlPart> parts = prefix(i);
      parts.append(condition);
      runs.append(Conjunction(parts));
    }
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
