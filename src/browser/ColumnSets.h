#pragma once
// Column sets: for every row the browser shows the fields that the row's
// object defines for itself. Objects of one class with the same number of
// definitions and the same layout discriminator share one cached set; a set
// is re-filled from the row's fresh definitions before the row uses it, but
// keeps its column widths (which the user may have dragged) for the run.
//
// No widgets here: the browser hands in its display options and reads the
// sets for geometry, texts and the header.
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/VelaTypes.h"
#include "framework/sobjects.h"

namespace vela {

class TVelaObject;
class TColumnColl;

// Supplies field definitions for a row instead of, or before, the object's
// own; clearing DoDefault stops the object's DefaultPDef from being asked.
using TGetPdef =
    std::function<uint16_t(TVelaObject* S, TLParamDef& Arr, TParamsOpt& Opt, bool& DoDefault, uint32_t NodeIndex)>;

// One column of one set.
class TColumnDef : public TSobject {
 public:
  TLParam CProps;
  bool NotVisible = false;
  int32_t PosX = 0;  // left edge at 100 % zoom, before the row's indentation
  void ReadParams(const TLParam& Par) { CProps = Par; }
};

// The key of a set: the row object's class, the number of definitions and
// the layout discriminator the object returns in its display options.
struct TColSort {
  uintptr_t RefClass = 0;
  uint16_t Num = 0;
  uint16_t DiffId = 0;
};

// One column set, its columns in order (owned).
class TColumndefs : public TSCollection {
 public:
  explicit TColumndefs(TColumnColl* Coll);

  TColumnDef* Def(int Index) const {
    return Index >= 0 && Index < Count() ? static_cast<TColumnDef*>(At(Index)) : nullptr;
  }

  TColumnColl* MyColl = nullptr;
  TGetPdef FOnGetPDef;
  TColSort RefRec;
  bool HasGraphics = false;
  std::vector<uint16_t> ValidSortColumns;
  int32_t CurrentSortColumn = -1;

  // Brings the set to Max columns and takes every field but the width from Arr.
  void Refreshit(TVelaObject* aObjRef, const TLParamDef& Arr, int Max);
  // Recomputes the left edges of the columns.
  void UpdatePosX();
  // Width of all shown columns at 100 % zoom.
  int TotalWidth() const;
  bool IsSortColumn(int Column) const;
  // The index of the next shown column after Column, -1 when none.
  int NextVisible(int Column) const;
  // The index of the last shown column, -1 when none.
  int LastVisible() const;
};

// The browser's cache of column sets, ordered by key so that all sets of one
// class are adjacent.
class TColumnColl : public TSortedCollection {
 public:
  TColumnColl();

  const void* KeyOf(const void* Item) const override;
  int Compare(const void* Key1, const void* Key2) const override;

  TColumndefs* Set(int Index) const { return static_cast<TColumndefs*>(At(Index)); }

  // The set of a row, re-filled from the object's definitions unless the
  // object is the one refreshed last and Force is off. Null for a null
  // object, for one that defines no fields, and when asking it raised.
  TColumndefs* Refresh(uint32_t NodeIndex, TVelaObject* aObjRef, bool Force);
  // One column of a row's set (the last set is reused while the object stays the same).
  TColumnDef* ColumnDef(uint32_t NodeIndex, TVelaObject* aObjRef, bool Force, int Index);
  // Finds the set of (class, aNum, aDiff) or makes it.
  TColumndefs* GetDefsOld(TVelaObject* aObjRef, uint16_t aNum, uint32_t NodeIndex, uint16_t aDiff);

  const TGetPdef& OnGetPDef() const { return FOnGetPDef; }
  void SetOnGetPDef(TGetPdef Value);
  // Puts the browser's display options (the filter's display value) into a query.
  std::function<void(TParamsOpt& Opt)> PrepareOpt;
  // Told when a set was made (its column count may exceed what the view has).
  std::function<void(TColumndefs* Set)> OnSetCreated;

  // The sort column shared by all sets of a class: adopting it for a new set
  // (the first cached set's value, copied to all later ones) and setting it.
  int AdoptSortColumn(uintptr_t RefClass, int Default);
  void SetClassSortColumn(uintptr_t RefClass, int Column);

  // The user sized column Column of Set to SizeX (at 100 %): the main column's
  // width goes to every set with the same field at that index, another
  // column's only to the sets of the same class.
  void ResizeColumn(TColumndefs* Set, int Column, int SizeX);

  // Forgets the remembered objects (one of them may be about to go).
  void ForgetObjects();
  // Grows whenever a set's column layout (count, widths, positions) changes.
  uint32_t LayoutGeneration() const { return fLayoutGeneration; }
  void LayoutChanged() { ++fLayoutGeneration; }
  // The most columns any cached set has.
  int MaxColumns() const;

  TVelaObject* LastRef = nullptr;
  TVelaObject* LastRefresh = nullptr;
  TColumndefs* LastCDefs = nullptr;

  static uintptr_t ClassKey(const TVelaObject* Obj);

 private:
  // The definitions of an object: the callback, then DefaultPDef when the
  // callback leaves DoDefault set.
  uint16_t FetchDefs(TVelaObject* Obj, TLParamDef& Arr, TParamsOpt& Opt, uint32_t NodeIndex);

  TGetPdef FOnGetPDef;
  uint32_t fLayoutGeneration = 1;
};

}  // namespace vela
