// The least a Qt Widgets program can show: one dialog with a label and a
// button, built as veyra-gui is, quitting at its first paint.
#include "bench/qt/first_paint.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QDialog window;
    window.setWindowTitle("Minimal");
    auto* pLayout = new QVBoxLayout(&window);
    pLayout->addWidget(new QLabel("Minimal", &window));
    pLayout->addWidget(new QPushButton("OK", &window));
    const CFirstPaint firstPaint(window);
    window.show();
    return QApplication::exec();
}
