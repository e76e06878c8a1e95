#pragma once
// Object drag and drop: the drag object that carries one object (or the
// collection of several selected ones) with the field the drag started from,
// the temporary collection of dragged objects, and the painting of object
// pictures in cells. The tree's own drop operations (Acceptdrop,
// Receivedrop) are implemented in Drag.cpp too.
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/DragMenuTypes.h"
#include "framework/velaobject.h"

class QObject;
class QPainter;

namespace vela {

// A temporary list of objects (a multiple selection being dragged or
// deleted). It lists the objects without owning them and without becoming
// their owner. Not registered, so it never goes into a stream.
class TSDdragCollection : public TVelaObject {
  VELA_CLASS(TSDdragCollection, TVelaObject)
  explicit TSDdragCollection(const std::vector<TVelaObject*>& Objects);

  uint16_t DragObjType() const { return fDragObjType; }
  void SetDragObjType(uint16_t Value) { fDragObjType = Value; }
  TVelaObject* FirstSub() const { return Subcount() > 0 ? Sub(0) : nullptr; }

  // "Collection of <n> <display name of the first object's type>s".
  QString GetNodetext() override;
  QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;

  // Every object has an owner that agrees to delete it.
  bool DeleteAllOk();
  // Deletes every object whose owner agrees; above 10 objects the first
  // object's owner is held in its updating state meanwhile. AsClient pauses
  // 2 ms after each deletion. Deleted objects leave the list.
  void DeleteAll(bool AsClient);

 private:
  uint16_t fDragObjType = 0;
};

// The object of a drag between views. It lives from the start of the drag
// until Finished, which frees it.
class TSDrag {
 public:
  // A drag of ADrag, or of the object its field (Afk, AFid) refers to.
  // ADrag must not be null (assertion failure).
  static TSDrag* Create(TVelaObject* ADrag, TSFieldKind Afk, uint32_t AFid);
  // A drag of several objects; ADrag must hold at least one.
  static TSDrag* CreateColl(TSDdragCollection* ADrag, TSFieldKind Afk, uint32_t AFid);
  virtual ~TSDrag();
  TSDrag(const TSDrag&) = delete;
  TSDrag& operator=(const TSDrag&) = delete;

  TVelaObject* DragObj() const { return FDragObj; }
  uint32_t DragFId() const { return FDragFId; }
  void SetDragFId(uint32_t Value) { FDragFId = Value; }
  TSFieldKind DragFKind() const { return FDragFKind; }
  void SetDragFKind(TSFieldKind Value) { FDragFKind = Value; }
  int32_t DragImageIndex() const { return fDragImageIndex; }

  TSDropMode GetDMode(TDmode aMode) const { return TSDropMode{aMode, FDragFKind, FDragFId}; }
  // The drag image: the dragged object's text, room for its picture first.
  const QImage& GetDragImages() const { return fList; }

  // End of the drag: a collection that was not dropped is freed (a dropped
  // one was consumed by Receivedrop); then the drag object frees itself.
  virtual void Finished(QObject* Target, int X, int Y, bool Accepted);

  // Bold 16-pixel text at x = 16, y = 0 on a transparent image as high as the
  // text and 16 pixels wider.
  static QImage MakeDragImage(const QString& Text);

 protected:
  TSDrag(TVelaObject* Dragged, TSFieldKind Kind, uint32_t Id, int32_t ImageIndex);

 private:
  TVelaObject* FDragObj = nullptr;
  std::weak_ptr<void> fDragObjAlive;
  uint32_t FDragFId = 0;
  TSFieldKind FDragFKind = FK_Text;
  QImage fList;
  int32_t fDragImageIndex = -1;
};

// The collection behind a dragged or dropped object, or null.
TSDdragCollection* AsDragCollection(TVelaObject* Obj);

// Paints Obj's picture into the left square of Rect (as wide as Rect is high,
// one pixel in) and, with Fill, Text after it. When a picture was painted the
// square is framed in a contrast colour, Rect's left edge moves past it and
// the result is true. ContrastFlags bit 0: white frame on dark brushes.
bool PaintObjectCell(QPainter* Canvas, QRect& Rect, TVelaObject* Obj, TSFieldKind AFkind, uint32_t AFid, int Index,
                     const QString& Text, uint32_t ContrastFlags, bool Fill, const void* Data);

}  // namespace vela
