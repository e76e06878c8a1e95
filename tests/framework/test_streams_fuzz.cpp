// Random and damaged input for the stream readers. An object read either
// succeeds or raises a read error (or the assertion of an old-version string
// length); the record readers never raise; nothing crashes, loops or leaks
// (the sanitizer build checks the memory side). Deterministic seeds.
#include <gtest/gtest.h>

#include <random>

#include "framework/NetStreams.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"
#include "test_streams_support.h"

using namespace vela;
using namespace streamtest;

namespace {

enum class Outcome { Object, Null, ReadError, Assertion };

Outcome TryGet(const QByteArray& bytes, TKeaStreamVersion Version, bool UseNetid) {
  auto reader = ReaderOn(bytes, Version, UseNetid);
  try {
    TSOwned<TSobject> obj(reader->Get());
    return obj ? Outcome::Object : Outcome::Null;
  } catch (const EStreamReadError&) {
    return Outcome::ReadError;
  } catch (const EVelaAssertion&) {
    return Outcome::Assertion;
  }
  // Anything else escapes and fails the test.
}

// A tree with every kind of sub collection, both string forms, net ids 1..8.
TVelaObject* SampleTree() {
  auto* root = SNew<TVelaObject>();
  root->SetName("root");
  root->CreateStdSubs();
  TProbe* a = static_cast<TProbe*>(root->SInsert(NewProbe(QStringLiteral("\u03B1-probe"), 1, 10, 1), false));
  a->CreateWordIdSubs();
  a->SInsert(NewProbe("a1", 2, 11, 1), false);
  a->SInsert(NewProbe("a2", 3, 12, 2), false);
  auto* plain = SNew<TVelaObject>();
  plain->SetName("plain");
  plain->SetNetId(4);
  root->SInsert(plain, false);
  auto* deep = SNew<TVelaObject>();
  deep->SetNetId(5);
  deep->SetSubobjects(SNew<TTempSortedCollection>(4, 4));
  root->SInsert(deep, false);
  TProbe* d1 = static_cast<TProbe*>(deep->SInsert(NewProbe("d1", 6, 13, 0), false));
  auto* sorted = SNew<TSortedCollection>(2, 2);
  sorted->Duplicates = true;
  d1->SetSubobjects(sorted);
  auto* leaf = SNew<TVelaObject>();
  leaf->SetName(QString(40, QChar(0x263A)));
  leaf->SetNetId(7);
  d1->SInsert(leaf, false);
  root->SInsert(NewProbe("last", 8, -1, 9), false);
  return root;
}

QByteArray Serialized(TVelaObject* Obj, bool UseNetid) {
  return Written([&](TSWriter& w) { w.Put(Obj); }, EV_6, UseNetid);
}

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : fRng(seed) {}

  int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(fRng); }

  // Small numbers, counts and registered types are where readers go wrong.
  uint32_t InterestingWord() {
    static const uint32_t words[] = {0,          1,          2,          3,      4,       5,         101,
                                     103,        kProbeType, 16,         255,    0x8000,  0x7FFF,    0x7FFFFFF,
                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFF, 0x10000, 0xFFFFFFF0};
    return words[Below(static_cast<int>(std::size(words)))];
  }

  uint8_t InterestingByte() {
    static const uint8_t bytes[] = {0, 1, 2, 0x08, 0x10, 0x3F, 0x7F, 0x80, 0x81, 0xC0, 0xFE, 0xFF};
    return Below(3) == 0 ? static_cast<uint8_t>(Below(256)) : bytes[Below(static_cast<int>(std::size(bytes)))];
  }

  QByteArray Mutate(QByteArray bytes) {
    const int steps = 1 + Below(4);
    for (int s = 0; s < steps; ++s) {
      const int size = static_cast<int>(bytes.size());
      switch (Below(6)) {
        case 0:
          if (size) bytes[Below(size)] = static_cast<char>(InterestingByte());
          break;
        case 1:
          if (size) bytes[Below(size)] = static_cast<char>(bytes[Below(size)] ^ (1 << Below(8)));
          break;
        case 2: bytes.insert(Below(size + 1), static_cast<char>(InterestingByte())); break;
        case 3:
          if (size) bytes.remove(Below(size), 1 + Below(4));
          break;
        case 4:
          if (size >= 4) {
            const int at = Below(size - 3);
            const uint32_t w = InterestingWord();
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(w >> (8 * i));
          }
          break;
        case 5: bytes.truncate(Below(size + 1)); break;
      }
    }
    return bytes;
  }

  QByteArray Random(int maxLen) {
    QByteArray bytes;
    const uint32_t type = InterestingWord();
    for (int i = 0; i < 4; ++i) bytes.append(static_cast<char>(type >> (8 * i)));
    const int len = Below(maxLen + 1);
    for (int i = 0; i < len; ++i) bytes.append(static_cast<char>(InterestingByte()));
    return bytes;
  }

 private:
  std::mt19937 fRng;
};

}  // namespace

class StreamFuzz : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestTypes();
    baseline = TProbe::Alive;
  }
  void TearDown() override { EXPECT_EQ(TProbe::Alive, baseline) << "objects leaked"; }
  int baseline = 0;
};

TEST_F(StreamFuzz, EveryTruncationIsAReadError) {
  TSOwned<TVelaObject> tree(SampleTree());
  for (bool netids : {false, true}) {
    const QByteArray whole = Serialized(tree.get(), netids);
    ASSERT_EQ(TryGet(whole, EV_6, netids), Outcome::Object);
    for (int cut = 0; cut < whole.size(); ++cut)
      ASSERT_EQ(TryGet(whole.left(cut), EV_6, netids), Outcome::ReadError) << "cut at " << cut;
  }
}

TEST_F(StreamFuzz, MutatedStreamsReadOrRaiseReadErrors) {
  TSOwned<TVelaObject> tree(SampleTree());
  const QByteArray seeds[] = {Serialized(tree.get(), false), Serialized(tree.get(), true)};
  const TKeaStreamVersion versions[] = {EV_6, EV_6, EV_5, EV_2, EV_1};
  Mutator m(20240611);
  int objects = 0;
  int errors = 0;
  for (int i = 0; i < 3000; ++i) {
    const bool netids = m.Below(2) == 1;
    const Outcome o = TryGet(m.Mutate(seeds[netids]), versions[m.Below(5)], netids);
    objects += o == Outcome::Object;
    errors += o == Outcome::ReadError;
  }
  // Both ends were reached: some damage went unnoticed by the format, most did not.
  EXPECT_GT(objects, 0);
  EXPECT_GT(errors, 0);
}

TEST_F(StreamFuzz, RandomBytesReadOrRaiseReadErrors) {
  Mutator m(7);
  int outcomes[4] = {};
  for (int i = 0; i < 3000; ++i) {
    const TKeaStreamVersion version = m.Below(4) == 0 ? EV_1 : EV_6;
    ++outcomes[static_cast<int>(TryGet(m.Random(96), version, m.Below(2) == 1))];
  }
  EXPECT_GT(outcomes[static_cast<int>(Outcome::Object)], 0);
  EXPECT_GT(outcomes[static_cast<int>(Outcome::ReadError)], 0);
}

TEST_F(StreamFuzz, DeepNestingIsBounded) {
  // Collections inside collections, and objects whose subs hold objects:
  // far deeper than the reader allows.
  QByteArray collections;
  for (int i = 0; i < 20000; ++i) collections += Hex("02 00 00 00  01 00 00 00  01 00 00 00  01 00 00 00");
  EXPECT_EQ(TryGet(collections, EV_6, false), Outcome::ReadError);
  QByteArray objects;
  for (int i = 0; i < 20000; ++i) objects += Hex("65 00 00 00  00  02 00 00 00  01 00 00 00  01 00 00 00  01 00 00 00");
  EXPECT_EQ(TryGet(objects, EV_6, false), Outcome::ReadError);
  // A tree within the limit reads back whole.
  TSOwned<TVelaObject> root(SNew<TVelaObject>());
  TVelaObject* at = root.get();
  for (int i = 0; i < 80; ++i) {
    at->CreateStdSubs();
    at = at->SInsert(SNew<TVelaObject>(), false);
  }
  EXPECT_EQ(TryGet(Serialized(root.get(), false), EV_6, false), Outcome::Object);
}

TEST_F(StreamFuzz, RecordStreamsNeverRaise) {
  // Seeds: a data stream, a status stream and an object stream from a
  // sender that mirrors the receiving tree.
  TSOwned<TVelaObject> sender(SampleTree());
  auto* a = static_cast<TProbe*>(sender->Sub(0));
  a->Value = 99;
  a->SetDataChanged(FK_Integer, 1, true);
  auto* a1 = static_cast<TProbe*>(a->Sub(0));
  a1->Word = 7;
  a1->AddDataFlags({S_SortDirty}, true);
  sender->Sub(2)->SetSubsChanged(false, true, true);
  a1->ChangeStatus(3);
  static_cast<TProbe*>(sender->Sub(2)->Sub(0))->ChangeStatus(1);
  const QByteArray data = NetWritten(R_Data, [&](TSWriter& w) { StoreNetdata(w, *sender); });
  const QByteArray status = NetWritten(R_Status, [&](TSWriter& w) { sender->StoreNetStatus(w); });
  const QByteArray object = NetWritten(R_Sobject, [&](TSWriter& w) { w.Put(sender->Sub(2)); });
  ASSERT_FALSE(data.isEmpty());
  ASSERT_FALSE(status.isEmpty());

  // The seeds work on a fresh receiver.
  {
    TSOwned<TVelaObject> receiver(SampleTree());
    HandleNetStream(*receiver, MemoryStream(data), 0, 0, NC_SetField);
    HandleNetStream(*receiver, MemoryStream(status), 0, 0, NC_Status);
    EXPECT_EQ(static_cast<TProbe*>(receiver->FindServerid(1, 0))->Value, 99);
    EXPECT_EQ(static_cast<TProbe*>(receiver->FindServerid(2, 0))->Status, 3u);
    EXPECT_EQ(static_cast<TProbe*>(receiver->FindServerid(6, 0))->Status, 1u);
  }

  struct Seed {
    const QByteArray* bytes;
    int command;
  };
  const Seed seeds[] = {{&data, NC_SetField}, {&status, NC_Status},   {&object, NC_Inserted},
                        {&object, NC_Insert}, {&object, NC_InsertAt}, {&object, NC_CommandObject},
                        {&data, NC_Status},   {&status, NC_SetField}};
  Mutator m(99);
  TSOwned<TVelaObject> receiver;
  for (int i = 0; i < 4000; ++i) {
    if (i % 100 == 0) receiver.reset(SampleTree());  // keep the receiving tree small
    const Seed& seed = seeds[m.Below(static_cast<int>(std::size(seeds)))];
    const QByteArray bytes = m.Below(8) == 0 ? m.Random(64) : m.Mutate(*seed.bytes);
    const uint32_t target = static_cast<uint32_t>(m.Below(10));
    EXPECT_NO_THROW(HandleNetStream(*receiver, MemoryStream(bytes), target, m.Below(4) - 1, seed.command)) << i;
    ASSERT_TRUE(OwnersConsistent(receiver.get())) << i;
  }
}
