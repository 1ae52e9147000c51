#include "ui/main/TrayIcon.h"

#include <windowsx.h>

#include <cstring>
#include <string>

#include "monitor/WideText.h"

namespace corvale {
namespace {

static_assert(tray_event::kContextMenu == WM_CONTEXTMENU && tray_event::kLeftButtonUp == WM_LBUTTONUP &&
              tray_event::kLeftDoubleClick == WM_LBUTTONDBLCLK && tray_event::kRightButtonUp == WM_RBUTTONUP &&
              tray_event::kSelect == NIN_SELECT && tray_event::kKeySelect == NIN_KEYSELECT);

constexpr UINT kBalloonTimeoutMs = 10000;

// The text into a fixed field of the record; a text too long for it ends in "...".
template <std::size_t N>
void CopyText(wchar_t (&field)[N], std::string_view utf8) {
    const std::wstring text = Widen(FitWithEllipsis(utf8, N - 1));
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.c_str(), text.size() * sizeof(wchar_t));
}

}  // namespace

TrayIcon::TrayIcon(UINT id, UINT callbackMessage, UINT_PTR retryTimerId)
    : ShellCall([](DWORD message, NOTIFYICONDATAW* data) { return Shell_NotifyIconW(message, data); }),
      retryTimerId_(retryTimerId) {
    data_.cbSize = sizeof data_;
    data_.uID = id;
    // The current version of the interface, in which the shell shows our tip only when
    // asked to and keeps balloons out of the user's quiet time.
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data_.uCallbackMessage = callbackMessage;
}

TrayIcon::~TrayIcon() { Remove(); }

bool TrayIcon::Add(HWND owner, HICON icon, std::string_view tip) {
    data_.hWnd = owner;
    data_.hIcon = icon;
    CopyText(data_.szTip, tip);
    wanted_ = true;
    TryAdd();
    return shown_;
}

void TrayIcon::TryAdd() {
    if (shown_ || !wanted_) return;
    NOTIFYICONDATAW record = data_;
    // A shell that was slow to answer may have taken an earlier add after all: then the
    // add is refused, and a change of the icon tells that it is there.
    shown_ = ShellCall(NIM_ADD, &record) || ShellCall(NIM_MODIFY, &record);
    if (shown_) {
        record.uVersion = NOTIFYICON_VERSION_4;
        menuEvents_ = ShellCall(NIM_SETVERSION, &record) != FALSE;
    }
    SetRetrying(!shown_);
}

void TrayIcon::SetRetrying(bool on) {
    if (on == retrying_ || !data_.hWnd) return;
    if (on) {
        retrying_ = SetTimer(data_.hWnd, retryTimerId_, kRetryIntervalMs, nullptr) != 0;
    } else {
        KillTimer(data_.hWnd, retryTimerId_);
        retrying_ = false;
    }
}

void TrayIcon::Retry() { TryAdd(); }

void TrayIcon::ShellRestarted() {
    shown_ = false;
    TryAdd();
}

void TrayIcon::Remove() {
    SetRetrying(false);
    if (shown_) ShellCall(NIM_DELETE, &data_);
    shown_ = wanted_ = false;
}

void TrayIcon::Change(HICON icon, std::string_view tip) {
    NOTIFYICONDATAW changed = data_;
    changed.hIcon = icon;
    CopyText(changed.szTip, tip);
    if (changed.hIcon == data_.hIcon && std::wcscmp(changed.szTip, data_.szTip) == 0) return;
    data_ = changed;
    if (shown_) ShellCall(NIM_MODIFY, &changed);
}

bool TrayIcon::ShowBalloon(std::string_view title, std::string_view text) {
    if (!shown_) return false;
    balloon_ = data_;
    balloon_.uFlags = NIF_INFO | NIF_SHOWTIP;
    CopyText(balloon_.szInfo, text);
    CopyText(balloon_.szInfoTitle, title);
    balloon_.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
    balloon_.uTimeout = kBalloonTimeoutMs;  // where the system does not choose it itself
    NOTIFYICONDATAW record = balloon_;
    return ShellCall(NIM_MODIFY, &record) != FALSE;
}

TrayAction TrayIcon::ActionFor(LPARAM lParam) const {
    // The event rides in the low word, the icon's id in the high word (older versions of
    // the interface send the event alone).
    return TrayActionFor(LOWORD(lParam), menuEvents_);
}

void TrayIcon::OpenMenu(WPARAM wParam, bool historyAvailable) {
    if (!data_.hWnd) return;
    if (!menu_) {
        menu_ = Menu(CreatePopupMenu());
        AppendMenuW(menu_.Get(), MF_STRING, kRestoreCommand, L"&Restore");
        AppendMenuW(menu_.Get(), MF_STRING, kHistoryCommand, L"&History");
        AppendMenuW(menu_.Get(), MF_STRING, kMuteCommand, L"");
        AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu_.Get(), MF_STRING, kExitCommand, L"&Exit");
    }
    EnableMenuItem(menu_.Get(), kHistoryCommand, MF_BYCOMMAND | (historyAvailable ? MF_ENABLED : MF_GRAYED));
    ModifyMenuW(menu_.Get(), kMuteCommand, MF_BYCOMMAND | MF_STRING, kMuteCommand,
                muted_ ? L"&Unmute alerts" : L"&Mute alerts for 1 hour");
    POINT at{};
    if (menuEvents_) at = {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
    else GetCursorPos(&at);
    // The owner must be in front, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(data_.hWnd);
    TrackPopupMenu(menu_.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, data_.hWnd, nullptr);
    PostMessageW(data_.hWnd, WM_NULL, 0, 0);
}

}  // namespace corvale
