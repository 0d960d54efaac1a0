#pragma once
// The hourglass for a long operation, as a scoped guard: every way out of the
// scope, an error included, puts the pointer back. Guards nest.
namespace velk {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_ = false;
};

// The arrow while a question waits for its answer, over any hourglass; what was there
// comes back with the answer.
class ArrowWhileAsking {
public:
    ArrowWhileAsking();
    ~ArrowWhileAsking();
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool active_ = false;
};

}  // namespace velk
