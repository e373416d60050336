#include "platform/windowing/system_services.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/application.h"
#include "platform/windowing/controls.h"
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QWidget *OwnerWidget(HWND owner) {
  if (TWinControl *c = FindControl(owner))
    if (QWidget *w = c->Widget()) return w->window();
  return QApplication::activeWindow();
}

QString ButtonText(int id) {
  switch (id) {
  case IDOK: return QStringLiteral("OK");
  case IDCANCEL: return QStringLiteral("Cancel");
  case IDABORT: return QStringLiteral("&Abort");
  case IDRETRY: return QStringLiteral("&Retry");
  case IDIGNORE: return QStringLiteral("&Ignore");
  case IDYES: return QStringLiteral("&Yes");
  case IDNO: return QStringLiteral("&No");
  case IDALL: return QStringLiteral("&All");
  case IDNOTOALL: return QStringLiteral("N&o to All");
  case IDYESTOALL: return QStringLiteral("Yes to &All");
  default: return QStringLiteral("&Help");
  }
}

// ---- the real services ----

class QtServices : public TMessageBoxService,
                   public TInputService,
                   public TFileDialogService,
                   public TPrinterSetupService,
                   public TClipboardService,
                   public TUrlService,
                   public TBeepService {
public:
  int ShowMessageBox(const TMessageBoxRequest &Request) override {
    QMessageBox box(OwnerWidget(Request.Owner));
    box.setWindowTitle(Request.Caption);
    box.setText(Request.Text);
    switch (Request.Icon) {
    case TMessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case TMessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case TMessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case TMessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    QList<QPair<QPushButton *, int>> buttons;
    for (int id : Request.Buttons) {
      const QMessageBox::ButtonRole role =
          id == Request.EscapeButton ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
      QPushButton *button = box.addButton(ButtonText(id), role);
      buttons.append({button, id});
      if (id == Request.DefaultButton) box.setDefaultButton(button);
      if (id == Request.EscapeButton) box.setEscapeButton(button);
    }
    box.exec();
    for (const auto &[button, id] : buttons)
      if (box.clickedButton() == button) return id;
    return Request.EscapeButton != 0 ? Request.EscapeButton : Request.DefaultButton;
  }

  std::optional<QString> InputQuery(const TInputRequest &Request) override {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), Request.Caption, Request.Prompt,
                                               QLineEdit::Normal, Request.Value, &ok);
    if (!ok) return std::nullopt;
    return text;
  }

  std::optional<TFileDialogResult> RunFileDialog(const TFileDialogRequest &Request) override {
    QFileDialog dialog(OwnerWidget(Request.Owner), Request.Title, Request.InitialDir);
    dialog.setAcceptMode(Request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!Request.Save && Request.Options.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                                                  : QFileDialog::AnyFile);
    if (!Request.Options.Contains(ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!Request.DefaultExt.isEmpty()) dialog.setDefaultSuffix(Request.DefaultExt);
    QStringList names;
    for (const TFileFilter &f : Request.Filters) names.append(FileFilterName(f));
    if (!names.isEmpty()) {
      dialog.setNameFilters(names);
      dialog.selectNameFilter(names.value(std::clamp(Request.FilterIndex, 1, int(names.size())) - 1));
    }
    if (!Request.FileName.isEmpty()) dialog.selectFile(Request.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    TFileDialogResult result;
    result.FileName = dialog.selectedFiles().first();
    result.FilterIndex = std::max(1, int(names.indexOf(dialog.selectedNameFilter())) + 1);
    return result;
  }

  bool RunPrinterSetup(HWND Owner) override {
    TPrinter *printer = Printer();
    QDialog dialog(OwnerWidget(Owner));
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *form = new QFormLayout;
    auto *names = new QComboBox(&dialog);
    names->addItems(printer->Printers());
    names->setCurrentIndex(printer->PrinterIndex());
    auto *papers = new QComboBox(&dialog);
    auto *portrait = new QRadioButton(QStringLiteral("P&ortrait"), &dialog);
    auto *landscape = new QRadioButton(QStringLiteral("L&andscape"), &dialog);
    (printer->Orientation() == poLandscape ? landscape : portrait)->setChecked(true);
    form->addRow(QStringLiteral("&Name:"), names);
    form->addRow(QStringLiteral("Si&ze:"), papers);
    form->addRow(QStringLiteral("Orientation:"), portrait);
    form->addRow(QString(), landscape);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    const int originalIndex = printer->PrinterIndex();
    auto fillPapers = [printer, papers](int index) {
      papers->clear();
      try {
        printer->SetPrinterIndex(index);
      } catch (const Exception &) {
        return;
      }
      for (const TPaperInfo &paper : printer->Papers()) {
        papers->addItem(paper.name, paper.code);
        if (paper.code == printer->PaperSize()) papers->setCurrentIndex(papers->count() - 1);
      }
    };
    fillPapers(names->currentIndex());
    QObject::connect(names, &QComboBox::currentIndexChanged, &dialog, fillPapers);
    if (dialog.exec() != QDialog::Accepted) {
      if (printer->PrinterIndex() != originalIndex) printer->SetPrinterIndex(originalIndex);
      return false;
    }
    if (papers->currentIndex() >= 0) printer->SetPaperSize(papers->currentData().toInt());
    printer->SetOrientation(landscape->isChecked() ? poLandscape : poPortrait);
    return true;
  }

  QString ClipboardText() override { return QGuiApplication::clipboard()->text(); }
  void SetClipboardText(const QString &Text) override { QGuiApplication::clipboard()->setText(Text); }
  bool ClipboardHasText() override {
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
  }
  void ClearClipboard() override { QGuiApplication::clipboard()->clear(); }

  bool OpenUrl(const QUrl &Url) override { return QDesktopServices::openUrl(Url); }

  void Beep(unsigned) override { QApplication::beep(); }
};

QtServices &RealServices() {
  static QtServices services;
  return services;
}

TMessageBoxService *g_messageBox = nullptr;
TInputService *g_input = nullptr;
TFileDialogService *g_fileDialog = nullptr;
TPrinterSetupService *g_printerSetup = nullptr;
TClipboardService *g_clipboard = nullptr;
TUrlService *g_url = nullptr;
TBeepService *g_beep = nullptr;

// The address when it is one this program may open.
std::optional<QUrl> AllowedUrl(const QString &address) {
  const QUrl url(address.trimmed(), QUrl::StrictMode);
  if (!url.isValid()) return std::nullopt;
  const QString scheme = url.scheme().toLower();
  if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
    return url;
  if (scheme == QLatin1String("mailto") && !url.path().isEmpty()) return url;
  return std::nullopt;
}

} // namespace

// ---- message boxes ----

TMessageBoxRequest MessageBoxRequest(HWND Owner, const QString &Text, const QString &Caption,
                                     unsigned Flags) {
  TMessageBoxRequest request;
  request.Owner = Owner;
  request.Text = Text;
  request.Caption = Caption;
  switch (Flags & 0xF) {
  case MB_OKCANCEL:
    request.Buttons = {IDOK, IDCANCEL};
    request.EscapeButton = IDCANCEL;
    break;
  case MB_ABORTRETRYIGNORE: request.Buttons = {IDABORT, IDRETRY, IDIGNORE}; break;
  case MB_YESNOCANCEL:
    request.Buttons = {IDYES, IDNO, IDCANCEL};
    request.EscapeButton = IDCANCEL;
    break;
  case MB_YESNO: request.Buttons = {IDYES, IDNO}; break;
  case MB_RETRYCANCEL:
    request.Buttons = {IDRETRY, IDCANCEL};
    request.EscapeButton = IDCANCEL;
    break;
  default:
    request.Buttons = {IDOK};
    request.EscapeButton = IDOK;
    break;
  }
  const int defaultIndex = int((Flags >> 8) & 0xF);
  request.DefaultButton = request.Buttons.value(std::min(defaultIndex, int(request.Buttons.size()) - 1));
  switch (Flags & 0xF0) {
  case MB_ICONSTOP: request.Icon = TMessageIcon::Error; break;
  case MB_ICONQUESTION: request.Icon = TMessageIcon::Question; break;
  case MB_ICONWARNING: request.Icon = TMessageIcon::Warning; break;
  case MB_ICONINFORMATION: request.Icon = TMessageIcon::Information; break;
  default: break;
  }
  return request;
}

int MessageBox(HWND Owner, const QString &Text, const QString &Caption, unsigned Flags) {
  return MessageBoxService().ShowMessageBox(MessageBoxRequest(Owner, Text, Caption, Flags));
}

namespace {

int DialogAnswer(TMsgDlgBtn button) {
  switch (button) {
  case mbYes: return IDYES;
  case mbNo: return IDNO;
  case mbOK: return IDOK;
  case mbCancel: return IDCANCEL;
  case mbAbort: return IDABORT;
  case mbRetry: return IDRETRY;
  case mbIgnore: return IDIGNORE;
  case mbAll: return IDALL;
  case mbNoToAll: return IDNOTOALL;
  case mbYesToAll: return IDYESTOALL;
  default: return IDHELP;
  }
}

TMessageBoxRequest DialogRequest(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  TMessageBoxRequest request;
  request.Text = Msg;
  switch (DlgType) {
  case mtWarning:
    request.Caption = QStringLiteral("Warning");
    request.Icon = TMessageIcon::Warning;
    break;
  case mtError:
    request.Caption = QStringLiteral("Error");
    request.Icon = TMessageIcon::Error;
    break;
  case mtInformation:
    request.Caption = QStringLiteral("Information");
    request.Icon = TMessageIcon::Information;
    break;
  case mtConfirmation:
    request.Caption = QStringLiteral("Confirmation");
    request.Icon = TMessageIcon::Question;
    break;
  default: request.Caption = Application()->Title(); break;
  }
  // There is no help system: a help button would do nothing, so none is shown.
  for (int b = mbYes; b <= mbYesToAll; ++b)
    if (Buttons.Contains(TMsgDlgBtn(b))) request.Buttons.append(DialogAnswer(TMsgDlgBtn(b)));
  if (request.Buttons.isEmpty()) request.Buttons.append(IDOK);
  if (Buttons.Contains(mbOK))
    request.DefaultButton = IDOK;
  else if (Buttons.Contains(mbYes))
    request.DefaultButton = IDYES;
  else
    request.DefaultButton = request.Buttons.contains(IDRETRY) ? IDRETRY : request.Buttons.first();
  if (Buttons.Contains(mbCancel))
    request.EscapeButton = IDCANCEL;
  else if (Buttons.Contains(mbNo))
    request.EscapeButton = IDNO;
  else if (Buttons.Contains(mbOK))
    request.EscapeButton = IDOK;
  return request;
}

} // namespace

int MessageDlg(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  return MessageBoxService().ShowMessageBox(DialogRequest(Msg, DlgType, Buttons));
}

void ShowMessage(const QString &Msg) { MessageBox(0, Msg, Application()->Title(), MB_OK); }

// ---- input box ----

QString InputBox(const QString &ACaption, const QString &APrompt, const QString &ADefault) {
  QString value = ADefault;
  InputQuery(ACaption, APrompt, value);
  return value;
}

bool InputQuery(const QString &ACaption, const QString &APrompt, QString &Value) {
  const std::optional<QString> answer = InputService().InputQuery(TInputRequest{ACaption, APrompt, Value});
  if (!answer) return false;
  Value = *answer;
  return true;
}

// ---- file dialogs ----

QList<TFileFilter> ParseFileFilter(const QString &Filter) {
  QList<TFileFilter> filters;
  const QStringList parts = Filter.split(QLatin1Char('|'));
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    TFileFilter f;
    f.Description = parts[i];
    for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
      f.Patterns.append(p.trimmed());
    filters.append(f);
  }
  return filters;
}

QString FileFilterName(const TFileFilter &Filter) {
  const QString patterns = QLatin1Char('(') + Filter.Patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  if (Filter.Description.trimmed().endsWith(patterns)) return Filter.Description;
  return Filter.Description + QLatin1Char(' ') + patterns;
}

TOpenDialog::TOpenDialog(TComponent *AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
  TFileDialogRequest request;
  request.Save = saving_;
  request.Title = Title;
  request.FileName = FileName;
  request.InitialDir = InitialDir;
  request.DefaultExt = DefaultExt;
  request.Filters = ParseFileFilter(Filter);
  request.FilterIndex = FilterIndex;
  request.Options = Options;
  const std::optional<TFileDialogResult> result = FileDialogService().RunFileDialog(request);
  if (!result) return false;
  FileName = result->FileName;
  FilterIndex = result->FilterIndex;
  return true;
}

bool TPrinterSetupDialog::Execute() { return PrinterSetupService().RunPrinterSetup(0); }

// ---- clipboard ----

QString TClipboard::AsText() const { return ClipboardService().ClipboardText(); }
void TClipboard::SetAsText(const QString &Value) { ClipboardService().SetClipboardText(Value); }
bool TClipboard::HasFormat(unsigned Format) const {
  return (Format == CF_TEXT || Format == CF_UNICODETEXT) && ClipboardService().ClipboardHasText();
}
TClipboard *Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

// ---- URL ----

bool OpenUrl(const QString &Address) {
  const std::optional<QUrl> url = AllowedUrl(Address);
  return url && UrlService().OpenUrl(*url);
}

std::intptr_t ShellExecute(HWND, const QString &Operation, const QString &File, const QString &,
                           const QString &, int) {
  if (!Operation.isEmpty() && Operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
    return SE_ERR_ACCESSDENIED;
  const std::optional<QUrl> url = AllowedUrl(File);
  if (!url) return SE_ERR_ACCESSDENIED;
  return UrlService().OpenUrl(*url) ? 42 : SE_ERR_NOASSOC;
}

// ---- beep ----

bool MessageBeep(unsigned Type) {
  BeepService().Beep(Type);
  return true;
}

// ---- service registry ----

TMessageBoxService &MessageBoxService() { return g_messageBox ? *g_messageBox : RealServices(); }
TInputService &InputService() { return g_input ? *g_input : RealServices(); }
TFileDialogService &FileDialogService() { return g_fileDialog ? *g_fileDialog : RealServices(); }
TPrinterSetupService &PrinterSetupService() { return g_printerSetup ? *g_printerSetup : RealServices(); }
TClipboardService &ClipboardService() { return g_clipboard ? *g_clipboard : RealServices(); }
TUrlService &UrlService() { return g_url ? *g_url : RealServices(); }
TBeepService &BeepService() { return g_beep ? *g_beep : RealServices(); }

void SetMessageBoxService(TMessageBoxService *Service) { g_messageBox = Service; }
void SetInputService(TInputService *Service) { g_input = Service; }
void SetFileDialogService(TFileDialogService *Service) { g_fileDialog = Service; }
void SetPrinterSetupService(TPrinterSetupService *Service) { g_printerSetup = Service; }
void SetClipboardService(TClipboardService *Service) { g_clipboard = Service; }
void SetUrlService(TUrlService *Service) { g_url = Service; }
void SetBeepService(TBeepService *Service) { g_beep = Service; }

// ---- scripted services ----

namespace {
// The next scripted answer, taken off its queue.
template <typename T>
T TakeFront(std::deque<T> &Queue) {
  T value = std::move(Queue.front());
  Queue.pop_front();
  return value;
}
} // namespace

int TScriptedServices::ShowMessageBox(const TMessageBoxRequest &Request) {
  messageBoxes_.append(Request);
  if (OnMessageBox) return OnMessageBox(Request);
  if (!messageAnswers_.empty()) return TakeFront(messageAnswers_);
  return Request.DefaultButton;
}

std::optional<QString> TScriptedServices::InputQuery(const TInputRequest &Request) {
  inputs_.append(Request);
  if (inputAnswers_.empty()) return Request.Value;
  return TakeFront(inputAnswers_);
}

std::optional<TFileDialogResult> TScriptedServices::RunFileDialog(const TFileDialogRequest &Request) {
  fileDialogs_.append(Request);
  if (fileAnswers_.empty()) return std::nullopt;
  return TakeFront(fileAnswers_);
}

bool TScriptedServices::RunPrinterSetup(HWND) {
  ++printerSetups_;
  if (printerAnswers_.empty()) return false;
  const std::optional<QString> name = TakeFront(printerAnswers_);
  if (!name) return false;
  const int index = int(Printer()->Printers().indexOf(*name));
  if (index < 0) return false;
  Printer()->SetPrinterIndex(index);
  return true;
}

bool TScriptedServices::OpenUrl(const QUrl &Url) {
  urls_.append(Url);
  return urlOpens_;
}

ScopedScriptedServices::ScopedScriptedServices()
    : messageBox_(g_messageBox), input_(g_input), fileDialog_(g_fileDialog), printerSetup_(g_printerSetup),
      clipboard_(g_clipboard), url_(g_url), beep_(g_beep) {
  SetMessageBoxService(&services_);
  SetInputService(&services_);
  SetFileDialogService(&services_);
  SetPrinterSetupService(&services_);
  SetClipboardService(&services_);
  SetUrlService(&services_);
  SetBeepService(&services_);
}

ScopedScriptedServices::~ScopedScriptedServices() {
  SetMessageBoxService(messageBox_);
  SetInputService(input_);
  SetFileDialogService(fileDialog_);
  SetPrinterSetupService(printerSetup_);
  SetClipboardService(clipboard_);
  SetUrlService(url_);
  SetBeepService(beep_);
}
