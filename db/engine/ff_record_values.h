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

// The value handed out for a stored one: see TffValueKind for the types.
QVariant ffValueFromStored(TffFieldType type, const QVariant &stored);

// The number of characters (Unicode code points) of a text.
int ffCharacterCount(const QString &text);
