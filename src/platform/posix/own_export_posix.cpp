#include <dlfcn.h>

#include "platform/own_export.h"

namespace px3 {

ExportedEntry FindOwnExport(const char* name) {
    void* program = dlopen(nullptr, RTLD_NOW);
    if (program == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(program, name);
    dlclose(program);
    return reinterpret_cast<ExportedEntry>(symbol);
}

}  // namespace px3
