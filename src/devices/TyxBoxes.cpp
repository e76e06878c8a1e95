#include "devices/TyxBoxes.h"

#include <QTimer>
#include <QUdpSocket>

#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/TyxReports.h"

namespace vela {

VELA_CLASS_IMPL(TTyxBoxes, TDmxAdapter)

namespace {
// A full-universe DMX pool packet: type word, net group, universe, port, 512 levels.
constexpr size_t kPoolFullPacketSize = 517;
constexpr size_t kPoolPortOffset = 4;
constexpr size_t kPoolLevelsOffset = 5;
constexpr uint16_t kPoolFullType = 3;
}  // namespace

// ---------------------------------------------------------------------------
// Construction

TTyxBoxes::TTyxBoxes() = default;

TTyxBoxes::~TTyxBoxes() {
  // The timer first, so no poll runs on a half-destroyed manager; then the
  // sockets, each reference cleared before the socket goes.
  fPollTimer.reset();
  fPollSock.reset();
  fPollSendSock.reset();
  if (OnDestroyed) OnDestroyed();
}

TTyxBoxes* TTyxBoxes::Create(bool CreateDummy) {
  auto* boxes = SNew<TTyxBoxes>();
  boxes->SetName(ManagerName());
  boxes->CreateStdSubs();
  if (CreateDummy) boxes->AddDummies();
  return boxes;
}

void TTyxBoxes::AddDummies() {
  for (TTyxKind kind : {E_Tyx2_10, E_Tyx8_10}) {
    TTyxBox* box = TTyxBox::Create(kind, QStringLiteral("00:00:00"), QStringLiteral("Dummy"));
    box->AsDemo = true;
    SInsert(box, false);
  }
}

// ---------------------------------------------------------------------------
// Finding boxes

TCustomTyxBox* TTyxBoxes::BoxAt(int Index) const {
  TVelaObject* sub = Sub(Index);
  // Only boxes are put into the manager; anything else is passed over.
  if (!sub || !sub->InheritsFrom(TCustomTyxBox::StaticClass())) return nullptr;
  return static_cast<TCustomTyxBox*>(sub);
}

bool TTyxBoxes::IsOwnBox(const TCustomTyxBox* Box) const { return Box && Box->SOwner() == this; }

namespace {

// A MAC as one number, for the index.
uint64_t MacKey(const TEmac& Mac) {
  uint64_t key = 0;
  for (uint8_t byte : Mac) key = (key << 8) | byte;
  return key;
}

}  // namespace

TCustomTyxBox* TTyxBoxes::ScanByMac(const TEmac& Mac) const {
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    TCustomTyxBox* box = BoxAt(i);
    if (box && box->BoxMac() == Mac) return box;
  }
  return nullptr;
}

bool TTyxBoxes::MacIndexCurrent() const {
  return fMacIndexValid && fMacIndexSubs == Subobjects() && fMacIndexCount == BoxCount();
}

void TTyxBoxes::RebuildMacIndex() const {
  fMacIndex.clear();
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    // The first box of a MAC keeps the entry, as the list search finds it first.
    if (TCustomTyxBox* box = BoxAt(i)) fMacIndex.try_emplace(MacKey(box->BoxMac()), TMacEntry{box, i});
  }
  fMacIndexSubs = Subobjects();
  fMacIndexCount = count;
  fMacIndexValid = true;
}

TCustomTyxBox* TTyxBoxes::FindByMac(const TEmac& Mac) const {
  if (!MacIndexCurrent()) RebuildMacIndex();
  if (const auto it = fMacIndex.find(MacKey(Mac)); it != fMacIndex.end()) {
    const TMacEntry& entry = it->second;
    // The pointer is compared before it is used: a freed box's address may
    // belong to a new object by now.
    if (entry.Position < BoxCount() && BoxAt(entry.Position) == entry.Box && entry.Box->BoxMac() == Mac) {
      return entry.Box;
    }
  }
  // No entry, or one that no longer holds: the list decides, and a box found
  // there means the index missed a change.
  TCustomTyxBox* box = ScanByMac(Mac);
  if (box) fMacIndexValid = false;
  return box;
}

TCustomTyxBox* TTyxBoxes::FindWanByIp(uint32_t Ip) const {
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    TCustomTyxBox* box = BoxAt(i);
    if (box && box->WanBox() && box->IP() == Ip) return box;
  }
  return nullptr;
}

TCustomTyxBox* TTyxBoxes::FindByIp(uint32_t Ip) const {
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    TCustomTyxBox* box = BoxAt(i);
    if (box && box->IP() == Ip) return box;
  }
  return nullptr;
}

TCustomTyxBox* TTyxBoxes::GetBox(const TEmac& Mac) const {
  if (TCustomTyxBox* box = FindByMac(Mac)) return box;
  return FindWanByIp(0);
}

void TTyxBoxes::Inserted(TCustomTyxBox* Box) {
  Box->LoadSettings1();
  if (OnInserted) OnInserted(Box);
}

TCustomTyxBox* TTyxBoxes::FindOrCreateBox(TTyxKind Kind, const QString& Name, bool CreateAllowed, const TEmac& Mac,
                                          uint32_t Ip) {
  TCustomTyxBox* box = FindByMac(Mac);
  if (!box) box = FindWanByIp(Ip);
  if (!CreateAllowed) return box;

  if (box && box->BoxKind() == E_Tyx2_100_Uninitialized && Kind != E_Tyx2_100_Uninitialized) {
    // A box that announced itself uninitialised now reports: it becomes a
    // full box in the same place of the list.
    const int position = SIndexof(box);
    SFree(box);
    box = TTyxBox::CreateDetected(E_Tyx2_100, Mac, Ip, Name);
    SAtInsert(box, position);
  } else if (box && box->IsDetected()) {
    return box;
  } else if (box) {
    // A WAN box or dummy entered by hand is heard for the first time.
    box->UpdateFromDetection(Name, Ip, Mac);
    // Its MAC changed: the index may now have to point at it.
    InvalidateMacIndex();
  } else {
    if (Kind == E_Tyx2_100_Uninitialized) {
      box = TCustomTyxBox::CreateDetected(E_Tyx2_100_Uninitialized, Mac, Ip, Name);
    } else {
      TTyxKind kind = Kind;
      if (Kind == E_Tyx2_10) kind = TwoPortKindFromMac(Mac);
      box = TTyxBox::CreateDetected(kind, Mac, Ip, Name);
    }
    SInsert(box);
  }
  Inserted(box);
  return box;
}

// ---------------------------------------------------------------------------
// Receive handlers

TCustomTyxBox* TTyxBoxes::HandleStatusDatagram(std::span<const uint8_t> Datagram, uint32_t SourceIp) {
  // Anything but a report (among them this tool's own commands coming back
  // through the group) names no box.
  const std::optional<TTyxStatusReport> report = ParseStatusReport(Datagram, SourceIp);
  if (!report) return nullptr;
  const TTyxKind kind = report->ReportType == RT_EightPortBox ? E_Tyx8_10 : E_Tyx2_10;
  TCustomTyxBox* box = FindOrCreateBox(kind, report->Name, true, report->Mac, SourceIp);
  if (!box) return nullptr;
  box->SetAlive(true);

  if (!box->InheritsFrom(TTyxBox::StaticClass())) {
    // An uninitialised box has no ports to take; it only follows its address.
    box->SetIP(SourceIp);
    return box;
  }
  auto* full = static_cast<TTyxBox*>(box);
  // Re-entry while this box is being updated only refreshes its alive state.
  if (full->UpdatingBox != 0) return box;
  ++full->UpdatingBox;
  full->SetIP(SourceIp);
  if (report->HasPorts) {
    SetIsDetected(true);
    full->TakeStatusReport(*report);
  }
  --full->UpdatingBox;
  return box;
}

TCustomTyxBox* TTyxBoxes::HandleAnnouncementDatagram(std::span<const uint8_t> Datagram, uint32_t SourceIp) {
  const std::optional<TTyxAnnouncement> announcement = ParseAnnouncement(Datagram, SourceIp);
  if (!announcement) return nullptr;
  TCustomTyxBox* box = FindOrCreateBox(E_Tyx2_100_Uninitialized, announcement->Name, true, announcement->Mac, SourceIp);
  if (box) box->SetAlive(true);
  return box;
}

void TTyxBoxes::HandleDmxPoolIn(uint32_t SourceIp, std::span<const uint8_t> Packet) {
  if (Packet.size() < kPoolFullPacketSize) return;
  if ((Packet[0] | (Packet[1] << 8)) != kPoolFullType) return;
  TCustomTyxBox* box = FindByIp(SourceIp);
  if (!box) return;
  TDmxArea* area = box->OutBlocks();
  const uint8_t port = Packet[kPoolPortOffset];
  if (!area || port > 1) return;
  TDmxBlock* block = area->Block(port);
  if (!block) return;
  int index = 0;
  block->CopyFromBuf(Packet.subspan(kPoolLevelsOffset, kDmxChannels), index);
}

// ---------------------------------------------------------------------------
// Box operations

TTyxBox* TTyxBoxes::AddTyx2() {
  TTyxBox* box = TTyxBox::Create(E_Tyx2_10, QStringLiteral("00:00:00"), QString());
  SInsert(box);
  box->SetWanBox(true);
  return box;
}

void TTyxBoxes::SetBoxIp(TCustomTyxBox* Box, const QString& IpText) {
  if (!IsOwnBox(Box)) return;
  // Unreadable text would otherwise become 255.255.255.255.
  if (const std::optional<uint32_t> ip = ParseIpv4(IpText.trimmed())) Box->SetIP(*ip);
}

void TTyxBoxes::SetMaxMin(TCustomTyxBox* Box, int Min1, int Max1, int Min2, int Max2) {
  if (!IsOwnBox(Box) || !Box->InheritsFrom(TTyxBox::StaticClass())) return;
  static_cast<TTyxBox*>(Box)->SetMaxMin(Min1, Max1, Min2, Max2);
}

bool TTyxBoxes::CompressedAllowed(const TCustomTyxBox* Box) const {
  if (Box) return Box->CanCompressed();
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    const TCustomTyxBox* box = BoxAt(i);
    if (box && box->NeedsUncompressed()) return false;
  }
  return true;
}

void TTyxBoxes::SendDmxToBox(TTyxBox& Box, int NetGroup, int Universe, int StartOffset,
                             std::span<const uint8_t> Levels) {
  if (fTyxProtocol) fTyxProtocol->SendDmxToBox(Box, NetGroup, Universe, StartOffset, Levels);
}

// ---------------------------------------------------------------------------
// Overrides

bool TTyxBoxes::ValidateNetUniverse(bool IsNet, int Value, bool& DisplayFromOne, int& Max, int& Min) {
  Min = 0;
  Max = IsNet ? 255 : 32766;
  DisplayFromOne = !IsNet;
  return Value >= Min && Value <= Max;
}

int32_t TTyxBoxes::RQ(TRQ ARQ, TVelaObject* S, int Param1, int Param2) {
  // The manager can be neither deleted nor edited in the browser.
  if (ARQ == RQ_DeleteDenied || ARQ == RQ_BrowseEditDenied) return 1;
  return TDmxAdapter::RQ(ARQ, S, Param1, Param2);
}

void TTyxBoxes::AfterInsert(TVelaObject* Obj) {
  // A box appended to a current index goes in without a rebuild (as the
  // last box it is first for its MAC only when no other box has that MAC).
  const int count = BoxCount();
  const bool appended =
      fMacIndexValid && fMacIndexSubs == Subobjects() && count == fMacIndexCount + 1 && Sub(count - 1) == Obj;
  if (appended) {
    if (TCustomTyxBox* box = BoxAt(count - 1)) fMacIndex.try_emplace(MacKey(box->BoxMac()), TMacEntry{box, count - 1});
    fMacIndexCount = count;
  } else {
    InvalidateMacIndex();
  }
  TDmxAdapter::AfterInsert(Obj);
}

void TTyxBoxes::BeforeSubRemove(TVelaObject* Obj) {
  InvalidateMacIndex();
  TDmxAdapter::BeforeSubRemove(Obj);
}

void TTyxBoxes::PostDelete(TVelaObject* Obj) {
  InvalidateMacIndex();
  TDmxAdapter::PostDelete(Obj);
}

void TTyxBoxes::ClearSubs() {
  InvalidateMacIndex();
  TDmxAdapter::ClearSubs();
}

void TTyxBoxes::SetSubobjects(TSCollection* Value) {
  InvalidateMacIndex();
  TDmxAdapter::SetSubobjects(Value);
}

void TTyxBoxes::LoadSubs(TSReader& Reader) {
  InvalidateMacIndex();
  TDmxAdapter::LoadSubs(Reader);
  InvalidateMacIndex();
}

void TTyxBoxes::Dispatch(TMessage& Message) {
  if (Message.Msg == VM_Periodic) {
    const int count = BoxCount();
    for (int i = 0; i < count; ++i) {
      if (TCustomTyxBox* box = BoxAt(i)) {
        TMessage step{VM_Periodic, 0, 0, 0};
        box->Dispatch(step);
      }
    }
  }
  TDmxAdapter::Dispatch(Message);
}

}  // namespace vela
