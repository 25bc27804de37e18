// The thread's message queue in Windows' order: posted messages, then the
// quit request, then input, then WM_PAINT for a window with an update
// region, then WM_TIMER for a due timer. Paint and timer messages are made
// up when asked for, so there is never more than one pending per window or
// per timer, and a tick's paint is always taken before the next tick.
#include "platform/posix/backend.h"
#include "platform/posix/signals.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace w32 {
namespace {

constexpr UINT timerMinimum = 10;  // USER_TIMER_MINIMUM
constexpr UINT timerMaximum = 0x7FFFFFFF;
constexpr LPARAM htClient = 1;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    TIMERPROC proc;
    uint64_t due;
};

struct InputMessage {
    MSG msg;
    unsigned character;  // what TranslateMessage makes of a key press; 0 for none
};

struct Queue {
    std::deque<MSG> posted;
    std::deque<InputMessage> input;
    std::vector<Timer> timers;
    std::set<TIMERPROC> timerProcs;  // DispatchMessageA calls only procedures given to SetTimer
    UINT_PTR nextThreadTimer = 0x7FFF;
    bool quitPending = false;
    int quitCode = 0;
    MSG lastKey{};
    unsigned lastKeyChar = 0;
    uint64_t clockOffset = 0;
};

Queue& queue()
{
    static Queue q;
    return q;
}

bool MatchWindow(HWND filter, HWND target)
{
    if (!filter) return true;
    if (filter == (HWND)-1) return target == nullptr;
    if (!target) return false;
    return target == filter || IsDescendantOf(target, filter);
}

bool MatchRange(UINT message, UINT first, UINT last)
{
    if (!first && !last) return true;
    return message >= first && message <= last;
}

bool IsShown(Window* w)
{
    while (w) {
        if (!w->visible) return false;
        if (w->foreignParent || !w->parent) return true;
        w = FindWindowRecord(w->parent);
    }
    return false;
}

bool IsMouseMessage(UINT m)
{
    return m == WM_MOUSEMOVE || m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
           m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP;
}

bool IsKeyDown(UINT m)
{
    return m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
}

void Stamp(MSG* msg)
{
    msg->time = (DWORD)NowMs();
    POINT pt{0, 0};
    be::GetCursorPos(&pt);
    msg->pt = pt;
}

bool TakeMessage(MSG* out, HWND hwnd, UINT first, UINT last, bool remove)
{
    Queue& q = queue();

    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!MatchWindow(hwnd, it->hwnd) || !MatchRange(it->message, first, last)) continue;
        *out = *it;
        if (remove) q.posted.erase(it);
        return true;
    }

    if (q.quitPending && MatchRange(WM_QUIT, first, last)) {
        *out = MSG{nullptr, WM_QUIT, (WPARAM)q.quitCode, 0, 0, {0, 0}};
        Stamp(out);
        if (remove) q.quitPending = false;
        return true;
    }

    for (auto it = q.input.begin(); it != q.input.end(); ++it) {
        if (!MatchWindow(hwnd, it->msg.hwnd) || !MatchRange(it->msg.message, first, last)) continue;
        *out = it->msg;
        unsigned character = it->character;
        if (!remove) return true;
        q.input.erase(it);
        if (IsKeyDown(out->message)) {
            q.lastKey = *out;
            q.lastKeyChar = character;
        }
        // Windows asks the window under the pointer for its cursor while it
        // takes a mouse message off the queue.
        if (IsMouseMessage(out->message) && FindWindowRecord(out->hwnd))
            SendMessageA(out->hwnd, WM_SETCURSOR, (WPARAM)out->hwnd, MAKELPARAM(htClient, out->message));
        return true;
    }

    if (MatchRange(WM_PAINT, first, last)) {
        for (Window* w : AllWindows()) {
            if (!w->updatePending || w->destroying || !IsShown(w) || !MatchWindow(hwnd, w->handle)) continue;
            *out = MSG{w->handle, WM_PAINT, 0, 0, 0, {0, 0}};
            Stamp(out);
            return true;  // stays until the window is validated
        }
    }

    if (MatchRange(WM_TIMER, first, last)) {
        uint64_t now = NowMs();
        for (Timer& t : q.timers) {
            if (t.due > now || !MatchWindow(hwnd, t.hwnd)) continue;
            *out = MSG{t.hwnd, WM_TIMER, t.id, (LPARAM)t.proc, 0, {0, 0}};
            Stamp(out);
            if (remove) t.due = now + t.period;
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer that the filter would let through;
// -1 when there is none.
int NextTimerDelay(HWND hwnd, UINT first, UINT last)
{
    if (!MatchRange(WM_TIMER, first, last)) return -1;
    uint64_t now = NowMs();
    int64_t best = -1;
    for (const Timer& t : queue().timers) {
        if (!MatchWindow(hwnd, t.hwnd)) continue;
        int64_t delay = t.due > now ? (int64_t)(t.due - now) : 0;
        if (best < 0 || delay < best) best = delay;
    }
    return (int)best;
}

bool IsValidFilter(HWND hwnd)
{
    return !hwnd || hwnd == (HWND)-1 || FindWindowRecord(hwnd);
}

}  // namespace

uint64_t NowMs()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    // Starts at a day so that a fresh timer's due time is never 0.
    return 86400000ull + (uint64_t)duration_cast<milliseconds>(steady_clock::now() - start).count() +
           queue().clockOffset;
}

void AdvanceClock(uint64_t ms)
{
    queue().clockOffset += ms;
}

void QueueInput(const MSG& msg, unsigned character)
{
    if (!FindWindowRecord(msg.hwnd)) return;
    queue().input.push_back(InputMessage{msg, character});
}

void PurgeWindowMessages(HWND hwnd)
{
    Queue& q = queue();
    q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                   q.posted.end());
    q.input.erase(std::remove_if(q.input.begin(), q.input.end(),
                                 [&](const InputMessage& m) { return m.msg.hwnd == hwnd; }),
                  q.input.end());
    q.timers.erase(std::remove_if(q.timers.begin(), q.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                   q.timers.end());
}

bool QuitPending()
{
    return queue().quitPending;
}

void ResetQueue()
{
    Queue& q = queue();
    uint64_t offset = q.clockOffset;
    q = Queue{};
    q.clockOffset = offset;
}

}  // namespace w32

using namespace w32;

// The backend's wait also wakes on an ending signal, which becomes WM_CLOSE.
static void WaitForEventsAndSignals(int timeoutMs)
{
    be::WaitForEvents(timeoutMs);
    TakeEndingSignals();
}

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    if (!lpMsg || !IsValidFilter(hWnd)) return FALSE;
    WaitForEventsAndSignals(0);
    return TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

// Blocks in the backend until input arrives or the next timer is due; a
// thread with nothing to do uses no processor time.
BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (!lpMsg || !IsValidFilter(hWnd)) return -1;
    WaitForEventsAndSignals(0);
    while (!TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
        WaitForEventsAndSignals(NextTimerDelay(hWnd, wMsgFilterMin, wMsgFilterMax));
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || !IsKeyDown(lpMsg->message)) return FALSE;
    Queue& q = queue();
    const MSG& k = q.lastKey;
    if (q.lastKeyChar && k.hwnd == lpMsg->hwnd && k.message == lpMsg->message && k.wParam == lpMsg->wParam &&
        k.lParam == lpMsg->lParam && k.time == lpMsg->time) {
        UINT charMessage = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        PostMessageA(lpMsg->hwnd, charMessage, q.lastKeyChar, lpMsg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        // Only a procedure that was given to SetTimer is ever called.
        TIMERPROC proc = (TIMERPROC)lpMsg->lParam;
        if (!queue().timerProcs.count(proc)) return 0;
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, (DWORD)NowMs());
        return 0;
    }
    Window* w = FindWindowRecord(lpMsg->hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd && !FindWindowRecord(hWnd)) return FALSE;  // other clients' windows cannot be posted to
    MSG msg{hWnd, Msg, wParam, lParam, 0, {0, 0}};
    Stamp(&msg);
    queue().posted.push_back(msg);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w || !w->proc) return 0;
    return w->proc(hWnd, Msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int nExitCode)
{
    queue().quitPending = true;
    queue().quitCode = nExitCode;
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    if (hWnd && !FindWindowRecord(hWnd)) return 0;
    Queue& q = queue();
    if (!hWnd) {
        // A thread timer gets a fresh id unless an existing one is renewed.
        bool known = std::any_of(q.timers.begin(), q.timers.end(),
                                 [&](const Timer& t) { return !t.hwnd && t.id == nIDEvent; });
        if (!known || !nIDEvent) nIDEvent = q.nextThreadTimer++;
    }
    uElapse = std::clamp(uElapse, timerMinimum, timerMaximum);
    Timer timer{hWnd, nIDEvent, uElapse, lpTimerFunc, NowMs() + uElapse};
    if (lpTimerFunc) q.timerProcs.insert(lpTimerFunc);
    for (Timer& t : q.timers) {
        if (t.hwnd == hWnd && t.id == nIDEvent) {
            t = timer;
            return nIDEvent;
        }
    }
    q.timers.push_back(timer);
    return nIDEvent;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    auto& timers = queue().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = FindWindowRecord(hWnd);
    if (!w) return 0;
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        Brush* brush = CheckBrush(w->cls->wc.hbrBackground);
        if (!brush) return 0;
        Dc* dc = CheckDc((HDC)wParam);
        RECT r{0, 0, w->width, w->height};
        if (dc && dc->clipped) r = dc->clip;
        FillWindowRect(w, r, brush);
        return 1;
    }
    case WM_SETCURSOR:
        // A child lets its parent decide first, then falls back to its class cursor.
        if ((w->style & WS_CHILD) && !w->foreignParent && FindWindowRecord(w->parent) &&
            SendMessageA(w->parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        if ((w = FindWindowRecord(hWnd)) && LOWORD(lParam) == htClient && w->cls->wc.hCursor) {
            SetCursor(w->cls->wc.hCursor);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) PostMessageA(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETTEXT:
        w->title = lParam ? (const char*)lParam : "";
        be::SetNativeTitle(w);
        return TRUE;
    case WM_GETTEXT: {
        if (!wParam || !lParam) return 0;
        size_t n = std::min((size_t)wParam - 1, w->title.size());
        std::copy_n(w->title.data(), n, (char*)lParam);
        ((char*)lParam)[n] = 0;
        return (LRESULT)n;
    }
    default:
        return 0;
    }
}

}  // extern "C"
