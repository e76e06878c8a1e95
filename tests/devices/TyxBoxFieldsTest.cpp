// The box's fields: columns per port mode and protocol, cell texts, protocol
// names and pick lists, refused edits, and the commands a field write sends.
#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/TyxBox.h"
#include "framework/FieldValues.h"
#include "framework/ObjectMenus.h"

namespace vela {
namespace {

using testing::TFakeClock;

const TEmac kMac = {0x00, 0x50, 0xC2, 0x10, 0x2A, 0x3B};
constexpr uint32_t kBoxIp = 0xC0A8010A;  // 192.168.1.10
constexpr int kHeader = 8;               // command code and MAC
constexpr int kFirstRecord = kHeader + 4;

class TCapture : public ITyxCommandSender {
 public:
  void SendToBox(TCustomTyxBox&, const QByteArray& Packet) override { Packets.push_back(Packet); }
  std::vector<QByteArray> Packets;
};

int CommandOf(const QByteArray& Packet) {
  return static_cast<uint8_t>(Packet[0]) | static_cast<uint8_t>(Packet[1]) << 8;
}

// Record Port of a two-port setup command.
TOnePortSetup SentRecord(const QByteArray& Packet, int Port) {
  return TOnePortSetup::FromBytes(BytesOf(Packet.mid(kFirstRecord + Port * TOnePortSetup::kSize)));
}

TOnePortSetup PortRec(TEboxPortMode Mode, TTyxProts Protocol, uint8_t SubNet = 0, uint16_t Universe = 0,
                      bool Offset = false, uint16_t Size = 512) {
  TOnePortSetup s;
  s.Direction = Mode;
  s.EProtocol = Protocol;
  s.SubNet = SubNet;
  s.Universe = Universe;
  s.fUniverseIsChannel = Offset ? 1 : 0;
  s.DSize = Size;
  return s;
}

QStringList Heads(const TLParamDef& Arr) {
  QStringList heads;
  for (const TLParam& p : Arr) heads << p.Head;
  return heads;
}

const TLParam* Column(const TLParamDef& Arr, const QString& Head) {
  for (const TLParam& p : Arr)
    if (p.Head == Head) return &p;
  return nullptr;
}

class TyxBoxFieldsTest : public ::testing::Test {
 protected:
  void TearDown() override { TyxIpDialogHook() = nullptr; }

  // A detected two-port box whose full report with these ports arrived.
  TTyxBox* MakeBox(const TOnePortSetup& P0, const TOnePortSetup& P1, bool NeedReboot = false) {
    TTyxBox* box = TTyxBox::CreateDetected(E_Tyx2_10, kMac, kBoxIp, QStringLiteral("Stage"));
    fBoxes.emplace_back(box);
    box->SetCommandSender(&fSent);
    box->SetSVersion({0, 0, 6, 1});  // 1.6.0.0
    TTyxStatusReport report;
    report.Mac = kMac;
    report.HasPorts = true;
    report.SVersion = box->SVersion();
    report.Ports = {P0, P1};
    report.HasSettings = true;
    report.Name = box->Name();
    report.NeedReboot = NeedReboot;
    box->TakeStatusReport(report);
    box->SetAlive(true);
    return box;
  }
  TTyxBox* MakeBox(const TOnePortSetup& P0) { return MakeBox(P0, PortRec(P_Disabled, tyxp_none)); }

  static TLParamDef Columns(TVelaObject* Obj) {
    TLParamDef arr;
    TParamsOpt opt;
    const uint16_t n = Obj->DefaultPDef(arr, opt);
    EXPECT_EQ(n, arr.size());
    return arr;
  }

  struct TFree {
    void operator()(TSobject* o) const { FreeObj(o); }
  };
  TFakeClock fClock;
  TCapture fSent;
  std::vector<std::unique_ptr<TTyxBox, TFree>> fBoxes;
};

// ---------------------------------------------------------------------------
// Columns

TEST_F(TyxBoxFieldsTest, UninitialisedBoxShowsNameMacAndIp) {
  testing::TFreeAtEnd<TCustomTyxBox> box(
      TCustomTyxBox::CreateDetected(E_Tyx2_100_Uninitialized, kMac, kBoxIp, QString()));
  const TLParamDef arr = Columns(box.Ptr);
  EXPECT_EQ(Heads(arr), QStringList({"Name", "Mac", "Ip"}));
  EXPECT_EQ(arr[0].SizeX, 200 + 16);
  for (const TLParam& p : arr) EXPECT_TRUE(p.LPEditMode.Empty()) << p.Head.toStdString();
  EXPECT_EQ(box->FF(FK_Special, TYF_Ip), "192.168.1.10");
  EXPECT_EQ(box->FF(FK_Special, TYF_Mac), "00:50:C2:10:2A:3B");
}

TEST_F(TyxBoxFieldsTest, BoxColumnsInOrder) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool), PortRec(P_Dmx_In, tyxp_Pathport));
  const TLParamDef arr = Columns(box);
  EXPECT_EQ(Heads(arr), QStringList({"Name", "MAC", "IP", "Firmware", "Status", "1:Mode", "1:Protocol", "1:Timeout",
                                     "1:Group", "1:Universe", "2:Mode", "2:Protocol", "2:Timeout", "2:Universe"}));
  struct Case {
    const char* head;
    TSFieldKind kind;
    uint32_t id;
    int width;
    TLpEditModes modes;
  };
  const Case cases[] = {
      {"Name", FK_Text, TYF_Name, 216, {LPE_Edit}},
      {"MAC", FK_Special, TYF_Mac, 120, {}},
      {"IP", FK_Special, TYF_Ip, 100, {LPE_UserSet}},
      {"Firmware", FK_Special, TYF_Version, 60, {}},
      {"Status", FK_Special, TYF_Status, 100, {LPE_UserSet}},
      {"2:Mode", FK_ByteKind, TYF_PortMode + 1, 80, {LPE_Edit}},
      {"2:Protocol", FK_ByteKind, TYF_PortProtocol + 1, 100, {LPE_Edit, LPE_SortAlphabetical}},
      {"2:Timeout", FK_Byte, TYF_PortTimeout + 1, 60, {LPE_Edit}},
      {"1:Group", FK_Word, TYF_PortSubNet, 50, {LPE_Edit}},
      {"2:Universe", FK_Word, TYF_PortUniverse + 1, 50, {LPE_Edit, LPE_CheckBoxHint}},
  };
  for (const Case& c : cases) {
    const TLParam* p = Column(arr, QString::fromLatin1(c.head));
    ASSERT_NE(p, nullptr) << c.head;
    EXPECT_EQ(p->FK, c.kind) << c.head;
    EXPECT_EQ(p->ID, c.id) << c.head;
    EXPECT_EQ(p->SizeX, c.width) << c.head;
    EXPECT_EQ(p->LPEditMode, c.modes) << c.head;
  }
}

TEST_F(TyxBoxFieldsTest, PortColumnsFollowModeAndProtocol) {
  struct Case {
    TOnePortSetup port;
    QStringList heads;  // port 1's columns after its time-out
    bool editable;
  };
  const Case cases[] = {
      {PortRec(P_Disabled, tyxp_VelaPool), {"1:Group", "1:Universe"}, false},
      {PortRec(P_MidiOut, tyxp_ArtNet), {"1:SubNet", "1:Universe"}, false},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), {"1:SubNet", "1:Universe"}, true},
      {PortRec(P_Dmx_In, tyxp_VelaIpx), {"1:Group", "1:Universe"}, true},
      {PortRec(P_DmxFromEther, tyxp_Compulite), {"1:VC", "1:Universe"}, true},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx), {"1:Net#", "1:O", "1:Universe"}, true},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 512, true), {"1:Net#", "1:O", "1:Offset", "1:Size"}, true},
      {PortRec(P_Dmx_In, tyxp_AvabIpx, 0, 512, true), {"1:Group", "1:Universe"}, true},
      {PortRec(P_Dmx_Out, tyxp_ShowNet), {"1:Slot/512", "1:Universe"}, true},
      {PortRec(P_Dmx_Out, tyxp_Hydra), {"1:Net#", "1:Universe"}, true},
      {PortRec(P_Dmx_Out, tyxp_ACNLiteFinal), {"1:Universe"}, true},
  };
  for (const Case& c : cases) {
    TTyxBox* box = MakeBox(c.port);
    const TLParamDef arr = Columns(box);
    const std::string what = box->FF(FK_ByteKind, TYF_PortMode).toStdString() + "/" + std::to_string(c.port.EProtocol);
    QStringList port1;
    for (const TLParam& p : arr) {
      if (!p.Head.startsWith("1:")) continue;
      if (p.Head == "1:Mode") {
        EXPECT_TRUE(p.LPEditMode.Has(LPE_Edit)) << what;
      } else {
        EXPECT_EQ(p.LPEditMode.Has(LPE_Edit), c.editable) << what << " " << p.Head.toStdString();
      }
      if (p.Head != "1:Mode" && p.Head != "1:Protocol" && p.Head != "1:Timeout") port1 << p.Head;
    }
    EXPECT_EQ(port1, c.heads) << what;
  }
}

TEST_F(TyxBoxFieldsTest, ZeroAsOneAndFullHeaders) {
  struct Case {
    TOnePortSetup port;
    const char* head;
    bool zeroAsOne;
    const char* fullHeader;
  };
  const Case cases[] = {
      {PortRec(P_Dmx_Out, tyxp_ArtNet), "1:Universe", false, "Zero based Universe"},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), "1:SubNet", false, "1:SubNet"},
      {PortRec(P_Dmx_Out, tyxp_VelaPool), "1:Universe", true, "One based Universe"},
      {PortRec(P_Dmx_Out, tyxp_Compulite), "1:VC", true, "1:VC"},
      {PortRec(P_Dmx_Out, tyxp_Hydra), "1:Net#", false, "1:Net#"},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 0, true), "1:O", false, "Offset Mode"},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 0, true), "1:Offset", true, "1:Offset"},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 0, true), "1:Size", false, "1:Size"},
  };
  for (const Case& c : cases) {
    const TLParamDef arr = Columns(MakeBox(c.port));
    const TLParam* p = Column(arr, QString::fromLatin1(c.head));
    ASSERT_NE(p, nullptr) << c.head;
    EXPECT_EQ(p->ZeroAsOne, c.zeroAsOne) << c.head << " protocol " << int(c.port.EProtocol);
    EXPECT_EQ(p->FullHeader, c.fullHeader) << c.head << " protocol " << int(c.port.EProtocol);
  }
  const TLParamDef avab = Columns(MakeBox(PortRec(P_Dmx_Out, tyxp_AvabIpx)));
  const TLParam* o = Column(avab, "1:O");
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->FK, FK_Bool);
  EXPECT_EQ(o->ID, TYF_PortOffsetMode);
  EXPECT_EQ(o->SizeX, 30);
  EXPECT_EQ(o->LPEditMode, TLpEditModes({LPE_Edit, LPE_CheckBox}));
}

// ---------------------------------------------------------------------------
// Texts and numbers

TEST_F(TyxBoxFieldsTest, CellTexts) {
  TTyxBox* box = MakeBox(PortRec(P_Disabled, tyxp_ArtNet, 3, 7), PortRec(P_Dmx_In, tyxp_Hydra, 4, 6));
  struct Case {
    TSFieldKind kind;
    uint32_t id;
    const char* text;
  };
  const Case cases[] = {
      {FK_ByteKind, TYF_PortMode, "Disabled"},
      {FK_ByteKind, TYF_PortProtocol, ""},
      {FK_Word, TYF_PortSubNet, ""},
      {FK_Word, TYF_PortUniverse, ""},
      {FK_ByteKind, TYF_PortMode + 1, "DMX In"},
      {FK_ByteKind, TYF_PortProtocol + 1, "Hydra Network"},
      {FK_Word, TYF_PortSubNet + 1, "4"},
      {FK_Word, TYF_PortUniverse + 1, "6"},
      {FK_Word, TYF_PortSize + 1, "512"},
      {FK_Special, TYF_Version, "1.6.0.0"},
      {FK_Special, TYF_Ip, "192.168.1.10"},
      {FK_Special, TYF_Status, "Alive"},
      {FK_Special, TYF_Mac, "00:50:C2:10:2A:3B"},
      {FK_Bool, TYF_NeedReboot, "Off"},
      {FK_Text, TYF_Name, "Stage"},
  };
  for (const Case& c : cases) EXPECT_EQ(box->FF(c.kind, c.id), c.text) << int(c.kind) << "/" << c.id;

  // An output port names its protocols from the output list.
  TTyxBox* out = MakeBox(PortRec(P_Dmx_Out, tyxp_Hydra));
  EXPECT_EQ(out->FF(FK_ByteKind, TYF_PortProtocol), "Hydra network");
  EXPECT_EQ(out->FF(FK_ByteKind, TYF_PortMode), "DMX Out");
}

TEST_F(TyxBoxFieldsTest, CellNumbers) {
  TOnePortSetup p0 = PortRec(P_Dmx_Out, tyxp_AvabIpx, 5, 1024, true, 200);
  p0.Timeout = 9;
  TTyxBox* box = MakeBox(p0, PortRec(P_Dmx_In, tyxp_ArtNet), true);
  struct Case {
    TSFieldKind kind;
    uint32_t id;
    int value;
  };
  const Case cases[] = {
      {FK_Byte, TYF_PortTimeout, 9},          {FK_Bool, TYF_PortTimeout, 9},
      {FK_Bool, TYF_NeedReboot, 1},           {FK_Bool, TYF_PortOffsetMode, 1},
      {FK_Bool, TYF_PortOffsetMode + 1, 0},   {FK_Word, TYF_PortSubNet, 5},
      {FK_Word, TYF_PortUniverse, 1024},      {FK_Word, TYF_PortSize, 200},
      {FK_ByteKind, TYF_PortMode, P_Dmx_Out}, {FK_ByteKind, TYF_PortProtocol + 1, tyxp_ArtNet},
  };
  for (const Case& c : cases) EXPECT_EQ(box->FN(c.kind, c.id), c.value) << int(c.kind) << "/" << c.id;
}

// ---------------------------------------------------------------------------
// Protocol names and pick lists

TEST_F(TyxBoxFieldsTest, ProtocolNames) {
  EXPECT_EQ(TTyxBox::GetEProtocolName(true, tyxp_ACNLiteFinal), "E1.31-2009 sACN ");
  EXPECT_EQ(TTyxBox::GetEProtocolName(false, tyxp_ACNLiteFinal), "E1.31-2009 sACN");
  EXPECT_EQ(TTyxBox::GetEProtocolName(true, tyxp_internal), "Internal DMX Controller*");
  EXPECT_EQ(TTyxBox::GetEProtocolName(true, tyxp_Patched1), "Multi Protocol Patch*");
  EXPECT_EQ(TTyxBox::GetEProtocolName(true, tyxp_Thru), "Thru from the other port");
  EXPECT_EQ(TTyxBox::GetEProtocolName(false, tyxp_Thru), "*");
  EXPECT_EQ(TTyxBox::GetEProtocolName(true, tyxp_notdefined), "");
  EXPECT_EQ(TTyxBox::GetEProtocolName(false, -1), "");
  EXPECT_EQ(TTyxBox::GetNumValidProtocols(true), 14);
  EXPECT_EQ(TTyxBox::GetNumValidProtocols(false), 11);

  struct Case {
    bool output;
    int index;
    const char* name;
    TTyxProts value;
  };
  const Case cases[] = {{false, 0, "--------", tyxp_none},
                        {false, 2, "Art-Net", tyxp_ArtNet},
                        {false, 10, "E1.31-2009 sACN", tyxp_ACNLiteFinal},
                        {false, 11, "", tyxp_notdefined},
                        {true, 5, "AVAB IPX", tyxp_AvabIpx},
                        {true, 9, "Thru from the other port", tyxp_Thru},
                        {true, 13, "E1.31-2009 sACN ", tyxp_ACNLiteFinal},
                        {true, 14, "", tyxp_notdefined}};
  for (const Case& c : cases) {
    TTyxProts value = tyxp_none;
    EXPECT_EQ(TTyxBox::GetEProtocolNameByIndex(c.output, c.index, value), c.name) << c.output << "/" << c.index;
    EXPECT_EQ(value, c.value) << c.output << "/" << c.index;
  }
}

TEST_F(TyxBoxFieldsTest, PickLists) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_ArtNet), PortRec(P_Dmx_In, tyxp_ArtNet));
  auto texts = [](const TSelectionList& list) {
    QStringList t;
    for (const TSelectionEntry& e : list) t << e.Text;
    return t;
  };
  auto values = [](const TSelectionList& list) {
    std::vector<intptr_t> v;
    for (const TSelectionEntry& e : list) v.push_back(e.Value);
    return v;
  };
  TParamsOpt opt;
  opt.CurrentSortColumn = 3;

  const TSelectionList in = box->GetSelectionList(FK_ByteKind, TYF_PortProtocol + 1, opt);
  EXPECT_EQ(texts(in),
            QStringList({"--------", "VelaNet DMX Pool", "Art-Net", "Compulite", "Pathport", "ShowNet", "Hydra Network",
                         "VelaNet IPX", "E1.31-Draft sACN", "ColorNet", "E1.31-2009 sACN"}));
  EXPECT_EQ(values(in), std::vector<intptr_t>({0, 2, 4, 6, 8, 9, 10, 13, 14, 15, 16}));
  EXPECT_EQ(opt.CurrentSortColumn, -1);

  const TSelectionList out = box->GetSelectionList(FK_ByteKind, TYF_PortProtocol, opt);
  ASSERT_EQ(out.size(), 14u);
  EXPECT_FALSE(texts(out).join("").contains('*'));
  EXPECT_EQ(out.back().Text, "E1.31-2009 sACN ");
  EXPECT_EQ(values(out), std::vector<intptr_t>({0, 2, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16}));

  const TSelectionList modes = box->GetSelectionList(FK_ByteKind, TYF_PortMode + 1, opt);
  EXPECT_EQ(texts(modes), QStringList({"Disabled", "DMX Out", "DMX In", "Pipe other port"}));
  EXPECT_EQ(values(modes), std::vector<intptr_t>({P_Disabled, P_Dmx_Out, P_Dmx_In, P_DmxFromEther}));
}

// ---------------------------------------------------------------------------
// Edit checks

TEST_F(TyxBoxFieldsTest, PortValuesAreCheckedAgainstTheLimits) {
  struct Case {
    TOnePortSetup port;
    uint32_t id;
    uint16_t value;
    bool taken;
  };
  const Case cases[] = {
      {PortRec(P_Dmx_Out, tyxp_VelaPool, 0, 0, false, 100), TYF_PortSize, 512, true},
      {PortRec(P_Dmx_Out, tyxp_VelaPool, 0, 0, false, 100), TYF_PortSize, 600, false},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), TYF_PortSubNet, 15, true},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), TYF_PortSubNet, 16, false},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), TYF_PortUniverse, 15, true},
      {PortRec(P_Dmx_Out, tyxp_ArtNet), TYF_PortUniverse, 16, false},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 0, true), TYF_PortUniverse, 6144, true},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx, 0, 0, true), TYF_PortUniverse, 6145, false},
      {PortRec(P_Dmx_Out, tyxp_AvabIpx), TYF_PortUniverse, 12, false},
  };
  for (const Case& c : cases) {
    TTyxBox* box = MakeBox(c.port);
    fSent.Packets.clear();
    TSFieldKind kind = FK_Word;
    uint32_t id = c.id;
    const std::string what = std::to_string(c.id) + "=" + std::to_string(c.value);
    EXPECT_EQ(box->ValidateField(false, kind, id, &c.value), c.taken) << what;
    // A checked write of a refused value sends nothing; a taken one the setup.
    EXPECT_EQ(box->DoSetField(true, FK_Word, c.id, &c.value), c.taken) << what;
    EXPECT_EQ(fSent.Packets.size(), c.taken ? 1u : 0u) << what;
  }
}

TEST_F(TyxBoxFieldsTest, IpCellOpensTheDialogInstead) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool));
  int opened = 0;
  TyxIpDialogHook() = [&](TIpSettings&) {
    ++opened;
    return false;
  };
  const QString typed = QStringLiteral("10.0.0.1");
  EXPECT_FALSE(box->DoSetField(true, FK_Special, TYF_Ip, &typed));
  EXPECT_EQ(opened, 1);
  EXPECT_TRUE(fSent.Packets.empty());
}

TEST_F(TyxBoxFieldsTest, StatusCellSavesAndRestartsOnlyWhenNeeded) {
  for (const bool need : {false, true}) {
    TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool), PortRec(P_Disabled, tyxp_none), need);
    fSent.Packets.clear();
    const QString typed;
    EXPECT_FALSE(box->DoSetField(true, FK_Special, TYF_Status, &typed)) << need;
    ASSERT_EQ(fSent.Packets.size(), need ? 1u : 0u) << need;
    if (need) {
      EXPECT_EQ(CommandOf(fSent.Packets[0]), 6);
      EXPECT_EQ(box->StatusText(), "Rebooting");
    }
  }
}

// ---------------------------------------------------------------------------
// Writes

TEST_F(TyxBoxFieldsTest, WritesBecomeBoxCommands) {
  struct Case {
    TSFieldKind kind;
    uint32_t id;
    uint16_t value;
    int command;  // 0: nothing sent
    int port;     // for a setup command: the record that changed
    std::function<int(const TOnePortSetup&)> field;
  };
  const Case cases[] = {
      {FK_Bool, TYF_Leds, 1, 7, 0, nullptr},
      {FK_Command, TYF_Identify, 0, 5, 0, nullptr},
      {FK_Word, TYF_PortUniverse, 9, 2, 0, [](const TOnePortSetup& s) { return s.Universe; }},
      {FK_Word, TYF_PortUniverse + 1, 9, 2, 1, [](const TOnePortSetup& s) { return s.Universe; }},
      {FK_Word, TYF_PortSubNet, 3, 2, 0, [](const TOnePortSetup& s) { return s.SubNet; }},
      {FK_Word, TYF_PortSize, 100, 2, 0, [](const TOnePortSetup& s) { return s.DSize; }},
      {FK_Byte, TYF_PortTimeout, 5, 2, 0, [](const TOnePortSetup& s) { return s.Timeout; }},
      {FK_Bool, TYF_PortTimeout + 1, 6, 2, 1, [](const TOnePortSetup& s) { return s.Timeout; }},
      {FK_Bool, TYF_PortOffsetMode, 1, 2, 0, [](const TOnePortSetup& s) { return s.fUniverseIsChannel; }},
      {FK_ByteKind, TYF_PortMode, P_Dmx_In, 2, 0, [](const TOnePortSetup& s) { return s.Direction; }},
      {FK_ByteKind, TYF_PortProtocol, tyxp_ArtNet, 2, 0, [](const TOnePortSetup& s) { return s.EProtocol; }},
      {FK_ByteKind, TYF_PortProtocol, tyxp_internal, 0, 0, nullptr},
      {FK_Word, TYF_PortUniverse + 2, 9, 0, 0, nullptr},  // a third port the box lacks
  };
  for (const Case& c : cases) {
    TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_AvabIpx), PortRec(P_Dmx_In, tyxp_VelaPool));
    fSent.Packets.clear();
    const std::string what = std::to_string(c.kind) + "/" + std::to_string(c.id);
    uint8_t data[kMaxFieldData] = {};
    PutFieldNumber(c.kind, data, c.value);
    EXPECT_TRUE(box->DoSetField(true, c.kind, c.id, data)) << what;
    if (c.command == 0) {
      EXPECT_TRUE(fSent.Packets.empty()) << what;
      continue;
    }
    ASSERT_EQ(fSent.Packets.size(), 1u) << what;
    EXPECT_EQ(CommandOf(fSent.Packets[0]), c.command) << what;
    if (c.field) {
      EXPECT_EQ(c.field(SentRecord(fSent.Packets[0], c.port)), c.value) << what;
      EXPECT_EQ(SentRecord(fSent.Packets[0], 1 - c.port), *box->PortSetup(1 - c.port)) << what;
    }
  }
}

TEST_F(TyxBoxFieldsTest, LedsWriteLeavesTheStoredLevel) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool));
  const uint8_t on = 1;
  box->DoSetField(true, FK_Bool, TYF_Leds, &on);
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(static_cast<uint8_t>(fSent.Packets[0][kHeader]), 255);
  EXPECT_EQ(box->LedsLevel(), 0);
}

TEST_F(TyxBoxFieldsTest, RenameSendsTheNameAndKeepsTheShownOne) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool));
  const QString name = QStringLiteral("  Front  ");
  EXPECT_TRUE(box->DoSetField(true, FK_Text, TYF_Name, &name));
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(CommandOf(fSent.Packets[0]), 4);
  EXPECT_EQ(fSent.Packets[0].mid(kHeader, 6), QByteArray("\x05"
                                                         "Front"));
  EXPECT_EQ(box->Name(), "Stage");
  // The second text field takes nothing.
  EXPECT_TRUE(box->DoSetField(true, FK_Text, 1, &name));
  EXPECT_EQ(fSent.Packets.size(), 1u);
}

// ---------------------------------------------------------------------------
// Context menu

TEST_F(TyxBoxFieldsTest, IdentifyEntryOnClickMenus) {
  TTyxBox* box = MakeBox(PortRec(P_Dmx_Out, tyxp_VelaPool));
  auto identify = [&](TVelaMenuItem& menu) -> TVelaMenuItem* {
    for (int i = 0; i < menu.Count(); ++i)
      if (menu.Items(i)->text() == "Identify") return AsVelaMenuItem(menu.Items(i));
    return nullptr;
  };
  TVelaMenuItem local;
  box->AddMenuItems(nullptr, Pop_LocalMenu, &local, FK_Text, 0, box, 0, TDropParams{}, nullptr);
  EXPECT_EQ(identify(local), nullptr);

  TVelaMenuItem click;
  box->AddMenuItems(nullptr, Pop_Click, &click, FK_Text, 0, box, 0, TDropParams{}, nullptr);
  TVelaMenuItem* entry = identify(click);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(fSent.Packets.empty());
  entry->Click();
  ASSERT_EQ(fSent.Packets.size(), 1u);
  EXPECT_EQ(CommandOf(fSent.Packets[0]), 5);
}

}  // namespace
}  // namespace vela
