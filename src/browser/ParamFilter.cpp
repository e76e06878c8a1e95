#include "browser/ParamFilter.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include "browser/BrowserIcons.h"

namespace vela {

namespace {
// A tool button with the picture of the shared image list, or its text when
// the list has no such picture.
void Decorate(QToolButton* button, const QString& text, int image) {
  const QIcon icon = ListIcon(IL_Network, image);
  button->setText(text);
  if (icon.isNull()) {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  } else {
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  }
}
}  // namespace

TParameterFilter::TParameterFilter(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ParameterFilter"));
  setFixedHeight(26);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  FollowConsoleButton = new QToolButton(this);
  FollowConsoleButton->setObjectName(QStringLiteral("FollowConsoleButton"));
  FollowConsoleButton->setToolTip(QStringLiteral("Follow console"));
  FollowConsoleButton->setCheckable(true);
  FollowConsoleButton->setFixedSize(32, 26);
  Decorate(FollowConsoleButton, QStringLiteral("Follow"), 209);
  FollowConsoleButton->hide();
  layout->addWidget(FollowConsoleButton);

  FilterBar1 = new QToolBar(this);
  FilterBar1->setObjectName(QStringLiteral("FilterBar1"));
  FilterBar1->setIconSize(QSize(16, 16));
  FilterBar1->setMinimumSize(200, 22);
  layout->addWidget(FilterBar1);
  FocusButton = AddGroupButton(QStringLiteral("FocusButton"), 1, 22);
  ColorButton = AddGroupButton(QStringLiteral("ColorButton"), 2, 79);
  BeamButton = AddGroupButton(QStringLiteral("BeamButton"), 3, 5);
  PatternButton = AddGroupButton(QStringLiteral("PatternButton"), 4, 37);
  ExtraButton = AddGroupButton(QStringLiteral("ExtraButton"), 5, 20);
  ToolButton2 = new QToolButton(FilterBar1);
  ToolButton2->setObjectName(QStringLiteral("ToolButton2"));
  ToolButton2->setProperty("Tag", 6);
  ToolButton2->setCheckable(true);
  ToolButton2->setChecked(true);
  ToolButton2->setEnabled(false);  // shown pressed, no handler
  Decorate(ToolButton2, QStringLiteral("DynamicButton"), 17);
  FilterBar1->addWidget(ToolButton2);
  ToolButton1 = new QToolButton(FilterBar1);
  ToolButton1->setObjectName(QStringLiteral("ToolButton1"));
  ToolButton1->setProperty("Tag", 0);
  Decorate(ToolButton1, QStringLiteral("All"), 2);
  connect(ToolButton1, &QToolButton::clicked, this, [this] { SetPFilter(kAllFilterGroups); });
  FilterBar1->addWidget(ToolButton1);

  auto* display = new QLabel(QStringLiteral("Display"), this);
  layout->addWidget(display);
  ParamsBar = new QToolBar(this);
  ParamsBar->setObjectName(QStringLiteral("ParamsBar"));
  ParamsBar->setIconSize(QSize(16, 16));
  ParamsBar->setMinimumSize(94, 22);
  layout->addWidget(ParamsBar, 1);
  AutoButton = AddDisplayButton(QStringLiteral("AutoButton"), QStringLiteral("Auto"), DS_Auto, 263);
  CompressedButton =
      AddDisplayButton(QStringLiteral("CompressedButton"), QStringLiteral("Compress Palettes"), DS_PackedPalettes, 60);
  ValueButton = AddDisplayButton(QStringLiteral("ValueButton"), QString(), DS_Value, 105);
  PaletteButton = AddDisplayButton(QStringLiteral("PaletteButton"), QString(), DS_Palette, 36);
  DynamicButton = AddDisplayButton(QStringLiteral("DynamicButton"), QString(), DS_Dynamic, 85);
  DelayButton = AddDisplayButton(QStringLiteral("DelayButton"), QString(), DS_Delay, 14);
  TimeButton = AddDisplayButton(QStringLiteral("TimeButton"), QString(), DS_Time, 54);

  // Loading the frame: all groups, every display value valid, Auto pressed.
  fPFilter = kAllFilterGroups;
  PressGroupButtons();
  fValidDisplay = kAllDisplayValues;
  fDisplayValue = DS_Auto;
  AutoButton->setChecked(true);
}

QToolButton* TParameterFilter::AddGroupButton(const QString& Name, int Tag, int Image) {
  auto* button = new QToolButton(FilterBar1);
  button->setObjectName(Name);
  button->setProperty("Tag", Tag);
  button->setCheckable(true);
  QString text = Name;
  text.chop(6);  // "FocusButton" shows "Focus" when there is no picture
  Decorate(button, text, Image);
  connect(button, &QToolButton::clicked, this, [this, button] { GroupClick(button); });
  FilterBar1->addWidget(button);
  return button;
}

QToolButton* TParameterFilter::AddDisplayButton(const QString& Name, const QString& Hint, TPDisplayValue Value,
                                                int Image) {
  auto* button = new QToolButton(ParamsBar);
  button->setObjectName(Name);
  button->setProperty("Tag", static_cast<int>(Value));
  button->setCheckable(true);
  if (!Hint.isEmpty()) button->setToolTip(Hint);
  QString text = Name;
  text.chop(6);
  Decorate(button, text, Image);
  connect(button, &QToolButton::clicked, this, [this, button] {
    SetDisplayValue(static_cast<TPDisplayValue>(button->property("Tag").toInt()));
    // A click on the pressed button must leave it pressed.
    if (DisplayButton(fDisplayValue)) DisplayButton(fDisplayValue)->setChecked(true);
  });
  // A widget in a tool bar is shown and hidden through its action.
  fDisplayActions[Value] = ParamsBar->addWidget(button);
  fDisplayButtons[Value] = button;
  return button;
}

QToolButton* TParameterFilter::DisplayButton(int Value) const {
  const int v = Value % 128;
  return v >= 0 && v <= 6 ? fDisplayButtons[v] : nullptr;
}

QAction* TParameterFilter::DisplayAction(int Value) const {
  const int v = Value % 128;
  return v >= 0 && v <= 6 ? fDisplayActions[v] : nullptr;
}

void TParameterFilter::GroupClick(QToolButton* Button) {
  const int tag = Button->property("Tag").toInt();
  if (tag < 0 || tag > 5) return;
  const auto group = static_cast<TPFilter>(tag);
  TPFilters value;
  if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
    value = fPFilter;
    if (value.Has(group))
      value.Exclude(group);
    else
      value.Include(group);
  } else {
    value = TPFilters{group};
  }
  SetPFilter(value);
}

void TParameterFilter::PressGroupButtons() {
  FocusButton->setChecked(fPFilter.Has(FL_Focus));
  ColorButton->setChecked(fPFilter.Has(FL_Color));
  BeamButton->setChecked(fPFilter.Has(FL_Beam));
  PatternButton->setChecked(fPFilter.Has(FL_Pattern));
  ExtraButton->setChecked(fPFilter.Has(FL_Extra));
}

void TParameterFilter::SetPFilter(TPFilters Value) {
  const bool changed = Value != fPFilter;
  fPFilter = Value;
  PressGroupButtons();
  if (changed && OnFilterChanged) OnFilterChanged(this);
}

void TParameterFilter::SetDisplayValue(TPDisplayValue Value) {
  if (Value == fDisplayValue) return;
  fDisplayValue = Value;
  QToolButton* pressed = DisplayButton(Value);
  for (QToolButton* button : fDisplayButtons) button->setChecked(button == pressed);
  if (OnFilterChanged) OnFilterChanged(this);
}

void TParameterFilter::SetValidDisplay(TValidDisplay Value) {
  fValidDisplay = Value;
  for (int v = 0; v < 7; ++v) fDisplayActions[v]->setVisible(Value.Has(static_cast<TPDisplayValue>(v)));
}

void TParameterFilter::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_ToolNotice || (Message.WParam & 0xFFFF) != 11) return;
  if (FollowConsoleButton->isHidden() || !FollowConsoleButton->isChecked() || !Message.LParam) return;
  const auto* record = reinterpret_cast<const uint32_t*>(Message.LParam);
  const uint32_t group = record[4] & 0xFF;
  SetPFilter(group < 7 ? TPFilters{static_cast<TPFilter>(group)} : kAllFilterGroups);
}

}  // namespace vela
