// The parameter filter, the browser toolbar and the header line.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserToolbar.h"
#include "browser/ObjectHeader.h"
#include "browser/ParamFilter.h"

using namespace vela;
using namespace vela::testing;

namespace {

class ParamFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    filter.resize(1200, 26);
    filter.show();
    filter.OnFilterChanged = [this](TParameterFilter*) { ++changes; };
  }
  void Click(QToolButton* b, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(b, Qt::LeftButton, mods, b->rect().center());
  }
  TParameterFilter filter;
  int changes = 0;
};

TEST_F(ParamFilterTest, StartsWithAllGroupsAndAuto) {
  EXPECT_EQ(filter.PFilter().ToBits(), 63);
  EXPECT_EQ(filter.DisplayValue(), DS_Auto);
  EXPECT_EQ(filter.ValidDisplay().ToBits(), 127);
  EXPECT_TRUE(filter.AutoButton->isChecked());
  EXPECT_TRUE(filter.ColorButton->isChecked());
  EXPECT_TRUE(filter.FollowConsoleButton->isHidden());
}

TEST_F(ParamFilterTest, PlainClickChoosesOneGroupShiftClickToggles) {
  Click(filter.ColorButton);
  EXPECT_EQ(filter.PFilter(), TPFilters{FL_Color});
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(filter.ColorButton->isChecked());
  EXPECT_FALSE(filter.FocusButton->isChecked());
  Click(filter.ColorButton, Qt::ShiftModifier);
  EXPECT_TRUE(filter.PFilter().Empty());
  EXPECT_FALSE(filter.ColorButton->isChecked());
  EXPECT_EQ(changes, 2);
  Click(filter.BeamButton, Qt::ShiftModifier);
  Click(filter.ExtraButton, Qt::ShiftModifier);
  EXPECT_EQ(filter.PFilter(), (TPFilters{FL_Beam, FL_Extra}));
  Click(filter.ToolButton1);
  EXPECT_EQ(filter.PFilter().ToBits(), 63);
  EXPECT_TRUE(filter.FocusButton->isChecked());
}

TEST_F(ParamFilterTest, ClickingThePlainGroupAgainRaisesNothing) {
  Click(filter.PatternButton);
  Click(filter.PatternButton);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(filter.PatternButton->isChecked()) << "the group stays pressed";
}

TEST_F(ParamFilterTest, DisplayValue) {
  filter.SetDisplayValue(DS_Auto);
  EXPECT_EQ(changes, 0) << "unchanged value raises nothing";
  Click(filter.TimeButton);
  EXPECT_EQ(filter.DisplayValue(), DS_Time);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(filter.TimeButton->isChecked());
  EXPECT_FALSE(filter.AutoButton->isChecked());
  Click(filter.TimeButton);
  EXPECT_TRUE(filter.TimeButton->isChecked());
  EXPECT_EQ(changes, 1);
  filter.SetDisplayValue(DS_PackedPalettes);
  EXPECT_TRUE(filter.CompressedButton->isChecked());
  EXPECT_EQ(filter.DisplayButton(128 + DS_Value), filter.ValueButton);
  EXPECT_EQ(filter.DisplayButton(7), nullptr);
}

TEST_F(ParamFilterTest, ValidDisplayHidesTheOtherButtons) {
  filter.SetValidDisplay(TValidDisplay{DS_Auto, DS_Value});
  int hidden = 0;
  for (int v = 0; v < 7; ++v) hidden += filter.DisplayAction(v)->isVisible() ? 0 : 1;
  EXPECT_EQ(hidden, 5);
  EXPECT_TRUE(filter.DisplayAction(DS_Auto)->isVisible());
  EXPECT_TRUE(filter.DisplayAction(DS_Value)->isVisible());
  QApplication::processEvents();  // the tool bar lays its buttons out
  EXPECT_FALSE(filter.TimeButton->isVisible());
  EXPECT_TRUE(filter.ValueButton->isVisible());
}

TEST_F(ParamFilterTest, FollowConsoleNoticeOnlyWhenTheButtonIsShownAndPressed) {
  uint32_t record[5] = {0, 0, 0, 0, 3};
  TMessage notice{WM_ToolNotice, 11, reinterpret_cast<intptr_t>(record), 0};
  filter.Dispatch(notice);
  EXPECT_EQ(filter.PFilter().ToBits(), 63);
  filter.FollowConsoleButton->show();
  filter.FollowConsoleButton->setChecked(true);
  filter.Dispatch(notice);
  EXPECT_EQ(filter.PFilter(), TPFilters{FL_Beam});
  record[4] = 9;
  filter.Dispatch(notice);
  EXPECT_EQ(filter.PFilter().ToBits(), 63);
  notice.WParam = 12;
  record[4] = 1;
  filter.Dispatch(notice);
  EXPECT_EQ(filter.PFilter().ToBits(), 63) << "other codes are not for the filter";
}

// ---------------------------------------------------------------------------
// Toolbar

// A node that may refuse deletion and may accept its copies.
class TEditable : public TFolder {
  VELA_CLASS(TEditable, TFolder)
  TEditable() = default;
  explicit TEditable(const QString& n) : TFolder(n) {}
  bool DeleteOk(TVelaObject* S) override { return !RefuseDelete && TFolder::DeleteOk(S); }
  int GetStdSubTypes(TClassArr& Arr) override {
    Arr = {TEditable::StaticClass()};
    if (TwoKinds) Arr.push_back(TFolder::StaticClass());
    return static_cast<int>(Arr.size());
  }
  TVelaObject* Acceptdrop(TVelaObject* From, TSDropkind& Kind, TSDropMode Mode, Qt::KeyboardModifiers Shift) override {
    ++AcceptAsked;
    (void)From, (void)Kind, (void)Mode, (void)Shift;
    return AcceptCopies ? SOwner() : nullptr;
  }
  bool RefuseDelete = false;
  bool TwoKinds = false;
  bool AcceptCopies = false;
  int AcceptAsked = 0;
};
VELA_CLASS_IMPL(TEditable, TFolder)

class ToolbarTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    RegisterObjType(9010, TEditable::StaticClass(), QStringLiteral("Editable"));
    root = SNew<TEditable>(QStringLiteral("root"));
    roots.push_back(root);
    for (const char* n : {"a", "b", "c"}) {
      auto* s = SNew<TEditable>(QString::fromLatin1(n));
      root->SInsert(s);
      subs.push_back(s);
    }
    browser = NewBrowser();
    browser->SetRootObject(root);
    bar.SetMyBrowser(browser);
  }
  TEditable* root = nullptr;
  std::vector<TEditable*> subs;
  TVelaBrowser* browser = nullptr;
  TBrowserTopToolbar bar;
};

TEST_F(ToolbarTest, TheTrackButtonTakesTheBrowsersAction) {
  EXPECT_EQ(bar.TrackButton->defaultAction(), browser->Track1());
  EXPECT_EQ(bar.BrowseObject(), root);
  bar.SetMyBrowser(nullptr);
  EXPECT_EQ(bar.TrackButton->defaultAction(), nullptr);
}

TEST_F(ToolbarTest, WithTheRootFocusedTheSiblingCommandsDoNothing) {
  bar.SetFocusedObject(root);
  EXPECT_FALSE(bar.NewSibling->isEnabled());
  EXPECT_FALSE(bar.Clone1->isEnabled());
  EXPECT_FALSE(bar.MoveUp->isEnabled());
  EXPECT_FALSE(bar.MoveDown->isEnabled());
  // Even triggered they change nothing.
  for (QAction* a : {bar.NewSibling, bar.Clone1, bar.Delete, bar.MoveUp, bar.MoveDown}) {
    a->setEnabled(true);
    a->trigger();
  }
  EXPECT_EQ(root->Subcount(), 3);
  EXPECT_EQ(confirmations, 0);
}

TEST_F(ToolbarTest, MoveEnablingFollowsThePlace) {
  bar.SetFocusedObject(subs[0]);
  EXPECT_FALSE(bar.MoveUp->isEnabled());
  EXPECT_TRUE(bar.MoveDown->isEnabled());
  bar.SetFocusedObject(subs[2]);
  EXPECT_TRUE(bar.MoveUp->isEnabled());
  EXPECT_FALSE(bar.MoveDown->isEnabled());
  bar.MoveUp->trigger();
  EXPECT_EQ(root->SIndexof(subs[2]), 1);
  EXPECT_EQ(browser->Selected(), subs[2]) << "the moved object is shown";
  const QModelIndex rootRow = browser->Model()->index(0, 0);
  EXPECT_EQ(browser->Model()->index(1, 0, rootRow).data().toString(), "c");
}

TEST_F(ToolbarTest, SortedSubsCannotBeMoved) {
  auto* sorted = SNew<TFolder>(QStringLiteral("sorted"));
  FreeObj(sorted->Subobjects());
  sorted->SetsubsSilent(SNew<TWordIdColl>());
  roots.push_back(sorted);
  auto* x = SNew<TEditable>(QStringLiteral("x"));
  auto* y = SNew<TEditable>(QStringLiteral("y"));
  sorted->SInsert(x);
  sorted->SInsert(y);
  bar.SetFocusedObject(x);
  EXPECT_FALSE(bar.MoveUp->isEnabled());
  EXPECT_FALSE(bar.MoveDown->isEnabled());
}

TEST_F(ToolbarTest, NewSubButtonDropsDownWhenThereAreSeveralKinds) {
  bar.SetFocusedObject(subs[0]);
  EXPECT_EQ(bar.NewSubButton->menu(), nullptr);
  EXPECT_EQ(bar.NewSubButton->defaultAction(), bar.NewSub);
  subs[1]->TwoKinds = true;
  bar.SetFocusedObject(subs[1]);
  EXPECT_EQ(bar.NewSubButton->menu(), bar.PopupMenu1);
  EXPECT_TRUE(bar.Defaultsub1->isVisible());
  EXPECT_TRUE(bar.Sub11->isVisible());
  EXPECT_EQ(bar.Sub11->text(), "Folder");
  EXPECT_FALSE(bar.Sub21->isVisible());
  bar.Sub11->trigger();
  ASSERT_EQ(subs[1]->Subcount(), 1);
  EXPECT_EQ(subs[1]->Sub(0)->ClassType(), TFolder::StaticClass());
}

TEST_F(ToolbarTest, NewSiblingGoesToTheFocusedPlaceAndIsShown) {
  bar.SetFocusedObject(subs[1]);
  bar.NewSibling->trigger();
  ASSERT_EQ(root->Subcount(), 4);
  EXPECT_EQ(root->SIndexof(subs[1]), 2);
  EXPECT_EQ(browser->Selected(), root->Sub(1));
}

TEST_F(ToolbarTest, CloneFreesTheCopyUnlessTheOwnerTakesIt) {
  bar.SetFocusedObject(subs[0]);
  int inserted = 0;
  auto notify = FrameworkHooks().Notify;
  FrameworkHooks().Notify = [&](uint32_t m, TVelaObject* o, intptr_t s, int32_t i) {
    if (m == SOM_Inserted) ++inserted;
    notify(m, o, s, i);
  };
  bar.Clone1->trigger();
  EXPECT_EQ(subs[0]->AcceptAsked, 1);
  EXPECT_EQ(root->Subcount(), 3);
  EXPECT_EQ(inserted, 0) << "no notification for a refused copy";
  subs[0]->AcceptCopies = true;
  bar.Clone1->trigger();
  ASSERT_EQ(root->Subcount(), 4);
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(root->Sub(1)->NameIfName(), "a");
  EXPECT_EQ(browser->Selected(), root->Sub(1));
  FrameworkHooks().Notify = notify;
}

TEST_F(ToolbarTest, DeleteAsksUnlessTheOwnerRefuses) {
  root->RefuseDelete = true;
  bar.SetFocusedObject(subs[0]);
  bar.Delete->trigger();
  EXPECT_EQ(confirmations, 0);
  EXPECT_EQ(root->Subcount(), 3);
  root->RefuseDelete = false;
  confirmAnswer = [](const QString&, const QString&) { return false; };
  bar.Delete->trigger();
  EXPECT_EQ(confirmations, 1);
  EXPECT_EQ(lastConfirmText, "Confirm delete\ra");
  EXPECT_EQ(root->Subcount(), 3);
  confirmAnswer = [](const QString&, const QString&) { return true; };
  ASSERT_EQ(browser->Model()->rowCount(browser->Model()->index(0, 0)), 3);
  bar.Delete->trigger();
  EXPECT_EQ(root->Subcount(), 2);
  EXPECT_EQ(browser->Model()->rowCount(browser->Model()->index(0, 0)), 2) << "the row went with the object";
}

TEST_F(ToolbarTest, TreeToolsEnabledSwitchesTheTreeGroup) {
  bar.SetTreeToolsEnabled(false);
  for (QAction* a : bar.ActionList1()) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  bar.SetTreeToolsEnabled(true);
  for (QAction* a : bar.ActionList1()) EXPECT_TRUE(a->isEnabled());
  EXPECT_EQ(bar.ActionList1().size(), 6u);
  EXPECT_EQ(bar.MoveUp->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
}

// ---------------------------------------------------------------------------
// Header line

TEST(ObjectHeader, StoresItsObjectAndTellsAboutChanges) {
  TObjectBrowserHeader header;
  TVelaObject* obj = SNew<TVelaObject>();
  obj->SetName(QStringLiteral("Manager"));
  int changed = 0;
  header.OnMyobjectChanged = [&](TObjectBrowserHeader*) { ++changed; };
  header.SetMyNoname(obj);
  EXPECT_EQ(header.MyNoname(), obj);
  EXPECT_EQ(changed, 0);
  header.SetMyobject(obj);
  header.SetMyobject(obj);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(header.sComboEdit1->currentText(), "Manager");
  EXPECT_FALSE(header.sComboEdit1->isEditable());
  EXPECT_EQ(header.BackBtn->toolTip(), "Back");
  FreeObj(obj);
}

}  // namespace
