// Column sets: made once per class and layout, refreshed per row, sized,
// sorted and mirrored into the header.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/ColumnSets.h"

using namespace vela;
using namespace vela::testing;

namespace {

// The same fields as a sensor, but another class.
class TOtherSensor : public TSensor {
  VELA_CLASS(TOtherSensor, TSensor)
  using TSensor::TSensor;
};
VELA_CLASS_IMPL(TOtherSensor, TSensor)

class ColumnSetTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    root = SNew<TFolder>(QStringLiteral("root"));
    roots.push_back(root);
  }
  template <class T, class... A>
  T* Add(A&&... a) {
    T* obj = SNew<T>(std::forward<A>(a)...);
    root->SInsert(obj);
    return obj;
  }
  TVelaBrowser* ListBrowser() {
    TVelaBrowser* b = NewBrowser(900, 300);
    b->SetAsListView(true);
    b->SetWithColumns(true);
    b->SetRootObject(root);
    Settle();
    return b;
  }
  QModelIndex Cell(TVelaBrowser* b, int row, int column) { return b->Model()->index(row, column); }
  TFolder* root = nullptr;
  TColumnColl sets;
};

TEST_F(ColumnSetTest, SetsAreSharedPerClassCountAndLayout) {
  auto* five = Add<TDevice>(QStringLiteral("a"), std::vector<int>{});
  auto* alsoFive = Add<TDevice>(QStringLiteral("b"), std::vector<int>{});
  auto* seven = Add<TDevice>(QStringLiteral("c"), std::vector<int>{0});
  TColumndefs* s1 = sets.Refresh(0, five, true);
  TColumndefs* s2 = sets.Refresh(1, alsoFive, true);
  TColumndefs* s3 = sets.Refresh(2, seven, true);
  ASSERT_NE(s1, nullptr);
  EXPECT_EQ(s1, s2);
  EXPECT_NE(s1, s3);
  EXPECT_EQ(s1->Count(), 5);
  EXPECT_EQ(s3->Count(), 7);
  EXPECT_EQ(sets.Count(), 2);
  // Refilled for the object read: the parts are its own.
  EXPECT_EQ(sets.Refresh(0, five, true)->Def(1)->CProps.Part, five);
  EXPECT_EQ(sets.Refresh(1, alsoFive, true)->Def(1)->CProps.Part, alsoFive);
}

TEST_F(ColumnSetTest, PortsWithDifferentProtocolsGiveDifferentSets) {
  auto* ab = Add<TDevice>(QStringLiteral("ab"), std::vector<int>{0, 1});
  auto* ba = Add<TDevice>(QStringLiteral("ba"), std::vector<int>{1, 0});
  TColumndefs* s1 = sets.Refresh(0, ab, true);
  TColumndefs* s2 = sets.Refresh(1, ba, true);
  EXPECT_EQ(s1->Count(), s2->Count());
  EXPECT_NE(s1, s2) << "same number of columns, another layout";
  EXPECT_EQ(s1->Def(7)->CProps.Head, "P2 0");
  EXPECT_EQ(s2->Def(7)->CProps.Head, "P1 2");
}

TEST_F(ColumnSetTest, PositionsFollowTheWidths) {
  auto* d = Add<TDevice>(QStringLiteral("a"), std::vector<int>{});
  TColumndefs* s = sets.Refresh(0, d, true);
  EXPECT_EQ(s->Def(0)->PosX, 0);
  EXPECT_EQ(s->Def(1)->PosX, 136);
  EXPECT_EQ(s->Def(2)->PosX, 196);
  s->Def(1)->NotVisible = true;
  s->UpdatePosX();
  EXPECT_EQ(s->Def(2)->PosX, 136);
}

TEST_F(ColumnSetTest, AWidthStaysWithTheSetWhenItIsRefilled) {
  auto* d = Add<TDevice>(QStringLiteral("a"), std::vector<int>{});
  TColumndefs* s = sets.Refresh(0, d, true);
  s->Def(1)->CProps.SizeX = 99;
  s->Def(1)->CProps.Head = QStringLiteral("changed");
  sets.Refresh(0, d, true);
  EXPECT_EQ(s->Def(1)->CProps.SizeX, 99);
  EXPECT_EQ(s->Def(1)->CProps.Head, "Universe");
}

TEST_F(ColumnSetTest, ObjectsWithoutDefinitionsOrThatRaiseHaveNoSet) {
  auto* raising = Add<TDevice>(QStringLiteral("r"), std::vector<int>{});
  raising->ThrowInDefs = true;
  auto* empty = Add<TDevice>(QStringLiteral("e"), std::vector<int>{});
  empty->NoDefs = true;
  EXPECT_EQ(sets.Refresh(0, raising, true), nullptr);
  EXPECT_EQ(sets.LastCDefs, nullptr);
  EXPECT_EQ(sets.Refresh(1, empty, true), nullptr);
  EXPECT_EQ(sets.Refresh(2, nullptr, true), nullptr);
  EXPECT_EQ(sets.Count(), 0);
}

TEST_F(ColumnSetTest, ARowWithoutASetShowsDashesAndKeepsTheHeader) {
  Add<TSensor>(QStringLiteral("s"));
  auto* broken = Add<TDevice>(QStringLiteral("broken"), std::vector<int>{});
  broken->ThrowInDefs = true;
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 0, 1));
  EXPECT_EQ(b->Model()->headerData(1, Qt::Horizontal).toString(), "Reading");
  EXPECT_EQ(Cell(b, 1, 0).data().toString(), "---");
  EXPECT_EQ(Cell(b, 1, 1).data().toString(), "---");
  ClickCell(b, Cell(b, 1, 1));
  EXPECT_EQ(b->Selected(), broken);
  EXPECT_EQ(b->Model()->headerData(1, Qt::Horizontal).toString(), "Reading") << "the header stays as it was";
}

TEST_F(ColumnSetTest, SortColumnIsSharedByTheClassAndAdopted) {
  auto* a = Add<TDevice>(QStringLiteral("a"), std::vector<int>{});
  a->SortColumns = {1, 3};
  auto* c = Add<TDevice>(QStringLiteral("c"), std::vector<int>{0});
  TColumndefs* s1 = sets.Refresh(0, a, true);
  sets.SetClassSortColumn(s1->RefRec.RefClass, 3);
  TColumndefs* s2 = sets.Refresh(1, c, true);  // made now: adopts the class's column
  EXPECT_EQ(s2->CurrentSortColumn, 3);
  EXPECT_TRUE(s1->IsSortColumn(1));
  EXPECT_FALSE(s1->IsSortColumn(2));
}

// ---------------------------------------------------------------------------
// Through the header

// Drags the right edge of a header section by dx with the mouse.
void DragSectionEdge(QHeaderView* h, int section, int dx) {
  QWidget* vp = h->viewport();
  const int edge = h->sectionViewportPosition(section) + h->sectionSize(section) - 1;
  const int y = vp->height() / 2;
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
  for (int step = 1; step <= 4; ++step) QTest::mouseMove(vp, QPoint(edge + dx * step / 4, y));
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, QPoint(edge + dx, y));
}

TEST_F(ColumnSetTest, WideningTheMainColumnWidensItInEverySet) {
  Add<TDevice>(QStringLiteral("d"), std::vector<int>{});
  Add<TSensor>(QStringLiteral("s"));
  Add<TOtherSensor>(QStringLiteral("o"));
  TVelaBrowser* b = ListBrowser();
  TColumnColl& all = b->ColDefs();
  ASSERT_EQ(all.Count(), 3);
  ClickCell(b, Cell(b, 1, 1));  // the sensor
  QHeaderView* h = b->TreeView()->header();
  DragSectionEdge(h, 0, 40);
  for (int i = 0; i < all.Count(); ++i) EXPECT_EQ(all.Set(i)->Def(0)->CProps.SizeX, 176) << "set " << i;
  // Another column goes only to the sets of the same class.
  DragSectionEdge(h, 1, 20);
  TColumndefs* sensor = b->Model()->SetOfRow(Cell(b, 1, 0), true);
  TColumndefs* other = b->Model()->SetOfRow(Cell(b, 2, 0), true);
  EXPECT_EQ(sensor->Def(1)->CProps.SizeX, 90);
  EXPECT_EQ(other->Def(1)->CProps.SizeX, 70);
  // The rows are laid out with the new widths.
  EXPECT_EQ(b->TreeView()->visualRect(Cell(b, 1, 1)).width(), 90);
  EXPECT_EQ(b->TreeView()->visualRect(Cell(b, 2, 1)).width(), 70);
}

TEST_F(ColumnSetTest, HeaderClicksSortOnlyValidColumnsAndMoveTheFocus) {
  auto* d = Add<TDevice>(QStringLiteral("d"), std::vector<int>{});
  d->SortColumns = {1};
  TVelaBrowser* b = ListBrowser();
  TBrowserView* v = b->TreeView();
  ClickCell(b, Cell(b, 0, 0));
  QHeaderView* h = v->header();
  auto clickSection = [&](int s) {
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(h->sectionViewportPosition(s) + h->sectionSize(s) / 2, h->height() / 2));
  };
  clickSection(2);
  TColumndefs* set = b->Model()->SetOfRow(Cell(b, 0, 0), true);
  EXPECT_EQ(set->CurrentSortColumn, -1);
  EXPECT_EQ(v->currentIndex().column(), 2) << "the clicked column is focused";
  EXPECT_FALSE(h->isSortIndicatorShown());
  clickSection(1);
  EXPECT_EQ(set->CurrentSortColumn, 1);
  EXPECT_TRUE(h->isSortIndicatorShown());
  EXPECT_EQ(h->sortIndicatorSection(), 1);
  EXPECT_EQ(b->Sort_FK(), FK_Word);
  EXPECT_EQ(b->Sort_FID(), 1u);
  const Qt::SortOrder first = h->sortIndicatorOrder();
  clickSection(1);
  EXPECT_NE(h->sortIndicatorOrder(), first) << "a second click turns the direction";
  clickSection(3);
  EXPECT_EQ(h->sortIndicatorSection(), 1) << "an invalid column leaves the sort alone";
  EXPECT_EQ(b->Model()->rowCount(), 1);
}

TEST_F(ColumnSetTest, TheFocusedColumnMovesIntoAShorterSet) {
  Add<TDevice>(QStringLiteral("rich"), std::vector<int>{1, 1});
  Add<TSensor>(QStringLiteral("s"));
  TVelaBrowser* b = ListBrowser();
  ClickCell(b, Cell(b, 0, 9));
  b->FocusNode(Cell(b, 1, 0));
  EXPECT_EQ(b->TreeView()->currentIndex(), Cell(b, 1, 1));
  QHeaderView* h = b->TreeView()->header();
  for (int i = 2; i < h->count(); ++i) EXPECT_TRUE(h->isSectionHidden(i)) << i;
}

TEST_F(ColumnSetTest, SetsAreMadeOncePerKeyHoweverOftenRowsPaint) {
  for (int i = 0; i < 30; ++i) Add<TDevice>(QStringLiteral("d%1").arg(i), std::vector<int>{i % 2});
  TVelaBrowser* b = ListBrowser();
  b->grab();
  b->TreeView()->scrollToBottom();
  b->grab();
  EXPECT_EQ(b->ColDefs().Count(), 2);
}

}  // namespace
