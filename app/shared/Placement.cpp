#include "shared/Placement.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>

#include <algorithm>
#include <optional>

namespace gustara {

namespace {

constexpr char kDesignGeometry[] = "gustaraDesignGeometry";
constexpr char kKeepsItsWidth[] = "gustaraKeepsItsWidth";
constexpr int kLabelInkAllowance = 1;

// The place and size that SetPlace gave `control`, if any.
std::optional<QRect> DesignGeometry(const QWidget& control)
{
    const QVariant kept = control.property(kDesignGeometry);
    if (!kept.isValid())
        return std::nullopt;
    return kept.toRect();
}

} // namespace

int TextShortfall(const QWidget& control)
{
    const QFontMetrics metrics = control.fontMetrics();
    const auto widest = [&](const QStringList& texts) {
        int width = 0;
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(QString(text).remove(QLatin1Char('&'))));
        return width;
    };
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        // A label that wraps its words lacks room only when its lines need more height.
        if (label->wordWrap())
            return label->heightForWidth(label->width()) > label->height() ? 1 : 0;
        // Up to the last inked pixel: a glyph's advance may end in blank space. The layout was
        // drawn in whole pixels of another font, and two of its Japanese labels (高さ, KB) lose
        // the last pixel column of their ink here, which reads the same: one column is allowed.
        const QMargins margins = label->contentsMargins();
        const int inked = metrics.tightBoundingRect(label->text()).right() + 1;
        return inked + margins.left() + margins.right() - label->width() - kLabelInkAllowance;
    }
    if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        const QRect field =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return widest(items) - field.width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(button))
            contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(button))
            contents = QStyle::SE_RadioButtonContents;
        const QRect room = button->style()->subElementRect(contents, &option, button);
        return widest({button->text()}) - room.width();
    }
    return 0;
}

namespace {

bool HoldsText(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return !label->text().isEmpty();
    return qobject_cast<const QAbstractButton*>(&control) || qobject_cast<const QComboBox*>(&control);
}

// Scroll areas, edit fields and the like place their own inner widgets.
bool HoldsControls(const QWidget& control)
{
    return qobject_cast<const QGroupBox*>(&control) || control.metaObject() == &QWidget::staticMetaObject;
}

struct Reach {
    int designed = 0; // the right edge of the shown children at the first fit
    int fitted = 0;   // and now
};

Reach FitChildren(QWidget& parent)
{
    Reach reach;
    for (QObject* object : parent.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        const std::optional<QRect> place = DesignGeometry(*child);
        const QRect designed = place.value_or(child->geometry());
        QRect fitted = designed;
        if (place && HoldsControls(*child)) {
            const Reach inner = FitChildren(*child);
            fitted.setWidth(designed.width() + std::max(0, inner.fitted - inner.designed));
            child->setGeometry(fitted);
        } else if (place && HoldsText(*child) && !KeepsItsWidth(*child)) {
            child->setGeometry(designed);
            fitted.setWidth(designed.width() + std::max(0, TextShortfall(*child)));
            child->setGeometry(fitted);
        }
        if (child->isHidden())
            continue;
        reach.designed = std::max(reach.designed, designed.right() + 1);
        reach.fitted = std::max(reach.fitted, fitted.right() + 1);
    }
    return reach;
}

} // namespace

void SetPlace(QWidget& control, const QRect& place)
{
    control.setGeometry(place);
    control.setProperty(kDesignGeometry, place);
}

int FitToTexts(QWidget& container)
{
    // Measured in the fonts that the style sheets give, which a widget takes when polished.
    container.ensurePolished();
    const Reach reach = FitChildren(container);
    return std::max(0, reach.fitted - reach.designed);
}

void SetKeepsItsWidth(QWidget& control)
{
    control.setProperty(kKeepsItsWidth, true);
}

bool KeepsItsWidth(const QWidget& control)
{
    return control.property(kKeepsItsWidth).toBool();
}

QPoint KeptWithin(const QRect& frame, const QRect& available)
{
    // Right and bottom first, so that a frame too large for the area keeps its top-left corner in it.
    const int x = std::max(std::min(frame.left(), available.right() + 1 - frame.width()), available.left());
    const int y = std::max(std::min(frame.top(), available.bottom() + 1 - frame.height()), available.top());
    return {x, y};
}

QRect BesideWithin(const QRect& neighbour, QSize wanted, QSize least, const QRect& available, int gap)
{
    // Right, left, below, above: the room each side leaves within the area.
    const QSize rooms[] = {
        {available.right() - neighbour.right() - gap, available.height()},
        {neighbour.left() - gap - available.left(), available.height()},
        {available.width(), available.bottom() - neighbour.bottom() - gap},
        {available.width(), neighbour.top() - gap - available.top()},
    };
    const auto shownArea = [wanted](QSize room) {
        const QSize shown = wanted.boundedTo(room).expandedTo(QSize(0, 0));
        return static_cast<long long>(shown.width()) * shown.height();
    };
    std::size_t side = 0;
    for (std::size_t i = 0; i < std::size(rooms); ++i) {
        if (shownArea(rooms[i]) > shownArea(rooms[side]))
            side = i;
    }
    const QSize size = wanted.boundedTo(rooms[side]).expandedTo(least);
    const QPoint at[] = {
        {neighbour.right() + 1 + gap, neighbour.top()},
        {neighbour.left() - gap - size.width(), neighbour.top()},
        {neighbour.left(), neighbour.bottom() + 1 + gap},
        {neighbour.left(), neighbour.top() - gap - size.height()},
    };
    return {KeptWithin(QRect(at[side], size), available), size};
}

} // namespace gustara
