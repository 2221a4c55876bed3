#pragma once

#include <cstddef>

// The plug-in's view of its surroundings: the installer's variables, the folder
// search and the three security functions. Plain C++ without Qt, so the same
// code builds natively for tests and with mingw-w64 as lintover.dll.
namespace lintover {

// The installer passes at most 4095 characters of expanded text plus the terminator.
inline constexpr std::size_t WorkingBufferSize = 4096;
// Windows' MAX_PATH, terminator included.
inline constexpr std::size_t PathLimit = 260;

inline constexpr char InstallDirPlaceholder[] = "<InstallDir>";
inline constexpr char EntrySeparator = '|';

inline constexpr unsigned long DirectoryAttribute = 0x10;
inline constexpr unsigned long SecurityDescriptorRevision = 1;
inline constexpr unsigned long DaclSecurityInformation = 4;

class VariableSource
{
public:
    virtual ~VariableSource() = default;
    // The host's value of a variable, or nullptr when it has no such variable.
    virtual const char *value(const char *name) = 0;
};

struct FoundEntry
{
    char name[PathLimit];
    unsigned long attributes;
};

// One search at a time, the way FindFirstFileA/FindNextFileA/FindClose work.
class FolderSearch
{
public:
    virtual ~FolderSearch() = default;
    // False when the pattern matches nothing or the folder does not exist;
    // then no search is open.
    virtual bool first(const char *pattern, FoundEntry &entry) = 0;
    virtual bool next(FoundEntry &entry) = 0;
    // Ends the search that a successful first() opened.
    virtual void close() = 0;
};

// The security functions are looked up afresh for every path, so load() and
// release() bracket the work on each single path.
class SecurityFunctions
{
public:
    virtual ~SecurityFunctions() = default;
    // Loads the library and looks up all three functions; on false nothing
    // stays loaded.
    virtual bool load() = 0;
    virtual void release() = 0;
    // A zero-filled descriptor of the minimum size, or nullptr.
    virtual void *allocateDescriptor() = 0;
    virtual void freeDescriptor(void *descriptor) = 0;
    virtual bool initializeSecurityDescriptor(void *descriptor, unsigned long revision) = 0;
    virtual bool setSecurityDescriptorDacl(void *descriptor, bool daclPresent, void *dacl,
                                           bool daclDefaulted) = 0;
    virtual bool setFileSecurity(const char *path, unsigned long securityInformation,
                                 void *descriptor) = 0;
};

} // namespace lintover
