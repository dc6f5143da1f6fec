// AboutBox: the program's name and version, and the maker's links.
#pragma once

#include "app/qt/window_services.h"

#include <QDialog>

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(WindowServices& services, QWidget* parent = nullptr);
};
