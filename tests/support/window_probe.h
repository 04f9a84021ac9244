// Watching the capture window of a bridge from the operation's own thread,
// counting what a process holds (GDI objects, windows), reading the operation log.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

// Live GDI objects of this process. Wine answers GetObjectType for a handle
// given by its table index alone, so walking the table counts them (its
// GetGuiResources always answers 0). Window DCs and their clip regions are
// counted apart: Wine's DC cache keeps a varying few of them between calls.
struct GdiCount {
    int objects = 0;
    int cachedDcs = 0;
};
GdiCount LiveGdiObjects();
// True when nothing grew: the same objects, and window DCs within the few the
// cache may keep (a leak per operation over many operations exceeds that).
bool SameGdiObjects(const GdiCount& before, const GdiCount& after);
// Windows of this process, children included.
int LiveWindows();

// The operation log that both libraries write, "kavro_biometria.log" in the
// user's profile folder: its path, its size now, and what was added since a
// size (read from there on: the log of a machine that has run many tests is
// long).
std::string OperationLogPath();
size_t OperationLogSize();
std::string OperationLogSince(size_t size);

// The message by which a DigitalPersona run ends.
constexpr UINT kFinishMessage = 2029;

// Watches the capture window from the operation's own thread: a message hook
// sees every message the window's loop takes, so nothing has to sleep or poll.
class CaptureWindowProbe {
public:
    struct Child {
        std::string className, text;
        RECT rect;
        int id;
    };
    struct Seen {
        HWND frame = nullptr, imagePane = nullptr;
        RECT rect{};
        LONG style = 0, exStyle = 0;
        std::string title;
        std::vector<Child> children;
        // After a forced repaint: pixels of the logo's square that are not white,
        // and the colour of a corner that the logo does not reach.
        int logoPixels = 0;
        COLORREF corner = 0;
        ULONGLONG clickedAt = 0, destroyedAt = 0;
        // Pixels that were not white over the image pane when the window
        // procedure's finish message arrived (sampled one in 64).
        int inkAtFinish = 0;
    };

    // What the probe does to the window as soon as it shows.
    enum class Action {
        kNothing,
        kPressCancel,  // clicks "Cancelar"
        kPostClose,    // posts WM_CLOSE, as Alt+F4 and the taskbar's "Close window" do
        kSendClose,    // sends WM_CLOSE from another thread, as another program does
        kEndSession,   // WM_QUERYENDSESSION, then WM_ENDSESSION, sent as a logoff sends them
        kDestroy,      // the host destroys the frame
        kQuit,         // the host's PostQuitMessage(7) on the operation's thread
    };
    explicit CaptureWindowProbe(Action action);
    // With `pressCancel`, clicks "Cancelar" as soon as a window shows.
    explicit CaptureWindowProbe(bool pressCancel = false)
        : CaptureWindowProbe(pressCancel ? Action::kPressCancel : Action::kNothing) {}
    ~CaptureWindowProbe();
    CaptureWindowProbe(const CaptureWindowProbe&) = delete;
    CaptureWindowProbe& operator=(const CaptureWindowProbe&) = delete;

    int windowsSeen() const { return m_windowsSeen; }
    const Seen& last() const { return m_last; }
    // Every text the prompt line showed, in order, each change once.
    const std::vector<std::string>& prompts() const { return m_prompts; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Destruction(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Texts(int code, WPARAM wParam, LPARAM lParam);
    void look(HWND frame);

    void act(HWND frame, HWND cancel);

    Action m_action;
    std::thread m_sender;  // sends the messages of another thread or program
    HHOOK m_hook = nullptr;
    HHOOK m_destruction = nullptr;
    HHOOK m_texts = nullptr;
    HWND m_current = nullptr;
    int m_windowsSeen = 0;
    Seen m_last;
    std::vector<std::string> m_prompts;
};
