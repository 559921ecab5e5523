// What every fuzz program shares: the bytes as a stream or a text, and the rule that a parser answers bad input
// with the program's own exception (class Exception and its descendants) and nothing else. Any other exception
// escapes the fuzz entry point and ends the run as a crash, like a sanitizer report.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"

namespace qvfuzz {

inline void FillStream(TMemoryStream& Stream, const std::uint8_t* Data, std::size_t Size) {
    if (Size)
        Stream.WriteBuffer(Data, std::int64_t(Size));
    Stream.SetPosition(0);
}

inline std::string Bytes(const std::uint8_t* Data, std::size_t Size) {
    return std::string(reinterpret_cast<const char*>(Data), Size);
}

// The bytes decoded as UTF-8, as the program reads every text file.
inline String Text(const std::uint8_t* Data, std::size_t Size) {
    return UTF8ToString(Bytes(Data, Size));
}

// Runs Step; the program's own errors are the expected answer to bad input.
template <typename F> void Tolerate(F&& Step) {
    try {
        Step();
    } catch (const Exception&) {
    }
}

// A file of the process's own for parsers that read a file, in memory where the system has such a folder; it
// goes when the process ends.
class TScratchFile {
public:
    explicit TScratchFile(const std::string& Name)
        : FPath(std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/qv-fuzz-" +
                std::to_string(::getpid()) + "-" + Name) {}
    ~TScratchFile() { ::unlink(FPath.c_str()); }
    const std::string& Path() const { return FPath; }
    String Name() const { return UTF8ToString(FPath); }
    void Write(const std::uint8_t* Data, std::size_t Size) const {
        std::ofstream(FPath, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
    }

private:
    std::string FPath;
};

} // namespace qvfuzz
