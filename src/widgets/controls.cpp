#include "controls.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(const QColor& background, QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

ValueLabel::ValueLabel(const QString& caption, QWidget* parent)
    : QLabel(parent)
    , m_caption(caption)
{
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setTextFormat(Qt::PlainText);
    setAccessibleName(m_caption);
}

void ValueLabel::setValue(const QString& value)
{
    setText(value);
    setAccessibleName(value.isEmpty() ? m_caption : m_caption + QStringLiteral(": ") + value);
}

LineShape::LineShape(const QColor& colour, int borderWidth, bool outline, QWidget* parent)
    : QWidget(parent)
    , m_colour(colour)
    , m_borderWidth(borderWidth)
    , m_outline(outline)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_outline) {
        painter.fillRect(rect(), m_colour);
        return;
    }
    const int w = m_borderWidth;
    painter.fillRect(0, 0, width(), w, m_colour);
    painter.fillRect(0, height() - w, width(), w, m_colour);
    painter.fillRect(0, 0, w, height(), m_colour);
    painter.fillRect(width() - w, 0, w, height(), m_colour);
}
