// CAboutBox: the program's name and version, and the maker's links.
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>

class CAboutBox : public QDialog
{
    Q_OBJECT
public:
    CAboutBox(CWindowServices& services, QWidget* pParent = nullptr);
};
