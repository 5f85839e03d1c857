// Copying texts into host-owned character buffers.
#pragma once

#include <cstddef>
#include <string_view>

// Copies at most maxChars characters of text to dest and terminates it;
// dest must hold maxChars + 1 bytes. A null dest is ignored.
void CopyCut(char* dest, std::string_view text, std::size_t maxChars);

// A zero-terminated text from the host, read no further than maxBytes.
std::string_view HostText(const void* text, std::size_t maxBytes);
