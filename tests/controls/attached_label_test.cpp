// The attached label: creation with a unique name, placement above and below the control, following the
// control, recording offsets when the label moves, and its release with the control, the form or by itself.
#include "controls/framework/attached_label.h"
#include "controls/framework/base.h"
#include "platform/core/class_registry.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/system_services.h"
#include "tests/platform/raises.h"
#include "tests/platform/std_test_helpers.h"
#include <gtest/gtest.h>

namespace {

class LabelledControl : public TO32CustomControl {
public:
  LabelledControl(TComponent *AOwner, bool below) : TO32CustomControl(AOwner) { SetLabelBelow(below); }
  void BeforeDestruction() override {
    if (LabelInfo()->ALabel()) ++labelsHeldAtRelease;
    TO32CustomControl::BeforeDestruction();
  }
  static inline int labelsHeldAtRelease = 0;
};

class AttachedLabelTest : public stdtest::FormTest {
protected:
  LabelledControl *AddControl(const QString &name, bool below = false) {
    auto *c = new LabelledControl(form, below);
    c->SetName(name);
    c->SetParent(form);
    c->SetBounds(50, 60, 100, 20);
    return c;
  }
};

TEST_F(AttachedLabelTest, VisibleMakesALabelWithAUniqueNameAfterTheControl) {
  LabelledControl *c = AddControl(QStringLiteral("Grid"));
  EXPECT_EQ(MessageOf<Exception>([&] { c->AttachedLabel(); }), QStringLiteral("Label not attached"));
  c->LabelInfo()->SetVisible(true);
  TOvcAttachedLabel *label = c->AttachedLabel();
  EXPECT_EQ(std::tuple(label->Owner(), label->Parent(), label->Control(), label->FocusControl()),
            std::tuple(static_cast<TComponent *>(form), static_cast<TWinControl *>(form),
                       static_cast<TWinControl *>(c), static_cast<TWinControl *>(c)));
  EXPECT_EQ(label->Name(), QStringLiteral("GridLabel1"));

  // Names are unique on the form; hiding frees the label and its name.
  auto *other = AddControl(QStringLiteral("Other"));
  auto *taken = new TLabel(form);
  taken->SetName(QStringLiteral("OtherLabel1"));
  other->LabelInfo()->SetVisible(true);
  EXPECT_EQ(other->AttachedLabel()->Name(), QStringLiteral("OtherLabel2"));
  other->LabelInfo()->SetVisible(false);
  EXPECT_EQ(form->FindComponent(QStringLiteral("OtherLabel2")), nullptr);

  // A control without a form gets none; the class is registered for stored forms.
  LabelledControl loose(nullptr, false);
  loose.LabelInfo()->SetVisible(true);
  EXPECT_THROW(loose.AttachedLabel(), Exception);
  const TPersistentClass *registered = GetClass(QStringLiteral("TOvcAttachedLabel"));
  ASSERT_NE(registered, nullptr);
  TPersistent *made = registered->Create(form);
  EXPECT_EQ(made->ClassName(), QStringLiteral("TOvcAttachedLabel"));
  static_cast<TComponent *>(made)->Free();
}

TEST_F(AttachedLabelTest, LabelStandsByTheOffsetsAboveOrBelow) {
  struct Case {
    bool below;
    int offsetX, offsetY;
    int left;
    int topWithoutLabelHeight; // above: add -label height
  };
  const Case cases[] = {{false, 5, -3, 55, 57}, {true, -4, 6, 46, 86}};
  int n = 0;
  for (const Case &k : cases) {
    LabelledControl *c = AddControl(QStringLiteral("C%1").arg(++n), k.below);
    c->LabelInfo()->SetVisible(true);
    c->LabelInfo()->SetOffsets(k.offsetX, k.offsetY);
    TOvcAttachedLabel *label = c->AttachedLabel();
    EXPECT_EQ(label->Left(), k.left) << n;
    EXPECT_EQ(label->Top(), k.topWithoutLabelHeight - (k.below ? 0 : label->Height())) << n;
  }
}

TEST_F(AttachedLabelTest, OffsetCallbackFiresOnceForBothOffsetsAndOnlyOnChange) {
  TOvcLabelInfo info;
  int changes = 0;
  QList<bool> visibles;
  info.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  info.OnVisibleChange = TOvcLabelVisibleEvent::From([&](TObject *, bool v) { visibles << v; });
  info.SetOffsets(3, 4);
  info.SetOffsets(3, 4);
  info.SetOffsetX(3);
  info.SetOffsetY(5);
  EXPECT_EQ(changes, 2);
  info.SetVisible(true);
  info.SetVisible(true);
  info.SetVisible(false);
  EXPECT_EQ(visibles, (QList<bool>{true, false}));
}

TEST_F(AttachedLabelTest, MovingTheControlMovesTheLabelAlongAndMovingTheLabelChangesTheOffsets) {
  LabelledControl *c = AddControl(QStringLiteral("Grid"));
  Show();
  c->LabelInfo()->SetVisible(true);
  c->LabelInfo()->SetOffsets(2, -1);
  TOvcAttachedLabel *label = c->AttachedLabel();
  guitest::ProcessEvents();
  const int left = label->Left(), top = label->Top();
  c->SetBounds(80, 100, 100, 20);
  guitest::ProcessEvents();
  EXPECT_EQ(std::pair(label->Left(), label->Top()), std::pair(left + 30, top + 40));

  for (bool below : {false, true}) {
    LabelledControl *d = AddControl(below ? QStringLiteral("Below") : QStringLiteral("Above"), below);
    d->LabelInfo()->SetVisible(true);
    TOvcAttachedLabel *dl = d->AttachedLabel();
    guitest::ProcessEvents();
    dl->SetBounds(dl->Left() + 7, dl->Top() - 9, dl->Width(), dl->Height());
    guitest::ProcessEvents();
    EXPECT_EQ(std::pair(d->Left(), d->Top()), std::pair(50, 60)) << below;
    EXPECT_EQ(std::pair(d->LabelInfo()->OffsetX(), d->LabelInfo()->OffsetY()), std::pair(7, -9)) << below;
  }
}

TEST_F(AttachedLabelTest, LabelFollowsTheControlsVisibilityAndGoesWithItOrAlone) {
  LabelledControl *c = AddControl(QStringLiteral("Grid"));
  c->LabelInfo()->SetVisible(true);
  c->Hide();
  EXPECT_FALSE(c->AttachedLabel()->Visible());
  c->Show();
  EXPECT_TRUE(c->AttachedLabel()->Visible());
  c->AttachedLabel()->Free();
  EXPECT_FALSE(c->LabelInfo()->Visible()) << "freeing the label detaches it";

  c->LabelInfo()->SetVisible(true);
  const int count = form->ComponentCount();
  c->Free();
  EXPECT_EQ(form->ComponentCount(), count - 2);
}

TEST_F(AttachedLabelTest, FreeingTheFormReleasesControlAndLabelOnce) {
  // The form frees the label (made later) before the control: the control must not free it again.
  for (int i = 0; i < 3; ++i) AddControl(QStringLiteral("C%1").arg(i))->LabelInfo()->SetVisible(true);
  Show();
  LabelledControl::labelsHeldAtRelease = 0;
  form->Free();
  form = TCustomForm::Create<TForm>(nullptr); // for the fixture to free
  guitest::ProcessEvents();
  EXPECT_EQ(LabelledControl::labelsHeldAtRelease, 0);
}

TEST_F(AttachedLabelTest, LabelOfAStoredFormAttachesItselfWhenLoaded) {
  LabelledControl *c = AddControl(QStringLiteral("Grid"));
  auto *label = new TOvcAttachedLabel(form);
  label->SetName(QStringLiteral("GridLabel1"));
  label->SetParent(form);
  form->BeginLoading();
  label->SetControl(c);
  label->SetBounds(60, 30, label->Width(), label->Height());
  form->EndLoading();
  guitest::ProcessEvents();
  EXPECT_TRUE(c->LabelInfo()->Visible());
  EXPECT_EQ(c->AttachedLabel(), label);
  EXPECT_EQ(std::pair(c->LabelInfo()->OffsetX(), c->LabelInfo()->OffsetY()),
            std::pair(10, 30 + label->Height() - 60));
}

} // namespace
