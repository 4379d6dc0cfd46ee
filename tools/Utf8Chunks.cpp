#include "Utf8Chunks.h"

namespace qarvel::bridge {

namespace {

// Length of the sequence a lead byte starts; 0 for a continuation byte, 1 for ASCII and for
// bytes that cannot start a sequence.
std::size_t SequenceLength(unsigned char byte)
{
    if ((byte & 0xC0u) == 0x80u) {
        return 0;
    }
    if ((byte & 0xE0u) == 0xC0u) {
        return 2;
    }
    if ((byte & 0xF0u) == 0xE0u) {
        return 3;
    }
    if ((byte & 0xF8u) == 0xF0u) {
        return 4;
    }
    return 1;
}

} // namespace

std::size_t CompleteUtf8Length(std::string_view bytes)
{
    const std::size_t size = bytes.size();
    // A sequence is at most four bytes, so its lead byte is among the last four.
    for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
        const std::size_t lead = size - back;
        const std::size_t length = SequenceLength(static_cast<unsigned char>(bytes[lead]));
        if (length == 0) {
            continue;
        }
        return length > back ? lead : size;
    }
    return size;
}

} // namespace qarvel::bridge
