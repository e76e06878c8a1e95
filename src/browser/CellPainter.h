#pragma once
// Paints one cell of the browser by its field kind: check boxes, level bars,
// colour swatches, pictures, the state image beside the node image, bold and
// red texts. In-place editors plug in through the editor hooks.
#include <QStyledItemDelegate>
#include <functional>

namespace vela {

class TCellPainter : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit TCellPainter(QObject* parent = nullptr);

  // Height of every row (18 pixels at 100 % zoom).
  int RowHeight = 18;

  // Asked before the painter's own work; clearing Allow leaves the cell to
  // its text alone.
  std::function<void(bool& Allow, QPainter* Painter, QStyleOptionViewItem& Option, const QModelIndex& Index)>
      OnPaintCell;

  // The in-place editors (none without these hooks).
  std::function<QWidget*(QWidget* Parent, const QStyleOptionViewItem& Option, const QModelIndex& Index)> OnCreateEditor;
  std::function<void(QWidget* Editor, const QModelIndex& Index)> OnSetEditorData;
  std::function<void(QWidget* Editor, const QModelIndex& Index)> OnSetModelData;
  // Places an open editor over its cell (the plain cell rectangle without it).
  std::function<void(QWidget* Editor, const QStyleOptionViewItem& Option, const QModelIndex& Index)>
      OnUpdateEditorGeometry;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

  // Cells painted since the counter was last reset (tests and benchmarks).
  mutable int PaintCount = 0;
};

}  // namespace vela
