#pragma once
// The drag data of an object drag between views: it carries the TSDrag that
// describes what is dragged. Object drags stay inside the program, so the
// data is only a marker format and the pointer.
#include <QMimeData>

namespace vela {

class TSDrag;

class TObjectDragData : public QMimeData {
  Q_OBJECT

 public:
  explicit TObjectDragData(TSDrag* Source) : fSource(Source) {
    setData(QStringLiteral("application/x-vela-object"), QByteArray());
  }
  TSDrag* Source() const { return fSource; }
  // The TSDrag of a drag's data, null for any other drag.
  static TSDrag* SourceOf(const QMimeData* Data) {
    auto* own = qobject_cast<const TObjectDragData*>(Data);
    return own ? own->fSource : nullptr;
  }

 private:
  TSDrag* fSource;
};

}  // namespace vela
