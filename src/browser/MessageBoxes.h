#pragma once
// The system's standard message boxes (the delete confirmation and the error
// box) and the field and drop menus of field-bound controls.
#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>

#include "framework/VelaTypes.h"

class QWidget;

namespace vela {

class TVelaObject;
class TVelaMenuItem;
struct TDropParams;

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

// Whether object menus are offered on field-bound controls (off in this program).
bool ObjectMenusOnControls();
void SetObjectMenusOnControls(bool Value);

// The field menu of a control's object at (X, Y) of Control; false when
// nothing was shown (no object, the switch off, or no entries).
bool ShowFieldMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId, TVelaObject* ParamObj,
                   int X, int Y, const std::function<void(TVelaMenuItem* Items)>& OnAddItems = {});
// The drop menu of a control's object; nothing without object or with the switch off.
void ShowControlDropMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId,
                         TVelaObject* ParamObj, int X, int Y, const TDropParams& DropParams);

}  // namespace vela
