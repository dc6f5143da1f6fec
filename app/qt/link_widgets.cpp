#include "app/qt/link_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace
{
bool IsActivation(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Space || event.key() == Qt::Key_Return ||
           event.key() == Qt::Key_Enter;
}

void DrawFocus(QWidget& widget)
{
    QStylePainter painter(&widget);
    QStyleOptionFocusRect option;
    option.initFrom(&widget);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
} // namespace

CLinkLabel::CLinkLabel(const QString& strText, const QString& strAddress, QWidget* pParent)
    : QLabel(pParent), m_strAddress(strAddress)
{
    setTextFormat(Qt::RichText);
    setText(
        QString("<a href=\"%1\">%2</a>").arg(strAddress.toHtmlEscaped(), strText.toHtmlEscaped()));
    // The mouse clicks the link; the keyboard reaches the whole label in one
    // tab stop rather than stepping through its one link.
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(strAddress);
}

void CLinkLabel::keyPressEvent(QKeyEvent* pEvent)
{
    if (IsActivation(*pEvent))
        emit linkActivated(m_strAddress);
    else
        QLabel::keyPressEvent(pEvent);
}

void CLinkLabel::paintEvent(QPaintEvent* pEvent)
{
    QLabel::paintEvent(pEvent);
    if (hasFocus())
        DrawFocus(*this);
}

CBannerLabel::CBannerLabel(const QImage& image, QWidget* pParent) : QWidget(pParent), m_image(image)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize CBannerLabel::sizeHint() const
{
    return m_image.size();
}

void CBannerLabel::paintEvent(QPaintEvent*)
{
    // Scaled once per device pixel ratio, then blitted: a request repaints
    // the window, and the banner must not cost it a smooth scaling each time.
    const qreal dRatio = devicePixelRatioF();
    if (m_pixmap.isNull() || !qFuzzyCompare(m_pixmap.devicePixelRatio(), dRatio))
    {
        m_pixmap = QPixmap::fromImage(m_image.scaled(m_image.size() * dRatio, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation));
        m_pixmap.setDevicePixelRatio(dRatio);
    }
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_pixmap);
    }
    if (hasFocus())
        DrawFocus(*this);
}

void CBannerLabel::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        emit Clicked();
}

void CBannerLabel::keyPressEvent(QKeyEvent* pEvent)
{
    if (IsActivation(*pEvent))
        emit Clicked();
    else
        QWidget::keyPressEvent(pEvent);
}
