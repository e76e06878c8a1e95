// The bound choice box and check box driven by key and mouse input.
#include <QAbstractItemView>
#include <QTest>

#include "ControlFixtures.h"
#include "browser/VelaCheckBox.h"
#include "browser/VelaComboBox.h"
#include "framework/StatusList.h"

using namespace vela;
using namespace vela::testing;

namespace {

class ChoiceTest : public ControlTest {
 protected:
  void Bind(TsaComboBox& box) {
    box.SetFieldKind(FK_WordKind);
    box.SetFieldId(kChoice);
    box.SetMyObject(obj);
    ShowFocused(&box);
  }
};

QStringList Texts(const QComboBox& box) {
  QStringList texts;
  for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
  return texts;
}

TEST_F(ChoiceTest, OffersTheChoiceTextsAndShowsTheFieldValue) {
  TsaComboBox box;
  Bind(box);
  EXPECT_EQ(Texts(box), (QStringList{"Ten", "Twenty", "Thirty"}));
  EXPECT_EQ(box.currentText(), QStringLiteral("Twenty"));
}

TEST_F(ChoiceTest, PickingAnItemWithTheMouseWritesItsValue) {
  TsaComboBox box;
  Bind(box);
  box.showPopup();
  QAbstractItemView* list = box.view();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
  const QRect r = list->visualRect(list->model()->index(2, 0));
  QTest::mouseMove(list->viewport(), r.center());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(obj->Choice, 30);
  EXPECT_EQ(box.currentText(), QStringLiteral("Thirty"));
}

TEST_F(ChoiceTest, PickingAnItemWithTheKeysWritesItsValue) {
  TsaComboBox box;
  Bind(box);
  box.showPopup();
  QAbstractItemView* list = box.view();
  QTest::keyClick(list, Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(obj->Choice, 10);
  EXPECT_EQ(box.currentText(), QStringLiteral("Ten"));
}

TEST_F(ChoiceTest, ClosedBoxArrowKeyWritesAndTypedCharactersAreIgnored) {
  TsaComboBox box;
  Bind(box);
  QTest::keyClicks(&box, QStringLiteral("T"));
  EXPECT_EQ(obj->Choice, 20);
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(obj->Choice, 30);
}

TEST_F(ChoiceTest, NotificationAndStatusDeliveryReadTheValueAgain) {
  TsaComboBox box;
  Bind(box);
  obj->Choice = 10;
  obj->SetDataChanged(FK_WordKind, kChoice, false);
  EXPECT_EQ(box.currentText(), QStringLiteral("Ten"));
  TheStatusList()->AddStatusListener(obj, &box, {}, {ST(2)});
  obj->Choice = 30;
  obj->SetStatus(ST(2), true);
  StatusPass();
  EXPECT_EQ(box.currentText(), QStringLiteral("Thirty"));
}

TEST_F(ChoiceTest, HostItemsShowTheValueAsIndexAndWriteTheIndex) {
  TsaComboBox box;
  box.addItems({"a", "b", "c"});
  box.SetFieldKind(FK_Integer);
  box.SetFieldId(kInt);
  obj->Int = 1;
  box.SetMyObject(obj);
  ShowFocused(&box);
  EXPECT_EQ(box.currentText(), QStringLiteral("b"));
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(obj->Int, 2);
}

TEST_F(ChoiceTest, OnSetFieldTakesTheChoice) {
  TsaComboBox box;
  uint16_t seen = 0;
  box.OnSetField = [&](QObject*, TVelaObject*, TSFieldKind, uint32_t, const void* data) {
    std::memcpy(&seen, data, 2);
    return true;
  };
  Bind(box);
  QTest::keyClick(&box, Qt::Key_Up);
  EXPECT_EQ(seen, 10);
  EXPECT_EQ(obj->Choice, 20);
}

TEST_F(ChoiceTest, UnbindingClearsTheItems) {
  TsaComboBox box;
  Bind(box);
  box.SetMyObject(nullptr);
  EXPECT_EQ(box.count(), 0);
}

TEST_F(ChoiceTest, GraphicItemsAreTallAndFewer) {
  TsaComboBox box;
  box.SetDrawGr(true);
  Bind(box);
  EXPECT_EQ(box.maxVisibleItems(), 8);
  EXPECT_GE(box.view()->sizeHintForRow(0), 32);
}

// ---- check box

class CheckTest : public ControlTest {};

TEST_F(CheckTest, ClickTogglesABoolField) {
  TsaCheckBox box;
  box.SetFieldKind(FK_Bool);
  box.SetFieldId(kFlag);
  box.SetMyObject(obj);
  ShowFocused(&box);
  EXPECT_FALSE(box.isChecked());
  QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box.height() / 2));
  EXPECT_TRUE(obj->Flag);
  EXPECT_TRUE(box.isChecked());
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_FALSE(obj->Flag);
  EXPECT_FALSE(box.isChecked());
}

TEST_F(CheckTest, BitOfAByteFieldIsSetAndCleared) {
  TsaCheckBox box;
  box.SetFieldKind(FK_Byte);
  box.SetFieldId(kBits);
  box.SetBitOffset(3);
  box.SetMyObject(obj);
  ShowFocused(&box);
  EXPECT_FALSE(box.isChecked());
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_EQ(obj->Bits, 13);
  EXPECT_TRUE(box.isChecked());
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_EQ(obj->Bits, 5);
  EXPECT_FALSE(box.isChecked());
}

TEST_F(CheckTest, TheBoxFollowsTheObjectNotTheClick) {
  TsaCheckBox box;
  box.SetFieldKind(FK_Word);
  box.SetFieldId(kWord);
  box.SetBitOffset(0);
  obj->RefusedWord = 101;  // setting bit 0 of 100 is refused
  box.SetMyObject(obj);
  ShowFocused(&box);
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_EQ(obj->Word, 100);
  EXPECT_FALSE(box.isChecked());
  obj->Word = 1;
  obj->SetDataChanged(FK_Word, kWord, false);
  EXPECT_TRUE(box.isChecked());
}

TEST_F(CheckTest, UnboundBoxIgnoresClicks) {
  TsaCheckBox box;
  ShowFocused(&box);
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_FALSE(box.isChecked());
}

TEST_F(CheckTest, DeletingAnOwnerOfTheObjectUnbindsCheckAndChoiceBox) {
  TFields* child = SNew<TFields>();
  TFields* grandchild = SNew<TFields>();
  obj->CreateStdSubs();
  obj->SInsert(child);
  child->CreateStdSubs();
  child->SInsert(grandchild);
  TsaCheckBox check;
  check.SetFieldKind(FK_Bool);
  check.SetFieldId(kFlag);
  check.SetMyObject(grandchild);
  TsaComboBox choice;
  choice.SetFieldKind(FK_WordKind);
  choice.SetFieldId(kChoice);
  choice.SetMyObject(grandchild);
  ASSERT_EQ(check.MyObject(), grandchild);
  ASSERT_GT(choice.count(), 0);
  obj->SFree(child);
  EXPECT_EQ(check.MyObject(), nullptr);
  EXPECT_EQ(choice.MyObject(), nullptr);
  EXPECT_EQ(choice.count(), 0);
}

}  // namespace
