// The owner-drawn combo box the library's colour and font boxes build on. It keeps a most-recently-used list
// at the top of the drop-down list (separated from the rest by a line), completes typed text to the first
// matching entry after a pause (KeyDelay), accepts Enter to pick the entry the text starts, carries the
// attached label, and couples a flat hot-tracking look with per-side border pens.
#pragma once
#include "controls/combos/mru_list.h"
#include "controls/framework/attached_label.h"
#include "controls/framework/base.h"
#include "controls/framework/borders.h"
#include "platform/widgets/std_combo_box.h"
#include <memory>

enum TOvcComboStyle { ocsDropDown, ocsDropDownList };

// The frame colours of the hot-tracking look.
class TOvcHTColors : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcHTColors"); }
  TColor Highlight() const { return highlight_; }
  void SetHighlight(TColor Value) { highlight_ = Value; }
  TColor Shadow() const { return shadow_; }
  void SetShadow(TColor Value) { shadow_ = Value; }

private:
  TColor highlight_ = clBtnHighlight;
  TColor shadow_ = clBtnShadow;
};

class TOvcBaseComboBox : public TCustomComboBox {
public:
  explicit TOvcBaseComboBox(TComponent *AOwner);
  ~TOvcBaseComboBox() override;
  QString ClassName() const override { return QStringLiteral("TOvcBaseComboBox"); }
  void BeforeDestruction() override;
  void Loaded() override;
  void Notification(TComponent *AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(TMessage &Message) override;

  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  bool AutoSearch() const { return autoSearch_; }
  void SetAutoSearch(bool Value) { autoSearch_ = Value; }
  // The pause in milliseconds after the last key that ends an incremental search; negative values are
  // ignored.
  int KeyDelay() const { return keyDelay_; }
  void SetKeyDelay(int Value);
  int MRUListCount() const { return mruList_->MaxItems(); }
  void SetMRUListCount(int Value);
  TColor MRUListColor() const { return mruListColor_; }
  void SetMRUListColor(TColor Value);
  TOvcComboStyle Style() const { return ovcStyle_; }
  void SetStyle(TOvcComboStyle Value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value);
  bool HotTrackBorder() const { return hotTrackBorder_; }
  // Switches every border of Borders off.
  void SetHotTrackBorder(bool Value);
  TOvcHTColors *HotTrackColors() const { return htColors_.get(); }
  TOvcBorders *Borders() const { return borders_.get(); }
  // -1: the system's own width.
  int DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(int Value);
  void SetItemHeight(int Value);
  TOvcLabelInfo *LabelInfo() const { return labels_.LabelInfo(); }
  TOvcAttachedLabel *AttachedLabel() const { return labels_.AttachedLabel(); }

  // The MRU entries currently shown at the top of the list.
  const TOvcMRUList *MRUList() const { return mruList_.get(); }
  // Adds entry Index of the list to the MRU list (and a copy to the top of the list when the MRU list grew).
  void AddItemToMRUList(int Index);
  // Removes the MRU entries from the top of the list and empties the MRU list.
  void ClearMRUList();

  TNotifyEvent AfterEnter;
  TNotifyEvent AfterExit;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnSelectionChange;

protected:
  virtual void SelectionChanged();
  // Replaces the Removed entries at the top of the list by the MRU list and selects the entry matching the
  // text.
  void UpdateMRUList(int Removed);
  // The first entry after the MRU part that starts with the text (searching on round to the top), -1 for
  // none.
  int FindTextPrefix() const;
  int FindTextExact() const;
  void CreateParams(TCreateParams &Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void CloseUp() override;
  void DrawItem(int Index, const TRect &Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int &Height) override;
  void KeyDown(WORD &Key, TShiftState Shift) override;
  // The separator under the last MRU entry, when the list is open.
  void DrawMRUSeparator(int Index, const TRect &Rect, TOwnerDrawState State);
  void BordersChanged(TObject *Sender);
  void DropDown() override;

public:
  // Whether the hot-tracking look shows as hot: the mouse inside, the focus here or the list open.
  bool IsHot() const;
  // The box paints itself: its colour, its frame and button in the 3-D, flat or hot-tracking look, the shown
  // entry of a drop-down list and the enabled borders.
  bool PaintsOwnFrame() const override { return true; }
  TRect EditPartRect() const override;
  TRect ButtonRect() const override;

private:
  bool HotTrackLook() const;
  void SetMouseInside(bool Value);
  int FrameWidth() const;
  void PaintBox();
  void PaintBorders();
  // The look changed: the edit part may move, and everything repaints.
  void LookChanged();
  void ListClosed();
  void StartSearchDelay();
  void StopSearchDelay();
  void SearchTriggered();
  void PickTypedEntry(bool Report);
  void ItemHeightFromFont();

  TOvcLabelHost labels_;
  std::unique_ptr<TOvcMRUList> mruList_;
  std::unique_ptr<TOvcHTColors> htColors_;
  std::unique_ptr<TOvcBorders> borders_;
  bool autoSearch_ = true;
  int keyDelay_ = 500;
  TColor mruListColor_ = clWindow;
  TOvcComboStyle ovcStyle_ = ocsDropDown;
  bool hotTrack_ = false;
  bool hotTrackBorder_ = true;
  int dropDownWidth_ = -1;
  int savedItemIndex_ = -1;
  int searchTrigger_ = -1;
  bool backspaced_ = false;
  bool mouseInside_ = false;
};
