// The class library's combo box over QComboBox.
//
// Styles: csDropDown (an edit with a list), csSimple (shown here as csDropDown), csDropDownList (a list
// only), csOwnerDrawFixed and csOwnerDrawVariable (a list whose entries, and the shown entry, are drawn by
// DrawItem / OnDrawItem, with heights from ItemHeight or MeasureItem / OnMeasureItem). Descendants may also
// set the CBS_ styles in CreateParams directly (an editable owner-drawn box, for instance).
//
// Notifications reach the box through its parent as in Win32 (CBN_SELCHANGE, CBN_EDITCHANGE, CBN_DROPDOWN,
// CBN_CLOSEUP, CBN_SETFOCUS, CBN_KILLFOCUS in WM_COMMAND, reflected as CN_COMMAND): choosing an entry fires
// OnClick and OnSelect (or OnChange when OnSelect is not assigned), typing in the edit fires OnChange,
// opening and closing the list fire OnDropDown and OnCloseUp. Setting ItemIndex or Text from the program
// fires nothing.
//
// Typing finds entries as Windows does: in a list-only box each typed character extends a search text
// (started afresh after a pause) and selects the first entry starting with it, case-insensitively; in an
// editable box with AutoComplete the text is completed to the first entry starting with what was typed and
// the completion is selected.
//
// Keys typed into an editable box go through EditWndProc, the procedure of its edit part (whose own window
// handle is EditHandle), before the box's key events; a descendant overrides it to filter them. Keyboard
// messages that the program sends or posts act as typed keys do.
#pragma once
#include "platform/core/string_list.h"
#include "platform/widgets/std_control_types.h"
#include "platform/windowing/controls.h"
#include <QElapsedTimer>
#include <memory>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPainter;
class QStyleOptionViewItem;

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

using TDrawItemEvent = TEvent<void(TWinControl *Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl *Control, int Index, int &Height)>;

class TCustomComboBox;

// The entries of a combo box, each with an object.
class TComboBoxStrings : public TStrings {
public:
  explicit TComboBoxStrings(TCustomComboBox *ComboBox) : combo_(ComboBox) {}
  QString ClassName() const override { return QStringLiteral("TComboBoxStrings"); }
  int Count() const override { return int(items_.size()); }
  QString Strings(int Index) const override;
  TObject *Objects(int Index) const override;
  void SetObjects(int Index, TObject *AObject) override;
  void Insert(int Index, const QString &S) override;
  void InsertObject(int Index, const QString &S, TObject *AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  // A sorted box adds at the entry's place.
  int Add(const QString &S) override;
  int AddObject(const QString &S, TObject *AObject) override;

private:
  friend class TCustomComboBox;
  struct Item {
    QString text;
    TObject *object = nullptr;
  };
  QList<Item> items_;
  TCustomComboBox *combo_;
};

class TCustomComboBox : public TWinControl {
public:
  explicit TCustomComboBox(TComponent *AOwner);
  ~TCustomComboBox() override;
  QString ClassName() const override { return QStringLiteral("TCustomComboBox"); }
  void WndProc(TMessage &Message) override;
  void MainWndProc(TMessage &Message) override;

  TStrings *Items() { return items_.get(); }
  const TStrings *Items() const { return items_.get(); }
  void SetItems(const TStrings *Value) { items_->Assign(Value); }
  // The selected entry, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  bool DroppedDown() const;
  void SetDroppedDown(bool Value);
  // How many entries the open list shows at once.
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int Value);
  // The width of the open list; 0 for the box's own width.
  int DropDownWidth() const { return dropDownWidth_; }
  void SetDropDownWidth(int Value);
  // The height of an owner-drawn entry (others follow the font).
  int ItemHeight() const;
  void SetItemHeight(int Value);
  // The most characters the user can type into the edit; 0 for no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value) { charCase_ = Value; }
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool Value) { autoComplete_ = Value; }

  // The edit part's selection (editable styles).
  int SelStart() const;
  void SetSelStart(int Value);
  int SelLength() const;
  void SetSelLength(int Value);
  QString SelText() const;
  void SelectAll();

  // The canvas DrawItem paints on; during WM_PAINT it draws on the box itself.
  TCanvas *Canvas() { return canvas_.get(); }
  // The edit part's window (0 for a list-only box): messages sent to it go to EditWndProc.
  HWND EditHandle() const;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  // A descendant that paints the whole box itself on WM_PAINT (frame, button, shown entry) answers true: Qt's
  // frame and button are then left out, and the edit part and the button lie where EditPartRect and
  // ButtonRect (client coordinates) say.
  virtual bool PaintsOwnFrame() const { return false; }
  virtual TRect EditPartRect() const { return ClientRect(); }
  virtual TRect ButtonRect() const { return TRect{}; }

  // -- called by the widget --
  void PaintListItem(QPainter *Painter, const QStyleOptionViewItem &Option, int Index);
  int ListItemHeight(int Index);
  void PaintEditPart(QPainter *Painter, const QRect &Rect, bool Focused);
  bool IsOwnerDraw() const;
  bool IsVariableHeight() const;
  void SendNotification(WORD Code);

protected:
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  // Draws entry Index (the shown entry when State holds odComboBoxEdit); the default fills Rect with the
  // brush and writes the entry.
  virtual void DrawItem(int Index, const TRect &Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int &Height);
  // Draws the shown entry in Rect with the canvas as it stands (during WM_PAINT), highlighted when Focused.
  void DrawEditPart(const TRect &Rect, bool Focused);
  // Lays the edit part out again where EditPartRect now says.
  void EditPartMoved();
  // The edit part's message procedure (editable styles): keys go through the box's key events and on to
  // the edit; the clipboard and selection messages act on the edit.
  virtual void EditWndProc(TMessage &Message);
  void CreateParams(TCreateParams &Params) override;
  QWidget *CreateWindowWidget(const TCreateParams &Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  QString GetText() const override;
  void SetTextBuf(const QString &Value) override;
  // Whether the window has an edit part (CBS_DROPDOWN, CBS_SIMPLE).
  bool IsEditable() const;
  bool HandleKeyEvent(QKeyEvent *Event) override;
  // A key or character sent or posted by the program: typed as the keyboard would type it.
  void TypeSentKey(UINT Msg, WORD Key);
  QComboBox *ComboWidget() const;
  QLineEdit *EditWidget() const;

private:
  friend class TComboBoxStrings;
  void ItemInserted(int Index);
  void ItemDeleted(int Index);
  void ItemsCleared();
  void SyncWidgetItems();
  void FindTyped(QChar Ch);
  bool CompleteTyped(QChar Ch);
  int FindPrefix(const QString &Prefix, int After = -1) const;
  int FindExact(const QString &Text) const;
  bool ComboMessage(TMessage &Message);

  std::unique_ptr<TComboBoxStrings> items_;
  std::unique_ptr<TCanvas> canvas_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;     // without a window
  QString editText_;       // without a window
  int notifiedIndex_ = -1; // the selection the last CBN_SELCHANGE was sent for
  int dropDownCount_ = 8;
  int dropDownWidth_ = 0;
  int itemHeight_ = 16;
  int maxLength_ = 0;
  bool sorted_ = false;
  TEditCharCase charCase_ = ecNormal;
  bool autoComplete_ = true;
  HWND editHandle_ = 0;
  QString search_;
  QElapsedTimer searchTimer_;
  bool fromKeyboard_ = false;
};

class TComboBox : public TCustomComboBox {
public:
  using TCustomComboBox::TCustomComboBox;
  QString ClassName() const override { return QStringLiteral("TComboBox"); }
};
