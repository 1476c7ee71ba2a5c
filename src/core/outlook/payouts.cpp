#include "core/outlook/payouts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/outlook/outlook.h"
#include "core/pool/players.h"

namespace outlook {

namespace {
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A plain decimal number (digits, at most one point), nothing else.
std::optional<double> decimal(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}
}  // namespace

std::optional<std::vector<PayoutPlace>> parsePayouts(std::string_view text)
{
    std::vector<PayoutPlace> places;
    if (trimmed(text).empty()) return std::nullopt;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view part = trimmed(text.substr(0, comma));
        PayoutPlace place;
        if (part.size() == 3 && std::tolower(part[0]) == 'f' && std::tolower(part[1]) == 'e' &&
            std::tolower(part[2]) == 'e')
            place.fee = true;
        else {
            const std::optional<double> percent = decimal(part.ends_with('%') ? part.substr(0, part.size() - 1) : part);
            if (!percent || *percent > 100) return std::nullopt;
            place.percent = *percent;
        }
        places.push_back(place);
        if (places.size() > std::size_t(MaxPaidPlaces)) return std::nullopt;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return places;
}

std::optional<double> parseFee(std::string_view text)
{
    text = trimmed(text);
    if (text.starts_with('$')) text.remove_prefix(1);
    return decimal(text);
}

std::vector<double> prizesOf(double pot, double fee, const std::vector<PayoutPlace>& payouts)
{
    std::vector<double> prizes;
    double left = pot;
    for (const PayoutPlace& place : payouts) {
        const double back = place.fee ? std::min(fee, std::max(left, 0.0)) : 0.0;
        left -= back;
        prizes.push_back(back);
    }
    left = std::max(left, 0.0);
    for (std::size_t p = 0; p < payouts.size(); ++p)
        if (!payouts[p].fee) prizes[p] = left * payouts[p].percent / 100.0;
    return prizes;
}

int paidParticipants(const PlayerList& players)
{
    int paid = 0;
    for (int i = 0; i < players.count(); ++i) paid += players[i].id != ResultsId && players[i].paid != 0;
    return paid;
}

Money moneyOf(std::string_view feeText, std::string_view payoutsText)
{
    Money money;
    money.fee = parseFee(feeText).value_or(0.0);
    money.payouts = parsePayouts(payoutsText).value_or(std::vector<PayoutPlace>{});
    return money;
}

std::string moneyText(double amount)
{
    char buffer[48];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, std::round(amount * 100) / 100, std::chars_format::fixed, 2);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace outlook
