#pragma once
#include <string>

// What the core reports to the frame it runs in: status text, progress, the participant count,
// boxes and the beep. It asks nothing about windows; the windows learn of the pool's changes by
// listening to the pool session. Its texts are messages, in UTF-8: a stored name goes into one
// through toUtf8(CodePageText).
class PoolHost {
public:
    virtual ~PoolHost() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void setCountText(const std::string& text) = 0;  // the participant count panel
    virtual void showInformation(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    virtual void beep() = 0;
};

// A host that shows nothing, for the benchmarks and for code run without a window.
class NullPoolHost : public PoolHost {
public:
    void setStatusText(const std::string&) override {}
    void setProgress(int) override {}
    void setCountText(const std::string&) override {}
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
