#pragma once
// The image data module: the program's image lists and the process-wide list
// of views that receive the framework's broadcast messages.
#include <QIcon>
#include <QObject>
#include <QVector>

#include "framework/ViewList.h"
#include "framework/sobjects.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

class TImagedata : public QObject {
  Q_OBJECT
 public:
  explicit TImagedata(QObject* parent = nullptr);
  ~TImagedata() override;

  QVector<QIcon> VelaNetImages;
  QVector<QIcon> MarulaImages;
  QVector<QIcon> StateImages;
  QVector<QIcon> ImageList1;
  // Registered views; the collection never owns them.
  TSCollection* Views() const { return fViews.Views(); }
  bool ViewsChanged() const { return fViews.ViewsChanged(); }

  void RegisterView(TMessageReceiver* view) { fViews.RegisterView(view); }
  void UnregisterView(TMessageReceiver* view) { fViews.UnregisterView(view); }
  // Hands a message (number, object concerned in WParam, sender in LParam)
  // to every registered view; nothing while the program terminates.
  void Broadcast(uint32_t Msg, TVelaObject* Obj, intptr_t Sender);

  // Image index of a network object in VelaNetImages; 255 for none.
  static int NetImageIndex(TVelaObject* Obj, bool Expanded);
  // Image index by (type 0..4, kind 0..4); other pairs give Default.
  static int ImageIndexByTypeKind(int Type, int Kind, int Default);

  // Set while the program shuts down: broadcasts stop.
  static void SetTerminating(bool value);

 private:
  void DataModuleCreate();

  TViewList fViews;
};

// The one image data module, or null before it is created and after it is gone.
TImagedata* Imagedata();

}  // namespace vela
