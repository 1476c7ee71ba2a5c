#pragma once
#include <stdexcept>
#include <string>

// The error the core raises; its text is the message the user sees.
class HoopError : public std::runtime_error {
public:
    explicit HoopError(const std::string& message) : std::runtime_error(message) {}
};
