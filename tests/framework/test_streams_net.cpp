// The network record streams: byte-exact records, round trips of data and
// status records, HandleNetStream's commands, and records that are skipped.
#include <gtest/gtest.h>

#include <QPointer>

#include "framework/NetStreams.h"
#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"
#include "test_streams_support.h"

using namespace vela;
using namespace streamtest;

namespace {

QByteArray NetBytes(TRWMode Mode, const std::function<void(TSWriter&)>& Write) { return NetWritten(Mode, Write); }

TProbe* P(TVelaObject* o) { return static_cast<TProbe*>(o); }

// A status record built by hand: next position, net id, status, dirty data.
QByteArray StatusRecord(int32_t next, uint32_t id, uint32_t status, uint32_t dirty = 0) {
  return NetBytes(R_Status, [&](TSWriter& w) {
    w.WriteInteger(next);
    w.WriteDWord(id);
    w.WriteDWord(status);
    w.WriteDWord(dirty);
  });
}

}  // namespace

// The receiving tree: root { p1 (11), p2 (12) { p3 (13) } }.
class NetStreams : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestTypes();
    baseline = TProbe::Alive;
    root.reset(SNew<TVelaObject>());
    root->SetName("root");
    root->CreateStdSubs();
    p1 = P(root->SInsert(NewProbe("p1", 11, 1), false));
    p2 = P(root->SInsert(NewProbe("p2", 12, 2), false));
    p2->CreateStdSubs();
    p3 = P(p2->SInsert(NewProbe("p3", 13, 3), false));
    for (TVelaObject* o : {static_cast<TVelaObject*>(root.get()), static_cast<TVelaObject*>(p1),
                           static_cast<TVelaObject*>(p2), static_cast<TVelaObject*>(p3)})
      o->SetDataFlagsRaw({});
  }
  void TearDown() override {
    root.reset();
    EXPECT_EQ(TProbe::Alive, baseline) << "objects leaked or freed twice";
  }

  // Hands bytes to HandleNetStream and checks that the stream was consumed.
  TVelaObject* Handle(const QByteArray& bytes, int Command, uint32_t ServerId = 0, int Index = 0) {
    QBuffer* stream = MemoryStream(bytes);
    QPointer<QBuffer> guard(stream);
    TVelaObject* result = HandleNetStream(*root, stream, ServerId, Index, Command);
    EXPECT_TRUE(guard.isNull()) << "the stream was not freed";
    return result;
  }

  int baseline = 0;
  TSOwned<TVelaObject> root;
  TProbe* p1 = nullptr;
  TProbe* p2 = nullptr;
  TProbe* p3 = nullptr;
};

// ---------------------------------------------------------------------------
// Status stream

TEST_F(NetStreams, StatusRecordsAreByteExactAndLoadIntoTheObjectsByNetId) {
  TSOwned<TProbe> s(NewProbe("s", 12));
  s->Status = 5;
  s->DirtyData = 0x80000000;
  TSOwned<TProbe> t(NewProbe("t", 13));
  t->Status = 6;
  const QByteArray bytes = NetBytes(R_Status, [&](TSWriter& w) {
    WriteNetStatusRecord(w, *s);
    WriteNetStatusRecord(w, *t);
  });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("10 00 00 00  0C 00 00 00  05 00 00 00  00 00 00 80  "
                                    "20 00 00 00  0D 00 00 00  06 00 00 00  00 00 00 00")));
  EXPECT_EQ(Handle(bytes, NC_Status), nullptr);
  EXPECT_EQ(p2->Status, 5u);
  EXPECT_EQ(p2->DirtyData, 0x80000000u);
  EXPECT_EQ(p2->AfterLoadNetStatusCalls, 1);
  EXPECT_EQ(p3->Status, 6u);
  EXPECT_EQ(p3->AfterLoadNetStatusCalls, 1);
  EXPECT_EQ(p1->AfterLoadNetStatusCalls, 0);
  EXPECT_EQ(p1->Status, 0u);
}

TEST_F(NetStreams, StatusWalkWritesOnlyTheDirtyObjects) {
  TSOwned<TVelaObject> sender(SNew<TVelaObject>());
  sender->CreateStdSubs();
  TProbe* a = P(sender->SInsert(NewProbe("a", 21), false));
  TProbe* b = P(sender->SInsert(NewProbe("b", 22), false));
  b->CreateStdSubs();
  TProbe* c = P(b->SInsert(NewProbe("c", 23), false));
  c->ChangeStatus(4);
  EXPECT_TRUE(sender->StatusFlags().Has(VS_PChildrenStatusDirty));
  const QByteArray bytes = NetBytes(R_Status, [&](TSWriter& w) { sender->StoreNetStatus(w); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("10 00 00 00  17 00 00 00  04 00 00 00  00 00 00 00")));
  EXPECT_FALSE(sender->StatusFlags().Has(VS_PChildrenStatusDirty));
  EXPECT_FALSE(b->StatusFlags().Has(VS_PChildrenStatusDirty));
  EXPECT_FALSE(c->StatusFlags().Has(VS_SelfDirty));
  EXPECT_FALSE(a->StatusFlags().Has(VS_SelfDirty));
  // Nothing is dirty any more: the next walk writes nothing.
  EXPECT_TRUE(NetBytes(R_Status, [&](TSWriter& w) { sender->StoreNetStatus(w); }).isEmpty());
}

TEST_F(NetStreams, StatusRecordsOfRealTimeObjects) {
  TSOwned<TRealTime> sender(SNew<TRealTime>());
  sender->SetNetId(31);
  sender->SetStatus(TStBits::FromBits(0x5), true);
  sender->SetStatusDataDirty(DT(2));
  const QByteArray bytes = NetBytes(R_Status, [&](TSWriter& w) { sender->StoreNetStatus(w); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("10 00 00 00  1F 00 00 00  05 00 00 00  02 00 00 00")));
  auto* receiver = SNew<TRealTime>();
  receiver->SetNetId(31);
  p2->SInsert(receiver, false);
  Handle(bytes, NC_Status);
  EXPECT_EQ(receiver->Status().ToBits(), 0x5u);
  EXPECT_EQ(receiver->DirtyStatus().ToBits(), 0x5u);
  // AfterLoadNetStatus passed the dirty data bits on and cleared them.
  EXPECT_TRUE(receiver->DirtyStatusData().Empty());
}

struct NextPosCase {
  const char* what;
  int32_t firstNext;  // the stored next position of the first record
  uint32_t firstId;
  bool secondApplied;
};

class NetStreamsNextPos : public NetStreams, public ::testing::WithParamInterface<NextPosCase> {};

TEST_P(NetStreamsNextPos, ReaderMovesForwardOrStops) {
  const NextPosCase& c = GetParam();
  const QByteArray bytes = StatusRecord(c.firstNext, c.firstId, 5) + StatusRecord(32, 13, 6);
  Handle(bytes, NC_Status);
  EXPECT_EQ(p2->AfterLoadNetStatusCalls, c.firstId == 12 ? 1 : 0) << c.what;
  EXPECT_EQ(p3->AfterLoadNetStatusCalls, c.secondApplied ? 1 : 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Net, NetStreamsNextPos,
    ::testing::Values(NextPosCase{"the next record", 16, 12, true},
                      NextPosCase{"an unknown net id is skipped", 16, 99, true},
                      NextPosCase{"net id 0 names nothing", 16, 0, true},
                      NextPosCase{"position 0 ends the stream", 0, 12, false},
                      NextPosCase{"a negative position ends the stream", -16, 12, false},
                      NextPosCase{"a position inside the header", 4, 12, false},
                      NextPosCase{"a position inside the record reads garbage and stops", 8, 12, false},
                      NextPosCase{"the end of the stream", 32, 12, false}, NextPosCase{"beyond the end", 33, 12, false},
                      NextPosCase{"far beyond the end", 0x7FFFFFFF, 99, false}),
    [](const ::testing::TestParamInfo<NextPosCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(NetStreams, RecordsThatPointBackwardsDoNotLoop) {
  // The second record points at itself, then at the first record.
  for (int32_t back : {16, 0, 1, 8}) {
    p2->AfterLoadNetStatusCalls = 0;
    p3->AfterLoadNetStatusCalls = 0;
    Handle(StatusRecord(16, 12, 5) + StatusRecord(back, 13, 6), NC_Status);
    EXPECT_EQ(p2->AfterLoadNetStatusCalls, 1) << back;
    EXPECT_EQ(p3->AfterLoadNetStatusCalls, 1) << back;
  }
}

TEST_F(NetStreams, TruncatedStatusBlockIsSkipped) {
  const QByteArray bytes = Hex("10 00 00 00  0C 00 00 00  05 00 00 00");
  Handle(bytes, NC_Status);
  EXPECT_EQ(p2->AfterLoadNetStatusCalls, 0);
  // A header cut short is not read at all.
  Handle(Hex("10 00 00 00  0C 00 00"), NC_Status);
  EXPECT_EQ(p2->Status, 5u);  // from the first stream, which read the status word
  EXPECT_EQ(p2->AfterLoadNetStatusCalls, 0);
}

TEST_F(NetStreams, ObjectsBeingDestroyedAreSkipped) {
  p2->SetStatusFlags(p2->StatusFlags() + VS_Destroying);
  Handle(StatusRecord(16, 12, 5) + StatusRecord(32, 13, 6), NC_Status);
  p2->SetStatusFlags(p2->StatusFlags() - VS_Destroying);
  EXPECT_EQ(p2->AfterLoadNetStatusCalls, 0);
  EXPECT_EQ(p3->AfterLoadNetStatusCalls, 1);
}

// ---------------------------------------------------------------------------
// Data stream

TEST_F(NetStreams, DataRecordIsByteExact) {
  TSOwned<TProbe> q(NewProbe("one", 11, 42));
  q->SetDataFlagsRaw({S_SomethingDirty, S_NotSaved});
  const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("17 00 00 00  0B 00 00 00  41  80 03 6F 00 6E 00 65 00  2A 00 00 00  00 00")));
  EXPECT_EQ(q->DataFlags(), TD_FLAGS{S_NotSaved});
  // Nothing changed any more: nothing is written.
  EXPECT_TRUE(NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); }).isEmpty());
}

TEST_F(NetStreams, DataStreamRoundTrip) {
  // The sender mirrors the receiving tree.
  TSOwned<TVelaObject> sender(SNew<TVelaObject>());
  sender->CreateStdSubs();
  TProbe* q1 = P(sender->SInsert(NewProbe("p1", 11, 1), false));
  TProbe* q2 = P(sender->SInsert(NewProbe("p2", 12, 2), false));
  q2->CreateStdSubs();
  TProbe* q3 = P(q2->SInsert(NewProbe("p3", 13, 3), false));
  q1->Value = 42;
  q1->SetDataChanged(FK_Integer, 1, true);
  q3->Value = 43;
  q3->SetName("three");
  q3->SetDataChanged(FK_Integer, 1, true);
  ASSERT_TRUE(q2->StatusFlags().Has(VS_ChildrenDataDirty));

  const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *sender); });
  EXPECT_EQ(q1->DataFlags(), TD_FLAGS{S_NotSaved});
  EXPECT_EQ(q3->DataFlags(), TD_FLAGS{S_NotSaved});
  EXPECT_FALSE(sender->StatusFlags().Has(VS_ChildrenDataDirty));
  EXPECT_FALSE(q2->StatusFlags().Has(VS_ChildrenDataDirty));
  EXPECT_TRUE(NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *sender); }).isEmpty());

  TNotifications n;
  EXPECT_EQ(Handle(bytes, NC_SetField), nullptr);
  EXPECT_EQ(p1->Value, 42);
  EXPECT_EQ(p3->Value, 43);
  EXPECT_EQ(p3->NameIfName(), QStringLiteral("three"));
  EXPECT_EQ(p2->Value, 2);
  EXPECT_EQ(n.Count(SOM_DataChanged, p1), 1);
  EXPECT_EQ(n.Count(SOM_DataChanged, p3), 1);
  EXPECT_EQ(n.Count(SOM_DataChanged, p2), 0);
  // The flags of a record are consumed; only the saved-state bits stay.
  EXPECT_EQ(p1->DataFlags(), TD_FLAGS{S_NotSaved});
  EXPECT_EQ(p3->DataFlags(), TD_FLAGS{S_NotSaved});
  EXPECT_EQ(p2->DataFlags(), TD_FLAGS{});
}

struct NoticeCase {
  const char* what;
  TD_FLAGS flags;
  int dataChanged;  // SOM_DataChanged for the object
  int subsDirty;    // SOM_SubsDirty for the object
};

class NetStreamsNotice : public NetStreams, public ::testing::WithParamInterface<NoticeCase> {};

TEST_P(NetStreamsNotice, RecordFlagsChooseTheNotice) {
  const NoticeCase& c = GetParam();
  TSOwned<TProbe> q(NewProbe("p1", 11, 77));
  q->SetDataFlagsRaw(c.flags);
  const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); });
  TNotifications n;
  Handle(bytes, NC_SetField);
  EXPECT_EQ(p1->Value, 77) << c.what;
  EXPECT_EQ(n.Count(SOM_DataChanged, p1), c.dataChanged) << c.what;
  EXPECT_EQ(n.Count(SOM_SubsDirty, p1), c.subsDirty) << c.what;
  EXPECT_EQ(p1->DataFlags(), (c.flags * TD_FLAGS{S_NotSaved, S_RootNotSaved})) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Net, NetStreamsNotice,
    ::testing::Values(NoticeCase{"changed", {S_SomethingDirty}, 1, 0},
                      NoticeCase{"renamed, not saved", {S_NameDirty, S_NotSaved, S_RootNotSaved}, 1, 0},
                      NoticeCase{"silent", {S_SomethingDirty, S_SilentDirty}, 0, 0},
                      NoticeCase{"subs re-sorted", {S_SubsSortDirty}, 0, 1},
                      NoticeCase{"subs re-sorted and silent", {S_SubsSortDirty, S_SilentDirty}, 0, 1}),
    [](const ::testing::TestParamInfo<NoticeCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(NetStreams, OwnerWithResortedSubsGetsTheNotice) {
  p2->SetDataFlagsRaw({S_SubsSortDirty});
  TSOwned<TProbe> q(NewProbe("p3", 13, 9));
  q->SetDataFlagsRaw({S_SomethingDirty});
  const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); });
  TNotifications n;
  Handle(bytes, NC_SetField);
  EXPECT_EQ(p3->Value, 9);
  EXPECT_EQ(n.Count(SOM_SubsDirty, p2), 1);
  EXPECT_EQ(n.Count(SOM_DataChanged, p3), 0);
}

TEST_F(NetStreams, SubsChangedRecordReplacesTheSubs) {
  TSOwned<TProbe> q2(NewProbe("p2", 12, 20));
  q2->CreateStdSubs();
  q2->SInsert(NewProbe("x", 13, 30), false);
  q2->SInsert(NewProbe("y", 14, 31), false);
  q2->SetDataFlagsRaw({S_SubsChanged});
  q2->Sub(1)->SetDataChanged(FK_Integer, 1, true);  // a changed sub: sent with the whole subs only
  const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q2); });
  EXPECT_FALSE(q2->StatusFlags().Has(VS_ChildrenDataDirty));

  TVelaObject* oldP3 = p3;
  const int loadsBefore = p2->AfterSubsLoadedCalls;
  TNotifications n;
  Handle(bytes, NC_SetField);
  ASSERT_EQ(p2->Subcount(), 2);
  EXPECT_EQ(p2->Value, 20);
  EXPECT_EQ(p2->Sub(0)->NameIfName(), QStringLiteral("x"));
  EXPECT_EQ(p2->Sub(1)->NameIfName(), QStringLiteral("y"));
  EXPECT_EQ(P(p2->Sub(1))->Value, 31);
  EXPECT_EQ(p2->Sub(1)->NetId(), 14u);
  EXPECT_TRUE(OwnersConsistent(root.get()));
  EXPECT_EQ(root->FindServerid(14, 0), p2->Sub(1));
  EXPECT_EQ(p2->AfterSubsLoadedCalls, loadsBefore + 1);
  EXPECT_GE(n.Count(SOM_SubsDirty, p2), 1);
  // The old subs wait for the views in OldSubs.
  ASSERT_NE(p2->OldSubsCollection(), nullptr);
  EXPECT_EQ(p2->OldSubsCollection()->At(0), oldP3);
}

TEST_F(NetStreams, SortDirtyRecordMovesTheObjectToItsNewPlace) {
  p1->CreateWordIdSubs();
  TProbe* w1 = P(p1->SInsert(NewProbe("w1", 21, 0, 1), false));
  p1->SInsert(NewProbe("w2", 22, 0, 2), false);
  p1->SInsert(NewProbe("w3", 23, 0, 3), false);
  for (uint16_t newWord : {5, 3}) {
    TSOwned<TProbe> q(NewProbe("w1", 21, 0, newWord));
    q->SetDataFlagsRaw({S_SortDirty});
    const QByteArray bytes = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); });
    TNotifications n;
    Handle(bytes, NC_SetField);
    EXPECT_EQ(w1->Word, newWord);
    ASSERT_EQ(p1->Subcount(), 3) << "an equal key must not drop the object";
    EXPECT_EQ(w1->SOwner(), p1);
    EXPECT_EQ(n.Count(SOM_SubsDirty, p1), 1);
    EXPECT_EQ(n.Count(SOM_DataChanged, w1), 1);
  }
  // Word 5 went last; then word 3 sits at the place of the equal key.
  EXPECT_EQ(p1->Sub(0)->NetId(), 22u);
  EXPECT_NE(p1->SIndexof(w1), 0);
  for (int i = 1; i < 3; ++i) EXPECT_LE(P(p1->Sub(i - 1))->Word, P(p1->Sub(i))->Word);
}

TEST_F(NetStreams, BadDataRecordsAreSkipped) {
  TSOwned<TProbe> q(NewProbe("p1", 11, 5));
  q->SetDataFlagsRaw({S_SomethingDirty});
  const QByteArray good = NetBytes(R_Data, [&](TSWriter& w) { StoreNetdata(w, *q); });
  // An unknown net id first: skipped, the next record is read. (That one
  // still points at its own start, so the walk ends after it.)
  QByteArray unknown = good;
  unknown[4] = 99;
  unknown[12] = 'X';
  Handle(unknown, NC_SetField);
  EXPECT_EQ(p1->Value, 1);
  Handle(unknown + good, NC_SetField);
  EXPECT_EQ(p1->Value, 5);
  EXPECT_EQ(p1->NameIfName(), QStringLiteral("p1"));
  // A record cut in its body: the object keeps no transient flags of it.
  p1->Value = 1;
  Handle(good.left(good.size() - 3), NC_SetField);
  EXPECT_EQ(p1->DataFlags(), TD_FLAGS{});
}

TEST_F(NetStreams, CorruptSubCollectionInADataRecordLeavesTheSubsAlone) {
  // Record for p2: S_SubsChanged, then a collection holding a plain object.
  QByteArray bytes =
      Hex("00 00 00 00  0C 00 00 00  08  02 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00  01 00 00 00"
          "  80 01 41 00  00 00 00 00  00 00");
  bytes[0] = static_cast<char>(bytes.size());
  TNotifications n;
  Handle(bytes, NC_SetField);
  ASSERT_EQ(p2->Subcount(), 1);
  EXPECT_EQ(p2->Sub(0), p3);
  EXPECT_EQ(p2->DataFlags(), TD_FLAGS{});
  EXPECT_EQ(n.Count(SOM_DataChanged, p2), 0);
}

// ---------------------------------------------------------------------------
// Object stream commands

namespace {

QByteArray ObjectStream(TSobject* obj) {
  return NetBytes(R_Sobject, [&](TSWriter& w) { w.Put(obj); });
}

QByteArray NewObjectStream() {
  TSOwned<TProbe> p(NewProbe("new", 50, 5));
  p->CreateStdSubs();
  p->SInsert(NewProbe("inner", 51), false);
  return ObjectStream(p.get());
}

}  // namespace

struct InsertCase {
  int command;
  int index;
  int expectedPos;
  int insertedNotices;
};

class NetStreamsInsert : public NetStreams, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(NetStreamsInsert, ObjectGoesIntoTheTargetsSubs) {
  const InsertCase& c = GetParam();
  p2->SInsert(NewProbe("p4", 14), false);
  const QByteArray bytes = NewObjectStream();
  TNotifications n;
  TVelaObject* inserted = Handle(bytes, c.command, 12, c.index);
  ASSERT_NE(inserted, nullptr);
  ASSERT_EQ(p2->Subcount(), 3);
  EXPECT_EQ(p2->Sub(c.expectedPos), inserted);
  EXPECT_EQ(inserted->SOwner(), p2);
  EXPECT_EQ(inserted->NameIfName(), QStringLiteral("new"));
  EXPECT_EQ(inserted->NetId(), 50u);
  ASSERT_EQ(inserted->Subcount(), 1);
  EXPECT_EQ(inserted->Sub(0)->SOwner(), inserted);
  EXPECT_EQ(root->FindServerid(51, 0), inserted->Sub(0));
  EXPECT_EQ(n.Count(SOM_Inserted, inserted), c.insertedNotices);
  EXPECT_TRUE(OwnersConsistent(root.get()));
}

INSTANTIATE_TEST_SUITE_P(Net, NetStreamsInsert,
                         ::testing::Values(InsertCase{NC_Inserted, 0, 0, 0}, InsertCase{NC_Inserted, 1, 1, 0},
                                           InsertCase{NC_Inserted, -1, 2, 0}, InsertCase{NC_Insert, 0, 2, 1},
                                           InsertCase{NC_InsertAt, 1, 1, 1}, InsertCase{NC_InsertAt, 2, 2, 1}));

struct RejectCase {
  const char* what;
  int command;
  uint32_t serverId;
  int index;
};

class NetStreamsReject : public NetStreams, public ::testing::WithParamInterface<RejectCase> {};

TEST_P(NetStreamsReject, ObjectNotTakenIsFreed) {
  const RejectCase& c = GetParam();
  const int before = TProbe::Alive;
  EXPECT_EQ(Handle(NewObjectStream(), c.command, c.serverId, c.index), nullptr) << c.what;
  EXPECT_EQ(TProbe::Alive, before) << c.what;
  EXPECT_EQ(p1->Subcount(), -1);
  EXPECT_EQ(p2->Subcount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Net, NetStreamsReject,
                         ::testing::Values(RejectCase{"unknown target", NC_Inserted, 999, 0},
                                           RejectCase{"net id 0", NC_Insert, 0, 0},
                                           RejectCase{"target without subs", NC_Inserted, 11, 0},
                                           RejectCase{"insert into no subs", NC_Insert, 11, 0},
                                           RejectCase{"insert at into no subs", NC_InsertAt, 11, 0},
                                           RejectCase{"index beyond the subs", NC_InsertAt, 12, 5},
                                           RejectCase{"negative index", NC_InsertAt, 12, -1},
                                           RejectCase{"command to an unknown target", NC_CommandObject, 999, 0}),
                         [](const ::testing::TestParamInfo<RejectCase>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST_F(NetStreams, BadObjectStreamsInsertNothing) {
  const QByteArray good = NewObjectStream();
  const int before = TProbe::Alive;
  for (int cut = 0; cut < good.size(); ++cut) EXPECT_EQ(Handle(good.left(cut), NC_Insert, 12), nullptr) << cut;
  EXPECT_EQ(Handle(Hex("01 00 00 00"), NC_Insert, 12), nullptr);     // not an object of the tree
  EXPECT_EQ(Handle(Hex("00 00 00 00"), NC_Insert, 12), nullptr);     // null
  EXPECT_EQ(Handle(Hex("0F 27 00 00 41"), NC_Insert, 12), nullptr);  // unregistered
  EXPECT_EQ(TProbe::Alive, before);
  EXPECT_EQ(p2->Subcount(), 1);
}

TEST_F(NetStreams, CommandObjectGoesToTheFieldWriteAndIsFreed) {
  TSOwned<TProbe> cmd(NewProbe("cmd", 0));
  const QByteArray bytes = ObjectStream(cmd.get());
  const int before = TProbe::Alive;
  EXPECT_EQ(Handle(bytes, NC_CommandObject, 11, 77), nullptr);
  ASSERT_EQ(p1->Commands.size(), 1u);
  EXPECT_EQ(p1->Commands[0].first, 77u);
  EXPECT_EQ(p1->Commands[0].second, QStringLiteral("cmd"));
  EXPECT_EQ(TProbe::Alive, before);
  // A plain object can be handed over too.
  EXPECT_EQ(Handle(Hex("01 00 00 00"), NC_CommandObject, 11, 78), nullptr);
  ASSERT_EQ(p1->Commands.size(), 2u);
  EXPECT_EQ(p1->Commands[1].first, 78u);
}

TEST_F(NetStreams, OtherCommandsOnlyFreeTheStream) {
  const QByteArray bytes = NewObjectStream();
  for (int command : {int(NC_Freed), int(NC_Free), int(NC_Moved), int(NC_Move), int(NC_IncField), 0, -1, 12345}) {
    EXPECT_EQ(Handle(bytes, command, 12, 0), nullptr) << command;
  }
  EXPECT_EQ(p2->Subcount(), 1);
  EXPECT_EQ(HandleNetStream(*root, nullptr, 12, 0, NC_Insert), nullptr);
  // Empty record streams read nothing.
  EXPECT_EQ(Handle({}, NC_SetField), nullptr);
  EXPECT_EQ(Handle({}, NC_Status), nullptr);
}
