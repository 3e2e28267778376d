#include "toolkit/window.h"

#include <ole2.h>
#include <richedit.h>

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "runtime/strings.h"
#include "toolkit/droptarget.h"
#include "toolkit/internal.h"
#include "toolkit/systray.h"

namespace kv {
namespace {

constexpr char kMdiChildClass[] = "MDI_ChildClass";
constexpr char kRichEditPrefix[] = "Rich";
constexpr int32_t kWindowGrowthStep = 16;
constexpr int32_t kNoEventType = -1;
constexpr DWORD kCentreBits = kWindowCentreOnScreen | kWindowCentreOnParent;
// ChangeWindowMessageFilterEx: Windows 7 and later, so looked up at run time.
using MessageFilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
constexpr DWORD kMessageFilterAllow = 1;

constexpr std::array<ACCEL, 2> kAccelerators = {{
    {FVIRTKEY | FNOINVERT, VK_TAB, kCommandFocusNext},
    {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, kCommandFocusPrevious},
}};

struct TrayEventType {
    UINT mouseMessage;
    int32_t type;
};
constexpr std::array<TrayEventType, 4> kTrayEventTypes = {{
    {WM_LBUTTONUP, kTrayEventLeftClick},
    {WM_RBUTTONUP, kTrayEventRightClick},
    {WM_LBUTTONDBLCLK, kTrayEventLeftDoubleClick},
    {WM_RBUTTONDBLCLK, kTrayEventRightDoubleClick},
}};

class AcceleratorTable {
  public:
    AcceleratorTable() = default;
    explicit AcceleratorTable(HACCEL handle) : handle_(handle) {}
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;
    AcceleratorTable(AcceleratorTable&& other) noexcept : handle_(other.handle_) {
        other.handle_ = nullptr;
    }
    AcceleratorTable& operator=(AcceleratorTable&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    ~AcceleratorTable() { Reset(); }

    HACCEL get() const { return handle_; }

  private:
    void Reset() {
        if (handle_)
            DestroyAcceleratorTable(handle_);
        handle_ = nullptr;
    }

    HACCEL handle_ = nullptr;
};

struct WindowRecord {
    HWND window = nullptr;
    AcceleratorTable accelerators;

    bool InUse() const { return window != nullptr; }
};

struct QueuedEvent {
    int32_t code;
    ObjectNumber window;
};

// A private message that the toolkit posted and its window has not received yet.
struct OwnPost {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;

    bool operator==(const OwnPost& other) const {
        return window == other.window && message == other.message && wParam == other.wParam &&
               lParam == other.lParam;
    }
};

class MessageHook {
  public:
    MessageHook() = default;
    MessageHook(const MessageHook&) = delete;
    MessageHook& operator=(const MessageHook&) = delete;
    ~MessageHook() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }

    void Install(int type, HOOKPROC procedure) {
        if (!hook_)
            hook_ = SetWindowsHookExA(type, procedure, nullptr, GetCurrentThreadId());
    }

  private:
    HHOOK hook_ = nullptr;
};

struct EventRecord {
    ObjectNumber object = 0;
    ObjectNumber window = kDynamicNumber;
    int32_t type = kNoEventType;
    int32_t pendingCode = 0;
    WPARAM rawWParam = 0;
    LPARAM rawLParam = 0;
    std::vector<QueuedEvent> queue;
    std::unique_ptr<DropRecord> drop;
};

void ReleaseWindowNumber(ObjectNumber number) {
    CloseWindow(number);
}

struct WindowLibrary {
    ObjectTable<WindowRecord> windows{kWindowGrowthStep, &ReleaseWindowNumber};
    EventRecord events;
    HINSTANCE instance = nullptr;
    HICON classIcon = nullptr;
    HCURSOR classCursor = nullptr;
    UINT taskbarCreatedMessage = 0;
    MessageFilterFunction allowMessage = nullptr;
    ControlMessageHandler controlHandler = nullptr;
    TaskbarCreatedHandler taskbarCreatedHandler = nullptr;
    std::vector<OwnPost> ownPosts;
    MessageHook postedMessageFilter;
};

WindowLibrary& Library() {
    static WindowLibrary library;
    return library;
}

EventRecord& Events() {
    return Library().events;
}

std::string WindowClassName(ObjectNumber number) {
    // Not snprintf: the exe would carry a whole printf engine for this one number.
    return Concat({"WindowClass_", DecimalText(number)});
}

HWND LookupWindow(ObjectNumber number) {
    WindowRecord* record = Library().windows.Lookup(number);
    return record ? record->window : nullptr;
}

// The window carrying the number property: `window` itself or its nearest ancestor.
HWND NumberedWindowOf(HWND window) {
    HWND numbered = window ? TopLevelWindowOf(window) : nullptr;
    return numbered && GetPropA(numbered, kPropertyWindowNumber) ? numbered : nullptr;
}

ObjectNumber PropertyNumber(HWND window) {
    return static_cast<ObjectNumber>(
               reinterpret_cast<intptr_t>(GetPropA(window, kPropertyWindowNumber))) -
           1;
}

void QueueEvent(int32_t code, ObjectNumber window) {
    std::vector<QueuedEvent>& queue = Events().queue;
    if (!queue.empty() && queue.back().code == code && queue.back().window == window)
        return;
    try {
        queue.push_back({code, window});
    } catch (const std::exception&) {
    }
}

void SetPendingEvent(int32_t code, ObjectNumber object, int32_t type) {
    EventRecord& events = Events();
    events.pendingCode = code;
    events.object = object;
    events.type = type;
}

// Only a record the drop support posted to `window` and has not handed out yet is taken: any
// other program can post these messages with whatever value it likes.
bool TakeDrop(HWND window, LPARAM lParam) {
    std::unique_ptr<DropRecord> record = TakePostedDrop(window, lParam);
    if (!record)
        return false;
    Events().drop = std::move(record);
    return true;
}

bool IsDropMessage(UINT message) {
    return message == kMessageWindowDrop || message == kMessageGadgetDrop;
}

bool TakeOwnPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::vector<OwnPost>& posts = Library().ownPosts;
    const auto post =
        std::find(posts.begin(), posts.end(), OwnPost{window, message, wParam, lParam});
    if (post == posts.end())
        return false;
    posts.erase(post);
    return true;
}

void ForgetOwnPosts(HWND window) {
    std::vector<OwnPost>& posts = Library().ownPosts;
    posts.erase(std::remove_if(posts.begin(), posts.end(),
                               [window](const OwnPost& post) { return post.window == window; }),
                posts.end());
}

// Messages whose parameters the toolkit reads as pointers or as its own records. Only the
// program's own thread sends them; Windows marshals none of them between processes, so from
// anyone else their values are made up.
bool IsOwnThreadMessage(UINT message) {
    return IsDestroyOrNotify(message) || message == kMessageTrayEvent ||
           message == kMessageGadgetEvent || IsDropMessage(message);
}

// A posted WM_NOTIFY, WM_DESTROY or WM_NCDESTROY never comes from the platform: whoever posted
// it (a list view frees its rows at WM_DESTROY), it is made harmless before any loop of this
// thread (the platform's menu and message box loops included) dispatches it.
LRESULT CALLBACK FilterPostedMessages(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        if (IsDestroyOrNotify(message.message)) {
            message.message = WM_NULL;
            message.wParam = 0;
            message.lParam = 0;
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

// What WindowEvent returns as a message that made no event: never a number that the program
// takes for an event, so a made-up message cannot repeat the last event's action.
bool IsEventCode(UINT message) {
    static constexpr int32_t kCodes[] = {kEventGadget,         kEventMenu,       kEventSysTray,
                                         kEventActivateWindow, kEventWindowDrop, kEventGadgetDrop,
                                         kEventCloseWindow,    kEventMoveWindow, kEventSizeWindow,
                                         kEventRepaint};
    return std::find(std::begin(kCodes), std::end(kCodes), static_cast<int32_t>(message)) !=
           std::end(kCodes);
}

// Events queued for a window that is gone would name whatever window takes its number next.
void DropQueuedEvents(ObjectNumber number) {
    std::vector<QueuedEvent>& queue = Events().queue;
    queue.erase(
        std::remove_if(queue.begin(), queue.end(),
                       [number](const QueuedEvent& event) { return event.window == number; }),
        queue.end());
}

int32_t TakeQueuedEvent() {
    EventRecord& events = Events();
    const QueuedEvent event = events.queue.front();
    events.queue.erase(events.queue.begin());
    events.window = event.window;
    events.pendingCode = 0;
    return event.code;
}

LRESULT OfferToGadgets(HWND control, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlMessageHandler handler = Library().controlHandler;
    if (!handler || !control)
        return kNotHandled;
    return handler(control, window, message, wParam, lParam);
}

// Removes what ties a window to its number before the window goes.
void DetachWindow(HWND window) {
    RemovePropA(window, kPropertyWindowNumber);
    if (RemovePropA(window, kPropertyDropTarget))
        RevokeDragDrop(window);
}

bool IsTabCandidate(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

BOOL CALLBACK CollectTabCandidate(HWND window, LPARAM list) {
    if (IsTabCandidate(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void MoveFocus(bool forward) {
    HWND active = GetActiveWindow();
    if (!active)
        return;
    HWND focus = GetFocus();
    HWND current = focus && IsChild(active, focus) ? focus : nullptr;
    HWND root = active;
    for (HWND w = current; w && w != active; w = GetParent(w)) {
        if (ClassOf(w) == kMdiChildClass) {
            root = w;
            break;
        }
    }
    std::vector<HWND> candidates;
    EnumChildWindows(root, &CollectTabCandidate, reinterpret_cast<LPARAM>(&candidates));
    if (candidates.empty())
        return;
    // A control made of child windows (an editable combo box) has the focus in a part of its own.
    while (current && current != root &&
           std::find(candidates.begin(), candidates.end(), current) == candidates.end()) {
        current = GetParent(current);
    }
    if (current == root)
        current = nullptr;
    auto position = std::find(candidates.begin(), candidates.end(), current);
    if (forward) {
        if (!current) {
            SetFocus(candidates.front());
        } else if (position != candidates.end()) {
            ++position;
            SetFocus(position == candidates.end() ? candidates.front() : *position);
        }
        return;
    }
    if (current && position != candidates.end() && position != candidates.begin()) {
        SetFocus(*(position - 1));
    } else {
        SetFocus(candidates.back());
    }
}

BOOL CALLBACK SendSysColorChange(HWND child, LPARAM) {
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

// Tab typed into a writable rich edit text stays there.
bool TabGoesToRichEdit() {
    auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    if (!down(VK_TAB) || down(VK_CONTROL) || down(VK_SHIFT) || down(VK_MENU))
        return false;
    HWND focus = GetFocus();
    if (!focus || ClassOf(focus).rfind(kRichEditPrefix, 0) != 0)
        return false;
    return (SendMessageA(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY) == 0;
}

HACCEL ActiveAccelerators() {
    HWND active = GetActiveWindow();
    if (!active || TabGoesToRichEdit() || !GetPropA(active, kPropertyWindowNumber))
        return nullptr;
    WindowRecord* record = Library().windows.Lookup(PropertyNumber(active));
    return record ? record->accelerators.get() : nullptr;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (OfferToGadgets(control, window, WM_COMMAND, wParam, lParam) != kNotHandled)
        return 0;
    if (control) {
        SetPendingEvent(kEventGadget, GetWindowLongPtrA(control, GWLP_ID), HIWORD(wParam));
    } else if (HIWORD(wParam) == 0) {
        SetPendingEvent(kEventMenu, static_cast<ObjectNumber>(wParam), kNoEventType);
    } else if (LOWORD(wParam) == kCommandFocusNext) {
        MoveFocus(true);
    } else if (LOWORD(wParam) == kCommandFocusPrevious) {
        MoveFocus(false);
    } else {
        SetPendingEvent(kEventMenu, LOWORD(wParam), kNoEventType);
    }
    return 0;
}

void OnTrayEvent(HWND window, WPARAM wParam, LPARAM lParam) {
    const ObjectNumber icon = SysTrayIconNumberOf(window, static_cast<UINT>(wParam));
    for (const TrayEventType& entry : kTrayEventTypes) {
        if (icon != kDynamicNumber && static_cast<UINT>(lParam) == entry.mouseMessage) {
            SetPendingEvent(kEventSysTray, icon, entry.type);
            return;
        }
    }
    Events().pendingCode = 0;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (InSendMessage() && IsOwnThreadMessage(message))
        return 0;
    // A list being filled notifies its parent of every row, and the gadgets answer notifications
    // without the window's number, whose property read is a round trip to the server under Wine.
    if (message == WM_NOTIFY) {
        HWND from = lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
        LRESULT result = OfferToGadgets(from, window, message, wParam, lParam);
        return result != kNotHandled ? result : DefWindowProcA(window, message, wParam, lParam);
    }
    HWND numbered = NumberedWindowOf(window);
    ObjectNumber number = numbered ? PropertyNumber(numbered) : kDynamicNumber;
    Events().window = number;

    switch (message) {
        case WM_COMMAND:
            return OnCommand(window, wParam, lParam);
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: {
            LRESULT result =
                OfferToGadgets(reinterpret_cast<HWND>(lParam), window, message, wParam, lParam);
            if (result != kNotHandled)
                return result;
            break;
        }
        case WM_CLOSE:
        case WM_MOVE:
            if (numbered)
                QueueEvent(message == WM_CLOSE ? kEventCloseWindow : kEventMoveWindow, number);
            return 0;
        case WM_SIZE:
            if (numbered && numbered != window)
                return 1;
            if (!numbered || wParam == SIZE_MINIMIZED)
                break;
            QueueEvent(kEventSizeWindow, number);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam))
                QueueEvent(kEventActivateWindow, number);
            return 1;
        case WM_ERASEBKGND:
            QueueEvent(kEventRepaint, number);
            break;
        case WM_SYSCOLORCHANGE:
            EnumChildWindows(window, &SendSysColorChange, 0);
            break;
        case WM_NCDESTROY:
            ForgetPostedDrops(window);
            ForgetOwnPosts(window);
            // Destroyed without CloseWindow (with its owner, say): the number goes with it.
            if (numbered == window && LookupWindow(number) == window) {
                DetachWindow(window);
                Library().windows.Release(number);
                DropQueuedEvents(number);
            }
            break;
        case kMessageTrayCallback:
            PostOwnMessage(window, kMessageTrayEvent, wParam, lParam);
            return 0;
        case kMessageTrayEvent:
            if (TakeOwnPost(window, message, wParam, lParam))
                OnTrayEvent(window, wParam, lParam);
            return 0;
        case kMessageGadgetEvent:
            if (TakeOwnPost(window, message, wParam, lParam)) {
                SetPendingEvent(kEventGadget, static_cast<ObjectNumber>(wParam),
                                static_cast<int32_t>(lParam));
            }
            return 0;
        case kMessageWindowDrop:
            if (TakeDrop(window, lParam))
                Events().pendingCode = kEventWindowDrop;
            return 0;
        case kMessageGadgetDrop:
            if (TakeDrop(window, lParam))
                SetPendingEvent(kEventGadgetDrop, static_cast<ObjectNumber>(wParam), kNoEventType);
            return 0;
        default:
            if (message == Library().taskbarCreatedMessage && message != 0) {
                if (Library().taskbarCreatedHandler)
                    Library().taskbarCreatedHandler(window);
                return 0;
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass(const std::string& name) {
    const WindowLibrary& library = Library();
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = library.instance;
    windowClass.hIcon = library.classIcon;
    windowClass.hCursor = library.classCursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = name.c_str();
    return RegisterClassA(&windowClass) != 0;
}

POINT WindowPosition(int32_t x, int32_t y, DWORD flags, SIZE* outer, HWND parent) {
    if ((x == kKeepValue || y == kKeepValue) && !(flags & kCentreBits)) {
        return {CW_USEDEFAULT, CW_USEDEFAULT};
    }
    if (flags & kWindowCentreOnScreen) {
        int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
        int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
        outer->cx = std::min<LONG>(outer->cx, screenWidth);
        outer->cy = std::min<LONG>(outer->cy, screenHeight);
        return {(screenWidth - outer->cx) / 2, (screenHeight - outer->cy) / 2};
    }
    if (flags & kWindowCentreOnParent) {
        HWND reference = parent ? parent : GetActiveWindow();
        RECT area;
        if (reference && GetWindowRect(reference, &area)) {
            return {std::max<LONG>(0, area.left + (area.right - area.left - outer->cx) / 2),
                    std::max<LONG>(0, area.top + (area.bottom - area.top - outer->cy) / 2)};
        }
    }
    return {x, y};
}

// What is left of a wait of `milliseconds` begun at `start`; negative: without limit.
int32_t TimeLeft(int32_t milliseconds, DWORD start) {
    if (milliseconds <= 0)
        return milliseconds;
    const DWORD passed = GetTickCount() - start;
    return passed >= static_cast<DWORD>(milliseconds) ? 0
                                                      : milliseconds - static_cast<int32_t>(passed);
}

// False when no message came within `milliseconds` (negative: without limit).
bool FetchMessage(int32_t milliseconds, MSG* message) {
    if (milliseconds < 0) {
        GetMessageA(message, nullptr, 0, 0);
        return true;
    }
    if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD))
        return true;
    if (milliseconds == 0 ||
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds),
                                  QS_ALLINPUT) == WAIT_TIMEOUT) {
        return false;
    }
    return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

}  // namespace

void PostOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageA(window, message, wParam, lParam))
        return;
    try {
        Library().ownPosts.push_back({window, message, wParam, lParam});
    } catch (const std::exception&) {
    }
}

void SetControlMessageHandler(ControlMessageHandler handler) {
    Library().controlHandler = handler;
}

void SetTaskbarCreatedHandler(TaskbarCreatedHandler handler) {
    Library().taskbarCreatedHandler = handler;
}

void InitWindowLibrary(HINSTANCE instance) {
    WindowLibrary& library = Library();
    library.instance = instance;
    library.classIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    library.classCursor = LoadCursorA(nullptr, IDC_ARROW);
    library.taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    library.postedMessageFilter.Install(WH_GETMESSAGE, FilterPostedMessages);
    if (const FARPROC procedure =
            GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")) {
        library.allowMessage =
            reinterpret_cast<MessageFilterFunction>(reinterpret_cast<void (*)()>(procedure));
    }
}

intptr_t OpenWindow(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height,
                    const char* title, uint32_t flags, HWND parent) {
    WindowLibrary& library = Library();
    const bool dynamic = number == kDynamicNumber;
    WindowRecord* record = library.windows.Allocate(number, &number);
    if (!record)
        return 0;
    const std::string className = WindowClassName(number);
    RegisterWindowClass(className);

    if ((flags & ~(kCentreBits | kWindowInvisible)) == 0)
        flags |= WS_CAPTION;
    const bool invisible = (flags & kWindowInvisible) != 0;
    flags &= ~kWindowInvisible;
    const DWORD style = flags & ~kCentreBits;

    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, style, FALSE);
    SIZE outer = {frame.right - frame.left, frame.bottom - frame.top};
    POINT position = WindowPosition(x, y, flags, &outer, parent);

    HWND window =
        CreateWindowExA(0, className.c_str(), title ? title : "", style, position.x, position.y,
                        outer.cx, outer.cy, parent, nullptr, library.instance, nullptr);
    if (!window) {
        UnregisterClassA(className.c_str(), library.instance);
        library.windows.Release(number);
        return 0;
    }
    record->window = window;
    SetPropA(window, kPropertyWindowNumber,
             reinterpret_cast<HANDLE>(static_cast<intptr_t>(number) + 1));
    // An elevated program hears a restarted shell only when it lets the broadcast in.
    if (library.allowMessage && library.taskbarCreatedMessage)
        library.allowMessage(window, library.taskbarCreatedMessage, kMessageFilterAllow, nullptr);
    if (!invisible) {
        ShowWindow(window, (style & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                           : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                   : SW_SHOWNORMAL);
    }
    std::array<ACCEL, 2> entries = kAccelerators;
    record->accelerators =
        AcceleratorTable(CreateAcceleratorTableA(entries.data(), static_cast<int>(entries.size())));
    return dynamic ? number : reinterpret_cast<intptr_t>(window);
}

int32_t CloseWindow(ObjectNumber number) {
    WindowLibrary& library = Library();
    HWND window = LookupWindow(number);
    if (!window)
        return 0;
    if (HWND owner = GetWindow(window, GW_OWNER))
        SetActiveWindow(owner);
    DetachWindow(window);
    DestroyWindow(window);
    UnregisterClassA(WindowClassName(number).c_str(), library.instance);
    library.windows.Release(number);
    DropQueuedEvents(number);
    return 1;
}

HWND WindowID(ObjectNumber number) {
    return LookupWindow(number);
}

int32_t WaitWindowEvent() {
    return WindowEvent(-1);
}

int32_t WindowEvent(int32_t milliseconds) {
    EventRecord& events = Events();
    events.drop.reset();
    events.type = kNoEventType;
    if (!events.queue.empty())
        return TakeQueuedEvent();

    const DWORD start = GetTickCount();
    for (;;) {
        MSG message = {};
        if (!FetchMessage(TimeLeft(milliseconds, start), &message))
            return 0;
        HACCEL accelerators = ActiveAccelerators();
        if (!accelerators || !TranslateAcceleratorA(GetActiveWindow(), accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (events.pendingCode) {
            int32_t code = events.pendingCode;
            events.pendingCode = 0;
            return code;
        }
        // A message whose dispatch queued an event (a posted WM_CLOSE) is that event, once.
        if (!events.queue.empty())
            return TakeQueuedEvent();
        // A private message that carried nothing of ours came from another program: no event.
        if (!IsEventCode(message.message) && !IsOwnThreadMessage(message.message)) {
            events.rawWParam = message.wParam;
            events.rawLParam = message.lParam;
            return static_cast<int32_t>(message.message);
        }
    }
}

ObjectNumber EventGadget() {
    return Events().object;
}
ObjectNumber EventMenu() {
    return Events().object;
}
int32_t EventType() {
    return Events().type;
}
ObjectNumber EventWindow() {
    return Events().window;
}
WPARAM EventWParam() {
    return Events().rawWParam;
}
LPARAM EventLParam() {
    return Events().rawLParam;
}
const DropRecord* EventDropData() {
    return Events().drop.get();
}

int32_t WindowHeight(ObjectNumber number) {
    HWND window = LookupWindow(number);
    if (!window)
        return 0;
    RECT client;
    GetClientRect(window, &client);
    return client.bottom - client.top + (GetMenu(window) ? GetSystemMetrics(SM_CYMENU) : 0);
}

int32_t WindowX(ObjectNumber number) {
    HWND window = LookupWindow(number);
    RECT frame;
    return window && GetWindowRect(window, &frame) ? frame.left : 0;
}

int32_t WindowY(ObjectNumber number) {
    HWND window = LookupWindow(number);
    RECT frame;
    return window && GetWindowRect(window, &frame) ? frame.top : 0;
}

int32_t ResizeWindow(ObjectNumber number, int32_t x, int32_t y, int32_t width, int32_t height) {
    HWND window = LookupWindow(number);
    if (!window)
        return 0;
    RECT frame;
    GetWindowRect(window, &frame);
    if (x == kKeepValue)
        x = frame.left;
    if (y == kKeepValue)
        y = frame.top;
    RECT inner = {0, 0, width, height};
    if (width == kKeepValue || height == kKeepValue) {
        GetClientRect(window, &inner);
        if (width != kKeepValue)
            inner.right = inner.left + width;
        if (height != kKeepValue)
            inner.bottom = inner.top + height;
    }
    const BOOL menu = height == kKeepValue && GetMenu(window);
    AdjustWindowRectEx(&inner, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), menu,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    return SetWindowPos(window, nullptr, x, y, inner.right - inner.left, inner.bottom - inner.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t DisableWindow(ObjectNumber number, int32_t state) {
    HWND window = LookupWindow(number);
    return window ? EnableWindow(window, state ? FALSE : TRUE) : 0;
}

int32_t HideWindow(ObjectNumber number, int32_t state) {
    HWND window = LookupWindow(number);
    if (!window)
        return 0;
    if (state) {
        if (HWND owner = GetWindow(window, GW_OWNER))
            SetActiveWindow(owner);
        return ShowWindow(window, SW_HIDE);
    }
    return ShowWindow(window, IsZoomed(window)   ? SW_SHOWMAXIMIZED
                              : IsIconic(window) ? SW_SHOWMINIMIZED
                                                 : SW_SHOWNORMAL);
}

HWND TopLevelWindowOf(HWND window) {
    while (!GetPropA(window, kPropertyWindowNumber)) {
        const HWND parent = GetParent(window);
        if (!parent)
            break;
        window = parent;
    }
    return window;
}

void CloseAllWindows() {
    Library().windows.ForEachNumber(CloseWindow);
    Events().drop.reset();
}

}  // namespace kv
