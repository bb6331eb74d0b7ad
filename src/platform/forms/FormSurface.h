#pragma once
#include <QWidget>

// The client area of a form that draws on its own surface between its child controls
// (the splitter bars) and hears the mouse there: presses, moves (also without a button
// held, so hovering can be noticed) and releases, in pixels, plus its paint event.
class FormSurface : public QWidget {
    Q_OBJECT
public:
    explicit FormSurface(QWidget* parent = nullptr);

Q_SIGNALS:
    // Buttons and shift as MouseButtonCodes and ShiftCodes (below).
    void MouseDown(int button, int shift, QPointF pos);
    void MouseMove(int button, int shift, QPointF pos);
    void MouseUp(int button, int shift, QPointF pos);
    void Paint(QPainter& painter);
    void Resized();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// The classic button codes of a mouse event, and the bits of its shift state.
namespace MouseButtonCodes {
constexpr int Left = 1;
constexpr int Right = 2;
constexpr int Middle = 4;
}
namespace ShiftCodes {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
}

// Classic button and shift codes of a Qt mouse event.
int MouseButtonCode(Qt::MouseButton button);
int MouseButtonsCode(Qt::MouseButtons buttons);
int ShiftCode(Qt::KeyboardModifiers modifiers);
