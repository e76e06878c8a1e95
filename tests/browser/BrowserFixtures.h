#pragma once
// Object classes with their own column sets, an environment that delivers
// the framework's notifications to the views, and helpers that drive a
// browser frame with real input events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <stdexcept>

#include "common/QtPrinters.h"
#include "framework/FrameworkHooks.h"
#include "framework/RealTime.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {
class TVelaBrowser;
}

namespace vela::testing {

void RegisterBrowserTestTypes();

// A folder: a name column only (the framework's default definitions).
class TFolder : public TVelaObject {
  VELA_CLASS(TFolder, TVelaObject)
  TFolder() { CreateStdSubs(); }
  explicit TFolder(const QString& name) : TFolder() { SetName(name); }
};

// A box-like device: a name, a universe, an "on" check box, a level bar, a
// colour, and per port a protocol whose kind decides which columns the port
// has (the layout discriminator is the protocol pattern).
class TDevice : public TRealTime {
  VELA_CLASS(TDevice, TRealTime)
  TDevice() { CreateStdSubs(); }
  TDevice(const QString& name, std::vector<int> protocols) : TDevice() {
    SetName(name);
    Protocols = std::move(protocols);
  }
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override;
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  QString FF(TSFieldKind k, uint32_t id, int p1, int p2) override;

  std::vector<int> Protocols;  // 0: two columns per port, 1: three
  uint16_t Universe = 1;
  bool On = false;
  uint16_t Level = 0;
  uint8_t Colour[3] = {0, 0, 0};
  bool ThrowInDefs = false;
  bool NoDefs = false;
  std::vector<uint16_t> SortColumns;
};

// Another class with two columns of its own.
class TSensor : public TVelaObject {
  VELA_CLASS(TSensor, TVelaObject)
  TSensor() = default;
  explicit TSensor(const QString& name) { SetName(name); }
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override;
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  int32_t Reading = 42;
  int Columns = 2;
};

// Notifications go to the views at once; the status list exists.
class BrowserTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A browser shown on screen, size w×h.
  TVelaBrowser* NewBrowser(int w = 640, int h = 300);
  // Runs the status list's delivery pass.
  void StatusPass();
  // Lets the view paint what is pending.
  void Settle();

  TViewList views;
  std::vector<std::unique_ptr<TVelaBrowser>> browsers;
  std::vector<TVelaObject*> roots;  // freed after the browsers
  std::function<bool(const QString&, const QString&)> confirmAnswer;
  int confirmations = 0;
  QString lastConfirmText;
};

// Clicks the cell (row, column) of a browser's view.
void ClickCell(TVelaBrowser* b, const QModelIndex& cell, Qt::KeyboardModifiers mods = Qt::NoModifier);

}  // namespace vela::testing
