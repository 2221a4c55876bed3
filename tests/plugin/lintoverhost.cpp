// A stand-in for the installation program, built with mingw-w64 and run under
// Wine: loads lintover.dll by name, calls AdvancedEntry with a host record and
// then EntryPoint12, and reports each path's access-control list before and
// after through the platform's own security functions.
//
// lintoverhost.exe INSTALLDIR ARGUMENT PATH...
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const char *installDir = nullptr;

// The installer's expansion function: callee cleans, like the real one.
const char *WINAPI expandVariable(const char *name)
{
    std::printf("asked %s\n", name ? name : "(null)");
    if (name != nullptr && std::strcmp(name, "<InstallDir>") == 0)
        return installDir;
    return nullptr;
}

// How open a path is, read back through the platform's security functions:
// "none" when it has no access-control list at all (everyone has full access;
// what Windows reports after the plug-in), "world" when its list lets everyone
// read, write and execute (Wine maps a missing list to the Unix mode rwxrwxrwx
// and reports that back as such an entry), "restricted" otherwise, "error"
// when the security cannot be read.
const char *accessState(const char *path)
{
    static unsigned char buffer[65536];
    DWORD needed = 0;
    if (!GetFileSecurityA(path, DACL_SECURITY_INFORMATION, buffer, sizeof buffer, &needed))
        return "error";
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(buffer, &present, &dacl, &defaulted))
        return "error";
    if (!present || dacl == nullptr)
        return "none";

    SID_IDENTIFIER_AUTHORITY worldAuthority = SECURITY_WORLD_SID_AUTHORITY;
    PSID world = nullptr;
    if (!AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &world))
        return "error";
    constexpr DWORD readWriteExecute = FILE_GENERIC_READ | FILE_GENERIC_WRITE
                                       | FILE_GENERIC_EXECUTE;
    const char *state = "restricted";
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void *ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            continue;
        const auto *header = static_cast<const ACE_HEADER *>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(ace);
        if (EqualSid(&allowed->SidStart, world)
            && (allowed->Mask & readWriteExecute) == readWriteExecute)
            state = "world";
    }
    FreeSid(world);
    return state;
}

using EntryFunction = LONG(WINAPI *)(std::uintptr_t);

EntryFunction entry(HMODULE library, const char *name)
{
    return reinterpret_cast<EntryFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: lintoverhost INSTALLDIR ARGUMENT PATH...\n");
        return 2;
    }
    installDir = argv[1];

    for (int i = 3; i < argc; ++i)
        std::printf("before %s %s\n", accessState(argv[i]), argv[i]);

    HMODULE library = LoadLibraryA("lintover.dll");
    if (library == nullptr) {
        std::printf("load failed %lu\n", GetLastError());
        return 3;
    }
    EntryFunction advancedEntry = entry(library, "AdvancedEntry");
    EntryFunction entryPoint12 = entry(library, "EntryPoint12");
    if (advancedEntry == nullptr || entryPoint12 == nullptr) {
        std::printf("exports missing\n");
        return 4;
    }

    // Slot 6 holds the argument text, slot 10 the expansion function; the
    // other slots are never read, so they carry a pattern that would crash.
    std::uintptr_t record[16];
    for (auto &slot : record)
        slot = 0xDEADBEEF;
    record[6] = reinterpret_cast<std::uintptr_t>(argv[2]);
    record[10] = reinterpret_cast<std::uintptr_t>(&expandVariable);

    std::printf("AdvancedEntry %ld\n", advancedEntry(reinterpret_cast<std::uintptr_t>(record)));
    std::printf("EntryPoint12 %ld\n", entryPoint12(0));
    FreeLibrary(library);

    for (int i = 3; i < argc; ++i)
        std::printf("after %s %s\n", accessState(argv[i]), argv[i]);
    std::fflush(stdout);
    return 0;
}
