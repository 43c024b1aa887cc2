#pragma once
// The text form of a call into the map page, as the viewer has always written it
// ("javascript:positionChange('37.525000', '127.000000')"), taken apart into a
// function name and its string arguments, and put back together as script source.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mapview {

struct ScriptCall {
  std::string function;
  std::vector<std::string> arguments;
};

// What follows "javascript:" (the whole text when it has none) is read as a name, an
// opening parenthesis and arguments. The name is trimmed of blanks; the arguments are
// the pieces between any of space, comma, apostrophe, double quote, tab, parentheses
// and semicolon, empty pieces dropped, so no argument can hold one of those. A text
// without "(" is a call without arguments. Nothing (no call) for an empty text or an
// empty name.
std::optional<ScriptCall> ParseScriptCall(std::string_view text);

// `text` as a JavaScript string literal in double quotes: backslash, quotes, line
// breaks, the two Unicode line separators and the other control characters escaped,
// so that nothing in it can end the literal or the script.
std::string JavaScriptStringLiteral(std::string_view text);

// Script source that looks the function up by name on the page's global object and
// calls it with the arguments as strings, in order. It evaluates to the result as
// text, or to "" when there is no such function, the call throws, or the result is
// undefined or null; a name that is not a plain global function reaches nothing.
std::string ScriptSource(const ScriptCall& call);

}  // namespace mapview
