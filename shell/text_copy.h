// Copying texts between our UTF-8 and host-owned character buffers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kr {

// Copies text (UTF-8), in the host's encoding, into dest and terminates it:
// at most maxBytes bytes before the terminator (dest holds maxBytes + 1), cut
// between characters, never inside one. A null dest is ignored.
void CopyCut(char* dest, std::string_view text, std::size_t maxBytes);

// A zero-terminated text from the host, read no further than maxBytes.
std::string_view HostText(const void* text, std::size_t maxBytes);

// The same, turned from the host's encoding into UTF-8.
std::string HostTextAsUtf8(const void* text, std::size_t maxBytes);

}  // namespace kr
