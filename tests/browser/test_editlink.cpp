// The in-place cell editors: choice of editor by field kind, the edit-link
// protocol, and editing cells of a browser with real key input.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "ControlFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/DropDownEditors.h"
#include "browser/EditLink.h"
#include "browser/VelaComboBox.h"
#include "browser/VelaEdit.h"
#include "platform/Assertion.h"

using namespace vela;
using namespace vela::testing;

namespace {

TLParam Param(TSFieldKind kind, uint32_t id, TLpEditModes modes = {LPE_Edit}) {
  TLParam p;
  p.FK = kind;
  p.DisplayFk = kind;
  p.ID = id;
  p.DisplayId = id;
  p.LPEditMode = modes;
  return p;
}

struct TKindCase {
  TSFieldKind kind;
  TEditorKind editor;
};

class EditorChoiceTest : public ::testing::TestWithParam<TKindCase> {};

TEST_P(EditorChoiceTest, KindChoosesTheEditor) { EXPECT_EQ(EditorKindFor(GetParam().kind), GetParam().editor); }

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditorChoiceTest,
    ::testing::Values(TKindCase{FK_Text, TEditorKind::TextEdit}, TKindCase{FK_Word, TEditorKind::TextEdit},
                      TKindCase{FK_TimeDate, TEditorKind::TextEdit}, TKindCase{FK_ShortInt, TEditorKind::TextEdit},
                      TKindCase{FK_WordKind, TEditorKind::ChoiceList},
                      TKindCase{FK_PackedPalettes, TEditorKind::ChoiceList},
                      TKindCase{FK_ByteBits, TEditorKind::CheckList}, TKindCase{Fk_LongBits, TEditorKind::CheckList},
                      TKindCase{FK_Date, TEditorKind::Calendar}, TKindCase{FK_Bool, TEditorKind::None},
                      TKindCase{FK_Color, TEditorKind::None}));

class EditLinkTest : public ControlTest {
 protected:
  // A link prepared on a plain view standing in for the tree.
  std::shared_ptr<TCustomVelaEditLink> Prepared(const TLParam& p, QChar initial = QChar()) {
    auto link = TCustomVelaEditLink::Create(nullptr, p, initial);
    EXPECT_TRUE(link->PrepareEdit(&tree, QModelIndex(), 0, obj));
    return link;
  }
  void SetUp() override {
    ControlTest::SetUp();
    tree.resize(300, 200);
    tree.show();
  }
  QListView tree;
};

TEST_F(EditLinkTest, UnknownKindRaisesTheAssertion) {
  try {
    TCustomVelaEditLink::Create(nullptr, Param(FK_Color, 4), QChar());
    FAIL() << "no assertion";
  } catch (const EVelaAssertion& e) {
    EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("Unknown Fieldkind for editor in Browser")))
        << e.what();
  }
}

TEST_F(EditLinkTest, EditorStartsHiddenAndBeginShowsIt) {
  auto link = Prepared(Param(FK_Word, kWord));
  ASSERT_NE(link->Editor(), nullptr);
  EXPECT_FALSE(link->Editor()->isVisible());
  EXPECT_EQ(link->Editor()->parentWidget(), tree.viewport());
  EXPECT_TRUE(link->BeginEdit());
  EXPECT_TRUE(link->Editor()->isVisible());
  auto* edit = dynamic_cast<TsaEdit*>(link->Editor());
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), QStringLiteral("100"));
  EXPECT_TRUE(link->CancelEdit());
}

TEST_F(EditLinkTest, NarrowColumnGivesA30PixelEditor) {
  auto link = Prepared(Param(FK_Word, kWord));
  link->SetBounds(QRect(40, 0, 20, 18));
  EXPECT_EQ(link->GetBounds(), QRect(40, 0, 30, 18));
  TLParam right = Param(FK_Word, kWord);
  right.Alignment = taRightJustify;
  auto rlink = Prepared(right);
  rlink->SetBounds(QRect(40, 0, 20, 18));
  EXPECT_EQ(rlink->GetBounds(), QRect(30, 0, 30, 18));
  link->CancelEdit();
  rlink->CancelEdit();
}

TEST_F(EditLinkTest, LevelBarStaysVisibleUnderTheEditor) {
  auto link = Prepared(Param(FK_Word, kWord, {LPE_Edit, LPE_ShowBar}));
  link->SetBounds(QRect(0, 0, 60, 18));
  EXPECT_EQ(link->GetBounds().height(), 16);
  link->CancelEdit();
}

TEST_F(EditLinkTest, InitialCharacterReplacesTheText) {
  auto link = Prepared(Param(FK_Word, kWord), QLatin1Char('4'));
  link->BeginEdit();
  auto* edit = dynamic_cast<TsaEdit*>(link->Editor());
  EXPECT_EQ(edit->text(), QStringLiteral("4"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(obj->Word, 4);
  EXPECT_TRUE(link->Stopping());
}

TEST_F(EditLinkTest, EscapeLeavesTheValueThoughTheEditLosesFocus) {
  auto link = Prepared(Param(FK_Word, kWord));
  link->BeginEdit();
  auto* edit = dynamic_cast<TsaEdit*>(link->Editor());
  QApplication::setActiveWindow(&tree);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("55"));
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(obj->Word, 100);
  EXPECT_FALSE(link->EndEdit());
  EXPECT_FALSE(link->CancelEdit());
}

TEST_F(EditLinkTest, ChoiceListDropsDownAndWritesThePick) {
  auto link = Prepared(Param(FK_WordKind, kChoice));
  link->BeginEdit();
  auto* box = dynamic_cast<TsaComboBox*>(link->Editor());
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->view()->isVisible());
  QTest::keyClick(box->view(), Qt::Key_Down);
  QTest::keyClick(box->view(), Qt::Key_Return);
  EXPECT_EQ(obj->Choice, 30);
  // The close-up ends the edit once the pick has been handled.
  QCoreApplication::processEvents();
  EXPECT_TRUE(link->Stopping());
  EXPECT_EQ(obj->Choice, 30);
}

TEST_F(EditLinkTest, CheckListTicksTheBitOfTheItemsGroup) {
  auto link = Prepared(Param(FK_ByteBits, kBitGroups));
  link->BeginEdit();
  auto* list = dynamic_cast<TLMDVelaCheckListCombo*>(link->Editor());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 16);
  ASSERT_TRUE(list->view()->isVisible());
  const QRect r = list->view()->visualRect(list->model()->index(10, 0));
  QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  EXPECT_EQ(obj->LastBitsId, kBitGroups + 1);
  EXPECT_EQ(obj->LastBitsRecord[0], 1);
  uint32_t mask = 0;
  std::memcpy(&mask, obj->LastBitsRecord + 1, 4);
  EXPECT_EQ(mask, 4u);
  EXPECT_TRUE(list->ItemTicked(10));
  EXPECT_TRUE(list->view()->isVisible()) << "ticking keeps the list open";
  link->EndEdit();
}

TEST_F(EditLinkTest, CalendarShowsAndWritesTheDate) {
  auto link = Prepared(Param(FK_Date, kDate));
  auto* cal = dynamic_cast<TLmdVelaCalendarEdit*>(link->Editor());
  ASSERT_NE(cal, nullptr);
  EXPECT_TRUE(cal->calendarPopup());
  EXPECT_EQ(cal->date(), QDate(2023, 3, 15));
  link->BeginEdit();
  cal->setSelectedSection(QDateTimeEdit::DaySection);
  QTest::keyClick(cal, Qt::Key_Up);
  EXPECT_EQ(cal->date(), QDate(2023, 3, 16));
  EXPECT_DOUBLE_EQ(obj->Date, 45001);
  QTest::keyClick(cal, Qt::Key_Return);
  EXPECT_TRUE(link->Stopping());
}

// ---- in a browser

class BrowserEditTest : public ControlTest {
 protected:
  TVelaBrowser* Browser() {
    root = SNew<TFolder>(QStringLiteral("root"));
    roots.push_back(root);
    dev = SNew<TDevice>(QStringLiteral("d"), std::vector<int>{0});
    root->SInsert(dev);
    TVelaBrowser* b = NewBrowser(900, 300);
    b->SetAsListView(true);
    b->SetWithColumns(true);
    b->SetRootObject(root);
    InstallEditLinks(b);
    Settle();
    return b;
  }
  QLineEdit* OpenEditor(TVelaBrowser* b, int column) {
    ClickCell(b, b->Model()->index(0, column));
    QTest::keyClick(b->TreeView(), Qt::Key_Return);
    return b->TreeView()->viewport()->findChild<QLineEdit*>();
  }
  TFolder* root = nullptr;
  TDevice* dev = nullptr;
};

TEST_F(BrowserEditTest, EnterOpensTheEditorWithTheValueSelected) {
  TVelaBrowser* b = Browser();
  QLineEdit* edit = OpenEditor(b, 1);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->isVisible());
  EXPECT_EQ(edit->text(), QStringLiteral("1"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("1"));
  EXPECT_EQ(b->MyEditLink, edit);
}

TEST_F(BrowserEditTest, TypingAndEnterWritesTheCell) {
  TVelaBrowser* b = Browser();
  QLineEdit* edit = OpenEditor(b, 1);
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, QStringLiteral("7"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dev->Universe, 7);
  EXPECT_FALSE(edit->isVisible());
  Settle();
  EXPECT_EQ(b->Model()->index(0, 1).data().toString(), QStringLiteral("7"));
}

TEST_F(BrowserEditTest, EscapeCancelsTheCell) {
  TVelaBrowser* b = Browser();
  QLineEdit* edit = OpenEditor(b, 1);
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, QStringLiteral("9"));
  QTest::keyClick(edit, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(dev->Universe, 1);
  EXPECT_TRUE(b->TreeView()->hasFocus());
}

TEST_F(BrowserEditTest, KindWithoutEditorOpensNothing) {
  TVelaBrowser* b = Browser();
  ClickCell(b, b->Model()->index(0, 4));
  QTest::keyClick(b->TreeView(), Qt::Key_Return);
  EXPECT_EQ(b->MyEditLink, nullptr);
  EXPECT_EQ(b->TreeView()->viewport()->findChild<QLineEdit*>(), nullptr);
  EXPECT_EQ(b->TreeView()->viewport()->findChild<QComboBox*>(), nullptr);
}

}  // namespace
