// Byte-exact tests of the stream values, the object and collection forms and
// the copies built on them.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/sobjects.h"
#include "framework/sstreams.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"
#include "platform/DateTime.h"
#include "test_streams_support.h"

using namespace vela;
using namespace streamtest;

namespace {

QString Repeated(QChar c, int n) { return QString(n, c); }

TVelaObject* Named(const QString& name) {
  auto* o = SNew<TVelaObject>();
  o->SetName(name);
  return o;
}

}  // namespace

// ---------------------------------------------------------------------------
// Typed values

struct ValueCase {
  const char* what;
  std::function<void(TSWriter&)> write;
  const char* hex;
  std::function<void(TSReader&)> check;  // reads the value back
};

class StreamValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(StreamValues, WritesTheDocumentedBytesAndReadsThemBack) {
  const ValueCase& c = GetParam();
  const QByteArray bytes = Written(c.write);
  EXPECT_EQ(ToHex(bytes), ToHex(Hex(c.hex))) << c.what;
  auto reader = ReaderOn(bytes);
  c.check(*reader);
  EXPECT_EQ(reader->BytesLeft(), 0) << c.what;
}

TGuid SampleGuid() {
  TGuid g;
  g.D1 = 0x00112233;
  g.D2 = 0x4455;
  g.D3 = 0x6677;
  g.D4 = {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  return g;
}

INSTANTIATE_TEST_SUITE_P(
    Stream, StreamValues,
    ::testing::Values(ValueCase{"byte", [](TSWriter& w) { w.WriteByte(0xAB); }, "AB",
                                [](TSReader& r) { EXPECT_EQ(r.ReadByte(), 0xAB); }},
                      ValueCase{"bool",
                                [](TSWriter& w) {
                                  w.WriteBool(true);
                                  w.WriteBool(false);
                                },
                                "01 00",
                                [](TSReader& r) {
                                  EXPECT_TRUE(r.ReadBool());
                                  EXPECT_FALSE(r.ReadBool());
                                }},
                      ValueCase{"word", [](TSWriter& w) { w.WriteWord(0x1234); }, "34 12",
                                [](TSReader& r) { EXPECT_EQ(r.ReadWord(), 0x1234); }},
                      ValueCase{"small integer", [](TSWriter& w) { w.WriteSmallInteger(-2); }, "FE FF",
                                [](TSReader& r) { EXPECT_EQ(r.ReadSmallInteger(), -2); }},
                      ValueCase{"swapped word", [](TSWriter& w) { w.WriteWordSwapped(0x1234); }, "12 34",
                                [](TSReader& r) { EXPECT_EQ(r.ReadWord(), 0x3412); }},
                      ValueCase{"integer", [](TSWriter& w) { w.WriteInteger(-2); }, "FE FF FF FF",
                                [](TSReader& r) { EXPECT_EQ(r.ReadInteger(), -2); }},
                      ValueCase{"dword", [](TSWriter& w) { w.WriteDWord(0x12345678); }, "78 56 34 12",
                                [](TSReader& r) { EXPECT_EQ(r.ReadDWord(), 0x12345678u); }},
                      ValueCase{"int64", [](TSWriter& w) { w.WriteI64(0x0102030405060708); }, "08 07 06 05 04 03 02 01",
                                [](TSReader& r) { EXPECT_EQ(r.Read64(), 0x0102030405060708); }},
                      ValueCase{"date-time", [](TSWriter& w) { w.WriteDateTime(1.5); }, "00 00 00 00 00 00 F8 3F",
                                [](TSReader& r) { EXPECT_EQ(r.ReadDateTime(), 1.5); }},
                      ValueCase{"dummy", [](TSWriter& w) { w.WriteDummy(3); }, "00 00 00",
                                [](TSReader& r) {
                                  for (int i = 0; i < 3; ++i) EXPECT_EQ(r.ReadByte(), 0);
                                }},
                      ValueCase{"guid in memory order", [](TSWriter& w) { w.WriteGuid(SampleGuid()); },
                                "33 22 11 00 55 44 77 66 88 99 AA BB CC DD EE FF",
                                [](TSReader& r) { EXPECT_EQ(r.ReadGuid(), SampleGuid()); }},
                      ValueCase{"DOS string in code page 437",
                                [](TSWriter& w) { w.WriteStrDos(QStringLiteral("\u00C4b")); }, "02 8E 62",
                                [](TSReader& r) { EXPECT_EQ(r.ReadStrDos(), QStringLiteral("\u00C4b")); }},
                      ValueCase{"empty DOS string", [](TSWriter& w) { w.WriteStrDos(QString()); }, "00",
                                [](TSReader& r) { EXPECT_EQ(r.ReadStrDos(), QString()); }},
                      ValueCase{"string list with CR LF",
                                [](TSWriter& w) {
                                  w.WriteStrings({"a", QStringLiteral("\u00E9")});
                                },
                                "06 00 00 00 00 00 00 00 61 0D 0A E9 0D 0A",
                                [](TSReader& r) {
                                  QStringList s;
                                  r.ReadStrings(s);
                                  EXPECT_EQ(s, QStringList({"a", QStringLiteral("\u00E9")}));
                                }},
                      ValueCase{"bitmap frame", [](TSWriter& w) { w.WriteBitmap("BM12"); },
                                "04 00 00 00 00 00 00 00 42 4D 31 32",
                                [](TSReader& r) {
                                  QByteArray image;
                                  EXPECT_TRUE(r.ReadBitmap(image));
                                  EXPECT_EQ(image, QByteArray("BM12"));
                                }}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return "case" + std::to_string(info.index); });

TEST(StreamValuesMore, DummyWritesZerosAcrossTheBuffer) {
  const QByteArray bytes = Written([](TSWriter& w) {
    w.WriteByte(1);
    w.WriteDummy(150);
    w.WriteByte(2);
  });
  EXPECT_EQ(bytes, QByteArray(1, '\1') + QByteArray(150, '\0') + QByteArray(1, '\2'));
}

TEST(StreamValuesMore, DosStringIsCutAt255Characters) {
  const QByteArray bytes = Written([](TSWriter& w) { w.WriteStrDos(Repeated('x', 300)); });
  ASSERT_EQ(bytes.size(), 256);
  EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 255);
  EXPECT_EQ(ReaderOn(bytes)->ReadStrDos(), Repeated('x', 255));
}

TEST(StreamValuesMore, EmptyOrNegativeFramesLeaveTheTargetAlone) {
  QStringList keep{"keep"};
  ReaderOn(Hex("00 00 00 00 00 00 00 00"))->ReadStrings(keep);
  EXPECT_EQ(keep, QStringList{"keep"});
  ReaderOn(Hex("FF FF FF FF FF FF FF FF"))->ReadStrings(keep);
  EXPECT_EQ(keep, QStringList{"keep"});
  EXPECT_EQ(ToHex(Written([](TSWriter& w) { w.WriteStrings({}); })), ToHex(Hex("00 00 00 00 00 00 00 00")));
  QByteArray image("old");
  EXPECT_FALSE(ReaderOn(Hex("00 00 00 00 00 00 00 00"))->ReadBitmap(image));
  EXPECT_EQ(image, QByteArray("old"));
}

TEST(StreamValuesMore, StringListReadsEveryLineEnd) {
  QStringList s;
  // CR LF, a lone LF, a lone CR, and a last line without an end.
  ReaderOn(Hex("08 00 00 00 00 00 00 00 61 0D 0A 62 0A 63 0D 64"))->ReadStrings(s);
  EXPECT_EQ(s, QStringList({"a", "b", "c", "d"}));
  ReaderOn(Hex("02 00 00 00 00 00 00 00 0D 0A"))->ReadStrings(s);
  EXPECT_EQ(s, QStringList{""});
}

TEST(StreamValuesMore, FramesLargerThanTheStreamAreReadErrors) {
  QStringList s;
  EXPECT_THROW(ReaderOn(Hex("00 00 00 40 00 00 00 00 61"))->ReadStrings(s), EStreamReadError);
  QByteArray image;
  EXPECT_THROW(ReaderOn(Hex("FF FF FF 7F 00 00 00 00"))->ReadBitmap(image), EStreamReadError);
}

TEST(StreamValuesMore, ReadingPastTheEndRaises) {
  EXPECT_THROW(ReaderOn(Hex(""))->ReadByte(), EStreamReadError);
  EXPECT_THROW(ReaderOn(Hex("01 02 03"))->ReadInteger(), EStreamReadError);
  EXPECT_THROW(ReaderOn(Hex("01 02 03 04 05 06 07"))->Read64(), EStreamReadError);
  EXPECT_THROW(ReaderOn(Hex("80 02 41 00"))->ReadString(), EStreamReadError);
  EXPECT_THROW(ReaderOn(Hex("03 41"))->ReadStrDos(), EStreamReadError);
}

// ---------------------------------------------------------------------------
// Times in tenths of a second

struct TenthsCase {
  TDateTime time;
  uint16_t word;
};

class StreamTenths : public ::testing::TestWithParam<TenthsCase> {};

TEST_P(StreamTenths, WriteRoundsAndCaps) {
  const QByteArray bytes = Written([](TSWriter& w) { w.WriteDTtoW(GetParam().time); });
  ASSERT_EQ(bytes.size(), 2);
  EXPECT_EQ(ReaderOn(bytes)->ReadWord(), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Stream, StreamTenths,
                         ::testing::Values(TenthsCase{0.0, 0}, TenthsCase{EncodeTime(0, 0, 1, 0), 10},
                                           TenthsCase{EncodeTime(0, 0, 0, 40), 0},
                                           TenthsCase{EncodeTime(0, 0, 0, 60), 1},
                                           TenthsCase{EncodeTime(1, 0, 0, 100), 36001},
                                           TenthsCase{EncodeTime(1, 49, 13, 400), 65534},
                                           TenthsCase{EncodeTime(1, 49, 13, 500), 65535},
                                           TenthsCase{EncodeTime(2, 0, 0, 0), 65535},  // 72000 tenths: capped
                                           TenthsCase{45000.25, 65535},                // a date part: capped
                                           TenthsCase{-0.01, 0}, TenthsCase{std::nan(""), 0}));

struct TimeOfDay {
  uint16_t word;
  int h, m, s, ms;
};

class StreamTenthsRead : public ::testing::TestWithParam<TimeOfDay> {};

TEST_P(StreamTenthsRead, ReadGivesTheTimeOfDay) {
  const TimeOfDay& c = GetParam();
  const QByteArray bytes = Written([&](TSWriter& w) { w.WriteWord(c.word); });
  const TDateTime t = ReaderOn(bytes)->ReadWtoDT();
  int h = -1, m = -1, s = -1, ms = -1;
  DecodeTime(t, h, m, s, ms);
  EXPECT_EQ(h, c.h);
  EXPECT_EQ(m, c.m);
  EXPECT_EQ(s, c.s);
  EXPECT_EQ(ms, c.ms);
  EXPECT_DOUBLE_EQ(t, EncodeTime(c.h, c.m, c.s, c.ms));
}

INSTANTIATE_TEST_SUITE_P(Stream, StreamTenthsRead,
                         ::testing::Values(TimeOfDay{36001, 1, 0, 0, 100}, TimeOfDay{0, 0, 0, 0, 0},
                                           TimeOfDay{599, 0, 0, 59, 900}, TimeOfDay{65535, 1, 49, 13, 500}));

// ---------------------------------------------------------------------------
// Strings

struct StringCase {
  const char* what;
  QString value;
  TKeaStreamVersion version;
  bool asAnsi;
  const char* hexStart;  // the first bytes written
  int size;              // all bytes written
};

class StreamStrings : public ::testing::TestWithParam<StringCase> {};

TEST_P(StreamStrings, WriteAndReadBack) {
  const StringCase& c = GetParam();
  const QByteArray bytes = Written([&](TSWriter& w) { w.WriteString(c.value, c.asAnsi); }, c.version);
  EXPECT_EQ(bytes.size(), c.size) << c.what;
  const QByteArray start = Hex(c.hexStart);
  EXPECT_EQ(ToHex(bytes.left(start.size())), ToHex(start)) << c.what;
  EXPECT_EQ(ReaderOn(bytes, c.version)->ReadString(c.asAnsi), c.value) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Stream, StreamStrings,
    ::testing::Values(
        StringCase{"empty", QString(), EV_6, false, "00", 1},
        StringCase{"one character", "A", EV_6, false, "80 01 41 00", 4},
        StringCase{"one character, ANSI", "A", EV_6, true, "80 01 41", 3},
        StringCase{"two characters", "AB", EV_6, false, "80 02 41 00 42 00", 6},
        StringCase{"EV_5 is always ANSI", "AB", EV_5, false, "80 02 41 42", 4},
        StringCase{"EV_2 is always ANSI", QStringLiteral("\u00E9"), EV_2, false, "80 01 E9", 3},
        StringCase{"ANSI of a Latin-1 character", QStringLiteral("\u00E9"), EV_6, true, "80 01 E9", 3},
        StringCase{"UTF-16 units, a surrogate pair", QStringLiteral("\U0001F600"), EV_6, false, "80 02 3D D8 00 DE", 6},
        StringCase{"32767 characters", Repeated(QChar(0x263A), 32767), EV_6, false, "FF FF 3A 26", 2 + 2 * 32767},
        StringCase{"32767 characters, ANSI", Repeated('z', 32767), EV_5, false, "FF FF 7A 7A", 2 + 32767},
        StringCase{"256 characters", Repeated('q', 256), EV_6, false, "81 00 71 00", 2 + 512}),
    [](const ::testing::TestParamInfo<StringCase>& info) { return "case" + std::to_string(info.index); });

TEST(StreamStringsMore, StringOf32768CharactersIsAnAssertion) {
  EXPECT_THROW(Written([](TSWriter& w) { w.WriteString(Repeated('x', 32768)); }), EVelaAssertion);
  EXPECT_THROW(Written([](TSWriter& w) { w.WriteString(Repeated('x', 32768), true); }, EV_5), EVelaAssertion);
}

TEST(StreamStringsMore, SameBytesReadByVersion) {
  const QByteArray bytes = Hex("80 02 41 00 42 00");
  EXPECT_EQ(ReaderOn(bytes, EV_6)->ReadString(), QStringLiteral("AB"));
  const QString ansi = ReaderOn(bytes, EV_5)->ReadString();
  ASSERT_EQ(ansi.size(), 2);
  EXPECT_EQ(ansi[0], QChar('A'));
  EXPECT_EQ(ansi[1], QChar(0));
  // AsAnsi in EV_6 reads the same two bytes.
  EXPECT_EQ(ReaderOn(bytes, EV_6)->ReadString(true), ansi);
}

TEST(StreamStringsMore, AnsiFormKeepsTheLow8BitsAndReadsThemInTheAnsiPage) {
  // U+20AC is 0x80 in the ANSI page, but the writer keeps only the low byte.
  const QByteArray bytes = Written([](TSWriter& w) { w.WriteString(QStringLiteral("\u20AC"), true); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("80 01 AC")));
  EXPECT_EQ(ReaderOn(bytes)->ReadString(true), QStringLiteral("\u00AC"));
  // 0x80 read in the ANSI page is the euro sign.
  EXPECT_EQ(ReaderOn(Hex("80 01 80"), EV_5)->ReadString(), QStringLiteral("\u20AC"));
}

TEST(StreamStringsMore, OldVersionsReadA32BitLength) {
  EXPECT_EQ(ReaderOn(Hex("02 00 00 00 41 E9"), EV_1)->ReadString(), QStringLiteral("A\u00E9"));
  EXPECT_EQ(ReaderOn(Hex("00 00 00 00"), EV_Old)->ReadString(), QString());
  EXPECT_THROW(ReaderOn(Hex("00 80 00 00"), EV_1)->ReadString(), EVelaAssertion);
}

// ---------------------------------------------------------------------------
// Objects

class StreamObjects : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestTypes(); }
};

TEST_F(StreamObjects, PutNullIsFourZeroBytesAndGetYieldsNull) {
  const QByteArray bytes = Written([](TSWriter& w) { w.Put(nullptr); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("00 00 00 00")));
  auto reader = ReaderOn(bytes);
  EXPECT_EQ(reader->Get(), nullptr);
  EXPECT_EQ(reader->Position(), 4);
}

TEST_F(StreamObjects, UnnamedObjectIsNineBytes) {
  TSOwned<TVelaObject> o(SNew<TVelaObject>());
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(o.get()); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("65 00 00 00 00 00 00 00 00")));
  TSOwned<TSobject> back(ReaderOn(bytes)->Get());
  ASSERT_TRUE(back);
  ASSERT_TRUE(back->InheritsFrom(TVelaObject::StaticClass()));
  auto* v = static_cast<TVelaObject*>(back.get());
  EXPECT_EQ(v->Objtype(), 101u);
  EXPECT_EQ(v->NameIfName(), QString());
  EXPECT_EQ(v->Subcount(), -1);
  EXPECT_FALSE(v->StatusFlags().Has(VS_Creating));
}

TEST_F(StreamObjects, NamedObjectWithEmptySubCollection) {
  TSOwned<TVelaObject> o(Named("AB"));
  o->CreateStdSubs();
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(o.get()); });
  EXPECT_EQ(ToHex(bytes),
            ToHex(Hex("65 00 00 00  80 02 41 00 42 00  02 00 00 00  00 00 00 00  10 00 00 00  10 00 00 00")));
  TSOwned<TSobject> back(ReaderOn(bytes)->Get());
  auto* v = static_cast<TVelaObject*>(back.get());
  ASSERT_TRUE(v);
  EXPECT_EQ(v->NameIfName(), QStringLiteral("AB"));
  ASSERT_EQ(v->Subcount(), 0);
  EXPECT_EQ(v->Subobjects()->Objtype(), 2u);
  EXPECT_EQ(v->Subobjects()->Limit(), 16);
  EXPECT_EQ(v->Subobjects()->Delta(), 16);
}

TEST_F(StreamObjects, ObjectWithNetIdAndStatusBlock) {
  TSOwned<TProbe> p(NewProbe("A", 5, 7, 3));
  p->Status = 0x11;
  p->DirtyData = 0x80000000;
  const QByteArray withIds = Written([&](TSWriter& w) { w.Put(p.get()); }, EV_6, true);
  EXPECT_EQ(ToHex(withIds), ToHex(Hex("61 EA 00 00  05 00 00 00  80 01 41 00  07 00 00 00  03 00  "
                                      "11 00 00 00  00 00 00 80  00 00 00 00")));
  const QByteArray plain = Written([&](TSWriter& w) { w.Put(p.get()); });
  EXPECT_EQ(ToHex(plain), ToHex(Hex("61 EA 00 00  80 01 41 00  07 00 00 00  03 00  00 00 00 00")));

  TSOwned<TSobject> back(ReaderOn(withIds, EV_6, true)->Get());
  ASSERT_TRUE(back && back->InheritsFrom(TProbe::StaticClass()));
  auto* q = static_cast<TProbe*>(back.get());
  EXPECT_EQ(q->Objtype(), kProbeType);
  EXPECT_EQ(q->NetId(), 5u);
  EXPECT_EQ(q->Value, 7);
  EXPECT_EQ(q->Word, 3);
  EXPECT_EQ(q->Status, 0x11u);
  EXPECT_EQ(q->DirtyData, 0x80000000u);
}

TEST_F(StreamObjects, ReaderTellsItsServerObjectTheNetIds) {
  TSOwned<TProbe> p(NewProbe("A", 5));
  p->CreateStdSubs();
  p->SInsert(NewProbe("B", 6), false);
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(p.get()); }, EV_6, true);
  TSOwned<TServerProbe> server(SNew<TServerProbe>());
  auto reader = ReaderOn(bytes, EV_6, true, R_Sobject);
  reader->SetServerObject(server.get());
  TSOwned<TSobject> back(reader->Get());
  ASSERT_TRUE(back);
  EXPECT_EQ(server->Registered, (std::vector<uint32_t>{5, 6}));
}

TEST_F(StreamObjects, OldVersionsSkipAByteAfterTheTypeAndReadDosNames) {
  TSOwned<TSobject> ev2(ReaderOn(Hex("65 00 00 00  EE  80 01 41  00 00 00 00"), EV_2)->Get());
  ASSERT_TRUE(ev2);
  EXPECT_EQ(static_cast<TVelaObject*>(ev2.get())->NameIfName(), QStringLiteral("A"));
  TSOwned<TSobject> ev1(ReaderOn(Hex("65 00 00 00  EE  02 8E 42  00 00 00 00"), EV_1)->Get());
  ASSERT_TRUE(ev1);
  EXPECT_EQ(static_cast<TVelaObject*>(ev1.get())->NameIfName(), QStringLiteral("\u00C4B"));
  // The writer of an old version stores the name as a DOS string too.
  TSOwned<TVelaObject> o(Named("AB"));
  EXPECT_EQ(ToHex(Written([&](TSWriter& w) { w.Put(o.get()); }, EV_1)),
            ToHex(Hex("65 00 00 00  02 41 42  00 00 00 00")));
}

TEST_F(StreamObjects, UnregisteredTypeYieldsNullAndLeavesTheDataUnread) {
  auto reader = ReaderOn(Hex("0F 27 00 00  80 01 41 00"));
  EXPECT_EQ(reader->Get(), nullptr);
  EXPECT_EQ(reader->Position(), 4);
}

TEST_F(StreamObjects, PutOfAnUnregisteredClassIsAnAssertion) {
  TSOwned<TUnregisteredThing> thing(SNew<TUnregisteredThing>());
  EXPECT_EQ(thing->Objtype(), 0u);
  try {
    Written([&](TSWriter& w) { w.Put(thing.get()); });
    ADD_FAILURE() << "no assertion";
  } catch (const EVelaAssertion& e) {
    EXPECT_EQ(e.Text(), QStringLiteral("TUnregisteredThing not registered"));
  }
  // Also as a sub, and through a copy.
  TSOwned<TVelaObject> holder(Named("holder"));
  holder->CreateStdSubs();
  holder->SInsert(SNew<TUnregisteredThing>(), false);
  EXPECT_THROW(holder->SCopy(), EVelaAssertion);
}

TEST_F(StreamObjects, SubsRoundTripWithOwners) {
  TSOwned<TVelaObject> root(Named("root"));
  root->CreateStdSubs();
  TVelaObject* a = root->SInsert(Named("a"), false);
  a->CreateWordIdSubs();
  a->SInsert(NewProbe("a1", 0, 1, 1), false);
  a->SInsert(NewProbe("a2", 0, 2, 2), false);
  root->SInsert(Named("b"), false);
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(root.get()); });
  TSOwned<TSobject> back(ReaderOn(bytes)->Get());
  auto* r = static_cast<TVelaObject*>(back.get());
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->EQ(root.get(), {EQ_CheckName, EQ_CheckSubs}));
  EXPECT_TRUE(OwnersConsistent(r));
  EXPECT_EQ(r->SOwner(), nullptr);
  ASSERT_EQ(r->Sub(0)->Subcount(), 2);
  EXPECT_TRUE(r->Sub(0)->Subobjects()->InheritsFrom(TWordIdColl::StaticClass()));
  EXPECT_EQ(static_cast<TProbe*>(r->Sub(0)->Sub(1))->Value, 2);
  EXPECT_EQ(r->Sub(0)->Sub(1)->Objtype(), kProbeType);
}

TEST_F(StreamObjects, SubCollectionOfTheWrongKindIsAReadError) {
  const int before = TProbe::Alive;
  // Subs that are an object of the tree instead of a collection.
  EXPECT_THROW(ReaderOn(Hex("65 00 00 00 00  65 00 00 00 00 00 00 00 00"))->Get(), EStreamReadError);
  // A collection holding a plain object and a probe.
  EXPECT_THROW(ReaderOn(Hex("65 00 00 00 00  02 00 00 00 02 00 00 00 02 00 00 00 02 00 00 00  "
                            "61 EA 00 00  00  00 00 00 00  00 00  00 00 00 00  01 00 00 00"))
                   ->Get(),
               EStreamReadError);
  // A collection with a null item.
  EXPECT_THROW(ReaderOn(Hex("65 00 00 00 00  02 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00  00 00 00 00"))->Get(),
               EStreamReadError);
  EXPECT_EQ(TProbe::Alive, before);
}

// ---------------------------------------------------------------------------
// Collections

TEST(StreamCollections, PlainCollectionWithANullItem) {
  TSOwned<TSCollection> c(SNew<TSCollection>(4, 8));
  c->Insert(SNew<TSobject>());
  c->Insert(nullptr);
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(c.get()); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("02 00 00 00  02 00 00 00  04 00 00 00  08 00 00 00  01 00 00 00  00 00 00 00")));
  TSOwned<TSobject> back(ReaderOn(bytes)->Get());
  auto* b = static_cast<TSCollection*>(back.get());
  ASSERT_TRUE(b);
  ASSERT_EQ(b->Count(), 2);
  EXPECT_EQ(b->Limit(), 4);
  EXPECT_EQ(b->Delta(), 8);
  EXPECT_EQ(b->AtObj(0)->Objtype(), 1u);
  EXPECT_EQ(b->At(1), nullptr);
}

struct SortedCase {
  bool duplicates;
  const char* lastByte;
};

class StreamSorted : public ::testing::TestWithParam<SortedCase> {};

TEST_P(StreamSorted, DuplicatesTravelInsertBehindDoesNot) {
  TSOwned<TSortedCollection> c(SNew<TSortedCollection>(4, 8));
  c->Duplicates = GetParam().duplicates;
  c->INSERTBEHIND = true;
  TSobject* first = SNew<TSobject>();
  TSobject* second = SNew<TSobject>();
  c->Insert(first);
  c->Insert(second);
  const QByteArray bytes = Written([&](TSWriter& w) { w.Put(c.get()); });
  const QByteArray expected =
      Hex("03 00 00 00  02 00 00 00  04 00 00 00  08 00 00 00  01 00 00 00  01 00 00 00") + Hex(GetParam().lastByte);
  EXPECT_EQ(ToHex(bytes), ToHex(expected));
  TSOwned<TSobject> back(ReaderOn(bytes)->Get());
  ASSERT_TRUE(back && back->InheritsFrom(TSortedCollection::StaticClass()));
  auto* b = static_cast<TSortedCollection*>(back.get());
  EXPECT_TRUE(b->Sorted());
  EXPECT_EQ(b->Duplicates, GetParam().duplicates);
  EXPECT_FALSE(b->INSERTBEHIND);
  EXPECT_EQ(b->Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Stream, StreamSorted, ::testing::Values(SortedCase{true, "01"}, SortedCase{false, "00"}));

TEST(StreamCollections, ItemsKeepTheStoredOrderWhenRead) {
  // Word-id sorted items whose keys were changed behind the collection's
  // back: stored out of order, they come back in the stored order.
  RegisterTestTypes();
  TSOwned<TWordIdColl> c(SNew<TWordIdColl>(4, 4));
  auto* a = NewProbe("a", 0, 0, 1);
  auto* b = NewProbe("b", 0, 0, 2);
  c->Insert(a);
  c->Insert(b);
  a->Word = 9;
  TSOwned<TSobject> back(ReaderOn(Written([&](TSWriter& w) { w.Put(c.get()); }))->Get());
  ASSERT_TRUE(back && back->InheritsFrom(TWordIdColl::StaticClass()));
  auto* s = static_cast<TWordIdColl*>(back.get());
  ASSERT_EQ(s->Count(), 2);
  EXPECT_EQ(static_cast<TProbe*>(s->At(0))->Word, 9);
  EXPECT_EQ(static_cast<TProbe*>(s->At(1))->Word, 2);
}

TEST(StreamCollections, CompactForm) {
  TSOwned<TSCollection> c(SNew<TSCollection>(4, 8));
  c->Insert(nullptr);
  const QByteArray bytes = Written([&](TSWriter& w) { c->VLCStore(w); });
  EXPECT_EQ(ToHex(bytes), ToHex(Hex("01 00 04 00 08 00  00 00 00 00")));
  TSOwned<TSCollection> back(SNew<TSCollection>());
  back->VLCLoad(*ReaderOn(Hex("02 00 01 00 05 00  00 00 00 00  01 00 00 00")));
  EXPECT_EQ(back->Count(), 2);
  EXPECT_EQ(back->Limit(), 2);  // max(Limit, Count)
  EXPECT_EQ(back->Delta(), 5);
  EXPECT_EQ(back->AtObj(1)->Objtype(), 1u);
}

TEST(StreamCollections, StoredCountOrLimitBeyondTheStreamIsBounded) {
  // A count that the bytes left cannot hold is a read error, before any allocation.
  EXPECT_THROW(ReaderOn(Hex("02 00 00 00  FF FF FF 07  FF FF FF 07  10 00 00 00"))->Get(), EStreamReadError);
  EXPECT_THROW(ReaderOn(Hex("02 00 00 00  FF FF FF FF  00 00 00 00  10 00 00 00"))->Get(), EStreamReadError);
  // A huge limit only reserves what the rest of the stream could fill.
  TSOwned<TSobject> back(ReaderOn(Hex("02 00 00 00  00 00 00 00  FF FF FF 07  10 00 00 00"))->Get());
  ASSERT_TRUE(back);
  EXPECT_LE(static_cast<TSCollection*>(back.get())->Limit(), 1024);
}

// ---------------------------------------------------------------------------
// Copies

class StreamCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestTypes();
    orig.reset(NewProbe("orig", 7, 70, 1));
    orig->CreateWordIdSubs();
    orig->SInsert(NewProbe("first", 8, 80, 2), false);
    orig->SInsert(NewProbe("second", 9, 90, 3), false);
  }
  TSOwned<TProbe> orig;
};

TEST_F(StreamCopy, SCopyMakesNewObjectsWithEqualNamesOwnedByTheCopy) {
  TSOwned<TSobject> raw(orig->SCopy());
  ASSERT_TRUE(raw && raw->InheritsFrom(TProbe::StaticClass()));
  auto* copy = static_cast<TProbe*>(raw.get());
  EXPECT_NE(copy, orig.get());
  EXPECT_EQ(copy->Objtype(), kProbeType);
  EXPECT_EQ(copy->NameIfName(), QStringLiteral("orig"));
  EXPECT_EQ(copy->Value, 70);
  EXPECT_EQ(copy->NetId(), 0u);  // copies carry no net ids
  EXPECT_EQ(copy->SOwner(), nullptr);
  ASSERT_EQ(copy->Subcount(), 2);
  EXPECT_TRUE(copy->Subobjects()->InheritsFrom(TWordIdColl::StaticClass()));
  for (int i = 0; i < 2; ++i) {
    TVelaObject* sub = copy->Sub(i);
    EXPECT_NE(sub, orig->Sub(i));
    EXPECT_EQ(sub->NameIfName(), orig->Sub(i)->NameIfName());
    EXPECT_EQ(sub->SOwner(), copy);
    EXPECT_EQ(sub->NetId(), 0u);
    EXPECT_EQ(static_cast<TProbe*>(sub)->Value, static_cast<TProbe*>(orig->Sub(i))->Value);
  }
  // The original is untouched.
  EXPECT_EQ(orig->Sub(0)->SOwner(), orig.get());
  EXPECT_EQ(orig->NetId(), 7u);
  // A copy of the copy is the same again.
  TSOwned<TVelaObject> again(copy->SCopyTree());
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->EQ(orig.get(), {EQ_CheckName, EQ_CheckSubs}));
}

TEST_F(StreamCopy, SCopyNoSubsKeepsAnEmptyCollectionOfTheSameKind) {
  TVelaObject* first = orig->Sub(0);
  TVelaObject* second = orig->Sub(1);
  TSOwned<TVelaObject> copy(orig->SCopyNoSubs());
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->NameIfName(), QStringLiteral("orig"));
  EXPECT_EQ(copy->Subcount(), 0);
  EXPECT_TRUE(copy->Subobjects()->InheritsFrom(TWordIdColl::StaticClass()));
  ASSERT_EQ(orig->Subcount(), 2);
  EXPECT_EQ(orig->Sub(0), first);
  EXPECT_EQ(orig->Sub(1), second);
  // Without a sub collection it is a plain copy.
  TSOwned<TVelaObject> leaf(first->SCopyNoSubs());
  ASSERT_TRUE(leaf);
  EXPECT_EQ(leaf->Subcount(), -1);
  EXPECT_EQ(leaf->NameIfName(), QStringLiteral("first"));
}

TEST_F(StreamCopy, CopyDataTakesTheDataOnly) {
  TSOwned<TProbe> target(NewProbe("target", 1, 0, 0));
  target->CreateStdSubs();
  target->SInsert(NewProbe("keep", 2), false);
  target->CopyData(orig.get());
  EXPECT_EQ(target->NameIfName(), QStringLiteral("orig"));
  EXPECT_EQ(target->Value, 70);
  EXPECT_EQ(target->Word, 1);
  EXPECT_EQ(target->NetId(), 1u);
  ASSERT_EQ(target->Subcount(), 1);
  EXPECT_EQ(target->Sub(0)->NameIfName(), QStringLiteral("keep"));
  EXPECT_TRUE(target->DataFlags().Has(S_SomethingDirty));
  EXPECT_TRUE(target->DataFlags().Has(S_NotSaved));
  // From a descendant into its ancestor class: the ancestor's part.
  TSOwned<TVelaObject> plain(Named("plain"));
  plain->CopyData(orig->Sub(1));
  EXPECT_EQ(plain->NameIfName(), QStringLiteral("second"));
}

TEST_F(StreamCopy, CopyDataFromAnotherClassIsAnAssertion) {
  TSOwned<TVelaObject> plain(Named("plain"));
  EXPECT_THROW(orig->CopyData(plain.get()), EVelaAssertion);
  EXPECT_THROW(orig->CopyData(nullptr), EVelaAssertion);
  EXPECT_EQ(orig->NameIfName(), QStringLiteral("orig"));
  EXPECT_EQ(orig->Value, 70);
}
