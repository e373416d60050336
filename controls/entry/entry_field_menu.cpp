// The entry field's built-in popup menu: Restore, Cut, Copy, Paste, Delete and Select All, enabled for the
// moment of the right click.
#include "controls/entry/base_entry_field.h"
#include "controls/framework/library_messages.h"
#include "platform/widgets/menus.h"
#include "platform/windowing/system_services.h"
#include <QMenu>

namespace {

TMenuItem *AddItem(TPopupMenu *menu, const QString &caption, const TNotifyEvent &onClick) {
  auto *item = new TMenuItem(menu);
  item->SetCaption(caption);
  item->OnClick = onClick;
  menu->Items()->Add(item);
  return item;
}

} // namespace

TPopupMenu *TOvcBaseEntryField::BuiltInMenu() {
  if (builtInMenu_) return builtInMenu_;
  builtInMenu_ = new TPopupMenu(this);
  const QString separator = QStringLiteral("-");
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuRestore),
          TNotifyEvent(this, &TOvcBaseEntryField::DoRestoreClick));
  AddItem(builtInMenu_, separator, nullptr);
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuCut),
          TNotifyEvent(this, &TOvcBaseEntryField::DoCutClick));
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuCopy),
          TNotifyEvent(this, &TOvcBaseEntryField::DoCopyClick));
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuPaste),
          TNotifyEvent(this, &TOvcBaseEntryField::DoPasteClick));
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuDelete),
          TNotifyEvent(this, &TOvcBaseEntryField::DoDeleteClick));
  AddItem(builtInMenu_, separator, nullptr);
  AddItem(builtInMenu_, LibraryMessageText(msg::MenuSelectAll),
          TNotifyEvent(this, &TOvcBaseEntryField::DoSelectAllClick));
  return builtInMenu_;
}

void TOvcBaseEntryField::UpdateBuiltInMenu() {
  TMenuItem *items = BuiltInMenu()->Items();
  const bool selection = selEnd_ > selStart_;
  const bool readOnly = IsReadOnly();
  items->Items(0)->SetEnabled(modified_);
  items->Items(2)->SetEnabled(selection && !readOnly);
  items->Items(3)->SetEnabled(selection);
  items->Items(4)->SetEnabled(!readOnly && Clipboard()->HasFormat(CF_TEXT));
  items->Items(5)->SetEnabled(selection && !readOnly);
  items->Items(7)->SetEnabled(editText_.size() > selEnd_ - selStart_);
}

void TOvcBaseEntryField::ShowBuiltInMenu(int X, int Y) {
  UpdateBuiltInMenu();
  const TPoint screen = ClientToScreen(TPoint{X, Y});
  builtInMenu_->SetPopupComponent(this);
  builtInMenu_->Popup(screen.X, screen.Y);
}

void TOvcBaseEntryField::DoRestoreClick(TObject *) {
  Restore();
  if (focused_) PositionCaret(true);
}

void TOvcBaseEntryField::DoCutClick(TObject *) { Perform(WM_CUT); }
void TOvcBaseEntryField::DoCopyClick(TObject *) { Perform(WM_COPY); }
void TOvcBaseEntryField::DoPasteClick(TObject *) { Perform(WM_PASTE); }
void TOvcBaseEntryField::DoDeleteClick(TObject *) { Perform(WM_CLEAR); }
void TOvcBaseEntryField::DoSelectAllClick(TObject *) { Perform(EM_SETSEL, 0, MAKELPARAM(0, 0xFFFF)); }
