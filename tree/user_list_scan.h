// The user names in the bytes of a users stream. Groups are delimited by braces; the
// text between the fifth and sixth double quote after the latest "{" is a name, taken
// at every "}" until the "}" that balances all braces seen so far.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Names in stream order, as they stand (no unescaping, duplicates kept). The names
// together never hold more bytes than the stream, whatever its content.
std::vector<std::string> ScanUserNames(std::string_view bytes);
