// One entry of the diagnostic log, composed independently and compared
// byte for byte with what the log file gains.
//
// Input:
//   flags byte: bit 0 no source file, bit 1 no message, bit 2 the log
//     already holds an older entry;
//   the line (4 bytes, little-endian, any 32-bit number);
//   the source path up to the first NUL, then the message up to the next
//   NUL (neither can hold one: both are C strings).
//
// The entry: the message; with a source file and a line other than 0 also
// TAB "(" file part " : Line " decimal line ")" and a line feed. The file
// part is the source path from its last backslash, a backslash at index 0
// not counting (the whole path then, as without any backslash). The log is
// a text stream: every line feed is written as CR LF, the message's own
// included.
#include <cstdint>
#include <cstdio>
#include <string>

#include "DiagnosticLog.h"
#include "FuzzSupport.h"
#include "platform/MemoryPlatform.h"

namespace {

const char kPlayerDir[] = "C:\\Program Files\\Kestrova\\Player";
const char kModulePath[] = "C:\\Program Files\\Kestrova\\Player\\Config.dll";
const char kLogPath[] = "C:\\Program Files\\Kestrova\\Player\\KestrovaWebPlayer.log";
const char kOlderEntry[] = "older\tentry\r\n";

std::string FilePart(const std::string& path)
{
    const std::string::size_type slash = path.rfind('\\');
    return slash != std::string::npos && slash >= 1 ? path.substr(slash) : path;
}

std::string InTextMode(const std::string& text)
{
    std::string written;
    for (char c : text) {
        if (c == '\n')
            written += '\r';
        written += c;
    }
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Reader in(data, size);
    fuzz::ClearNotes();
    memplat::Reset();

    const std::uint8_t flags = in.Byte();
    const bool hasSource = (flags & 1) == 0;
    const bool hasMessage = (flags & 2) == 0;
    const bool olderEntry = (flags & 4) != 0;
    const std::int32_t line = static_cast<std::int32_t>(in.U32());
    const std::string source = in.Until(0);
    const std::string message = in.Until(0);

    fuzz::Note("source", hasSource ? fuzz::Describe(source) : "(null)");
    fuzz::Note("message", hasMessage ? fuzz::Describe(message) : "(null)");
    fuzz::Note("line", std::to_string(line));

    memplat::SetModulePath(kModulePath);
    memplat::PutDirectory(kPlayerDir);
    if (olderEntry)
        memplat::PutFile(kLogPath, kOlderEntry);

    LogMessage(hasMessage ? message.c_str() : nullptr, hasSource ? source.c_str() : nullptr, line);

    std::string entry = hasMessage ? message : "";
    if (hasSource && line != 0) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", static_cast<int>(line));
        entry += "\t(" + FilePart(source) + " : Line " + number + ")\n";
    }
    const std::string expected = (olderEntry ? std::string(kOlderEntry) : std::string()) + InTextMode(entry);
    FUZZ_CHECK(memplat::PathExists(kLogPath));
    FUZZ_CHECK_EQ(expected, memplat::FileBytes(kLogPath));
    FUZZ_CHECK_EQ(0, memplat::OpenStreamCount());
    return 0;
}
