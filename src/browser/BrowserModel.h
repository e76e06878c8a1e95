#pragma once
// The browser's item model over the object tree. A node carries nothing but
// the object it shows (and, in simple list mode, its place); every text,
// image and cell property is asked from the object when the view wants it.
// Children are made when a node is first expanded and freed when it
// collapses. The columns of a row are the row object's own column set
// (ColumnSets.h); the header data mirrors the set of the focused row, which
// the view hands in.
//
// Model code: no widgets here.
#include <QAbstractItemModel>
#include <QIcon>
#include <functional>
#include <memory>
#include <vector>

#include "browser/ColumnSets.h"
#include "framework/VelaTypes.h"

namespace vela {

class TVelaObject;

struct TBrowserNode {
  TVelaObject* Obj = nullptr;
  TBrowserNode* Parent = nullptr;
  std::vector<std::unique_ptr<TBrowserNode>> Children;
  int Row = 0;                   // place among the siblings
  bool ChildrenCreated = false;  // the child nodes exist
  bool HasChildren = false;      // shows an expander before they exist
  bool Expanded = false;         // the view shows the children
  bool NodeVisible = true;
  int CheckType = 0;
  int Level() const;  // 0 for a top row
};

// Roles the cell painter and the tests read.
enum TBrowserRole : int {
  BR_FieldKind = Qt::UserRole + 1,  // int, -1 without definition
  BR_EditModes,                     // uint32 bits of TLpEditModes
  BR_CheckImage,                    // 9 (no tick) or 13 (ticked) for a check box cell, else invalid
  BR_Bar,                           // double 0..1 for a level bar cell, else invalid
  BR_BarRealTime,                   // bool: the bar's part is real-time (drawn red)
  BR_Swatch,                        // QColor filling a colour cell
  BR_PicturePart,                   // quintptr of the object painting a picture cell
  BR_Bold,                          // bool
  BR_StateIcon,                     // QIcon of the state image (main column)
  BR_NodeImage,                     // int image index (main column or graphic cell)
  BR_StateImage,                    // int state image index (main column)
  BR_ColumnTitle,                   // the row's own title of the column
  BR_HasDefinition,                 // bool: the cell has a column definition
  BR_FieldId,                       // uint32 field id of the cell
};

class TBrowserModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit TBrowserModel(QObject* parent = nullptr);
  ~TBrowserModel() override;

  // ---- QAbstractItemModel
  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  void multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // ---- settings
  bool WithColumns() const { return fWithColumns; }
  void SetWithColumns(bool Value);
  bool AsListView() const { return fAsListView; }
  void SetAsListView(bool Value) { fAsListView = Value; }
  bool SimpleList() const { return fSimpleList; }
  void SetSimpleList(bool Value) { fSimpleList = Value; }
  TColumnColl& ColDefs() { return fColDefs; }

  // Before a node is made for s; false skips it.
  std::function<bool(TVelaObject* s, bool& NodeVisible, int& CheckType)> OnAddnode;
  // Fills the children of a node alone when it answers true.
  std::function<bool(const QModelIndex& Node, TVelaObject* s, bool Anyway)> AddProc;
  // Replaces the row object's own image index when it answers true.
  std::function<bool(TVelaObject* Obj, const QModelIndex& Node, int& Image)> OnGetImageIndex;

  // ---- structure
  TVelaObject* RootObject() const { return fRootObject; }
  // Builds the rows for root s (null empties the tree).
  void Build(TVelaObject* s);
  // Simple list mode: Count top rows, all showing Obj.
  void BuildSimpleList(TVelaObject* Obj, int Count);
  // A node for Obj under Parent (invalid: top level) at Position (clamped,
  // -1 appends); its children are marked, not made. Returns the new index.
  QModelIndex InsertNode(const QModelIndex& Parent, int Position, TVelaObject* Obj, bool NodeVisible = true,
                         int CheckType = 0);
  void RemoveNode(const QModelIndex& Index);
  // Frees the child nodes; the node shows an expander when its object has subs.
  void RemoveChildren(const QModelIndex& Index);
  // Makes the children of a node (Anyway: every sub now, else only the mark).
  // Returns true when the node should be expanded (it is the root's node).
  bool FillChildren(const QModelIndex& Index, bool Anyway);
  void SetHasChildren(const QModelIndex& Index, bool Value);
  void SetExpanded(const QModelIndex& Index, bool Value);

  TBrowserNode* NodeOf(const QModelIndex& Index) const;
  TBrowserNode* RootNode() const { return fRoot.get(); }
  QModelIndex IndexOf(const TBrowserNode* Node, int Column = 0) const;
  TVelaObject* ObjectOf(const QModelIndex& Index) const;
  // The first node, depth first over the made nodes, that shows s.
  QModelIndex SearchForNode(TVelaObject* s) const;
  QModelIndex FindChild(const QModelIndex& Parent, TVelaObject* Obj) const;
  int NodeCount() const { return fNodeCount; }
  // Tells the views that a row's cells changed.
  void RowChanged(const QModelIndex& Index);
  void AllChanged();

  // ---- columns
  // The column set of a row; Force re-reads it even for the object read last.
  TColumndefs* SetOfRow(const QModelIndex& Index, bool Force) const;
  // The definition of one cell (the set re-read when the row object changed).
  TColumnDef* ColumnDef(const QModelIndex& Index) const;
  // Grows the column count to N (never shrinks while rows exist).
  void EnsureColumnCount(int N);
  // The header mirrors Set as read for RowObj (null: keeps what it shows).
  void SetHeaderSet(TColumndefs* Set, TVelaObject* RowObj);
  int HeaderCount() const { return static_cast<int>(fHeader.size()); }
  // Sets may be made while painting; the column count follows afterwards.
  void CheckColumnCount();

  // The text of a cell; "---" for a row that shows no definition.
  QString CellText(const QModelIndex& Index) const;

 signals:
  // A node's expander may have come or gone without rows changing.
  void ChildMarkChanged(const QModelIndex& Index);

 private:
  struct THeaderColumn {
    QString Head;
    QString FullHeader;
    bool Centred = false;
    QIcon Icon;
  };
  void Clear();
  TBrowserNode* AddChild(TBrowserNode* Parent, int Position, TVelaObject* Obj, bool NodeVisible, int CheckType);
  // The steps of adding the node of s under Parent (null: the root's turn).
  void AddAllSubs(TBrowserNode* Parent, TVelaObject* s, bool Anyway);
  void FillNode(TBrowserNode* Node, bool Anyway);
  void Renumber(TBrowserNode* Parent, int From);
  int CountNodes(const TBrowserNode* Node) const;
  // The column count of an object's set (read afresh).
  int SetOfRowCount(TVelaObject* Obj, int Row) const;
  QVariant CellData(const QModelIndex& Index, int Role, TColumnDef* Def, bool HaveDef) const;
  void PrepareOpt(TParamsOpt& Opt) const;

  std::unique_ptr<TBrowserNode> fRoot;
  TVelaObject* fRootObject = nullptr;
  bool fWithColumns = false;
  bool fAsListView = false;
  bool fSimpleList = false;
  bool fBuilding = false;
  int fColumnCount = 1;
  int fNodeCount = 0;
  bool fColumnCheckQueued = false;
  mutable TColumnColl fColDefs;
  mutable const TBrowserNode* fLastNode = nullptr;  // the row of the last cell asked (identity only)
  std::vector<THeaderColumn> fHeader;

 public:
  // The display options the browser puts into every query (its filter's value).
  std::function<void(TParamsOpt& Opt)> DisplayOptions;
};

}  // namespace vela
