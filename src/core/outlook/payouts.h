#pragma once
// What each place of the pool pays: the entry fee, the payout table and the pot they make.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class PlayerList;

namespace outlook {

// One place of the payout table: a percentage of what is left, or the entry fee back.
struct PayoutPlace {
    bool fee = false;
    double percent = 0;
};

// "60,30,10" or "50,30,20,fee": by place, a percentage (0 to 100) or "fee"; at most
// MaxPaidPlaces places. Nothing for any other text (an empty one included).
std::optional<std::vector<PayoutPlace>> parsePayouts(std::string_view text);
// "5", "12.50", "$5": a sum of at least 0. Nothing for any other text.
std::optional<double> parseFee(std::string_view text);

// The money each place gets from a pot: places given as "fee" are paid the fee first, the
// percentages share what is left (never below nothing).
std::vector<double> prizesOf(double pot, double fee, const std::vector<PayoutPlace>& payouts);

// The participants marked paid (no results entry is one).
int paidParticipants(const PlayerList& players);

// The entry fee and payouts as the settings store keeps them (section Other, "Entry Fee" and
// "Payouts"); fee 0 when the text is not a sum, payouts empty when it is not a table.
struct Money {
    double fee = 0;
    std::vector<PayoutPlace> payouts;
};
Money moneyOf(std::string_view feeText, std::string_view payoutsText);

// "1234.50": two decimals, a point whatever the locale.
std::string moneyText(double amount);

}  // namespace outlook
