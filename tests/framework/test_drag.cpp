// Object drag and drop: the drag object, the collection of dragged objects,
// the drop questions and drops, and the painting of pictures in cells.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "DropMenuFixtures.h"
#include "platform/Assertion.h"

using namespace vela;
using namespace vela::testing;

namespace {

// A node whose field (FK_UniqueId, 3) refers to another object.
class TRefNode : public TNode {
 public:
  TVelaObject* RefByFieldId(TSFieldKind k, uint32_t id, int param) override {
    if (k == FK_UniqueId && id == 3) return Target;
    return TNode::RefByFieldId(k, id, param);
  }
  TVelaObject* Target = nullptr;
};

// Paints a red picture for (FK_Graphic, 0) and remembers the request.
class TPictureNode : public TNode {
 public:
  bool PaintImage(QPainter* canvas, const QRect& bounds, TSFieldKind k, uint32_t id, int index,
                  const void* data) override {
    lastIndex = index;
    lastBounds = bounds;
    lastData = data;
    if (k != FK_Graphic || id != 0) return false;
    canvas->fillRect(bounds, Qt::red);
    return true;
  }
  int lastIndex = -100;
  QRect lastBounds;
  const void* lastData = nullptr;
};

using DragTest = DropMenuTest;

std::weak_ptr<void> Alive(TVelaObject* obj) { return obj->AliveToken(); }

// ---------------------------------------------------------------------------
// TSDrag

TEST_F(DragTest, DragOfAnObjectKeepsItsField) {
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool expanded) { return expanded ? 99 : 12; };
  TSOwned<TNode> obj(SNew<TNode>("Lamp"));
  TSDrag* drag = TSDrag::Create(obj.get(), FK_Word, 7);
  EXPECT_EQ(drag->DragObj(), obj.get());
  EXPECT_EQ(drag->DragFKind(), FK_Word);
  EXPECT_EQ(drag->DragFId(), 7u);
  EXPECT_EQ(drag->DragImageIndex(), 12);
  const TSDropMode mode = drag->GetDMode(dmAbove);
  EXPECT_EQ(mode.DMode, dmAbove);
  EXPECT_EQ(mode.DFK, FK_Word);
  EXPECT_EQ(mode.DID, 7u);
  drag->SetDragFKind(FK_Byte);
  drag->SetDragFId(2);
  EXPECT_EQ(drag->GetDMode(dmOnNode).DFK, FK_Byte);
  EXPECT_EQ(drag->GetDMode(dmOnNode).DID, 2u);
  drag->Finished(nullptr, 0, 0, false);
  EXPECT_EQ(obj->NameIfName(), "Lamp");  // a single object outlives its drag
}

TEST_F(DragTest, DraggingAReferenceFieldDragsTheReferencedObject) {
  TSOwned<TNode> target(SNew<TNode>("Target"));
  TSOwned<TRefNode> holder(SNew<TRefNode>());
  holder->Target = target.get();
  TSDrag* drag = TSDrag::Create(holder.get(), FK_UniqueId, 3);
  EXPECT_EQ(drag->DragObj(), target.get());
  EXPECT_EQ(drag->DragFKind(), FK_Text);
  EXPECT_EQ(drag->DragFId(), 0u);
  drag->Finished(nullptr, 0, 0, true);

  // A reference that yields nothing drags the object itself, with its field.
  holder->Target = nullptr;
  drag = TSDrag::Create(holder.get(), FK_UniqueId, 3);
  EXPECT_EQ(drag->DragObj(), holder.get());
  EXPECT_EQ(drag->DragFKind(), FK_UniqueId);
  EXPECT_EQ(drag->DragFId(), 3u);
  drag->Finished(nullptr, 0, 0, true);
}

TEST_F(DragTest, DragWithoutObjectOrOfAnEmptyCollectionIsAnAssertion) {
  EXPECT_THROW(TSDrag::Create(nullptr, FK_Text, 0), EVelaAssertion);
  EXPECT_THROW(TSDrag::CreateColl(nullptr, FK_Text, 0), EVelaAssertion);
  TSOwned<TSDdragCollection> empty(SNew<TSDdragCollection>(std::vector<TVelaObject*>{}));
  EXPECT_THROW(TSDrag::CreateColl(empty.get(), FK_Text, 0), EVelaAssertion);
}

TEST_F(DragTest, DragImageIsTheBoldTextAfterRoomForThePicture) {
  TSOwned<TNode> obj(SNew<TNode>("Lamp 12"));
  TSDrag* drag = TSDrag::Create(obj.get(), FK_Text, 0);
  const QImage& image = drag->GetDragImages();
  QFont font;
  font.setPixelSize(16);
  font.setBold(true);
  QFont plain = font;
  plain.setBold(false);
  const QFontMetrics metrics(font);
  EXPECT_EQ(image.width(), metrics.horizontalAdvance("Lamp 12") + 16);
  EXPECT_EQ(image.height(), metrics.height());
  EXPECT_NE(image.width(), QFontMetrics(plain).horizontalAdvance("Lamp 12") + 16);  // measured in bold
  bool leftEmpty = true, textDrawn = false;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const bool inked = qAlpha(image.pixel(x, y)) > 0;
      if (x < 16 && inked) leftEmpty = false;
      if (x >= 16 && inked) textDrawn = true;
    }
  EXPECT_TRUE(leftEmpty);
  EXPECT_TRUE(textDrawn);
  drag->Finished(nullptr, 0, 0, true);
}

// ---------------------------------------------------------------------------
// TSDdragCollection

TEST_F(DragTest, CollectionListsWithoutOwning) {
  TSOwned<TNode> owner(SNew<TNode>("owner"));
  auto* a = owner->SInsert(SNew<TNode>("a"));
  auto* b = owner->SInsert(SNew<TNode>("b"));
  TSOwned<TNode> loose(SNew<TNode>("loose"));
  log.clear();
  {
    TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(std::vector<TVelaObject*>{a, nullptr, b, a, loose.get()}));
    EXPECT_TRUE(coll->Temporary());
    EXPECT_EQ(coll->Subcount(), 3);  // null and repeated entries left out
    EXPECT_EQ(coll->FirstSub(), a);
    EXPECT_EQ(coll->Subobjects()->Delta(), 1);
    EXPECT_TRUE(coll->Subobjects()->NotFreeAllOnDestroy());
    EXPECT_EQ(a->SOwner(), owner.get());
    EXPECT_EQ(loose->SOwner(), nullptr);
  }
  EXPECT_EQ(owner->Subcount(), 2);
  EXPECT_EQ(a->NameIfName(), "a");
  EXPECT_EQ(loose->NameIfName(), "loose");
  EXPECT_TRUE(log.empty());  // a temporary collection goes silently
}

struct CollTextCase {
  const char* name;
  TSobjectClass cls;
  int count;
  const char* text;
};

class CollectionText : public DragTest, public ::testing::WithParamInterface<CollTextCase> {};

TEST_P(CollectionText, CountAndTypeName) {
  const CollTextCase& c = GetParam();
  TSOwned<TNode> owner(SNew<TNode>());
  std::vector<TVelaObject*> objs;
  for (int i = 0; i < c.count; ++i) objs.push_back(owner->SInsert(static_cast<TVelaObject*>(c.cls->Create())));
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(objs));
  EXPECT_EQ(coll->NodeText(), c.text);
  EXPECT_EQ(coll->FF(FK_Text, 0), c.text);
  EXPECT_EQ(coll->FF(FK_Text, 1), "??");  // other pairs: the inherited answer
  EXPECT_EQ(coll->DragObjType(), c.count ? ObjTypeOfClass(c.cls) : 0u);
}

INSTANTIATE_TEST_SUITE_P(Drag, CollectionText,
                         ::testing::Values(CollTextCase{"Blocks", TBlockLike::StaticClass(), 3,
                                                        "Collection of 3 DMX Blocks"},
                                           CollTextCase{"NoDisplayName", TNode::StaticClass(), 2, "Collection of 2 s"},
                                           CollTextCase{"Empty", TNode::StaticClass(), 0, "Collection of 0 s"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DragTest, CollectionDragTakesTextFieldAndNoPicture) {
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool) { return 5; };
  TSOwned<TNode> owner(SNew<TNode>());
  auto* a = owner->SInsert(SNew<TBlockLike>());
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(std::vector<TVelaObject*>{a}));
  coll->SetDragObjType(0);
  TSDrag* drag = TSDrag::CreateColl(coll.get(), FK_Word, 9);
  EXPECT_EQ(drag->DragObj(), coll.get());
  EXPECT_EQ(drag->DragImageIndex(), -1);
  EXPECT_EQ(drag->DragFKind(), FK_Text);
  EXPECT_EQ(drag->DragFId(), 0u);
  EXPECT_EQ(coll->DragObjType(), 60205u);  // taken again from the first object
  drag->Finished(nullptr, 0, 0, true);     // accepted: the collection stays
  EXPECT_EQ(coll->Subcount(), 1);
}

TEST_F(DragTest, DeclinedCollectionIsFreedWhenTheDragFinishes) {
  TSOwned<TNode> owner(SNew<TNode>());
  auto* a = owner->SInsert(SNew<TNode>("a"));
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{a});
  const auto alive = Alive(coll);
  TSDrag* drag = TSDrag::CreateColl(coll, FK_Text, 0);
  // Nobody up the tree accepts, so the drop is declined.
  EXPECT_EQ(a->Receivedrop(coll, a, DSD_copy, drag->GetDMode(dmOnNode)), nullptr);
  EXPECT_FALSE(alive.expired());
  drag->Finished(nullptr, 0, 0, false);
  EXPECT_TRUE(alive.expired());
  EXPECT_EQ(Join(SubNames(owner.get())), Join(std::vector<QString>{"a"}));
}

TEST_F(DragTest, DroppedCollectionIsNotFreedTwiceWhenTheDragFinishes) {
  TSOwned<TNode> root(SNew<TNode>("root"));
  auto* folder = root->SInsert(SNew<TDropFolder>("folder"));
  auto* a = root->SInsert(SNew<TNode>("a"));
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{a});
  const auto alive = Alive(coll);
  TSDrag* drag = TSDrag::CreateColl(coll, FK_Text, 0);
  ASSERT_NE(folder->Receivedrop(coll, folder, DSD_copy, drag->GetDMode(dmOnNode)), nullptr);
  EXPECT_TRUE(alive.expired());          // the drop consumed it
  drag->Finished(nullptr, 0, 0, false);  // must not free it again
  EXPECT_EQ(Join(SubNames(folder)), Join(std::vector<QString>{"a"}));
}

struct DeleteOkCase {
  const char* name;
  bool looseOne;
  bool denyOne;
  bool ok;
};

class DeleteAllOk : public DragTest, public ::testing::WithParamInterface<DeleteOkCase> {};

TEST_P(DeleteAllOk, EveryObjectNeedsAnAgreeingOwner) {
  TSOwned<TMenuNode> owner(SNew<TMenuNode>());
  TSOwned<TMenuNode> denying(SNew<TMenuNode>());
  denying->DeleteDenied = 1;
  TSOwned<TNode> loose(SNew<TNode>("loose"));
  std::vector<TVelaObject*> objs{owner->SInsert(SNew<TNode>("a")), owner->SInsert(SNew<TNode>("b"))};
  if (GetParam().looseOne) objs.push_back(loose.get());
  if (GetParam().denyOne) objs.push_back(denying->SInsert(SNew<TNode>("c")));
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(objs));
  EXPECT_EQ(coll->DeleteAllOk(), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(Drag, DeleteAllOk,
                         ::testing::Values(DeleteOkCase{"AllOwned", false, false, true},
                                           DeleteOkCase{"OneWithoutOwner", true, false, false},
                                           DeleteOkCase{"OneOwnerDenies", false, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DeleteAllCase {
  const char* name;
  int count;
  bool bracketed;
};

class DeleteAll : public DragTest, public ::testing::WithParamInterface<DeleteAllCase> {};

TEST_P(DeleteAll, DeletesAllAndBracketsManyDeletions) {
  const DeleteAllCase& c = GetParam();
  TSOwned<TNode> owner(SNew<TNode>("owner"));
  owner->SInsert(SNew<TNode>("keep"));
  std::vector<TVelaObject*> objs;
  for (int i = 0; i < c.count; ++i) objs.push_back(owner->SInsert(SNew<TNode>(QString::number(i))));
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(objs));
  log.clear();
  coll->DeleteAll(false);
  EXPECT_EQ(Join(SubNames(owner.get())), Join(std::vector<QString>{"keep"}));
  EXPECT_EQ(coll->Subcount(), 0);  // it lists no freed objects
  int deleted = 0, begins = 0, ends = 0;
  for (const TRecorded& r : log) {
    deleted += r.Msg == SOM_Deleted;
    begins += r.Msg == SOM_BeginUpdateSubs;
    ends += r.Msg == SOM_EndUpdateSubs;
  }
  EXPECT_EQ(deleted, c.count);
  EXPECT_EQ(begins, c.bracketed ? 1 : 0);
  EXPECT_EQ(ends, c.bracketed ? 1 : 0);
  if (c.bracketed) {
    EXPECT_EQ(log.front().Msg, SOM_BeginUpdateSubs);
    EXPECT_EQ(log.front().Obj, owner.get());
    EXPECT_EQ(log.back().Msg, SOM_EndUpdateSubs);
    EXPECT_EQ(log.back().Obj, owner.get());
  }
  EXPECT_FALSE(owner->UpdatingSubs());
}

INSTANTIATE_TEST_SUITE_P(Drag, DeleteAll,
                         ::testing::Values(DeleteAllCase{"Three", 3, false}, DeleteAllCase{"Ten", 10, false},
                                           DeleteAllCase{"Eleven", 11, true}, DeleteAllCase{"Twelve", 12, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DragTest, DeleteAllLeavesWhatItMayNotDelete) {
  TSOwned<TNode> owner(SNew<TNode>("owner"));
  TSOwned<TMenuNode> denying(SNew<TMenuNode>("denying"));
  denying->DeleteDenied = 1;
  TSOwned<TNode> loose(SNew<TNode>("loose"));
  auto* a = owner->SInsert(SNew<TNode>("a"));
  auto* c = denying->SInsert(SNew<TNode>("c"));
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(std::vector<TVelaObject*>{a, c, loose.get()}));
  coll->DeleteAll(true);
  EXPECT_EQ(owner->Subcount(), 0);
  EXPECT_EQ(Join(SubNames(denying.get())), Join(std::vector<QString>{"c"}));
  ASSERT_EQ(coll->Subcount(), 2);
  EXPECT_EQ(coll->Sub(0), c);
  EXPECT_EQ(coll->Sub(1), loose.get());
}

TEST_F(DragTest, DeleteAllOfAnObjectAndItsOwnSubFreesEachOnce) {
  // 11 objects, the first one's owner among them: the bracket's end must not
  // reach the freed owner, and the sub goes with its owner.
  TSOwned<TNode> root(SNew<TNode>("root"));
  auto* parent = root->SInsert(SNew<TNode>("parent"));
  std::vector<TVelaObject*> objs;
  for (int i = 0; i < 9; ++i) objs.push_back(parent->SInsert(SNew<TNode>(QString::number(i))));
  auto* grandchild = objs[0]->SInsert(SNew<TNode>("grandchild"));
  objs.push_back(grandchild);
  objs.push_back(parent);
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(objs));
  const auto parentAlive = Alive(parent);
  coll->DeleteAll(false);
  EXPECT_TRUE(parentAlive.expired());
  EXPECT_EQ(root->Subcount(), 0);
  EXPECT_EQ(coll->Subcount(), 0);
}

// ---------------------------------------------------------------------------
// Acceptdrop

TEST_F(DragTest, AcceptdropClimbsToTheRootWhichDeclines) {
  TSOwned<TNode> root(SNew<TNode>("root"));
  auto* leaf = root->SInsert(SNew<TNode>("mid"))->SInsert(SNew<TNode>("leaf"));
  TSOwned<TNode> dragged(SNew<TNode>("dragged"));
  TSDropkind kinds{DSD_Reference};
  EXPECT_EQ(leaf->Acceptdrop(dragged.get(), kinds, TSDropMode{dmAbove, FK_Text, 0}), nullptr);
  EXPECT_EQ(kinds, TSDropkind{DSD_Reference});  // the base offers nothing
}

TEST_F(DragTest, AcceptdropAsksTheOwnersOnTheNode) {
  TSOwned<TNode> root(SNew<TNode>("root"));
  auto* folder = static_cast<TDropFolder*>(root->SInsert(SNew<TDropFolder>("folder")));
  auto* leaf = folder->SInsert(SNew<TNode>("mid"))->SInsert(SNew<TNode>("leaf"));
  TSOwned<TNode> dragged(SNew<TNode>("dragged"));
  TSDropkind kinds;
  EXPECT_EQ(leaf->Acceptdrop(dragged.get(), kinds, TSDropMode{dmBelow, FK_Word, 4}), folder);
  EXPECT_EQ(kinds, (TSDropkind{DSD_copy, DSD_move}));
  EXPECT_EQ(folder->LastFrom, dragged.get());
  EXPECT_EQ(folder->LastMode.DMode, dmOnNode);
  EXPECT_EQ(folder->LastMode.DFK, FK_Word);
  EXPECT_EQ(folder->LastMode.DID, 4u);

  // A collection is asked about by its first object.
  auto* other = root->SInsert(SNew<TNode>("other"));
  TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(std::vector<TVelaObject*>{other, dragged.get()}));
  EXPECT_EQ(leaf->Acceptdrop(coll.get(), kinds, TSDropMode{}), folder);
  EXPECT_EQ(folder->LastFrom, other);
  TSOwned<TSDdragCollection> empty(SNew<TSDdragCollection>(std::vector<TVelaObject*>{}));
  EXPECT_EQ(leaf->Acceptdrop(empty.get(), kinds, TSDropMode{}), nullptr);
}

// ---------------------------------------------------------------------------
// Receivedrop

// root > folder > (x, y); root > source > (lamp, unnamed, desk)
class DropTest : public DragTest {
 protected:
  void SetUp() override {
    DragTest::SetUp();
    root.reset(SNew<TNode>("root"));
    folder = static_cast<TDropFolder*>(root->SInsert(SNew<TDropFolder>("folder")));
    x = folder->SInsert(SNew<TNode>("x"));
    y = folder->SInsert(SNew<TNode>("y"));
    source = root->SInsert(SNew<TNode>("source"));
    lamp = source->SInsert(SNew<TNode>("lamp"));
    lamp->SInsert(SNew<TNode>("bulb"));
    unnamed = source->SInsert(SNew<TNode>());
    desk = source->SInsert(SNew<TNode>("desk"));
    log.clear();
  }
  void TearDown() override {
    root.reset();
    DragTest::TearDown();
  }
  TSOwned<TNode> root;
  TDropFolder* folder = nullptr;
  TVelaObject *x = nullptr, *y = nullptr, *source = nullptr, *lamp = nullptr, *unnamed = nullptr, *desk = nullptr;
};

TEST_F(DropTest, CopyOfANamedObjectIsRenamedAndGoesInFrontOfTheNode) {
  TVelaObject* c = folder->Receivedrop(lamp, y, DSD_copy, TSDropMode{dmOnNode});
  ASSERT_NE(c, nullptr);
  EXPECT_NE(c, lamp);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "Copy of lamp", "y"})));
  EXPECT_EQ(folder->Sub(1), c);
  EXPECT_EQ(c->SOwner(), folder);
  EXPECT_EQ(Join(SubNames(c)), Join(std::vector<QString>{"bulb"}));  // with all subs
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"lamp", "", "desk"})));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().Msg, SOM_Inserted);
  EXPECT_EQ(log.back().Obj, c);
}

TEST_F(DropTest, CopyOntoTheTargetItselfAppends) {
  TVelaObject* c = folder->Receivedrop(desk, folder, DSD_copy, TSDropMode{});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y", "Copy of desk"})));
}

TEST_F(DropTest, CopyOfAnUnnamedObjectStaysUnnamed) {
  TVelaObject* c = folder->Receivedrop(unnamed, x, DSD_copy, TSDropMode{});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"", "x", "y"})));
}

TEST_F(DropTest, DropOnASubOfTheTargetIsReceivedByItsOwner) {
  // x's own question climbs to the folder, its owner, which receives.
  TVelaObject* c = x->Receivedrop(lamp, x, DSD_copy, TSDropMode{});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"Copy of lamp", "x", "y"})));
}

TEST_F(DropTest, CopyOfSeveralObjectsKeepsTheirNamesAndOrder) {
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{desk, lamp});
  const auto alive = Alive(coll);
  TVelaObject* c = folder->Receivedrop(coll, y, DSD_copy, TSDropMode{});
  EXPECT_TRUE(alive.expired());  // consumed by the drop
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "desk", "lamp", "y"})));
  EXPECT_EQ(c, folder->Sub(2));  // the last one received
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"lamp", "", "desk"})));
}

TEST_F(DropTest, MoveDeletesTheOriginalAndGivesANewObject) {
  const auto lampAlive = Alive(lamp);
  TVelaObject* moved = folder->Receivedrop(lamp, y, DSD_move, TSDropMode{});
  ASSERT_NE(moved, nullptr);
  EXPECT_TRUE(lampAlive.expired());                                                   // a new identity
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "lamp", "y"})));  // not renamed
  EXPECT_EQ(Join(SubNames(moved)), Join(std::vector<QString>{"bulb"}));
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"", "desk"})));
  EXPECT_EQ(Messages(), (std::vector<uint32_t>{SOM_ToBeDeleted, SOM_Deleted, SOM_Inserted}));
}

TEST_F(DropTest, MoveOfSeveralObjectsWithinTheTarget) {
  // y and x move in front of x: x itself is one of them.
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{y, x});
  folder->Receivedrop(coll, x, DSD_move, TSDropMode{});
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"y", "x"})));
  EXPECT_EQ(folder->Subcount(), 2);
}

TEST_F(DropTest, MoveOntoItselfKeepsThePlace) {
  TVelaObject* moved = folder->Receivedrop(x, x, DSD_move, TSDropMode{});
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y"})));
  EXPECT_EQ(folder->Sub(0), moved);
}

TEST_F(DropTest, MoveIntoItsOwnSubtreeIsRefused) {
  auto* inner = static_cast<TDropFolder*>(folder->SInsert(SNew<TDropFolder>("inner")));
  auto* innerSub = inner->SInsert(SNew<TNode>("innerSub"));
  log.clear();
  EXPECT_EQ(inner->Receivedrop(folder, innerSub, DSD_move, TSDropMode{}), nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y", "inner"})));
  EXPECT_EQ(Join(SubNames(inner)), Join(std::vector<QString>{"innerSub"}));
  EXPECT_TRUE(log.empty());
}

TEST_F(DropTest, SelectedSubTravelsWithItsSelectedOwner) {
  TVelaObject* bulb = lamp->Sub(0);
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{lamp, bulb});
  folder->Receivedrop(coll, folder, DSD_move, TSDropMode{});
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y", "lamp"})));
  EXPECT_EQ(Join(SubNames(folder->Sub(2))), Join(std::vector<QString>{"bulb"}));
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"", "desk"})));
}

struct DeclinedCase {
  const char* name;
  TSDropkinds kind;
  bool onFolder;  // dropped on the accepting folder; else on a tree without takers
};

class DeclinedDrop : public DropTest, public ::testing::WithParamInterface<DeclinedCase> {};

TEST_P(DeclinedDrop, ChangesNothing) {
  TVelaObject* on = GetParam().onFolder ? static_cast<TVelaObject*>(folder) : desk;
  TVelaObject* receiver = GetParam().onFolder ? static_cast<TVelaObject*>(folder) : source;
  EXPECT_EQ(receiver->Receivedrop(lamp, on, GetParam().kind, TSDropMode{}), nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y"})));
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"lamp", "", "desk"})));
  EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(Drop, DeclinedDrop,
                         ::testing::Values(DeclinedCase{"NobodyAcceptsCopy", DSD_copy, false},
                                           DeclinedCase{"NobodyAcceptsMove", DSD_move, false},
                                           DeclinedCase{"ReferenceKind", DSD_Reference, true},
                                           DeclinedCase{"AskTargetKind", DSD_AskTarget, true},
                                           DeclinedCase{"DirectDropKind", DSD_DirectDrop, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DropTest, DropAtAnObjectOutsideTheTargetInsertsNothing) {
  const auto lampAlive = Alive(lamp);
  EXPECT_EQ(folder->Receivedrop(lamp, desk, DSD_move, TSDropMode{}), nullptr);
  EXPECT_FALSE(lampAlive.expired());  // a move that cannot insert keeps the original
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y"})));
  EXPECT_TRUE(log.empty());
}

TEST_F(DropTest, AReceiverWithoutOwnerReceivesNothing) {
  TSOwned<TDropFolder> lone(SNew<TDropFolder>("lone"));
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{lamp});
  const auto alive = Alive(coll);
  EXPECT_EQ(lone->Receivedrop(lamp, lone.get(), DSD_copy, TSDropMode{}), nullptr);
  EXPECT_EQ(lone->Receivedrop(coll, lone.get(), DSD_move, TSDropMode{}), nullptr);
  EXPECT_TRUE(alive.expired());
  EXPECT_EQ(lone->Subcount(), 0);
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"lamp", "", "desk"})));
}

TEST_F(DropTest, HandedOnDropOfACollectionIsFreedOnce) {
  // y > deep: a drop on deep is handed to the folder two levels up, which
  // cannot place it there; the collection it consumed must not be used again.
  TVelaObject* deep = y->SInsert(SNew<TNode>("deep"));
  auto* coll = SNew<TSDdragCollection>(std::vector<TVelaObject*>{lamp});
  const auto alive = Alive(coll);
  EXPECT_EQ(deep->Receivedrop(coll, deep, DSD_copy, TSDropMode{}), nullptr);
  EXPECT_TRUE(alive.expired());
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y"})));

  // Handed on with the folder itself as the node: appended there.
  TVelaObject* c = deep->Receivedrop(desk, folder, DSD_copy, TSDropMode{});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"x", "y", "Copy of desk"})));
}

// root > sorted folder > (3, 7)
class SortedDropTest : public DragTest {
 protected:
  void SetUp() override {
    DragTest::SetUp();
    root.reset(SNew<TNode>("root"));
    folder = static_cast<TSortedDropFolder*>(root->SInsert(SNew<TSortedDropFolder>()));
    folder->SInsert(SNew<TWordNode>("three", 3));
    seven = folder->SInsert(SNew<TWordNode>("seven", 7));
    source = root->SInsert(SNew<TNode>("source"));
    five = source->SInsert(SNew<TWordNode>("five", 5));
    alsoSeven = source->SInsert(SNew<TWordNode>("other seven", 7));
    log.clear();
  }
  void TearDown() override {
    root.reset();
    DragTest::TearDown();
  }
  TSOwned<TNode> root;
  TSortedDropFolder* folder = nullptr;
  TVelaObject *seven = nullptr, *source = nullptr, *five = nullptr, *alsoSeven = nullptr;
};

TEST_F(SortedDropTest, CopyTakesItsSortedPlace) {
  TVelaObject* c = folder->Receivedrop(five, seven, DSD_copy, TSDropMode{});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"three", "Copy of five", "seven"})));
}

TEST_F(SortedDropTest, AKeyTheTargetHoldsAlreadyIsRefusedWithoutLoss) {
  const auto alive = Alive(alsoSeven);
  EXPECT_EQ(folder->Receivedrop(alsoSeven, folder, DSD_move, TSDropMode{}), nullptr);
  EXPECT_FALSE(alive.expired());
  EXPECT_EQ(Join(SubNames(source)), Join((std::vector<QString>{"five", "other seven"})));
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"three", "seven"})));
  EXPECT_TRUE(log.empty());
}

TEST_F(SortedDropTest, MoveWithinTheTargetKeepsItsKey) {
  const auto alive = Alive(seven);
  TVelaObject* moved = folder->Receivedrop(seven, folder, DSD_move, TSDropMode{});
  ASSERT_NE(moved, nullptr);
  EXPECT_TRUE(alive.expired());
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"three", "seven"})));
}

// ---------------------------------------------------------------------------
// PaintObjectCell

struct CellCase {
  const char* name;
  QRgb brush;
  uint32_t contrast;
  QRgb frame;
};

class CellFrame : public DragTest, public ::testing::WithParamInterface<CellCase> {};

TEST_P(CellFrame, ContrastColour) {
  const CellCase& c = GetParam();
  TSOwned<TPictureNode> obj(SNew<TPictureNode>());
  QImage image(100, 20, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QRect cell(0, 0, 100, 20);
  int dataToken = 0;
  {
    QPainter p(&image);
    p.setBrush(QColor::fromRgb(c.brush));
    EXPECT_TRUE(PaintObjectCell(&p, cell, obj.get(), FK_Graphic, 0, 4, QString(), c.contrast, true, &dataToken));
    EXPECT_EQ(p.brush().color().rgb(), QColor::fromRgb(c.brush).rgb());  // restored
  }
  EXPECT_EQ(obj->lastIndex, 5);  // Index + 1
  EXPECT_EQ(obj->lastData, &dataToken);
  EXPECT_EQ(obj->lastBounds, QRect(1, 1, 18, 18));
  EXPECT_EQ(image.pixel(1, 1), c.frame);
  EXPECT_EQ(image.pixel(18, 18), c.frame);
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));  // the picture inside the frame
  EXPECT_EQ(image.pixel(0, 0), c.brush);          // filled with the brush
  EXPECT_EQ(cell.left(), 19 + 5);
}

INSTANTIATE_TEST_SUITE_P(Drag, CellFrame,
                         ::testing::Values(CellCase{"LightBrushBlack", qRgb(200, 10, 10), 0, qRgb(0, 0, 0)},
                                           CellCase{"DarkBrushWhiteOnRequest", qRgb(40, 40, 40), 1,
                                                    qRgb(255, 255, 255)},
                                           CellCase{"DarkBrushItself", qRgb(40, 40, 40), 0, qRgb(40, 40, 40)},
                                           CellCase{"AllAt192IsDark", qRgb(192, 192, 192), 0, qRgb(192, 192, 192)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DragTest, CellWithoutFillMovesLessAndDrawsNoText) {
  TSOwned<TPictureNode> obj(SNew<TPictureNode>());
  QImage image(100, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QRect cell(10, 0, 90, 20);
  {
    QPainter p(&image);
    p.setBrush(Qt::blue);
    EXPECT_TRUE(PaintObjectCell(&p, cell, obj.get(), FK_Graphic, 0, 0, "Text", 0, false, nullptr));
  }
  EXPECT_EQ(cell.left(), 10 + 19 + 1);
  EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));  // not filled
  for (int px = 30; px < 100; ++px)
    for (int py = 0; py < 20; ++py) ASSERT_EQ(image.pixel(px, py), qRgb(255, 255, 255));
}

TEST_F(DragTest, CellWithoutPictureKeepsItsEdgeAndDrawsTheText) {
  TSOwned<TPictureNode> obj(SNew<TPictureNode>());
  QImage image(100, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QRect cell(0, 0, 100, 20);
  {
    QPainter p(&image);
    p.setBrush(Qt::yellow);
    p.setPen(Qt::black);
    EXPECT_FALSE(PaintObjectCell(&p, cell, obj.get(), FK_Text, 0, 0, "WWW", 0, true, nullptr));
  }
  EXPECT_EQ(cell.left(), 0);
  bool dark = false;
  for (int px = 0; px < 40; ++px)
    for (int py = 0; py < 20; ++py) dark = dark || qGray(image.pixel(px, py)) < 100;
  EXPECT_TRUE(dark);
  EXPECT_EQ(image.pixel(99, 0), QColor(Qt::yellow).rgb());
  EXPECT_FALSE(PaintObjectCell(nullptr, cell, obj.get(), FK_Graphic, 0, 0, "", 0, true, nullptr));
}

}  // namespace
