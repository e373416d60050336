// The system's dialogs and services, each behind a small interface with a real implementation over Qt and a
// scripted one for tests: message boxes, the input box, open and save dialogs, the printer-setup dialog, the
// clipboard, opening a URL and the beep. The real ones are in force until a test installs the scripted ones
// (ScopedScriptedServices), so that no test ever waits for a person.
//
// On top of them, the Win32 and class-library calls the program makes: MessageBox, MessageDlg, ShowMessage,
// InputBox, InputQuery, TOpenDialog, TSaveDialog, TPrinterSetupDialog, Clipboard(), ShellExecute,
// MessageBeep.
#pragma once
#include "platform/core/component.h"
#include "platform/core/small_set.h"
#include "platform/windowing/messages.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

// ---- message boxes ----

// Win32 MessageBox flags and answers.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_DEFBUTTON1 = 0x0;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_APPLMODAL = 0x0;
constexpr unsigned MB_SYSTEMMODAL = 0x1000;
constexpr unsigned MB_TASKMODAL = 0x2000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// The class library's extra answers (message dialogs only).
constexpr int IDALL = 8;
constexpr int IDNOTOALL = 9;
constexpr int IDYESTOALL = 10;
constexpr int IDHELP = 11;

enum class TMessageIcon { None, Error, Question, Warning, Information };

// One message box as the program asks for it.
struct TMessageBoxRequest {
  QString Text;
  QString Caption;
  TMessageIcon Icon = TMessageIcon::None;
  QList<int> Buttons;    // answers (IDOK, IDYES, ...) in the order the buttons stand
  int DefaultButton = 0; // the answer of the button Enter presses
  int EscapeButton = 0;  // the answer of Escape and the close box (0: the box cannot be escaped)
  HWND Owner = 0;
};

// The Win32 message box. Returns the answer (IDOK, IDYES, ...).
int MessageBox(HWND Owner, const QString &Text, const QString &Caption, unsigned Flags);
// The request MessageBox makes of the flags (buttons, icon, default and escape button).
TMessageBoxRequest MessageBoxRequest(HWND Owner, const QString &Text, const QString &Caption, unsigned Flags);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
using TMsgDlgButtons = TSmallSet<TMsgDlgBtn>;

// The class library's message dialog: captioned "Warning", "Error", "Information", "Confirmation" or the
// application's title, buttons in the library's order, the first of OK / Yes as default and Cancel / No as
// escape. Returns the modal result (mrOk, mrYes, ...).
int MessageDlg(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// An information box with OK, captioned with the application's title.
void ShowMessage(const QString &Msg);

class TMessageBoxService {
public:
  virtual ~TMessageBoxService() = default;
  virtual int ShowMessageBox(const TMessageBoxRequest &Request) = 0;
};

// ---- the input box ----

struct TInputRequest {
  QString Caption;
  QString Prompt;
  QString Value;
};

class TInputService {
public:
  virtual ~TInputService() = default;
  // The text entered, or nothing when cancelled.
  virtual std::optional<QString> InputQuery(const TInputRequest &Request) = 0;
};

// The default when cancelled.
QString InputBox(const QString &ACaption, const QString &APrompt, const QString &ADefault);
// True and the entered text in Value when confirmed; Value unchanged when cancelled.
bool InputQuery(const QString &ACaption, const QString &APrompt, QString &Value);

// ---- open and save dialogs ----

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate
};
using TOpenOptions = TSmallSet<TOpenOption>;

struct TFileFilter {
  QString Description;  // "Text files (*.txt)"
  QStringList Patterns; // "*.txt"
  bool operator==(const TFileFilter &) const = default;
};
// Splits a filter text "Text files (*.txt)|*.txt|All files|*.*" into its pairs; patterns are separated by
// ';'.
QList<TFileFilter> ParseFileFilter(const QString &Filter);
// The name a file dialog shows for a filter: its description, followed by its patterns in parentheses
// unless the description already ends with them ("Text files (*.txt)").
QString FileFilterName(const TFileFilter &Filter);

struct TFileDialogRequest {
  bool Save = false;
  QString Title;
  QString FileName;
  QString InitialDir;
  QString DefaultExt; // without the dot
  QList<TFileFilter> Filters;
  int FilterIndex = 1; // 1-based, as the class library counts
  TOpenOptions Options;
  HWND Owner = 0;
};

struct TFileDialogResult {
  QString FileName;
  int FilterIndex = 1;
};

class TFileDialogService {
public:
  virtual ~TFileDialogService() = default;
  // The chosen file, or nothing when cancelled.
  virtual std::optional<TFileDialogResult> RunFileDialog(const TFileDialogRequest &Request) = 0;
};

class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TOpenDialog"); }
  // Shows the dialog; true and FileName / FilterIndex set when a file was chosen.
  virtual bool Execute();

  QString FileName;
  QString Filter;
  int FilterIndex = 1;
  QString InitialDir;
  QString DefaultExt;
  QString Title;
  TOpenOptions Options{ofHideReadOnly};

protected:
  bool saving_ = false;
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent *AOwner) : TOpenDialog(AOwner) { saving_ = true; }
  QString ClassName() const override { return QStringLiteral("TSaveDialog"); }
};

// ---- printer setup ----

class TPrinterSetupService {
public:
  virtual ~TPrinterSetupService() = default;
  // Lets the user choose the printer (and its paper and orientation) for Printer(); true on OK, after
  // which Printer() holds the choice.
  virtual bool RunPrinterSetup(HWND Owner) = 0;
};

class TPrinterSetupDialog : public TComponent {
public:
  explicit TPrinterSetupDialog(TComponent *AOwner) : TComponent(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TPrinterSetupDialog"); }
  bool Execute();
};

// ---- clipboard ----

constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_UNICODETEXT = 13;

class TClipboardService {
public:
  virtual ~TClipboardService() = default;
  virtual QString ClipboardText() = 0;
  virtual void SetClipboardText(const QString &Text) = 0;
  virtual bool ClipboardHasText() = 0;
  virtual void ClearClipboard() = 0;
};

// The class library's clipboard object.
class TClipboard : public TObject {
public:
  QString ClassName() const override { return QStringLiteral("TClipboard"); }
  QString AsText() const;
  void SetAsText(const QString &Value);
  // CF_TEXT and CF_UNICODETEXT: whether the clipboard holds text.
  bool HasFormat(unsigned Format) const;
};
TClipboard *Clipboard();

// ---- opening a URL ----

class TUrlService {
public:
  virtual ~TUrlService() = default;
  // Opens an http, https or mailto address in the user's browser or mail program.
  virtual bool OpenUrl(const QUrl &Url) = 0;
};

// Opens Address when it is a web (http, https) or mail (mailto) address; anything else (files, programs,
// other schemes) is refused. False when refused or when nothing could open it.
bool OpenUrl(const QString &Address);
// Win32 ShellExecute for the one thing this program does with it: "open" a web or mail address. Returns a
// value above 32 on success, SE_ERR_ACCESSDENIED for a refused address, SE_ERR_NOASSOC when it could not be
// opened.
constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;
constexpr std::intptr_t SE_ERR_NOASSOC = 31;
std::intptr_t ShellExecute(HWND Owner, const QString &Operation, const QString &File,
                           const QString &Parameters = QString(), const QString &Directory = QString(),
                           int ShowCmd = 1);

// ---- the beep ----

class TBeepService {
public:
  virtual ~TBeepService() = default;
  virtual void Beep(unsigned Type) = 0;
};

bool MessageBeep(unsigned Type);

// ---- which implementations are in force ----

TMessageBoxService &MessageBoxService();
TInputService &InputService();
TFileDialogService &FileDialogService();
TPrinterSetupService &PrinterSetupService();
TClipboardService &ClipboardService();
TUrlService &UrlService();
TBeepService &BeepService();

// Installs Service (not owned) in place of the one in force; nullptr returns to the real one.
void SetMessageBoxService(TMessageBoxService *Service);
void SetInputService(TInputService *Service);
void SetFileDialogService(TFileDialogService *Service);
void SetPrinterSetupService(TPrinterSetupService *Service);
void SetClipboardService(TClipboardService *Service);
void SetUrlService(TUrlService *Service);
void SetBeepService(TBeepService *Service);

// ---- scripted services for tests ----

// Answers every dialog from queues of prepared answers (or a handler), keeps a clipboard of its own, records
// the URLs it is asked to open and counts beeps. Every request is logged. A dialog with no answer prepared is
// answered as a person pressing Enter would (the default button; OK with the given text; cancel for file
// and printer dialogs), so a test never waits.
class TScriptedServices : public TMessageBoxService,
                          public TInputService,
                          public TFileDialogService,
                          public TPrinterSetupService,
                          public TClipboardService,
                          public TUrlService,
                          public TBeepService {
public:
  // -- answers --
  void AnswerMessageBox(int Answer) { messageAnswers_.push_back(Answer); }
  // Called for each message box instead of the queue.
  std::function<int(const TMessageBoxRequest &)> OnMessageBox;
  void AnswerInput(std::optional<QString> Answer) { inputAnswers_.push_back(std::move(Answer)); }
  void AnswerFileDialog(std::optional<TFileDialogResult> Answer) {
    fileAnswers_.push_back(std::move(Answer));
  }
  // Answers the next printer setup by selecting the named printer (nothing: cancel).
  void AnswerPrinterSetup(std::optional<QString> PrinterName) {
    printerAnswers_.push_back(std::move(PrinterName));
  }
  void SetUrlOpens(bool Value) { urlOpens_ = Value; }

  // -- what happened --
  const QList<TMessageBoxRequest> &MessageBoxes() const { return messageBoxes_; }
  const QList<TInputRequest> &Inputs() const { return inputs_; }
  const QList<TFileDialogRequest> &FileDialogs() const { return fileDialogs_; }
  int PrinterSetups() const { return printerSetups_; }
  const QList<QUrl> &OpenedUrls() const { return urls_; }
  const QList<unsigned> &Beeps() const { return beeps_; }

  // -- the interfaces --
  int ShowMessageBox(const TMessageBoxRequest &Request) override;
  std::optional<QString> InputQuery(const TInputRequest &Request) override;
  std::optional<TFileDialogResult> RunFileDialog(const TFileDialogRequest &Request) override;
  bool RunPrinterSetup(HWND Owner) override;
  QString ClipboardText() override { return clipboard_.value_or(QString()); }
  void SetClipboardText(const QString &Text) override { clipboard_ = Text; }
  bool ClipboardHasText() override { return clipboard_.has_value(); }
  void ClearClipboard() override { clipboard_.reset(); }
  bool OpenUrl(const QUrl &Url) override;
  void Beep(unsigned Type) override { beeps_.append(Type); }

private:
  std::deque<int> messageAnswers_;
  std::deque<std::optional<QString>> inputAnswers_;
  std::deque<std::optional<TFileDialogResult>> fileAnswers_;
  std::deque<std::optional<QString>> printerAnswers_;
  QList<TMessageBoxRequest> messageBoxes_;
  QList<TInputRequest> inputs_;
  QList<TFileDialogRequest> fileDialogs_;
  int printerSetups_ = 0;
  std::optional<QString> clipboard_;
  QList<QUrl> urls_;
  QList<unsigned> beeps_;
  bool urlOpens_ = true;
};

// Installs a TScriptedServices for every service while it lives, and the previous ones again after.
class ScopedScriptedServices {
public:
  ScopedScriptedServices();
  ~ScopedScriptedServices();
  ScopedScriptedServices(const ScopedScriptedServices &) = delete;
  ScopedScriptedServices &operator=(const ScopedScriptedServices &) = delete;
  TScriptedServices &operator*() { return services_; }
  TScriptedServices *operator->() { return &services_; }

private:
  TScriptedServices services_;
  TMessageBoxService *messageBox_;
  TInputService *input_;
  TFileDialogService *fileDialog_;
  TPrinterSetupService *printerSetup_;
  TClipboardService *clipboard_;
  TUrlService *url_;
  TBeepService *beep_;
};
