#include <QLocale>
#include <cstring>

#include "TreeFixtures.h"
#include "framework/FieldValues.h"
#include "platform/DateTime.h"

using namespace vela;
using namespace vela::testing;

namespace {

// One stored value of every kind the base rules handle, at field id 7.
class TAllKinds : public TNode {
  VELA_CLASS(TAllKinds, TNode)
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override {
    if (id != 7) return TNode::GetFieldPointer(k, id, p);
    switch (k) {
      case FK_Text: p = &text; return true;
      case FK_Byte: case FK_ByteKind: case FK_ByteBits: p = &byte; return true;
      case FK_Bool: p = &flag; return true;
      case FK_Word: case FK_WordKind: case FK_WordBits: case FK_ProsWord: p = &word; return true;
      case FK_SmallInt: p = &small; return true;
      case FK_Integer: case FK_IntegerKind: p = &integer; return true;
      case FK_LongWord: case Fk_LongBits: p = &longword; return true;
      case FK_ShortInt: p = &shortint; return true;
      case FK_TimeDate: case FK_Date: case FK_Pros1000: p = &days; return true;
      case FK_Single: p = &single; return true;
      case FK_Color: p = color; return true;
      default: return false;
    }
  }
  QString FC(TSFieldKind, uint32_t, int index, int32_t& id) override {
    static const char* names[] = {"Off", "Slow", "Fast"};
    if (index == -1) return id >= 0 && id < 3 ? names[id] : QString();
    if (index < 0 || index >= 3) return QString();
    id = index;
    return names[index];
  }
  QString text;
  uint8_t byte = 0;
  bool flag = false;
  uint16_t word = 0;
  int16_t small = 0;
  int32_t integer = 0;
  uint32_t longword = 0;
  int8_t shortint = 0;
  double days = 0;
  float single = 0;
  uint8_t color[3] = {};
};

}  // namespace

VELA_CLASS_IMPL(TAllKinds, TNode)

class FieldTest : public TreeTest {
 protected:
  void SetUp() override {
    TreeTest::SetUp();
    QLocale::setDefault(QLocale::c());
  }
  TSOwned<TAllKinds> obj{SNew<TAllKinds>()};
};

TEST_F(FieldTest, FormattedTextsByKind) {
  struct Case {
    std::function<void(TAllKinds&)> set;
    TSFieldKind kind;
    int bit;
    QString text;
  };
  const double second = 1.0 / 86400.0;
  const std::vector<Case> cases = {
      {[](TAllKinds& o) { o.byte = 200; }, FK_Byte, 0, "200"},
      {[](TAllKinds& o) { o.byte = 0x05; }, FK_ByteBits, 0, "1,3"},
      {[](TAllKinds& o) { o.byte = 0; }, FK_ByteBits, 0, ""},
      {[](TAllKinds& o) { o.byte = 0x04; }, FK_Byte, 3, "On"},
      {[](TAllKinds& o) { o.byte = 0x04; }, FK_Byte, 2, "Off"},
      {[](TAllKinds& o) { o.small = -5; }, FK_SmallInt, 3, "NoBit"},
      {[](TAllKinds& o) { o.flag = true; }, FK_Bool, 0, "On"},
      {[](TAllKinds& o) { std::memset(&o.flag, 5, 1); }, FK_Bool, 0, "On"},
      {[](TAllKinds& o) { o.small = -300; }, FK_SmallInt, 0, "-300"},
      {[](TAllKinds& o) { o.longword = 4000000000u; }, FK_LongWord, 0, "4000000000"},
      {[](TAllKinds& o) { o.shortint = -12; }, FK_ShortInt, 0, "-12"},
      {[&](TAllKinds& o) { o.days = 0.5 * second; }, FK_TimeDate, 0, "00:00.50"},
      {[&](TAllKinds& o) { o.days = 3723 * second; }, FK_TimeDate, 0, "01:02:03"},
      {[](TAllKinds& o) { o.days = 0; }, FK_TimeDate, 0, ""},
      {[](TAllKinds& o) { o.single = 3.14159f; }, FK_Single, 0, "3.14"},
      {[](TAllKinds& o) { o.word = 1000; }, FK_ProsWord, 0, "  %  "},
      {[](TAllKinds& o) { o.word = 5; }, FK_ProsWord, 0, " 0.5%"},
      {[](TAllKinds& o) { o.word = 2000; }, FK_ProsWord, 0, " 200%"},
      {[](TAllKinds& o) { o.word = 2; }, FK_WordKind, 0, "Fast"},
      {[](TAllKinds& o) { o.text = "abc"; }, FK_Text, 0, "abc"},
      {[](TAllKinds& o) { o.color[0] = 1; }, FK_Color, 0, ""},
      {[](TAllKinds&) {}, FK_Guid, 0, "??"},  // not answered by this class
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    cases[i].set(*obj);
    EXPECT_EQ(obj->FF(cases[i].kind, 7, cases[i].bit), cases[i].text) << "case " << i;
  }
  // Unanswered integer kinds format FN; others "??".
  EXPECT_EQ(obj->FF(FK_Byte, 99), "0");
  EXPECT_EQ(obj->FF(FK_Calculated, 99), "??");
  EXPECT_EQ(obj->FN(FK_FieldImage, 7), -1);
}

TEST_F(FieldTest, NumbersByKind) {
  obj->color[0] = 1;
  obj->color[1] = 2;
  obj->color[2] = 3;
  EXPECT_EQ(obj->FN(FK_Color, 7), 65536 + 2 * 256 + 3);
  obj->days = 1.5 / 86400.0;
  EXPECT_EQ(obj->FN(FK_TimeDate, 7), 1500);
  obj->days = 3.9;
  EXPECT_EQ(obj->FN(FK_Pros1000, 7), 3);
  EXPECT_EQ(obj->FN(FK_Single, 7), 0);
  std::memset(&obj->flag, 5, 1);
  EXPECT_EQ(obj->FN(FK_Bool, 7), 1);
}

TEST_F(FieldTest, WritesStoreByTheSetRules) {
  uint8_t five = 5;
  EXPECT_TRUE(obj->DoSetField(true, FK_Bool, 7, &five));
  uint8_t raw = 0;
  std::memcpy(&raw, &obj->flag, 1);
  EXPECT_EQ(raw, 1);  // normalised

  const double tiny = 0.004 / 86400.0;
  obj->DoSetField(false, FK_TimeDate, 7, &tiny);
  EXPECT_EQ(obj->days, 0.0);
  const double date = 45000.75;
  obj->DoSetField(false, FK_Date, 7, &date);
  EXPECT_EQ(obj->days, 45000.0);

  // Bit kinds take a set/clear flag followed by the mask.
  uint8_t setBits[3] = {1, 0x0A, 0};
  obj->DoSetField(false, FK_ByteBits, 7, setBits);
  EXPECT_EQ(obj->byte, 0x0A);
  uint8_t clearBits[3] = {0, 0x02, 0};
  obj->DoSetField(false, FK_ByteBits, 7, clearBits);
  EXPECT_EQ(obj->byte, 0x08);

  // An unchanged value raises nothing; a changed one one data change; an
  // unanswered pair still notifies.
  log.clear();
  uint16_t w = 0;
  obj->DoSetField(false, FK_Word, 7, &w);
  EXPECT_TRUE(log.empty());
  w = 3;
  obj->DoSetField(false, FK_Word, 7, &w);
  EXPECT_EQ(Messages(), std::vector<uint32_t>{SOM_DataChanged});
  log.clear();
  obj->DoSetField(false, FK_Command, 1234);
  EXPECT_EQ(Messages(), std::vector<uint32_t>{SOM_DataChanged});

  const QString name = "renamed";
  log.clear();
  obj->DoSetField(false, FK_Text, 0, &name);
  EXPECT_EQ(obj->GetName(), "renamed");
  EXPECT_EQ(Messages(), std::vector<uint32_t>{SOM_NameChanged});
}

TEST_F(FieldTest, IncrementsClampAndReport) {
  struct Case {
    TSFieldKind kind;
    std::function<void(TAllKinds&)> set;
    int inc;
    bool changed;
    std::function<double(TAllKinds&)> get;
    double expected;
  };
  auto byte = [](TAllKinds& o) { return double(o.byte); };
  auto word = [](TAllKinds& o) { return double(o.word); };
  auto sm = [](TAllKinds& o) { return double(o.small); };
  auto sh = [](TAllKinds& o) { return double(o.shortint); };
  auto lw = [](TAllKinds& o) { return double(o.longword); };
  const std::vector<Case> cases = {
      {FK_Byte, [](TAllKinds& o) { o.byte = 250; }, 10, true, byte, 255},
      {FK_Byte, [](TAllKinds& o) { o.byte = 255; }, 10, false, byte, 255},
      {FK_Byte, [](TAllKinds& o) { o.byte = 3; }, -10, true, byte, 0},
      {FK_Word, [](TAllKinds& o) { o.word = 65530; }, 100, true, word, 65535},
      {FK_SmallInt, [](TAllKinds& o) { o.small = -32760; }, -100, true, sm, -32767},
      {FK_ShortInt, [](TAllKinds& o) { o.shortint = 120; }, 50, true, sh, 127},
      {FK_ShortInt, [](TAllKinds& o) { o.shortint = -127; }, -1, false, sh, -127},
      {FK_LongWord, [](TAllKinds& o) { o.longword = 5; }, -10, true, lw, 0},
      {FK_ProsWord, [](TAllKinds& o) { o.word = 995; }, 10, true, word, 1095},
      {FK_ProsWord, [](TAllKinds& o) { o.word = 10; }, -20, true, word, 0},
      {FK_Single, [](TAllKinds& o) { o.single = 1; }, 5, true, [](TAllKinds& o) { return double(o.single); }, 1.5},
      {FK_TimeDate, [](TAllKinds& o) { o.days = 0; }, -5, false, [](TAllKinds& o) { return o.days; }, 0},
      {FK_TimeDate, [](TAllKinds& o) { o.days = 0; }, 10, true,
       [](TAllKinds& o) { return std::round(o.days * 86400.0); }, 1},
      {FK_Bool, [](TAllKinds& o) { o.flag = false; }, 1, false, [](TAllKinds& o) { return double(o.flag); }, 0},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    cases[i].set(*obj);
    log.clear();
    EXPECT_EQ(obj->DoIncField(true, cases[i].kind, 7, 0, cases[i].inc), cases[i].changed) << "case " << i;
    EXPECT_DOUBLE_EQ(cases[i].get(*obj), cases[i].expected) << "case " << i;
    if (cases[i].changed) {
      EXPECT_EQ(Messages(), (std::vector<uint32_t>{SOM_DataInc, SOM_DataChanged})) << i;
    }
  }
  EXPECT_FALSE(obj->DoIncField(true, FK_Byte, 7, 0, 0));  // a zero step
}

TEST_F(FieldTest, DefaultDefinitionAndLists) {
  TLParamDef arr;
  TParamsOpt opt;
  EXPECT_EQ(obj->DefaultPDef(arr, opt), 1);
  ASSERT_EQ(arr.size(), 1u);
  EXPECT_EQ(arr[0].Head, "Name");
  EXPECT_EQ(arr[0].SizeX, 136);
  EXPECT_EQ(arr[0].Alignment, taLeftJustify);
  EXPECT_EQ(arr[0].Part, obj.get());
  int index = 0;
  obj->AddArrData(arr, index, FK_Word, 3, "Level", 40, {LPE_Edit}, {}, {}, nullptr);
  EXPECT_EQ(arr[1].SizeX, 40);
  EXPECT_EQ(arr[1].Alignment, taCenter);

  auto* a = static_cast<TNode*>(obj->SInsert(SNew<TNode>("first")));
  auto* b = static_cast<TNode*>(obj->SInsert(SNew<TNode>("second")));
  a->fWordId = 4;
  b->fWordId = 9;
  const TSelectionList list = obj->SubList(FK_Word, 0, false, true, true, false);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Text, "----");
  EXPECT_EQ(list[0].Value, 0);
  EXPECT_EQ(list[1].Text, "first");
  EXPECT_EQ(list[1].Value, 5);
  EXPECT_EQ(list[2].Value, 10);

  const TSelectionList choices = obj->GetSelectionList(FK_WordKind, 7, opt);
  ASSERT_EQ(choices.size(), 3u);
  EXPECT_EQ(choices[2].Text, "Fast");
  EXPECT_EQ(choices[2].Value, 2);
  EXPECT_EQ(obj->GetSelectionList(FK_Integer, 1002, opt).size(), 2u);

  EXPECT_LT(a->SortCompare(b, FK_Text, 0), 0);
  EXPECT_LT(a->SortCompare(b, FK_Word, 0), 0);
  EXPECT_EQ(a->SortCompare(b, FK_Guid, 0), 0);
  EXPECT_EQ(b->FF(FK_Integer, 0), "2");
  EXPECT_EQ(b->FN(FK_Integer, 0), 1);
}

TEST_F(FieldTest, ReservedPairsAndBaseAnswers) {
  obj->SetName("desk");
  EXPECT_EQ(obj->FF(FK_Special, 1101), "desk");
  EXPECT_EQ(obj->FF(FK_Special, 1102), "");
  EXPECT_EQ(obj->FF(FK_Special, 1105), "??");  // the class is not registered
  EXPECT_EQ(obj->SFName(FK_Text, 0), "Name");
  EXPECT_EQ(obj->SFName(FK_Word, 0), "ID");
  EXPECT_EQ(obj->RQ(RQ_FirstSubId), 1);
  EXPECT_EQ(obj->RQ(RQ_DeleteDenied), 0);
  EXPECT_EQ(obj->FNObject(FK_Subobject, 65535), nullptr);  // only FK_Graphic holds objects
  void* p = nullptr;
  EXPECT_TRUE(obj->GetFieldPointer(FK_Subobject, 65535, p));
  EXPECT_EQ(p, obj.get());
  EXPECT_EQ(obj->TrackOwner(), nullptr);
  EXPECT_TRUE(obj->ToggleBool(true, 7));
  EXPECT_TRUE(obj->flag);
  obj->byte = 0;
  obj->ToggleBit(true, FK_Byte, 7, 3);
  EXPECT_EQ(obj->byte, 4);
  EXPECT_FALSE(obj->ToggleBit(true, FK_Byte, 7, 0));
}
