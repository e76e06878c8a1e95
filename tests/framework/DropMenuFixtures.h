#pragma once
// Object classes for the menu and drag-and-drop tests: nodes with chosen
// standard sub types, editors, tracking answers and drop targets.
#include <QObject>
#include <memory>
#include <vector>

#include "TreeFixtures.h"
#include "framework/Drag.h"
#include "framework/ObjectMenus.h"
#include "framework/sstreams.h"

namespace vela::testing {

// A node whose menu-related answers the test chooses.
class TMenuNode : public TNode {
  VELA_CLASS(TMenuNode, TNode)
  TMenuNode() = default;
  explicit TMenuNode(const QString& name) { SetName(name); }

  int GetStdSubTypes(TClassArr& arr) override {
    arr = StdTypes;
    return static_cast<int>(arr.size());
  }
  const void* ParamEditorClass() override { return EditorClass; }
  TVelaObject* TrackMe() override { return Tracks ? this : nullptr; }
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override {
    if (k == FK_Special && id == 1104 && Tracking) return p = Tracking, true;
    return TNode::GetFieldPointer(k, id, p);
  }
  TVelaObject* RefByFieldId(TSFieldKind k, uint32_t id, int param) override {
    if (k == FK_UniqueId && id == 5) return Referenced;
    return TNode::RefByFieldId(k, id, param);
  }
  int32_t RQ(TRQ q, TVelaObject* s, int p1, int p2) override {
    if (q == RQ_DeleteDenied && DeleteDenied) return 1;
    if (q == RQ_BrowseEditDenied) return BrowseEditDenied;
    return TNode::RQ(q, s, p1, p2);
  }

  TClassArr StdTypes;
  const void* EditorClass = nullptr;
  bool Tracks = false;
  TVelaObject* Tracking = nullptr;    // answers the tracking-owner pair
  TVelaObject* Referenced = nullptr;  // what the field (FK_UniqueId, 5) refers to
  int32_t DeleteDenied = 0;
  int32_t BrowseEditDenied = 0;
};

// The same with sorted subs (by word id).
class TSortedMenuNode : public TMenuNode {
  VELA_CLASS(TSortedMenuNode, TMenuNode)
  TSortedMenuNode() {
    delete fSubs;
    fSubs = SNew<TWordIdColl>();
  }
};

class TLeafA : public TNode {
  VELA_CLASS(TLeafA, TNode)
};
class TLeafB : public TNode {  // registered without a display name
  VELA_CLASS(TLeafB, TNode)
};
class TBlockLike : public TNode {  // display name "DMX Block"
  VELA_CLASS(TBlockLike, TNode)
};

// A node that keeps its word id in its stream form, so copies keep it.
class TWordNode : public TNode {
  VELA_CLASS(TWordNode, TNode)
  TWordNode() = default;
  TWordNode(const QString& name, uint16_t id) {
    SetName(name);
    fWordId = id;
  }
  void Storedata(TSWriter& w) override {
    TNode::Storedata(w);
    w.WriteWord(fWordId);
  }
  void Loaddata(TSReader& r) override {
    TNode::Loaddata(r);
    fWordId = r.ReadWord();
  }
};

// Accepts every drop (copy and move) and remembers the last question.
class TDropFolder : public TMenuNode {
  VELA_CLASS(TDropFolder, TMenuNode)
  TDropFolder() = default;
  explicit TDropFolder(const QString& name) { SetName(name); }
  TVelaObject* Acceptdrop(TVelaObject* from, TSDropkind& kinds, TSDropMode mode, Qt::KeyboardModifiers) override {
    LastFrom = from;
    LastMode = mode;
    ++Asked;
    kinds = {DSD_copy, DSD_move};
    return this;
  }
  TVelaObject* LastFrom = nullptr;
  TSDropMode LastMode;
  int Asked = 0;
};

// A drop folder with subs sorted by word id, without duplicates.
class TSortedDropFolder : public TDropFolder {
  VELA_CLASS(TSortedDropFolder, TDropFolder)
  TSortedDropFolder() {
    delete fSubs;
    fSubs = SNew<TWordIdColl>();
  }
};

void RegisterDropMenuTypes();

// A view: a QObject that also takes messages, as the browser frames do.
class TTestView : public QObject, public TMessageReceiver {
 public:
  void Dispatch(TMessage& m) override { Received.push_back(m); }
  std::vector<TMessage> Received;
};

// Tree tests with the menu and drop classes registered.
class DropMenuTest : public TreeTest {
 protected:
  void SetUp() override {
    TreeTest::SetUp();
    RegisterDropMenuTypes();
  }
  void TearDown() override {
    FrameworkHooks().Confirm = nullptr;
    FrameworkHooks().ObjectWindow = nullptr;
    FrameworkHooks().ImageIndex = nullptr;
    TreeTest::TearDown();
  }
};

// The names of the subs of obj, in order.
std::vector<QString> SubNames(TVelaObject* obj);
// Captions and commands of the direct entries of a menu level.
std::vector<QString> Captions(const TVelaMenuItem& level);
std::vector<uint16_t> Commands(const TVelaMenuItem& level);
// Texts joined by " | ", so that a failed comparison prints readably.
QString Join(const std::vector<QString>& texts);

}  // namespace vela::testing
