#include "faces.h"

#include <QPainter>
#include <array>
#include <map>

#include "addin/face_icons.h"

namespace veln::desktop {

QIcon BuiltInFace(int faceId) {
    const std::string_view name = addin::FaceIconName(faceId);
    if (name.empty()) {
        return {};
    }
    return QIcon(QString(":/icons/%1.svg")
                     .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))));
}

QImage Swatch(int picture) {
    static const std::map<int, QRgb> COLOURS{
        {101, qRgb(255, 255, 0)}, {102, qRgb(255, 0, 255)}, {103, qRgb(255, 255, 255)},
        {105, qRgb(0, 255, 255)}, {106, qRgb(0, 255, 0)},   {107, qRgb(192, 192, 192)}};
    auto found = COLOURS.find(picture);
    if (found == COLOURS.end()) {
        return {};
    }
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    // The frame is the ring of pixels around the square: (1,1) to (14,14).
    for (int i = 1; i <= 14; ++i) {
        for (int edge : {1, 14}) {
            image.setPixel(i, edge, qRgb(128, 128, 128));
            image.setPixel(edge, i, qRgb(128, 128, 128));
        }
    }
    for (int y = 2; y <= 13; ++y) {
        for (int x = 2; x <= 13; ++x) {
            image.setPixel(x, y, found->second);
        }
    }
    return image;
}

QImage CheckedSwatch(int picture) {
    QImage image = Swatch(picture);
    if (!image.isNull()) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const std::array<QPointF, 3> tick{QPointF(4, 8), QPointF(7, 11), QPointF(12, 4)};
        painter.drawPolyline(tick.data(), static_cast<int>(tick.size()));
    }
    return image;
}

QIcon ButtonPicture(int picture) {
    const std::string_view name = addin::PictureIconName(picture);
    if (name.empty()) {
        return {};
    }
    return QIcon(QString(":/icons/%1.svg")
                     .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))));
}

QIcon ProgramIcon() {
    return QIcon(":/icons/veln.svg");
}

}  // namespace veln::desktop
