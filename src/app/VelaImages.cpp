#include "app/VelaImages.h"

#include "framework/FrameworkHooks.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

// The resource initialiser must be called from outside any namespace.
static void InitIconResources() { Q_INIT_RESOURCE(icons); }

namespace vela {

namespace {
TImagedata* gImagedata = nullptr;
bool gTerminating = false;
constexpr int kNetImageCount = 54;
constexpr int kStateImageCount = 49;

QVector<QIcon> LoadIcons(const char* prefix, int count) {
  QVector<QIcon> icons;
  icons.reserve(count);
  for (int i = 0; i < count; ++i)
    icons.push_back(QIcon(QStringLiteral(":/icons/%1_%2.svg").arg(prefix).arg(i, 2, 10, QChar('0'))));
  return icons;
}
}  // namespace

TImagedata* Imagedata() { return gImagedata; }
void TImagedata::SetTerminating(bool value) {
  gTerminating = value;
  if (value && gImagedata && TheViewList() == &gImagedata->fViews) SetTheViewList(nullptr);
}

TImagedata::TImagedata(QObject* parent) : QObject(parent) {
  InitIconResources();
  DataModuleCreate();
  gImagedata = this;
  SetTheViewList(&fViews);
  FrameworkHooks().ImageIndex = [](TVelaObject* obj, bool expanded) { return NetImageIndex(obj, expanded); };
  // The views draw node images (list 0) and state images (list 1) from here.
  FrameworkHooks().Icon = [this](int list, int index) {
    const QVector<QIcon>& icons = list == 1 ? StateImages : VelaNetImages;
    return index >= 0 && index < icons.size() ? icons[index] : QIcon();
  };
  FrameworkHooks().Broadcast = [this](uint32_t msg, TVelaObject* obj, intptr_t sender) { Broadcast(msg, obj, sender); };
  FrameworkHooks().StateImageByTypeKind = [](int type, int kind, int def) {
    return ImageIndexByTypeKind(type, kind, def);
  };
}

TImagedata::~TImagedata() {
  if (gImagedata == this) gImagedata = nullptr;
  if (TheViewList() == &fViews) SetTheViewList(nullptr);
  FrameworkHooks().ImageIndex = nullptr;
  FrameworkHooks().Icon = nullptr;
  FrameworkHooks().Broadcast = nullptr;
  FrameworkHooks().StateImageByTypeKind = nullptr;
}

void TImagedata::DataModuleCreate() {
  VelaNetImages = LoadIcons("net", kNetImageCount);
  StateImages = LoadIcons("state", kStateImageCount);
  MarulaImages = VelaNetImages;
  ImageList1 = VelaNetImages;
}

void TImagedata::Broadcast(uint32_t Msg, TVelaObject* Obj, intptr_t Sender) {
  if (gTerminating || gImagedata != this) return;
  fViews.Broadcast(Msg, Obj, Sender);
}

int TImagedata::NetImageIndex(TVelaObject* Obj, bool Expanded) {
  if (!Obj) return 255;
  switch (Obj->Objtype()) {
    case 201:
    case 211:
    case 219:
    case 224:
    case 228:
    case 705: return 8;
    case 212:
    case 218:
    case 227:
    case 318: return 0;
    case 213:
    case 217:
    case 220:
    case 226:
    case 704:
    case 707: return 20;
    case 223:
    case 225: return 22;
    case 301: return 44;
    case 303: return 15;
    case 304:
    case 305: return 14;
    case 306: return 25;
    case 307: return 53;
    case 311: return 23;
    case 404: return 19;
    case 405: return 26;
    case 407: return 27;
    case 409: return 45;
    case 410: return 33;
    case 411: return 46;
    case 412:
    case 417: return 43;
    case 418: return 28;
    case 501:
    case 716: return 24;
    case 603:
    case 604: return 50;
    case 702: {
      const QString name = Obj->GetName();
      if (name.contains("Hog")) return 28;
      if (name.contains("Horizon")) return 29;
      if (name.contains("Wyg")) return 15;
      if (name.contains("TQ Console")) return 14;
      return 255;
    }
    case 706: return 32;
    case 713: return 40;
    case 714: return 47;
    case 717: return Obj->FN(FK_Byte, 2) == 1 ? 49 : 48;
    case 801: return 18;
    case 802: return 31;
    case 10101: return 39;
    case 10102: return 38;
    case 10103:
    case 10106: return 37;
    case 10104: return 36;
    case 10107: return Expanded ? 35 : 34;
    default: return 255;
  }
}

int TImagedata::ImageIndexByTypeKind(int Type, int Kind, int Default) {
  static const int table[5][5] = {
      {24, 45, 48, 46, 47}, {34, 25, 33, 26, 32}, {44, 40, 43, 41, 42}, {31, 27, 30, 28, 29}, {39, 35, 38, 36, 37}};
  if (Type < 0 || Type > 4 || Kind < 0 || Kind > 4) return Default;
  return table[Kind][Type];
}

}  // namespace vela
