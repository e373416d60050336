// The class library's tool bar:
//   TToolBar     a container that lines its tool buttons up from the left, each ButtonWidth x ButtonHeight,
//                and gives them their icons from its Images;
//   TToolButton  a button on a tool bar (QToolButton): its icon, or its caption when it has none; a click
//                fires OnClick. It never takes the keyboard focus.
// A click reaches the button as BN_CLICKED through its parent (WM_COMMAND reflected as CN_COMMAND), as for
// the other buttons.
#pragma once
#include "platform/windowing/controls.h"

class QToolButton;
class TCustomImageList;
class TToolBar;

class TToolButton : public TWinControl {
public:
  explicit TToolButton(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TToolButton"); }
  void WndProc(TMessage &Message) override;
  void Click() override;

  // The icon's index in the tool bar's Images, -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  // The tool bar the button stands on, nullptr when its parent is none.
  TToolBar *ToolBar() const;

protected:
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void CreateWnd() override;
  void SetTextBuf(const QString &Value) override;

private:
  friend class TToolBar;
  QToolButton *ButtonWidget() const;
  // Shows the caption, the icon and the tool bar's flat look on the widget.
  void UpdateFace();
  int imageIndex_ = -1;
};

class TToolBar : public TCustomControl {
public:
  explicit TToolBar(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TToolBar"); }
  void WndProc(TMessage &Message) override;
  void Notification(TComponent *AComponent, TOperation Operation) override;

  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int Value);
  TCustomImageList *Images() const { return images_; }
  void SetImages(TCustomImageList *Value);
  // Buttons without a face of their own until the mouse is over them.
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  // The tool buttons on the bar, left to right.
  int ButtonCount() const;
  TToolButton *Buttons(int Index) const;

protected:
  void Paint() override;
  void AlignControls(TControl *AControl, TRect &Rect) override;

private:
  void ButtonsChanged();
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  TCustomImageList *images_ = nullptr;
  bool flat_ = false;
};
