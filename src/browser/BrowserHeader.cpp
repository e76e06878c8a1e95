// The view's one header: it mirrors the column set of the focused row, and
// user resizing and sort clicks on it go back into the cached sets.
#include "browser/BrowserHeader.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QStyleOptionHeader>

#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/ColumnSets.h"
#include "framework/velaobject.h"

namespace vela {

void TBrowserHeaderView::SetFocusedSection(int Section) {
  if (Section == fFocused) return;
  fFocused = Section;
  viewport()->update();
}

void TBrowserHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  QHeaderView::initStyleOptionForIndex(option, logicalIndex);
  if (logicalIndex == fFocused) option->state |= QStyle::State_MouseOver;
}

QModelIndex TBrowserView::HeaderRow() const {
  const QModelIndex current = currentIndex();
  if (current.isValid() || !model()) return current;
  return model()->index(0, 0, rootIndex());
}

void TBrowserView::SyncHeader() {
  fSyncQueued = false;
  TBrowserModel* m = BModel();
  const QModelIndex current = HeaderRow();
  if (!fWithColumns || !m || !current.isValid()) return;
  TColumndefs* set = RowSet(current, true);
  if (!set) return;  // a row without a set leaves the header as it is
  ++HeaderResizeCount;
  try {
    m->SetHeaderSet(set, m->ObjectOf(current));
    QHeaderView* h = header();
    const int indent = RowIndent(current);
    for (int i = 0; i < h->count(); ++i) {
      TColumnDef* def = set->Def(i);
      if (!def) {
        h->setSectionHidden(i, true);
        continue;
      }
      const int width = ZoomX(def->CProps.SizeX) + (i == 0 ? indent : 0);
      if (h->isSectionHidden(i) != def->NotVisible) h->setSectionHidden(i, def->NotVisible);
      if (h->sectionSize(i) != width) h->resizeSection(i, width);
    }
    const int sortColumn = set->CurrentSortColumn;
    TColumnDef* sortDef = set->Def(sortColumn);
    Sort_FK = sortDef ? sortDef->CProps.FK : FK_Undefined;
    Sort_FID = sortDef ? sortDef->CProps.ID : 0;
    h->setSortIndicatorShown(sortColumn >= 0);
    h->setSortIndicator(sortColumn >= 0 ? sortColumn : -1, fSortOrder);
    h->viewport()->update();
  } catch (...) {
  }
  --HeaderResizeCount;
  fHeaderSet = set;
  fHeaderGeneration = m->ColDefs().LayoutGeneration();
  // The focused column must be one the row shows.
  const QModelIndex clamped = ClampToRowSet(currentIndex());
  if (clamped != currentIndex() && clamped.isValid() && selectionModel())
    selectionModel()->setCurrentIndex(clamped, QItemSelectionModel::NoUpdate);
  static_cast<TBrowserHeaderView*>(header())->SetFocusedSection(currentIndex().column());
  updateGeometries();
}

void TBrowserView::HeaderSectionResized(int Logical, int, int NewSize) {
  if (HeaderResizeCount > 0 || !fWithColumns || !BModel()) return;
  const QModelIndex current = HeaderRow();
  TColumndefs* set = RowSet(current, true);
  if (!set || !set->Def(Logical)) return;
  // The main column's header width holds the focused row's indentation.
  const int width = Logical == 0 ? NewSize - RowIndent(current) : NewSize;
  BModel()->ColDefs().ResizeColumn(set, Logical, std::max(0, UnzoomX(width)));
  fHeaderGeneration = BModel()->ColDefs().LayoutGeneration();
  RegistryDirty();
  viewport()->update();
}

void TBrowserView::HeaderSectionClicked(int Logical) {
  if (!fWithColumns || !BModel() || QGuiApplication::keyboardModifiers() != Qt::NoModifier) return;
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  TColumndefs* set = RowSet(current, true);
  if (set && set->IsSortColumn(Logical)) {
    if (Logical == set->CurrentSortColumn)
      fSortOrder = fSortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    set->CurrentSortColumn = Logical;
    BModel()->ColDefs().SetClassSortColumn(set->RefRec.RefClass, Logical);
  }
  // The header moved its sort glyph on the click by itself; show the set's own.
  SyncHeader();
  // The clicked column becomes the focused column.
  if (Logical < model()->columnCount(current.parent()) && selectionModel())
    selectionModel()->setCurrentIndex(ClampToRowSet(current.sibling(current.row(), Logical)),
                                      QItemSelectionModel::NoUpdate);
}

}  // namespace vela
