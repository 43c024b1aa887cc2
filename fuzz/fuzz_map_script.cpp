// The text of a call into the map page: taken apart as the map view does, and put
// back together as the script the page runs. Nothing in an argument may end its
// string literal or the script.

#include <cstdint>
#include <string>

#include "map/MapScript.h"

namespace {

bool HasRawControl(const std::string& source) {
  for (const char c : source) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<mapview::ScriptCall> call = mapview::ParseScriptCall(text);
  const std::string literal = mapview::JavaScriptStringLiteral(text);
  // A literal is one line in double quotes; every quote inside it is escaped.
  if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"' || HasRawControl(literal)) __builtin_trap();
  for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
    if (literal[i] != '"') continue;
    std::size_t slashes = 0;
    for (std::size_t j = i; j > 1 && literal[j - 1] == '\\'; --j) ++slashes;
    if (slashes % 2 == 0) __builtin_trap();
  }
  if (!call) return 0;
  if (call->function.empty()) __builtin_trap();
  for (const std::string& argument : call->arguments) {
    if (argument.empty() || argument.find_first_of(" ,'\"\t();") != std::string::npos) __builtin_trap();
  }
  if (HasRawControl(mapview::ScriptSource(*call))) __builtin_trap();
  return 0;
}
