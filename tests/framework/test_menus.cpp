// Object menus: the base entries for each menu kind, the climb up the owner
// chain, the entry class, the tidy-up helpers and the generic commands.
#include <QImage>
#include <QPainter>

#include "DropMenuFixtures.h"

using namespace vela;
using namespace vela::testing;

namespace {

const char kEditorToken = 0;  // stands for a property editor class

// Makes obj an object that cannot hold subs.
void DropSubs(TVelaObject* obj) {
  TSCollection* subs = obj->Subobjects();
  obj->SetsubsSilent(nullptr);
  FreeObj(subs);
}

class MenuTest : public DropMenuTest {
 protected:
  // Builds the popup for obj as a view does for a click on its name.
  void Build(TVelaObject* obj, TPopMenuKind kind = Pop_Click, TDropParamInfs inf = {}, TSFieldKind fk = FK_Text,
             uint32_t fid = 0) {
    TDropParams params;
    params.Inf = inf;
    obj->AddMenuItems(&view, kind, &menu, fk, fid, obj, 0, params, nullptr);
  }
  TTestView view;
  TVelaMenuItem menu;
};

// ---------------------------------------------------------------------------
// Pop_Click: which entries appear

struct ClickCase {
  const char* name;
  bool sortedOwner;
  bool hitRoot;  // the object itself is the root of the tree
  TDropParamInfs inf;
  int32_t ownerDeletes;  // 0: the owner allows deleting
  std::vector<QString> captions;
  std::vector<uint16_t> commands;
};

class ClickEntries : public MenuTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickEntries, CaptionsCommandsAndOrder) {
  const ClickCase& c = GetParam();
  TSOwned<TMenuNode> owner(c.sortedOwner ? static_cast<TMenuNode*>(SNew<TSortedMenuNode>()) : SNew<TMenuNode>());
  owner->SetName("Rack");
  owner->StdTypes = {TLeafA::StaticClass()};
  owner->DeleteDenied = c.ownerDeletes;
  TSOwned<TMenuNode> lone;
  TMenuNode* obj = nullptr;
  if (c.hitRoot) {
    lone.reset(SNew<TMenuNode>("Box"));
    obj = lone.get();
  } else {
    obj = SNew<TMenuNode>("Box");
    owner->SInsert(obj);
  }
  Build(obj, Pop_Click, c.inf);
  EXPECT_EQ(Join(Captions(menu)), Join(c.captions));
  EXPECT_EQ(Commands(menu), c.commands);
  for (int i = 0; i < menu.Count(); ++i) {
    auto* item = AsVelaMenuItem(menu.Items(i));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->CreatedBy, obj);  // every entry is made by the clicked object
    EXPECT_EQ(item->Caller, &view);
    EXPECT_EQ(item->parent(), &menu);
  }
}

const QString kExplore = "Explore Menu node: Box";
const QString kDelete = "Delete Menu node: Box";

INSTANTIATE_TEST_SUITE_P(
    Menus, ClickEntries,
    ::testing::Values(
        ClickCase{"UnsortedOwnerOffersInsertAndAdd",
                  false,
                  false,
                  {},
                  0,
                  {kExplore, "Insert: Leaf A", "Add: Leaf A", kDelete},
                  {8, 2, 4, 3}},
        ClickCase{
            "SortedOwnerOffersInsertButNotAdd", true, false, {}, 0, {kExplore, "Insert: Leaf A", kDelete}, {8, 2, 3}},
        ClickCase{"RootOffersNoSiblingEntries", false, true, {}, 0, {kExplore}, {8}},
        ClickCase{
            "RootWithDeleteEnabledStillNoDelete", false, true, {DP_HitIsRoot, DP_DeleteEnabled}, 0, {kExplore}, {8}},
        ClickCase{"HitIsRootOnASubOffersOnlyDelete",
                  false,
                  false,
                  {DP_HitIsRoot, DP_DeleteEnabled},
                  0,
                  {kExplore, kDelete},
                  {8, 3}},
        ClickCase{"HitIsRootWithoutDeleteEnabled", false, false, {DP_HitIsRoot}, 0, {kExplore}, {8}},
        ClickCase{"HistorySuppressesInsertAndDelete", false, false, {DP_HitIsHistory}, 0, {kExplore}, {8}},
        ClickCase{
            "HistoryOnRootHitToo", false, false, {DP_HitIsHistory, DP_HitIsRoot, DP_DeleteEnabled}, 0, {kExplore}, {8}},
        ClickCase{"OwnerDenyingDeleteDropsTheDeleteEntry",
                  false,
                  false,
                  {},
                  1,
                  {kExplore, "Insert: Leaf A", "Add: Leaf A"},
                  {8, 2, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, HistoryAlsoSuppressesInsertSub) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  obj->StdTypes = {TLeafA::StaticClass()};
  Build(obj.get(), Pop_Click, {DP_HitIsHistory});
  EXPECT_EQ(Join(Captions(menu)), Join(std::vector<QString>{kExplore}));
}

TEST_F(MenuTest, OneStandardSubTypeGivesOneEntry) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  obj->StdTypes = {TLeafA::StaticClass()};
  Build(obj.get());
  ASSERT_EQ(Join(Captions(menu)), Join((std::vector<QString>{kExplore, "Insert Sub: Leaf A"})));
  auto* insert = AsVelaMenuItem(menu.Items(1));
  EXPECT_EQ(insert->VelaCommand, MC_InsertSub);
  EXPECT_EQ(insert->CreateClass, TLeafA::StaticClass());
  EXPECT_EQ(insert->Count(), 0);
}

TEST_F(MenuTest, SeveralStandardSubTypesGiveASubmenu) {
  TSOwned<TMenuNode> owner(SNew<TMenuNode>("Rack"));
  owner->StdTypes = {TLeafA::StaticClass(), TLeafB::StaticClass()};
  auto* obj = SNew<TMenuNode>("Box");
  obj->StdTypes = {TLeafA::StaticClass(), TLeafB::StaticClass()};
  owner->SInsert(obj);
  Build(obj);
  ASSERT_EQ(Join(Captions(menu)), Join((std::vector<QString>{kExplore, "Insert Sub", "Insert", "Add", kDelete})));
  for (int i : {1, 2, 3}) {
    auto* sub = AsVelaMenuItem(menu.Items(i));
    SCOPED_TRACE(sub->text().toStdString());
    // A type without a display name is offered as "Standard Subobject".
    EXPECT_EQ(Join(Captions(*sub)), Join((std::vector<QString>{"Leaf A", "Standard Subobject"})));
    const uint16_t command = std::vector<uint16_t>{MC_InsertSub, MC_Insert, MC_Add}[i - 1];
    EXPECT_EQ(sub->VelaCommand, command);
    EXPECT_EQ(Commands(*sub), (std::vector<uint16_t>{command, command}));
    EXPECT_EQ(AsVelaMenuItem(sub->Items(0))->CreateClass, TLeafA::StaticClass());
    EXPECT_EQ(AsVelaMenuItem(sub->Items(1))->CreateClass, TLeafB::StaticClass());
    EXPECT_EQ(AsVelaMenuItem(sub->Items(1))->CreatedBy, obj);
    EXPECT_EQ(sub->FindCommand(command), sub->Items(0));
    EXPECT_EQ(sub->FindCommand(MC_Delete), nullptr);
  }
}

// ---------------------------------------------------------------------------
// The edit, referenced, tracking and track entries

struct EditCase {
  const char* name;
  bool editor;
  bool subs;
  int32_t browseDenied;
  bool typeZero;
  std::vector<QString> captions;
};

class EditEntry : public MenuTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditEntry, ByEditorSubsAndType) {
  const EditCase& c = GetParam();
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  if (c.editor) obj->EditorClass = &kEditorToken;
  if (!c.subs) DropSubs(obj.get());
  obj->BrowseEditDenied = c.browseDenied;
  if (c.typeZero) obj->ConvertToType(0);
  Build(obj.get(), Pop_LocalMenu);
  EXPECT_EQ(Join(Captions(menu)), Join(c.captions));
  if (!c.captions.empty()) {
    EXPECT_EQ(AsVelaMenuItem(menu.Items(0))->RefVelaObject, obj.get());
  }
}

INSTANTIATE_TEST_SUITE_P(Menus, EditEntry,
                         ::testing::Values(EditCase{"EditorGivesEdit", true, true, 0, false, {"Edit Menu node: Box"}},
                                           EditCase{"SubsWithoutEditorGiveExplore", false, true, 0, false, {kExplore}},
                                           EditCase{"NoEditorNoSubsNothing", false, false, 0, false, {}},
                                           EditCase{"BrowseEditDeniedNothing", true, true, 1, false, {}},
                                           EditCase{"TypeZeroNothing", true, true, 0, true, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, ReferencedObjectWithEditorGetsItsEditEntry) {
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool) { return 42; };
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  DropSubs(obj.get());  // no own entry: no editor, no subs
  TSOwned<TMenuNode> other(SNew<TMenuNode>("Lamp"));
  obj->Referenced = other.get();
  Build(obj.get(), Pop_ListMenu, {}, FK_UniqueId, 5);
  EXPECT_TRUE(Captions(menu).empty());  // the referenced object has no editor yet

  other->EditorClass = &kEditorToken;
  Build(obj.get(), Pop_ListMenu, {}, FK_UniqueId, 5);
  ASSERT_EQ(Join(Captions(menu)), Join(std::vector<QString>{"Edit Menu node: Lamp"}));
  auto* item = AsVelaMenuItem(menu.Items(0));
  EXPECT_EQ(item->VelaCommand, MC_Edit);
  EXPECT_EQ(item->RefVelaObject, other.get());
  EXPECT_EQ(item->ImageIndex, 42);
  EXPECT_EQ(item->CreatedBy, obj.get());
}

TEST_F(MenuTest, TrackingOwnerEntryComesFirstForItsField) {
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool) { return 7; };
  TSOwned<TMenuNode> tracker(SNew<TMenuNode>("Desk"));
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  obj->Tracking = tracker.get();
  Build(obj.get(), Pop_Click, {}, FK_Special, 1102);
  ASSERT_EQ(Join(Captions(menu)), Join((std::vector<QString>{"Edit Menu node: Desk", kExplore})));
  EXPECT_EQ(AsVelaMenuItem(menu.Items(0))->RefVelaObject, tracker.get());
  EXPECT_EQ(AsVelaMenuItem(menu.Items(0))->ImageIndex, 7);

  ClearObjectMenuItems(menu);
  Build(obj.get(), Pop_Click, {}, FK_Text, 0);  // another field: no tracking entry
  EXPECT_EQ(Join(Captions(menu)), Join(std::vector<QString>{kExplore}));
}

TEST_F(MenuTest, TrackEntryOnlyWhenTheObjectYieldsOne) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  Build(obj.get(), Pop_LocalMenu);
  EXPECT_EQ(menu.FindCommand(MC_Track), nullptr);
  obj->Tracks = true;
  Build(obj.get(), Pop_LocalMenu);
  ASSERT_NE(menu.FindCommand(MC_Track), nullptr);
  EXPECT_EQ(menu.FindCommand(MC_Track)->text(), "Track Box");
}

struct KindCase {
  const char* name;
  TPopMenuKind kind;
  std::vector<QString> captions;
};

class MenuKinds : public MenuTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(MenuKinds, EntriesPerKind) {
  TSOwned<TMenuNode> owner(SNew<TMenuNode>("Rack"));
  owner->StdTypes = {TLeafA::StaticClass()};
  auto* obj = SNew<TMenuNode>("Box");
  obj->Tracks = true;
  TSOwned<TMenuNode> other(SNew<TMenuNode>("Lamp"));
  other->EditorClass = &kEditorToken;
  obj->Referenced = other.get();
  owner->SInsert(obj);
  Build(obj, GetParam().kind, {}, FK_UniqueId, 5);
  EXPECT_EQ(Join(Captions(menu)), Join(GetParam().captions));
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuKinds,
    ::testing::Values(KindCase{"Click",
                               Pop_Click,
                               {kExplore, "Edit Menu node: Lamp", "Track Box", "Insert: Leaf A", "Add: Leaf A",
                                kDelete}},
                      KindCase{"LocalMenu", Pop_LocalMenu, {kExplore, "Edit Menu node: Lamp", "Track Box"}},
                      KindCase{"ListMenu", Pop_ListMenu, {"Edit Menu node: Lamp"}}, KindCase{"Drop", Pop_Drop, {}},
                      KindCase{"Command", Pop_Command, {}}, KindCase{"ChannelMenu", Pop_ChannelMenu, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Records every AddMenuItems call that reaches it.
class TLevelNode : public TMenuNode {
 public:
  struct Call {
    TVelaObject* self;
    int level;
    TVelaObject* initiator;
  };
  explicit TLevelNode(std::vector<Call>* log) : fLog(log) {}
  void AddMenuItems(QObject* caller, TPopMenuKind kind, TVelaMenuItem* menu, TSFieldKind fk, uint32_t fid,
                    TVelaObject* initiator, int level, const TDropParams& p, TVelaObject* param) override {
    fLog->push_back({this, level, initiator});
    TMenuNode::AddMenuItems(caller, kind, menu, fk, fid, initiator, level, p, param);
  }
  std::vector<Call>* fLog;
};

TEST_F(MenuTest, RequestClimbsToTheRootWithGrowingLevel) {
  std::vector<TLevelNode::Call> calls;
  TSOwned<TLevelNode> root(SNew<TLevelNode>(&calls));
  auto* mid = root->SInsert(SNew<TLevelNode>(&calls));
  auto* leaf = mid->SInsert(SNew<TLevelNode>(&calls));
  Build(leaf, Pop_Drop);
  ASSERT_EQ(calls.size(), 3u);
  const std::vector<TVelaObject*> order{leaf, mid, root.get()};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(calls[i].self, order[i]);
    EXPECT_EQ(calls[i].level, i);
    EXPECT_EQ(calls[i].initiator, leaf);
  }

  // An object whose owner does not list it asks nobody above it.
  calls.clear();
  TSOwned<TLevelNode> stray(SNew<TLevelNode>(&calls));
  stray->SetSOwner(root.get());
  Build(stray.get(), Pop_Drop);
  EXPECT_EQ(calls.size(), 1u);
  stray->SetSOwner(nullptr);
}

// ---------------------------------------------------------------------------
// Menu titles

struct TitleCase {
  const char* name;
  TSobjectClass cls;
  const char* objName;  // empty: unnamed
  const char* title;
};

class MenuTitles : public DropMenuTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(MenuTitles, DisplayNameOnlyWhenTheTextDoesNotStartLikeIt) {
  const TitleCase& c = GetParam();
  TSOwned<TVelaObject> obj(static_cast<TVelaObject*>(c.cls->Create()));
  obj->SetName(c.objName);
  EXPECT_EQ(obj->MenuTitle(), c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Menus, MenuTitles,
    ::testing::Values(TitleCase{"OtherName", TMenuNode::StaticClass(), "Box", "Menu node: Box"},
                      TitleCase{"Unnamed", TMenuNode::StaticClass(), "", "Menu node"},
                      TitleCase{"SameFirstFive", TMenuNode::StaticClass(), "Menu X", "Menu X"},
                      TitleCase{"FirstFiveDifferInCase", TMenuNode::StaticClass(), "menu X", "Menu node: menu X"},
                      TitleCase{"NoDisplayName", TNode::StaticClass(), "Box", ": Box"},
                      TitleCase{"NumberedBlock", TBlockLike::StaticClass(), "DMX Block 3", "DMX Block 3"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The entry class and the helpers

class THandlerHost {
 public:
  void OnItem(TVelaMenuItem* sender) { clicked.push_back(sender); }
  void OnOther(TVelaMenuItem* sender) { clicked.push_back(sender); }
  std::vector<TVelaMenuItem*> clicked;
};

TEST_F(MenuTest, CreateMenuItemFillsTheEntry) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  QObject owner;
  TVelaMenuItem* item = obj->CreateMenuItem(&view, &owner, 77, "Do it", &menu, TLeafA::StaticClass());
  EXPECT_EQ(item->text(), "Do it");
  EXPECT_EQ(item->VelaCommand, 77);
  EXPECT_EQ(item->CreateClass, TLeafA::StaticClass());
  EXPECT_EQ(item->Caller, &view);
  EXPECT_EQ(item->CreatedBy, obj.get());
  EXPECT_EQ(item->parent(), &owner);
  EXPECT_EQ(item->ParentItem(), &menu);
  EXPECT_EQ(menu.Items(0), item);
  EXPECT_TRUE(item->OnClicked == TMenuClick(static_cast<TVelaObject*>(obj.get()), &TVelaObject::MenuCommand));

  THandlerHost host;
  TVelaMenuItem* custom =
      obj->CreateMenuItem(&view, &owner, 0, "Mine", nullptr, nullptr, TMenuClick(&host, &THandlerHost::OnItem));
  EXPECT_EQ(custom->ParentItem(), nullptr);
  EXPECT_EQ(menu.Count(), 1);
  custom->trigger();  // a click through the action itself
  EXPECT_EQ(host.clicked, std::vector<TVelaMenuItem*>{custom});
}

TEST_F(MenuTest, ClickHandlersCompareLikeBoundMethods) {
  THandlerHost a, b;
  EXPECT_TRUE(TMenuClick(&a, &THandlerHost::OnItem) == TMenuClick(&a, &THandlerHost::OnItem));
  EXPECT_FALSE(TMenuClick(&a, &THandlerHost::OnItem) == TMenuClick(&b, &THandlerHost::OnItem));
  EXPECT_FALSE(TMenuClick(&a, &THandlerHost::OnItem) == TMenuClick(&a, &THandlerHost::OnOther));
  EXPECT_FALSE(TMenuClick() == TMenuClick(&a, &THandlerHost::OnItem));
  EXPECT_FALSE(static_cast<bool>(TMenuClick()));
}

TEST_F(MenuTest, RemoveDuplicateMenuItemsKeepsTheLast) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  TSOwned<TMenuNode> other(SNew<TMenuNode>("Lamp"));
  THandlerHost host;
  auto make = [&](uint16_t cmd, TVelaObject* ref, TMenuClick click = {}) {
    TVelaMenuItem* item = click ? obj->CreateMenuItem(&view, &menu, cmd, "e", &menu, nullptr, click)
                                : obj->CreateMenuItem(&view, &menu, cmd, "e", &menu, nullptr);
    item->RefVelaObject = ref;
    return QPointer<TVelaMenuItem>(item);
  };
  auto first = make(5, other.get());
  auto otherRef = make(5, obj.get());
  auto otherCmd = make(8, other.get());
  auto otherHandler = make(5, other.get(), TMenuClick(&host, &THandlerHost::OnItem));
  QAction plain("plain");
  menu.Add(&plain);
  auto second = make(5, other.get());
  auto withChildren = make(8, other.get());  // has children: never removed
  obj->CreateMenuItem(&view, withChildren, 1, "child", withChildren, nullptr);
  auto third = make(5, other.get());
  auto lastCmd8 = make(8, other.get());

  RemoveDuplicateMenuItems(menu);
  EXPECT_TRUE(first.isNull());
  EXPECT_TRUE(second.isNull());
  EXPECT_FALSE(third.isNull());
  EXPECT_TRUE(otherCmd.isNull());  // the last command-8 entry stays
  EXPECT_FALSE(lastCmd8.isNull());
  const std::vector<QAction*> expected{otherRef, otherHandler, &plain, withChildren, third, lastCmd8};
  std::vector<QAction*> actual;
  for (int i = 0; i < menu.Count(); ++i) actual.push_back(menu.Items(i));
  EXPECT_EQ(actual, expected);
}

TEST_F(MenuTest, ThreeEqualEntriesLeaveOnlyTheThird) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  std::vector<QPointer<TVelaMenuItem>> items;
  for (int i = 0; i < 3; ++i) items.emplace_back(obj->CreateMenuItem(&view, &menu, 3, "Delete", &menu, nullptr));
  RemoveDuplicateMenuItems(menu);
  ASSERT_EQ(menu.Count(), 1);
  EXPECT_EQ(menu.Items(0), items[2].data());
  EXPECT_TRUE(items[0].isNull());
  EXPECT_TRUE(items[1].isNull());
}

TEST_F(MenuTest, ClearObjectMenuItemsKeepsOtherEntries) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  obj->StdTypes = {TLeafA::StaticClass(), TLeafB::StaticClass()};
  QAction before("before"), after("after");
  menu.Add(&before);
  Build(obj.get());
  menu.Add(&after);
  ASSERT_EQ(menu.Count(), 4);  // before, Explore, Insert Sub (submenu), after
  QPointer<QAction> submenuChild = AsVelaMenuItem(menu.Items(2))->Items(0);
  ClearObjectMenuItems(menu);
  EXPECT_EQ(Join(Captions(menu)), Join((std::vector<QString>{"before", "after"})));
  EXPECT_TRUE(submenuChild.isNull());  // freed with its submenu
}

TEST_F(MenuTest, APlainActionFreedElsewhereLeavesTheLevel) {
  auto* plain = new QAction("plain");
  menu.Add(plain);
  ASSERT_EQ(menu.Count(), 1);
  delete plain;
  EXPECT_EQ(menu.Count(), 0);
  EXPECT_EQ(menu.Items(0), nullptr);
}

TEST_F(MenuTest, AnEntryMovesBetweenLevels) {
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  TVelaMenuItem other;
  TVelaMenuItem* item = obj->CreateMenuItem(&view, &menu, 1, "x", &menu, nullptr);
  other.Add(item);
  EXPECT_EQ(menu.Count(), 0);
  EXPECT_EQ(other.Items(0), item);
  EXPECT_EQ(item->ParentItem(), &other);
  other.Remove(item);
  EXPECT_EQ(item->ParentItem(), nullptr);
  delete item;
}

TEST_F(MenuTest, TempVelaObjectIsFreedOnce) {
  auto* temp = SNew<TNode>("temp");
  const std::weak_ptr<void> alive = temp->AliveToken();
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  TVelaMenuItem* a = obj->CreateMenuItem(&view, &menu, 9, "a", &menu, nullptr);
  TVelaMenuItem* b = obj->CreateMenuItem(&view, &menu, 9, "b", &menu, nullptr);
  a->TempVelaObject = temp;
  b->TempVelaObject = temp;
  delete a;  // b still refers to it
  EXPECT_FALSE(alive.expired());
  EXPECT_EQ(b->TempVelaObject, temp);
  delete b;
  EXPECT_TRUE(alive.expired());
}

TEST_F(MenuTest, TempVelaObjectSharedBySiblingsGoesOnceWithTheirLevel) {
  auto* temp = SNew<TNode>("temp");
  const std::weak_ptr<void> alive = temp->AliveToken();
  TSOwned<TMenuNode> obj(SNew<TMenuNode>("Box"));
  {
    TVelaMenuItem popup;
    for (const char* caption : {"a", "b", "c"})
      obj->CreateMenuItem(&view, &popup, 9, caption, &popup, nullptr)->TempVelaObject = temp;
  }  // a double free here fails under the sanitizers
  EXPECT_TRUE(alive.expired());
}

TEST_F(MenuTest, CrossedEntryDrawsTheCrossOverItsIcon) {
  TVelaMenuItem item;
  EXPECT_TRUE(item.icon().isNull());
  item.SetCrossed(true);
  ASSERT_FALSE(item.icon().isNull());
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    item.icon().paint(&p, QRect(0, 0, 16, 16));
  }
  const QRgb black = qRgb(0, 0, 0);
  for (QPoint onCross : {QPoint(3, 3), QPoint(8, 8), QPoint(13, 13), QPoint(13, 3), QPoint(3, 13)})
    EXPECT_EQ(image.pixel(onCross), black) << onCross.x() << "," << onCross.y();
  for (QPoint off : {QPoint(2, 2), QPoint(8, 3), QPoint(3, 8), QPoint(14, 14), QPoint(0, 15)})
    EXPECT_EQ(image.pixel(off), qRgb(255, 255, 255)) << off.x() << "," << off.y();
  item.SetCrossed(false);
  EXPECT_TRUE(item.icon().isNull());
}

TEST_F(MenuTest, CrossFollowsTheEntryRectangle) {
  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    TVelaMenuItem::PaintCross(p, QRect(10, 2, 30, 10));  // h = 10: a 10-pixel square from (10, 2)
  }
  EXPECT_EQ(image.pixel(13, 5), qRgb(0, 0, 0));        // (L+3, T+3)
  EXPECT_EQ(image.pixel(17, 9), qRgb(0, 0, 0));        // (L+h-3, B-3)
  EXPECT_EQ(image.pixel(17, 5), qRgb(0, 0, 0));        // (L+h-3, T+3)
  EXPECT_EQ(image.pixel(13, 9), qRgb(0, 0, 0));        // (L+3, B-3)
  EXPECT_EQ(image.pixel(25, 7), qRgb(255, 255, 255));  // nothing right of the square
}

// ---------------------------------------------------------------------------
// The generic commands

class MenuCommands : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    root.reset(SNew<TMenuNode>("Root"));
    root->StdTypes = {TLeafA::StaticClass(), TLeafB::StaticClass()};
    first = static_cast<TMenuNode*>(root->SInsert(SNew<TMenuNode>("First")));
    obj = static_cast<TMenuNode*>(root->SInsert(SNew<TMenuNode>("Box")));
    last = static_cast<TMenuNode*>(root->SInsert(SNew<TMenuNode>("Last")));
    obj->StdTypes = {TLeafA::StaticClass(), TLeafB::StaticClass()};
    log.clear();
  }
  void TearDown() override {
    root.reset();
    MenuTest::TearDown();
  }
  TVelaMenuItem* Entry(uint16_t cmd, TSobjectClass cls = nullptr, TVelaObject* ref = nullptr) {
    TVelaMenuItem* item = obj->CreateMenuItem(&view, &menu, cmd, "entry", &menu, cls);
    item->RefVelaObject = ref;
    return item;
  }
  TSOwned<TMenuNode> root;
  TMenuNode* first = nullptr;
  TMenuNode* obj = nullptr;
  TMenuNode* last = nullptr;
};

TEST_F(MenuCommands, InsertSubAppendsAndTellsTheView) {
  obj->SInsert(SNew<TNode>("old"));
  Entry(MC_InsertSub, TLeafB::StaticClass())->Click();
  ASSERT_EQ(obj->Subcount(), 2);
  TVelaObject* added = obj->Sub(1);
  EXPECT_EQ(added->ClassType(), TLeafB::StaticClass());
  ProcessPendingMessages();
  ASSERT_EQ(view.Received.size(), 1u);
  EXPECT_EQ(view.Received[0].Msg, SOM_SelectNewObject);
  EXPECT_EQ(view.Received[0].WParam, reinterpret_cast<intptr_t>(added));
}

TEST_F(MenuCommands, InsertPutsASiblingInFrontOfTheObject) {
  Entry(MC_Insert, TLeafA::StaticClass())->Click();
  ASSERT_EQ(root->Subcount(), 4);
  EXPECT_EQ(root->Sub(0), first);
  EXPECT_EQ(root->Sub(1)->ClassType(), TLeafA::StaticClass());
  EXPECT_EQ(root->Sub(2), obj);
}

TEST_F(MenuCommands, AddPutsASiblingAtTheEnd) {
  Entry(MC_Add, TLeafB::StaticClass())->Click();
  ASSERT_EQ(root->Subcount(), 4);
  EXPECT_EQ(root->Sub(2), last);
  EXPECT_EQ(root->Sub(3)->ClassType(), TLeafB::StaticClass());
}

TEST_F(MenuCommands, InsertOfAClassTheOwnerDoesNotOfferDoesNothing) {
  Entry(MC_Add, TNode::StaticClass())->Click();
  Entry(MC_InsertSub, nullptr)->Click();
  EXPECT_EQ(root->Subcount(), 3);
  EXPECT_EQ(obj->Subcount(), 0);
}

struct DeleteCase {
  const char* name;
  bool hook;
  bool answer;
  int32_t ownerDenies;
  bool deleted;
  bool asked;
};

class DeleteCommand : public MenuCommands, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteCommand, ConfirmDelete) {
  const DeleteCase& c = GetParam();
  std::vector<std::pair<QString, QString>> asked;
  if (c.hook)
    FrameworkHooks().Confirm = [&](const QString& caption, const QString& text) {
      asked.emplace_back(caption, text);
      return c.answer;
    };
  root->DeleteDenied = c.ownerDenies;
  const std::weak_ptr<void> alive = obj->AliveToken();
  Entry(MC_Delete)->Click();
  EXPECT_EQ(alive.expired(), c.deleted);
  EXPECT_EQ(root->Subcount(), c.deleted ? 2 : 3);
  ASSERT_EQ(asked.size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(asked[0].first, "Confirm delete");
    EXPECT_EQ(asked[0].second, "Confirm delete\rBox");
  }
  if (c.deleted) {
    EXPECT_EQ(Messages().back(), SOM_Deleted);
  }
}

INSTANTIATE_TEST_SUITE_P(Menus, DeleteCommand,
                         ::testing::Values(DeleteCase{"Yes", true, true, 0, true, true},
                                           DeleteCase{"No", true, false, 0, false, true},
                                           DeleteCase{"NobodyToAsk", false, true, 0, false, false},
                                           DeleteCase{"OwnerDenies", true, true, 1, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuCommands, EditAndExploreOpenWindowsOnTheReferencedObject) {
  struct Opened {
    TVelaObject* obj;
    QObject* caller;
    int mode;
  };
  std::vector<Opened> opened;
  FrameworkHooks().ObjectWindow = [&](TVelaObject* o, QObject* caller, int mode) -> QObject* {
    opened.push_back({o, caller, mode});
    return nullptr;
  };
  last->EditorClass = &kEditorToken;  // its own editor: the window shows the editor pane
  Entry(MC_Edit, nullptr, last)->Click();
  Entry(MC_Explore, nullptr, first)->Click();
  Entry(MC_Edit, nullptr, nullptr)->Click();  // nothing to edit
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].obj, last);
  EXPECT_EQ(opened[0].caller, &view);
  EXPECT_EQ(opened[0].mode, 2);
  EXPECT_EQ(opened[1].obj, first);
  EXPECT_EQ(opened[1].mode, 0);
}

TEST_F(MenuCommands, DropCommandsCopyOrMoveTheReferencedObjectOntoTheObject) {
  // root > folder > (a, b); the referenced object lives elsewhere under root.
  auto* folder = static_cast<TDropFolder*>(root->SInsert(SNew<TDropFolder>("Folder")));
  folder->SInsert(SNew<TNode>("a"));
  auto* b = folder->SInsert(SNew<TNode>("b"));
  TVelaMenuItem* copy = b->CreateMenuItem(&view, &menu, MC_DropCopy, "copy", &menu, nullptr);
  copy->RefVelaObject = first;
  copy->Click();
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"a", "Copy of First", "b"})));
  EXPECT_EQ(root->Sub(0), first);

  const std::weak_ptr<void> firstAlive = first->AliveToken();
  TVelaMenuItem* move = b->CreateMenuItem(&view, &menu, MC_DropMove, "move", &menu, nullptr);
  move->RefVelaObject = first;
  move->Click();
  EXPECT_TRUE(firstAlive.expired());
  EXPECT_EQ(Join(SubNames(folder)), Join((std::vector<QString>{"a", "Copy of First", "First", "b"})));
  EXPECT_EQ(Join(SubNames(root.get())), Join((std::vector<QString>{"Box", "Last", "Folder"})));
}

class IdleCommands : public MenuCommands, public ::testing::WithParamInterface<uint16_t> {};

TEST_P(IdleCommands, DoNothing) {
  bool windowOpened = false;
  FrameworkHooks().ObjectWindow = [&](TVelaObject*, QObject*, int) -> QObject* {
    windowOpened = true;
    return nullptr;
  };
  FrameworkHooks().Confirm = [](const QString&, const QString&) { return true; };
  obj->Tracks = true;
  Entry(GetParam(), TLeafA::StaticClass(), last)->Click();
  ProcessPendingMessages();
  EXPECT_EQ(Join(SubNames(root.get())), Join((std::vector<QString>{"First", "Box", "Last"})));
  EXPECT_EQ(obj->Subcount(), 0);
  EXPECT_FALSE(windowOpened);
  EXPECT_TRUE(view.Received.empty());
  EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(Menus, IdleCommands, ::testing::Values(0, 6, 7, 11, 0xFFFF));

}  // namespace
