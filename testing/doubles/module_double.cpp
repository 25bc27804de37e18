// The test double of the run-time loaded modules: LoadLibraryA finds the
// modules a test registered in-process, each with named entry points.
// Handles are opaque numbers checked against the table, so a stale handle
// fails instead of pointing at freed memory. Linked into the tests, tools and
// benchmarks; the program's own table is empty (platform/posix/module.cpp).
#include "platform/posix/sys_internal.h"
#include "testing/doubles/sys_seams.h"

#include <map>

namespace {

struct Module {
    std::string name;  // canonical: upper case, with extension
    std::map<std::string, FARPROC> exports;  // by exact name: entry points are case-sensitive
    int references = 0;
};

std::map<uintptr_t, Module> modules;  // by handle value
uintptr_t nextHandle = 0x10000;

// "c:\windows\system32\imm32" and "IMM32.DLL" name the same module: the
// directory is dropped and a name without extension gets ".DLL", as the
// Windows loader does. A trailing dot means "no extension".
std::string CanonicalName(const std::string& given)
{
    size_t slash = given.find_last_of("\\/");
    std::string base = slash == std::string::npos ? given : given.substr(slash + 1);
    if (!base.empty() && base.back() == '.')
        base.pop_back();
    else if (base.find('.') == std::string::npos)
        base += ".DLL";
    return w32::UpperCase(base);
}

Module* FindByName(const std::string& name)
{
    std::string wanted = CanonicalName(name);
    for (auto& entry : modules)
        if (entry.second.name == wanted)
            return &entry.second;
    return nullptr;
}

Module* FindByHandle(HMODULE handle)
{
    auto found = modules.find(reinterpret_cast<uintptr_t>(handle));
    return found == modules.end() ? nullptr : &found->second;
}

HMODULE HandleOf(const Module* module)
{
    for (auto& entry : modules)
        if (&entry.second == module)
            return reinterpret_cast<HMODULE>(entry.first);
    return nullptr;
}

}  // namespace

namespace w32 {

HMODULE FindLoadedModule(const char* name)
{
    Module* module = FindByName(name);
    return module && module->references > 0 ? HandleOf(module) : nullptr;
}

}  // namespace w32

namespace w32test {

void RegisterModule(const std::string& name, const std::vector<FakeExport>& exports)
{
    Module* module = FindByName(name);
    if (!module) {
        module = &modules[nextHandle];
        nextHandle += 0x10000;
        module->name = CanonicalName(name);
    }
    module->exports.clear();
    module->references = 0;
    for (const FakeExport& entry : exports)
        module->exports[entry.name] = entry.proc;
}

void MarkModuleLoaded(const std::string& name)
{
    if (Module* module = FindByName(name))
        ++module->references;
}

void UnregisterModule(const std::string& name)
{
    if (Module* module = FindByName(name))
        modules.erase(reinterpret_cast<uintptr_t>(HandleOf(module)));
}

void UnregisterAllModules()
{
    modules.clear();
}

int ModuleReferenceCount(const std::string& name)
{
    Module* module = FindByName(name);
    return module ? module->references : -1;
}

}  // namespace w32test

extern "C" {

// Only registered modules load; there is no search path and no file.
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName || !*lpLibFileName)
        return nullptr;
    Module* module = FindByName(lpLibFileName);
    if (!module)
        return nullptr;
    ++module->references;
    return HandleOf(module);
}

// Names only, compared exactly as the Windows loader does; ordinals are not
// supported and find nothing.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    if (!lpProcName || IS_INTRESOURCE(lpProcName))
        return nullptr;
    Module* module = FindByHandle(hModule);
    if (!module || module->references <= 0)
        return nullptr;
    auto found = module->exports.find(lpProcName);
    return found == module->exports.end() ? nullptr : found->second;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    if (w32::IsExecutableModule(hLibModule))
        return hLibModule != nullptr;
    Module* module = FindByHandle(hLibModule);
    if (!module || module->references <= 0)
        return FALSE;
    --module->references;
    return TRUE;
}

}  // extern "C"
