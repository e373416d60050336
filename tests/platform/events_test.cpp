#include "platform/core/events.h"
#include "platform/core/object.h"
#include <gtest/gtest.h>

namespace {

struct Receiver : TObject {
  int clicks = 0;
  void Click(TObject *) { ++clicks; }
  void Other(TObject *) {}
};

TEST(Events, BoundMethodsCompareByObjectAndMethodFunctionsByIdentity) {
  Receiver a, b;
  TNotifyEvent e1(&a, &Receiver::Click), e2(&a, &Receiver::Click), e3(&b, &Receiver::Click),
      e4(&a, &Receiver::Other);
  EXPECT_EQ(e1, e2);
  EXPECT_NE(e1, e3);
  EXPECT_NE(e1, e4);
  e1(nullptr);
  EXPECT_EQ(a.clicks, 1);

  // Unassigned events are equal; function events compare by identity.
  TNotifyEvent none, alsoNone(nullptr);
  EXPECT_EQ(none, alsoNone);
  auto f = TNotifyEvent::From([](TObject *) {});
  auto g = TNotifyEvent::From([](TObject *) {});
  auto copy = f;
  EXPECT_EQ(f, copy);
  EXPECT_NE(f, g);
}

} // namespace
