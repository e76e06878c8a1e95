#pragma once
// Small object classes and a notification recorder shared by the tree tests.
#include <gtest/gtest.h>

#include "common/QtPrinters.h"

#include <vector>

#include "framework/FrameworkHooks.h"
#include "framework/velaobject.h"

namespace vela::testing {

// An object with a word id and a standard sub collection.
class TNode : public TVelaObject {
  VELA_CLASS(TNode, TVelaObject)
  TNode() { CreateStdSubs(); }
  explicit TNode(const QString& name) : TNode() { SetName(name); }
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override {
    if (k == FK_Word && id == 0) return p = &fWordId, true;
    return TVelaObject::GetFieldPointer(k, id, p);
  }
  uint16_t fWordId = 0;
};

// A node whose subs must carry unique word ids, starting at 10.
class TUniqueNode : public TNode {
  VELA_CLASS(TUniqueNode, TNode)
  int32_t RQ(TRQ q, TVelaObject* s, int p1, int p2) override {
    if (q == RQ_UniqueSubsWordId) return 1;
    if (q == RQ_FirstSubId) return 10;
    return TNode::RQ(q, s, p1, p2);
  }
};

// A node that keeps its subs sorted by word id.
class TSortedNode : public TNode {
  VELA_CLASS(TSortedNode, TNode)
  TSortedNode() {
    delete fSubs;
    fSubs = SNew<TWordIdColl>();
  }
};

void RegisterTestTypes();

struct TRecorded {
  uint32_t Msg;
  TVelaObject* Obj;
  intptr_t Second;
};

// Installs a notification hook for the lifetime of the fixture.
class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestTypes();
    FrameworkHooks().Notify = [this](uint32_t m, TVelaObject* o, intptr_t s, int32_t) { log.push_back({m, o, s}); };
  }
  void TearDown() override { FrameworkHooks().Notify = nullptr; }
  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> out;
    for (auto& r : log) out.push_back(r.Msg);
    return out;
  }
  std::vector<TRecorded> log;
};

}  // namespace vela::testing
