#include "monitor/ProgramHistory.h"

#include <algorithm>

#include "monitor/Conversions.h"
#include "monitor/LogFolder.h"
#include "monitor/LogHistory.h"
#include "monitor/UserTexts.h"
#include "monitor/basMain.h"

namespace corvale {
namespace {

constexpr const char* kHistorySection = "History";
constexpr const char* kLeftKey = "Left";
constexpr const char* kTopKey = "Top";
constexpr const char* kWidthKey = "Width";
constexpr const char* kHeightKey = "Height";

}  // namespace

std::string HistorySiteTitle(const SiteRecord& site) { return TooltipTitle(ShownName(site)); }

std::string HistoryMenuText(const SiteRecord& site) { return "History of " + HistorySiteTitle(site); }

ProgramHistory::ProgramHistory(CorvaleProgram& program)
    : program_(program), startedMs_(UnixMsNow() / 1000 * 1000) {}

bool ProgramHistory::Open(int site, HWND owner) {
    if (site < 0 || site >= SiteCount()) return false;
    if (!window_.IsOpen()) {
        AddLogOfNewSites();
        NoteTable();
    }
    return window_.Open(site, owner);
}

void ProgramHistory::SitesChanged() {
    if (!window_.IsOpen()) return;
    // The index the window holds named a site of the old table: it follows that site.
    const int shown = window_.ShownSite();
    const uint32_t shownId = shown >= 0 && shown < static_cast<int>(shownTable_.size()) ? shownTable_[shown] : 0;
    NoteTable();
    window_.SitesChanged();
    const auto kept = std::find(shownTable_.begin(), shownTable_.end(), shownId);
    if (window_.IsOpen() && kept != shownTable_.end())
        window_.ShowSite(static_cast<int>(kept - shownTable_.begin()));
}

void ProgramHistory::NoteTable() {
    shownTable_.clear();
    for (const SiteRecord& site : program_.Model().Sites()) shownTable_.push_back(site.Id);
}

void ProgramHistory::AddLogOfNewSites() {
    ProgramModel& model = program_.Model();
    if (!model.Settings().Log) return;
    std::vector<std::string> texts;
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < model.Sites().size(); ++i) {
        const SiteRecord& site = model.Sites()[i];
        if (logRead_.insert(site.Id).second) {
            texts.push_back(site.Url);
            indexes.push_back(i);
        }
    }
    if (texts.empty()) return;
    LogHistory log = ReadLogHistory(model.Settings().AppFolder + kLogFolderName + "\\", texts, NowMs(),
                                    LocalTimeNow().offsetMinutes);
    // The rows of this run are in the histories already, and a row's time, in whole seconds,
    // may lie before its result's: only the rows from before this run are taken.
    for (std::vector<TimedResult>& results : log.results)
        std::erase_if(results, [this](const TimedResult& result) { return result.atMs >= startedMs_; });
    model.MergeOlderResults([&](std::span<SiteHistory* const> histories, std::vector<SleepSpan>& sleeps) {
        for (std::size_t k = 0; k < indexes.size() && k < log.results.size(); ++k)
            histories[indexes[k]]->AddOlder(log.results[k]);
        sleeps.insert(sleeps.end(), log.sleeps.begin(), log.sleeps.end());
        MergeSleepSpans(sleeps);
    });
}

int ProgramHistory::SiteCount() const { return static_cast<int>(program_.Model().Sites().size()); }

std::string ProgramHistory::SiteTitle(int site) const {
    return HistorySiteTitle(program_.Model().Sites()[static_cast<std::size_t>(site)]);
}

const SiteHistory& ProgramHistory::History(int site) const {
    return program_.Model().Sites()[static_cast<std::size_t>(site)].History;
}

std::span<const SleepSpan> ProgramHistory::SleepSpans() const { return program_.Model().Sleeps(); }

int64_t ProgramHistory::NowMs() const { return UnixMsNow(); }

int64_t ProgramHistory::CheckIntervalMs() const {
    return static_cast<int64_t>(program_.Model().Settings().CheckInterval * 1000.0f);
}

std::optional<HistoryPlace> ProgramHistory::StoredPlace() const {
    const SettingsStore& store = program_.Store();
    HistoryPlace place;
    for (auto [key, value] : {std::pair{kLeftKey, &place.left}, std::pair{kTopKey, &place.top},
                              std::pair{kWidthKey, &place.width}, std::pair{kHeightKey, &place.height}}) {
        const std::string text = store.Read(kHistorySection, key);
        if (text.empty()) return std::nullopt;
        *value = SafeLong(text);
    }
    return place;
}

void ProgramHistory::StorePlace(const HistoryPlace& place) {
    if (StoredPlace() == place) return;
    // A place the file cannot take is not worth a message: the window opens as at first.
    SettingsStore& store = program_.Store();
    const ProgramSettings& settings = program_.Model().Settings();
    for (auto [key, value] : {std::pair{kLeftKey, place.left}, std::pair{kTopKey, place.top},
                              std::pair{kWidthKey, place.width}, std::pair{kHeightKey, place.height}})
        store.Write(kHistorySection, key, std::to_string(value), settings);
}

}  // namespace corvale
