#pragma once

#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QWidget>

// Escape anywhere in the window runs its closing command ("Avbryt", "Stäng").
template<typename Window, typename Command>
void closeOnEscape(Window* window, Command command)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, command);
}

// A plain coloured area that holds other controls and tells which mouse button
// went down over it (not over the controls it holds).
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(const QColor& background, QWidget* parent = nullptr);

signals:
    void mouseDown(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A label that reports a click of the left mouse button.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// A value under its caption, which the operator can select with the mouse. A
// screen reader says the caption with the value, as the eye reads them
// together, and the caption alone while there is no value.
class ValueLabel : public QLabel
{
    Q_OBJECT

public:
    ValueLabel(const QString& caption, QWidget* parent = nullptr);

    void setValue(const QString& value);

private:
    QString m_caption;
};

// A drawn line or rectangle outline; it takes no mouse input.
class LineShape : public QWidget
{
    Q_OBJECT

public:
    LineShape(const QColor& colour, int borderWidth, bool outline, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
    int m_borderWidth;
    bool m_outline;
};
