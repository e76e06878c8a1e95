#include "browser/MessageBoxes.h"

#include <QApplication>
#include <QScreen>

#include "framework/FrameworkHooks.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

QString StandardCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
  }
  return QApplication::applicationName();
}

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
  }
  return QMessageBox::NoIcon;
}

// The Yes/No question behind the Confirm hook.
bool AskYesNo(const QString& Caption, const QString& Text) {
  QApplication::beep();  // the asterisk sound of the confirmation
  return CenteredMessageDlg(Caption, Text, mtConfirmation, 0, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
}  // namespace

int CenteredMessageDlg(const QString&, const QString& Msg, TMsgDlgType DlgType, int HelpCtx,
                       QMessageBox::StandardButtons Buttons) {
  // The texts use carriage returns as line breaks.
  QString text = Msg;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
  QMessageBox box(IconOf(DlgType), StandardCaption(DlgType), text, Buttons);
  box.setProperty("HelpContext", HelpCtx);
  box.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    box.move(screen->availableGeometry().center() - box.rect().center());
  return box.exec();
}

bool ConfirmDelete(TVelaObject* Obj) { return Obj && ConfirmDeleteText(Obj->NodeText()); }

bool ConfirmDeleteText(const QString& NodeText) {
  const QString caption = QStringLiteral("Confirm delete");
  const QString text = caption + '\r' + NodeText;
  auto& confirm = FrameworkHooks().Confirm;
  return confirm ? confirm(caption, text) : AskYesNo(caption, text);
}

int ErrorBox(const QString& Msg, const QString& Caption, QMessageBox::StandardButtons Buttons) {
  QApplication::beep();  // the hand sound of the error box
  return CenteredMessageDlg(Caption, Msg, mtError, 0, Buttons);
}

void InstallMessageBoxHooks() {
  auto& confirm = FrameworkHooks().Confirm;
  if (!confirm) confirm = AskYesNo;
}

}  // namespace vela
