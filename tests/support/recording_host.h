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

    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void setProgress(int percent) override { progress.push_back(percent); }
    void setCountText(const std::string& text) override { countText = text; }
    void showInformation(const std::string& text) override { information.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }
    void beep() override { ++beeps; }
};
