// The standard controls together on a small dialog, grabbed to a picture. With TALLYROOK_GRAB_DIR set, the
// picture is saved there as std_controls_dialog.png for a person to look at.
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_combo_box.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "std_test_helpers.h"
#include <QDir>

namespace {

TEST(StdControlsDialog, ShowsAndGrabsLikeADesktopDialog) {
  ScopedScriptedServices services;
  auto *form = TCustomForm::Create<TForm>(nullptr);
  form->SetCaption(QStringLiteral("Customer"));
  form->SetBorderStyle(bsDialog);
  form->SetClientSize(340, 170);

  auto *nameLabel = new TLabel(form);
  nameLabel->SetCaption(QStringLiteral("&Name:"));
  nameLabel->SetBounds(12, 16, 60, 16);
  nameLabel->SetParent(form);
  auto *name = new TEdit(form);
  name->SetBounds(90, 12, 236, 21);
  name->SetText(QStringLiteral("Harbour Lights Ltd"));
  name->SetParent(form);
  nameLabel->SetFocusControl(name);

  auto *typeLabel = new TLabel(form);
  typeLabel->SetCaption(QStringLiteral("&Invoice type:"));
  typeLabel->SetBounds(12, 50, 70, 16);
  typeLabel->SetParent(form);
  auto *type = new TComboBox(form);
  type->SetStyle(csDropDownList);
  type->Items()->SetCommaText(QStringLiteral("ITEMS,SERVICES"));
  type->SetItemIndex(0);
  type->SetBounds(90, 46, 140, 24);
  type->SetParent(form);
  typeLabel->SetFocusControl(type);

  auto *keep = new TCheckBox(form);
  keep->SetCaption(QStringLiteral("&Keep for the next invoice"));
  keep->SetBounds(90, 82, 200, 17);
  keep->SetChecked(true);
  keep->SetParent(form);

  auto *line = new TBevel(form);
  line->SetShape(bsTopLine);
  line->SetBounds(8, 118, 324, 2);
  line->SetParent(form);

  auto *ok = new TButton(form);
  ok->SetCaption(QStringLiteral("OK"));
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  ok->SetBounds(170, 132, 75, 25);
  ok->SetParent(form);
  auto *cancel = new TButton(form);
  cancel->SetCaption(QStringLiteral("Cancel"));
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetBounds(252, 132, 75, 25);
  cancel->SetParent(form);

  guitest::ShowAndActivate(form);
  const QImage image = form->Widget()->grab().toImage();
  EXPECT_EQ(image.size(), QSize(340, 170));
  // The dialog's face is the button face; the edit's field is the window colour.
  EXPECT_EQ(image.pixel(5, 5), ColorToQColor(clBtnFace).rgb());
  EXPECT_EQ(image.pixel(300, 22), ColorToQColor(clWindow).rgb());
  const QString dir = qEnvironmentVariable("TALLYROOK_GRAB_DIR");
  if (!dir.isEmpty()) {
    QDir().mkpath(dir);
    EXPECT_TRUE(image.save(dir + QStringLiteral("/std_controls_dialog.png")));
  }
  form->Free();
  guitest::ProcessEvents();
}

} // namespace
