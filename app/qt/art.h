// Veyra.exe's art for veyra-gui, compiled in as pixels (tools/art/art_pixels.py)
// rather than as image files, so that start-up decodes nothing and loads no
// image format plugin. The images share the program's read-only pixels.
#pragma once

#include <QIcon>
#include <QImage>

// The banner over the window, opaque.
QImage bannerImage();
// The results list's strip of 16 x 15 images, opaque, teal where transparent.
QImage resultStripImage();
// Veyra's icon, its hand-drawn 16 and 32 pixel images.
QIcon veyraIcon();
