// The message of the exception a piece of code raises, for tests that check what an error says.
#pragma once
#include "platform/core/exceptions.h"
#include <QString>

// Runs Action and gives the message of the E it raises, or "(nothing raised)". An exception of another type
// passes through and fails the test.
template <typename E, typename Action>
QString MessageOf(Action &&action) {
  try {
    action();
  } catch (const E &e) {
    return e.Message();
  }
  return QStringLiteral("(nothing raised)");
}
