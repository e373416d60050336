// TfrTextPlan: the lines of a text object cut once into literal text and bracketed expressions, so that each
// record evaluates the expressions without searching the text for them again. A bracketed expression may
// carry its own format after " #"; it is read once, over the object's format. A plan stays valid while the
// object's lines, its format and the decimal separator of the process's formats stay as they were.
//
// Brackets nest, and a bracket inside a quoted part does not count; a '[' left open ends the cutting (the
// rest of the line is literal text).
#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class TStrings;

// The position after the ']' that closes the '[' at Start (brackets nest; quoted parts do not count), or -1.
int frMatchBracket(const QString &Text, int Start);

struct TfrTextExpression {
  QString expression; // the bracketed text without its format
  qint32 code = 0;    // the format to show its value in
  QString format;
  bool callsFunction = false; // a '(' somewhere inside the brackets: it may take in totals
};

struct TfrTextPlanLine {
  bool empty = true; // an empty line stays one empty line, whatever its value
  // literals[i] comes before expressions[i]; the last literal is the text after the last expression.
  QStringList literals;
  QList<TfrTextExpression> expressions;
};

class TfrTextPlan {
public:
  bool IsPlanOf(const TStrings &Lines, qint32 Format, const QString &FormatStr) const;
  void Make(const TStrings &Lines, qint32 Format, const QString &FormatStr);
  const QList<TfrTextPlanLine> &Lines() const { return lines_; }

private:
  QStringList source_;
  qint32 format_ = 0;
  QString formatStr_;
  QChar separator_;
  bool made_ = false;
  QList<TfrTextPlanLine> lines_;
};
