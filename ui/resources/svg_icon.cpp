#include "ui/resources/svg_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures live in a library; a linker keeps its resource data only when something
// asks for it by name. The registration must be made outside any namespace.
static void RegisterMainWindowResources() {
    Q_INIT_RESOURCE(main_window);
}

namespace {

void EnsureResources() {
    static const bool registered = [] {
        RegisterMainWindowResources();
        return true;
    }();
    (void)registered;
}

QPixmap Render(QSvgRenderer& renderer, int size, qreal devicePixelRatio) {
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

namespace SvgIcon {

QIcon Load(const QString& resourcePath, std::initializer_list<int> sizes) {
    EnsureResources();
    QSvgRenderer renderer(resourcePath);
    QIcon icon;
    if (!renderer.isValid()) {
        return icon;
    }
    for (const int size : sizes) {
        for (const qreal ratio : {1.0, 2.0}) {
            icon.addPixmap(Render(renderer, size, ratio));
        }
    }
    return icon;
}

QIcon ApplicationIcon() {
    return Load(QStringLiteral(":/icons/tolvenmark.svg"), {16, 24, 32, 48, 64});
}

} // namespace SvgIcon
