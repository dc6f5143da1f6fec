// The window's links: a text and a picture that open a web page, each one tab
// stop that Enter or Space activates, as Veyra.exe's link controls.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>

// A link text: blue and underlined as the desktop draws links.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString& text, const QString& address, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_address;
};

// The banner picture, drawn smoothly at any scale.
class BannerLabel : public QWidget
{
    Q_OBJECT
public:
    explicit BannerLabel(const QImage& image, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_image;
    QPixmap m_pixmap; // m_image at the last device pixel ratio painted
};
