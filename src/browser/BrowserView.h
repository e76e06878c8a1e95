#pragma once
// The browser's tree view. Rows of one list carry different column sets, so
// the view lays out, paints and hit-tests every row with its own set
// (drawRow, visualRect, indexAt, moveCursor), while its single header always
// shows the set of the focused row. Selection, editors, keyboard navigation
// and accessibility stay Qt's own and work through those overrides.
//
// It also keeps the registry of the areas on screen and repaints only the
// areas whose objects reported a change, at most once per 50 ms.
#include <QRegion>
#include <QTimer>
#include <QTreeView>
#include <unordered_map>

#include "browser/VisibleRegistry.h"
#include "framework/VelaTypes.h"

namespace vela {

class TVelaBrowser;
class TBrowserModel;
class TCellPainter;
class TColumndefs;
class TVelaObject;

class TBrowserView : public QTreeView {
  Q_OBJECT

 public:
  TBrowserView(TVelaBrowser* Browser, QWidget* parent = nullptr);
  ~TBrowserView() override;

  TBrowserModel* BModel() const;
  TCellPainter* Painter() const { return fPainter; }

  // ---- settings the frame hands down
  bool WithColumns() const { return fWithColumns; }
  void SetWithColumns(bool Value);
  int Zoom() const { return fZoom; }
  void SetZoom(int Value);
  // x scaled by the zoom (rounded to nearest) and back.
  int ZoomX(int x) const;
  int UnzoomX(int x) const;

  // ---- per-row geometry
  // The row's indentation: its level and the root decoration, in pixels.
  int RowIndent(const QModelIndex& Index) const;
  // The column set a row is drawn with (null: the row uses the header's columns).
  TColumndefs* RowSet(const QModelIndex& Index, bool Force) const;
  // Vertical extent of a row in viewport coordinates (full width); empty when not laid out.
  QRect RowBand(const QModelIndex& Index) const;
  // The cell of Column in a row drawn with Set, in viewport coordinates; for
  // the main column Content starts after the indentation. False when the set
  // has no shown column there.
  bool CellGeometry(const QModelIndex& Row, TColumndefs* Set, int Column, QRect& Cell, QRect& Content) const;
  // The same for a row whose band and indentation are known.
  bool CellGeometry(TColumndefs* Set, int Column, const QRect& Band, int Indent, QRect& Cell, QRect& Content) const;
  // The column of a row at viewport x; -1 for none.
  int ColumnAtX(const QModelIndex& Row, TColumndefs* Set, int X) const;
  // The row (column 0) at viewport y.
  QModelIndex RowAt(int Y) const;
  // A column index moved onto a shown column of the index's own row.
  QModelIndex ClampToRowSet(const QModelIndex& Index) const;

  // Rows gained or lost their expander: lay the rows out again.
  void RelayoutRows() { scheduleDelayedItemsLayout(); }
  // Expands a row and makes its children (also right after a rebuild, when
  // the tree view would only remember the expansion).
  void ExpandRow(const QModelIndex& Row);

  QRect visualRect(const QModelIndex& index) const override;
  using QTreeView::edit;
  QModelIndex indexAt(const QPoint& point) const override;

  // ---- the header
  // Rebuilds the header from the focused row's set.
  void SyncHeader();
  // The row whose column set the header shows: the focused row, else the
  // first row, so the titles are there before anything is focused.
  QModelIndex HeaderRow() const;
  int HeaderResizeCount = 0;
  Qt::SortOrder SortOrder() const { return fSortOrder; }
  TSFieldKind Sort_FK = FK_Undefined;
  uint32_t Sort_FID = 0;

  // ---- the areas on screen
  TVisibleColl& VisibleColl() { return fVisible; }
  // Adds the object's areas (all, or with OnlyMatching those wanting one of
  // the bits) to the dirty region; false when the object is not on screen.
  bool InvalidateObject(TVelaObject* Obj, TStBits Status, TDtBits Data, bool OnlyMatching);
  // The areas whose real-time source reported bits.
  bool InvalidateSource(const void* Source, TStBits Status, TDtBits Data);
  // The layout on screen may have changed: the registry is rebuilt after the next paint.
  void RegistryDirty() { fRegistryKey.clear(); }
  bool DirtyEmpty() const { return fDirty.isEmpty(); }
  QTimer* Timer1() { return &fTimer1; }
  // Repaints the dirty region now (the timer's work).
  void FlushDirty();
  int UpdateVisibleCount = 0;
  // Paint events handled and the region of the last one (tests and benchmarks).
  int PaintEvents = 0;
  QRegion LastPaintRegion;

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paintEvent(QPaintEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
  QRegion visualRegionForSelection(const QItemSelection& selection) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void updateGeometries() override;
  void scrollContentsBy(int dx, int dy) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The frame decides which cells open an editor.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  // Object drags: a TSDrag carried in TObjectDragData.
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyboardSearch(const QString&) override {}
  bool viewportEvent(QEvent* event) override;

 private:
  friend class TVelaBrowser;
  void HeaderSectionResized(int Logical, int OldSize, int NewSize);
  void HeaderSectionClicked(int Logical);
  void RebuildRegistry();
  void RegisterRow(const QModelIndex& Row, const QRect& Band);
  QString LayoutKey() const;

  TVelaBrowser* fBrowser;
  TCellPainter* fPainter;
  bool fWithColumns = false;
  int fZoom = 100;
  Qt::SortOrder fSortOrder = Qt::AscendingOrder;
  bool fInCurrentChanged = false;
  // What the header shows: the set and the set cache's layout at the last sync.
  const TColumndefs* fHeaderSet = nullptr;
  uint32_t fHeaderGeneration = 0;
  bool fSyncQueued = false;
  TVisibleColl fVisible;
  QRegion fDirty;
  QTimer fTimer1;
  QString fRegistryKey;
  // The set each registered row was laid out with; a row drawn with another
  // set makes the registry stale.
  std::unordered_map<const void*, const TColumndefs*> fRowSets;
  mutable bool fRegistryStale = false;
  uint32_t fStructure = 0;  // grows with every row insert, removal and reset
};

}  // namespace vela
