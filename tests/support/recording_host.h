#pragma once
#include <string>
#include <vector>

#include "core/pool/pool_host.h"

// A pool host that records what the core reports.
class RecordingHost : public PoolHost {
public:
    std::vector<std::string> statusTexts;
    std::vector<int> progress;
    std::string countText;
    std::vector<std::string> information;
    std::vector<std::string> errors;
    int beeps = 0;
    std::vector<int> openSheets;  // tags of open sheets, in child order
    std::vector<bool> standingsShown;

    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void setProgress(int percent) override { progress.push_back(percent); }
    void setCountText(const std::string& text) override { countText = text; }
    int findSheetWindow(int tag) override
    {
        for (int i = static_cast<int>(openSheets.size()) - 1; i >= 0; --i)
            if (openSheets[static_cast<std::size_t>(i)] == tag) return i;
        return -1;
    }
    void showStandings(bool front) override { standingsShown.push_back(front); }
    bool isStandingsOpen() override { return standingsOpen; }
    bool standingsOpen = false;
    void showInformation(const std::string& text) override { information.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }
    void beep() override { ++beeps; }
};
