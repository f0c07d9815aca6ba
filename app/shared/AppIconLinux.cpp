#include "shared/AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace gustara {

QIcon MakeAppIcon()
{
    // Drawn here rather than through Qt's SVG icon plugin, so that the icon does not depend
    // on a plugin being found at run time.
    QSvgRenderer renderer(QStringLiteral(":/jp.example.gustara.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace gustara
