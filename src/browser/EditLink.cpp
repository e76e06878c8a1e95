#include "browser/EditLink.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "browser/Browser.h"
#include "browser/BrowserView.h"
#include "browser/CellPainter.h"
#include "browser/ColumnSets.h"
#include "browser/DropDownEditors.h"
#include "browser/VelaComboBox.h"
#include "browser/VelaEdit.h"
#include "framework/RealTime.h"
#include "framework/StatusList.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"

namespace vela {

namespace {

constexpr int kMinEditorWidth = 30;

// Every editor keeps its link alive until the link lets go of it.
struct TLinkedEditor {
  std::shared_ptr<TCustomVelaEditLink> Link;
  virtual ~TLinkedEditor() {
    if (Link) Link->EditorGone();
  }
};

class TBEdit : public TsaEdit, public TLinkedEditor {
 public:
  using TsaEdit::TsaEdit;
};

class TBCombo : public TsaComboBox, public TLinkedEditor {
 public:
  using TsaComboBox::TsaComboBox;
  std::function<void()> OnClosedUp;
  void hidePopup() override {
    TsaComboBox::hidePopup();
    // A pick is reported after the list closed, so the edit ends once the
    // control has handled it.
    if (OnClosedUp) QMetaObject::invokeMethod(this, OnClosedUp, Qt::QueuedConnection);
  }
};

class TBCheckCombo : public TLMDVelaCheckListCombo, public TLinkedEditor {
 public:
  using TLMDVelaCheckListCombo::TLMDVelaCheckListCombo;
};

class TBCalendarEdit : public TLmdVelaCalendarEdit, public TLinkedEditor {
 public:
  using TLmdVelaCalendarEdit::TLmdVelaCalendarEdit;
};

TCustomVelaEditLink* LinkOf(QWidget* Editor) {
  auto* linked = dynamic_cast<TLinkedEditor*>(Editor);
  return linked ? linked->Link.get() : nullptr;
}

bool IsKey(QKeyEvent* e, std::initializer_list<int> keys) {
  for (int k : keys)
    if (e->key() == k) return true;
  return false;
}

}  // namespace

// The keys of the open editor; it sees them before the view's delegate does.
class TEditLinkKeys : public QObject {
 public:
  TEditLinkKeys(QWidget* Editor, std::weak_ptr<TCustomVelaEditLink> Link) : QObject(Editor), fLink(std::move(Link)) {}

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() != QEvent::KeyPress) return false;
    auto link = fLink.lock();
    if (!link || link->Stopping()) return false;
    auto* e = static_cast<QKeyEvent*>(Event);
    auto* w = static_cast<QWidget*>(Watched);
    if (link->Kind() == TEditorKind::None) return false;
    // Every editor ends with Enter (a choice list first writes the pick it
    // still holds) and cancels with Escape.
    if (IsKey(e, {Qt::Key_Return, Qt::Key_Enter})) {
      if (link->Kind() == TEditorKind::ChoiceList) SendMessageTo(dynamic_cast<TsaComboBox*>(w), CM_WritePending);
      link->EndEdit();
      link->CloseInTree(true);
      return true;
    }
    if (e->key() == Qt::Key_Escape) {
      link->CancelEdit();
      return true;
    }
    // A single-line cell has no lines to move between.
    if (link->Kind() == TEditorKind::TextEdit && IsKey(e, {Qt::Key_Up, Qt::Key_Down})) {
      QKeyEvent moved(QEvent::KeyPress, e->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right, e->modifiers());
      QApplication::sendEvent(w, &moved);
      return true;
    }
    return false;
  }

 private:
  std::weak_ptr<TCustomVelaEditLink> fLink;
};

TEditorKind EditorKindFor(TSFieldKind Kind) {
  switch (Kind) {
    case FK_Text:
    case FK_Byte:
    case FK_Word:
    case FK_SmallInt:
    case FK_Integer:
    case FK_LongWord:
    case FK_TimeDate:
    case FK_Single:
    case FK_Pros1000:
    case FK_ProsWord:
    case FK_CalibrateValue:
    case FK_ShortInt: return TEditorKind::TextEdit;
    case FK_WordKind:
    case FK_ByteKind:
    case FK_IntegerKind:
    case FK_PackedPalettes: return TEditorKind::ChoiceList;
    case Fk_LongBits:
    case FK_ByteBits:
    case FK_WordBits: return TEditorKind::CheckList;
    case FK_Date: return TEditorKind::Calendar;
    default: return TEditorKind::None;
  }
}

TCustomVelaEditLink::TCustomVelaEditLink(TVelaBrowser* Browser, const TLParam& Param, QChar InitialChar)
    : fKind(EditorKindFor(Param.FK)), fParam(Param), fOwnerBrowser(Browser), fInitialChar(InitialChar) {
  if (Param.LPEditMode.Has(LE_DirectInput)) fBrowser = Browser;
}

std::shared_ptr<TCustomVelaEditLink> TCustomVelaEditLink::Create(TVelaBrowser* Browser, const TLParam& Param,
                                                                 QChar InitialChar) {
  VelaAssert(EditorKindFor(Param.FK) != TEditorKind::None, QStringLiteral("Unknown Fieldkind for editor in Browser"),
             QStringLiteral("EditLink"));
  std::shared_ptr<TCustomVelaEditLink> link(new TCustomVelaEditLink(Browser, Param, InitialChar));
  link->MakeEditor();
  return link;
}

TCustomVelaEditLink::~TCustomVelaEditLink() {
  // An editor of its own (not placed on a tree) goes with the link.
  if (fEditor && !fEditor->parent()) delete fEditor.data();
}

void TCustomVelaEditLink::MakeEditor() {
  const TLpEditModes modes = fParam.LPEditMode;
  TVelaBrowser* browser = fOwnerBrowser;
  switch (fKind) {
    case TEditorKind::TextEdit: {
      auto* e = new TBEdit;
      e->SetFieldKind(fParam.FK);
      e->SetFieldId(fParam.ID);
      e->SetFieldParam2(static_cast<uint16_t>(fParam.Param2));
      e->SetProsKind(modes.Has(LPE_Pros));
      e->SetDivBy10Kind(modes.Has(LPE_Prs10));
      e->SetWheelInc(modes.Has(LPE_Inc));
      e->SetZeroAsOne(fParam.ZeroAsOne);
      e->SetDmxStyle(modes.Has(LE_DMX));
      if (browser && browser->OnSetField)
        e->OnSetField = [browser](QObject* s, TVelaObject* o, TSFieldKind k, uint32_t id, const void* d) {
          return browser->OnSetField(s, o, k, id, const_cast<void*>(d));
        };
      if (browser && browser->OnIncField) e->onIncField = browser->OnIncField;
      e->setFrame(true);
      fEditor = e;
      e->Link = shared_from_this();
      break;
    }
    case TEditorKind::ChoiceList: {
      auto* c = new TBCombo;
      c->SetFieldKind(fParam.FK);
      c->SetFieldId(fParam.ID);
      c->SetFieldParam2(static_cast<uint16_t>(fParam.Param2));
      if (fBrowser)
        c->OnSetField = [browser](QObject* s, TVelaObject* o, TSFieldKind k, uint32_t id, const void* d) {
          return browser->EditSetField(s, o, const_cast<void*>(d), id, k);
        };
      if (browser && browser->OnSetField)
        c->OnSetField = [browser](QObject* s, TVelaObject* o, TSFieldKind k, uint32_t id, const void* d) {
          return browser->OnSetField(s, o, k, id, const_cast<void*>(d));
        };
      c->SetDrawGr(modes.Has(LPE_Graphic));
      c->SetSorted(modes.Has(LPE_SortAlphabetical));
      std::weak_ptr<TCustomVelaEditLink> self = weak_from_this();
      c->OnClosedUp = [self] {
        if (auto l = self.lock()) l->ChoiceClosedUp();
      };
      fEditor = c;
      c->Link = shared_from_this();
      break;
    }
    case TEditorKind::CheckList: {
      auto* c = new TBCheckCombo;
      c->SetFieldKind(fParam.FK);
      c->SetFieldId(fParam.ID);
      fEditor = c;
      c->Link = shared_from_this();
      break;
    }
    case TEditorKind::Calendar: {
      auto* c = new TBCalendarEdit;
      c->SetFieldKind(FK_Date);
      c->SetFieldId(fParam.ID);
      fEditor = c;
      c->Link = shared_from_this();
      break;
    }
    case TEditorKind::None: break;
  }
  if (fEditor) fEditor->hide();
}

bool TCustomVelaEditLink::PrepareEdit(QAbstractItemView* Tree, const QModelIndex& Node, int Column, TVelaObject* Obj) {
  if (!Tree || !fEditor) return false;
  fTree = Tree;
  fNode = Node;
  fColumn = Column;
  fEditor->setParent(Tree->viewport());
  fEditor->setFont(Tree->font());
  fEditor->hide();
  TVelaObject* bound = fParam.Part ? fParam.Part : Obj;
  Qt::Alignment align = fParam.Alignment == taRightJustify ? Qt::AlignRight
                        : fParam.Alignment == taCenter     ? Qt::AlignHCenter
                                                           : Qt::AlignLeft;
  // Right-to-left layouts mirror the column's alignment.
  if (Tree->layoutDirection() == Qt::RightToLeft && !(align & Qt::AlignHCenter))
    align = (align & Qt::AlignRight) ? Qt::AlignLeft : Qt::AlignRight;
  if (auto* e = dynamic_cast<TBEdit*>(fEditor.data())) {
    e->setAlignment(align | Qt::AlignVCenter);
    e->SetMyObject(bound);
    // The open editor follows the field's status bits too.
    auto* rt = bound && bound->InheritsFrom(TRealTime::StaticClass()) ? static_cast<TRealTime*>(bound) : nullptr;
    if (rt && TheStatusList() && (!fParam.DStat.Empty() || !fParam.DDStat.Empty()))
      TheStatusList()->AddStatusListener(rt, e, fParam.DDStat, fParam.DStat);
  } else if (auto* c = dynamic_cast<TBCombo*>(fEditor.data())) {
    c->SetMyObject(bound);
  } else if (auto* l = dynamic_cast<TBCheckCombo*>(fEditor.data())) {
    l->SetMyObject(bound);
  } else if (auto* d = dynamic_cast<TBCalendarEdit*>(fEditor.data())) {
    d->setAlignment(align);
    d->SetMyObject(bound);
  }
  return true;
}

void TCustomVelaEditLink::SetBounds(QRect R) {
  if (fStopping || !fEditor) return;
  if (R.left() < 0) R.setLeft(0);
  if (R.width() < kMinEditorWidth) {
    if (fParam.Alignment == taRightJustify)
      R.setLeft(std::max(0, R.right() - kMinEditorWidth + 1));
    else
      R.setWidth(kMinEditorWidth);
  }
  if (fTree) R.setRight(std::min(R.right(), fTree->viewport()->width() - 1));
  // The level bar under the editor stays visible.
  if (fParam.LPEditMode.Has(LPE_ShowBar)) R.setBottom(R.bottom() - 2);
  fEditor->setGeometry(R);
}

QRect TCustomVelaEditLink::GetBounds() const { return fEditor ? fEditor->geometry() : QRect(); }

bool TCustomVelaEditLink::BeginEdit() {
  if (fStopping || !fEditor) return false;
  if (fBegun) return true;
  fBegun = true;
  fKeys = new TEditLinkKeys(fEditor, weak_from_this());
  fEditor->installEventFilter(fKeys);
  fEditor->show();
  fEditor->setFocus(Qt::OtherFocusReason);
  if (auto* e = dynamic_cast<TBEdit*>(fEditor.data())) {
    if (!fInitialChar.isNull()) e->setText(QString(fInitialChar));
  } else if (auto* c = dynamic_cast<TBCombo*>(fEditor.data())) {
    c->showPopup();
  } else if (auto* l = dynamic_cast<TBCheckCombo*>(fEditor.data())) {
    l->showPopup();
  }
  return true;
}

bool TCustomVelaEditLink::EndEdit() {
  if (fStopping) return false;
  auto self = shared_from_this();
  fStopping = true;
  try {
    if (auto* e = dynamic_cast<TBEdit*>(fEditor.data())) {
      e->WriteValue();
    } else if (auto* c = dynamic_cast<TBCombo*>(fEditor.data())) {
      c->OnClosedUp = nullptr;
      if (c->view()->isVisible()) c->hidePopup();
      if (!c->Cancelling()) c->WritePending();  // a pick in the list has written itself
      SendMessageTo(c, CM_BindObject, 0);
    }
    if (fEditor) fEditor->hide();
  } catch (...) {
    fStopping = false;
    throw;
  }
  ReleaseEditorReference();
  return true;
}

bool TCustomVelaEditLink::CancelEdit() {
  if (fStopping) return false;
  auto self = shared_from_this();
  if (auto* e = dynamic_cast<TBEdit*>(fEditor.data())) e->SetCancelling(true);
  if (auto* c = dynamic_cast<TBCombo*>(fEditor.data())) c->OnClosedUp = nullptr;
  fStopping = true;
  if (fEditor) fEditor->hide();
  CloseInTree(false);
  ReleaseEditorReference();
  return true;
}

void TCustomVelaEditLink::ChoiceClosedUp() {
  if (fStopping) return;
  auto self = shared_from_this();
  EndEdit();
  CloseInTree(true);
}

void TCustomVelaEditLink::CloseInTree(bool Commit) {
  if (!fTree || !fEditor) return;
  QAbstractItemDelegate* delegate = fTree->itemDelegateForIndex(fNode);
  // Hiding the editor may already have closed it in the tree (it lost the
  // focus); the tree hears of each editor once.
  if (delegate && fNode.isValid() && fTree->indexWidget(fNode) == fEditor) {
    if (Commit) emit delegate->commitData(fEditor);
    emit delegate->closeEditor(fEditor, QAbstractItemDelegate::NoHint);
  }
  if (fNode.isValid()) fTree->update(fNode);
  fTree->setFocus(Qt::OtherFocusReason);
}

void TCustomVelaEditLink::ReleaseEditorReference() {
  // The editor no longer keeps the link; the caller holds it until it returns.
  if (auto* linked = dynamic_cast<TLinkedEditor*>(fEditor.data())) linked->Link.reset();
}

void TCustomVelaEditLink::EditorGone() { fEditor = nullptr; }

void InstallEditLinks(TVelaBrowser* Browser) {
  TCellPainter* painter = Browser->TreeView()->Painter();
  QPointer<TVelaBrowser> b = Browser;
  painter->OnCreateEditor = [b](QWidget*, const QStyleOptionViewItem&, const QModelIndex& index) -> QWidget* {
    if (!b) return nullptr;
    TColumnDef* def = b->GetColumnDef(index);
    if (!def) return nullptr;
    std::shared_ptr<TCustomVelaEditLink> link;
    try {
      link = TCustomVelaEditLink::Create(b, def->CProps, b->InitialChar);
    } catch (const EVelaAssertion&) {
      return nullptr;  // no editor for this kind: the cell stays closed
    }
    if (!link->PrepareEdit(b->TreeView(), index, index.column(), b->GetNodeObject(index))) return nullptr;
    b->MyEditLink = link->Editor();
    return link->Editor();
  };
  painter->OnUpdateEditorGeometry = [](QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) {
    if (TCustomVelaEditLink* link = LinkOf(editor))
      link->SetBounds(option.rect);
    else if (editor)
      editor->setGeometry(option.rect);
  };
  painter->OnSetEditorData = [](QWidget* editor, const QModelIndex&) {
    if (TCustomVelaEditLink* link = LinkOf(editor)) link->BeginEdit();
  };
  painter->OnSetModelData = [](QWidget* editor, const QModelIndex&) {
    if (TCustomVelaEditLink* link = LinkOf(editor)) link->EndEdit();
  };
}

}  // namespace vela
