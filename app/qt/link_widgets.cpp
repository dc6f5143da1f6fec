#include "app/qt/link_widgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace
{
bool isActivation(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Space || event.key() == Qt::Key_Return ||
           event.key() == Qt::Key_Enter;
}

void drawFocus(QWidget& widget)
{
    QStylePainter painter(&widget);
    QStyleOptionFocusRect option;
    option.initFrom(&widget);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
} // namespace

LinkLabel::LinkLabel(const QString& text, const QString& address, QWidget* parent)
    : QLabel(parent), m_address(address)
{
    setTextFormat(Qt::RichText);
    setText(QString("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), text.toHtmlEscaped()));
    // The mouse clicks the link; the keyboard reaches the whole label in one
    // tab stop rather than stepping through its one link.
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(address);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (isActivation(*event))
        emit linkActivated(m_address);
    else
        QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (hasFocus())
        drawFocus(*this);
}

BannerLabel::BannerLabel(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BannerLabel::sizeHint() const
{
    return m_image.size();
}

void BannerLabel::paintEvent(QPaintEvent*)
{
    // Scaled once per device pixel ratio, then blitted: a request repaints
    // the window, and the banner must not cost it a smooth scaling each time.
    const qreal ratio = devicePixelRatioF();
    if (m_pixmap.isNull() || !qFuzzyCompare(m_pixmap.devicePixelRatio(), ratio))
    {
        m_pixmap = QPixmap::fromImage(m_image.scaled(m_image.size() * ratio, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation));
        m_pixmap.setDevicePixelRatio(ratio);
    }
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_pixmap);
    }
    if (hasFocus())
        drawFocus(*this);
}

void BannerLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void BannerLabel::keyPressEvent(QKeyEvent* event)
{
    if (isActivation(*event))
        emit clicked();
    else
        QWidget::keyPressEvent(event);
}
