// The one form in which operators type numbers and the dialogs show them: an
// optional sign, digits and an optional point with decimals, with spaces
// around it allowed. No group separators, exponent, hexadecimal, "inf" or
// "nan", and the same whatever the process locale: a comma is never taken,
// neither as a decimal mark nor as a group separator. What a cell or box
// takes is checked here, before anything is stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet::frame {

// What a cell or box takes: integers or reals, their range (bounds
// included) and the decimals a real is rounded to (-1: as typed).
struct NumberRule {
    bool integer = false;
    double minimum = 0.0;
    double maximum = 0.0;
    int decimals = -1;
};

enum class EntryCheck { Taken, NotANumber, NotAnInteger, OutOfRange };

struct NumberEntry {
    EntryCheck check = EntryCheck::NotANumber;
    double value = 0.0;  // the number taken (rounded to the rule's decimals)
};

// The number text holds in the one form; nullopt for anything else ("1,5",
// "1e3", "0x20", "nan", ""). Digits too many for a double give infinity.
std::optional<double> ParseEnteredNumber(std::string_view text);

// number rounded to the rule's decimals, then checked against its range
// (an integer rule takes only whole numbers).
NumberEntry CheckNumber(double number, const NumberRule& rule);
// ParseEnteredNumber, then CheckNumber.
NumberEntry CheckEnteredNumber(std::string_view text, const NumberRule& rule);

// The shortest text in the one form that reads back as number
// ("-99999.9999", "1500").
std::string FormatEnteredNumber(double number);

}  // namespace quillet::frame
