// The moment a program's window is first painted: the start-up benchmark's
// probes print "painted" then and quit, and bench/qt/startup times them from
// the outside, process start included.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class CFirstPaint : public QObject
{
public:
    explicit CFirstPaint(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint && !m_bSeen)
        {
            m_bSeen = true;
            // After the paint has gone to the screen.
            QTimer::singleShot(0,
                               []()
                               {
                                   std::puts("painted");
                                   std::fflush(stdout);
                                   QApplication::quit();
                               });
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    bool m_bSeen = false;
};
