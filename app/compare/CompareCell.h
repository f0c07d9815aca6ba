#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

namespace gustara {

// One picture of the comparison window with its caption right above it and its button right
// below, the three centred in the cell. The picture is scaled down to fit, keeping its
// proportions, never enlarged. A cell that is not choosable keeps its button hidden (its
// room stays, so that pictures line up); in a choosable one a click on the picture emits
// clicked, and the button is enabled while there is a picture.
class CompareCell : public QWidget {
    Q_OBJECT
public:
    CompareCell(bool choosable, QWidget* parent);

    // The caption and the button's text; the least size follows them.
    void SetTexts(const QString& caption, const QString& buttonText);

    // Shows `image` (a null image shows nothing).
    void SetImage(const QImage& image);
    const QImage& image() const { return image_; }
    // The height that the caption and button rows take from the cell.
    int RowsHeight() const;
    // The least size that shows the whole caption and button and a little of the picture.
    QSize LeastSize() const;
    // Where the picture is drawn: its fitted size, centred in the cell with its captions.
    QRect PictureRect() const;

    QLabel* caption() const { return caption_; }
    QPushButton* button() const { return button_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PlaceRows();
    int CaptionRowHeight() const;
    int ButtonRowHeight() const;

    QLabel* caption_;
    QPushButton* button_;
    bool choosable_;
    QImage image_;
    QPixmap scaled_;  // image_ at PictureRect's size, made again when that size changes
};

} // namespace gustara
