#pragma once
// The in-place cell editors of the browser: TCustomVelaEditLink chooses a
// bound editor by the cell's field kind and runs one edit through prepare,
// bounds, begin and end or cancel. InstallEditLinks maps that protocol onto
// the browser view's editor delegate.
#include <QChar>
#include <QModelIndex>
#include <QPointer>
#include <QRect>
#include <memory>

#include "framework/VelaTypes.h"

class QAbstractItemView;
class QWidget;

namespace vela {

class TVelaBrowser;
class TVelaObject;
class TEditLinkKeys;

enum class TEditorKind : uint8_t { None, TextEdit, ChoiceList, CheckList, Calendar };

// The editor for a field kind; None for kinds without one.
TEditorKind EditorKindFor(TSFieldKind Kind);

class TCustomVelaEditLink : public std::enable_shared_from_this<TCustomVelaEditLink> {
 public:
  // Creates the link and its (hidden) editor for the cell's parameter record;
  // a kind without editor raises "Unknown Fieldkind for editor in Browser".
  static std::shared_ptr<TCustomVelaEditLink> Create(TVelaBrowser* Browser, const TLParam& Param, QChar InitialChar);
  ~TCustomVelaEditLink();
  TCustomVelaEditLink(const TCustomVelaEditLink&) = delete;
  TCustomVelaEditLink& operator=(const TCustomVelaEditLink&) = delete;

  QWidget* Editor() const { return fEditor; }
  TEditorKind Kind() const { return fKind; }
  const TLParam& Param() const { return fParam; }
  bool Stopping() const { return fStopping; }

  // Puts the editor on the tree and binds it to Obj (the record's Part when
  // it has one).
  bool PrepareEdit(QAbstractItemView* Tree, const QModelIndex& Node, int Column, TVelaObject* Obj);
  void SetBounds(QRect R);
  QRect GetBounds() const;
  bool BeginEdit();
  bool EndEdit();
  bool CancelEdit();

  // Called by the editor when it goes before the link stopped.
  void EditorGone();

 private:
  friend class TEditLinkKeys;
  TCustomVelaEditLink(TVelaBrowser* Browser, const TLParam& Param, QChar InitialChar);
  void MakeEditor();
  // Ends (or cancels) the tree's edit and gives the tree the focus.
  void CloseInTree(bool Commit);
  void ReleaseEditorReference();
  // The choice list closed up: end the edit as Enter would.
  void ChoiceClosedUp();

  QPointer<QWidget> fEditor;
  TEditorKind fKind = TEditorKind::None;
  TLParam fParam;
  QPointer<TVelaBrowser> fBrowser;  // only with LE_DirectInput
  TVelaBrowser* fOwnerBrowser = nullptr;
  QChar fInitialChar;
  QPointer<QAbstractItemView> fTree;
  QPersistentModelIndex fNode;
  int fColumn = -1;
  bool fStopping = false;
  bool fBegun = false;
  TEditLinkKeys* fKeys = nullptr;
};

// Makes the links the in-place editors of the browser's view.
void InstallEditLinks(TVelaBrowser* Browser);

}  // namespace vela
