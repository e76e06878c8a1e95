// The browser frame over real object trees, driven by real input events.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/CellPainter.h"
#include "browser/ColumnSets.h"
#include "framework/SConstants.h"

using namespace vela;
using namespace vela::testing;

namespace {

class BrowserFrameTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    root = SNew<TFolder>(QStringLiteral("root"));
    roots.push_back(root);
  }
  TDevice* AddDevice(TVelaObject* owner, const QString& name, std::vector<int> protocols) {
    auto* d = SNew<TDevice>(name, std::move(protocols));
    owner->SInsert(d);
    return d;
  }
  TSensor* AddSensor(TVelaObject* owner, const QString& name) {
    auto* s = SNew<TSensor>(name);
    owner->SInsert(s);
    return s;
  }
  TVelaBrowser* ListBrowser(int w = 900, int h = 300) {
    TVelaBrowser* b = NewBrowser(w, h);
    b->SetAsListView(true);
    b->SetWithColumns(true);
    b->SetRootObject(root);
    Settle();
    return b;
  }
  QModelIndex Cell(TVelaBrowser* b, int row, int column, const QModelIndex& parent = QModelIndex()) {
    return b->Model()->index(row, column, parent);
  }
  QString Text(TVelaBrowser* b, int row, int column, const QModelIndex& parent = QModelIndex()) {
    return Cell(b, row, column, parent).data().toString();
  }
  QString Head(TVelaBrowser* b, int section) { return b->Model()->headerData(section, Qt::Horizontal).toString(); }
  int ShownSections(TVelaBrowser* b) {
    int n = 0;
    for (int i = 0; i < b->TreeView()->header()->count(); ++i) n += b->TreeView()->header()->isSectionHidden(i) ? 0 : 1;
    return n;
  }
  TFolder* root = nullptr;
};

// ---------------------------------------------------------------------------
// Per-row columns

TEST_F(BrowserFrameTest, EveryRowHasItsOwnColumnsAndTheHeaderFollowsTheFocus) {
  AddDevice(root, "two plain ports", {0, 0});  // 5 + 2 + 2 = 9 columns
  AddDevice(root, "two rich ports", {1, 1});   // 5 + 3 + 3 = 11 columns
  AddSensor(root, "sensor");                   // 2 columns
  TVelaBrowser* b = ListBrowser();
  TBrowserView* v = b->TreeView();
  ASSERT_EQ(b->Model()->rowCount(), 3);
  EXPECT_GE(b->Model()->columnCount(), 11);

  // Each row draws its own cells.
  EXPECT_FALSE(v->visualRect(Cell(b, 0, 10)).isValid()) << "the plain device has no 11th column";
  EXPECT_TRUE(v->visualRect(Cell(b, 1, 10)).isValid());
  EXPECT_FALSE(v->visualRect(Cell(b, 2, 2)).isValid());
  EXPECT_EQ(Text(b, 1, 10), "P2.2");
  EXPECT_EQ(Text(b, 0, 8), "P2.1");
  EXPECT_EQ(Text(b, 2, 1), "42");
  EXPECT_EQ(Text(b, 2, 0), "sensor");

  // Clicking rows moves the header to the row's own set.
  ClickCell(b, Cell(b, 1, 6));
  EXPECT_EQ(v->currentIndex(), Cell(b, 1, 6));
  EXPECT_EQ(Head(b, 10), "P2 2");
  EXPECT_EQ(ShownSections(b), 11);
  ClickCell(b, Cell(b, 2, 1));
  EXPECT_EQ(Head(b, 1), "Reading");
  EXPECT_EQ(Head(b, 2), "");
  EXPECT_EQ(ShownSections(b), 2);
  ClickCell(b, Cell(b, 0, 0));
  EXPECT_EQ(Head(b, 5), "P1 0");
  EXPECT_EQ(ShownSections(b), 9);

  // The same point hits a cell in one row and nothing in another.
  const QRect rich = v->visualRect(Cell(b, 1, 9));
  EXPECT_EQ(v->indexAt(rich.center()), Cell(b, 1, 9));
  const QPoint belowInSensorRow(rich.center().x(), v->visualRect(Cell(b, 2, 0)).center().y());
  EXPECT_FALSE(v->indexAt(belowInSensorRow).isValid());
}

TEST_F(BrowserFrameTest, HeaderWidthsAreTheFocusedRowsOwn) {
  AddDevice(root, "d", {0});
  AddSensor(root, "s");
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 1, 1));
  QHeaderView* h = b->TreeView()->header();
  EXPECT_EQ(h->sectionSize(1), 70);
  EXPECT_EQ(h->sectionSize(0), 136 + b->TreeView()->RowIndent(Cell(b, 1, 0)));
  ClickCell(b, Cell(b, 0, 1));
  EXPECT_EQ(h->sectionSize(1), 60);
}

TEST_F(BrowserFrameTest, KeyboardMovesWithinTheRowsOwnColumns) {
  AddDevice(root, "rich", {1, 1});
  AddSensor(root, "s");
  TVelaBrowser* b = ListBrowser();
  TBrowserView* v = b->TreeView();
  ClickCell(b, Cell(b, 0, 9));
  QTest::keyClick(v, Qt::Key_Right);
  EXPECT_EQ(v->currentIndex(), Cell(b, 0, 10));
  QTest::keyClick(v, Qt::Key_Right);
  EXPECT_EQ(v->currentIndex(), Cell(b, 0, 10)) << "no column beyond the last";
  QTest::keyClick(v, Qt::Key_Down);
  EXPECT_EQ(v->currentIndex(), Cell(b, 1, 1)) << "the focus moves to the last column the row has";
  EXPECT_EQ(ShownSections(b), 2);
  QTest::keyClick(v, Qt::Key_Left);
  EXPECT_EQ(v->currentIndex(), Cell(b, 1, 0));
}

TEST_F(BrowserFrameTest, SelectionGrowsOnlyAmongSiblingsInOneColumn) {
  for (int i = 0; i < 4; ++i) AddDevice(root, QStringLiteral("d%1").arg(i), {0});
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 0, 1));
  ClickCell(b, Cell(b, 2, 1), Qt::ControlModifier);
  EXPECT_EQ(b->GetSelPArray().size(), 2u);
  ClickCell(b, Cell(b, 3, 2), Qt::ControlModifier);
  EXPECT_EQ(b->GetSelPArray().size(), 1u) << "another column starts a new selection";
}

// ---------------------------------------------------------------------------
// Tree and list

TEST_F(BrowserFrameTest, ListModeShowsTheRootsDirectSubs) {
  TFolder* sub = SNew<TFolder>(QStringLiteral("folder"));
  root->SInsert(sub);
  AddDevice(sub, "inner", {0});
  AddSensor(root, "s");
  TVelaBrowser* b = ListBrowser();
  ASSERT_EQ(b->Model()->rowCount(), 2);
  EXPECT_EQ(Text(b, 0, 0), "folder");
  EXPECT_EQ(Text(b, 1, 0), "s");
  EXPECT_TRUE(b->Model()->hasChildren(Cell(b, 0, 0)));
  EXPECT_EQ(b->Model()->rowCount(Cell(b, 0, 0)), 0) << "children are made on expansion";
  b->TreeView()->expand(Cell(b, 0, 0));
  ASSERT_EQ(b->Model()->rowCount(Cell(b, 0, 0)), 1);
  EXPECT_EQ(Text(b, 0, 0, Cell(b, 0, 0)), "inner");
  b->TreeView()->collapse(Cell(b, 0, 0));
  EXPECT_EQ(b->Model()->rowCount(Cell(b, 0, 0)), 0) << "children go on collapse";
  EXPECT_TRUE(b->Model()->hasChildren(Cell(b, 0, 0)));
}

TEST_F(BrowserFrameTest, ListModeOfAnEmptyRootIsEmpty) {
  TVelaBrowser* b = ListBrowser();
  EXPECT_EQ(b->Model()->rowCount(), 0);
}

TEST_F(BrowserFrameTest, TreeModeShowsTheRootRowOpen) {
  TVelaBrowser* b = NewBrowser();
  b->SetRootObject(root);
  ASSERT_EQ(b->Model()->rowCount(), 1);
  EXPECT_EQ(Text(b, 0, 0), "root");
  EXPECT_FALSE(b->Model()->hasChildren(Cell(b, 0, 0))) << "no child marker without subs";
  AddSensor(root, "s1");
  EXPECT_TRUE(b->TreeView()->isExpanded(Cell(b, 0, 0)));
  EXPECT_EQ(Text(b, 0, 0, Cell(b, 0, 0)), "s1");
  // The root row does not collapse.
  b->TreeView()->collapse(Cell(b, 0, 0));
  EXPECT_TRUE(b->TreeView()->isExpanded(Cell(b, 0, 0)));
  EXPECT_EQ(b->Model()->rowCount(Cell(b, 0, 0)), 1);
}

TEST_F(BrowserFrameTest, WithoutColumnsRowsShowTheNodeText) {
  AddDevice(root, "dev", {0});
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetRootObject(root);
  EXPECT_EQ(b->Model()->columnCount(), 1);
  EXPECT_TRUE(b->TreeView()->header()->isHidden());
  EXPECT_EQ(Text(b, 0, 0), "dev");
}

// ---------------------------------------------------------------------------
// Notifications

TEST_F(BrowserFrameTest, InsertDeleteRenameUpdateTheRows) {
  AddSensor(root, "a");
  AddSensor(root, "c");
  TVelaBrowser* b = ListBrowser();
  auto* inserted = SNew<TSensor>(QStringLiteral("b"));
  root->SAtInsert(inserted, 1);
  ASSERT_EQ(b->Model()->rowCount(), 3);
  EXPECT_EQ(Text(b, 1, 0), "b");
  inserted->SetName(QStringLiteral("bee"));
  EXPECT_EQ(Text(b, 1, 0), "bee");
  root->SFree(inserted);
  ASSERT_EQ(b->Model()->rowCount(), 2);
  EXPECT_EQ(Text(b, 1, 0), "c");
}

TEST_F(BrowserFrameTest, ARenameRepaintsTheRow) {
  TSensor* s = AddSensor(root, "a");
  TVelaBrowser* b = ListBrowser();
  TBrowserView* v = b->TreeView();
  Settle();
  ASSERT_GT(v->VisibleColl().Count(), 0);
  s->SetName(QStringLiteral("renamed"));
  EXPECT_FALSE(v->DirtyEmpty());
  const int before = v->PaintEvents;
  v->FlushDirty();
  Settle();
  EXPECT_GT(v->PaintEvents, before);
  EXPECT_TRUE(v->LastPaintRegion.intersects(v->visualRect(Cell(b, 0, 0))));
}

struct TDeleteCase {
  int rows;
  int focused;
  int expectedRow;  // -1: the parent
};

class DeleteFocusTest : public BrowserFrameTest, public ::testing::WithParamInterface<TDeleteCase> {};

TEST_P(DeleteFocusTest, TheFocusMovesToANeighbour) {
  TFolder* folder = SNew<TFolder>(QStringLiteral("folder"));
  root->SInsert(folder);
  std::vector<TSensor*> sensors;
  for (int i = 0; i < GetParam().rows; ++i) sensors.push_back(AddSensor(folder, QStringLiteral("s%1").arg(i)));
  TVelaBrowser* b = ListBrowser();
  b->TreeView()->expand(Cell(b, 0, 0));
  ClickCell(b, Cell(b, GetParam().focused, 0, Cell(b, 0, 0)));
  TVelaObject* expected =
      GetParam().expectedRow < 0 ? static_cast<TVelaObject*>(folder) : sensors[GetParam().expectedRow];
  folder->SFree(sensors[GetParam().focused]);
  EXPECT_EQ(b->Selected(), expected);
  EXPECT_EQ(b->GetSelPArray(), std::vector<TVelaObject*>{expected});
}

INSTANTIATE_TEST_SUITE_P(Places, DeleteFocusTest,
                         ::testing::Values(TDeleteCase{3, 1, 2}, TDeleteCase{3, 2, 1}, TDeleteCase{1, 0, -1}));

TEST_F(BrowserFrameTest, InsertUnderACollapsedRowOnlyMarksIt) {
  AddSensor(root, "top");  // the row at the top of the view
  TFolder* folder = SNew<TFolder>(QStringLiteral("folder"));
  root->SInsert(folder);
  TVelaBrowser* b = ListBrowser();
  const QModelIndex row = Cell(b, 1, 0);
  EXPECT_FALSE(b->Model()->hasChildren(row));
  AddSensor(folder, "x");
  EXPECT_TRUE(b->Model()->hasChildren(row));
  EXPECT_FALSE(b->TreeView()->isExpanded(row));
  b->SetAutoExpand(true);
  AddSensor(folder, "y");
  EXPECT_TRUE(b->TreeView()->isExpanded(row));
  ASSERT_EQ(b->Model()->rowCount(row), 2);
  EXPECT_EQ(Text(b, 1, 0, row), "y");
}

TEST_F(BrowserFrameTest, AnInsertBeyondTheChildRowsAppends) {
  for (const char* n : {"hidden1", "hidden2", "shown"}) AddSensor(root, QString::fromLatin1(n));
  TVelaBrowser* b = NewBrowser();
  b->OnAddnode = [](TVelaObject* s, bool&, int&) { return !s->Name().startsWith("hidden"); };
  b->SetAsListView(true);
  b->SetRootObject(root);
  ASSERT_EQ(b->Model()->rowCount(), 1);
  AddSensor(root, "last");  // index 3 among the subs, only one row so far
  ASSERT_EQ(b->Model()->rowCount(), 2);
  EXPECT_EQ(Text(b, 1, 0), "last");
}

TEST_F(BrowserFrameTest, ExchangingAnObjectReplacesItsRow) {
  AddSensor(root, "a");
  TSensor* old = AddSensor(root, "b");
  AddSensor(root, "c");
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 1, 0));
  auto* replacement = SNew<TSensor>(QStringLiteral("B2"));
  root->Subobjects()->AtPut(1, replacement);
  TVelaObject* slot = old;
  root->ExchangeObject(slot, replacement);  // notifies, then frees the old object
  ASSERT_EQ(b->Model()->rowCount(), 3);
  EXPECT_EQ(Text(b, 1, 0), "B2");
  EXPECT_EQ(b->Selected(), replacement);
}

TEST_F(BrowserFrameTest, ExchangingTheRootReRootsTheBrowser) {
  AddSensor(root, "a");
  TVelaBrowser* b = ListBrowser();
  TFolder* other = SNew<TFolder>(QStringLiteral("other root"));
  roots.push_back(other);
  AddSensor(other, "x");
  AddSensor(other, "y");
  views.Broadcast(SOM_Exchanged, root, reinterpret_cast<intptr_t>(other));
  EXPECT_EQ(b->RootObject(), other);
  ASSERT_EQ(b->Model()->rowCount(), 2);
  EXPECT_EQ(Text(b, 1, 0), "y");
}

TEST_F(BrowserFrameTest, DeletingTheRootEmptiesTheBrowser) {
  TFolder* own = SNew<TFolder>(QStringLiteral("own root"));
  AddSensor(own, "x");
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetRootObject(own);
  ASSERT_EQ(b->Model()->rowCount(), 1);
  FreeObj(own);  // raises SOM_ToBeDeleted for an object without owner
  EXPECT_EQ(b->RootObject(), nullptr);
  EXPECT_EQ(b->Model()->rowCount(), 0);
}

TEST_F(BrowserFrameTest, SubsDirtyRebuildsTheChildrenAndKeepsTheFocus) {
  TSensor* a = AddSensor(root, "a");
  AddSensor(root, "b");
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 1, 0));
  root->Subobjects()->AtDelete(root->SIndexof(a));
  root->Subobjects()->Insert(a);  // now b, a
  views.Broadcast(SOM_SubsDirty, root, 0);
  ASSERT_EQ(b->Model()->rowCount(), 2);
  EXPECT_EQ(Text(b, 0, 0), "b");
  EXPECT_EQ(b->Selected()->Name(), "b");
}

TEST_F(BrowserFrameTest, BeginAndEndUpdateHoldThePainting) {
  TVelaBrowser* b = ListBrowser();
  views.Broadcast(SOM_BeginUpdateSubs, root, 0);
  views.Broadcast(SOM_BeginUpdateSubs, root, 0);
  EXPECT_FALSE(b->TreeView()->updatesEnabled());
  views.Broadcast(SOM_EndUpdateSubs, root, 0);
  EXPECT_FALSE(b->TreeView()->updatesEnabled());
  views.Broadcast(SOM_EndUpdateSubs, root, 0);
  EXPECT_TRUE(b->TreeView()->updatesEnabled());
  views.Broadcast(SOM_EndUpdateSubs, root, 0);  // an unmatched end changes nothing
  EXPECT_TRUE(b->TreeView()->updatesEnabled());
}

// ---------------------------------------------------------------------------
// Status deliveries

TEST_F(BrowserFrameTest, AStatusChangeRepaintsAVisibleCellAndNotAHiddenRow) {
  std::vector<TDevice*> devices;
  for (int i = 0; i < 40; ++i) devices.push_back(AddDevice(root, QStringLiteral("d%1").arg(i), {0}));
  TVelaBrowser* b = ListBrowser(700, 200);
  TBrowserView* v = b->TreeView();
  Settle();
  // Only the rows on screen are registered with the status list.
  const auto entries = TheStatusList()->EntriesOf(b);
  ASSERT_FALSE(entries.empty());
  EXPECT_LT(entries.size(), devices.size());
  for (TStatusDirty* e : entries) EXPECT_NE(e->Source, devices.back());

  // A visible device: its "On" cell (status bit 1) repaints.
  devices[0]->SetStatus(ST(1), true);
  StatusPass();
  EXPECT_FALSE(v->DirtyEmpty());
  const int before = v->PaintEvents;
  v->FlushDirty();
  Settle();
  EXPECT_EQ(v->PaintEvents, before + 1);
  EXPECT_TRUE(v->LastPaintRegion.intersects(v->visualRect(Cell(b, 0, 2))));
  EXPECT_FALSE(v->LastPaintRegion.intersects(v->visualRect(Cell(b, 0, 4)))) << "only the cells that want the bit";
  EXPECT_FALSE(v->LastPaintRegion.intersects(v->visualRect(Cell(b, 1, 2))));

  // A hidden row does nothing.
  devices.back()->SetStatus(ST(1), true);
  StatusPass();
  EXPECT_TRUE(v->DirtyEmpty());
  const int after = v->PaintEvents;
  Settle();
  EXPECT_EQ(v->PaintEvents, after);
}

TEST_F(BrowserFrameTest, ManyStatusChangesMakeOneRepaint) {
  std::vector<TDevice*> devices;
  for (int i = 0; i < 5; ++i) devices.push_back(AddDevice(root, QStringLiteral("d%1").arg(i), {0}));
  TVelaBrowser* b = ListBrowser();
  TBrowserView* v = b->TreeView();
  Settle();
  for (TDevice* d : devices) {
    d->SetStatus(ST(2), true);
    d->SetStatus(ST(1), true);
  }
  StatusPass();
  const int before = v->PaintEvents;
  v->FlushDirty();
  Settle();
  EXPECT_EQ(v->PaintEvents, before + 1);
}

TEST_F(BrowserFrameTest, ScrollingMovesTheRegistrations) {
  std::vector<TDevice*> devices;
  for (int i = 0; i < 40; ++i) devices.push_back(AddDevice(root, QStringLiteral("d%1").arg(i), {0}));
  TVelaBrowser* b = ListBrowser(700, 200);
  Settle();
  b->TreeView()->scrollToBottom();
  Settle();
  bool lastRegistered = false;
  for (TStatusDirty* e : TheStatusList()->EntriesOf(b)) lastRegistered |= e->Source == devices.back();
  EXPECT_TRUE(lastRegistered);
  EXPECT_EQ(b->TopObject() == devices.front(), false);
}

// ---------------------------------------------------------------------------
// Painting, zoom and images

TEST_F(BrowserFrameTest, CheckBoxCellsShowTheirImage) {
  TDevice* d = AddDevice(root, "d", {0});
  TVelaBrowser* b = ListBrowser();
  EXPECT_EQ(Cell(b, 0, 2).data(BR_CheckImage).toInt(), 9);
  reinterpret_cast<uint8_t&>(d->On) = 5;
  EXPECT_EQ(Cell(b, 0, 2).data(BR_CheckImage).toInt(), 13);
  EXPECT_EQ(Cell(b, 0, 2).data(Qt::ToolTipRole).toString(), "On");
  EXPECT_FALSE(Cell(b, 0, 1).data(BR_CheckImage).isValid());
}

TEST_F(BrowserFrameTest, LevelBarsAndColourSwatches) {
  TDevice* d = AddDevice(root, "d", {0});
  d->Level = 32768;
  d->Colour[0] = 0x12;  // FN gives byte0 * 65536 + byte1 * 256 + byte2, read as a colour value
  d->Colour[1] = 0x34;
  d->Colour[2] = 0x56;
  TVelaBrowser* b = ListBrowser();
  EXPECT_NEAR(Cell(b, 0, 3).data(BR_Bar).toDouble(), 0.5, 0.001);
  EXPECT_TRUE(Cell(b, 0, 3).data(BR_BarRealTime).toBool()) << "a real-time part's bar is red";
  EXPECT_EQ(Cell(b, 0, 4).data(BR_Swatch).value<QColor>(), QColor(0x56, 0x34, 0x12));
  // Painting them works (and the painter ran for the cells).
  b->TreeView()->Painter()->PaintCount = 0;
  const QImage shot = b->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  EXPECT_GT(b->TreeView()->Painter()->PaintCount, 0);
}

TEST_F(BrowserFrameTest, OnPaintCellCanTakeOverACell) {
  TDevice* d = AddDevice(root, "d", {0});
  TVelaBrowser* b = ListBrowser();
  int asked = 0;
  b->OnPaintCell = [&](TVelaBrowser*, bool& allow, TVelaObject* s, TSFieldKind fk, uint32_t, QPainter*,
                       QStyleOptionViewItem&) {
    ++asked;
    EXPECT_EQ(s, d);
    if (fk == FK_Bool) allow = false;
  };
  b->grab();
  EXPECT_GT(asked, 0);
}

struct TZoomCase {
  int set;
  int stored;
  int rowHeight;
  int fontPoints;
};

class ZoomTest : public BrowserFrameTest, public ::testing::WithParamInterface<TZoomCase> {};

TEST_P(ZoomTest, ZoomIsClampedAndScalesRowsAndFonts) {
  AddSensor(root, "s");
  TVelaBrowser* b = ListBrowser();
  int zoomed = 0;
  b->OnZoomed = [&](TVelaBrowser*) { ++zoomed; };
  b->SetZoom(GetParam().set);
  EXPECT_EQ(b->Zoom(), GetParam().stored);
  EXPECT_EQ(zoomed, GetParam().stored == 100 ? 0 : 1);
  EXPECT_EQ(b->TreeView()->font().pointSize(), GetParam().fontPoints);
  Settle();
  EXPECT_EQ(b->TreeView()->RowBand(Cell(b, 0, 0)).height(), GetParam().rowHeight);
}

INSTANTIATE_TEST_SUITE_P(Values, ZoomTest,
                         ::testing::Values(TZoomCase{250, 200, 36, 20}, TZoomCase{50, 100, 18, 10},
                                           TZoomCase{150, 150, 27, 15}));

TEST_F(BrowserFrameTest, ShiftWheelZooms) {
  AddSensor(root, "s");
  TVelaBrowser* b = ListBrowser();
  QWidget* vp = b->TreeView()->viewport();
  QWheelEvent wheel(QPointF(10, 10), vp->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::ShiftModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(vp, &wheel);
  EXPECT_EQ(b->Zoom(), 110);
}

TEST_F(BrowserFrameTest, ARowWithoutAnObjectShowsDashes) {
  TVelaBrowser* b = NewBrowser();
  b->SetWithColumns(true);
  b->MakeListView(nullptr, 3, {});
  ASSERT_EQ(b->Model()->rowCount(), 3);
  EXPECT_EQ(Text(b, 1, 0), "---");
}

TEST_F(BrowserFrameTest, SimpleListRowsAreToldApartByIndex) {
  TSensor* s = AddSensor(root, "s");
  TVelaBrowser* b = NewBrowser();
  b->SetWithColumns(true);
  b->MakeListView(s, 3, [](TVelaObject* obj, TLParamDef& arr, TParamsOpt&, bool& doDefault, uint32_t row) {
    doDefault = false;
    arr.clear();
    obj->SetArrData(arr, 0, FK_Text, 0, QStringLiteral("Row %1").arg(row), 80, {}, {}, {}, nullptr);
    return uint16_t(1);
  });
  EXPECT_EQ(Text(b, 2, 0), "s");
  b->FocusNode(Cell(b, 2, 0));
  EXPECT_EQ(Head(b, 0), "Row 2");
  EXPECT_FALSE(b->Model()->hasChildren(Cell(b, 0, 0)));
}

TEST_F(BrowserFrameTest, NodeAndStateImagesComeFromTheImageLists) {
  AddSensor(root, "s");
  int asked = 0;
  FrameworkHooks().Icon = [&](int list, int index) {
    ++asked;
    QPixmap p(16, 16);
    p.fill(list == 0 ? Qt::blue : Qt::green);
    return index >= 0 ? QIcon(p) : QIcon();
  };
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool) { return 3; };
  TVelaBrowser* b = ListBrowser();
  EXPECT_EQ(Cell(b, 0, 0).data(BR_NodeImage).toInt(), 3);
  EXPECT_FALSE(Cell(b, 0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  b->OnGetImageIndex = [](TVelaObject*, const QModelIndex&) { return 7; };
  EXPECT_EQ(Cell(b, 0, 0).data(BR_NodeImage).toInt(), 7);
  EXPECT_EQ(Cell(b, 0, 0).data(BR_StateImage).toInt(), -1);
  EXPECT_GT(asked, 0);
  FrameworkHooks().Icon = nullptr;
  FrameworkHooks().ImageIndex = nullptr;
}

// ---------------------------------------------------------------------------
// Operations and keys

TEST_F(BrowserFrameTest, FocusObjectExpandsTheWay) {
  TFolder* f1 = SNew<TFolder>(QStringLiteral("f1"));
  root->SInsert(f1);
  TFolder* f2 = SNew<TFolder>(QStringLiteral("f2"));
  f1->SInsert(f2);
  TSensor* deep = AddSensor(f2, "deep");
  TVelaBrowser* b = ListBrowser();
  EXPECT_FALSE(b->SearchForNode(deep).isValid());
  b->FocusObject(deep);
  EXPECT_EQ(b->Selected(), deep);
  SendMessageTo(b, WM_BrowserShowObject, reinterpret_cast<intptr_t>(f1));
  EXPECT_EQ(b->Selected(), f1);
  EXPECT_TRUE(b->SelectNextNode() == false);
}

TEST_F(BrowserFrameTest, SelectedObjectsMessage) {
  for (int i = 0; i < 3; ++i) AddSensor(root, QStringLiteral("s%1").arg(i));
  TVelaBrowser* b = ListBrowser();
  b->SetFocusedIndex(0);
  EXPECT_EQ(SendMessageTo(b, WM_BrowserSelection, 1), 0) << "fewer than two rows";
  ClickCell(b, Cell(b, 2, 0), Qt::ControlModifier);
  auto* list = reinterpret_cast<TObjectList*>(SendMessageTo(b, WM_BrowserSelection, 1));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->size(), 2u);
  EXPECT_EQ(list->back(), root->Sub(2));
  delete list;
  EXPECT_EQ(SendMessageTo(b, WM_BrowserSelection, 2), 0);
}

TEST_F(BrowserFrameTest, DeleteKeyAsksAndDeletes) {
  AddSensor(root, "a");
  AddSensor(root, "b");
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 0, 0));
  confirmAnswer = [](const QString&, const QString&) { return false; };
  QTest::keyClick(b->TreeView(), Qt::Key_Delete);
  EXPECT_EQ(confirmations, 1);
  EXPECT_EQ(root->Subcount(), 2);
  confirmAnswer = [](const QString&, const QString&) { return true; };
  QTest::keyClick(b->TreeView(), Qt::Key_Delete);
  EXPECT_EQ(root->Subcount(), 1);
  EXPECT_EQ(b->Selected()->Name(), "b");
}

TEST_F(BrowserFrameTest, EnterActivatesTheFocusedCell) {
  TDevice* d = AddDevice(root, "d", {0});
  TVelaBrowser* b = ListBrowser();
  TVelaObject* asked = nullptr;
  uint32_t askedId = 0;
  b->OnEdit = [&](TVelaBrowser*, bool& allow, TVelaObject* s, TSFieldKind, uint32_t id, Qt::KeyboardModifiers) {
    asked = s;
    askedId = id;
    allow = false;
  };
  ClickCell(b, Cell(b, 0, 1));
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  EXPECT_EQ(asked, d);
  EXPECT_EQ(askedId, 1u);
}

TEST_F(BrowserFrameTest, EditSetFieldWritesToEverySelectedRow) {
  TDevice* d1 = AddDevice(root, "d1", {0});
  TDevice* d2 = AddDevice(root, "d2", {0});
  TDevice* d3 = AddDevice(root, "d3", {0});
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 0, 1));
  uint16_t value = 9;
  b->EditSetField(nullptr, d1, &value, 1, FK_Word);
  EXPECT_EQ(d1->Universe, 9);
  EXPECT_EQ(d2->Universe, 1);
  ClickCell(b, Cell(b, 2, 1), Qt::ControlModifier);
  value = 4;
  b->EditSetField(nullptr, d1, &value, 1, FK_Word);
  EXPECT_EQ(d1->Universe, 4);
  EXPECT_EQ(d2->Universe, 1);
  EXPECT_EQ(d3->Universe, 4);
}

}  // namespace
