// Browser benchmark: a list of 1000 objects with 8 ports (45 columns each)
// in the object browser, against a plain QTableView over a
// QStandardItemModel holding the same texts, measured in the same run.
//
//   show       time from an empty window to the first painted list
//   repaint    one full repaint of the visible rows
//   notify     1000 data-changed notifications per second (each object
//              once), as CPU time per second of wall time
//   status     1000 status changes per second delivered by status passes
//              every 100 ms, as CPU time per second and repaints
//
// Run with QT_QPA_PLATFORM=offscreen. "--shot FILE" saves a picture of the
// browser.
#include "browser/Browser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>

#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "framework/FrameworkHooks.h"
#include "framework/RealTime.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

using namespace vela;

namespace {

constexpr int kObjects = 1000;
constexpr int kPorts = 8;

// A box-like object: name, address, firmware, status and five fields per port.
class TBenchBox : public TRealTime {
  VELA_CLASS(TBenchBox, TRealTime)
  TBenchBox() = default;
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override {
    if (k == FK_Text && id == 1) return p = &Address, true;
    if (k == FK_Text && id == 2) return p = &Firmware, true;
    if (k == FK_Bool && id == 3) return p = &Alive, true;
    if (k == FK_Word && id >= 100 && id < 100 + 10 * kPorts && id % 10 < 5)
      return p = &Port[(id - 100) / 10][id % 10], true;
    return TRealTime::GetFieldPointer(k, id, p);
  }
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override {
    TRealTime::DefaultPDef(Arr, Opt);
    int n = 0;
    AddArrData(Arr, n, FK_Text, 1, QStringLiteral("IP"), 90, {}, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Text, 2, QStringLiteral("Firmware"), 60, {}, {}, {}, nullptr);
    AddArrData(Arr, n, FK_Bool, 3, QStringLiteral("Alive"), 30, {LPE_CheckBox}, {ST(1)}, {}, nullptr);
    AddArrData(Arr, n, FK_Word, 4, QStringLiteral("Load"), 40, {LPE_ShowBar}, {ST(2)}, {}, nullptr);
    // The captions are made once, as a box class would keep them.
    static const QStringList heads = [] {
      QStringList list;
      for (int port = 0; port < kPorts; ++port)
        for (const char* f : {"Mode", "Prot", "Time", "Sub", "Univ"})
          list << QStringLiteral("%1 %2").arg(port + 1).arg(QString::fromLatin1(f));
      return list;
    }();
    for (int port = 0; port < kPorts; ++port)
      for (int f = 0; f < 5; ++f)
        AddArrData(Arr, n, FK_Word, static_cast<uint32_t>(100 + 10 * port + f), heads[port * 5 + f], 36, {}, {}, {},
                   nullptr);
    return static_cast<uint16_t>(n + 1);
  }
  QString Address;
  QString Firmware = QStringLiteral("2.07");
  bool Alive = true;
  uint16_t Port[kPorts][5] = {};
};
VELA_CLASS_IMPL(TBenchBox, TRealTime)

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Runs the event loop for a second while Tick runs every 10 ms; returns the
// CPU seconds used.
double CpuForOneSecond(const std::function<void()>& Tick) {
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, Tick);
  QEventLoop loop;
  QTimer::singleShot(1000, &loop, &QEventLoop::quit);
  const double cpu = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  timer.start();
  loop.exec();
  timer.stop();
  return (CpuSeconds() - cpu) * 1000.0 / static_cast<double>(wall.elapsed());
}

double Ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }

void Line(const char* what, double value, const char* unit, double baseline) {
  std::printf("%-58s %9.2f %-6s (table %9.2f, ratio %.2f)\n", what, value, unit, baseline,
              baseline > 0 ? value / baseline : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RegisterFrameworkTypes();
  RegisterObjType(9901, TBenchBox::StaticClass(), QStringLiteral("Bench box"));
  TViewList views;
  SetTheViewList(&views);
  CreateStatusList();
  FrameworkHooks().Notify = [&](uint32_t m, TVelaObject* o, intptr_t s, int32_t) { views.Broadcast(m, o, s); };

  TVelaObject* root = SNew<TVelaObject>();
  root->CreateStdSubs();
  std::vector<TBenchBox*> boxes;
  for (int i = 0; i < kObjects; ++i) {
    auto* box = SNew<TBenchBox>();
    box->SetName(QStringLiteral("Box %1").arg(i + 1, 4, 10, QChar('0')));
    box->Address = QStringLiteral("10.0.%1.%2").arg(i / 250).arg(i % 250 + 1);
    for (int p = 0; p < kPorts; ++p)
      for (int f = 0; f < 5; ++f) box->Port[p][f] = static_cast<uint16_t>(i + p + f);
    root->SilentSimpleInsert(box, -1);
    boxes.push_back(box);
  }
  const QSize size(1200, 700);

  // ---- the browser
  QElapsedTimer t;
  t.start();
  auto* browser = new TVelaBrowser;
  browser->resize(size);
  browser->SetAsListView(true);
  browser->SetWithColumns(true);
  browser->SetRootObject(root);
  browser->show();
  if (!QTest::qWaitForWindowExposed(browser)) return 1;
  QApplication::processEvents();
  const double showBrowser = Ms(t.nsecsElapsed());
  const int columns = browser->Model()->columnCount();
  TBrowserView* view = browser->TreeView();

  // ---- the table with the same texts
  t.restart();
  auto* items = new QStandardItemModel(kObjects, columns);
  for (int r = 0; r < kObjects; ++r)
    for (int c = 0; c < columns; ++c)
      items->setItem(r, c, new QStandardItem(browser->Model()->index(r, c).data().toString()));
  auto* table = new QTableView;
  table->setModel(items);
  table->resize(size);
  // The same cells on screen: font, row height and column widths as the browser's.
  table->setFont(view->font());
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(view->RowBand(browser->Model()->index(0, 0)).height());
  for (int c = 0; c < columns; ++c) table->horizontalHeader()->resizeSection(c, view->header()->sectionSize(c));
  table->show();
  if (!QTest::qWaitForWindowExposed(table)) return 1;
  QApplication::processEvents();
  const double showTable = Ms(t.nsecsElapsed());

  // ---- one full repaint, averaged
  int kRepaints = 20;
  for (int i = 1; i + 1 < argc; ++i)
    if (QByteArray(argv[i]) == "--repaints") kRepaints = std::max(1, QByteArray(argv[i + 1]).toInt());
  t.restart();
  for (int i = 0; i < kRepaints; ++i) view->viewport()->repaint();
  const double repaintBrowser = Ms(t.nsecsElapsed()) / kRepaints;
  t.restart();
  for (int i = 0; i < kRepaints; ++i) table->viewport()->repaint();
  const double repaintTable = Ms(t.nsecsElapsed()) / kRepaints;

  // ---- 1000 data-changed notifications per second, each object once
  int next = 0;
  const int paintsBefore = view->PaintEvents;
  const double cpuBrowser = CpuForOneSecond([&] {
    for (int k = 0; k < 10; ++k, ++next) {
      TBenchBox* box = boxes[next % kObjects];
      uint16_t v = static_cast<uint16_t>(box->Port[0][4] + 1);
      box->SetFieldValue(FK_Word, 104, &v, false);  // raises SOM_DataChanged
    }
  });
  const int browserPaints = view->PaintEvents - paintsBefore;
  next = 0;
  const double cpuTable = CpuForOneSecond([&] {
    for (int k = 0; k < 10; ++k, ++next) {
      TBenchBox* box = boxes[next % kObjects];
      ++box->Port[0][4];
      items->item(next % kObjects, 9)->setText(QString::number(box->Port[0][4]));
    }
  });

  // ---- the same rate on the rows on screen only: updates coalesce
  const int visible =
      std::max(1, view->viewport()->height() / std::max(1, view->RowBand(browser->Model()->index(0, 0)).height()));
  next = 0;
  const int hotBefore = view->PaintEvents;
  const double cpuHot = CpuForOneSecond([&] {
    for (int k = 0; k < 10; ++k, ++next) {
      TBenchBox* box = boxes[next % visible];
      uint16_t v = static_cast<uint16_t>(box->Port[0][4] + 1);
      box->SetFieldValue(FK_Word, 104, &v, false);
    }
  });
  const int hotPaints = view->PaintEvents - hotBefore;
  next = 0;
  const double cpuHotTable = CpuForOneSecond([&] {
    for (int k = 0; k < 10; ++k, ++next) {
      TBenchBox* box = boxes[next % visible];
      ++box->Port[0][4];
      items->item(next % visible, 9)->setText(QString::number(box->Port[0][4]));
    }
  });

  // ---- 1000 status changes per second on the rows on screen, a status pass every 100 ms
  next = 0;
  int ticks = 0;
  const int statusPaintsBefore = view->PaintEvents;
  const double cpuStatus = CpuForOneSecond([&] {
    for (int k = 0; k < 10; ++k, ++next) {
      TBenchBox* box = boxes[next % visible];
      box->SetStatus(ST(1), !box->GetStatus(ST(1)));
    }
    if (++ticks % 10 == 0) TheStatusList()->Execute();
  });
  const int statusPaints = view->PaintEvents - statusPaintsBefore;

  std::printf("browser: %d objects, %d columns, %dx%d pixels, %d rows on screen\n", kObjects, columns, size.width(),
              size.height(), visible);
  Line("show: empty window to first painted list", showBrowser, "ms", showTable);
  Line("repaint: one full repaint of the visible rows", repaintBrowser, "ms", repaintTable);
  Line("notify: CPU per second at 1000 data changes/s (1 per object)", cpuBrowser * 100.0, "% cpu", cpuTable * 100.0);
  std::printf("%-58s %9d %-6s\n", "notify: browser repaints in that second", browserPaints, "paints");
  Line("notify on screen: CPU per second, 1000 changes/s on visible rows", cpuHot * 100.0, "% cpu",
       cpuHotTable * 100.0);
  std::printf("%-58s %9d %-6s\n", "notify on screen: browser repaints in that second", hotPaints, "paints");
  Line("status on screen: CPU per second, 1000 changes/s, 10 passes", cpuStatus * 100.0, "% cpu", cpuHotTable * 100.0);
  std::printf("%-58s %9d %-6s\n", "status on screen: browser repaints in that second", statusPaints, "paints");

  for (int i = 1; i + 1 < argc; ++i)
    if (QByteArray(argv[i]) == "--shot") browser->grab().save(QString::fromLocal8Bit(argv[i + 1]));

  delete table;
  delete items;
  delete browser;
  FrameworkHooks().Notify = nullptr;
  FreeObj(root);
  DestroyStatusList();
  SetTheViewList(nullptr);
  return 0;
}
