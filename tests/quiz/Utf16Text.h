// What the tests share: doctest prints the quiz's UTF-16 texts as readable
// UTF-8 when a comparison fails, and settings come from the environment.
#pragma once

#include "Unicode.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <string>
#include <string_view>

namespace doctest {
template <> struct StringMaker<std::u16string_view> {
    static String convert(std::u16string_view text) {
        return ('"' + quiz::toUtf8(text) + '"').c_str();
    }
};
template <> struct StringMaker<std::u16string> : StringMaker<std::u16string_view> {};
} // namespace doctest

// The number in the environment variable, or the fallback when it is unset or not a number.
inline long long fromEnvironment(const char* name, long long fallback) {
    const char* value = std::getenv(name);
    char* end = nullptr;
    const long long number = value ? std::strtoll(value, &end, 10) : 0;
    return value && *value && *end == '\0' ? number : fallback;
}
