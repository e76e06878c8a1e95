#pragma once
// End-to-end fixture: the box simulator and the real main window, both on
// free ports of the loopback interface, and ways to find a box's row and read
// its cells as the operator sees them.
#include <gtest/gtest.h>

#include <QModelIndex>
#include <functional>
#include <memory>
#include <vector>

#include "app/TyxBoxesMain.h"
#include "app/VelaImages.h"
#include "boxsim/BoxSimulator.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "devices/TyxBoxes.h"

namespace vela::testing {

// Runs the event loop until Done holds or Ms pass.
bool WaitUntil(const std::function<bool()>& Done, int Ms = 5000);

// Whether multicast to a group on the loopback interface arrives here (it
// does inside `unshare -n` with a 224.0.0.0/4 route on lo).
bool LoopbackMulticastWorks();

class SimulatedNetwork : public ::testing::Test {
 protected:
  void TearDown() override;

  // Starts Count simulated boxes of the given kinds (in turn), reporting every
  // IntervalMs, then the main window; with CreateDummy as "/TEST" does.
  ::testing::AssertionResult Start(std::vector<TTyxKind> Kinds, int Count, int IntervalMs = 200,
                                   bool CreateDummy = false);
  // The main window only, on ports no simulator uses.
  void StartWindowOnly(bool CreateDummy);
  // Waits until the list shows Count rows.
  ::testing::AssertionResult WaitForRows(int Count, int Ms = 5000);

  TBasicVelaAppForm1& Window() { return *fWindow; }
  boxsim::TBoxSimulator& Sim() { return *fSim; }
  TTyxBoxes& Boxes() { return *fWindow->BoxManager(); }
  TVelaBrowser& Browser() { return *fWindow->VelaBrowser1; }
  TBrowserView& View() { return *Browser().TreeView(); }
  TBrowserModel& Model() { return *Browser().Model(); }

  int RowCount();
  // The row (column 0) showing the box with this MAC; invalid when none does.
  QModelIndex RowOf(const TEmac& Mac);
  QModelIndex RowOfBox(int SimBox) { return RowOf(Sim().Box(SimBox).Mac()); }
  // The cell of Row under the row's own column titled Title; invalid when the row has none.
  QModelIndex CellOf(const QModelIndex& Row, const QString& Title);
  // The text shown in that cell; "<no column>" when the row has no such column.
  QString Cell(const QModelIndex& Row, const QString& Title);
  // The box model of simulated box i, as the manager holds it.
  TTyxBox* BoxOf(int SimBox);
  // The commands the simulator received since Spy began, with this code.
  static int CommandCount(const std::vector<QByteArray>& Commands, uint16_t Code);
  // Every datagram other than a report that reached the simulator, in order.
  std::vector<QByteArray> Commands;

  boxsim::TBoxSimConfig fConfig;
  boxsim::TSimLog fLog;
  std::unique_ptr<TImagedata> fImages;
  std::unique_ptr<boxsim::TBoxSimulator> fSim;
  std::unique_ptr<TBasicVelaAppForm1> fWindow;
};

}  // namespace vela::testing
