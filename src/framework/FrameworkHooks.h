#pragma once
// Hooks through which the object tree reaches the application: notifications,
// deferred commands, images, pictures and object windows. The GUI layer
// installs them at start-up; without them the tree works silently.
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class QIcon;
class QPainter;
class QObject;

namespace vela {

class TVelaObject;

struct TFrameworkHooks {
  // (message number, object concerned, second object or small integer, integer)
  std::function<void(uint32_t Msg, TVelaObject* Obj, intptr_t Second, int32_t Integer)> Notify;
  // Posts SOM_Command (Command * 65536 + Data & 0xFFFF) for Obj.
  std::function<bool(TVelaObject* Obj, uint32_t Command, uint32_t Data)> Command;
  // Posts SOM_CommandLong with the whole Data for Obj.
  std::function<bool(TVelaObject* Obj, uint32_t Data)> CommandLong;
  // Image index of an object in the network image list.
  std::function<int(TVelaObject* Obj, bool Expanded)> ImageIndex;
  // An icon of the application's image lists (list 0: network images, 1:
  // state images); a null icon for an index the list lacks.
  std::function<QIcon(int List, int Index)> Icon;
  // Paints an object's picture; false when it has none.
  std::function<bool(TVelaObject* Obj, QPainter* Canvas, const QRect& Bounds)> Picture;
  // Makes the property editor control of an editor class token.
  std::function<QObject*(const void* EditorClass, QObject* Owner)> CreateParamEditor;
  // Opens the application's object window for Obj in the given mode.
  std::function<QObject*(TVelaObject* Obj, QObject* Caller, int Mode)> ObjectWindow;
  // Opens the output map window on a DMX area or block (Source). An area
  // always gets a new window, AsOutput telling that its data goes to the
  // device; a block brings up the window already open on it, if any.
  std::function<QObject*(TVelaObject* Source, QObject* Caller, bool AsOutput)> OutputMap;
  // Index into the state image list by (type 0..4, kind 0..4); Default for
  // other pairs. Device adapters show their DMX area states with it.
  std::function<int(int Type, int Kind, int Default)> StateImageByTypeKind;
  // Asks the user a Yes/No question (the delete confirmation); true for Yes.
  // Without it nothing that needs a confirmation happens.
  std::function<bool(const QString& Caption, const QString& Text)> Confirm;
  // Replaces the broadcast of framework notifications (0x84B1..0x8513) to the
  // view list: (message number, object concerned, sender). Optional.
  std::function<void(uint32_t Msg, TVelaObject* Obj, intptr_t Sender)> Broadcast;
};

TFrameworkHooks& FrameworkHooks();

// The class token of the default property frame; objects whose editor class
// is none or this token use the default frame.
const void*& DefaultPropertyFrameClass();

}  // namespace vela
