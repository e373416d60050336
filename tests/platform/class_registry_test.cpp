#include "platform/core/class_registry.h"
#include "platform/core/component.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>

namespace {

struct TTestButton : TComponent {
  using TComponent::TComponent;
  QString ClassName() const override { return QStringLiteral("TTestButton"); }
};

struct TTestShape : TPersistent {
  QString ClassName() const override { return QStringLiteral("TTestShape"); }
};

TEST(ClassRegistry, RegisterFindAndCreate) {
  RegisterClass<TTestButton>(QStringLiteral("TTestButton"));
  RegisterClass<TTestShape>(QStringLiteral("TTestShape"));
  RegisterClass<TTestButton>(QStringLiteral("TTESTBUTTON")); // the same class again: nothing happens

  TComponent form(nullptr);
  const TPersistentClass &button = FindClass(QStringLiteral("ttestbutton"));
  auto *made = dynamic_cast<TTestButton *>(button.Create(&form));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Owner(), &form); // components get their owner

  EXPECT_EQ(MessageOf<EFilerError>([&] { RegisterClass<TTestShape>(QStringLiteral("TTestButton")); }),
            "A class named TTestButton already exists");

  UnRegisterClass(QStringLiteral("TTestButton"));
  UnRegisterClass(QStringLiteral("TTestShape"));
  EXPECT_EQ(MessageOf<EClassNotFound>([&] { FindClass(QStringLiteral("TTestShape")); }),
            "Class TTestShape not found");
}

} // namespace
