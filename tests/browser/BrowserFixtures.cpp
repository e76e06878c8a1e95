#include "BrowserFixtures.h"

#include "browser/Browser.h"
#include "browser/BrowserView.h"
#include "framework/SConstants.h"

namespace vela::testing {

VELA_CLASS_IMPL(TFolder, TVelaObject)
VELA_CLASS_IMPL(TDevice, TRealTime)
VELA_CLASS_IMPL(TSensor, TVelaObject)

void RegisterBrowserTestTypes() {
  RegisterObjType(9001, TFolder::StaticClass(), QStringLiteral("Folder"));
  RegisterObjType(9002, TDevice::StaticClass(), QStringLiteral("Device"));
  RegisterObjType(9003, TSensor::StaticClass(), QStringLiteral("Sensor"));
}

bool TDevice::GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) {
  if (k == FK_Word && id == 1) return p = &Universe, true;
  if (k == FK_Bool && id == 2) return p = &On, true;
  if (k == FK_Word && id == 3) return p = &Level, true;
  if (k == FK_Color && id == 4) return p = Colour, true;
  return TRealTime::GetFieldPointer(k, id, p);
}

QString TDevice::FF(TSFieldKind k, uint32_t id, int p1, int p2) {
  // Port fields: id 100 + 10 * port + n.
  if (k == FK_Integer && id >= 100) return QStringLiteral("P%1.%2").arg((id - 100) / 10 + 1).arg(id % 10);
  return TRealTime::FF(k, id, p1, p2);
}

uint16_t TDevice::DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) {
  if (ThrowInDefs) throw std::runtime_error("no definitions");
  if (NoDefs) {
    Arr.clear();
    return 0;
  }
  TRealTime::DefaultPDef(Arr, Opt);
  int n = 0;
  AddArrData(Arr, n, FK_Word, 1, QStringLiteral("Universe"), 60, {LPE_Edit}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Bool, 2, QStringLiteral("On"), 30, {LPE_CheckBox}, {ST(1)}, {}, nullptr);
  AddArrData(Arr, n, FK_Word, 3, QStringLiteral("Level"), 50, {LPE_ShowBar}, {ST(2)}, {}, nullptr);
  AddArrData(Arr, n, FK_Color, 4, QStringLiteral("Colour"), 40, {}, {}, {}, nullptr);
  uint16_t diff = 0;
  for (size_t port = 0; port < Protocols.size(); ++port) {
    const int columns = Protocols[port] == 0 ? 2 : 3;
    diff = static_cast<uint16_t>(diff * 2 + Protocols[port]);
    for (int c = 0; c < columns; ++c)
      AddArrData(Arr, n, FK_Integer, static_cast<uint32_t>(100 + 10 * port + c),
                 QStringLiteral("P%1 %2").arg(port + 1).arg(c), 36, {}, {}, {}, nullptr);
  }
  Opt.DiffId = diff;
  Opt.ValidSortColumns = SortColumns;
  return static_cast<uint16_t>(n + 1);
}

bool TSensor::GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) {
  if (k == FK_Integer && id == 7) return p = &Reading, true;
  return TVelaObject::GetFieldPointer(k, id, p);
}

uint16_t TSensor::DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) {
  TVelaObject::DefaultPDef(Arr, Opt);
  int n = 0;
  if (Columns > 1) AddArrData(Arr, n, FK_Integer, 7, QStringLiteral("Reading"), 70, {}, {}, {}, nullptr);
  return static_cast<uint16_t>(n + 1);
}

void BrowserTest::SetUp() {
  SetTheViewList(&views);
  CreateStatusList();
  FrameworkHooks().Notify = [this](uint32_t msg, TVelaObject* obj, intptr_t second, int32_t) {
    views.Broadcast(msg, obj, second);
  };
  confirmAnswer = [](const QString&, const QString&) { return true; };
  FrameworkHooks().Confirm = [this](const QString& caption, const QString& text) {
    ++confirmations;
    lastConfirmText = text;
    return confirmAnswer(caption, text);
  };
}

void BrowserTest::TearDown() {
  browsers.clear();
  FrameworkHooks().Notify = nullptr;
  for (TVelaObject* r : roots) FreeObj(r);
  roots.clear();
  FrameworkHooks().Confirm = nullptr;
  DestroyStatusList();
  SetTheViewList(nullptr);
}

TVelaBrowser* BrowserTest::NewBrowser(int w, int h) {
  browsers.push_back(std::make_unique<TVelaBrowser>());
  TVelaBrowser* b = browsers.back().get();
  b->resize(w, h);
  b->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(b));
  return b;
}

void BrowserTest::StatusPass() {
  if (TStatuslist* list = TheStatusList()) list->Execute();
}

void BrowserTest::Settle() { QApplication::processEvents(); }

void ClickCell(TVelaBrowser* b, const QModelIndex& cell, Qt::KeyboardModifiers mods) {
  const QRect r = b->TreeView()->visualRect(cell);
  ASSERT_TRUE(r.isValid()) << "cell " << cell.row() << "," << cell.column() << " has no rectangle";
  QTest::mouseClick(b->TreeView()->viewport(), Qt::LeftButton, mods, r.center());
}

}  // namespace vela::testing
