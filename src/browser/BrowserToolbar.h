#pragma once
// The tree editing commands of the general browser window: new sub, new
// sibling, clone, delete, move up, move down and track, acting on the object
// focused in a browser frame.
#include <QFrame>
#include <QPointer>
#include <vector>

#include "platform/Messages.h"

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace vela {

class TVelaBrowser;
class TVelaObject;

class TBrowserTopToolbar : public QFrame, public TMessageReceiver {
  Q_OBJECT

 public:
  explicit TBrowserTopToolbar(QWidget* parent = nullptr);

  TVelaBrowser* MyBrowser() const { return fBrowser; }
  // Also gives the track button the browser's Track1 action (none for null).
  void SetMyBrowser(TVelaBrowser* Value);
  TVelaObject* FocusedObject() const { return fFocused; }
  // The host sets it on every focus change of the browser.
  void SetFocusedObject(TVelaObject* Value);
  TVelaObject* BrowseObject() const;
  // Enables or disables every action of the "Tree" group.
  void SetTreeToolsEnabled(bool Value);

  // A new object posted by the insert (34469) is shown in the browser.
  void Dispatch(TMessage& Message) override;

  QToolBar* ToolBar = nullptr;
  QToolButton* NewSubButton = nullptr;
  QToolButton* ToolButton7 = nullptr;
  QToolButton* ToolButton6 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton4 = nullptr;
  QToolButton* ToolButton5 = nullptr;
  QToolButton* TrackButton = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* Defaultsub1 = nullptr;
  QAction* Sub11 = nullptr;
  QAction* Sub21 = nullptr;
  QAction* Sub31 = nullptr;
  QAction* NewSub = nullptr;
  QAction* NewSibling = nullptr;
  QAction* Clone1 = nullptr;
  QAction* Delete = nullptr;
  QAction* MoveUp = nullptr;
  QAction* MoveDown = nullptr;
  // The action list, in order.
  const std::vector<QAction*>& ActionList1() const { return fActions; }

 private:
  QAction* AddAction(const QString& Name, const QString& Caption, const QKeySequence& Shortcut);
  QToolButton* AddButton(const QString& Name, QAction* Action);
  void ShowInBrowser(TVelaObject* Obj);
  void DoNewSub(int Kind);
  void DoNewSibling();
  void DoClone();
  void DoDelete();
  void DoMove(bool Up);

  QPointer<TVelaBrowser> fBrowser;
  TVelaObject* fFocused = nullptr;
  std::vector<QAction*> fActions;
};

}  // namespace vela
