// Editing boxes from the list, end to end: the real main window's list driven
// by the mouse and the keyboard, against the box simulator on loopback. Every
// case checks what reached the simulated box, byte for byte, and what the
// list shows once the box has reported again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "SimulatedNetwork.h"
#include "boxsetup/SetIp.h"
#include "common/QtPrinters.h"
#include "devices/TyxCommands.h"

namespace vela::testing {
namespace {

constexpr const char* kNoMulticast =
    "multicast on the loopback interface does not route here (run inside unshare -n with "
    "'ip link set lo up; ip route add 224.0.0.0/4 dev lo')";

// How the operator opens a cell: Enter on the focused cell, or a double click on it.
enum class TOpen { Enter, DoubleClick };

const char* OpenText(TOpen How) { return How == TOpen::Enter ? "Enter" : "double click"; }

bool IsDmxMode(TEboxPortMode Mode) { return Mode == P_Dmx_Out || Mode == P_Dmx_In || Mode == P_DmxFromEther; }

QString PortTitle(int Port, const QString& Column) { return QString::number(Port + 1) + ':' + Column; }

class Editing : public SimulatedNetwork {
 protected:
  // Starts the boxes and waits until the list shows each with its port records.
  ::testing::AssertionResult StartBoxes(std::vector<TTyxKind> Kinds, int Count) {
    if (auto started = Start(std::move(Kinds), Count, 100); !started) return started;
    if (auto rows = WaitForRows(Count); !rows) return rows;
    const bool reported = WaitUntil([&] {
      for (int i = 0; i < Count; ++i)
        if (!Sim().Box(i).Uninitialised() && (!BoxOf(i) || !BoxOf(i)->SetupReceived)) return false;
      return true;
    });
    if (!reported) return ::testing::AssertionFailure() << "not every box has reported its ports";
    Window().activateWindow();
    if (!QTest::qWaitForWindowActive(&Window())) return ::testing::AssertionFailure() << "the window is not active";
    return ::testing::AssertionSuccess();
  }

  // The cell of sim box Box under Title.
  QModelIndex CellOfBox(int Box, const QString& Title) { return CellOf(RowOfBox(Box), Title); }
  QString CellText(int Box, const QString& Title) { return Cell(RowOfBox(Box), Title); }

  // Scrolls the list sideways until the cell is on screen, as the operator
  // would; its centre in viewport coordinates.
  QPoint Reveal(const QModelIndex& Cell) {
    QRect r = View().visualRect(Cell);
    const int width = View().viewport()->width();
    if (r.left() < 0 || r.right() >= width) {
      QScrollBar* bar = View().horizontalScrollBar();
      bar->setValue(bar->value() + r.left() - 20);
      r = View().visualRect(Cell);
    }
    return r.center();
  }

  // Clicks the cell, which focuses it.
  ::testing::AssertionResult Focus(int Box, const QString& Title) {
    // The offscreen platform leaves no window active once a drop-down list
    // has closed; a desktop hands the activation back to the main window.
    if (!Window().isActiveWindow()) {
      Window().activateWindow();
      if (!QTest::qWaitForWindowActive(&Window())) return ::testing::AssertionFailure() << "the window is not active";
    }
    const QModelIndex cell = CellOfBox(Box, Title);
    if (!cell.isValid())
      return ::testing::AssertionFailure() << "box " << Box << " has no column " << Title.toStdString();
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, Reveal(cell));
    if (View().currentIndex() != cell)
      return ::testing::AssertionFailure() << "a click on " << Title.toStdString() << " did not focus it";
    return ::testing::AssertionSuccess();
  }

  // Focuses the cell and opens it by Enter or a double click.
  ::testing::AssertionResult Activate(int Box, const QString& Title, TOpen How) {
    if (auto focused = Focus(Box, Title); !focused) return focused;
    if (How == TOpen::Enter)
      QTest::keyClick(&View(), Qt::Key_Return);
    else
      QTest::mouseDClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, Reveal(CellOfBox(Box, Title)));
    return ::testing::AssertionSuccess();
  }

  // The in-place editor that opened on the list and took the focus; null when none did.
  template <class W>
  W* OpenEditor() {
    QWidget* w = QApplication::focusWidget();
    if (!w || w == &View() || !View().viewport()->isAncestorOf(w)) return nullptr;
    return qobject_cast<W*>(w);
  }

  // Waits until sim box Box has sent N more reports than it had sent at Since.
  bool WaitReports(int Box, uint16_t Since, int N) {
    return WaitUntil([&] { return Sim().Box(Box).ReportsSent() >= Since + N; }, 3000);
  }

  // What the tool sent, polls left out.
  std::vector<QByteArray> Sent() const {
    std::vector<QByteArray> out;
    for (const QByteArray& d : Commands)
      if (d.size() < 2 || uint8_t(d[0]) != TC_Poll || uint8_t(d[1]) != 0) out.push_back(d);
    return out;
  }

  static uint16_t PortSetupCode(TTyxKind Kind) { return Kind == E_Tyx8_10 ? TC_PortSetup8 : TC_PortSetup2; }

  // The first port of sim box Box that carries DMX and that Wanted takes; -1 for none.
  int FindPort(int Box, const std::function<bool(int Port)>& Wanted) {
    TTyxBox* box = BoxOf(Box);
    if (!box) return -1;
    for (int p = 0; p < box->NumPorts(); ++p)
      if (IsDmxMode(box->PortMode(p)) && Wanted(p)) return p;
    return -1;
  }

  // The universe as the list shows it: counted from one, except on Art-Net.
  QString UniverseText(int Box, int Port, int Universe) {
    return QString::number(BoxOf(Box)->PortProtocol(Port) == tyxp_ArtNet ? Universe : Universe + 1);
  }
};

// ---------------------------------------------------------------------------
// Port universe

TEST_F(Editing, AUniverseTypedIntoItsCellIsSentOnceAsThePortSetupAndShownAfterTheReport) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  // A two-port box takes port setups as command 2, an eight-port box as 102.
  ASSERT_TRUE(StartBoxes({E_Tyx2_10, E_Tyx8_10}, 2));
  struct TCase {
    int Box;
    TOpen How;
  };
  for (const TCase c : {TCase{0, TOpen::Enter}, TCase{1, TOpen::DoubleClick}}) {
    SCOPED_TRACE(::testing::Message() << "box " << c.Box << " by " << OpenText(c.How));
    TTyxBox* box = BoxOf(c.Box);
    ASSERT_NE(box, nullptr);
    const int port = FindPort(c.Box, [&](int p) { return CellOfBox(c.Box, PortTitle(p, "Universe")).isValid(); });
    ASSERT_GE(port, 0) << "the simulated box has no DMX port with a universe column";
    const QString title = PortTitle(port, "Universe");
    const int old = box->PortUniverse(port);
    const int wanted = old < box->MaxUniverse(port, box->PortProtocol(port)) ? old + 1 : old - 1;
    std::vector<TOnePortSetup> expected = Sim().Box(c.Box).Ports;
    expected[static_cast<size_t>(port)].Universe = static_cast<uint16_t>(wanted);
    ASSERT_EQ(CellText(c.Box, title), UniverseText(c.Box, port, old));
    Commands.clear();

    ASSERT_TRUE(Activate(c.Box, title, c.How));
    auto* edit = OpenEditor<QLineEdit>();
    ASSERT_NE(edit, nullptr) << "no editor opened on " << title.toStdString();
    EXPECT_EQ(edit->text(), UniverseText(c.Box, port, old));
    EXPECT_EQ(edit->selectedText(), edit->text()) << "the value is selected, so typing replaces it";
    QTest::keyClicks(edit, UniverseText(c.Box, port, wanted));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(View().hasFocus()) << "Enter closes the editor and gives the list the focus";

    // The box reports the new universe, and the list shows it.
    EXPECT_TRUE(WaitUntil([&] { return CellText(c.Box, title) == UniverseText(c.Box, port, wanted); }, 3000))
        << CellText(c.Box, title).toStdString();
    EXPECT_EQ(Sim().Box(c.Box).Ports[static_cast<size_t>(port)].Universe, wanted);
    // Nothing more follows the confirmation.
    WaitReports(c.Box, Sim().Box(c.Box).ReportsSent(), 2);
    const std::vector<QByteArray> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], BuildPortSetupCommand(Sim().Box(c.Box).Kind(), Sim().Box(c.Box).Mac(), expected).value());
    EXPECT_EQ(CommandCount(sent, PortSetupCode(Sim().Box(c.Box).Kind())), 1);
  }
}

TEST_F(Editing, AValueBeyondTheProtocolsLimitIsNotSentAndTheCellShowsTheOldValueAgain) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(StartBoxes({E_Tyx2_10, E_Tyx8_10}, 2));
  struct TCase {
    int Box;
    const char* Column;  // "Universe", or empty for the port's subnet column
  };
  int universes = 0;
  int subnets = 0;
  for (const TCase c : {TCase{0, "Universe"}, TCase{1, "Universe"}, TCase{0, ""}, TCase{1, ""}}) {
    TTyxBox* box = BoxOf(c.Box);
    ASSERT_NE(box, nullptr);
    const bool universe = QLatin1String(c.Column) == QLatin1String("Universe");
    auto titleOf = [&](int p) { return PortTitle(p, universe ? QString("Universe") : box->SubNetCaption(p)); };
    auto limitOf = [&](int p) {
      return universe ? box->MaxUniverse(p, box->PortProtocol(p)) : box->MaxSubNet(p, box->PortProtocol(p));
    };
    // A limit a word can exceed (the edit itself refuses more than 65535).
    const int port = FindPort(c.Box, [&](int p) {
      return (universe || !box->SubNetCaption(p).isEmpty()) && CellOfBox(c.Box, titleOf(p)).isValid() &&
             limitOf(p) < 65000;
    });
    if (port < 0) continue;  // this box has no such column; the other box has
    ++(universe ? universes : subnets);
    const QString title = titleOf(port);
    SCOPED_TRACE(::testing::Message() << "box " << c.Box << " " << title.toStdString());
    const QString before = CellText(c.Box, title);
    // The list counts universes from one except on Art-Net, subnets from one only as "VC".
    const bool fromOne = universe ? box->PortProtocol(port) != tyxp_ArtNet : box->SubNetCaption(port) == "VC";
    const int beyond = limitOf(port) + 1;
    Commands.clear();

    ASSERT_TRUE(Activate(c.Box, title, TOpen::Enter));
    auto* edit = OpenEditor<QLineEdit>();
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QString::number(fromOne ? beyond + 1 : beyond));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Window().focusWidget(), &View()) << "Enter closes the editor";
    EXPECT_EQ(CellText(c.Box, title), before) << "the refused value is not shown";
    WaitReports(c.Box, Sim().Box(c.Box).ReportsSent(), 2);
    EXPECT_TRUE(Sent().empty()) << "a refused value reaches the box";
    EXPECT_EQ(CellText(c.Box, title), before);
  }
  EXPECT_GT(universes, 0) << "no simulated port with a universe column";
  EXPECT_GT(subnets, 0) << "no simulated port with a subnet column";
}

// ---------------------------------------------------------------------------
// Protocol pick list

TEST_F(Editing, TheProtocolListOffersOnlyChoosableNamesAndTheOneChosenByKeysIsSentAndShown) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(StartBoxes({E_Tyx2_10, E_Tyx8_10}, 2));
  // The output protocols a port can be set to.
  QStringList choosable;
  std::vector<TTyxProts> values;
  for (int v = 0; v <= tyxp_ACNLiteFinal; ++v) {
    if (const QString name = TTyxBox::GetEProtocolName(true, v); !name.contains('*')) {
      choosable << name;
      if (v != tyxp_none) values.push_back(static_cast<TTyxProts>(v));
    }
  }
  ASSERT_LT(choosable.size(), tyxp_notdefined) << "some output protocols cannot be chosen";
  choosable.sort(Qt::CaseInsensitive);

  // A protocol that keeps the port's universe and subnet, then one whose
  // limits cut the universe: the record sent carries the cut value.
  for (const bool cuts : {false, true}) {
    SCOPED_TRACE(cuts ? "the new protocol cuts the universe" : "the new protocol keeps the universe");
    int b = -1;
    int port = -1;
    TTyxProts chosen = tyxp_none;
    for (int i = 0; i < 2 && port < 0; ++i) {
      TTyxBox* box = BoxOf(i);
      ASSERT_NE(box, nullptr);
      port = FindPort(i, [&](int p) {
        if (box->PortMode(p) != P_Dmx_Out) return false;
        const TOnePortSetup& setup = *box->PortSetup(p);
        for (auto it = values.rbegin(); it != values.rend(); ++it) {
          const bool universeFits = setup.Universe <= box->MaxUniverse(p, *it);
          const bool subnetFits = setup.SubNet <= box->MaxSubNet(p, *it);
          if (*it != box->PortProtocol(p) && subnetFits && universeFits != cuts) {
            chosen = *it;
            return true;
          }
        }
        return false;
      });
      b = i;
    }
    ASSERT_GE(port, 0) << "no simulated DMX output port for this case";
    TTyxBox* box = BoxOf(b);
    const QString title = PortTitle(port, "Protocol");
    SCOPED_TRACE(::testing::Message() << "box " << b << " " << title.toStdString());
    const TTyxProts old = box->PortProtocol(port);
    ASSERT_EQ(CellText(b, title), TTyxBox::GetEProtocolName(true, old));
    std::vector<TOnePortSetup> expected = Sim().Box(b).Ports;
    TOnePortSetup& record = expected[static_cast<size_t>(port)];
    record.EProtocol = chosen;
    record.Universe = static_cast<uint16_t>(std::min<int>(record.Universe, box->MaxUniverse(port, chosen)));
    record.SubNet = static_cast<uint8_t>(std::min<int>(record.SubNet, box->MaxSubNet(port, chosen)));
    Commands.clear();

    ASSERT_TRUE(Activate(b, title, TOpen::Enter));
    auto* combo = OpenEditor<QComboBox>();
    ASSERT_NE(combo, nullptr) << "no pick list opened";
    EXPECT_TRUE(combo->view()->isVisible()) << "the list drops down at once";
    QStringList offered;
    for (int i = 0; i < combo->count(); ++i) offered << combo->itemText(i);
    EXPECT_EQ(offered, choosable) << "every output protocol the box runs, no name with a star, in alphabetical order";
    EXPECT_EQ(combo->currentText(), TTyxBox::GetEProtocolName(true, old));

    const int target = combo->findData(QVariant::fromValue<qlonglong>(chosen));
    ASSERT_GE(target, 0);
    const Qt::Key step = target > combo->currentIndex() ? Qt::Key_Down : Qt::Key_Up;
    for (int n = std::abs(target - combo->currentIndex()); n > 0; --n) QTest::keyClick(combo->view(), step);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_TRUE(
        WaitUntil([&] { return !QApplication::activePopupWidget() && Window().focusWidget() == &View(); }, 1000))
        << "the pick closes the list and the editor and gives the list the focus";

    EXPECT_TRUE(WaitUntil([&] { return CellText(b, title) == TTyxBox::GetEProtocolName(true, chosen); }, 3000))
        << CellText(b, title).toStdString();
    WaitReports(b, Sim().Box(b).ReportsSent(), 2);
    const std::vector<QByteArray> sent = Sent();
    ASSERT_GE(sent.size(), 1u);
    EXPECT_EQ(sent.size(), 1u) << "one pick, one command";
    EXPECT_EQ(sent[0], BuildPortSetupCommand(Sim().Box(b).Kind(), Sim().Box(b).Mac(), expected).value());
    EXPECT_TRUE(Sim().Box(b).Ports[static_cast<size_t>(port)] == record) << "the box runs what was chosen";
    EXPECT_EQ(CellText(b, title), TTyxBox::GetEProtocolName(true, chosen));
    if (CellOfBox(b, PortTitle(port, "Universe")).isValid()) {
      EXPECT_EQ(CellText(b, PortTitle(port, "Universe")), UniverseText(b, port, record.Universe));
    }
  }
}

// ---------------------------------------------------------------------------
// Name

TEST_F(Editing, ARenamedBoxIsSentItsTrimmedNameAndShowsItAfterTheNextReport) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(StartBoxes({E_Tyx2_10}, 1));
  struct TCase {
    TOpen How;
    const char* Typed;
    const char* Sent;
  };
  for (const TCase c :
       {TCase{TOpen::Enter, "  Truss 3  ", "Truss 3"}, TCase{TOpen::DoubleClick, "Balcony  West ", "Balcony  West"}}) {
    SCOPED_TRACE(c.Typed);
    const QString old = CellText(0, "Name");
    ASSERT_EQ(old, Sim().Box(0).Name);
    Commands.clear();
    ASSERT_TRUE(Activate(0, "Name", c.How));
    auto* edit = OpenEditor<QLineEdit>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), old);
    QTest::keyClicks(edit, c.Typed);
    QTest::keyClick(edit, Qt::Key_Return);

    EXPECT_TRUE(WaitUntil([&] { return CellText(0, "Name") == c.Sent; }, 3000)) << CellText(0, "Name").toStdString();
    EXPECT_EQ(Sim().Box(0).Name, c.Sent);
    WaitReports(0, Sim().Box(0).ReportsSent(), 1);
    const std::vector<QByteArray> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], BuildSetNameCommand(Sim().Box(0).Mac(), c.Sent));
    const auto packet = ParseCommandPacket(BytesOf(sent[0]));
    ASSERT_TRUE(packet.has_value());
    EXPECT_EQ(ReadNameField(BytesOf(packet->Data)), c.Sent);
  }
}

// ---------------------------------------------------------------------------
// IP settings and restart

// Runs Fill on the Set IP dialog once it is open (it runs modally inside the
// command that opened it), then closes whatever is still open, so a failing
// check cannot hang the test. Its timers go with it.
class TSetIpDriver : public QObject {
 public:
  explicit TSetIpDriver(std::function<void(TSetIpCheck&)> Fill) : fFill(std::move(Fill)) {
    fPoll.setInterval(20);
    connect(&fPoll, &QTimer::timeout, this, &TSetIpDriver::Poll);
    fPoll.start();
  }
  int Opened = 0;        // dialogs found and filled
  QStringList LeftOpen;  // the windows still open after filling

 private:
  void Poll() {
    auto* dialog = qobject_cast<TSetIpCheck*>(QApplication::activeModalWidget());
    if (!dialog && ++fTries < 100) return;
    fPoll.stop();
    if (!dialog) return;
    ++Opened;
    const QPointer<TSetIpCheck> guard(dialog);
    QTimer::singleShot(500, this, [this, guard] {
      while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == guard.data()) break;
        LeftOpen << modal->windowTitle();
        modal->close();
      }
      if (guard && guard->isVisible()) {
        LeftOpen << guard->windowTitle();
        guard->reject();
      }
    });
    fFill(*dialog);
  }

  std::function<void(TSetIpCheck&)> fFill;
  QTimer fPoll;
  int fTries = 0;
};

// Types into an octet edit as the operator does: select what is there, type over it.
void TypeOctet(QLineEdit* Edit, const QString& Text) {
  Edit->setFocus(Qt::TabFocusReason);
  Edit->selectAll();
  QTest::keyClicks(Edit, Text);
}

TEST_F(Editing, TheIpCellOpensTheSetIpDialogAndItsSettingsAreSentToTheBox) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(StartBoxes({E_Tyx2_10}, 1));
  ASSERT_EQ(CellText(0, "Status"), "Alive");
  const QString address = CellText(0, "IP");
  ASSERT_EQ(address, Ipv4Text(Sim().Box(0).Address()));
  Commands.clear();

  // The address is only data for the box's next start: the simulated box stays
  // on loopback and nothing is ever sent to 10.0.0.32.
  QString preloaded;
  TSetIpDriver driver([&preloaded](TSetIpCheck& d) {
    QStringList shown;
    for (int n = 1; n <= 8; ++n) shown << d.MaskEdit(n)->text();
    preloaded = shown.mid(0, 4).join('.') + '/' + shown.mid(4).join('.');
    const QStringList octets = {"10", "0", "0", "32", "255", "0", "0", "0"};
    for (int n = 1; n <= 8; ++n) TypeOctet(d.MaskEdit(n), octets[n - 1]);
    if (d.DHCP->isChecked()) QTest::keyClick(d.DHCP, Qt::Key_Space);  // no DHCP: "No DHCP" follows
    QTest::mouseClick(d.Button1, Qt::LeftButton);
  });
  ASSERT_TRUE(Activate(0, "IP", TOpen::Enter));
  EXPECT_EQ(driver.Opened, 1) << "the Set IP dialog did not open";
  EXPECT_EQ(preloaded, Ipv4Text(Sim().Box(0).DefaultIp) + '/' + Ipv4Text(Sim().Box(0).DefaultMask))
      << "the dialog opens with the box's settings";
  EXPECT_TRUE(WaitUntil([&] { return !QApplication::activeModalWidget(); }, 1000));
  EXPECT_TRUE(driver.LeftOpen.isEmpty()) << driver.LeftOpen.join(", ").toStdString();
  EXPECT_EQ(OpenEditor<QWidget>(), nullptr) << "the IP cell opens no in-place editor";

  WaitUntil([&] { return !Sent().empty(); }, 1000);
  const std::vector<QByteArray> sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], BuildSetIpCommand(Sim().Box(0).Mac(), 0x0A000020u, 0xFF000000u, 0));
  EXPECT_EQ(Sim().Box(0).DefaultIp, 0x0A000020u);
  EXPECT_EQ(Sim().Box(0).DefaultMask, 0xFF000000u);
  EXPECT_EQ(Sim().Box(0).UseDHCP, 0);
  // The box restarts with them and is back afterwards, at the address it reports from.
  EXPECT_EQ(CellText(0, "Status"), "Rebooting");
  EXPECT_TRUE(WaitUntil([&] { return CellText(0, "Status") == "Alive"; }, 3000)) << CellText(0, "Status").toStdString();
  EXPECT_EQ(CellText(0, "IP"), address);
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(Editing, TheStatusCellOfABoxWaitingToSaveChangesRestartsItWithUnchangedSettings) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  // Box 1 of the simulator holds changes that need a restart.
  ASSERT_TRUE(StartBoxes({E_Tyx2_10, E_Tyx2_100}, 2));
  ASSERT_FALSE(Sim().Box(0).NeedReboot);
  ASSERT_TRUE(Sim().Box(1).NeedReboot);
  struct TCase {
    int Box;
    TOpen How;
    bool Restarts;
  };
  for (const TCase c :
       {TCase{0, TOpen::Enter, false}, TCase{1, TOpen::Enter, true}, TCase{0, TOpen::DoubleClick, false}}) {
    SCOPED_TRACE(::testing::Message() << "box " << c.Box << " by " << OpenText(c.How));
    ASSERT_EQ(CellText(c.Box, "Status"), c.Restarts ? "Save Changes" : "Alive");
    const boxsim::TSimBox& sim = Sim().Box(c.Box);
    const QByteArray restart = BuildSetIpCommand(sim.Mac(), sim.DefaultIp, sim.DefaultMask, sim.UseDHCP);
    const uint32_t ip = sim.DefaultIp;
    const uint32_t mask = sim.DefaultMask;
    const uint8_t dhcp = sim.UseDHCP;
    Commands.clear();
    ASSERT_TRUE(Activate(c.Box, "Status", c.How));
    EXPECT_FALSE(QApplication::activeModalWidget());
    EXPECT_EQ(OpenEditor<QWidget>(), nullptr) << "the status cell opens no editor";
    if (!c.Restarts) {
      // A box without changes to save is left alone.
      WaitReports(c.Box, sim.ReportsSent(), 1);
      EXPECT_TRUE(Sent().empty());
      EXPECT_EQ(CellText(c.Box, "Status"), "Alive");
      continue;
    }
    WaitUntil([&] { return !Sent().empty(); }, 1000);
    const std::vector<QByteArray> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], restart);
    EXPECT_EQ(CellText(c.Box, "Status"), "Rebooting");
    // Back from the restart the changes are saved.
    EXPECT_TRUE(WaitUntil([&] { return CellText(c.Box, "Status") == "Alive"; }, 3000))
        << CellText(c.Box, "Status").toStdString();
    EXPECT_FALSE(sim.NeedReboot);
    EXPECT_EQ(sim.DefaultIp, ip);
    EXPECT_EQ(sim.DefaultMask, mask);
    EXPECT_EQ(sim.UseDHCP, dhcp);
    EXPECT_EQ(Sent().size(), 1u);
  }
}

// ---------------------------------------------------------------------------
// Context menu

TEST_F(Editing, IdentifyFromTheContextMenuSendsTheIdentifyCommand) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(StartBoxes({E_Tyx2_10, E_Tyx8_10}, 2));
  struct TCase {
    int Box;
    const char* Column;
    bool MenuKey;  // the keyboard's menu key on the focused cell instead of a right click
  };
  for (const TCase c : {TCase{0, "Name", false}, TCase{1, "MAC", false}, TCase{1, "Firmware", true}}) {
    SCOPED_TRACE(::testing::Message() << "box " << c.Box << " " << c.Column << (c.MenuKey ? " by the menu key" : ""));
    const QModelIndex cell = CellOfBox(c.Box, c.Column);
    ASSERT_TRUE(cell.isValid());
    const QString status = CellText(c.Box, "Status");
    Commands.clear();
    QWidget* viewport = View().viewport();
    if (c.MenuKey) {
      ASSERT_TRUE(Focus(c.Box, c.Column));
      QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(), viewport->mapToGlobal(QPoint()));
      QApplication::sendEvent(viewport, &e);
    } else {
      // The right button's press, then the menu request the platform makes of it.
      const QPoint at = Reveal(cell);
      QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, at);
      QContextMenuEvent e(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
      QApplication::sendEvent(viewport, &e);
    }
    QMenu* menu = Browser().PopupMenu2();
    ASSERT_TRUE(WaitUntil([&] { return menu->isVisible(); }, 1000)) << "no context menu";
    EXPECT_EQ(View().currentIndex().sibling(View().currentIndex().row(), 0), RowOfBox(c.Box))
        << "the menu belongs to the row it opened on";
    QAction* identify = nullptr;
    for (QAction* a : menu->actions())
      if (a->text() == "Identify" && a->isVisible()) identify = a;
    ASSERT_NE(identify, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(identify).center());
    EXPECT_TRUE(WaitUntil([&] { return !menu->isVisible(); }, 1000));

    WaitUntil([&] { return !Sent().empty(); }, 1000);
    const std::vector<QByteArray> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], BuildIdentifyCommand(Sim().Box(c.Box).Mac()));
    // Identifying changes nothing the list shows.
    WaitReports(c.Box, Sim().Box(c.Box).ReportsSent(), 1);
    EXPECT_EQ(CellText(c.Box, "Status"), status);
    EXPECT_EQ(CellText(c.Box, "Name"), Sim().Box(c.Box).Name);
  }
}

}  // namespace
}  // namespace vela::testing
