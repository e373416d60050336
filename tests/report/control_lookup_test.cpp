#include "platform/windowing/controls.h"
#include "report/control_lookup.h"
#include <gtest/gtest.h>

namespace {

// A windowed control that may hold others, like a panel.
struct Container : TWinControl {
  explicit Container(TComponent *owner) : TWinControl(owner) {
    TControlStyle style = ControlStyle();
    style.Include(csAcceptsControls);
    SetControlStyle(style);
  }
};

TEST(FindControlAtPoint, TopmostVisibleChildAndDescent) {
  Container form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto *bottom = new TWinControl(&form);
  bottom->SetParent(&form);
  bottom->SetBounds(10, 10, 100, 100);
  auto *top = new TWinControl(&form);
  top->SetParent(&form);
  top->SetBounds(50, 50, 100, 100);
  auto *panel = new Container(&form);
  panel->SetParent(&form);
  panel->SetBounds(200, 0, 100, 100);
  auto *inner = new TWinControl(&form);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 20, 20);
  auto *emptyPanel = new Container(&form);
  emptyPanel->SetParent(&form);
  emptyPanel->SetBounds(200, 150, 50, 50);

  EXPECT_EQ(FindControlAtPoint(&form, {60, 60}), top);    // overlap: the later (topmost) one
  EXPECT_EQ(FindControlAtPoint(&form, {215, 15}), inner); // descends with the point made relative
  EXPECT_EQ(FindControlAtPoint(&form, {250, 50}), panel); // inside the panel but on no child of it
  EXPECT_EQ(FindControlAtPoint(&form, {210, 160}), emptyPanel);
  EXPECT_EQ(FindControlAtPoint(&form, {150, 150}), nullptr); // right and bottom edges are outside
  top->SetVisible(false);
  EXPECT_EQ(FindControlAtPoint(&form, {60, 60}), bottom);
  EXPECT_EQ(FindControlAtPoint(nullptr, {0, 0}), nullptr);
}

} // namespace
