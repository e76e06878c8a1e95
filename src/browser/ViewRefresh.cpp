// The view's registry of the areas on screen and the repaint of the areas
// whose objects reported a change.
#include <QHeaderView>
#include <QScrollBar>

#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/ColumnSets.h"
#include "framework/velaobject.h"

namespace vela {

QString TBrowserView::LayoutKey() const {
  const TBrowserModel* m = BModel();
  return QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
      .arg(verticalScrollBar()->value())
      .arg(horizontalOffset())
      .arg(viewport()->width())
      .arg(viewport()->height())
      .arg(fZoom)
      .arg(m ? const_cast<TBrowserModel*>(m)->ColDefs().LayoutGeneration() : 0)
      .arg(fWithColumns ? 1 : 0);
}

void TBrowserView::RebuildRegistry() {
  // Pending bits for the areas now registered are delivered before they go.
  if (fBrowser) StatusRemoveListener(fBrowser, true);
  fVisible.Clear();
  fRowSets.clear();
  if (BModel()) {
    const int height = viewport()->height();
    for (QModelIndex row = RowAt(0); row.isValid(); row = indexBelow(row)) {
      const QRect band = RowBand(row);
      if (band.height() <= 0 || band.top() > height) break;
      RegisterRow(row, band);
    }
  }
  fVisible.Finish();
  if (fBrowser) fBrowser->VisibleChanged();
}

void TBrowserView::RegisterRow(const QModelIndex& Row, const QRect& Band) {
  TBrowserModel* m = BModel();
  TBrowserNode* node = m->NodeOf(Row);
  TVelaObject* obj = node ? node->Obj : nullptr;
  TColumndefs* set = RowSet(Row, false);
  fRowSets[node] = set;
  if (!set) {
    // A row without columns (or without a set) repaints as a whole.
    if (obj) fVisible.Add(TVisibleItem{obj, nullptr, node, Band, {}, {}});
    return;
  }
  const int width = viewport()->width();
  const int indent = RowIndent(Row);
  QRect rowRect;
  for (int c = 0; c < set->Count(); ++c) {
    QRect cell;
    QRect content;
    if (!CellGeometry(set, c, Band, indent, cell, content)) continue;
    if (cell.right() < 0) continue;
    if (cell.left() > width) break;
    const TLParam& p = set->Def(c)->CProps;
    if (p.Part) {
      TVelaObject* source = RealTimeOf(p.Part);
      fVisible.Add(TVisibleItem{p.Part, source, node, cell, p.DStat, p.DDStat});
      if (source && (!p.DStat.Empty() || !p.DDStat.Empty())) StatusAddListener(source, fBrowser, p.DStat, p.DDStat);
    } else {
      rowRect |= cell;
    }
  }
  if (!rowRect.isEmpty() && obj) fVisible.Add(TVisibleItem{obj, nullptr, node, rowRect, {}, {}});
}

bool TBrowserView::InvalidateObject(TVelaObject* Obj, TStBits Status, TDtBits Data, bool OnlyMatching) {
  auto [first, last] = fVisible.ItemsOf(Obj);
  if (!first) return false;
  ++UpdateVisibleCount;
  for (const TVisibleItem* item = first; item != last; ++item) {
    if (OnlyMatching && !item->Dt.HasAny(Status) && !item->DDT.HasAny(Data)) continue;
    fDirty += item->NRect;
  }
  --UpdateVisibleCount;
  if (!fDirty.isEmpty() && !fTimer1.isActive()) fTimer1.start();
  return true;
}

bool TBrowserView::InvalidateSource(const void* Source, TStBits Status, TDtBits Data) {
  const auto items = fVisible.ItemsOfSource(Source);
  if (items.empty()) return false;
  for (const TVisibleItem* item : items)
    if (item->Dt.HasAny(Status) || item->DDT.HasAny(Data)) fDirty += item->NRect;
  if (!fDirty.isEmpty() && !fTimer1.isActive()) fTimer1.start();
  return true;
}

void TBrowserView::FlushDirty() {
  fTimer1.stop();
  if (fBrowser && fBrowser->LoadingOrDestroying()) return;
  if (!fDirty.isEmpty()) viewport()->update(fDirty);
  fDirty = QRegion();
}

}  // namespace vela
