#pragma once
#include <QMetaObject>
#include <QtGlobal>

#include <functional>

class QScrollBar;

// A scroll bar whose Max, Value, SmallChange and LargeChange are 16-bit whole numbers, as
// the viewer's layout expects: a value beyond -32768..32767 fails with error 6 "Overflow"
// and leaves the bar as it was, so an enlarged picture too wide for the bar is refused
// instead of being scrolled wrongly. The minimum is always 0. Every change of Value, by
// code or by the user, raises the Change handler; a dragged thumb changes Value only when
// it is released. Wrap a QScrollBar that a window owns and set the handler with OnChange.
class ScrollBar16 {
public:
    explicit ScrollBar16(QScrollBar* bar);
    ~ScrollBar16();
    ScrollBar16(const ScrollBar16&) = delete;
    ScrollBar16& operator=(const ScrollBar16&) = delete;

    int Max() const;
    int Value() const;
    int SmallChange() const;
    int LargeChange() const;
    bool Visible() const;

    // Each setter throws AppError 6 for a value outside the 16-bit range. A Max below the
    // current Value pulls Value down to it (and raises Change); a Value beyond 0..Max is
    // held at the nearer end.
    void SetMax(qint64 value);
    void SetValue(qint64 value);
    void SetSmallChange(qint64 value);
    void SetLargeChange(qint64 value);
    void SetVisible(bool visible);

    void OnChange(std::function<void()> handler) { m_change = std::move(handler); }
    QScrollBar* widget() const { return m_bar; }

    // Throws AppError 6 "Overflow" unless value fits a 16-bit signed whole number.
    static int Check16(qint64 value, const char* property);

private:
    QScrollBar* m_bar;
    std::function<void()> m_change;
    QMetaObject::Connection m_connection;
};
