#pragma once
// The parameter filter: the tool band at the top of a browser frame that
// holds the parameter groups chosen (PFilter) and the display form of values
// (DisplayValue), which the browser puts into every field text query.
#include <QFrame>
#include <cstdint>
#include <functional>

#include "framework/VelaTypes.h"
#include "platform/Messages.h"
#include "platform/SmallSet.h"

class QAction;
class QToolBar;
class QToolButton;

namespace vela {

enum TPFilter : uint8_t { FL_Intensity, FL_Focus, FL_Color, FL_Beam, FL_Pattern, FL_Extra, FL_Dynamic };
using TPFilters = TSmallSet<TPFilter, uint8_t>;
using TValidDisplay = TSmallSet<TPDisplayValue, uint8_t>;

constexpr TPFilters kAllFilterGroups = TPFilters::FromBits(63);
constexpr TValidDisplay kAllDisplayValues = TValidDisplay::FromBits(127);

// The notice tool windows broadcast to their controls.
constexpr uint32_t WM_ToolNotice = 33879;

class TParameterFilter : public QFrame, public TMessageReceiver {
  Q_OBJECT

 public:
  explicit TParameterFilter(QWidget* parent = nullptr);

  TPFilters PFilter() const { return fPFilter; }
  void SetPFilter(TPFilters Value);
  TPDisplayValue DisplayValue() const { return fDisplayValue; }
  void SetDisplayValue(TPDisplayValue Value);
  TValidDisplay ValidDisplay() const { return fValidDisplay; }
  void SetValidDisplay(TValidDisplay Value);

  // PFilter or DisplayValue changed.
  std::function<void(TParameterFilter* Sender)> OnFilterChanged;

  // The notice 33879: with code 11 (low 16 bits of WParam) and the follow
  // button pressed, LParam points to the notice record whose fifth 32-bit
  // field carries the group in its low byte.
  void Dispatch(TMessage& Message) override;

  QToolButton* FollowConsoleButton = nullptr;
  QToolBar* FilterBar1 = nullptr;
  QToolBar* ParamsBar = nullptr;
  QToolButton* FocusButton = nullptr;
  QToolButton* ColorButton = nullptr;
  QToolButton* BeamButton = nullptr;
  QToolButton* PatternButton = nullptr;
  QToolButton* ExtraButton = nullptr;
  QToolButton* ToolButton2 = nullptr;  // the dynamic group, shown pressed
  QToolButton* ToolButton1 = nullptr;  // all groups
  QToolButton* AutoButton = nullptr;
  QToolButton* CompressedButton = nullptr;
  QToolButton* ValueButton = nullptr;
  QToolButton* PaletteButton = nullptr;
  QToolButton* DynamicButton = nullptr;
  QToolButton* DelayButton = nullptr;
  QToolButton* TimeButton = nullptr;

  // The display button of a value (modulo 128), null above 6.
  QToolButton* DisplayButton(int Value) const;
  // The tool bar action that shows or hides a display button.
  QAction* DisplayAction(int Value) const;

 private:
  // A group button released: Shift toggles the group, else it is the only one.
  void GroupClick(QToolButton* Button);
  void PressGroupButtons();
  QToolButton* AddGroupButton(const QString& Name, int Tag, int Image);
  QToolButton* AddDisplayButton(const QString& Name, const QString& Hint, TPDisplayValue Value, int Image);

  TPFilters fPFilter = kAllFilterGroups;
  TPDisplayValue fDisplayValue = DS_Auto;
  TValidDisplay fValidDisplay = kAllDisplayValues;
  QToolButton* fDisplayButtons[7] = {};
  QAction* fDisplayActions[7] = {};
};

}  // namespace vela
