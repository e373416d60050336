// TAboutBox (AboutBox): the program's name and version, the publisher's links and the quick help, opened from
// the main window's menu ("About Tallyrook - and Help"). OK, Enter or Escape closes it.
//
// The publisher's web site and e-mail address come from the build (TALLYROOK_PUBLISHER_WEBSITE and
// TALLYROOK_PUBLISHER_EMAIL, empty by default). Without them the links are plain text and open nothing: the
// product name stays "Billsprint Creation" and the e-mail and web site lines read "none published".
#pragma once
#include "controls/labels/label.h"
#include "controls/labels/url_label.h"
#include "platform/widgets/std_buttons.h"
#include "platform/widgets/std_edits.h"
#include "platform/widgets/std_labels.h"
#include "platform/widgets/std_panels.h"
#include "platform/windowing/forms.h"

// A link label whose caption is what it shows and whose Target (a web or mail address) is what a click
// opens. With no target it looks and acts as plain text.
class TAboutLink : public TKNGURLLabel {
public:
  explicit TAboutLink(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TAboutLink"); }
  void WndProc(TMessage &Message) override;

  QString Target() const { return target_; }
  void SetTarget(const QString &Address);

protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  QString target_;
};

class TAboutBox : public TForm {
public:
  explicit TAboutBox(TComponent *AOwner);
  ~TAboutBox() override;
  QString ClassName() const override { return QStringLiteral("TAboutBox"); }

  // The creation handler (OnCreate): keeps the help text off the memo's edges.
  void FormCreate(TObject *Sender);
  // Points the links at the publisher's web site and e-mail address (either may be empty: none).
  void ShowPublisher(const QString &WebSite, const QString &Email);

  // The quick help, plain text in sections.
  static QString QuickHelpText();

  TPanel *Panel1 = nullptr;
  TImage *ProgramIcon = nullptr;
  TImage *NamePicture = nullptr;
  TAboutLink *ProductName = nullptr;
  TLabel *Version = nullptr;
  TLabel *Label1 = nullptr;
  TAboutLink *KNGURLLabel1 = nullptr;
  TLabel *Label2 = nullptr;
  TAboutLink *KNGURLLabel2 = nullptr;
  TPanel *Panel2 = nullptr;
  TOvcLabel *OvcLabel1 = nullptr;
  TMemo *Memo1 = nullptr;
  TButton *OKButton = nullptr;
};

extern TAboutBox *AboutBox;
