#include "app/qt/art.h"

#include "app/qt/art_pixels.h"

#include <QPixmap>

namespace
{
QImage wrap(const std::uint32_t* pixels, int width, int height, QImage::Format format)
{
    return QImage(reinterpret_cast<const uchar*>(pixels), width, height,
                  width * static_cast<int>(sizeof(std::uint32_t)), format);
}
} // namespace

QImage bannerImage()
{
    return wrap(art_pixels::kBanner, art_pixels::kBannerWidth, art_pixels::kBannerHeight,
                QImage::Format_RGB32);
}

QImage resultStripImage()
{
    return wrap(art_pixels::kResultStrip, art_pixels::kResultStripWidth,
                art_pixels::kResultStripHeight, QImage::Format_RGB32);
}

QIcon veyraIcon()
{
    QIcon icon(QPixmap::fromImage(wrap(art_pixels::kIcon16, art_pixels::kIcon16Width,
                                       art_pixels::kIcon16Height, QImage::Format_ARGB32)));
    icon.addPixmap(QPixmap::fromImage(wrap(art_pixels::kIcon32, art_pixels::kIcon32Width,
                                           art_pixels::kIcon32Height, QImage::Format_ARGB32)));
    return icon;
}
