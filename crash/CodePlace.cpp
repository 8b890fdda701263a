#include "crash/CodePlace.h"

#include "crash/SymbolTable.h"

#include <algorithm>
#include <cstddef>

namespace crash
{
namespace
{

constexpr size_t kPathChars = 1024;
constexpr size_t kPageSize = 4096;
// Static, not on the stack: the reporter's stack is small and the heap may be broken.
char g_narrow[kPathChars * 3];
wchar_t g_module[kPathChars];
constexpr DWORD kTableBlock = 1024;
// How far past an export's start an address may lie and still be named after it: farther than
// most functions reach, nearer than the next unexported one usually lies.
constexpr uintptr_t kExportReach = 0x1000;
DWORD g_rvas[kTableBlock];
WORD g_ordinals[kTableBlock];
char g_symbol[128];

#if defined(__x86_64__) || defined(_M_X64)
// The first address of the function whose unwind data covers address, or 0 when none does. A
// function split in parts chains each part's unwind data to the part before.
uintptr_t FunctionStart(uintptr_t address)
{
    DWORD64 imageBase = 0;
    const RUNTIME_FUNCTION* found = RtlLookupFunctionEntry(address, &imageBase, nullptr);
    if (!found)
        return 0;
    RUNTIME_FUNCTION function = *found;
    constexpr unsigned char kChained = 0x4;
    for (int part = 0; part < 32; ++part)
    {
        unsigned char header[4] = {};
        if (!SafeRead(imageBase + function.UnwindData, header, sizeof(header)) ||
            !((header[0] >> 3) & kChained))
            break;
        const size_t codeSlots = (header[2] + 1u) & ~1u;
        if (!SafeRead(imageBase + function.UnwindData + sizeof(header) + codeSlots * sizeof(WORD), &function,
                      sizeof(function)))
            break;
    }
    return imageBase + function.BeginAddress;
}
#endif

// False when unwind data shows that an export's start and address lie in different functions: the
// nearest export below an unexported function is not its name. Without such data (x86, hand-written
// code) it cannot tell.
bool InSameFunction(uintptr_t start, uintptr_t address)
{
#if defined(__x86_64__) || defined(_M_X64)
    const uintptr_t exported = FunctionStart(start);
    const uintptr_t containing = FunctionStart(address);
    if (exported)
        return containing == exported;
    return !containing || containing <= start;
#else
    (void)start;
    (void)address;
    return true;
#endif
}

// An export whose address lies in the export table names another module's function instead.
bool IsForwarder(const IMAGE_DATA_DIRECTORY& directory, DWORD rva)
{
    return rva >= directory.VirtualAddress && rva - directory.VirtualAddress < directory.Size;
}

// True when both RVAs lie in one section of the image: an export never names code of another.
bool InOneSection(uintptr_t base, const IMAGE_DOS_HEADER& dos, const IMAGE_NT_HEADERS& nt, DWORD first,
                  DWORD second)
{
    const uintptr_t sections =
        base + dos.e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections && i < 96; ++i)
    {
        IMAGE_SECTION_HEADER section;
        if (!SafeRead(sections + i * sizeof(section), &section, sizeof(section)))
            return false;
        const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
        const auto holds = [&](DWORD rva) {
            return rva >= section.VirtualAddress && rva - section.VirtualAddress < size;
        };
        if (holds(first))
            return holds(second);
    }
    return false;
}

// The nearest exported name at or below address in module, with its offset: only when the address
// lies in the export's section, within a function's reach of it, and (where unwind data tells) in
// the same function. Without such bounds every address of a module is named after some export.
bool ExportName(HMODULE module, uintptr_t address, const char** name, uintptr_t* offset)
{
    const auto base = reinterpret_cast<uintptr_t>(module);
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS nt;
    if (!SafeRead(base, &dos, sizeof(dos)) || !SafeRead(base + dos.e_lfanew, &nt, sizeof(nt)))
        return false;
    const IMAGE_DATA_DIRECTORY& directory = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    IMAGE_EXPORT_DIRECTORY exports;
    if (!directory.VirtualAddress || !SafeRead(base + directory.VirtualAddress, &exports, sizeof(exports)))
        return false;
    // The tables are read a block at a time: each read is a system call, and a system module
    // exports thousands of names.
    const uintptr_t target = address - base;
    DWORD bestRva = 0, bestIndex = 0;
    for (DWORD first = 0; first < exports.NumberOfFunctions; first += kTableBlock)
    {
        const DWORD count = std::min<DWORD>(kTableBlock, exports.NumberOfFunctions - first);
        if (!SafeRead(base + exports.AddressOfFunctions + first * sizeof(DWORD), g_rvas,
                      count * sizeof(DWORD)))
            return false;
        for (DWORD i = 0; i < count; ++i)
            if (g_rvas[i] <= target && g_rvas[i] > bestRva && !IsForwarder(directory, g_rvas[i]))
                bestRva = g_rvas[i], bestIndex = first + i;
    }
    if (!bestRva || target - bestRva > kExportReach ||
        !InOneSection(base, dos, nt, bestRva, static_cast<DWORD>(target)))
        return false;
    DWORD nameRva = 0;
    for (DWORD first = 0; !nameRva && first < exports.NumberOfNames; first += kTableBlock)
    {
        const DWORD count = std::min<DWORD>(kTableBlock, exports.NumberOfNames - first);
        if (!SafeRead(base + exports.AddressOfNameOrdinals + first * sizeof(WORD), g_ordinals,
                      count * sizeof(WORD)))
            return false;
        for (DWORD i = 0; i < count && !nameRva; ++i)
            if (g_ordinals[i] == bestIndex &&
                !SafeRead(base + exports.AddressOfNames + (first + i) * sizeof(DWORD), &nameRva,
                          sizeof(nameRva)))
                return false;
    }
    // The nearest entry may be exported by ordinal only: then there is no name to show.
    if (!nameRva)
        return false;
    *name = reinterpret_cast<const char*>(base + nameRva);
    const uintptr_t best = base + bestRva;
    if (!InSameFunction(best, address))
        return false;
    *offset = address - best;
    return true;
}

// The module's own table of functions and lines (a resource the build embeds), when it has one.
bool OwnTable(HMODULE module, SymbolTable& table)
{
    HRSRC resource = FindResourceW(module, L"FFSYMBOLS", MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && table.Open(static_cast<const unsigned char*>(data), SizeofResource(module, resource));
}

// A copy of a name in the module's memory (a name near the image's end is read up to its page's
// end only), in a static buffer that the next call overwrites.
const char* CopyExportName(const char* name)
{
    g_symbol[0] = '\0';
    const auto at = reinterpret_cast<uintptr_t>(name);
    const size_t toPageEnd = kPageSize - at % kPageSize;
    const bool read = SafeRead(at, g_symbol, sizeof(g_symbol) - 1) ||
                      (toPageEnd < sizeof(g_symbol) - 1 && SafeRead(at, g_symbol, toPageEnd));
    g_symbol[sizeof(g_symbol) - 1] = '\0';
    return read && g_symbol[0] ? g_symbol : "?";
}

} // namespace

bool SafeRead(uintptr_t address, void* out, size_t size)
{
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), out, size, &read) &&
           read == size;
}

bool IsCode(uintptr_t address)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof(info)) || info.State != MEM_COMMIT)
        return false;
    return (info.Protect &
            (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0 &&
           info.Type == MEM_IMAGE;
}

const char* NarrowPath(const wchar_t* path)
{
    if (WideCharToMultiByte(CP_UTF8, 0, path, -1, g_narrow, static_cast<int>(sizeof(g_narrow)), nullptr,
                            nullptr) <= 0)
        g_narrow[0] = '\0';
    return g_narrow;
}

NameSource NameCode(uintptr_t address, CodeName& name, uintptr_t& start)
{
    name = CodeName();
    start = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module))
        return NameSource::None;
    SymbolTable table;
    if (OwnTable(module, table))
    {
        if (!table.Find(static_cast<uint32_t>(address - reinterpret_cast<uintptr_t>(module)), name))
            return NameSource::None;
        start = address - name.offset;
        return NameSource::Table;
    }
    const char* exported = nullptr;
    uintptr_t offset = 0;
    if (!ExportName(module, address, &exported, &offset))
        return NameSource::None;
    name.function = CopyExportName(exported);
    name.offset = static_cast<uint32_t>(offset);
    start = address - offset;
    return NameSource::Export;
}

void AppendCodePlace(ReportText& text, uintptr_t address, CodeKind kind)
{
    text.Hex(address, kAddressDigits);
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module) ||
        !GetModuleFileNameW(module, g_module, kPathChars))
    {
        text.Text(" (no module)");
        return;
    }
    const wchar_t* file = g_module;
    for (const wchar_t* c = g_module; *c; ++c)
        if (*c == L'\\' || *c == L'/')
            file = c + 1;
    text.Text(" ").Text(NarrowPath(file)).Text("+").Hex(address - reinterpret_cast<uintptr_t>(module), 8);
    CodeName name;
    uintptr_t start = 0;
    if (NameCode(kind == CodeKind::ReturnAddress ? address - 1 : address, name, start) == NameSource::None)
        return;
    text.Text(" (").Text(name.function).Text("+").Hex(address - start, 1);
    if (name.file)
        text.Text(", ").Text(name.file).Text(":").Dec(name.line);
    text.Text(")");
}

} // namespace crash
