#include "core/settings/settings.h"

#include <charconv>

#include "core/pool/errors.h"

std::optional<int> parseInteger(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;  // from_chars takes a minus sign but not a plus sign
    if (first == last || (*first == '-' && text[0] == '+')) return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last) return std::nullopt;
    return value;
}

std::string SettingsFile::readString(const std::string& section, const std::string& name, const std::string& def)
{
    auto value = m_backend.read(section, name);
    return value ? *value : def;
}

int SettingsFile::readInteger(const std::string& section, const std::string& name, int def)
{
    auto value = m_backend.read(section, name);
    if (!value) return def;
    return parseInteger(*value).value_or(def);
}

bool SettingsFile::readBool(const std::string& section, const std::string& name, bool def)
{
    return readInteger(section, name, def ? 1 : 0) != 0;
}

void SettingsFile::writeString(const std::string& section, const std::string& name, const std::string& value)
{
    m_backend.write(section, name, value);
}

void SettingsFile::writeInteger(const std::string& section, const std::string& name, int value)
{
    m_backend.write(section, name, std::to_string(value));
}

void SettingsFile::writeBool(const std::string& section, const std::string& name, bool value)
{
    m_backend.write(section, name, value ? "1" : "0");
}

std::optional<std::string> MemorySettings::read(const std::string& section, const std::string& name)
{
    auto it = values.find({section, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
}

void MemorySettings::write(const std::string& section, const std::string& name, const std::string& value)
{
    if (refuseWrites) throw HoopError("Failed to set data for '" + name + "'");
    values[{section, name}] = value;
}

namespace settings {
std::string roundName(int round) { return "Round" + std::to_string(round); }
std::string payDescName(int row) { return "PayDesc" + std::to_string(row); }
std::string payPctName(int row) { return "PayPct" + std::to_string(row); }

std::string optionsPayDescDefault(int row)
{
    static const char* const descs[] = {"1st Place", "2nd Place", "3rd Place", "4th Place", "Last Place"};
    return row >= 1 && row <= 5 ? descs[row - 1] : "";
}

std::string optionsPayPctDefault(int row)
{
    static const char* const pcts[] = {"65%", "15%", "10%", "5%", "5%"};
    return row >= 1 && row <= 5 ? pcts[row - 1] : "";
}

::ScoringValues readScoringValues(SettingsFile& store)
{
    ::ScoringValues values;
    for (int r = 1; r <= 6; ++r) values.round[r] = store.readInteger(Scoring, roundName(r), defaultRoundValue(r));
    values.multiplyBySeed = store.readBool(Scoring, MultiplybySeed, DefaultMultiplyBySeed);
    return values;
}
}  // namespace settings
