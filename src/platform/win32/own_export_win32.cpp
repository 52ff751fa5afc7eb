#include <windows.h>

#include "platform/own_export.h"

namespace px3 {

ExportedEntry FindOwnExport(const char* name) {
    const HMODULE executable = GetModuleHandleA(nullptr);
    if (executable == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<ExportedEntry>(GetProcAddress(executable, name));
}

}  // namespace px3
