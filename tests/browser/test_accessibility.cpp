// What a screen reader gets through Qt's accessibility interfaces.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QHeaderView>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"

using namespace vela;
using namespace vela::testing;

namespace {

class AccessibilityTest : public BrowserTest {};

TEST_F(AccessibilityTest, EveryHeaderAndEveryCellOfEveryVisibleRowIsRead) {
  TFolder* root = SNew<TFolder>(QStringLiteral("root"));
  roots.push_back(root);
  root->SInsert(SNew<TDevice>(QStringLiteral("plain"), std::vector<int>{0}));
  root->SInsert(SNew<TDevice>(QStringLiteral("rich"), std::vector<int>{1, 1}));
  root->SInsert(SNew<TSensor>(QStringLiteral("sensor")));
  TVelaBrowser* b = NewBrowser(1000, 300);
  b->SetAsListView(true);
  b->SetWithColumns(true);
  b->SetRootObject(root);
  ClickCell(b, b->Model()->index(1, 0));
  TBrowserView* v = b->TreeView();
  TBrowserModel* m = b->Model();

  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(v);
  ASSERT_NE(tree, nullptr);
  QAccessibleTableInterface* table = tree->tableInterface();
  ASSERT_NE(table, nullptr);
  const int columns = m->columnCount();
  EXPECT_EQ(table->columnCount(), columns);
  EXPECT_EQ(table->rowCount(), 3);

  // Column headers: the focused row's titles.
  for (int c = 0; c < columns; ++c) {
    QAccessibleInterface* head = tree->child(c);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(head->text(QAccessible::Name), m->headerData(c, Qt::Horizontal).toString()) << c;
  }
  EXPECT_EQ(tree->child(10)->text(QAccessible::Name), "P2 2");

  // Cells: each row's own texts, and the row's own column title as description.
  for (int r = 0; r < table->rowCount(); ++r) {
    int shown = 0;
    for (int c = 0; c < columns; ++c) {
      QAccessibleInterface* cell = table->cellAt(r, c);
      ASSERT_NE(cell, nullptr) << r << "," << c;
      const QModelIndex index = m->index(r, c);
      const bool visible = v->visualRect(index).isValid();
      EXPECT_EQ(cell->state().invisible, !visible) << r << "," << c;
      if (!visible) continue;
      ++shown;
      const QVariant spoken = index.data(Qt::AccessibleTextRole);
      EXPECT_EQ(cell->text(QAccessible::Name), spoken.isValid() ? spoken.toString() : index.data().toString())
          << r << "," << c;
      EXPECT_FALSE(cell->text(QAccessible::Name).isEmpty()) << r << "," << c;
      EXPECT_EQ(cell->text(QAccessible::Description), index.data(BR_ColumnTitle).toString());
      EXPECT_EQ(cell->rect().center(), v->viewport()->mapToGlobal(v->visualRect(index).center()));
    }
    EXPECT_EQ(shown, r == 0 ? 7 : r == 1 ? 11 : 2) << "row " << r;
  }
  EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Name), "42");
  EXPECT_EQ(table->cellAt(2, 1)->text(QAccessible::Description), "Reading");
  EXPECT_EQ(table->cellAt(0, 6)->text(QAccessible::Name), "P1.1");
  EXPECT_EQ(table->cellAt(1, 4)->text(QAccessible::Name), "#000000") << "the colour cell reads its colour";

  // The header cell of a cell names the focused row's column.
  QAccessibleTableCellInterface* cell = table->cellAt(1, 10)->tableCellInterface();
  ASSERT_NE(cell, nullptr);
  const QList<QAccessibleInterface*> heads = cell->columnHeaderCells();  // handed to the caller
  ASSERT_EQ(heads.size(), 1);
  EXPECT_EQ(heads.first()->text(QAccessible::Name), "P2 2");
  // Qt hands the header cell out unregistered; registering lets it be freed.
  for (QAccessibleInterface* h : heads)
    QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(h));
}

TEST_F(AccessibilityTest, TheHeaderFollowsTheFocusForTheScreenReaderToo) {
  TFolder* root = SNew<TFolder>(QStringLiteral("root"));
  roots.push_back(root);
  root->SInsert(SNew<TDevice>(QStringLiteral("d"), std::vector<int>{}));
  root->SInsert(SNew<TSensor>(QStringLiteral("s")));
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetWithColumns(true);
  b->SetRootObject(root);
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(b->TreeView());
  ClickCell(b, b->Model()->index(0, 1));
  EXPECT_EQ(tree->child(1)->text(QAccessible::Name), "Universe");
  ClickCell(b, b->Model()->index(1, 1));
  EXPECT_EQ(tree->child(1)->text(QAccessible::Name), "Reading");
}

}  // namespace
