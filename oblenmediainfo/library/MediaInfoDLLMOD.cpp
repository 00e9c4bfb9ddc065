#include "MediaInfoDLLMOD.h"

#include <QLoggingCategory>

#include <clocale>
#include <cstring>
#include <cwchar>
#include <dlfcn.h>
#include <locale.h>
#include <string>

Q_LOGGING_CATEGORY(lcLibrary, "oblenmediainfo.library")

struct MediaInfoDLLMOD::Functions
{
    using NewFn = void *(*)();
    using OpenFn = std::size_t (*)(void *, const wchar_t *);
    using OptionFn = const wchar_t *(*)(void *, const wchar_t *, const wchar_t *);
    using InformFn = const wchar_t *(*)(void *, std::size_t);
    using CloseFn = void (*)(void *);
    using DeleteFn = void (*)(void *);

    NewFn newHandle = nullptr;
    OpenFn open = nullptr;
    OptionFn option = nullptr;
    InformFn inform = nullptr;
    CloseFn close = nullptr;
    DeleteFn deleteHandle = nullptr;
};

namespace {

QString copyLibraryString(const wchar_t *text)
{
    if (!text)
        return QString();
    return QString::fromWCharArray(text, static_cast<qsizetype>(std::wcslen(text)));
}

// The library turns the wide file name back into bytes with the C library's
// multibyte conversion, which follows the character type of the calling
// thread. Names on disk are UTF-8 (Qt reads and writes them so), so under a
// non-UTF-8 character type (LANG=C, a legacy Korean locale) a Hangul name would
// not convert and the file would not open. The call is made under a UTF-8
// character type of the calling thread's own: the process's locale is never
// changed, since setlocale is not safe while other threads run (and Qt's run
// from the moment the application object exists).
class Utf8CharacterType
{
public:
    Utf8CharacterType()
    {
        static const locale_t utf8 = [] {
            const locale_t base = duplocale(LC_GLOBAL_LOCALE);
            const locale_t made = base ? newlocale(LC_CTYPE_MASK, "C.UTF-8", base) : nullptr;
            if (!made) {
                if (base)
                    freelocale(base);
                qCWarning(lcLibrary, "no UTF-8 character type: names outside ASCII may not open");
            }
            return made;
        }();
        if (utf8)
            m_previous = uselocale(utf8);
    }
    ~Utf8CharacterType()
    {
        if (m_previous)
            uselocale(m_previous);
    }
    Utf8CharacterType(const Utf8CharacterType &) = delete;
    Utf8CharacterType &operator=(const Utf8CharacterType &) = delete;

private:
    locale_t m_previous = nullptr;
};

template <typename T> bool bind(void *module, const char *name, T &target)
{
    target = reinterpret_cast<T>(dlsym(module, name));
    return target != nullptr;
}

} // namespace

MediaInfoDLLMOD::MediaInfoDLLMOD(const QString &libraryName) : m_libraryName(libraryName) {}

MediaInfoDLLMOD::~MediaInfoDLLMOD()
{
    if (m_anchor) {
        const std::lock_guard<std::mutex> lock(globalCallLock());
        m_functions->deleteHandle(m_anchor);
    }
    if (m_module)
        dlclose(m_module);
}

void MediaInfoDLLMOD::load()
{
    m_module = dlopen(m_libraryName.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_module) {
        qCInfo(lcLibrary) << "cannot load" << m_libraryName << dlerror();
        return;
    }
    auto functions = std::make_unique<Functions>();
    const bool complete = bind(m_module, "MediaInfo_New", functions->newHandle) &&
                          bind(m_module, "MediaInfo_Open", functions->open) &&
                          bind(m_module, "MediaInfo_Option", functions->option) &&
                          bind(m_module, "MediaInfo_Inform", functions->inform) &&
                          bind(m_module, "MediaInfo_Close", functions->close) &&
                          bind(m_module, "MediaInfo_Delete", functions->deleteHandle);
    if (!complete) {
        // A library without all six entry points is treated as missing rather
        // than half used.
        qCInfo(lcLibrary) << m_libraryName << "lacks an entry point";
        dlclose(m_module);
        m_module = nullptr;
        return;
    }
    m_functions = std::move(functions);
    const std::lock_guard<std::mutex> lock(globalCallLock());
    m_anchor = m_functions->newHandle();
}

std::mutex &MediaInfoDLLMOD::globalCallLock()
{
    static std::mutex lock;
    return lock;
}

void MediaInfoDLLMOD::prepare()
{
    const MediaInfoHandle handle(*this);
}

bool MediaInfoDLLMOD::IsLoaded()
{
    std::call_once(m_loadOnce, [this] { load(); });
    return m_functions != nullptr;
}

void *MediaInfoDLLMOD::New()
{
    if (!IsLoaded())
        return nullptr;
    const std::lock_guard<std::mutex> lock(globalCallLock());
    return m_functions->newHandle();
}

std::size_t MediaInfoDLLMOD::Open(void *handle, const QString &fileName)
{
    if (!IsLoaded() || !handle)
        return 0;
    const std::wstring name = fileName.toStdWString();
    const Utf8CharacterType utf8;
    return m_functions->open(handle, name.c_str());
}

QString MediaInfoDLLMOD::Option(void *handle, const QString &parameter, const QString &value)
{
    if (!IsLoaded())
        return QString();
    const std::wstring wideParameter = parameter.toStdWString();
    const std::wstring wideValue = value.toStdWString();
    if (handle)
        return copyLibraryString(
            m_functions->option(handle, wideParameter.c_str(), wideValue.c_str()));
    const std::lock_guard<std::mutex> lock(globalCallLock());
    return copyLibraryString(
        m_functions->option(nullptr, wideParameter.c_str(), wideValue.c_str()));
}

QString MediaInfoDLLMOD::Inform(void *handle, std::size_t reserved)
{
    if (!IsLoaded() || !handle)
        return QString();
    return copyLibraryString(m_functions->inform(handle, reserved));
}

void MediaInfoDLLMOD::Close(void *handle)
{
    if (IsLoaded() && handle)
        m_functions->close(handle);
}

void MediaInfoDLLMOD::Delete(void *handle)
{
    if (!IsLoaded() || !handle)
        return;
    const std::lock_guard<std::mutex> lock(globalCallLock());
    m_functions->deleteHandle(handle);
}

MediaInfoHandle::MediaInfoHandle(MediaInfoDLLMOD &library)
    : m_library(library), m_handle(library.New())
{
}

MediaInfoHandle::~MediaInfoHandle()
{
    if (!m_handle)
        return;
    m_library.Close(m_handle);
    m_library.Delete(m_handle);
}
