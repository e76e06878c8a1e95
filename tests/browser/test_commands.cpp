// The browser's commands driven by keys, mouse and menus: cell activation by
// field kind, writes to one or every selected row, delete, insert and add,
// the objects' context menu, and drops with the drop menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/InpBox.h"
#include "browser/InpEntry.h"
#include "framework/Drag.h"
#include "framework/ObjectMenus.h"
#include "framework/SConstants.h"

using namespace vela;
using namespace vela::testing;

namespace {

enum : int { kColCount = 1, kColOn = 2, kColRun = 3, kColBits = 4, kColDirect = 5 };

// A row object with one field of each action class the tests drive.
class TCmd : public TVelaObject {
  VELA_CLASS(TCmd, TVelaObject)
  TCmd() = default;
  explicit TCmd(const QString& name) { SetName(name); }
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override {
    if (k == FK_Word && id == 1) return p = &Count, true;
    if (k == FK_Bool && id == 2) return p = &On, true;
    if (k == FK_Byte && id == 4) return p = &Bits, true;
    if (k == FK_Integer && id == 5) return p = &Direct, true;
    return TVelaObject::GetFieldPointer(k, id, p);
  }
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override {
    TVelaObject::DefaultPDef(Arr, Opt);
    int n = 0;
    AddArrData(Arr, n, FK_Word, 1, QStringLiteral("Count"), 50, {LPE_Edit}, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Bool, 2, QStringLiteral("On"), 30, {LPE_CheckBox}, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Special, 3, QStringLiteral("Run"), 40, {LPE_UserSet}, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Byte, 4, QStringLiteral("Bits"), 40, {}, {}, {}, nullptr);
    Arr[n].BitOffset = 3;
    AddArrData(Arr, n, FK_Integer, 5, QStringLiteral("Direct"), 50, {LPE_Edit, LE_DirectInput}, {}, {}, nullptr);
    return static_cast<uint16_t>(n + 1);
  }
  void ApplyFieldValue(TSFieldKind k, uint32_t id, const void* data) override {
    if (k == FK_Special && id == 3) {
      ++Runs;  // the field is a command
      return;
    }
    TVelaObject::ApplyFieldValue(k, id, data);
  }
  void AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                    TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                    TVelaObject* ParamObj) override {
    if (Kind == Pop_Click && ParentLevel == 0)
      CreateMenuItem(Caller, Menu, 100, QStringLiteral("Identify"), Menu, nullptr);
    TVelaObject::AddMenuItems(Caller, Kind, Menu, AFkind, AFid, Initiator, ParentLevel, DropParams, ParamObj);
  }
  uint16_t Count = 0;
  bool On = false;
  uint8_t Bits = 0;
  int32_t Direct = 0;
  int Runs = 0;
};

// The owner of the rows: it inserts TCmd objects, refuses to delete the ones
// the test names, and takes drops of TCmd objects with the kinds offered.
class TBin : public TVelaObject {
  VELA_CLASS(TBin, TVelaObject)
  TBin() { CreateStdSubs(); }
  explicit TBin(const QString& name) : TBin() { SetName(name); }
  int GetStdSubTypes(TClassArr& arr) override {
    arr = {TCmd::StaticClass()};
    return 1;
  }
  bool DeleteOk(TVelaObject* s) override { return !Refused.contains(s) && TVelaObject::DeleteOk(s); }
  TVelaObject* Acceptdrop(TVelaObject* from, TSDropkind& kinds, TSDropMode, Qt::KeyboardModifiers) override {
    TSDdragCollection* coll = AsDragCollection(from);
    TVelaObject* first = coll ? coll->FirstSub() : from;
    if (!first || !first->InheritsFrom(TCmd::StaticClass())) return nullptr;
    kinds = Offered;
    return this;
  }
  QList<TVelaObject*> Refused;
  TSDropkind Offered{DSD_copy, DSD_move};
};

VELA_CLASS_IMPL(TCmd, TVelaObject)
VELA_CLASS_IMPL(TBin, TVelaObject)

// Runs Action on the popup or modal box that the next call opens.
void OnNextPopup(std::function<void(QWidget*)> Action) {
  QTimer::singleShot(0, [Action = std::move(Action)] {
    QWidget* w = QApplication::activePopupWidget();
    if (!w) w = QApplication::activeModalWidget();
    if (w) Action(w);
  });
}

// Chooses a menu entry by its object name with the keyboard (empty: Escape).
void PickNextMenuEntry(const QString& Name) {
  OnNextPopup([Name](QWidget* w) {
    auto* menu = qobject_cast<QMenu*>(w);
    if (!menu) return;
    if (QAction* a = Name.isEmpty() ? nullptr : menu->findChild<QAction*>(Name)) {
      menu->setActiveAction(a);
      QTest::keyClick(menu, Qt::Key_Return);
    } else {
      QTest::keyClick(menu, Qt::Key_Escape);
    }
  });
}

class CommandTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    static const bool registered = [] {
      RegisterObjType(9101, TCmd::StaticClass(), QStringLiteral("Cmd"));
      RegisterObjType(9102, TBin::StaticClass(), QStringLiteral("Bin"));
      return true;
    }();
    (void)registered;
    top = SNew<TFolder>(QStringLiteral("top"));
    roots.push_back(top);
    bin = SNew<TBin>(QStringLiteral("bin"));
    top->SInsert(bin);
    for (const char* name : {"a", "b", "c"}) bin->SInsert(SNew<TCmd>(QString::fromLatin1(name)));
  }
  void TearDown() override {
    SetCurrentInputBoxVar(nullptr);
    BrowserTest::TearDown();
  }
  TCmd* Item(int i) const { return static_cast<TCmd*>(bin->Sub(i)); }
  // A list of bin's rows with columns (Tree: bin's row with its rows under it).
  TVelaBrowser* Browser(bool Tree = false) {
    TVelaBrowser* b = NewBrowser(900, 300);
    b->SetAsListView(!Tree);
    b->SetWithColumns(true);
    b->SetRootObject(bin);
    Settle();
    return b;
  }
  QModelIndex Row(TVelaBrowser* b, int i) const {
    const QModelIndex binRow = b->SearchForNode(bin);
    return b->AsListView() ? b->Model()->index(i, 0) : b->Model()->index(i, 0, binRow);
  }
  QModelIndex Cell(TVelaBrowser* b, int i, int column) const { return Row(b, i).sibling(Row(b, i).row(), column); }
  // Clicks the first row's cell, then ctrl-clicks the others into the
  // selection; the last one clicked has the focus.
  void Select(TVelaBrowser* b, const std::vector<int>& rows, int column) {
    bool first = true;
    for (int r : rows) {
      ClickCell(b, Cell(b, r, column), first ? Qt::NoModifier : Qt::ControlModifier);
      first = false;
    }
  }
  QPoint CenterOf(TVelaBrowser* b, const QModelIndex& cell) const { return b->TreeView()->visualRect(cell).center(); }
  QStringList MenuTexts(QMenu* menu) const {
    QStringList out;
    for (QAction* a : menu->actions())
      if (!a->isSeparator() && a->isVisible()) out << a->text();
    return out;
  }
  TFolder* top = nullptr;
  TBin* bin = nullptr;
};

// ---------------------------------------------------------------------------
// Activation by field kind

enum class TTrigger { Enter, DoubleClick };

struct TActivateCase {
  const char* Name;
  int Column;
  TTrigger Trigger;
  std::function<void(TCmd*)> Check;
};

class ActivateTest : public CommandTest, public ::testing::WithParamInterface<TActivateCase> {};

TEST_P(ActivateTest, ActsByTheCellsFieldKind) {
  const TActivateCase& c = GetParam();
  TVelaBrowser* b = Browser();
  const QModelIndex cell = Cell(b, 1, c.Column);
  ClickCell(b, cell);
  if (c.Trigger == TTrigger::Enter)
    QTest::keyClick(b->TreeView(), Qt::Key_Return);
  else
    QTest::mouseDClick(b->TreeView()->viewport(), Qt::LeftButton, Qt::NoModifier, CenterOf(b, cell));
  c.Check(Item(1));
  EXPECT_EQ(Item(0)->Runs + Item(0)->Bits + Item(0)->On, 0) << "other rows untouched";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ActivateTest,
    ::testing::Values(
        TActivateCase{"CommandRunsWithoutData", kColRun, TTrigger::Enter, [](TCmd* o) { EXPECT_EQ(o->Runs, 1); }},
        TActivateCase{"CommandByDoubleClick", kColRun, TTrigger::DoubleClick, [](TCmd* o) { EXPECT_EQ(o->Runs, 1); }},
        TActivateCase{"BoolToggles", kColOn, TTrigger::Enter, [](TCmd* o) { EXPECT_TRUE(o->On); }},
        TActivateCase{"BoolByDoubleClick", kColOn, TTrigger::DoubleClick, [](TCmd* o) { EXPECT_TRUE(o->On); }},
        TActivateCase{"BitOffsetTogglesThatBit", kColBits, TTrigger::Enter, [](TCmd* o) { EXPECT_EQ(o->Bits, 4); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandTest, EnterOnANumberCellOpensTheEditorAndWritesTheTypedValue) {
  TVelaBrowser* b = Browser();
  ClickCell(b, Cell(b, 0, kColCount));
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  auto* edit = b->TreeView()->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(edit->isVisible());
  QTest::keyClicks(edit, QStringLiteral("12"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(Item(0)->Count, 12);
  EXPECT_EQ(Item(1)->Count, 0);
}

TEST_F(CommandTest, TheEditorOpensOnlyOnEditableCells) {
  TVelaBrowser* b = Browser();
  EXPECT_TRUE(b->CellEditAllowed(Cell(b, 0, kColCount)));
  EXPECT_FALSE(b->CellEditAllowed(Cell(b, 0, kColBits)));
  ClickCell(b, Cell(b, 0, kColBits));
  b->OpenCellEditor(QChar());
  EXPECT_EQ(b->TreeView()->viewport()->findChild<QLineEdit*>(), nullptr);
}

TEST_F(CommandTest, OnEditCanRefuseTheActivation) {
  TVelaBrowser* b = Browser();
  int asked = 0;
  b->OnEdit = [&](TVelaBrowser*, bool& allow, TVelaObject* s, TSFieldKind fk, uint32_t, Qt::KeyboardModifiers) {
    ++asked;
    EXPECT_EQ(s, Item(0));
    EXPECT_EQ(fk, FK_Bool);
    allow = false;
  };
  ClickCell(b, Cell(b, 0, kColOn));
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(Item(0)->On);
}

struct TBoolCase {
  const char* Name;
  std::vector<bool> Initial;
  std::vector<int> Selected;  // the last one is focused
  std::vector<bool> Expected;
};

class BoolSelectionTest : public CommandTest, public ::testing::WithParamInterface<TBoolCase> {};

TEST_P(BoolSelectionTest, TheFocusedValueDecidesForEverySelectedRow) {
  const TBoolCase& c = GetParam();
  for (int i = 0; i < 3; ++i) Item(i)->On = c.Initial[i];
  TVelaBrowser* b = Browser();
  Select(b, c.Selected, kColOn);
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Item(i)->On, c.Expected[i]) << "row " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BoolSelectionTest,
    ::testing::Values(TBoolCase{"FocusedTrueTurnsAllOff", {true, false, true}, {0, 1, 2}, {false, false, false}},
                      TBoolCase{"FocusedFalseTurnsAllOn", {true, false, false}, {0, 1}, {true, true, false}},
                      TBoolCase{"OneRowToggles", {true, false, true}, {2}, {true, false, false}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandTest, AReadyInputEntryGoesToEverySelectedRow) {
  TInpBox box;
  TInpBox* current = &box;
  SetCurrentInputBoxVar(&current);
  box.SetInpStr(QStringLiteral("77"), true);
  TVelaBrowser* b = Browser();
  Select(b, {0, 2}, kColDirect);
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  EXPECT_EQ(Item(0)->Direct, 77);
  EXPECT_EQ(Item(1)->Direct, 0);
  EXPECT_EQ(Item(2)->Direct, 77);
  EXPECT_FALSE(box.IsInpReady()) << "the entry is used";
  EXPECT_EQ(b->TreeView()->viewport()->findChild<QLineEdit*>(), nullptr) << "no editor with an entry";
}

TEST_F(CommandTest, OnSetFieldTakesTheWriteInsteadOfTheObject) {
  TInpBox box;
  TInpBox* current = &box;
  SetCurrentInputBoxVar(&current);
  box.SetInpStr(QStringLiteral("5"), true);
  TVelaBrowser* b = Browser();
  int32_t seen = -1;
  b->OnSetField = [&](QObject*, TVelaObject* o, TSFieldKind fk, uint32_t id, void* data) {
    EXPECT_EQ(o, Item(2)) << "the focused cell's object";
    EXPECT_EQ(fk, FK_Integer);
    EXPECT_EQ(id, 5u);
    std::memcpy(&seen, data, 4);
    return true;
  };
  Select(b, {1, 2}, kColDirect);
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(Item(1)->Direct + Item(2)->Direct, 0);
}

// ---------------------------------------------------------------------------
// Delete, insert, add

struct TDeleteCase {
  const char* Name;
  std::vector<int> Selected;
  bool Answer;
  int RefusedRow;  // -1: none
  int Left;
  int Confirmations;
  bool ErrorShown;
};

class DeleteTest : public CommandTest, public ::testing::WithParamInterface<TDeleteCase> {};

TEST_P(DeleteTest, DeleteAsksFirst) {
  const TDeleteCase& c = GetParam();
  if (c.RefusedRow >= 0) bin->Refused << Item(c.RefusedRow);
  const bool answer = c.Answer;
  confirmAnswer = [answer](const QString&, const QString&) { return answer; };
  TVelaBrowser* b = Browser();
  Select(b, c.Selected, 0);
  QString error;
  OnNextPopup([&](QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      error = box->text();
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  QTest::keyClick(b->TreeView(), Qt::Key_Delete);
  EXPECT_EQ(bin->Subcount(), c.Left);
  EXPECT_EQ(confirmations, c.Confirmations);
  EXPECT_EQ(error, c.ErrorShown ? QStringLiteral("Some items can not be deleted!") : QString());
  if (c.Confirmations > 0 && c.Selected.size() > 1) {
    EXPECT_TRUE(lastConfirmText.contains("Collection of 2 Cmds")) << lastConfirmText.toStdString();
  }
  Settle();
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteTest,
                         ::testing::Values(TDeleteCase{"OneYes", {1}, true, -1, 2, 1, false},
                                           TDeleteCase{"OneNo", {1}, false, -1, 3, 1, false},
                                           TDeleteCase{"OneRefusedByOwner", {1}, true, 1, 3, 0, false},
                                           TDeleteCase{"TwoYes", {0, 2}, true, -1, 1, 1, false},
                                           TDeleteCase{"TwoNo", {0, 2}, false, -1, 3, 1, false},
                                           TDeleteCase{"TwoOneRefused", {0, 2}, true, 2, 3, 0, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandTest, InsertKeyInsertsAtTheFocusedPlaceAndFocusesTheNewRow) {
  TVelaBrowser* b = Browser();
  ClickCell(b, Cell(b, 1, 0));
  ASSERT_TRUE(b->InsertEnabled());
  TCmd* old = Item(1);
  QTest::keyClick(b->TreeView(), Qt::Key_Insert);
  Settle();
  ASSERT_EQ(bin->Subcount(), 4);
  EXPECT_EQ(Item(2), old);
  EXPECT_EQ(b->Selected(), Item(1));
  b->Add1Click();
  Settle();
  ASSERT_EQ(bin->Subcount(), 5);
  EXPECT_EQ(b->Selected(), Item(4));
}

TEST_F(CommandTest, OnInsertDecidesWhetherTheDefaultRuns) {
  TVelaBrowser* b = Browser();
  bool doIt = false;
  int asked = 0;
  b->OnInsert = [&](TVelaObject* s, uint32_t row, int, TColumnDef*, bool& DoDefault) {
    ++asked;
    EXPECT_EQ(s, Item(0));
    EXPECT_EQ(row, 0u);
    DoDefault = doIt;
  };
  ClickCell(b, Cell(b, 0, 0));
  b->Insert1Click();
  EXPECT_EQ(bin->Subcount(), 3);
  doIt = true;
  b->Insert1Click();
  EXPECT_EQ(bin->Subcount(), 4);
  EXPECT_EQ(asked, 2);
  b->SetDeleteInsertDisabled(true);
  b->Insert1Click();
  EXPECT_EQ(asked, 2);
}

// ---------------------------------------------------------------------------
// The tree menu

struct TMenuCase {
  const char* Name;
  bool Tree;
  int Row;  // -1: below the rows; -2: the menu key on row 0
  std::vector<int> AlsoSelected;
  QStringList Present;
  QStringList Absent;
};

class TreeMenuTest : public CommandTest, public ::testing::WithParamInterface<TMenuCase> {};

TEST_P(TreeMenuTest, TheObjectsFillTheMenu) {
  const TMenuCase& c = GetParam();
  TVelaBrowser* b = Browser(c.Tree);
  ClickCell(b, Cell(b, std::max(c.Row, 0), 0));
  for (int r : c.AlsoSelected) ClickCell(b, Cell(b, r, 0), Qt::ControlModifier);
  QWidget* vp = b->TreeView()->viewport();
  if (c.Row == -2) {
    QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(0, 0), vp->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(vp, &e);
  } else {
    const QPoint at = c.Row >= 0 ? CenterOf(b, Cell(b, c.Row, 0)) : QPoint(40, vp->height() - 5);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, vp->mapToGlobal(at));
    QApplication::sendEvent(vp, &e);
  }
  QMenu* menu = b->PopupMenu2();
  ASSERT_TRUE(menu->isVisible());
  const QStringList texts = MenuTexts(menu);
  for (const QString& t : c.Present)
    EXPECT_TRUE(texts.contains(t)) << t.toStdString() << " in " << texts.join('|').toStdString();
  for (const QString& t : c.Absent) EXPECT_FALSE(texts.contains(t)) << t.toStdString();
  EXPECT_TRUE(texts.contains("Collapse All")) << "the fixed entries stay";
  menu->hide();
}

INSTANTIATE_TEST_SUITE_P(
    Places, TreeMenuTest,
    ::testing::Values(
        TMenuCase{"ListRow", false, 1, {}, {"Identify", "Delete Cmd: b"}, {"Insert: Cmd", "Delete all selected items"}},
        TMenuCase{"TreeRowUnderItsOwner", true, 1, {}, {"Identify", "Insert: Cmd", "Add: Cmd", "Delete Cmd: b"}, {}},
        TMenuCase{"BelowTheRowsIsTheRootsMenu", false, -1, {}, {"Explore Bin: bin", "Insert Sub: Cmd"}, {"Identify"}},
        TMenuCase{"MenuKeyTakesTheSelectedObject", false, -2, {}, {"Identify", "Delete Cmd: a"}, {"Delete Cmd: b"}},
        TMenuCase{"SeveralSelectedRows", false, 0, {2}, {"Delete all selected items", "Identify"}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandTest, TheMenusDeleteAllEntryDeletesTheSelection) {
  TVelaBrowser* b = Browser();
  Select(b, {0, 1}, 0);
  const QPoint at = CenterOf(b, Cell(b, 1, 0));
  ASSERT_TRUE(b->ShowTreeMenu(at, b->TreeView()->viewport()->mapToGlobal(at)));
  TVelaMenuItem* entry = nullptr;
  for (int i = 0; i < b->TreeMenuItems().Count(); ++i)
    if (b->TreeMenuItems().Items(i)->text() == "Delete all selected items")
      entry = AsVelaMenuItem(b->TreeMenuItems().Items(i));
  ASSERT_NE(entry, nullptr);
  b->PopupMenu2()->hide();
  entry->trigger();
  EXPECT_EQ(bin->Subcount(), 1);
  EXPECT_EQ(Item(0)->Name(), "c");
  Settle();
}

TEST_F(CommandTest, ObjectMenusCanBeSwitchedOff) {
  TVelaBrowser* b = Browser();
  b->SetObjectMenusDisabled(true);
  const QPoint at = CenterOf(b, Cell(b, 0, 0));
  ASSERT_TRUE(b->ShowTreeMenu(at, b->TreeView()->viewport()->mapToGlobal(at)));
  EXPECT_FALSE(MenuTexts(b->PopupMenu2()).contains("Identify"));
  b->PopupMenu2()->hide();
}

TEST_F(CommandTest, ExploreHandsTheSelectedObjectToTheHook) {
  TVelaBrowser* b = Browser();
  TVelaObject* explored = nullptr;
  ExploreHook() = [&](TVelaObject* o) { explored = o; };
  ClickCell(b, Cell(b, 2, 0));
  b->Explore1()->trigger();
  ExploreHook() = nullptr;
  EXPECT_EQ(explored, Item(2));
}

// ---------------------------------------------------------------------------
// Drag and drop. A real mouse drag runs the platform's drag loop, which the
// offscreen platform does not drive, so the tests hand the drag from
// StartObjectDrag to the drop entry points the view calls.

struct TDropCase {
  const char* Name;
  TSDropkind Offered;
  const char* Pick;  // the drop menu entry ("" : Escape)
  int Subs;          // bin's subs afterwards
  bool OriginalsStay;
};

class DropTest : public CommandTest, public ::testing::WithParamInterface<TDropCase> {};

TEST_P(DropTest, ADroppedSelectionIsCopiedMovedOrLeft) {
  const TDropCase& c = GetParam();
  bin->Offered = c.Offered;
  TVelaBrowser* b = Browser();
  Select(b, {0, 1}, 0);
  const std::weak_ptr<void> a = Item(0)->AliveToken();
  TSDrag* drag = b->StartObjectDrag();
  ASSERT_NE(drag, nullptr);
  TSDdragCollection* coll = AsDragCollection(drag->DragObj());
  ASSERT_NE(coll, nullptr);
  const std::weak_ptr<void> collAlive = coll->AliveToken();
  const QPoint at = CenterOf(b, Cell(b, 2, 0));
  EXPECT_TRUE(b->ObjectDragOver(drag, at, Qt::NoModifier));
  QString copyCaption;
  PickNextMenuEntry(QString::fromLatin1(c.Pick));
  OnNextPopup([&](QWidget* w) {
    if (auto* m = qobject_cast<QMenu*>(w))
      if (QAction* copy = m->findChild<QAction*>("Copy1"); copy && copy->isVisible()) copyCaption = copy->text();
  });
  const bool taken = b->ObjectDrop(drag, at, b->TreeView()->viewport()->mapToGlobal(at), Qt::NoModifier);
  drag->Finished(b, at.x(), at.y(), taken);
  Settle();
  EXPECT_TRUE(taken);
  EXPECT_EQ(bin->Subcount(), c.Subs);
  EXPECT_EQ(!a.expired(), c.OriginalsStay);
  EXPECT_TRUE(collAlive.expired()) << "the dragged collection is freed";
  EXPECT_EQ(Item(bin->Subcount() - 1)->Name(), "c") << "dropped objects go in front of the target row";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DropTest,
    ::testing::Values(TDropCase{"Copy", {DSD_copy, DSD_move}, "Copy1", 5, true},
                      TDropCase{"Move", {DSD_copy, DSD_move}, "Move1", 3, false},
                      TDropCase{"CancelledMenu", {DSD_copy, DSD_move}, "Cancel1", 3, true},
                      TDropCase{"DismissedMenu", {DSD_copy}, "", 3, true},
                      TDropCase{"ReferenceOnlyTouchesNothing", {DSD_Reference}, "SetReference1", 3, true},
                      TDropCase{"DirectDropWithoutMenu", {DSD_DirectDrop}, "", 5, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CommandTest, TheDropMenuNamesWhatGoesWhereAndOffersOnlyTheTargetsKinds) {
  bin->Offered = {DSD_copy, DSD_AddRef};
  TVelaBrowser* b = Browser();
  ClickCell(b, Cell(b, 0, 0));
  TSDrag* drag = b->StartObjectDrag();
  ASSERT_NE(drag, nullptr);
  QStringList texts;
  OnNextPopup([&](QWidget* w) {
    if (auto* m = qobject_cast<QMenu*>(w)) {
      texts = MenuTexts(m);
      QTest::keyClick(m, Qt::Key_Escape);
    }
  });
  const QPoint at = CenterOf(b, Cell(b, 2, 0));
  const bool taken = b->ObjectDrop(drag, at, b->TreeView()->viewport()->mapToGlobal(at), Qt::NoModifier);
  drag->Finished(b, at.x(), at.y(), taken);
  EXPECT_EQ(texts, QStringList({"Cancel", "Copy a to bin", "Add Reference"}));
  EXPECT_EQ(bin->Subcount(), 3);
  EXPECT_EQ(b->TargetObject(), nullptr) << "the drop is over";
}

TEST_F(CommandTest, ARefusedDropLeavesTheCollectionToTheDrag) {
  bin->Offered = {};
  TVelaBrowser* b = Browser();
  Select(b, {0, 1}, 0);
  TSDrag* drag = b->StartObjectDrag();
  ASSERT_NE(drag, nullptr);
  const std::weak_ptr<void> collAlive = drag->DragObj()->AliveToken();
  const QPoint at = CenterOf(b, Cell(b, 2, 0));
  EXPECT_FALSE(b->ObjectDragOver(drag, at, Qt::NoModifier));
  EXPECT_FALSE(b->ObjectDrop(drag, at, at, Qt::NoModifier));
  EXPECT_FALSE(collAlive.expired());
  drag->Finished(b, at.x(), at.y(), false);
  EXPECT_TRUE(collAlive.expired());
}

TEST_F(CommandTest, NoDragInPopupModeOrWhenTheObjectDeniesIt) {
  TVelaBrowser* b = Browser();
  ClickCell(b, Cell(b, 0, 0));
  b->SetPopupMode(true);
  EXPECT_EQ(b->StartObjectDrag(), nullptr);
  b->SetPopupMode(false);
  b->SetDropsDisabled(true);
  TSDrag* drag = b->StartObjectDrag();
  ASSERT_NE(drag, nullptr);
  EXPECT_FALSE(b->ObjectDragOver(drag, CenterOf(b, Cell(b, 1, 0)), Qt::NoModifier));
  drag->Finished(nullptr, 0, 0, false);
}

}  // namespace
