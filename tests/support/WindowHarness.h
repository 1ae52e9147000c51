#pragma once
// The main window in a test: over a program object of its own (a scripted engine, clocks
// the test sets) and the settings file of a folder, with the window's requests recorded.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ModelTestSupport.h"
#include "monitor/Conversions.h"
#include "monitor/SettingsStore.h"
#include "monitor/SiteTiles.h"
#include "ui/main/frmMain.h"

namespace corvale::test {

class WindowHarness : public MainWindowActions {
public:
    explicit WindowHarness(std::string folder) : store(std::move(folder), [this](std::string_view text) {
        messages.emplace_back(text);
    }) {
        model.Engine().Use(ScriptedEngine::Install());
        Use("");
    }

    // The settings the window is made with, as start-up would have loaded them.
    void Use(const std::string& sites, bool mini = false, int16_t alpha = 100) {
        ProgramSettings settings;
        settings.AppFolder = store.AppFolder();
        settings.SitesText = sites;
        settings.MiniMode = mini;
        settings.TransPerc = alpha;
        model.Start(settings, nullptr, "");
    }
    // A list saved in the preferences: the tiles are built for it and the window laid out.
    void SaveList(const std::string& sites) {
        ProgramSettings edited = model.Settings();
        edited.SitesText = sites;
        model.ApplyEdits(edited);
        tiles.BuildTiles();
        form->ResizeWindow();
    }
    // A window of this harness (the first one is `form`).
    std::unique_ptr<frmMain> NewWindow() { return std::make_unique<frmMain>(*this, model); }

    void OpenPreferences(int16_t page) override { pagesOpened.push_back(page); }
    void ShutDown() override { ++shutDowns; }
    void RefreshTile(int index) override {
        refreshed.push_back(index);
        if (tilesOn) tiles.RefreshTile(index);
    }
    void CheckTimerTick() override { ++ticks; }
    void CheckNow() override { model.CheckNow(); }
    void StoreMiniMode(bool on) override {
        store.Store(kGeneralSection, kMiniModeKey, on ? "True" : "False", model.Settings());
        model.SetMiniMode(on);
    }
    std::optional<std::pair<int32_t, int32_t>> StoredWindowPlace() override {
        const std::string left = store.Read(kWindowSection, kWindowLeftKey), top = store.Read(kWindowSection, kWindowTopKey);
        if (left.empty() || top.empty()) return std::nullopt;
        return std::make_pair(SafeLong(left), SafeLong(top));
    }
    void StoreWindowPlace(int32_t left, int32_t top) override {
        store.Write(kWindowSection, kWindowLeftKey, std::to_string(left), model.Settings());
        store.Write(kWindowSection, kWindowTopKey, std::to_string(top), model.Settings());
    }
    void ShowPopupMenu(int) override { ++popups; }
    void OpenHistory(int) override {}
    bool ConfirmExit() override {
        ++questions;
        return confirm;
    }

    FakeModelHost host;
    ProgramModel model{host};
    SettingsStore store;
    std::unique_ptr<frmMain> form = NewWindow();
    SiteTiles tiles{*form, model};
    bool tilesOn = true;  // a window's refresh reaches the tiles of `form`

    std::vector<int16_t> pagesOpened;
    std::vector<int> refreshed;
    std::vector<std::string> messages;
    int shutDowns = 0, popups = 0, ticks = 0, questions = 0;
    bool confirm = false;
};

}  // namespace corvale::test
