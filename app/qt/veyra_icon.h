// Veyra's icon: Veyra.exe's hand-drawn 16 and 32 pixel images, kept as PNG
// so that reading them needs no image format plugin at start-up.
#pragma once

#include <QIcon>

inline QIcon VeyraIcon()
{
    QIcon icon(":/veyra/veyra-gui-16.png");
    icon.addFile(":/veyra/veyra-gui-32.png");
    return icon;
}
