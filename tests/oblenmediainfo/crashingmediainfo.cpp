// A stand-in for libmediainfo with the same six entry points, which crashes
// on any file whose name holds "crash" and otherwise reports the name it was
// given. It shows what the window does when the real library crashes on a
// damaged file.
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

struct Handle
{
    std::wstring report;
};

} // namespace

extern "C" {

void *MediaInfo_New()
{
    return new Handle;
}

std::size_t MediaInfo_Open(void *handle, const wchar_t *name)
{
    if (std::wcsstr(name, L"crash"))
        std::abort();
    static_cast<Handle *>(handle)->report = std::wstring(L"Complete name : ") + name;
    return 1;
}

const wchar_t *MediaInfo_Option(void *, const wchar_t *parameter, const wchar_t *)
{
    return std::wcscmp(parameter, L"Info_Version") == 0 ? L"CrashingInfo - v1" : L"";
}

const wchar_t *MediaInfo_Inform(void *handle, std::size_t)
{
    return static_cast<Handle *>(handle)->report.c_str();
}

void MediaInfo_Close(void *) {}

void MediaInfo_Delete(void *handle)
{
    delete static_cast<Handle *>(handle);
}
}
