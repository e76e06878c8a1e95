// The browser behind the real hand-off of notifications to a main window.
#include <gtest/gtest.h>

#include <QHeaderView>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "framework/WindowHandoff.h"

using namespace vela;
using namespace vela::testing;

namespace {

// A main window stand-in: framework messages go to the dispatcher.
class TWindow : public TMessageReceiver {
 public:
  void Dispatch(TMessage& m) override {
    if (IsFrameworkMessage(m.Msg)) DispatchFrameworkMessage(m);
  }
};

class HandoffTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    SetNotifyWindow(&window);
    root = SNew<TFolder>(QStringLiteral("root"));
    roots.push_back(root);
  }
  void TearDown() override {
    SetNotifyWindow(nullptr);
    BrowserTest::TearDown();
  }
  TWindow window;
  TFolder* root = nullptr;
};

TEST_F(HandoffTest, TreeChangesReachTheBrowserThroughTheWindow) {
  auto* a = SNew<TSensor>(QStringLiteral("a"));
  root->SInsert(a);
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetWithColumns(true);
  b->SetRootObject(root);
  root->SInsert(SNew<TSensor>(QStringLiteral("b")));
  ASSERT_EQ(b->Model()->rowCount(), 2);
  a->SetName(QStringLiteral("renamed"));
  EXPECT_EQ(b->Model()->index(0, 0).data().toString(), "renamed");
  root->SFree(a);
  ASSERT_EQ(b->Model()->rowCount(), 1);
  EXPECT_EQ(b->Model()->index(0, 0).data().toString(), "b");
}

TEST_F(HandoffTest, ReplacedSubCollectionsAreLetGoBeforeTheyAreFreed) {
  for (const char* n : {"old1", "old2"}) root->SInsert(SNew<TSensor>(QString::fromLatin1(n)));
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetWithColumns(true);
  b->SetRootObject(root);
  Settle();
  auto* fresh = SNew<TSCollection>();
  auto* n1 = SNew<TSensor>(QStringLiteral("new"));
  fresh->Insert(n1);
  // The old subs are freed once the views saw SOM_SubsDirty.
  root->SetSubobjects(fresh);
  ASSERT_EQ(b->Model()->rowCount(), 1);
  EXPECT_EQ(b->Model()->index(0, 0).data().toString(), "new");
  Settle();  // paints the rows again, touching no freed object
  EXPECT_EQ(root->OldSubsCollection(), nullptr);
}

TEST_F(HandoffTest, SwitchingColumnsKeepsTheFocusedObject) {
  for (const char* n : {"a", "b", "c"}) root->SInsert(SNew<TSensor>(QString::fromLatin1(n)));
  TVelaBrowser* b = NewBrowser();
  b->SetAsListView(true);
  b->SetRootObject(root);
  b->SetFocusedIndex(2);
  b->SetWithColumns(true);
  EXPECT_EQ(b->Selected(), root->Sub(2));
  EXPECT_EQ(b->Model()->headerData(1, Qt::Horizontal).toString(), "Reading");
  EXPECT_FALSE(b->TreeView()->header()->isHidden());
  b->SetWithColumns(false);
  EXPECT_EQ(b->Selected(), root->Sub(2));
  EXPECT_EQ(b->Model()->columnCount(), 1);
}

}  // namespace
