// Random well-formed host scripts: every line parses, and the lines are drawn so that they reach
// far into the control (drags across bars, saves, listeners, resizes to odd and unchanged sizes,
// the Special day switched off and on). The same seed always gives the same script.
#pragma once

#include <cstdint>
#include <string>

namespace tarn::fuzz {

/// A script of `lines` lines drawn from `seed`.
std::string GenerateScript(std::uint64_t seed, int lines);

}  // namespace tarn::fuzz
