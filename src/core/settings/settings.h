#pragma once
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "core/pool/scoring.h"

// Where the per-user settings live: two calls, every value a text.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The stored text, or nothing when the section or the value is absent.
    virtual std::optional<std::string> read(const std::string& section, const std::string& name) = 0;
    // Stores a text, creating the section; throws HoopError when the store refuses.
    virtual void write(const std::string& section, const std::string& name, const std::string& value) = 0;
};

// The read and write rules over a backend: integers and booleans are stored as decimal text.
class SettingsFile {
public:
    explicit SettingsFile(SettingsBackend& backend) : m_backend(backend) {}
    std::string readString(const std::string& section, const std::string& name, const std::string& def);
    int readInteger(const std::string& section, const std::string& name, int def);
    bool readBool(const std::string& section, const std::string& name, bool def);
    void writeString(const std::string& section, const std::string& name, const std::string& value);
    void writeInteger(const std::string& section, const std::string& name, int value);
    void writeBool(const std::string& section, const std::string& name, bool value);

private:
    SettingsBackend& m_backend;
};

// Decimal integer text with an optional sign, within 32 bits; nothing for anything else.
std::optional<int> parseInteger(const std::string& text);

// A store in memory, for tests and tools.
class MemorySettings : public SettingsBackend {
public:
    std::optional<std::string> read(const std::string& section, const std::string& name) override;
    void write(const std::string& section, const std::string& name, const std::string& value) override;
    std::map<std::pair<std::string, std::string>, std::string> values;
    bool refuseWrites = false;
};

// Section and value names, and the default each reader passes when a value is absent.
namespace settings {
inline const std::string Scoring = "Scoring";
inline const std::string Rules = "Rules";
inline const std::string Other = "Other";

inline const std::string MultiplybySeed = "MultiplybySeed";
inline const std::string Cost = "Cost";
inline const std::string Deadline = "Deadline";
inline const std::string Tiebreaker = "Tiebreaker";
inline const std::string ReturnTo = "ReturnTo";
inline const std::string PrintCost = "PrintCost";
inline const std::string PrintDeadline = "PrintDeadline";
inline const std::string PrintTiebreaker = "PrintTiebreaker";
inline const std::string PrintScoring = "PrintScoring";
inline const std::string PrintPayout = "PrintPayout";
inline const std::string PrintReturnTo = "PrintReturnTo";
inline const std::string CheckedResolution = "Checked Resolution";
inline const std::string OutlookPlaces = "Outlook Paid Places";  // in Other
inline const std::string LastFolder = "Last Folder";             // in Other: where the file dialogs start, a file: URL
inline const std::string EntryFee = "Entry Fee";                 // in Other: "5", "12.50"
inline const std::string Payouts = "Payouts";                    // in Other: "60,30,10", "50,30,20,fee"
std::string roundName(int round);                                // "Round1".."Round6"
std::string payDescName(int row);                                // "PayDesc1".."PayDesc8"
std::string payPctName(int row);                                 // "PayPct1".."PayPct8"

constexpr int PayoutRows = 8;

// Defaults of the round values: the round number, for every reader.
constexpr int defaultRoundValue(int round) { return round; }
constexpr bool DefaultMultiplyBySeed = true;
constexpr bool DefaultPrintSwitch = true;
constexpr bool DefaultCheckedResolution = false;
constexpr int DefaultOutlookPlaces = 3;
inline const std::string DefaultPayouts = "60,30,10";

inline const std::string DefaultCost = "$5";
inline const std::string DefaultDeadline = "Thursday, March 13, NOON";
inline const std::string DefaultTiebreaker = "Total # of points in Championship game.";
inline const std::string DefaultReturnTo = "John Doe in accounting or fax to (555) 555-1234";

// The Options dialog shows five filled payout rows when nothing is stored; the rules sheet reads
// every payout value with an empty default.
std::string optionsPayDescDefault(int row);
std::string optionsPayPctDefault(int row);

// The scoring engine's inputs, read once per pass.
::ScoringValues readScoringValues(SettingsFile& store);
}  // namespace settings
