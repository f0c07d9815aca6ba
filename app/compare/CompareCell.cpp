#include "compare/CompareCell.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace gustara {

namespace {

constexpr int kRowGap = 4;

} // namespace

CompareCell::CompareCell(bool choosable, QWidget* parent)
    : QWidget(parent)
    , caption_(new QLabel(this))
    , button_(new QPushButton(this))
    , choosable_(choosable)
{
    caption_->setAlignment(Qt::AlignCenter);
    button_->setEnabled(false);
    button_->setVisible(choosable);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void CompareCell::SetTexts(const QString& caption, const QString& buttonText)
{
    caption_->setText(caption);
    button_->setText(buttonText);
    setMinimumSize(LeastSize());
    PlaceRows();
}

QSize CompareCell::LeastSize() const
{
    const int width = std::max({40, caption_->sizeHint().width(), button_->sizeHint().width()});
    return {width, RowsHeight() + 16};
}

int CompareCell::CaptionRowHeight() const
{
    return caption_->sizeHint().height();
}

int CompareCell::ButtonRowHeight() const
{
    return button_->sizeHint().height();
}

int CompareCell::RowsHeight() const
{
    return CaptionRowHeight() + ButtonRowHeight() + 2 * kRowGap;
}

void CompareCell::SetImage(const QImage& image)
{
    image_ = image;
    scaled_ = QPixmap();
    button_->setEnabled(choosable_ && !image.isNull());
    setCursor(choosable_ && !image.isNull() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    PlaceRows();
    update();
}

QRect CompareCell::PictureRect() const
{
    const QSize room = QSize(width(), height() - RowsHeight()).expandedTo(QSize(1, 1));
    QSize picture = image_.isNull() ? QSize(0, 0) : image_.size();
    if (picture.width() > room.width() || picture.height() > room.height())
        picture = picture.scaled(room, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const int block = CaptionRowHeight() + kRowGap + picture.height() + kRowGap + ButtonRowHeight();
    const int top = (height() - block) / 2 + CaptionRowHeight() + kRowGap;
    return QRect(QPoint((width() - picture.width()) / 2, top), picture);
}

void CompareCell::PlaceRows()
{
    const QRect picture = PictureRect();
    const int captionHeight = CaptionRowHeight();
    caption_->setGeometry(0, picture.top() - kRowGap - captionHeight, width(), captionHeight);
    const int buttonWidth = button_->sizeHint().width();
    button_->setGeometry((width() - buttonWidth) / 2, picture.bottom() + 1 + kRowGap, buttonWidth, ButtonRowHeight());
}

void CompareCell::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceRows();
}

void CompareCell::paintEvent(QPaintEvent*)
{
    const QRect target = PictureRect();
    if (target.isEmpty())
        return;
    if (scaled_.size() != target.size())
        scaled_ = QPixmap::fromImage(image_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QPainter(this).drawPixmap(target.topLeft(), scaled_);
}

void CompareCell::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (choosable_ && !image_.isNull() && event->button() == Qt::LeftButton && PictureRect().contains(at))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace gustara
