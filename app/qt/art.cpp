#include "app/qt/art.h"

#include "app/qt/art_pixels.h"

#include <QPixmap>

namespace
{
QImage Wrap(const std::uint32_t* pPixels, int nWidth, int nHeight, QImage::Format format)
{
    return QImage(reinterpret_cast<const uchar*>(pPixels), nWidth, nHeight,
                  nWidth * static_cast<int>(sizeof(std::uint32_t)), format);
}
} // namespace

QImage BannerImage()
{
    return Wrap(art_pixels::kBanner, art_pixels::kBannerWidth, art_pixels::kBannerHeight,
                QImage::Format_RGB32);
}

QImage ResultStripImage()
{
    return Wrap(art_pixels::kResultStrip, art_pixels::kResultStripWidth,
                art_pixels::kResultStripHeight, QImage::Format_RGB32);
}

QIcon VeyraIcon()
{
    QIcon icon(QPixmap::fromImage(Wrap(art_pixels::kIcon16, art_pixels::kIcon16Width,
                                       art_pixels::kIcon16Height, QImage::Format_ARGB32)));
    icon.addPixmap(QPixmap::fromImage(Wrap(art_pixels::kIcon32, art_pixels::kIcon32Width,
                                           art_pixels::kIcon32Height, QImage::Format_ARGB32)));
    return icon;
}
