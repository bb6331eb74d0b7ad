#pragma once

// Shows the wait cursor over the whole application for the object's life, for work that
// may block the window's thread for a noticeable moment (a comment command waiting for a
// database another program holds locked). Construct one on the stack around that work;
// without a graphical application (tests, tools) it does nothing.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown = false;
};
