#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <mutex>

// The six entry points of libmediainfo's C interface the program uses, bound
// with dlopen at the first call. Strings cross as wchar_t (UTF-32 on Linux);
// every returned string is copied into a QString before the next call, since
// the library reuses the buffer behind the pointer.
//
// A library that cannot be loaded is not an error: every call then does
// nothing and returns an empty result, so a report keeps its form.
class MediaInfoDLLMOD
{
public:
    static inline const QString defaultLibraryName = QStringLiteral("libmediainfo.so.0");

    explicit MediaInfoDLLMOD(const QString &libraryName = defaultLibraryName);

    ~MediaInfoDLLMOD();
    MediaInfoDLLMOD(const MediaInfoDLLMOD &) = delete;
    MediaInfoDLLMOD &operator=(const MediaInfoDLLMOD &) = delete;

    QString LibraryName() const { return m_libraryName; }
    // Loads the library and has it set up its tables (the first handle does
    // that), so that a binding made later finds both done. The library
    // stays loaded while this binding lives.
    void prepare();
    // Loads the library when that has not been tried yet.
    bool IsLoaded();

    void *New();
    std::size_t Open(void *handle, const QString &fileName);
    // With a null handle the option is the library's global one.
    QString Option(void *handle, const QString &parameter, const QString &value);
    QString Inform(void *handle, std::size_t reserved = 0);
    void Close(void *handle);
    void Delete(void *handle);

private:
    struct Functions;

    void load();

    QString m_libraryName;
    std::once_flag m_loadOnce;
    void *m_module = nullptr;
    std::unique_ptr<Functions> m_functions;
    // A handle held while the library is loaded. The global result buffer
    // (below) is freed only when the last handle goes: without this one, a
    // global call made after the last file's handle is gone (the about
    // window's version) would leave that buffer behind at exit.
    void *m_anchor = nullptr;
    // Calls with a null handle return a pointer into one result buffer the
    // library shares between threads, and the library frees that buffer when
    // the last handle is deleted. So global calls, New and Delete are made one
    // at a time under this lock, and a global result is copied before it is
    // released. Calls on a handle use that handle's own buffer. The buffer
    // and the count of handles belong to the loaded library, which every
    // binding in the process shares, so the lock is one for the process too.
    static std::mutex &globalCallLock();
};

// One library handle for one file: created by New, closed and deleted when it
// goes out of scope, so no path leaves a handle behind.
class MediaInfoHandle
{
public:
    explicit MediaInfoHandle(MediaInfoDLLMOD &library);
    ~MediaInfoHandle();
    MediaInfoHandle(const MediaInfoHandle &) = delete;
    MediaInfoHandle &operator=(const MediaInfoHandle &) = delete;

    void *get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    MediaInfoDLLMOD &m_library;
    void *m_handle = nullptr;
};
