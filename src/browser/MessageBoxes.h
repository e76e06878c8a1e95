#pragma once
// The system's standard message boxes: the delete confirmation and the error box.
#include <QMessageBox>
#include <QString>
#include <cstdint>

namespace vela {

class TVelaObject;

enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// A modal message box for Msg, centred on the screen, with the type's
// standard caption (Caption is not shown); returns the button pressed.
int CenteredMessageDlg(const QString& Caption, const QString& Msg, TMsgDlgType DlgType, int HelpCtx,
                       QMessageBox::StandardButtons Buttons);

// "Confirm delete" with the object's node text, Yes/No; false for null
// without asking. Goes through the framework's Confirm hook when one is
// installed, so that the model layer and the views ask the same way.
bool ConfirmDelete(TVelaObject* Obj);
// The same question for a node text.
bool ConfirmDeleteText(const QString& NodeText);
// An error box with the given buttons; returns the button pressed.
int ErrorBox(const QString& Msg, const QString& Caption = QStringLiteral("Error"),
             QMessageBox::StandardButtons Buttons = QMessageBox::Ok);

// Installs the framework's Confirm hook (a Yes/No confirmation box) unless
// one is installed. The application calls it at start-up; the browser frame
// calls it too, so that a browser never deletes without asking.
void InstallMessageBoxHooks();

}  // namespace vela
