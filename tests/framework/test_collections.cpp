#include <gtest/gtest.h>

#include "framework/SBits.h"
#include "framework/sobjects.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"

using namespace vela;

namespace {

// Items with an integer key, sorted by it.
struct KeyItem : TSobject {
  explicit KeyItem(int k) : key(k) {}
  int key;
};

class KeySorted : public TSortedCollection {
 public:
  KeySorted() : TSortedCollection(4, 4) {}
  const void* KeyOf(const void* item) const override { return &static_cast<const KeyItem*>(item)->key; }
  int Compare(const void* a, const void* b) const override {
    return *static_cast<const int*>(a) - *static_cast<const int*>(b);
  }
};

// Counts destructions to prove which operations free.
int gFreed = 0;
struct Counted : TSobject {
  ~Counted() override { ++gFreed; }
};

}  // namespace

TEST(Collection, OutOfRangeIndexesAreSilent) {
  TSCollection c(2, 16);
  auto* a = new TSobject;
  c.Insert(a);
  EXPECT_EQ(c.At(1), nullptr);
  EXPECT_EQ(c.At(-1), nullptr);
  c.AtPut(5, a);
  c.AtInsert(3, a);
  c.AtDelete(-1);
  EXPECT_EQ(c.Count(), 1);
  EXPECT_EQ(c.At(0), a);
}

TEST(Collection, GrowsByDeltaAndNeverBelowCount) {
  TSCollection c(2, 16);
  for (int i = 0; i < 2; ++i) c.Insert(new TSobject);
  EXPECT_EQ(c.Limit(), 2);
  c.AtInsert(c.Count(), new TSobject);
  EXPECT_EQ(c.Limit(), 18);
  TSCollection d(8, 4);
  for (int i = 0; i < 8; ++i) d.Insert(new TSobject);
  d.SetLimit(5);
  EXPECT_EQ(d.Limit(), 8);
}

TEST(Collection, DeleteKeepsRemoveAndFreeAllFree) {
  gFreed = 0;
  {
    TSCollection c;
    auto* a = new Counted;
    auto* b = new Counted;
    c.Insert(a);
    c.Insert(b);
    c.Delete(a);
    EXPECT_EQ(gFreed, 0);
    EXPECT_EQ(c.Count(), 1);
    c.Remove(a);  // not in the collection any more: freed all the same
    EXPECT_EQ(gFreed, 1);
    c.AtDelete(0);
    EXPECT_EQ(c.At(0), nullptr);
    c.Insert(b);
  }
  EXPECT_EQ(gFreed, 2);  // the collection freed b on destruction
  TSCollection keep;
  keep.SetNotFreeAllOnDestroy(true);
  Counted stays;
  keep.Insert(&stays);
}

TEST(Collection, ForEachFirstThatLastThat) {
  TSCollection c;
  for (int k : {1, 2, 3, 2}) c.Insert(new KeyItem(k));
  int sum = 0;
  c.ForEach([&](void* p) { sum += static_cast<KeyItem*>(p)->key; });
  EXPECT_EQ(sum, 8);
  auto isTwo = [](void* p) { return static_cast<KeyItem*>(p)->key == 2; };
  EXPECT_EQ(c.FirstThat(isTwo), c.At(1));
  EXPECT_EQ(c.LastThat(isTwo), c.At(3));
  EXPECT_EQ(c.FirstThat([](void*) { return false; }), nullptr);
}

TEST(SortedCollection, DuplicatesAndInsertBehind) {
  struct Case {
    bool duplicates, behind;
    std::vector<int> expectedOrder;  // positions of the three equal-key items
  };
  for (const Case& tc : {Case{false, false, {0}}, Case{true, false, {2, 1, 0}}, Case{true, true, {0, 1, 2}}}) {
    KeySorted c;
    c.Duplicates = tc.duplicates;
    c.INSERTBEHIND = tc.behind;
    std::vector<KeyItem*> items{new KeyItem(7), new KeyItem(7), new KeyItem(7)};
    c.Insert(new KeyItem(9));
    c.Insert(new KeyItem(1));
    for (KeyItem* it : items) c.Insert(it);
    ASSERT_EQ(c.Count(), 2 + static_cast<int>(tc.expectedOrder.size()));
    for (size_t i = 0; i < tc.expectedOrder.size(); ++i) EXPECT_EQ(c.At(1 + static_cast<int>(i)), items[tc.expectedOrder[i]]);
    if (!tc.duplicates) {
      // The dropped items are still the caller's.
      EXPECT_EQ(c.IndexOf(items[1]), 1);  // an equal key counts as found
      delete items[1];
      delete items[2];
    } else {
      EXPECT_EQ(c.IndexOf(items[1]), c.ScanIndexOf(items[1]));
    }
  }
}

TEST(SortedCollection, SearchFindAndReSort) {
  KeySorted c;
  for (int k : {5, 3, 8}) c.Insert(new KeyItem(k));
  int idx = -1;
  int key = 4;
  EXPECT_FALSE(c.Search(&key, idx));
  EXPECT_EQ(idx, 1);
  key = 8;
  EXPECT_TRUE(c.Search(&key, idx));
  EXPECT_EQ(idx, 2);
  EXPECT_EQ(c.Find(&key), c.At(2));
  EXPECT_FALSE(c.Search(nullptr, idx));
  // Change keys behind the collection's back, then re-sort; an equal key drops out.
  std::vector<KeyItem*> all{static_cast<KeyItem*>(c.At(0)), static_cast<KeyItem*>(c.At(1)),
                            static_cast<KeyItem*>(c.At(2))};
  all[0]->key = 9;
  all[1]->key = 8;
  c.ReSort();
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.At(0), all[1]);  // the first of the equal keys stays
  EXPECT_EQ(c.At(1), all[0]);
  EXPECT_EQ(c.ScanIndexOf(all[2]), -1);  // dropped, and still the caller's
  delete all[2];
}

TEST(TempSortedCollection, SortProcKeyOfProcAndGuidOrder) {
  TTempSortedCollection c(4, 4, [](const void* a, const void* b) {
    return *static_cast<const int*>(b) - *static_cast<const int*>(a);  // descending
  });
  c.SetKeyOfProc([](const void* item) -> const void* { return &static_cast<const KeyItem*>(item)->key; });
  for (int k : {1, 3, 2}) c.Insert(new KeyItem(k));
  EXPECT_EQ(static_cast<KeyItem*>(c.At(0))->key, 3);
  EXPECT_EQ(static_cast<KeyItem*>(c.At(2))->key, 1);

  const int32_t g1[4] = {1, 2, 3, 4}, g2[4] = {1, 2, -3, 9}, g3[4] = {1, 2, 3, 4};
  EXPECT_GT(TTempSortedCollection::SortByGuidProc(g1, g2), 0);  // signed: 3 > -3
  EXPECT_EQ(TTempSortedCollection::SortByGuidProc(g1, g3), 0);
}

TEST(Registry, FirstRegistrationWinsAndNames) {
  EXPECT_EQ(GetClassOfType(101), TVelaObject::StaticClass());
  RegisterObjType(101, TSCollection::StaticClass(), "other");
  EXPECT_EQ(GetClassOfType(101), TVelaObject::StaticClass());
  EXPECT_EQ(ObjectRegistry()->GetclassHumanName(9999), "??");
  EXPECT_EQ(ObjTypeHumanName(101), "");
  EXPECT_EQ(ObjTypeOfClass(TSortedCollection::StaticClass()), 3u);
  EXPECT_EQ(ObjTypeOfClass(TSobjcoll::StaticClass()), 0u);  // not registered
  EXPECT_TRUE(ClassIs(4, 3));
  EXPECT_TRUE(ClassIs(4, 2));
  EXPECT_FALSE(ClassIs(2, 4));
  EXPECT_FALSE(ClassIs(4, 9999));
  TSobject* made = SNew<TWordIdColl>();
  EXPECT_EQ(made->Objtype(), 4u);
  FreeObj(made);
}

TEST(SBits, GrowthRangeAndOpenBit) {
  TSBits bits;
  bits.SetBit(40, true);
  EXPECT_EQ(bits.Size(), 41);
  EXPECT_EQ(bits.WordCount(), 2);
  EXPECT_TRUE(bits.Bit(40));
  try {
    bits.Bit(41);
    FAIL() << "no range error";
  } catch (const EVelaAssertion& e) {
    EXPECT_EQ(e.Text(), "BitIndex out of range");
  }
  EXPECT_THROW(bits.SetBit(-1, true), EVelaAssertion);
  EXPECT_THROW(bits.SetSize(-1), EVelaAssertion);
  TSBits full;
  for (int i = 0; i < 33; ++i) full.SetBit(i, true);
  EXPECT_EQ(full.OpenBit(), 33);
  full.SetBit(5, false);
  EXPECT_EQ(full.OpenBit(), 5);
  full.Clear();
  EXPECT_EQ(full.Size(), 33);
  EXPECT_EQ(full.OpenBit(), 0);
}
