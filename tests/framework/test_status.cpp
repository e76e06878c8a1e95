// Real-time objects, the status list and the window hand-off.
#include <gtest/gtest.h>

#include <QBuffer>
#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "framework/FrameworkHooks.h"
#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/WindowHandoff.h"
#include "framework/sstreams.h"
#include "framework/velaobject.h"

using namespace vela;

namespace {

constexpr TStBits kAllStatus = TStBits::FromBits(0xFFFFFFFFu);
constexpr TDtBits kAllData = TDtBits::FromBits(0xFFFFFFFFu);

struct TReceived {
  uint32_t Msg;
  uint32_t WParam;
  uint32_t LParam;
  TRealTime* Source;
};

// A view that records what the status list tells it.
class TListener : public TMessageReceiver {
 public:
  void Dispatch(TMessage& m) override {
    got.push_back({m.Msg, static_cast<uint32_t>(m.WParam), static_cast<uint32_t>(m.LParam), StatusMessageSource(m)});
    if (onMessage) onMessage(m);
  }
  std::vector<TReceived> got;
  std::function<void(TMessage&)> onMessage;
};

// A main window stand-in: records every message and hands the framework's
// ones to the dispatcher, as the real window procedure does.
class TWindow : public TMessageReceiver {
 public:
  void Dispatch(TMessage& m) override {
    if (IsFrameworkMessage(m.Msg)) DispatchFrameworkMessage(m);
    got.push_back(m);
  }
  std::vector<TMessage> got;
};

// An object that records the commands it executes.
class TCommandObject : public TVelaObject {
  VELA_CLASS(TCommandObject, TVelaObject)
  void ExecCommand(uint32_t Command, uint32_t Data) override {
    if (fail) throw std::runtime_error("command failed");
    executed.push_back({Command, Data});
  }
  std::vector<std::pair<uint32_t, uint32_t>> executed;
  bool fail = false;
};
VELA_CLASS_IMPL(TCommandObject, TVelaObject)

// A row object that is not real-time itself but has one behind it.
class TRow : public TVelaObject {
  VELA_CLASS(TRow, TVelaObject)
  TVelaObject* GetSRtl() override {
    if (throws) throw std::runtime_error("no status");
    return behind;
  }
  TVelaObject* behind = nullptr;
  bool throws = false;
};
VELA_CLASS_IMPL(TRow, TVelaObject)

TRealTime* NewRealTime(uint32_t status = 0) {
  TRealTime* rt = SNew<TRealTime>();
  rt->SetStatusWord(status);
  rt->ClearStatusDirty1(kAllStatus);
  rt->ClearStatusDataDirty(kAllData);
  rt->SetStatusFlags({});
  return rt;
}

class StatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetStatusClosing(false);
    list = CreateStatusList();
  }
  void TearDown() override {
    SetNotifyWindow(nullptr);
    FrameworkHooks().Broadcast = nullptr;
    DestroyStatusList();
    SetStatusClosing(false);
    SetStatusByTimer(false);
  }
  // Bytes written by Fill into a memory stream with the given settings.
  static QByteArray Written(bool useNetid, const std::function<void(TSWriter&)>& Fill) {
    QByteArray bytes;
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::WriteOnly);
    {
      TSWriter writer(out, 1024, useNetid ? R_Status : W_ToFile, EV_6);
      writer.UseNetid = useNetid;
      Fill(writer);
      writer.FlushBuffer();
    }
    return bytes;
  }
  TStatuslist* list = nullptr;
};

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(static_cast<char>(v));
  return b;
}

}  // namespace

// ---------------------------------------------------------------------------
// TRealTime

struct StatusChangeCase {
  const char* name;
  uint32_t initial;
  enum { Set, Clear, Word } op;
  uint32_t value;
  uint32_t expectedStatus;
  uint32_t expectedChanged;
};

class RealTimeStatusChange : public StatusTest, public ::testing::WithParamInterface<StatusChangeCase> {};

TEST_P(RealTimeStatusChange, MarksExactlyTheFlippedBits) {
  const StatusChangeCase& c = GetParam();
  TSOwned<TRealTime> rt(NewRealTime(c.initial));
  TListener view;
  list->AddStatusListener(rt.get(), &view, {}, kAllStatus);

  const TStBits value = TStBits::FromBits(c.value);
  if (c.op == StatusChangeCase::Word)
    rt->SetStatusWord(value);
  else
    rt->SetStatus(value, c.op == StatusChangeCase::Set);

  EXPECT_EQ(rt->Status().ToBits(), c.expectedStatus);
  EXPECT_EQ(rt->DirtyStatus().ToBits(), c.expectedChanged);
  EXPECT_EQ(rt->StatusFlags().Has(VS_SelfDirty), c.expectedChanged != 0);
  EXPECT_EQ(list->SomeDirty(), c.expectedChanged != 0);
  EXPECT_EQ(rt->SkipServerCount(), 0);
  list->Execute();
  if (c.expectedChanged == 0) {
    EXPECT_TRUE(view.got.empty());
  } else {
    ASSERT_EQ(view.got.size(), 1u);
    EXPECT_EQ(view.got[0].Msg, SOM_StatusDirty);
    EXPECT_EQ(view.got[0].WParam, c.expectedChanged);
    EXPECT_EQ(view.got[0].LParam, 0u);
    EXPECT_EQ(view.got[0].Source, rt.get());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealTimeStatusChange,
    ::testing::Values(StatusChangeCase{"SetBitAlreadySet", 0x1, StatusChangeCase::Set, 0x1, 0x1, 0x0},
                      StatusChangeCase{"SetNewBit", 0x1, StatusChangeCase::Set, 0x2, 0x3, 0x2},
                      StatusChangeCase{"SetMixedMask", 0x1, StatusChangeCase::Set, 0x5, 0x5, 0x4},
                      StatusChangeCase{"ClearSetBit", 0x3, StatusChangeCase::Clear, 0x2, 0x1, 0x2},
                      StatusChangeCase{"ClearUnsetBit", 0x1, StatusChangeCase::Clear, 0x2, 0x1, 0x0},
                      StatusChangeCase{"WordFiveOnSix", 0x6, StatusChangeCase::Word, 0x5, 0x5, 0x3},
                      StatusChangeCase{"WordSame", 0x6, StatusChangeCase::Word, 0x6, 0x6, 0x0},
                      StatusChangeCase{"WordHighBit", 0x0, StatusChangeCase::Word, 0x80000000u, 0x80000000u,
                                       0x80000000u}),
    [](const ::testing::TestParamInfo<StatusChangeCase>& info) { return std::string(info.param.name); });

TEST_F(StatusTest, RealTimeStatusQueries) {
  TSOwned<TRealTime> rt(NewRealTime(0x5));
  EXPECT_TRUE(rt->GetStatus(ST(1)));
  EXPECT_FALSE(rt->GetStatus(ST(2)));
  EXPECT_TRUE(rt->GetStatus(TStBits{ST(2), ST(3)}));
  EXPECT_FALSE(rt->GetStatusAll(TStBits{ST(2), ST(3)}));
  EXPECT_TRUE(rt->GetStatusAll(TStBits{ST(1), ST(3)}));
  EXPECT_EQ(rt->GetSRtl(), rt.get());
  EXPECT_EQ(rt->Objtype(), 103u);
}

TEST_F(StatusTest, RealTimeSelfDirtyMarksOwners) {
  TSOwned<TVelaObject> root(SNew<TVelaObject>());
  root->CreateStdSubs();
  auto* rt = static_cast<TRealTime*>(root->SInsert(NewRealTime(), false));
  rt->SetStatus(ST(4), true);
  EXPECT_TRUE(rt->StatusFlags().Has(VS_SelfDirty));
  EXPECT_TRUE(root->StatusFlags().Has(VS_PChildrenStatusDirty));
}

TEST_F(StatusTest, RealTimeDirtyBitsClearAndTest) {
  TSOwned<TRealTime> rt(NewRealTime());
  rt->SetStatus(TStBits{ST(1), ST(2)}, true);
  EXPECT_TRUE(rt->IsStatusDirty(TStBits{ST(2)}));
  rt->ClearStatusDirty1(TStBits{ST(2)});
  EXPECT_FALSE(rt->IsStatusDirty(TStBits{ST(2)}));
  EXPECT_TRUE(rt->IsStatusDirty(TStBits{ST(1)}));

  rt->SetStatusDataDirty(DT(3));
  EXPECT_TRUE(rt->IsStatusDataDirty(TDtBits{DT(3)}));
  rt->ClearStatusDataDirty(TDtBits{DT(3)});
  EXPECT_FALSE(rt->IsStatusDataDirty(TDtBits{DT(3)}));
}

TEST_F(StatusTest, RealTimeStatusDataAndStatusChangedReachListeners) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, TDtBits{DT(2), DT_32}, {});
  rt->SetStatusDataDirty(DT(2));
  rt->SetStatusChanged();  // adds DT_32
  list->Execute();
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].WParam, 0u);
  EXPECT_EQ(view.got[0].LParam, (1u << 1) | (1u << 31));
  EXPECT_TRUE(rt->IsStatusDataDirty(TDtBits{DT_32}));
  EXPECT_TRUE(rt->StatusFlags().Has(VS_SelfDirty));
}

TEST_F(StatusTest, RealTimeSemaDirtyMarksListenersOnly) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, kAllData, kAllStatus);
  rt->SetSemaDirty(TStBits{ST(5)}, TDtBits{DT(6)});
  EXPECT_TRUE(rt->DirtyStatus().Empty());
  EXPECT_TRUE(rt->DirtyStatusData().Empty());
  EXPECT_FALSE(rt->StatusFlags().Has(VS_SelfDirty));
  list->Execute();
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].WParam, 1u << 4);
  EXPECT_EQ(view.got[0].LParam, 1u << 5);
}

TEST_F(StatusTest, RealTimeStatusFieldWritesSetAndClear) {
  TSOwned<TRealTime> rt(NewRealTime(0x1));
  const TStBits bits{ST(2), ST(3)};
  rt->SetFieldValue(FK_Status, 1, &bits, false);
  EXPECT_EQ(rt->Status().ToBits(), 0x7u);
  const TStBits clear{ST(1), ST(3)};
  rt->SetFieldValue(FK_Status, 0, &clear, false);
  EXPECT_EQ(rt->Status().ToBits(), 0x2u);
  rt->SetFieldValue(FK_Status, 1, nullptr, false);
  EXPECT_EQ(rt->Status().ToBits(), 0x2u);
}

TEST_F(StatusTest, RealTimeStreamCarriesStatusBlockAfterName) {
  TSOwned<TRealTime> rt(NewRealTime(0x5));
  rt->SetStatusDataDirty(DT_32);
  const QByteArray bytes = Written(false, [&](TSWriter& w) { w.Put(rt.get()); });
  // type 103, empty name, status 5, dirty data bit 31, no sub collection
  EXPECT_EQ(bytes, Bytes({0x67, 0, 0, 0, 0x00, 0x05, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}));

  auto* in = new QBuffer;
  in->setData(bytes);
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 1024, R_FromFile, EV_6);
  TSOwned<TSobject> copy(reader.Get());
  ASSERT_TRUE(copy && copy->InheritsFrom(TRealTime::StaticClass()));
  auto* loaded = static_cast<TRealTime*>(copy.get());
  EXPECT_EQ(loaded->Status().ToBits(), 0x5u);
  EXPECT_EQ(loaded->DirtyStatusData().ToBits(), 0x80000000u);
}

TEST_F(StatusTest, RealTimeStreamWithNetIdsPutsStatusAfterContent) {
  TSOwned<TRealTime> rt(NewRealTime(0x2));
  rt->SetNetId(9);
  rt->SetName(QStringLiteral("A"));
  const QByteArray bytes = Written(true, [&](TSWriter& w) { w.Put(rt.get()); });
  // type, net id, name "A" (80 01 41 00), status block, no subs
  EXPECT_EQ(bytes, Bytes({0x67, 0, 0, 0, 9, 0, 0, 0, 0x80, 0x01, 0x41, 0x00, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(StatusTest, RealTimeStoreNetStatusWritesOneRecordAndClears) {
  TSOwned<TVelaObject> root(SNew<TVelaObject>());
  root->CreateStdSubs();
  auto* quiet = static_cast<TRealTime*>(root->SInsert(NewRealTime(), false));
  auto* rt = static_cast<TRealTime*>(root->SInsert(NewRealTime(), false));
  rt->SetNetId(7);
  rt->SetStatus(ST(2), true);
  quiet->SetStatusFlags(quiet->StatusFlags() + VS_SelfDirty);  // dirty flag, no dirty bits

  const QByteArray first = Written(true, [&](TSWriter& w) { root->StoreNetStatus(w); });
  // next record at 16, net id 7, status 2, no dirty data
  EXPECT_EQ(first, Bytes({16, 0, 0, 0, 7, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(rt->StatusFlags().Has(VS_SelfDirty));
  EXPECT_FALSE(quiet->StatusFlags().Has(VS_SelfDirty));
  EXPECT_TRUE(rt->DirtyStatus().Empty());
  EXPECT_FALSE(root->StatusFlags().Has(VS_PChildrenStatusDirty));

  const QByteArray second = Written(true, [&](TSWriter& w) { root->StoreNetStatus(w); });
  EXPECT_TRUE(second.isEmpty());
}

TEST_F(StatusTest, RealTimeAfterLoadNetStatusMarksAndClearsDataBits) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, TDtBits{DT(1)}, {});
  auto* in = new QBuffer;
  in->setData(Bytes({3, 0, 0, 0, 1, 0, 0, 0}));
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 1024, R_Status, EV_6);
  reader.UseNetid = true;
  rt->LoadStatus(reader);
  EXPECT_EQ(rt->Status().ToBits(), 3u);
  EXPECT_EQ(rt->DirtyStatusData().ToBits(), 1u);
  rt->AfterLoadNetStatus();
  EXPECT_TRUE(rt->DirtyStatusData().Empty());
  list->Execute();
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].LParam, 1u);
}

// ---------------------------------------------------------------------------
// TStatuslist

TEST_F(StatusTest, StatusListTwoListenersGetOnlyTheirBits) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener a, b;
  list->AddStatusListener(rt.get(), &a, {}, TStBits{ST(1)});
  list->AddStatusListener(rt.get(), &b, TDtBits{DT(4)}, TStBits{ST(2)});
  rt->SetStatus(TStBits{ST(1), ST(2), ST(3)}, true);
  rt->SetStatusDataDirty(TDtBits{DT(4), DT(5)});
  list->Execute();
  ASSERT_EQ(a.got.size(), 1u);
  EXPECT_EQ(a.got[0].WParam, 0x1u);
  EXPECT_EQ(a.got[0].LParam, 0u);
  ASSERT_EQ(b.got.size(), 1u);
  EXPECT_EQ(b.got[0].WParam, 0x2u);
  EXPECT_EQ(b.got[0].LParam, 0x8u);
}

TEST_F(StatusTest, StatusListChangesBetweenPassesCoalesce) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, {}, TStBits{ST(1), ST(3)});
  rt->SetStatus(ST(1), true);
  rt->SetStatus(ST(1), false);
  rt->SetStatus(ST(1), true);
  rt->SetStatus(ST(3), true);
  list->Execute();
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].WParam, 0x5u);
  list->Execute();
  EXPECT_EQ(view.got.size(), 1u);
  EXPECT_FALSE(list->SomeDirty());
}

TEST_F(StatusTest, StatusListDestroyedSourceSendsToBeDeletedThenForgets) {
  TRealTime* rt = NewRealTime();
  TSOwned<TRealTime> other(NewRealTime());
  TListener a, b;
  list->AddStatusListener(rt, &a, {}, TStBits{ST(1)});
  list->AddStatusListener(rt, &b, TDtBits{DT(1)}, {});
  list->AddStatusListener(other.get(), &a, {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);  // pending bits do not outlive the source
  TRealTime* gone = rt;
  FreeObj(rt);
  EXPECT_TRUE(list->SomeDirty());
  EXPECT_EQ(list->Count(), 3);
  list->Execute();
  for (TListener* v : {&a, &b}) {
    ASSERT_EQ(v->got.size(), 1u);
    EXPECT_EQ(v->got[0].Msg, SOM_ToBeDeleted);
    EXPECT_EQ(v->got[0].WParam, 0u);
    EXPECT_EQ(v->got[0].LParam, 0u);
    EXPECT_EQ(v->got[0].Source, gone);
  }
  ASSERT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Entry(0)->Source, other.get());
}

TEST_F(StatusTest, StatusListSourceFreedWithItsOwnerIsReported) {
  TVelaObject* root = SNew<TVelaObject>();
  root->CreateStdSubs();
  root->SInsert(NewRealTime(), false);
  TListener view;
  list->AddStatusListener(static_cast<TRealTime*>(root->Sub(0)), &view, {}, TStBits{ST(1)});
  FreeObj(root);
  list->Execute();
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].Msg, SOM_ToBeDeleted);
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(StatusTest, StatusListNoPassAfterClosing) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);
  StatusShutdown();
  const int passes = list->PassCount();
  StatusTimerTick();
  EXPECT_EQ(list->PassCount(), passes);
  list->Execute();  // even a direct pass delivers nothing now
  EXPECT_TRUE(view.got.empty());
}

TEST_F(StatusTest, StatusTimerRunsPassOnlyWhenPending) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, {}, TStBits{ST(1)});
  const int passes = list->PassCount();
  EXPECT_FALSE(StatusPending());
  StatusTimerTick();
  EXPECT_EQ(list->PassCount(), passes);
  rt->SetStatus(ST(2), true);  // not wanted: nothing pending
  StatusTimerTick();
  EXPECT_EQ(list->PassCount(), passes);
  rt->SetStatus(ST(1), true);
  EXPECT_TRUE(StatusPending());
  StatusTimerTick();
  EXPECT_EQ(list->PassCount(), passes + 1);
  EXPECT_EQ(view.got.size(), 1u);
  EXPECT_FALSE(StatusPending());
}

TEST_F(StatusTest, StatusTimerSwallowsListenerExceptions) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener bad, good;
  bad.onMessage = [](TMessage&) { throw std::runtime_error("view failed"); };
  list->AddStatusListener(rt.get(), &bad, {}, TStBits{ST(1)});
  list->AddStatusListener(rt.get(), &good, {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);
  EXPECT_NO_THROW(StatusTimerTick());
  EXPECT_EQ(bad.got.size(), 1u);
  EXPECT_EQ(good.got.size(), 1u);
}

struct AddCase {
  const char* name;
  bool withSource;
  bool withListener;
  uint32_t data;
  uint32_t status;
  bool registers;
};

class StatusListAdd : public StatusTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(StatusListAdd, RegistersOnlyWithSourceListenerAndBits) {
  const AddCase& c = GetParam();
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  TStatusDirty* e = list->AddStatusListener(c.withSource ? rt.get() : nullptr, c.withListener ? &view : nullptr,
                                            TDtBits::FromBits(c.data), TStBits::FromBits(c.status));
  EXPECT_EQ(e != nullptr, c.registers);
  EXPECT_EQ(list->Count(), c.registers ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusListAdd,
                         ::testing::Values(AddCase{"BothMasksEmpty", true, true, 0, 0, false},
                                           AddCase{"NoSource", false, true, 1, 1, false},
                                           AddCase{"NoListener", true, false, 1, 1, false},
                                           AddCase{"StatusOnly", true, true, 0, 1, true},
                                           AddCase{"DataOnly", true, true, 1, 0, true}),
                         [](const ::testing::TestParamInfo<AddCase>& info) { return std::string(info.param.name); });

TEST_F(StatusTest, StatusListAddingAgainWidensTheEntry) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  TStatusDirty* e = list->AddStatusListener(rt.get(), &view, TDtBits{DT(1)}, TStBits{ST(1)});
  EXPECT_EQ(list->AddStatusListener(rt.get(), &view, TDtBits{DT(2)}, TStBits{ST(2)}), e);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(e->WantStatus.ToBits(), 0x3u);
  EXPECT_EQ(e->WantStatusData.ToBits(), 0x3u);
  list->SetWantStatus(&view, rt.get(), TStBits{ST(4)});
  list->SetWantStatusData(&view, rt.get(), {});
  EXPECT_EQ(e->WantStatus.ToBits(), 0x8u);
  EXPECT_TRUE(e->WantStatusData.Empty());
  TListener stranger;
  list->SetWantStatus(&stranger, rt.get(), kAllStatus);  // no entry: nothing
  EXPECT_EQ(list->Count(), 1);
}

TEST_F(StatusTest, StatusListChangeListenerSourceKeepsOrder) {
  std::vector<TSOwned<TRealTime>> sources;
  for (int i = 0; i < 6; ++i) sources.emplace_back(NewRealTime());
  // From the highest reference to the lowest: a move that merely appended
  // would break the order.
  std::sort(sources.begin(), sources.end(),
            [](const auto& a, const auto& b) { return std::less<TRealTime*>{}(a.get(), b.get()); });
  TRealTime* from = sources[5].get();
  TRealTime* target = sources[0].get();
  TListener moving, stay;
  for (auto& s : sources) list->AddStatusListener(s.get(), &stay, {}, TStBits{ST(1)});
  list->AddStatusListener(from, &moving, {}, TStBits{ST(1)});

  list->ChangeListenerSource(&moving, from, TDtBits{DT(2)}, TStBits{ST(3)}, target);

  for (int i = 1; i < list->Count(); ++i)
    EXPECT_LE(list->Compare(list->KeyOf(list->At(i - 1)), list->KeyOf(list->At(i))), 0) << "at " << i;
  const auto entries = list->EntriesOf(&moving);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0]->Source, target);
  EXPECT_EQ(entries[0]->WantStatus.ToBits(), 0x4u);
  EXPECT_EQ(entries[0]->WantStatusData.ToBits(), 0x2u);

  from->SetStatus(ST(3), true);
  target->SetStatus(ST(3), true);
  list->Execute();
  ASSERT_EQ(moving.got.size(), 1u);
  EXPECT_EQ(moving.got[0].Source, target);
  EXPECT_EQ(moving.got[0].WParam, 0x4u);
}

TEST_F(StatusTest, StatusListChangeListenerSourceFindsTheRealTimeObjectBehind) {
  TSOwned<TRealTime> a(NewRealTime()), b(NewRealTime());
  TSOwned<TRow> rowA(SNew<TRow>()), rowB(SNew<TRow>()), plain(SNew<TRow>()), broken(SNew<TRow>());
  rowA->behind = a.get();
  rowB->behind = b.get();
  broken->throws = true;
  TListener view;

  // no old real-time object: a plain registration for the new one
  list->ChangeListenerSource(&view, plain.get(), {}, TStBits{ST(1)}, rowA.get());
  ASSERT_EQ(list->EntriesOf(&view).size(), 1u);
  EXPECT_EQ(list->EntriesOf(&view)[0]->Source, a.get());
  // moved from the row's object to the other row's object
  list->ChangeListenerSource(&view, rowA.get(), {}, TStBits{ST(2)}, rowB.get());
  ASSERT_EQ(list->EntriesOf(&view).size(), 1u);
  EXPECT_EQ(list->EntriesOf(&view)[0]->Source, b.get());
  // an exception while asking counts as none: the registration goes
  list->ChangeListenerSource(&view, rowB.get(), {}, TStBits{ST(2)}, broken.get());
  EXPECT_TRUE(list->EntriesOf(&view).empty());
  // an old object with no entry of the listener: registers on the new one
  list->ChangeListenerSource(&view, rowA.get(), {}, TStBits{ST(2)}, rowB.get());
  EXPECT_EQ(list->EntriesOf(&view).size(), 1u);
}

TEST_F(StatusTest, StatusListRemoveStatusListener) {
  for (bool deliverFirst : {false, true}) {
    SCOPED_TRACE(deliverFirst);
    TSOwned<TRealTime> a(NewRealTime()), b(NewRealTime());
    TListener view, other;
    list->AddStatusListener(a.get(), &view, {}, TStBits{ST(1)});
    list->AddStatusListener(b.get(), &view, {}, TStBits{ST(1)});
    list->AddStatusListener(a.get(), &other, {}, TStBits{ST(1)});
    a->SetStatus(ST(1), true);
    list->RemoveStatusListener(&view, deliverFirst);
    EXPECT_EQ(view.got.size(), deliverFirst ? 1u : 0u);
    if (deliverFirst) {
      EXPECT_EQ(view.got[0].Source, a.get());
    }
    EXPECT_TRUE(list->EntriesOf(&view).empty());
    EXPECT_EQ(list->Count(), 1);
    list->Execute();
    EXPECT_EQ(view.got.size(), deliverFirst ? 1u : 0u);
    EXPECT_EQ(other.got.size(), 1u);
    list->RemoveStatusListener(&other, false);
  }
}

TEST_F(StatusTest, StatusListFlushListenerDeliversAtOnce) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view, other;
  list->AddStatusListener(rt.get(), &view, {}, TStBits{ST(1)});
  list->AddStatusListener(rt.get(), &other, {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);
  list->FlushListener(&view);
  EXPECT_EQ(view.got.size(), 1u);
  EXPECT_TRUE(other.got.empty());
  list->Execute();
  EXPECT_EQ(view.got.size(), 1u);
  EXPECT_EQ(other.got.size(), 1u);
}

TEST_F(StatusTest, StatusListListenerMayRemoveItselfDuringPass) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener first, second, third;
  for (TListener* v : {&first, &second, &third}) list->AddStatusListener(rt.get(), v, {}, TStBits{ST(1)});
  second.onMessage = [&](TMessage&) { list->RemoveStatusListener(&second, false); };
  rt->SetStatus(ST(1), true);
  list->Execute();
  EXPECT_EQ(first.got.size(), 1u);
  EXPECT_EQ(second.got.size(), 1u);
  EXPECT_EQ(third.got.size(), 1u);
  EXPECT_EQ(list->Count(), 2);
}

TEST_F(StatusTest, StatusListForgetsListenerDestroyedWithoutUnregistering) {
  TSOwned<TRealTime> rt(NewRealTime());
  auto view = std::make_unique<TListener>();
  list->AddStatusListener(rt.get(), view.get(), {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);
  view.reset();
  list->Execute();  // nothing reaches freed memory
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(StatusTest, StatusListStopsWhileLockIsHeld) {
  TSOwned<TRealTime> rt(NewRealTime());
  TListener view;
  list->AddStatusListener(rt.get(), &view, {}, TStBits{ST(1)});
  rt->SetStatus(ST(1), true);
  list->Lock();
  EXPECT_EQ(list->StopCount(), 1);
  list->Execute();
  list->Unlock();
  EXPECT_TRUE(view.got.empty());
  EXPECT_TRUE(list->SomeDirty());  // left for the next pass
  list->Execute();
  EXPECT_EQ(view.got.size(), 1u);
}

TEST_F(StatusTest, StatusMessageSourceOnlyForListDeliveries) {
  TMessage plain{SOM_StatusDirty, 0, 0, 0};
  EXPECT_EQ(StatusMessageSource(plain), nullptr);
}

// ---------------------------------------------------------------------------
// Window hand-off

TEST_F(StatusTest, HandoffFrameworkMessageRange) {
  struct Case {
    uint32_t msg;
    bool framework;
  };
  for (const Case& c :
       {Case{0x84B0, false}, Case{0x84B1, true}, Case{0x84B9, true}, Case{0x8513, true}, Case{0x8514, false},
        Case{0x8451, true}, Case{0x8454, true}, Case{0x8452, false}, Case{0x86A5, false}}) {
    EXPECT_EQ(IsFrameworkMessage(c.msg), c.framework) << std::hex << c.msg;
  }
  int broadcasts = 0;
  FrameworkHooks().Broadcast = [&](uint32_t, TVelaObject*, intptr_t) { ++broadcasts; };
  for (uint32_t msg : {0x84B0u, 0x8514u}) {
    TMessage m{msg, 0, 0, 0};
    DispatchFrameworkMessage(m);
    EXPECT_EQ(m.Result, 0);
  }
  EXPECT_EQ(broadcasts, 0);
  for (uint32_t msg : {0x84B1u, 0x8513u}) {
    TMessage m{msg, 0, 0, 0};
    DispatchFrameworkMessage(m);
    EXPECT_EQ(m.Result, 1);
  }
  EXPECT_EQ(broadcasts, 2);
}

TEST_F(StatusTest, HandoffBeginStatusByTimerWiresTheWindow) {
  DestroyStatusList();
  TWindow window;
  BeginStatusByTimer(&window);
  EXPECT_TRUE(StatusByTimer());
  EXPECT_NE(TheStatusList(), nullptr);
  EXPECT_EQ(NotifyWindow(), &window);
  list = TheStatusList();
}

TEST_F(StatusTest, HandoffWithoutWindowDropsNotificationsAndRefusesCommands) {
  TSOwned<TCommandObject> obj(SNew<TCommandObject>());
  EXPECT_FALSE(obj->DispatchCommand(1, 2));
  EXPECT_FALSE(obj->DispatchCommandLong(3));
  EXPECT_NO_THROW(obj->SetName(QStringLiteral("quiet")));
}

TEST_F(StatusTest, HandoffNotificationsAreSentToTheWindow) {
  TWindow window;
  SetNotifyWindow(&window);
  std::vector<std::tuple<uint32_t, TVelaObject*, intptr_t>> broadcast;
  FrameworkHooks().Broadcast = [&](uint32_t m, TVelaObject* o, intptr_t s) { broadcast.emplace_back(m, o, s); };
  TSOwned<TVelaObject> owner(SNew<TVelaObject>());
  owner->CreateStdSubs();
  TVelaObject* sub = owner->SInsert(SNew<TVelaObject>());
  sub->SetName(QStringLiteral("x"));
  // delivered before the calls returned
  ASSERT_EQ(window.got.size(), 2u);
  EXPECT_EQ(window.got[0].Msg, SOM_Inserted);
  EXPECT_EQ(window.got[0].LParam, reinterpret_cast<intptr_t>(sub));
  EXPECT_EQ(window.got[0].WParam, 0);  // the owner of the inserting object: none
  EXPECT_EQ(window.got[0].Result, 1);
  EXPECT_EQ(window.got[1].Msg, SOM_NameChanged);
  EXPECT_EQ(window.got[1].LParam, reinterpret_cast<intptr_t>(sub));
  ASSERT_EQ(broadcast.size(), 2u);
  EXPECT_EQ(std::get<0>(broadcast[1]), SOM_NameChanged);
  EXPECT_EQ(std::get<1>(broadcast[1]), sub);
}

TEST_F(StatusTest, HandoffCommandsArePostedAndRunExecCommand) {
  struct Case {
    const char* name;
    bool isLong;
    uint32_t command;
    uint32_t data;
    uint32_t msg;
    uint32_t lparam;
    uint32_t execCommand;
    uint32_t execData;
  };
  TWindow window;
  SetNotifyWindow(&window);
  for (const Case& c : {Case{"Short", false, 3, 0x12345, SOM_Command, 0x32345, 3, 0x2345},
                        Case{"ShortAsLong", false, 0xFFFF, 0xABCDEF01, SOM_CommandLong, 0xABCDEF01, 0xFFFF, 0xABCDEF01},
                        Case{"Long", true, 0, 0x80000001, SOM_CommandLong, 0x80000001, 0xFFFF, 0x80000001}}) {
    SCOPED_TRACE(c.name);
    window.got.clear();
    TSOwned<TCommandObject> obj(SNew<TCommandObject>());
    EXPECT_TRUE(c.isLong ? obj->DispatchCommandLong(c.data) : obj->DispatchCommand(c.command, c.data));
    EXPECT_TRUE(window.got.empty());  // posted, not sent
    EXPECT_TRUE(obj->executed.empty());
    ProcessPendingMessages();
    ASSERT_EQ(window.got.size(), 1u);
    EXPECT_EQ(window.got[0].Msg, c.msg);
    EXPECT_EQ(window.got[0].WParam, reinterpret_cast<intptr_t>(obj.get()));
    EXPECT_EQ(static_cast<uint32_t>(window.got[0].LParam), c.lparam);
    ASSERT_EQ(obj->executed.size(), 1u);
    EXPECT_EQ(obj->executed[0].first, c.execCommand);
    EXPECT_EQ(obj->executed[0].second, c.execData);
  }
}

TEST_F(StatusTest, HandoffCommandForFreedObjectIsDropped) {
  TWindow window;
  SetNotifyWindow(&window);
  auto* doomed = SNew<TCommandObject>();
  EXPECT_TRUE(doomed->DispatchCommand(1, 1));
  FreeObj(doomed);
  // A new object may well take the freed address; its own command still runs.
  TSOwned<TCommandObject> next(SNew<TCommandObject>());
  EXPECT_TRUE(next->DispatchCommand(2, 2));
  ProcessPendingMessages();
  int commands = 0;
  for (const TMessage& m : window.got) commands += m.Msg == SOM_Command;
  EXPECT_EQ(commands, 2);  // both arrived; only the live object's ran
  ASSERT_EQ(next->executed.size(), 1u);
  EXPECT_EQ(next->executed[0].first, 2u);
}

TEST_F(StatusTest, HandoffCommandToDestroyedWindowIsDropped) {
  auto window = std::make_unique<TWindow>();
  SetNotifyWindow(window.get());
  TSOwned<TCommandObject> obj(SNew<TCommandObject>());
  EXPECT_TRUE(obj->DispatchCommand(1, 1));
  window.reset();
  ProcessPendingMessages();
  EXPECT_TRUE(obj->executed.empty());
  // The hooks of a dead window stop by themselves.
  EXPECT_FALSE(obj->DispatchCommand(1, 1));
  EXPECT_NO_THROW(obj->SetName(QStringLiteral("after")));
}

TEST_F(StatusTest, HandoffExceptionInCommandIsSwallowed) {
  TWindow window;
  SetNotifyWindow(&window);
  TSOwned<TCommandObject> obj(SNew<TCommandObject>());
  obj->fail = true;
  obj->DispatchCommand(5, 5);
  EXPECT_NO_THROW(ProcessPendingMessages());
  EXPECT_EQ(window.got.size(), 1u);
}

TEST_F(StatusTest, HandoffSubsDirtyReleasesOldSubsAfterBroadcast) {
  TWindow window;
  SetNotifyWindow(&window);
  TSOwned<TVelaObject> owner(SNew<TVelaObject>());
  owner->CreateStdSubs();
  TVelaObject* oldSub = owner->SInsert(SNew<TVelaObject>(), false);
  bool oldSubsSeenDuringBroadcast = false;
  FrameworkHooks().Broadcast = [&](uint32_t m, TVelaObject* o, intptr_t) {
    if (m == SOM_SubsDirty && o == owner.get())
      oldSubsSeenDuringBroadcast = o->OldSubsCollection() != nullptr && oldSub->SOwner() == owner.get();
  };
  owner->SetSubobjects(SNew<TSCollection>());
  EXPECT_TRUE(oldSubsSeenDuringBroadcast);
  EXPECT_EQ(owner->OldSubsCollection(), nullptr);
  ASSERT_FALSE(window.got.empty());
  EXPECT_EQ(window.got.back().Msg, SOM_SubsDirty);
  EXPECT_EQ(window.got.back().Result, 1);
}

TEST_F(StatusTest, HandoffBroadcastsToViewListWithoutHook) {
  TViewList views;
  TViewList* previous = TheViewList();
  SetTheViewList(&views);
  TListener view;
  views.RegisterView(&view);
  TSOwned<TVelaObject> obj(SNew<TVelaObject>());
  TMessage m{SOM_DataChanged, 0x55, reinterpret_cast<intptr_t>(obj.get()), 0};
  DispatchFrameworkMessage(m);
  EXPECT_EQ(m.Result, 1);
  ASSERT_EQ(view.got.size(), 1u);
  EXPECT_EQ(view.got[0].Msg, SOM_DataChanged);
  SetTheViewList(previous);
}
