// The window's links: a text and a picture that open a web page, each one tab
// stop that Enter or Space activates, as Veyra.exe's link controls.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>

// A link text: blue and underlined as the desktop draws links.
class CLinkLabel : public QLabel
{
    Q_OBJECT
public:
    CLinkLabel(const QString& strText, const QString& strAddress, QWidget* pParent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QString m_strAddress;
};

// The banner picture, drawn smoothly at any scale.
class CBannerLabel : public QWidget
{
    Q_OBJECT
public:
    explicit CBannerLabel(const QImage& image, QWidget* pParent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    QImage m_image;
    QPixmap m_pixmap; // m_image at the last device pixel ratio painted
};
