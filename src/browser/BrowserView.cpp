// The view's per-row geometry, painting and input.
#include "browser/BrowserView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QGestureEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "browser/Browser.h"
#include "browser/BrowserHeader.h"
#include "browser/BrowserModel.h"
#include "browser/CellPainter.h"
#include "browser/ColumnSets.h"
#include "browser/ObjectDragData.h"
#include "framework/Drag.h"

namespace vela {

TBrowserView::TBrowserView(TVelaBrowser* Browser, QWidget* parent)
    : QTreeView(parent), fBrowser(Browser), fPainter(new TCellPainter(this)) {
  setObjectName(QStringLiteral("STreeView1"));
  setHeader(new TBrowserHeaderView(this));
  setItemDelegate(fPainter);
  setUniformRowHeights(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setAllColumnsShowFocus(false);
  setExpandsOnDoubleClick(false);
  setAnimated(false);
  setMouseTracking(true);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  QHeaderView* h = header();
  h->setSectionsMovable(false);
  h->setStretchLastSection(false);
  h->setSectionsClickable(true);
  h->setHighlightSections(false);
  h->setMinimumSectionSize(ZoomX(16));
  connect(h, &QHeaderView::sectionResized, this, &TBrowserView::HeaderSectionResized);
  connect(h, &QHeaderView::sectionClicked, this, &TBrowserView::HeaderSectionClicked);
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  setFont(f);
  QFont hf = h->font();
  hf.setPointSize(8);
  h->setFont(hf);
  viewport()->grabGesture(Qt::PanGesture);
  fTimer1.setSingleShot(true);
  fTimer1.setInterval(50);
  connect(&fTimer1, &QTimer::timeout, this, &TBrowserView::FlushDirty);
}

TBrowserView::~TBrowserView() { fTimer1.stop(); }

TBrowserModel* TBrowserView::BModel() const { return static_cast<TBrowserModel*>(model()); }

void TBrowserView::ExpandRow(const QModelIndex& Row) {
  if (!Row.isValid()) return;
  executeDelayedItemsLayout();
  if (model()->canFetchMore(Row)) model()->fetchMore(Row);
  expand(Row);
}

void TBrowserView::SetWithColumns(bool Value) {
  fWithColumns = Value;
  RegistryDirty();
}

int TBrowserView::ZoomX(int x) const { return fZoom == 100 ? x : static_cast<int>(std::lround(x * fZoom / 100.0)); }
int TBrowserView::UnzoomX(int x) const { return fZoom == 100 ? x : static_cast<int>(std::lround(x * 100.0 / fZoom)); }

void TBrowserView::SetZoom(int Value) {
  fZoom = Value;
  auto scaled = [Value](int v) { return static_cast<int>(std::lround(v * Value / 100.0)); };
  QFont f = font();
  f.setPointSize(scaled(10));
  setFont(f);
  QFont hf = header()->font();
  hf.setPointSize(scaled(8));
  header()->setFont(hf);
  header()->setMinimumSectionSize(ZoomX(16));
  fPainter->RowHeight = scaled(18);
  RegistryDirty();
  doItemsLayout();
}

// ---------------------------------------------------------------------------
// Geometry

int TBrowserView::RowIndent(const QModelIndex& Index) const {
  const TBrowserNode* node = BModel() ? BModel()->NodeOf(Index) : nullptr;
  const int level = node ? node->Level() : 0;
  return (level + (rootIsDecorated() ? 1 : 0)) * indentation();
}

TColumndefs* TBrowserView::RowSet(const QModelIndex& Index, bool Force) const {
  if (!fWithColumns || !BModel() || !Index.isValid()) return nullptr;
  return BModel()->SetOfRow(Index, Force);
}

QRect TBrowserView::RowBand(const QModelIndex& Index) const {
  if (!Index.isValid()) return QRect();
  const QHeaderView* h = header();
  for (int v = 0; v < h->count(); ++v) {
    const int logical = h->logicalIndex(v);
    if (h->isSectionHidden(logical)) continue;
    const QRect r = QTreeView::visualRect(Index.sibling(Index.row(), logical));
    if (r.height() > 0) return QRect(0, r.y(), viewport()->width(), r.height());
    return QRect();
  }
  return QRect();
}

bool TBrowserView::CellGeometry(const QModelIndex& Row, TColumndefs* Set, int Column, QRect& Cell,
                                QRect& Content) const {
  TColumnDef* def = Set ? Set->Def(Column) : nullptr;
  if (!def || def->NotVisible) return false;
  return CellGeometry(Set, Column, RowBand(Row), RowIndent(Row), Cell, Content);
}

bool TBrowserView::CellGeometry(TColumndefs* Set, int Column, const QRect& band, int indent, QRect& Cell,
                                QRect& Content) const {
  TColumnDef* def = Set ? Set->Def(Column) : nullptr;
  if (!def || def->NotVisible || band.height() <= 0) return false;
  int left = ZoomX(def->PosX) - horizontalOffset();
  const int width = ZoomX(def->CProps.SizeX);
  if (Column == 0) {
    Cell = QRect(left, band.y(), width + indent, band.height());
    Content = QRect(left + indent, band.y(), width, band.height());
  } else {
    left += indent;
    Cell = QRect(left, band.y(), width, band.height());
    Content = Cell;
  }
  return true;
}

int TBrowserView::ColumnAtX(const QModelIndex& Row, TColumndefs* Set, int X) const {
  if (!Set) return -1;
  const int indent = RowIndent(Row);
  const int x = X + horizontalOffset();
  for (int c = 0; c < Set->Count(); ++c) {
    TColumnDef* def = Set->Def(c);
    if (def->NotVisible) continue;
    const int left = ZoomX(def->PosX) + (c == 0 ? 0 : indent);
    const int right = left + ZoomX(def->CProps.SizeX) + (c == 0 ? indent : 0);
    if (x >= left && x < right) return c;
  }
  return -1;
}

QModelIndex TBrowserView::RowAt(int Y) const {
  const QHeaderView* h = header();
  for (int v = 0; v < h->count(); ++v) {
    const int logical = h->logicalIndex(v);
    if (h->isSectionHidden(logical) || h->sectionSize(logical) <= 0) continue;
    const QModelIndex hit = QTreeView::indexAt(QPoint(h->sectionViewportPosition(logical), Y));
    return hit.isValid() ? hit.sibling(hit.row(), 0) : QModelIndex();
  }
  return QModelIndex();
}

QModelIndex TBrowserView::ClampToRowSet(const QModelIndex& Index) const {
  TColumndefs* set = RowSet(Index, false);
  if (!set || set->Count() == 0) return Index;
  int column = Index.column();
  if (column >= set->Count()) {
    column = set->LastVisible();
  } else if (set->Def(column)->NotVisible) {
    const int next = set->NextVisible(column);
    column = next >= 0 ? next : set->LastVisible();
  }
  if (column < 0 || column == Index.column()) return Index;
  return Index.sibling(Index.row(), column);
}

QRect TBrowserView::visualRect(const QModelIndex& index) const {
  if (!index.isValid() || !fWithColumns) return QTreeView::visualRect(index);
  TColumndefs* set = RowSet(index, false);
  if (!set) return QTreeView::visualRect(index);
  QRect cell;
  QRect content;
  if (!CellGeometry(index, set, index.column(), cell, content)) return QRect();
  return content;
}

QModelIndex TBrowserView::indexAt(const QPoint& point) const {
  if (!fWithColumns) return QTreeView::indexAt(point);
  const QModelIndex row = RowAt(point.y());
  if (!row.isValid()) return QModelIndex();
  TColumndefs* set = RowSet(row, false);
  if (!set) return QTreeView::indexAt(point);
  const int column = ColumnAtX(row, set, point.x());
  if (column < 0 || column >= model()->columnCount(row.parent())) return QModelIndex();
  return row.sibling(row.row(), column);
}

QRegion TBrowserView::visualRegionForSelection(const QItemSelection& selection) const {
  // Rows are selected as a whole: the region is the full width of each row.
  QRegion region;
  for (const QItemSelectionRange& range : selection) {
    for (int r = range.top(); r <= range.bottom(); ++r) {
      const QRect band = RowBand(model()->index(r, 0, range.parent()));
      if (band.height() > 0) region += band;
    }
  }
  return region;
}

void TBrowserView::updateGeometries() {
  QTreeView::updateGeometries();
  if (!fWithColumns || !BModel()) return;
  // Rows may be wider than the header's set: let the scroll range cover the widest set.
  int widest = header()->length();
  TColumnColl& sets = BModel()->ColDefs();
  for (int i = 0; i < sets.Count(); ++i)
    widest = std::max(widest, ZoomX(sets.Set(i)->TotalWidth()) + 4 * indentation());
  const int range = std::max(0, widest - viewport()->width());
  if (range > horizontalScrollBar()->maximum()) horizontalScrollBar()->setRange(0, range);
}

void TBrowserView::scrollContentsBy(int dx, int dy) {
  QTreeView::scrollContentsBy(dx, dy);
  RegistryDirty();
}

// ---------------------------------------------------------------------------
// Painting

void TBrowserView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (!fWithColumns) return QTreeView::drawRow(painter, option, index);
  const QModelIndex current = HeaderRow();
  const bool focusedRow = current.isValid() && current.row() == index.row() && current.parent() == index.parent();
  // Every row is drawn with a fresh copy of its own set.
  TColumndefs* set = RowSet(index, true);
  if (focusedRow && set && !fSyncQueued &&
      (set != fHeaderSet || BModel()->ColDefs().LayoutGeneration() != fHeaderGeneration)) {
    // The focused row's layout changed: the header follows after this paint.
    auto* self = const_cast<TBrowserView*>(this);
    self->fSyncQueued = true;
    QMetaObject::invokeMethod(self, &TBrowserView::SyncHeader, Qt::QueuedConnection);
  }
  if (auto it = fRowSets.find(index.internalPointer()); it != fRowSets.end() && it->second != set)
    fRegistryStale = true;  // the row's field layout changed since it was registered
  if (!set) return QTreeView::drawRow(painter, option, index);  // "---" under the header's columns

  QStyleOptionViewItem opt = option;
  opt.showDecorationSelected = true;
  const QStyle::State state = option.state;
  const bool widgetHasFocus = hasFocus();
  const int viewportWidth = viewport()->width();
  QStyle* st = style();
  const QColor grid(192, 192, 192);
  const QModelIndex parent = index.parent();
  const int columns = model()->columnCount(parent);
  const QRect band(0, option.rect.y(), viewportWidth, option.rect.height());
  const int indent = RowIndent(index);
  QVector<QLine> gridLines;
  gridLines.reserve(set->Count());
  for (int c = 0; c < set->Count(); ++c) {
    QRect cell;
    QRect content;
    if (!CellGeometry(set, c, band, indent, cell, content)) continue;
    if (cell.left() >= viewportWidth) break;
    if (cell.right() < 0) continue;
    if (c >= columns) continue;  // the model grows its columns after this paint
    const QModelIndex mi = model()->index(index.row(), c, parent);
    opt.state = state;
    if (selectionModel() && selectionModel()->isSelected(mi)) opt.state |= QStyle::State_Selected;
    if (widgetHasFocus && current == mi) opt.state |= QStyle::State_HasFocus;
    opt.state.setFlag(QStyle::State_MouseOver, false);
    const QPalette::ColorGroup cg = !(state & QStyle::State_Enabled)     ? QPalette::Disabled
                                    : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                         : QPalette::Inactive;
    opt.palette.setCurrentColorGroup(cg);
    opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    if (c == 0) {
      const QRect branches(cell.left(), cell.top(), content.left() - cell.left(), cell.height());
      opt.rect = branches;
      st->drawPrimitive(QStyle::PE_PanelItemViewRow, &opt, painter, this);
      if (indentation() != 0 && branches.width() > 0) drawBranches(painter, branches, index);
    }
    opt.rect = content;
    fPainter->paint(painter, opt, mi);
    gridLines.append(QLine(cell.right(), cell.top(), cell.right(), cell.bottom()));
  }
  painter->save();
  painter->setPen(grid);
  painter->drawLines(gridLines);
  painter->restore();
}

void TBrowserView::paintEvent(QPaintEvent* event) {
  ++PaintEvents;
  LastPaintRegion = event->region();
  QTreeView::paintEvent(event);
  if (UpdateVisibleCount > 0) return;
  const QString key = LayoutKey();
  if (key == fRegistryKey && !fRegistryStale) return;
  fRegistryStale = false;
  ++UpdateVisibleCount;
  try {
    RebuildRegistry();
  } catch (...) {
  }
  --UpdateVisibleCount;
  fRegistryKey = key;
}

// ---------------------------------------------------------------------------
// Input

QModelIndex TBrowserView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  if (!fWithColumns || !current.isValid()) return QTreeView::moveCursor(cursorAction, modifiers);
  if (cursorAction == MoveLeft || cursorAction == MoveRight) {
    // Left and right move the focused column within the row's own set.
    TColumndefs* set = RowSet(current, false);
    if (!set) return QTreeView::moveCursor(cursorAction, modifiers);
    int column = -1;
    if (cursorAction == MoveRight) {
      column = set->NextVisible(current.column());
    } else {
      for (int c = std::min(current.column(), set->Count()) - 1; c >= 0 && column < 0; --c)
        if (!set->Def(c)->NotVisible) column = c;
    }
    if (column < 0 || column >= model()->columnCount(current.parent())) return current;
    return current.sibling(current.row(), column);
  }
  return ClampToRowSet(QTreeView::moveCursor(cursorAction, modifiers));
}

void TBrowserView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (fInCurrentChanged) return;
  fInCurrentChanged = true;
  const bool rowChanged =
      current.row() != previous.row() || current.parent() != previous.parent() || !previous.isValid();
  if (rowChanged && current.isValid()) {
    SyncHeader();
    // The old and the new row are drawn differently now (focus and header).
    viewport()->update(RowBand(previous));
    viewport()->update(RowBand(current));
  }
  fInCurrentChanged = false;
  if (fWithColumns) static_cast<TBrowserHeaderView*>(header())->SetFocusedSection(currentIndex().column());
  if (fBrowser) fBrowser->FocusChanged(currentIndex(), previous);
}

QItemSelectionModel::SelectionFlags TBrowserView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  QItemSelectionModel::SelectionFlags flags = QTreeView::selectionCommand(index, event);
  if ((flags & (QItemSelectionModel::Select | QItemSelectionModel::Toggle)) && !(flags & QItemSelectionModel::Clear)) {
    // Multiple selection grows only among siblings in one column.
    const QModelIndex current = currentIndex();
    const bool sameRow = current.row() == index.row() && current.parent() == index.parent();
    if (!current.isValid() || !index.isValid() || current.parent() != index.parent() ||
        (!sameRow && current.column() != index.column()))
      flags |= QItemSelectionModel::Clear;
  }
  return flags;
}

void TBrowserView::keyPressEvent(QKeyEvent* event) {
  if (fBrowser && fBrowser->ViewKeyPress(event)) return;
  QTreeView::keyPressEvent(event);
}

void TBrowserView::wheelEvent(QWheelEvent* event) {
  if ((event->modifiers() & Qt::ShiftModifier) && state() != EditingState && fBrowser) {
    // Shift and the wheel zoom, 5 % per notch.
    const int notches = event->angleDelta().y() != 0 ? event->angleDelta().y() / 120 : event->angleDelta().x() / 120;
    if (notches != 0) fBrowser->SetZoom(fBrowser->Zoom() + 5 * notches);
    event->accept();
    return;
  }
  QTreeView::wheelEvent(event);
}

bool TBrowserView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Gesture) {
    // A pan scrolls by the distance moved since its previous event.
    auto* ge = static_cast<QGestureEvent*>(event);
    if (auto* pan = static_cast<QPanGesture*>(ge->gesture(Qt::PanGesture))) {
      if (pan->state() != Qt::GestureStarted) {
        const QPointF d = pan->delta();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - qRound(d.x()));
        verticalScrollBar()->setValue(verticalScrollBar()->value() - qRound(d.y()) / std::max(1, fPainter->RowHeight));
      }
      ge->accept(pan);
      return true;
    }
  }
  return QTreeView::viewportEvent(event);
}

void TBrowserView::contextMenuEvent(QContextMenuEvent* event) {
  if (!fBrowser) return;
  if (event->reason() == QContextMenuEvent::Mouse) {
    fBrowser->ShowTreeMenu(event->pos(), event->globalPos());
    return;
  }
  // The menu key: the menu belongs to the selected object and opens at its cell.
  const QRect cell = visualRect(currentIndex());
  const QPoint at = cell.isValid() ? cell.center() : QPoint(0, 0);
  fBrowser->ShowTreeMenu(QPoint(-1, -1), viewport()->mapToGlobal(at));
}

void TBrowserView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeView::mouseDoubleClickEvent(event);
  if (fBrowser)
    fBrowser->ViewDoubleClicked(indexAt(event->position().toPoint()), event->buttons() | event->button(),
                                event->modifiers());
}

bool TBrowserView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (fBrowser && !fBrowser->CellEditAllowed(index)) return false;
  return QTreeView::edit(index, trigger, event);
}

void TBrowserView::startDrag(Qt::DropActions) {
  if (!fBrowser) return;
  TSDrag* source = fBrowser->StartObjectDrag();
  if (!source) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(new TObjectDragData(source));
  drag->setPixmap(QPixmap::fromImage(source->GetDragImages()));
  const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
  // Not taken: a dragged collection goes with the drag object.
  source->Finished(nullptr, 0, 0, result != Qt::IgnoreAction);
}

void TBrowserView::dragEnterEvent(QDragEnterEvent* event) {
  // Object drags only; whether a row takes one is asked while moving.
  if (TObjectDragData::SourceOf(event->mimeData()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TBrowserView::dragMoveEvent(QDragMoveEvent* event) {
  TSDrag* source = TObjectDragData::SourceOf(event->mimeData());
  const QPoint pos = event->position().toPoint();
  if (source && fBrowser && fBrowser->ObjectDragOver(source, pos, event->modifiers()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TBrowserView::dropEvent(QDropEvent* event) {
  TSDrag* source = TObjectDragData::SourceOf(event->mimeData());
  const QPoint pos = event->position().toPoint();
  if (source && fBrowser && fBrowser->ObjectDrop(source, pos, viewport()->mapToGlobal(pos), event->modifiers()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void TBrowserView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeView::mouseReleaseEvent(event);
  if (fBrowser && event->button() == Qt::LeftButton) fBrowser->ViewClicked(indexAt(event->position().toPoint()));
}

}  // namespace vela
