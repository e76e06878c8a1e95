// The file of hand-entered WAN boxes: one line per box in the caller's
// section (IP text = registry name, for information only) and one section per
// box, named by its IP text, with the channel ranges of its two ports.
#include <QCoreApplication>
#include <QDir>
#include <tuple>

#include "devices/TyxBoxes.h"
#include "platform/IniFile.h"

namespace vela {

namespace {

const QString kMin1 = QStringLiteral("Min1");
const QString kMax1 = QStringLiteral("Max1");
const QString kMin2 = QStringLiteral("Min2");
const QString kMax2 = QStringLiteral("Max2");

// A channel number of a range; a value outside 1..512 (or no number) gives the default.
int ReadChannel(const TIniFile& Ini, const QString& Section, const QString& Key, int Default) {
  const int value = Ini.ReadInteger(Section, Key, Default);
  return value >= 1 && value <= static_cast<int>(kDmxChannels) ? value : Default;
}

}  // namespace

QString TTyxBoxes::DefaultPredefinedFile() {
  QString dir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
  if (!dir.endsWith(QDir::separator())) dir += QDir::separator();
  return dir + QStringLiteral("VelaBoxes.def");
}

bool TTyxBoxes::LoadPredefined(const QString& File, const QString& Section) {
  TIniFile ini(File.isEmpty() ? DefaultPredefinedFile() : File);
  if (!ini.Load()) return false;
  for (const QString& key : ini.Keys(Section)) {
    const std::optional<uint32_t> ip = ParseIpv4(key.trimmed());
    // A key that is no address names no box.
    if (!ip || *ip == 0) continue;
    TCustomTyxBox* box = FindByIp(*ip);
    TTyxBox* full = box && box->InheritsFrom(TTyxBox::StaticClass()) ? static_cast<TTyxBox*>(box) : nullptr;
    if (full) {
      full->SetWanBox(true);
    } else {
      full = AddTyx2();
      full->SetIP(*ip);
    }
    int min1 = ReadChannel(ini, key, kMin1, 1);
    int max1 = ReadChannel(ini, key, kMax1, kDmxChannels);
    int min2 = ReadChannel(ini, key, kMin2, 1);
    int max2 = ReadChannel(ini, key, kMax2, kDmxChannels);
    // A reversed range would send nothing; the whole universe is the safer reading.
    if (min1 > max1) std::tie(min1, max1) = std::pair(1, static_cast<int>(kDmxChannels));
    if (min2 > max2) std::tie(min2, max2) = std::pair(1, static_cast<int>(kDmxChannels));
    full->SetMaxMin(min1, max1, min2, max2);
  }
  return true;
}

bool TTyxBoxes::StorePredefined(const QString& File, const QString& Section) {
  TIniFile ini(File.isEmpty() ? DefaultPredefinedFile() : File);
  // An unreadable file is not overwritten: its other sections would be lost.
  if (!ini.Load()) return false;
  ini.EraseSection(Section);
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    TCustomTyxBox* box = BoxAt(i);
    if (!box || !box->WanBox() || !box->InheritsFrom(TTyxBox::StaticClass())) continue;
    const auto* full = static_cast<const TTyxBox*>(box);
    const QString ipText = box->IpStr();
    ini.WriteString(Section, ipText, box->RegistryName());
    const TChRange& range = full->ChRange();
    ini.WriteInteger(ipText, kMin1, range[0].Min);
    ini.WriteInteger(ipText, kMax1, range[0].Max);
    ini.WriteInteger(ipText, kMin2, range[1].Min);
    ini.WriteInteger(ipText, kMax2, range[1].Max);
  }
  return ini.Save();
}

}  // namespace vela
