#include "map/MapScript.h"

#include <cstdio>

namespace mapview {

namespace {

constexpr std::string_view kScriptPrefix = "javascript:";
constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::string_view kArgumentSeparators = " ,'\"\t();";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<ScriptCall> ParseScriptCall(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (const std::size_t prefix = text.find(kScriptPrefix); prefix != std::string_view::npos) {
    text.remove_prefix(prefix + kScriptPrefix.size());
  }
  const std::size_t open = text.find('(');
  ScriptCall call;
  call.function = std::string(Trimmed(text.substr(0, open)));
  if (call.function.empty()) return std::nullopt;
  if (open == std::string_view::npos) return call;

  std::string_view rest = text.substr(open + 1);
  while (!rest.empty()) {
    const std::size_t start = rest.find_first_not_of(kArgumentSeparators);
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    const std::size_t end = rest.find_first_of(kArgumentSeparators);
    call.arguments.emplace_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
  }
  return call;
}

std::string JavaScriptStringLiteral(std::string_view text) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\':
        literal += "\\\\";
        break;
      case '"':
        literal += "\\\"";
        break;
      case '\'':
        literal += "\\'";
        break;
      case '\n':
        literal += "\\n";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\t':
        literal += "\\t";
        break;
      default: {
        const auto byte = static_cast<unsigned char>(c);
        // U+2028 and U+2029 (E2 80 A8/A9 in UTF-8) end a line inside older script
        // engines' string literals.
        if (byte == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
          literal += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
          i += 2;
        } else if (byte < 0x20 || byte == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
          literal += escaped;
        } else {
          literal += c;
        }
        break;
      }
    }
  }
  literal += '"';
  return literal;
}

std::string ScriptSource(const ScriptCall& call) {
  std::string arguments;
  for (const std::string& argument : call.arguments) {
    if (!arguments.empty()) arguments += ',';
    arguments += JavaScriptStringLiteral(argument);
  }
  // Only an own property of the global object that is a function is called, as a
  // lookup of the name among the page's script members would find it.
  return "(function(name,args){try{"
         "if(!Object.prototype.hasOwnProperty.call(window,name))return '';"
         "var f=window[name];if(typeof f!=='function')return '';"
         "var r=f.apply(window,args);return r===undefined||r===null?'':String(r);"
         "}catch(e){return '';}})(" +
         JavaScriptStringLiteral(call.function) + ",[" + arguments + "])";
}

}  // namespace mapview
