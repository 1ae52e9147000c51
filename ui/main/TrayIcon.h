#pragma once
// The program's icon in the notification area, with its menu and its balloons. The shell
// may refuse the icon (at log-on it is often still starting): the icon is then tried
// again on a timer of the owner window until the shell takes it. When the shell comes
// back after a restart it has forgotten every icon, and this one is added again.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string_view>

#include "ui/base/GdiHandles.h"
#include "ui/main/TrayCallback.h"

namespace corvale {

class TrayIcon {
public:
    static constexpr UINT kRetryIntervalMs = 2000;
    // The menu's items, as WM_COMMAND brings them to the owner window.
    static constexpr UINT kRestoreCommand = 101;
    static constexpr UINT kExitCommand = 102;
    static constexpr UINT kHistoryCommand = 103;
    static constexpr UINT kMuteCommand = 104;

    // `callbackMessage` carries the shell's events to the owner window; the owner routes
    // its timer `retryTimerId` to Retry.
    TrayIcon(UINT id, UINT callbackMessage, UINT_PTR retryTimerId);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The shell's Shell_NotifyIconW; a test puts a refusing one in.
    std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)> ShellCall;

    // Puts the icon of `owner` in the notification area, or keeps trying until it is.
    // True when the shell took it now.
    bool Add(HWND owner, HICON icon, std::string_view tip);
    // The retry timer ticked.
    void Retry();
    // The shell was restarted ("TaskbarCreated"): an icon that was added, or is still
    // being tried, is added again. Nothing else happens.
    void ShellRestarted();
    // Takes the icon away for good: neither a retry nor the shell's return brings it back
    // until the next Add.
    void Remove();
    // Shows another picture or tip. Nothing reaches the shell when both are as they are;
    // an icon still being tried takes them when it is added.
    void Change(HICON icon, std::string_view tip);
    // An info balloon within the user's quiet time; it never takes the focus. False, with
    // nothing shown, when the icon is not there or the shell refused it.
    bool ShowBalloon(std::string_view title, std::string_view text);

    // What one callback message asks of the program.
    TrayAction ActionFor(LPARAM lParam) const;
    // Opens the menu at the place the callback message names (where the icon is, for a
    // request from the keyboard) or at the mouse; its choice comes as WM_COMMAND. "&History"
    // is greyed unless `historyAvailable`.
    void OpenMenu(WPARAM wParam, bool historyAvailable);

    // The menu's mute item reads "&Unmute alerts" while the alerts are muted.
    void SetMuted(bool muted) { muted_ = muted; }

    // The shell holds the icon now.
    bool Shown() const { return shown_; }
    // Between Add and Remove, whether or not the shell holds it yet.
    bool Wanted() const { return wanted_; }
    const NOTIFYICONDATAW& Data() const { return data_; }
    const NOTIFYICONDATAW& LastBalloon() const { return balloon_; }

private:
    void TryAdd();
    void SetRetrying(bool on);

    NOTIFYICONDATAW data_{};
    NOTIFYICONDATAW balloon_{};  // the last balloon asked for
    UINT_PTR retryTimerId_;
    bool wanted_ = false;
    bool shown_ = false;
    bool retrying_ = false;
    bool menuEvents_ = false;  // the shell took the interface version that reports them
    bool muted_ = false;
    Menu menu_;
};

}  // namespace corvale
