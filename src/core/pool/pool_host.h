#pragma once
#include <optional>
#include <string>
#include <vector>

// What the participant list and the scoring pass ask of the main window. Its texts are messages,
// in UTF-8: a stored name goes into one through toUtf8(CodePageText).
class PoolHost {
public:
    virtual ~PoolHost() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void setCountText(const std::string& text) = 0;  // the participant count panel
    // Index of the child window whose tag equals the argument, searched from the top; -1 if none.
    virtual int findSheetWindow(int tag) = 0;
    // The tags of every open sheet at once, so a command over the whole list asks once; none
    // when the host answers only findSheetWindow.
    virtual std::optional<std::vector<int>> openSheetTags() { return std::nullopt; }
    // Refreshes the open standings window, or creates it; raises it maximised when asked.
    virtual void showStandings(bool bringToFront) = 0;
    // Whether the standings window is open: a save rescores at once only then.
    virtual bool isStandingsOpen() = 0;
    virtual void showInformation(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    virtual void beep() = 0;
    // An entry was stored or deleted (the results too): windows computed from the whole list
    // compute again.
    virtual void listChanged() {}
};

// A host that shows nothing, for the benchmarks and for code run without a window.
class NullPoolHost : public PoolHost {
public:
    void setStatusText(const std::string&) override {}
    void setProgress(int) override {}
    void setCountText(const std::string&) override {}
    int findSheetWindow(int) override { return -1; }
    void showStandings(bool) override {}
    bool isStandingsOpen() override { return false; }
    void showInformation(const std::string&) override {}
    void showError(const std::string&) override {}
    void beep() override {}
};

// Reports a percentage only when its whole value changes. The bar rests at 0 between tasks (each
// task ends by setting 0), so a loop makes at most 100 calls and, with its closing 0, 101.
class ProgressReporter {
public:
    // shown: the value the bar holds now (it rests at 0 between tasks); -1 reports the first value
    // whatever it is.
    explicit ProgressReporter(PoolHost& host, int shown = 0) : m_host(host), m_last(shown) {}
    void report(int percent)
    {
        if (percent == m_last) return;
        m_last = percent;
        m_host.setProgress(percent);
    }

private:
    PoolHost& m_host;
    int m_last;
};

