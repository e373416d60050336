// Conversion between the values the engine hands out and takes (see TffServerEngine) and the values it
// stores, with the checks a value must pass: strings no longer than their field, integers within their
// type, numbers that are numbers, required fields filled.
#pragma once
#include "db/engine/ff_results.h"
#include "db/storage/ff_data_dictionary.h"
#include <QVariant>

// Converts a record value of field `field` to its stored form (invalid for null). When `isKey` is set the
// value is a search or range key: strings are not held to the field's length.
TffError ffValueToStored(const TffDataDictionary &dictionary, int field, const QVariant &value, bool isKey,
                         QVariant &stored);

// Turns the stored value of field `field` (as SQLite hands it out: null, qint64, double, QString or
// QByteArray) into the value handed out (see TffValueKind for the types). A value the field cannot hold,
// which only another program can have stored (an integer beyond the field's type, a fraction in an integer
// field, a text in a number field), is never cut or wrapped: the value is left as it is and what is wrong
// is returned, naming the table and the field; an empty text for a value handed out.
QString ffValueFromStored(const TffDataDictionary &dictionary, int field, QVariant &value);

// The number of characters (Unicode code points) of a text.
int ffCharacterCount(const QString &text);
