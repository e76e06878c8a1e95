#include "browser/BrowserToolbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "browser/Browser.h"
#include "browser/MessageBoxes.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

TBrowserTopToolbar::TBrowserTopToolbar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("BrowserTopToolbar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  ToolBar = new QToolBar(this);
  ToolBar->setObjectName(QStringLiteral("sToolBar1"));
  ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(ToolBar);

  NewSub = AddAction(QStringLiteral("NewSub"), QStringLiteral("New Sub"), QKeySequence());
  NewSibling = AddAction(QStringLiteral("NewSibling"), QStringLiteral("New Sibling"), QKeySequence());
  Clone1 = AddAction(QStringLiteral("Clone1"), QStringLiteral("Clone"), QKeySequence());
  Delete = AddAction(QStringLiteral("Delete"), QStringLiteral("Delete"), QKeySequence());
  MoveUp = AddAction(QStringLiteral("MoveUp"), QStringLiteral("Move Up"), QKeySequence(Qt::CTRL | Qt::Key_U));
  MoveDown = AddAction(QStringLiteral("MoveDown"), QStringLiteral("MoveDown"), QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(NewSub, &QAction::triggered, this, [this] { DoNewSub(0); });
  connect(NewSibling, &QAction::triggered, this, &TBrowserTopToolbar::DoNewSibling);
  connect(Clone1, &QAction::triggered, this, &TBrowserTopToolbar::DoClone);
  connect(Delete, &QAction::triggered, this, &TBrowserTopToolbar::DoDelete);
  connect(MoveUp, &QAction::triggered, this, [this] { DoMove(true); });
  connect(MoveDown, &QAction::triggered, this, [this] { DoMove(false); });

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  Defaultsub1 = PopupMenu1->addAction(NewSub->text());
  Defaultsub1->setObjectName(QStringLiteral("Defaultsub1"));
  connect(Defaultsub1, &QAction::triggered, this, [this] { DoNewSub(0); });
  const char* names[] = {"Sub11", "Sub21", "Sub31"};
  const char* captions[] = {"Sub 1", "Sub 2", "Sub3"};
  QAction** items[] = {&Sub11, &Sub21, &Sub31};
  for (int i = 0; i < 3; ++i) {
    QAction* a = PopupMenu1->addAction(QString::fromLatin1(captions[i]));
    a->setObjectName(QString::fromLatin1(names[i]));
    a->setData(i + 1);  // the item's tag is the kind it inserts
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, i] { DoNewSub(i + 1); });
    *items[i] = a;
  }

  NewSubButton = AddButton(QStringLiteral("NewSubButton"), NewSub);
  ToolButton7 = AddButton(QStringLiteral("ToolButton7"), NewSibling);
  ToolButton6 = AddButton(QStringLiteral("ToolButton6"), Clone1);
  ToolButton2 = AddButton(QStringLiteral("ToolButton2"), Delete);
  ToolButton4 = AddButton(QStringLiteral("ToolButton4"), MoveUp);
  ToolButton5 = AddButton(QStringLiteral("ToolButton5"), MoveDown);
  TrackButton = AddButton(QStringLiteral("TrackButton"), nullptr);
  TrackButton->setText(QStringLiteral("Track"));
  ToolBar->addSeparator();
}

QAction* TBrowserTopToolbar::AddAction(const QString& Name, const QString& Caption, const QKeySequence& Shortcut) {
  auto* a = new QAction(Caption, this);
  a->setObjectName(Name);
  a->setProperty("Category", QStringLiteral("Tree"));
  if (!Shortcut.isEmpty()) {
    a->setShortcut(Shortcut);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  }
  addAction(a);
  fActions.push_back(a);
  return a;
}

QToolButton* TBrowserTopToolbar::AddButton(const QString& Name, QAction* Action) {
  auto* button = new QToolButton(ToolBar);
  button->setObjectName(Name);
  button->setMinimumSize(67, 29);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (Action) button->setDefaultAction(Action);
  ToolBar->addWidget(button);
  return button;
}

void TBrowserTopToolbar::SetMyBrowser(TVelaBrowser* Value) {
  fBrowser = Value;
  TrackButton->setDefaultAction(Value ? Value->Track1() : nullptr);
  if (!Value) TrackButton->setText(QStringLiteral("Track"));
}

TVelaObject* TBrowserTopToolbar::BrowseObject() const { return fBrowser ? fBrowser->RootObject() : nullptr; }

void TBrowserTopToolbar::SetFocusedObject(TVelaObject* Value) {
  fFocused = Value;
  if (!Value) return;
  TVelaObject* root = BrowseObject();
  TVelaObject* owner = Value->SOwner();
  const int index = Value->OwnerIndex();
  const bool sorted = owner && owner->Subobjects() && owner->Subobjects()->Sorted();
  NewSub->setEnabled(Value->Hassubs());
  NewSibling->setEnabled(Value != root);
  Clone1->setEnabled(Value != root);
  MoveUp->setEnabled(Value != root && index >= 1 && !sorted);
  MoveDown->setEnabled(Value != root && owner && index >= 0 && index < owner->Subcount() - 1 && !sorted);
  if (!Value->GetInsertSubName(1).isEmpty()) {
    // Several kinds to insert: the button drops down the menu of kinds.
    NewSubButton->setDefaultAction(nullptr);
    NewSubButton->setText(NewSub->text());
    NewSubButton->setMenu(PopupMenu1);
    NewSubButton->setPopupMode(QToolButton::InstantPopup);
    QAction* items[] = {Defaultsub1, Sub11, Sub21, Sub31};
    for (int i = 0; i < 4; ++i) {
      const QString caption = Value->GetInsertSubName(i);
      if (!caption.isEmpty()) items[i]->setText(caption);
      items[i]->setVisible(!caption.isEmpty());
    }
  } else {
    NewSubButton->setMenu(nullptr);
    NewSubButton->setPopupMode(QToolButton::DelayedPopup);
    NewSubButton->setDefaultAction(NewSub);
  }
}

void TBrowserTopToolbar::SetTreeToolsEnabled(bool Value) {
  for (QAction* a : fActions)
    if (a->property("Category").toString() == QStringLiteral("Tree")) a->setEnabled(Value);
}

void TBrowserTopToolbar::ShowInBrowser(TVelaObject* Obj) {
  if (fBrowser && Obj) SendMessageTo(fBrowser, WM_BrowserShowObject, reinterpret_cast<intptr_t>(Obj));
}

void TBrowserTopToolbar::Dispatch(TMessage& Message) {
  if (Message.Msg == SOM_SelectNewObject) ShowInBrowser(reinterpret_cast<TVelaObject*>(Message.WParam));
}

void TBrowserTopToolbar::DoNewSub(int Kind) {
  if (!fFocused) return;
  try {
    fFocused->EditAddSub(this, -1, Kind);
  } catch (...) {
  }
}

void TBrowserTopToolbar::DoNewSibling() {
  if (!fFocused || !fFocused->SOwner() || fFocused == BrowseObject()) return;
  try {
    TVelaObject* created = fFocused->SOwner()->EditAddSub(this, fFocused->OwnerIndex(), 0);
    if (created) ShowInBrowser(created);
  } catch (...) {
  }
}

void TBrowserTopToolbar::DoClone() {
  TVelaObject* o = fFocused;
  if (!o || o == BrowseObject() || !o->SOwner()) return;
  TVelaObject* owner = o->SOwner();
  TSobject* copied = nullptr;
  try {
    copied = o->SCopy();
  } catch (...) {
    copied = nullptr;
  }
  if (!copied) return;
  if (!copied->InheritsFrom(TVelaObject::StaticClass())) {
    FreeObj(copied);
    return;
  }
  auto* copy = static_cast<TVelaObject*>(copied);
  // The focused object tells who takes the copy (the drop protocol).
  TVelaObject* accepter = nullptr;
  try {
    TSDropkind kinds;
    TSDropMode mode;
    mode.DMode = dmOnNode;
    accepter = o->Acceptdrop(copy, kinds, mode, Qt::NoModifier);
  } catch (...) {
    accepter = nullptr;
  }
  if (accepter != owner) {
    FreeObj(copy);
    return;
  }
  if (owner->Subobjects() && owner->Subobjects()->Sorted())
    owner->SInsert(copy, true);
  else
    owner->SAtInsert(copy, o->OwnerIndex() + 1, true);
  if (owner->SIndexof(copy) < 0) {
    FreeObj(copy);  // not taken (a duplicate key): nobody owns it
    return;
  }
  ShowInBrowser(copy);
}

void TBrowserTopToolbar::DoDelete() {
  TVelaObject* o = fFocused;
  if (!o || o == BrowseObject() || !o->SOwner()) return;
  TVelaObject* owner = o->SOwner();
  if (!owner->DeleteOk(o) || !ConfirmDelete(o)) return;
  fFocused = nullptr;  // it goes now
  owner->SFree(o, true);
}

void TBrowserTopToolbar::DoMove(bool Up) {
  TVelaObject* o = fFocused;
  if (!o || o == BrowseObject() || !o->SOwner()) return;
  TVelaObject* owner = o->SOwner();
  const int i = owner->SIndexof(o);
  if (i < 0) return;
  if (Up && i > 0)
    owner->MoveSub(o, true, i - 1, false);
  else if (!Up && i < owner->Subcount() - 1)
    owner->MoveSub(o, true, i + 1, false);
  else
    return;
  ShowInBrowser(o);
}

}  // namespace vela
