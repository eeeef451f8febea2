// Texts of the date error numbers.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavo::cli {

std::string_view date_error_text(int32_t err) noexcept;

}  // namespace tavo::cli
