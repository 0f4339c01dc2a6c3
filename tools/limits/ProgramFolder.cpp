#include "ProgramFolder.h"

#include <cstdlib>
#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace veltrano::limits {

namespace {

// The executable as the shell found it: a name with a separator is a path,
// a bare name was looked up along PATH.
std::filesystem::path fromArgv0(const char* argv0)
{
    std::error_code ec;
    const std::string name = argv0 ? argv0 : "";
    if (name.find('/') != std::string::npos)
        return std::filesystem::weakly_canonical(std::filesystem::absolute(name, ec), ec);
    if (const char* path = std::getenv("PATH")) {
        std::string_view rest(path);
        while (true) {
            const auto colon = rest.find(':');
            const std::string_view dir = rest.substr(0, colon);
            const std::filesystem::path candidate = std::filesystem::path(dir.empty() ? "." : std::string(dir)) / name;
            if (std::filesystem::is_regular_file(candidate, ec))
                return std::filesystem::weakly_canonical(std::filesystem::absolute(candidate, ec), ec);
            if (colon == std::string_view::npos)
                break;
            rest.remove_prefix(colon + 1);
        }
    }
    return std::filesystem::absolute(name, ec);
}

} // namespace

std::filesystem::path programFolder(const char* argv0)
{
#ifdef _WIN32
    (void)argv0;
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    return std::filesystem::path(buf).parent_path();
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buf(size, '\0');
    if (_NSGetExecutablePath(buf.data(), &size) == 0) {
        std::error_code ec;
        return std::filesystem::weakly_canonical(buf.c_str(), ec).parent_path();
    }
    return fromArgv0(argv0).parent_path();
#else
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return fromArgv0(argv0).parent_path();
#endif
}

} // namespace veltrano::limits
