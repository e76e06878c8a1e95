#include <QTemporaryDir>

#include "TreeFixtures.h"
#include "platform/Assertion.h"
#include "platform/Storage.h"

using namespace vela;
using namespace vela::testing;

TEST_F(TreeTest, NewObjectState) {
  TSOwned<TVelaObject> plain(SNew<TVelaObject>());
  EXPECT_EQ(plain->DataFlags(), TD_FLAGS{S_NotSaved});
  EXPECT_EQ(plain->StatusFlags(), TSD_FLAGS{});
  EXPECT_EQ(plain->Subcount(), -1);
  EXPECT_EQ(plain->Objtype(), 101u);
  EXPECT_TRUE(log.empty());  // construction raises nothing
}

TEST_F(TreeTest, NamingRules) {
  struct TUnregistered : TVelaObject {};
  TSOwned<TVelaObject> plain(SNew<TVelaObject>());
  TSOwned<TVelaObject> named(SNew<TSortedNode>());
  EXPECT_EQ(plain->GetName(), "[TVelaObject]");
  EXPECT_EQ(named->GetName(), "Sorted node");  // the type's display name
  TSOwned<TVelaObject> bad(SNew<TVelaObject>());
  bad->ConvertToType(9999);
  EXPECT_EQ(bad->GetName(), "??");
  plain->SetName("Desk");
  EXPECT_EQ(plain->GetName(), "Desk");
  EXPECT_EQ(plain->FF(FK_Text, 0), "Desk");
}

TEST_F(TreeTest, SetNameNotifiesOnceAndMarks) {
  TSOwned<TNode> n(SNew<TNode>("A"));
  n->SetDataFlagsRaw({});
  n->SetName("A");
  EXPECT_TRUE(log.empty());
  n->SetName("B");
  EXPECT_EQ(Messages(), std::vector<uint32_t>{SOM_NameChanged});
  EXPECT_TRUE(n->DataFlags().HasAll({S_NameDirty, S_NotSaved}));
}

TEST_F(TreeTest, InsertFreeDeleteNotificationsInOrder) {
  TSOwned<TNode> root(SNew<TNode>("root"));
  TNode* a = SNew<TNode>("a");
  root->SInsert(a);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Msg, SOM_Inserted);
  EXPECT_EQ(log[0].Obj, a);
  EXPECT_EQ(log[0].Second, 0);  // the owner of the inserting object: none
  EXPECT_EQ(a->SOwner(), root.get());

  TNode* b = SNew<TNode>("b");
  root->SInsert(b);
  log.clear();
  root->SFree(a);
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{SOM_ToBeDeleted, SOM_Deleted}));
  EXPECT_EQ(log[1].Obj, root.get());
  EXPECT_EQ(log[1].Second, reinterpret_cast<intptr_t>(a));
  EXPECT_EQ(root->Subcount(), 1);

  log.clear();
  root->SDelete_(b);
  ASSERT_EQ(Messages(), (std::vector<uint32_t>{SOM_ToBeDeleted, SOM_Deleted}));
  EXPECT_EQ(log[0].Second, reinterpret_cast<intptr_t>(root.get()));
  EXPECT_EQ(b->SOwner(), nullptr);
  FreeObj(b);
  // A free-standing root raises SOM_ToBeDeleted when it goes.
  ASSERT_EQ(log.back().Msg, SOM_ToBeDeleted);
  EXPECT_EQ(log.back().Obj, b);
}

TEST_F(TreeTest, InsertAndRemoveEdgeCases) {
  TSOwned<TNode> root(SNew<TNode>());
  TSOwned<TNode> other(SNew<TNode>());
  TSOwned<TVelaObject> leaf(SNew<TVelaObject>());  // no sub collection
  EXPECT_EQ(root->SInsert(nullptr), nullptr);
  EXPECT_EQ(root->SAtInsert(nullptr, 0), nullptr);
  root->SAtInsert(SNew<TNode>("x"), 0);
  TNode* y = SNew<TNode>("y");
  EXPECT_EQ(root->SAtInsert(y, root->Subcount() + 1), nullptr);
  EXPECT_EQ(root->Subcount(), 1);
  EXPECT_EQ(root->SAtInsert(y, root->Subcount()), y);  // Subcount appends
  EXPECT_EQ(root->Sub(1), y);
  TNode* z = SNew<TNode>("z");
  EXPECT_EQ(leaf->SAtInsert(z, 0), z);  // no subs: returned, not inserted
  EXPECT_EQ(z->SOwner(), nullptr);
  FreeObj(z);
  log.clear();
  other->SFree(y);  // not other's sub: nothing happens, nothing is destroyed
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(y->SOwner(), root.get());
  EXPECT_EQ(root->SIndexof(y), 1);
  EXPECT_EQ(y->OwnerIndex(), 1);
  EXPECT_EQ(root->FF(FK_Integer, 0), "0");  // a root has no index: -1 + 1
  EXPECT_EQ(y->FF(FK_Integer, 0), "2");
}

TEST_F(TreeTest, DataChangeMarksEveryOwner) {
  TSOwned<TNode> top(SNew<TNode>());
  TNode* mid = static_cast<TNode*>(top->SInsert(SNew<TNode>()));
  TNode* low = static_cast<TNode*>(mid->SInsert(SNew<TNode>()));
  TNode* leaf = static_cast<TNode*>(low->SInsert(SNew<TNode>()));
  leaf->SetDataChanged(FK_Text, 0, true);
  for (TVelaObject* o : {static_cast<TVelaObject*>(top.get()), static_cast<TVelaObject*>(mid),
                         static_cast<TVelaObject*>(low)})
    EXPECT_TRUE(o->StatusFlags().Has(VS_ChildrenDataDirty));
  EXPECT_FALSE(leaf->StatusFlags().Has(VS_ChildrenDataDirty));
  EXPECT_TRUE(leaf->DataFlags().Has(S_SomethingDirty));
  EXPECT_TRUE(top->NotSaved());
  top->ResetNotSaved();
  EXPECT_FALSE(leaf->DataFlags().Has(S_NotSaved));
}

TEST_F(TreeTest, ScanSubsLevelSets) {
  TSOwned<TNode> root(SNew<TNode>("r"));
  TNode* a = static_cast<TNode*>(root->SInsert(SNew<TNode>("a")));
  a->SInsert(SNew<TNode>("a1"));
  root->SInsert(SNew<TNode>("b"));
  struct Case {
    TSlSet lev;
    QString visited;
  };
  for (const Case& c : {Case{{SLev_0}, "r"}, Case{{SLev_1}, "ab"}, Case{{SLev_0, SLev_1}, "rab"},
                        Case{{SLev_1, Slev_all}, "aa1b"}, Case{{SLev_0, SLev_1, Slev_all}, "raa1b"}}) {
    QString seen;
    root->ScanSubs([&](TVelaObject* o) { return seen += o->GetName(), false; }, c.lev);
    EXPECT_EQ(seen, c.visited);
  }
  // A throwing visitor counts as not found; the walk goes on with the next sub.
  QString seen;
  const bool found = root->ScanSubs(
      [&](TVelaObject* o) {
        seen += o->GetName();
        if (o->GetName() == "a") throw std::runtime_error("x");
        return o->GetName() == "b";
      },
      {SLev_1, Slev_all}, true);
  EXPECT_TRUE(found);
  EXPECT_EQ(seen, "ab");
}

TEST_F(TreeTest, TemporaryRootRaisesNothingWhenFreed) {
  TNode* t = SNew<TNode>();
  t->SetTemporary(true);
  FreeObj(t);
  EXPECT_TRUE(log.empty());
}

TEST_F(TreeTest, DestructionMarksSubtreeBeforeRelease) {
  TNode* root = SNew<TNode>();
  TNode* sub = static_cast<TNode*>(root->SInsert(SNew<TNode>()));
  bool subWasDestroying = false;
  FrameworkHooks().Notify = [&](uint32_t m, TVelaObject* o, intptr_t, int32_t) {
    if (m == SOM_ToBeDeleted && o == root) subWasDestroying = sub->StatusFlags().Has(VS_Destroying);
  };
  FreeObj(root);
  EXPECT_TRUE(subWasDestroying);
}

TEST_F(TreeTest, EqComparesTypeNamesAndSubs) {
  TSOwned<TNode> a(SNew<TNode>("same"));
  TSOwned<TNode> b(SNew<TNode>("same"));
  b->SInsert(SNew<TNode>());
  EXPECT_TRUE(a->EQ(b.get(), {EQ_CheckName}));
  EXPECT_FALSE(a->EQ(b.get(), {EQ_CheckName, EQ_CheckSubs}));
  EXPECT_FALSE(a->EQ(nullptr, {}));
  TSOwned<TVelaObject> other(SNew<TVelaObject>());
  EXPECT_FALSE(a->EQ(other.get(), {}));
}

TEST_F(TreeTest, UniqueSubIdsAreAssignedOnInsert) {
  TSOwned<TUniqueNode> owner(SNew<TUniqueNode>());
  auto* a = static_cast<TNode*>(owner->SInsert(SNew<TNode>()));
  auto* b = static_cast<TNode*>(owner->SInsert(SNew<TNode>()));
  auto* c = SNew<TNode>();
  c->fWordId = 10;
  owner->SInsert(c);
  EXPECT_EQ(a->WordId(), 10);
  EXPECT_EQ(b->WordId(), 11);
  EXPECT_EQ(c->WordId(), 12);
  // Validation refuses a taken id; without validation it is written.
  uint16_t taken = 10;
  EXPECT_FALSE(b->DoSetField(true, FK_Word, 0, &taken));
  EXPECT_EQ(b->WordId(), 11);
  EXPECT_TRUE(b->DoSetField(false, FK_Word, 0, &taken));
  EXPECT_EQ(b->WordId(), 10);
}

TEST_F(TreeTest, SearchingUpAndDown) {
  TSOwned<TSortedNode> root(SNew<TSortedNode>());
  auto* mid = SNew<TNode>("mid");
  mid->fWordId = 4;
  root->SInsert(mid);
  auto* leaf = static_cast<TNode*>(mid->SInsert(SNew<TUniqueNode>()));
  EXPECT_EQ(leaf->FindOwnerType(60103), root.get());
  EXPECT_EQ(leaf->FindOwnerType(60103, 2), nullptr);  // two levels: leaf and mid
  EXPECT_TRUE(leaf->HasOwner(root.get()));
  EXPECT_FALSE(leaf->HasOwner(nullptr));
  EXPECT_TRUE(leaf->HasOwnerType(60101));
  EXPECT_FALSE(leaf->HasOwnerType(-1));
  EXPECT_EQ(leaf->FindOwnerTypeInherit(60101), leaf);  // TUniqueNode inherits TNode
  EXPECT_EQ(root->FindSubType(60102), nullptr);
  EXPECT_EQ(root->FindSubType(60102, true), leaf);
  EXPECT_EQ(root->GetWordIdSub(4), mid);
  EXPECT_EQ(root->GetWordIdSub(5), nullptr);
  EXPECT_EQ(leaf->ParentPath(60103), "Sorted node\\mid\\[TUniqueNode]");
  EXPECT_EQ(leaf->FindOwnerSubId(60103, 60101, 4), nullptr);  // mid's subs have id 0
  EXPECT_TRUE(leaf->IsInherit(TNode::StaticClass()));
}

TEST_F(TreeTest, WordIdChangeResortsInWordIdCollection) {
  TSOwned<TSortedNode> root(SNew<TSortedNode>());
  TNode* n[3];
  for (int i = 0; i < 3; ++i) {
    n[i] = SNew<TNode>();
    n[i]->fWordId = static_cast<uint16_t>(i + 1);
    root->SInsert(n[i]);
  }
  n[0]->SetDataFlagsRaw({});
  uint16_t id = 9;
  EXPECT_FALSE(n[0]->DoSetField(true, FK_Word, 0, &id));  // the sort key of a no-duplicates owner
  EXPECT_TRUE(n[0]->DoSetField(false, FK_Word, 0, &id));
  EXPECT_EQ(root->Sub(2), n[0]);
  EXPECT_TRUE(n[0]->DataFlags().Has(S_SortDirty));
  // An equal key does not lose the object.
  id = 2;
  n[0]->DoSetField(false, FK_Word, 0, &id);
  EXPECT_EQ(root->Subcount(), 3);
  EXPECT_GE(root->SIndexof(n[0]), 0);
}

TEST_F(TreeTest, SetSubobjectsKeepsOldUntilReleased) {
  TSOwned<TNode> owner(SNew<TNode>());
  TNode* old = static_cast<TNode*>(owner->SInsert(SNew<TNode>()));
  auto* fresh = SNew<TSCollection>();
  fresh->Insert(SNew<TNode>("new"));
  log.clear();
  owner->SetSubobjects(fresh);
  EXPECT_EQ(Messages(), std::vector<uint32_t>{SOM_SubsDirty});
  EXPECT_EQ(owner->Sub(0)->SOwner(), owner.get());
  ASSERT_NE(owner->OldSubsCollection(), nullptr);
  EXPECT_EQ(old->SOwner(), owner.get());  // still alive for the views
  owner->ReleaseOldSubs();
  EXPECT_EQ(owner->OldSubsCollection(), nullptr);
}

TEST_F(TreeTest, NullSubIsAnAssertion) {
  TSOwned<TNode> owner(SNew<TNode>());
  owner->Subobjects()->Insert(nullptr);
  EXPECT_THROW(owner->SetSubOwner(), EVelaAssertion);
  owner->Subobjects()->AtDelete(0);
}

TEST_F(TreeTest, ExchangeAndMove) {
  TSOwned<TNode> a(SNew<TNode>("a"));
  TSOwned<TNode> b(SNew<TNode>("b"));
  TNode* x = static_cast<TNode*>(a->SInsert(SNew<TNode>("x")));
  log.clear();
  b->MoveSub(x, true, -1, true);
  EXPECT_EQ(a->Subcount(), 0);
  EXPECT_EQ(b->Sub(0), x);
  EXPECT_EQ(x->SOwner(), b.get());
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{SOM_ToBeDeleted, SOM_Inserted}));

  TVelaObject* slot = SNew<TNode>("old");
  log.clear();
  TNode* repl = SNew<TNode>("repl");
  a->ExchangeObject(slot, repl);
  EXPECT_EQ(slot, repl);
  EXPECT_EQ(repl->SOwner(), a.get());
  // The replaced object had no owner, so its destruction is announced too.
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{SOM_Exchanged, SOM_ToBeDeleted}));
  repl->SetSOwner(nullptr);
  FreeObj(repl);
}

TEST_F(TreeTest, CommandsNeedAHook) {
  TSOwned<TNode> n(SNew<TNode>());
  EXPECT_FALSE(n->DispatchCommand(3, 4));
  uint32_t seen = 0;
  FrameworkHooks().CommandLong = [&](TVelaObject*, uint32_t d) { return seen = d, true; };
  EXPECT_TRUE(n->DispatchCommand(0xFFFF, 77));  // 0xFFFF takes the long form
  EXPECT_EQ(seen, 77u);
  FrameworkHooks().CommandLong = nullptr;
}

TEST_F(TreeTest, XmlStorageRoundTrip) {
  QTemporaryDir dir;
  auto storage = TSettingsStorage::OpenIni(dir.filePath("tree.ini"));
  TSOwned<TNode> root(SNew<TNode>("root"));
  root->SInsert(SNew<TNode>("first"));
  TNode* second = static_cast<TNode*>(root->SInsert(SNew<TNode>()));
  second->SInsert(SNew<TNode>("deep"));
  root->SInsert(SNew<TNode>("third"));
  EXPECT_EQ(root->Sub(2)->XmlPath(), "60101#2");
  root->StoreToXml(*storage);
  EXPECT_EQ(storage->CurrentPath(), "");

  TSOwned<TNode> back(SNew<TNode>());
  storage->SetCurrentPath(root->XmlPath());
  back->LoadFromXml(*storage, true, true);
  EXPECT_EQ(back->GetName(), "root");
  ASSERT_EQ(back->Subcount(), 3);
  EXPECT_EQ(back->Sub(0)->GetName(), "first");
  EXPECT_FALSE(back->Sub(1)->NameAssigned());
  ASSERT_EQ(back->Sub(1)->Subcount(), 1);
  EXPECT_EQ(back->Sub(1)->Sub(0)->GetName(), "deep");
}
