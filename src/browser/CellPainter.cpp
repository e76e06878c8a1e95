#include "browser/CellPainter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "browser/BrowserModel.h"
#include "framework/velaobject.h"

namespace vela {

TCellPainter::TCellPainter(QObject* parent) : QStyledItemDelegate(parent) {}

void TCellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  ++PaintCount;
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();

  bool allow = true;
  if (OnPaintCell) OnPaintCell(allow, painter, opt, index);

  // The cell's own properties, asked in one go.
  QModelRoleData roles[] = {QModelRoleData(BR_CheckImage),  QModelRoleData(BR_Bar),
                            QModelRoleData(BR_BarRealTime), QModelRoleData(BR_Swatch),
                            QModelRoleData(BR_PicturePart), QModelRoleData(BR_Bold),
                            QModelRoleData(BR_StateIcon)};
  index.multiData(roles);
  const QVariant& check = roles[0].data();
  const QVariant& bar = roles[1].data();
  const bool barRed = roles[2].data().toBool();
  const QVariant& swatch = roles[3].data();
  const QVariant& picture = roles[4].data();
  if (roles[5].data().toBool()) opt.font.setBold(true);

  // The state image stands left of the node image in the main column.
  const QIcon stateIcon = roles[6].data().value<QIcon>();
  if (!stateIcon.isNull()) {
    const int size = std::min(opt.decorationSize.height(), opt.rect.height());
    const QRect r(opt.rect.left() + 1, opt.rect.top() + (opt.rect.height() - size) / 2, size, size);
    stateIcon.paint(painter, r);
    opt.rect.setLeft(r.right() + 2);
  }

  if (allow && check.isValid()) {
    // A check box instead of the text.
    opt.text.clear();
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    QStyleOptionViewItem box = opt;
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, widget);
    box.rect = QRect(opt.rect.center().x() - w / 2, opt.rect.center().y() - h / 2, w, h);
    box.state = (opt.state & ~(QStyle::State_On | QStyle::State_Off)) |
                (check.toInt() == 13 ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
    return;
  }
  if (allow && swatch.isValid()) opt.backgroundBrush = QBrush(swatch.value<QColor>());
  if (allow && picture.isValid()) {
    auto* part = reinterpret_cast<TVelaObject*>(picture.value<quintptr>());
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    try {
      const auto fk = static_cast<TSFieldKind>(index.data(BR_FieldKind).toInt());
      const uint32_t id = index.data(BR_FieldId).toUInt();
      if (part && part->PaintImage(painter, opt.rect.adjusted(1, 1, -1, -1), fk, id, 0, nullptr)) return;
    } catch (...) {
    }
  }
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  if (allow && bar.isValid()) {
    const double fraction = std::clamp(bar.toDouble(), 0.0, 1.0);
    const QRect r(opt.rect.left(), opt.rect.bottom() - 1, static_cast<int>(opt.rect.width() * fraction), 2);
    painter->fillRect(r, barRed ? QBrush(Qt::red) : opt.palette.brush(QPalette::Text));
  }
}

QSize TCellPainter::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(RowHeight);
  return size;
}

QWidget* TCellPainter::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  return OnCreateEditor ? OnCreateEditor(parent, option, index) : nullptr;
}

void TCellPainter::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (OnSetEditorData) OnSetEditorData(editor, index);
}

void TCellPainter::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  if (OnSetModelData) OnSetModelData(editor, index);
}

void TCellPainter::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
  if (OnUpdateEditorGeometry)
    OnUpdateEditorGeometry(editor, option, index);
  else
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
}

bool TCellPainter::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index) {
  if (!event || !view || event->type() != QEvent::ToolTip)
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  const QString hint = index.data(Qt::ToolTipRole).toString();
  if (!hint.isEmpty()) return QStyledItemDelegate::helpEvent(event, view, option, index);
  // Other cells show their text as a tool tip when it does not fit.
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty() && option.fontMetrics.horizontalAdvance(text) > option.rect.width() - 4) {
    QToolTip::showText(event->globalPos(), text, view);
    return true;
  }
  QToolTip::hideText();
  return false;
}

}  // namespace vela
