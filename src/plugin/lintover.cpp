// lintover.dll: the installer calls AdvancedEntry with its host record, then
// EntryPoint12, which opens up the folders named in the record's argument.
// Built only with mingw-w64; the logic behind it is the portable core.
#include "folderlist.h"
#include "pluginapi.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// The host record is read as pointer-sized slots: in the 32-bit DLL the
// argument sits at offset 24 and the expansion function at offset 40.
constexpr std::size_t ArgumentSlot = 6;
constexpr std::size_t ExpandFunctionSlot = 10;

using ExpandFunction = const char *(WINAPI *)(const char *name);

// The one pointer the plug-in keeps between the two calls.
const void *hostRecord = nullptr;

class HostVariables final : public lintover::VariableSource
{
public:
    explicit HostVariables(ExpandFunction expand) : m_expand(expand) {}
    const char *value(const char *name) override { return m_expand ? m_expand(name) : nullptr; }

private:
    ExpandFunction m_expand;
};

class Win32FolderSearch final : public lintover::FolderSearch
{
public:
    bool first(const char *pattern, lintover::FoundEntry &entry) override
    {
        WIN32_FIND_DATAA data;
        m_handle = FindFirstFileA(pattern, &data);
        if (m_handle == INVALID_HANDLE_VALUE)
            return false;
        copy(data, entry);
        return true;
    }
    bool next(lintover::FoundEntry &entry) override
    {
        WIN32_FIND_DATAA data;
        if (m_handle == INVALID_HANDLE_VALUE || !FindNextFileA(m_handle, &data))
            return false;
        copy(data, entry);
        return true;
    }
    void close() override
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    static void copy(const WIN32_FIND_DATAA &data, lintover::FoundEntry &entry)
    {
        static_assert(sizeof(entry.name) == sizeof(data.cFileName));
        std::memcpy(entry.name, data.cFileName, sizeof(entry.name));
        entry.name[sizeof(entry.name) - 1] = '\0';
        entry.attributes = data.dwFileAttributes;
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// Casts through a plain function type keep -Wcast-function-type quiet.
template<typename Function>
Function procedure(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

class Advapi32Security final : public lintover::SecurityFunctions
{
public:
    bool load() override
    {
        m_library = LoadLibraryA("ADVAPI32.DLL");
        if (m_library == nullptr)
            return false;
        m_initialize = procedure<InitializeFunction>(m_library, "InitializeSecurityDescriptor");
        m_setDacl = procedure<SetDaclFunction>(m_library, "SetSecurityDescriptorDacl");
        m_setFileSecurity = procedure<SetFileSecurityFunction>(m_library, "SetFileSecurityA");
        if (m_initialize && m_setDacl && m_setFileSecurity)
            return true;
        release();
        return false;
    }
    void release() override
    {
        if (m_library != nullptr)
            FreeLibrary(m_library);
        m_library = nullptr;
        m_initialize = nullptr;
        m_setDacl = nullptr;
        m_setFileSecurity = nullptr;
    }
    void *allocateDescriptor() override
    {
        return LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
    }
    void freeDescriptor(void *descriptor) override { LocalFree(descriptor); }
    bool initializeSecurityDescriptor(void *descriptor, unsigned long revision) override
    {
        return m_initialize(descriptor, revision) != FALSE;
    }
    bool setSecurityDescriptorDacl(void *descriptor, bool daclPresent, void *dacl,
                                   bool daclDefaulted) override
    {
        return m_setDacl(descriptor, daclPresent ? TRUE : FALSE, static_cast<PACL>(dacl),
                         daclDefaulted ? TRUE : FALSE)
               != FALSE;
    }
    bool setFileSecurity(const char *path, unsigned long securityInformation,
                         void *descriptor) override
    {
        return m_setFileSecurity(path, securityInformation, descriptor) != FALSE;
    }

private:
    using InitializeFunction = BOOL(WINAPI *)(PSECURITY_DESCRIPTOR, DWORD);
    using SetDaclFunction = BOOL(WINAPI *)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
    using SetFileSecurityFunction = BOOL(WINAPI *)(LPCSTR, SECURITY_INFORMATION,
                                                   PSECURITY_DESCRIPTOR);

    HMODULE m_library = nullptr;
    InitializeFunction m_initialize = nullptr;
    SetDaclFunction m_setDacl = nullptr;
    SetFileSecurityFunction m_setFileSecurity = nullptr;
};

static_assert(lintover::DirectoryAttribute == FILE_ATTRIBUTE_DIRECTORY);
static_assert(lintover::SecurityDescriptorRevision == SECURITY_DESCRIPTOR_REVISION);
static_assert(lintover::DaclSecurityInformation == DACL_SECURITY_INFORMATION);
static_assert(lintover::PathLimit == MAX_PATH);

} // namespace

// Exported undecorated, with ordinals, through lintover.def.
extern "C" {

LONG WINAPI AdvancedEntry(const void *record)
{
    hostRecord = record;
    return 1;
}

LONG WINAPI EntryPoint12(LONG /*unused*/)
{
    // A host that skipped AdvancedEntry gets its 1 and nothing is touched.
    if (hostRecord == nullptr)
        return 1;
    const auto *slots = static_cast<const std::uintptr_t *>(hostRecord);
    const auto *argument = reinterpret_cast<const char *>(slots[ArgumentSlot]);
    HostVariables host(reinterpret_cast<ExpandFunction>(slots[ExpandFunctionSlot]));
    Win32FolderSearch search;
    Advapi32Security security;
    return lintover::openUpFolderList(argument, host, search, security);
}

} // extern "C"
