#include "ShellBalloons.h"

#include <commctrl.h>
#include <shellapi.h>

#include "WinTestSupport.h"

namespace corvale::test {
namespace {

constexpr UINT kAnswerWithinMs = 1000;
constexpr std::size_t kTextChars = 512;

// Memory of another process, for the messages whose answer is written through a pointer.
class RemoteBlock {
public:
    RemoteBlock(DWORD processId, SIZE_T size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)) {
        if (process_) block_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock() {
        if (block_) VirtualFreeEx(process_, block_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    char* At(std::size_t offset) const { return block_ ? block_ + offset : nullptr; }
    bool Write(std::size_t offset, const void* data, SIZE_T size) const {
        return block_ && WriteProcessMemory(process_, block_ + offset, data, size, nullptr);
    }
    bool Read(std::size_t offset, void* data, SIZE_T size) const {
        return block_ && ReadProcessMemory(process_, block_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    char* block_ = nullptr;
};

bool Ask(HWND window, UINT message, WPARAM wParam, const char* remote) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                               kAnswerWithinMs, &answer) != 0;
}

// The text of the balloon's one tool: the tool is found first, then its text asked for.
bool ReadBalloonText(HWND window, DWORD processId, std::string& text) {
    RemoteBlock remote(processId, sizeof(TTTOOLINFOW) + kTextChars * sizeof(WCHAR));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    if (!remote.Write(0, &tool, sizeof tool) || !Ask(window, TTM_ENUMTOOLSW, 0, remote.At(0))) return false;
    if (!remote.Read(0, &tool, sizeof tool)) return false;
    tool.lpszText = reinterpret_cast<LPWSTR>(remote.At(sizeof tool));
    if (!remote.Write(0, &tool, sizeof tool)) return false;
    if (!Ask(window, TTM_GETTEXTW, kTextChars, remote.At(0))) return false;
    std::wstring wide(kTextChars, L'\0');
    if (!remote.Read(sizeof tool, wide.data(), kTextChars * sizeof(WCHAR))) return false;
    wide.resize(wcsnlen(wide.c_str(), kTextChars - 1));
    const int chars = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), chars, nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), chars, text.data(), size, nullptr, nullptr);
    return true;
}

// What a search of the top-level windows collects: shown balloons, or icon tips.
struct Search {
    bool balloons;
    std::vector<ShellBalloon> found;
};

BOOL CALLBACK CollectTip(HWND window, LPARAM searchAddress) {
    Search& search = *reinterpret_cast<Search*>(searchAddress);
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId() || lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) return TRUE;
    const bool balloon = GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON;
    if (balloon != search.balloons || (balloon && !IsWindowVisible(window))) return TRUE;
    ShellBalloon tip{window, {}};
    if (ReadBalloonText(window, processId, tip.text)) search.found.push_back(tip);
    return TRUE;
}

std::vector<ShellBalloon> Collect(bool balloons) {
    Search search{balloons, {}};
    EnumWindows(&CollectTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool ShellHoldsIcon(HWND owner, UINT id) {
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = owner;
    probe.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

std::vector<ShellBalloon> ShellBalloons() { return Collect(true); }

std::vector<ShellBalloon> ShellIconTips() { return Collect(false); }

std::vector<ShellBalloon> WatchShellBalloons(DWORD milliseconds) {
    std::vector<ShellBalloon> seen;
    const DWORD start = GetTickCount();
    do {
        PumpMessagesFor(50);
        for (const ShellBalloon& now : ShellBalloons()) {
            bool known = false;
            for (const ShellBalloon& before : seen)
                known = known || (before.window == now.window && before.text == now.text);
            if (!known) seen.push_back(now);
        }
    } while (GetTickCount() - start < milliseconds);
    return seen;
}

}  // namespace corvale::test
