#include "app/profiles/OutputFileName.h"

#include <filesystem>
#include <system_error>

#include "platform/base/SysUtils.h"

namespace {

// File names reach Linux as UTF-8.
std::filesystem::path ToPath(std::u16string_view Text) {
    return std::filesystem::path(UTF8Encode(Text));
}

bool IsSameFile(std::u16string_view A, std::u16string_view B) {
    if (B.empty())
        return false;
    std::error_code Error;
    std::filesystem::path PA = ToPath(A), PB = ToPath(B);
    if (std::filesystem::exists(PA, Error) && std::filesystem::exists(PB, Error))
        return std::filesystem::equivalent(PA, PB, Error);
    return std::filesystem::absolute(PA, Error).lexically_normal() ==
           std::filesystem::absolute(PB, Error).lexically_normal();
}

} // namespace

String ExtractFileNamePart(std::u16string_view Path) {
    size_t Slash = Path.rfind(u'/');
    return String(Slash == std::u16string_view::npos ? Path : Path.substr(Slash + 1));
}

String ExtractFileNameExt(std::u16string_view FileName) {
    size_t Dot = FileName.rfind(u'.');
    return Dot == std::u16string_view::npos ? String() : String(FileName.substr(Dot));
}

String StripFileNameExt(std::u16string_view FileName) {
    size_t Dot = FileName.rfind(u'.');
    return String(FileName.substr(0, Dot));
}

String ChangeFileNameExt(std::u16string_view FileName, std::u16string_view Ext) {
    return StripFileNameExt(FileName) + String(Ext);
}

bool OutputFileExists(std::u16string_view Path) {
    std::error_code Error;
    auto Status = std::filesystem::status(ToPath(Path), Error);
    return std::filesystem::exists(Status) && !std::filesystem::is_directory(Status);
}

String UniqueOutputFileName(std::u16string_view OutputFolder, std::u16string_view Base, std::u16string_view Ext,
                            bool Overwrite, std::u16string_view InputFileName) {
    String Stem = String(OutputFolder) + u"/" + String(Base);
    String Candidate = Stem + String(Ext);
    if (!IsSameFile(Candidate, InputFileName) && (Overwrite || !OutputFileExists(Candidate)))
        return Candidate;
    for (std::int64_t N = 1;; ++N) {
        Candidate = Stem + u"_" + IntToStr(N) + String(Ext);
        if (!OutputFileExists(Candidate) && !IsSameFile(Candidate, InputFileName))
            return Candidate;
    }
}
